// Where a Fractint formula lives when its parameter entry names a formula file
// that does not hold it: the Fractint formula files of the formula folder.
#pragma once

#include <string>

namespace zt {

// The first Fractint formula file (extension ".frm" in any case) in `folder` or,
// depth first, its subfolders that holds an entry named `entry` (without regard
// to case); the files of a folder come before its subfolders, each in the order
// of their names. Empty when none has it. Unreadable files and folders are
// passed over; links to folders are not followed, so that a loop of links
// cannot trap the search. Any thread.
std::string FindFractintFormula(const std::string& folder, const std::string& entry);

}  // namespace zt
