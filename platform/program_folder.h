// Where the program's shipped data lives ("the program's folder" of the folder
// settings) and how a folder setting turns into a real folder.
//
// Thread safety: any thread; the program's folder is found once.
#pragma once

#include <string>

namespace zt {

// The folder of the shipped data, ending in '/': <prefix>/share/zentrope/ when
// the program runs installed (its executable in <prefix>/bin), else the data
// folder of the source tree it was built from, else the executable's folder.
std::string ProgramFolder();

// A folder setting as a folder ending in '/': empty means the program's folder,
// a relative value is taken relative to it, an absolute one stands as it is.
std::string ResolveFolder(const std::string& setting);

// Decides the program's folder from the executable's path and the data folder
// of the source tree (either may be empty); ProgramFolder applies it once.
std::string ChooseProgramFolder(const std::string& executable, const std::string& source_data);

}  // namespace zt
