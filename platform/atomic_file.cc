// Atomic file replacement through a temporary file and rename().
#include "platform/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <string>

#include "platform/format.h"

namespace zt {

namespace {

// The temporary file while it is being written: closes it, and removes it unless
// Commit() succeeded.
class TTemporaryFile {
 public:
  explicit TTemporaryFile(const std::filesystem::path& destination) {
    static std::atomic<unsigned> counter{0};
    std::filesystem::path folder = destination.parent_path();
    if (folder.empty()) folder = ".";
    std::string base = "." + destination.filename().string() + "." + std::to_string(getpid()) + ".";
    // O_EXCL never reuses a name; a leftover of a crashed earlier run just costs a retry.
    for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
      path_ = folder / (base + std::to_string(counter++) + ".tmp");
      fd_ = open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      if (fd_ < 0 && errno != EEXIST) break;
    }
  }
  ~TTemporaryFile() {
    if (fd_ >= 0) close(fd_);
    if (!committed_ && fd_ != kNotCreated) unlink(path_.c_str());
  }
  TTemporaryFile(const TTemporaryFile&) = delete;
  TTemporaryFile& operator=(const TTemporaryFile&) = delete;

  bool Created() const { return fd_ >= 0; }

  bool Write(std::string_view contents, const std::filesystem::path& destination) {
    struct stat old {};
    if (stat(destination.c_str(), &old) == 0 && S_ISREG(old.st_mode) &&
        fchmod(fd_, old.st_mode & 07777) != 0) {
      return false;
    }
    while (!contents.empty()) {
      ssize_t written = write(fd_, contents.data(), contents.size());
      if (written < 0 && errno == EINTR) continue;
      if (written <= 0) return false;
      contents.remove_prefix(static_cast<size_t>(written));
    }
    return fsync(fd_) == 0;
  }

  bool Commit(const std::filesystem::path& destination) {
    int fd = fd_;
    fd_ = kClosed;
    if (close(fd) != 0) return false;
    if (rename(path_.c_str(), destination.c_str()) != 0) return false;
    committed_ = true;
    return true;
  }

 private:
  // fd_ is kNotCreated until open() succeeds and kClosed after Commit() closed it.
  static constexpr int kNotCreated = -1;
  static constexpr int kClosed = -2;
  std::filesystem::path path_;
  int fd_ = kNotCreated;
  bool committed_ = false;
};

// Makes the rename itself durable; a failure here loses nothing already written,
// so it is not reported.
void SyncFolder(const std::filesystem::path& destination) {
  std::filesystem::path folder = destination.parent_path();
  int fd = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

}  // namespace

EFileWriteError::EFileWriteError(const std::filesystem::path& path)
    : EZentrope(Format("Could not write '%s'", path.c_str())) {}

void WriteFileAtomically(const std::filesystem::path& path, std::string_view contents) {
  {
    TTemporaryFile temporary(path);
    if (!temporary.Created() || !temporary.Write(contents, path) || !temporary.Commit(path)) {
      throw EFileWriteError(path);
    }
  }
  SyncFolder(path);
}

}  // namespace zt
