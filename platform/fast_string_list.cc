// Line list of the entry collection reader: tab expansion, whole-file reading
// with any line-end style and atomic writing.
#include "platform/fast_string_list.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/atomic_output.h"

namespace zt {

namespace {

// Reads the whole of a regular file; folders, devices and pipes are refused so
// that a misnamed path can neither block nor be mistaken for text.
bool ReadWholeFile(const std::filesystem::path& file, std::string& data) {
  int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  struct stat info;
  bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
  char buffer[65536];
  while (ok) {
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) ok = false;
    if (n <= 0) break;
    data.append(buffer, static_cast<size_t>(n));
  }
  ::close(fd);
  return ok;
}

}  // namespace

std::string TFastStringList::Expand(std::string line) const {
  if (TabSize <= 0 || line.find('\t') == std::string::npos) return line;
  std::string result;
  result.reserve(line.size() + static_cast<size_t>(TabSize) * 4);
  for (char c : line) {
    if (c == '\t') {
      result.append(static_cast<size_t>(TabSize), ' ');
    } else {
      result.push_back(c);
    }
  }
  return result;
}

void TFastStringList::Add(std::string line) { Lines_.push_back(Expand(std::move(line))); }

void TFastStringList::Insert(int index, std::string line) {
  Lines_.insert(Lines_.begin() + index, Expand(std::move(line)));
}

void TFastStringList::Set(int index, std::string line) { Lines_[index] = Expand(std::move(line)); }

void TFastStringList::Delete(int index, int count) {
  Lines_.erase(Lines_.begin() + index, Lines_.begin() + index + count);
}

void TFastStringList::Assign(const TFastStringList& source) {
  if (&source == this) return;
  Lines_.clear();
  Lines_.reserve(source.Lines_.size());
  for (const std::string& line : source.Lines_) Add(line);
}

bool TFastStringList::LoadFromFile(const std::filesystem::path& file) {
  std::string data;
  if (!ReadWholeFile(file, data)) return false;
  std::vector<std::string> lines;
  bool sawLineEnd = false;
  bool crLf = true;
  size_t start = 0;
  for (size_t i = 0; i < data.size(); ++i) {
    char c = data[i];
    if (c != '\n' && c != '\r') continue;
    lines.push_back(Expand(data.substr(start, i - start)));
    bool pair = c == '\r' && i + 1 < data.size() && data[i + 1] == '\n';
    if (!sawLineEnd) crLf = pair || c == '\r';
    sawLineEnd = true;
    if (pair) ++i;
    start = i + 1;
  }
  if (start < data.size()) lines.push_back(Expand(data.substr(start)));
  Lines_ = std::move(lines);
  CrLf = crLf;
  return true;
}

bool TFastStringList::SaveToFile(const std::filesystem::path& file) const {
  std::string data;
  const char* lineEnd = CrLf ? "\r\n" : "\n";
  for (const std::string& line : Lines_) {
    data += line;
    data += lineEnd;
  }
  TAtomicOutputFile out(file);
  return out.Write(data) && out.Commit();
}

}  // namespace zt
