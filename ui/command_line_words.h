// The words of a command line and the files they name. Both the program's own
// arguments and a command line that a later start forwards (single_instance.h)
// become full paths through FileNamesOfCommandLine.
//
// Thread safety: plain functions of their arguments; any thread.
#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

namespace zt {

// Splits a command line written as one text. Blanks (spaces and tabs) before a
// word are skipped; a word that starts with a double quote runs to the next
// double quote or the end of the text, and neither quote belongs to it; any
// other word runs to the next blank, keeping quotes inside it. So
// `zentrope "my set.zpr" a.zfr` gives "zentrope", "my set.zpr" and "a.zfr".
QStringList SplitCommandLine(QStringView line);

// The files that a command line names: every word after the first (the program
// path), in order, as a full path against `working_folder`, with "." and ".."
// resolved by name (links are not followed).
QStringList FileNamesOfCommandLine(const QStringList& words, const QString& working_folder);

}  // namespace zt
