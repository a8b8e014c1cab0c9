// Splitting a command line into words and turning words into full paths.
#include "ui/command_line_words.h"

#include <QDir>

namespace zt {
namespace {

bool IsBlank(QChar c) { return c == u' ' || c == u'\t'; }

}  // namespace

QStringList SplitCommandLine(QStringView line) {
  QStringList words;
  qsizetype at = 0;
  const qsizetype size = line.size();
  while (true) {
    while (at < size && IsBlank(line[at])) ++at;
    if (at == size) return words;
    const bool quoted = line[at] == u'"';
    if (quoted) ++at;
    qsizetype end = at;
    while (end < size && (quoted ? line[end] != u'"' : !IsBlank(line[end]))) ++end;
    words.append(line.sliced(at, end - at).toString());
    at = quoted && end < size ? end + 1 : end;
  }
}

QStringList FileNamesOfCommandLine(const QStringList& words, const QString& working_folder) {
  const QDir folder(working_folder);
  QStringList names;
  for (qsizetype i = 1; i < words.size(); ++i)
    names.append(QDir::cleanPath(folder.absoluteFilePath(words[i])));
  return names;
}

}  // namespace zt
