// Positioned file access for render files (see render_store.h).
#include "document/disk/render_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "document/disk/render_file.h"
#include "platform/format.h"

namespace zt {

std::unique_ptr<TRenderStore> TRenderStore::Create(const std::string& name) {
  const int fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) throw ERenderError(Format("Could not create '%s'", name.c_str()));
  return std::unique_ptr<TRenderStore>(new TRenderStore(name, fd));
}

std::unique_ptr<TRenderStore> TRenderStore::Open(const std::string& name) {
  const int fd = ::open(name.c_str(), O_RDWR | O_CLOEXEC);
  struct stat status {};
  if (fd < 0 || fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
    if (fd >= 0) ::close(fd);
    throw ERenderError(Format("Could not open disk render file '%s'", name.c_str()));
  }
  return std::unique_ptr<TRenderStore>(new TRenderStore(name, fd));
}

TRenderStore::~TRenderStore() {
  if (fd_ >= 0) ::close(fd_);
}

std::uint64_t TRenderStore::Size() const {
  struct stat status {};
  return fstat(fd_, &status) == 0 ? static_cast<std::uint64_t>(status.st_size) : 0;
}

bool TRenderStore::Read(std::uint64_t at, void* data, std::size_t size) const {
  auto* bytes = static_cast<std::uint8_t*>(data);
  while (size > 0) {
    const ssize_t got = ::pread(fd_, bytes, size, static_cast<off_t>(at));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    bytes += got;
    at += static_cast<std::uint64_t>(got);
    size -= static_cast<std::size_t>(got);
  }
  return true;
}

void TRenderStore::Write(std::uint64_t at, const void* data, std::size_t size) {
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  while (size > 0) {
    const ssize_t put = ::pwrite(fd_, bytes, size, static_cast<off_t>(at));
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) WriteError();
    bytes += put;
    at += static_cast<std::uint64_t>(put);
    size -= static_cast<std::size_t>(put);
  }
}

void TRenderStore::Sync() {
  if (::fdatasync(fd_) != 0) WriteError();
}

void TRenderStore::Remove() {
  ::close(fd_);
  fd_ = -1;
  std::remove(name_.c_str());
}

void TRenderStore::WriteError() const {
  throw ERenderError(
      Format("Error writing '%s'. Probably the destination disk is full", name_.c_str()));
}

}  // namespace zt
