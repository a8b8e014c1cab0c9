// Appending an entry to a collection file, asking before an overwrite.
#include "document/params/par_entry_file.h"

#include <filesystem>

#include "formula/language/code.h"
#include "formula/language/entry_name.h"
#include "platform/format.h"
#include "platform/user_interface.h"

namespace zt {

bool SaveParEntry(const std::string& file, const std::string& title,
                  const std::function<void(TParWriter&)>& write_body) {
  TCode collection;
  if (std::filesystem::exists(file)) {
    collection.LoadFile(file);
  } else {
    collection.FileName = file;
  }
  std::string name = MakeEntryName(title);
  if (collection.FindEntry(name)) {
    const TAnswer answer = UserInterface().Ask(
        "Confirm",
        Format("The entry '%s' already exists. \rDo you want to overwrite it?", name.c_str()),
        TButtons::kYesNoCancel, TAnswer::kCancel);
    if (answer == TAnswer::kCancel) return false;
    if (answer == TAnswer::kYes) {
      collection.DeleteEntry();
    } else {
      name = MakeUniqueEntryName(title, collection.Lines);
    }
  }
  TParWriter w(name);
  write_body(w);
  w.Close();
  TFastStringList lines;
  for (const std::string& line : w.Lines()) lines.Add(line);
  collection.AppendEntry(lines);
  return true;
}

}  // namespace zt
