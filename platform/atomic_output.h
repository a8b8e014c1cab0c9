// A file written piece by piece that replaces its destination only when it is
// complete: the bytes go to a temporary file in the destination's folder, and
// Commit() flushes, closes and renames it over the destination. Until then, and
// after any failure, an existing destination stays byte for byte as it was.
// A destination that is a device or a pipe is written in place instead.
// Made for files written in one pass with a few lengths patched afterwards
// (image exports, fractal files); WriteFileAtomically writes a whole contents
// at once (settings, entry collections) the same way.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string_view>
#include <vector>

#include "platform/error.h"

namespace zt {

// Raised when a file cannot be written; names the file in single quotes.
class EFileWriteError : public EZentrope {
 public:
  explicit EFileWriteError(const std::filesystem::path& path);
};

// Writes `contents` through a TAtomicOutputFile and raises EFileWriteError on any
// failure. Safe from any thread, but two concurrent writes of the same path
// leave one of the two contents.
void WriteFileAtomically(const std::filesystem::path& path, std::string_view contents);

// Used by one thread at a time. Failures are sticky: after the first failed
// write every later Write, Patch and Commit returns false, and the temporary
// file is removed by the destructor unless Commit() succeeded.
class TAtomicOutputFile {
 public:
  explicit TAtomicOutputFile(std::filesystem::path destination);
  ~TAtomicOutputFile();
  TAtomicOutputFile(const TAtomicOutputFile&) = delete;
  TAtomicOutputFile& operator=(const TAtomicOutputFile&) = delete;

  // False when the temporary file could not be created; nothing else works then.
  bool Created() const { return fd_ >= 0; }
  const std::filesystem::path& Destination() const { return destination_; }

  // Appends bytes (buffered).
  bool Write(const void* data, size_t size);
  bool Write(std::string_view bytes) { return Write(bytes.data(), bytes.size()); }
  // Overwrites bytes already written, for lengths known only afterwards;
  // position + size must not pass Size().
  bool Patch(uint64_t position, const void* data, size_t size);
  // The number of bytes written so far, which is where the next Write goes.
  uint64_t Size() const { return flushed_ + buffer_.size(); }

  // Flushes the rest, gives the file the permission bits of the old
  // destination, syncs, closes and renames it over the destination. False on
  // any failure, which leaves the old destination untouched.
  bool Commit();

  // Test seams. FailWrite(n) makes the n-th (counted from 1) write to the disk
  // fail as on a full disk; DivertToDevFull() sends every later write to
  // /dev/full, so the kernel itself refuses them.
  void FailWrite(int n) { fail_write_ = n; }
  bool DivertToDevFull();

 private:
  bool Flush();
  bool WriteAll(const uint8_t* data, size_t size, int64_t position);
  void CloseAndRemove();

  static constexpr size_t kBufferSize = 64 * 1024;
  std::filesystem::path destination_;
  std::filesystem::path temporary_;
  int fd_ = -1;
  bool failed_ = false;
  bool committed_ = false;
  bool direct_ = false;  // the destination is a device or pipe, written in place
  uint64_t flushed_ = 0;
  std::vector<uint8_t> buffer_;
  int writes_ = 0;
  int fail_write_ = 0;
};

}  // namespace zt
