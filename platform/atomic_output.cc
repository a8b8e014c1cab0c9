// Streaming atomic replacement of a file through a temporary file and rename().
#include "platform/atomic_output.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <string>

#include "platform/format.h"

namespace zt {

namespace {

// Makes the rename itself durable; a failure here loses nothing already written,
// so it is not reported.
void SyncFolder(const std::filesystem::path& folder) {
  int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

std::filesystem::path FolderOf(const std::filesystem::path& file) {
  std::filesystem::path folder = file.parent_path();
  return folder.empty() ? "." : folder;
}

}  // namespace

TAtomicOutputFile::TAtomicOutputFile(std::filesystem::path destination)
    : destination_(std::move(destination)) {
  struct stat existing {};
  if (stat(destination_.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode) &&
      !S_ISDIR(existing.st_mode)) {
    // A device or pipe cannot be replaced by renaming over it (that would swap the
    // device node for a plain file): such a destination is written in place.
    fd_ = open(destination_.c_str(), O_WRONLY | O_CLOEXEC);
    direct_ = true;
    buffer_.reserve(kBufferSize);
    return;
  }
  static std::atomic<unsigned> counter{0};
  std::string base = "." + destination_.filename().string() + "." + std::to_string(getpid()) + ".";
  // O_EXCL never reuses a name; a leftover of a crashed earlier run just costs a retry.
  for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
    temporary_ = FolderOf(destination_) / (base + std::to_string(counter++) + ".tmp");
    fd_ = open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ < 0 && errno != EEXIST) break;
  }
  buffer_.reserve(kBufferSize);
}

TAtomicOutputFile::~TAtomicOutputFile() {
  if (!committed_) CloseAndRemove();
}

void TAtomicOutputFile::CloseAndRemove() {
  if (fd_ < 0) return;
  close(fd_);
  fd_ = -1;
  if (!direct_) unlink(temporary_.c_str());
}

bool TAtomicOutputFile::WriteAll(const uint8_t* data, size_t size, int64_t position) {
  if (failed_ || fd_ < 0) return false;
  if (++writes_ == fail_write_) {
    failed_ = true;
    return false;
  }
  while (size > 0) {
    ssize_t written = position < 0 ? write(fd_, data, size) : pwrite(fd_, data, size, position);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      failed_ = true;
      return false;
    }
    data += written;
    size -= static_cast<size_t>(written);
    if (position >= 0) position += written;
  }
  return true;
}

bool TAtomicOutputFile::Flush() {
  if (buffer_.empty()) return !failed_ && fd_ >= 0;
  if (!WriteAll(buffer_.data(), buffer_.size(), -1)) return false;
  flushed_ += buffer_.size();
  buffer_.clear();
  return true;
}

bool TAtomicOutputFile::Write(const void* data, size_t size) {
  if (failed_ || fd_ < 0) return false;
  const auto* bytes = static_cast<const uint8_t*>(data);
  while (size > 0) {
    if (buffer_.size() == kBufferSize && !Flush()) return false;
    size_t piece = std::min(size, kBufferSize - buffer_.size());
    buffer_.insert(buffer_.end(), bytes, bytes + piece);
    bytes += piece;
    size -= piece;
  }
  return true;
}

bool TAtomicOutputFile::Patch(uint64_t position, const void* data, size_t size) {
  if (failed_ || fd_ < 0 || position + size > Size()) return false;
  const auto* bytes = static_cast<const uint8_t*>(data);
  if (position < flushed_) {
    size_t on_disk = static_cast<size_t>(std::min<uint64_t>(size, flushed_ - position));
    if (!WriteAll(bytes, on_disk, static_cast<int64_t>(position))) return false;
    bytes += on_disk;
    size -= on_disk;
    position += on_disk;
  }
  if (size > 0) std::memcpy(buffer_.data() + (position - flushed_), bytes, size);
  return true;
}

bool TAtomicOutputFile::Commit() {
  if (!Flush()) return false;
  if (direct_) {
    int fd = fd_;
    fd_ = -1;
    if (close(fd) != 0) {
      failed_ = true;
      return false;
    }
    committed_ = true;
    return true;
  }
  struct stat old {};
  if (stat(destination_.c_str(), &old) == 0 && S_ISREG(old.st_mode) &&
      fchmod(fd_, old.st_mode & 07777) != 0) {
    failed_ = true;
    return false;
  }
  int fd = fd_;
  fd_ = -1;
  bool closed = fsync(fd) == 0;
  closed = close(fd) == 0 && closed;
  if (!closed || rename(temporary_.c_str(), destination_.c_str()) != 0) {
    failed_ = true;
    unlink(temporary_.c_str());
    return false;
  }
  committed_ = true;
  SyncFolder(FolderOf(destination_));
  return true;
}

bool TAtomicOutputFile::DivertToDevFull() {
  int full = open("/dev/full", O_WRONLY | O_CLOEXEC);
  if (full < 0) return false;
  bool diverted = dup3(full, fd_, O_CLOEXEC) >= 0;
  close(full);
  return diverted;
}

EFileWriteError::EFileWriteError(const std::filesystem::path& path)
    : EZentrope(Format("Could not write '%s'", path.c_str())) {}

void WriteFileAtomically(const std::filesystem::path& path, std::string_view contents) {
  TAtomicOutputFile file(path);
  if (!file.Write(contents) || !file.Commit()) throw EFileWriteError(path);
}

}  // namespace zt
