// TFastStringList: the line list behind the entry collection reader. It holds
// a text file one string per line, expands tabs as lines come in, and reads and
// writes whole files (writes replace the file atomically).
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace zt {

// A list of text lines. When `TabSize` is above 0, every tab of a line that is
// added, inserted or set is replaced by exactly `TabSize` blanks (not by blanks
// up to the next tab stop), so column numbers count expanded tabs; changing
// `TabSize` later does not touch lines already held.
// Not synchronised: one owner uses it on one thread.
class TFastStringList {
 public:
  int TabSize = 0;
  // Line ends written by SaveToFile: CR LF unless a loaded file used LF.
  bool CrLf = true;

  int Count() const { return static_cast<int>(lines_.size()); }
  const std::string& operator[](int index) const { return lines_[index]; }

  void Add(std::string line);
  void Insert(int index, std::string line);
  void Set(int index, std::string line);
  // Removes `count` lines from `index` on.
  void Delete(int index, int count = 1);
  void Clear() { lines_.clear(); }
  // Replaces the lines with those of `source` (expanded with this list's tab width).
  void Assign(const TFastStringList& source);

  // Reads a file with LF, CR LF or CR line ends; a last line without a line end
  // counts. Only regular files are read. On failure returns false and leaves the
  // list unchanged.
  [[nodiscard]] bool LoadFromFile(const std::filesystem::path& file);
  // Writes every line followed by a line end into a temporary file beside `file`
  // and renames it over `file`, so a failed write never leaves a half-written
  // file; on failure the temporary file is removed and false is returned.
  [[nodiscard]] bool SaveToFile(const std::filesystem::path& file) const;

 private:
  std::string Expand(std::string line) const;

  std::vector<std::string> lines_;
};

}  // namespace zt
