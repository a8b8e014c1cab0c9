// Replacing a file as a whole: readers see either the old or the new contents,
// never a half-written file, even when the program or the machine stops midway.
// This file's external interface is just WriteFileAtomically().
#pragma once

#include <filesystem>
#include <string_view>

#include "platform/error.h"

namespace zt {

// Raised when a file cannot be written; names the file in single quotes.
class EFileWriteError : public EZentrope {
 public:
  explicit EFileWriteError(const std::filesystem::path& path);
};

// Writes `contents` to a new temporary file in the destination's folder, flushes
// it to the disk, and renames it over `path`. An existing destination keeps its
// permission bits; a new one gets the usual 0666 less the umask. On any failure
// the temporary file is removed, the old file stays as it was, and
// EFileWriteError is raised. Safe from any thread, but two concurrent writes of
// the same path leave one of the two contents.
void WriteFileAtomically(const std::filesystem::path& path, std::string_view contents);

}  // namespace zt
