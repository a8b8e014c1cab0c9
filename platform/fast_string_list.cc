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

void TFastStringList::Add(std::string line) { lines_.push_back(Expand(std::move(line))); }

void TFastStringList::Insert(int index, std::string line) {
  lines_.insert(lines_.begin() + index, Expand(std::move(line)));
}

void TFastStringList::Set(int index, std::string line) { lines_[index] = Expand(std::move(line)); }

void TFastStringList::Delete(int index, int count) {
  lines_.erase(lines_.begin() + index, lines_.begin() + index + count);
}

void TFastStringList::Assign(const TFastStringList& source) {
  if (&source == this) return;
  lines_.clear();
  lines_.reserve(source.lines_.size());
  for (const std::string& line : source.lines_) Add(line);
}

bool TFastStringList::LoadFromFile(const std::filesystem::path& file) {
  std::string data;
  if (!ReadWholeFile(file, data)) return false;
  std::vector<std::string> lines;
  bool saw_line_end = false;
  bool cr_lf = true;
  size_t start = 0;
  for (size_t i = 0; i < data.size(); ++i) {
    char c = data[i];
    if (c != '\n' && c != '\r') continue;
    lines.push_back(Expand(data.substr(start, i - start)));
    bool pair = c == '\r' && i + 1 < data.size() && data[i + 1] == '\n';
    if (!saw_line_end) cr_lf = pair || c == '\r';
    saw_line_end = true;
    if (pair) ++i;
    start = i + 1;
  }
  if (start < data.size()) lines.push_back(Expand(data.substr(start)));
  lines_ = std::move(lines);
  CrLf = cr_lf;
  return true;
}

bool TFastStringList::SaveToFile(const std::filesystem::path& file) const {
  std::string data;
  const char* line_end = CrLf ? "\r\n" : "\n";
  for (const std::string& line : lines_) {
    data += line;
    data += line_end;
  }
  TAtomicOutputFile out(file);
  return out.Write(data) && out.Commit();
}

}  // namespace zt
