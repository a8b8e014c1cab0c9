// Saving one parameter-text entry into a collection file (parameter sets,
// gradients, alpha channels), with the question about an entry that is there
// already.
#pragma once

#include <functional>
#include <string>

#include "document/params/par_writer.h"

namespace zt {

// Writes an entry named MakeEntryName(title) through `write_body` (which writes
// its sections; the entry is closed afterwards) and appends it at the end of
// `file`, which is created when missing. When the file holds an entry of that
// name already, asks "The entry '%s' already exists. \rDo you want to
// overwrite it?": Yes removes the old entry, No takes a unique name, Cancel
// saves nothing and answers false. Raises ECodeError when the file cannot be
// read or written. User-interface thread.
bool SaveParEntry(const std::string& file, const std::string& title,
                  const std::function<void(TParWriter&)>& write_body);

}  // namespace zt
