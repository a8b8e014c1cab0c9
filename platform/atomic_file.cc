// Atomic file replacement of a whole contents at once.
#include "platform/atomic_file.h"

#include "platform/atomic_output.h"
#include "platform/format.h"

namespace zt {

EFileWriteError::EFileWriteError(const std::filesystem::path& path)
    : EZentrope(Format("Could not write '%s'", path.c_str())) {}

void WriteFileAtomically(const std::filesystem::path& path, std::string_view contents) {
  TAtomicOutputFile file(path);
  if (!file.Write(contents) || !file.Commit()) throw EFileWriteError(path);
}

}  // namespace zt
