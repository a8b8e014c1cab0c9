// The "gradient" and "alpha" sections of the parameter text: a layer's color
// gradient and alpha channel as their control points. Inside a layer they carry
// no title; gradient (.zgr) and alpha channel (.zal) files and clipboard copies
// hold one such section with a title per entry.
#pragma once

#include <string>

#include "color/alpha_channel.h"
#include "color/gradient.h"
#include "document/params/par_reader.h"
#include "document/params/par_writer.h"

namespace zt {

// User-interface thread only, like the objects. The Write functions write the
// section line and the items, with "title" when `title` is given. The Read
// functions are called right after ReadKey met the section line, read its items
// up to the next section and replace the whole object in one change; `title`,
// when given, receives the title item (empty without one). Index/value order or
// count violations raise the format error after the nodes read so far were
// applied.
void WriteGradient(TParWriter& w, TGradient& gradient, const std::string* title = nullptr);
void ReadGradient(TParReader& r, TGradient& gradient, std::string* title = nullptr);
void WriteAlphaChannel(TParWriter& w, TAlphaChannel& alpha, const std::string* title = nullptr);
void ReadAlphaChannel(TParReader& r, TAlphaChannel& alpha, std::string* title = nullptr);

// Appends the gradient or alpha channel under MakeEntryName(title) to `file`
// (created when missing); see SaveParEntry for the overwrite question. False
// when the person cancelled.
bool SaveGradientEntry(const std::string& file, TGradient& gradient, const std::string& title);
bool SaveAlphaChannelEntry(const std::string& file, TAlphaChannel& alpha, const std::string& title);
// Loads the entry `entry` of `file`, whose first section must be the object's
// own (else the format error); returns its title. ECodeError when the file or
// entry cannot be read.
std::string LoadGradientEntry(const std::string& file, const std::string& entry,
                              TGradient& gradient);
// Makes the entry `entry` of `file` (a name without folder is looked up in the
// program's folder) the gradient's initial state, without an undo step. Answers
// false and leaves the gradient as it was when a name is empty or the entry
// cannot be read: every new layer builds a gradient, and a broken setting should
// not interrupt each of them.
bool LoadInitialGradient(const std::string& file, const std::string& entry, TGradient& gradient);
std::string LoadAlphaChannelEntry(const std::string& file, const std::string& entry,
                                  TAlphaChannel& alpha);

}  // namespace zt
