// TParWriter: builds one entry of the parameter text format line by line —
// section lines, key=value items packed into lines of at most 75 columns (longer
// items broken with a trailing "\"), comment lines and the closing brace. The
// text is the line list joined with CR LF.
#pragma once

#include <complex>
#include <string>
#include <vector>

namespace zt {

// Used by one thread for one save or copy; not synchronised.
class TParWriter {
 public:
  // The first line: `entry_name` followed by " {".
  explicit TParWriter(const std::string& entry_name);

  // A line "; " + text, written at once.
  void Comment(const std::string& text);
  // Flushes the pending items and writes "name:".
  void Section(const std::string& name);

  void WriteComplex(const std::string& key, std::complex<long double> value);
  void WriteFloat(const std::string& key, long double value);
  void WriteInteger(const std::string& key, long long value);
  // Red + 256 × green + 65536 × blue.
  void WriteColor(const std::string& key, int value);
  void WriteBoolean(const std::string& key, bool value);
  // The text unchanged; it should hold no blanks.
  void WriteWord(const std::string& key, const std::string& text);
  // The text between double quotes.
  void WriteString(const std::string& key, const std::string& text);

  // Flushes the pending items and writes "}"; later writes are ignored.
  void Close();
  bool Closed() const { return closed_; }

  const std::vector<std::string>& Lines() const { return lines_; }
  // The lines joined by CR LF (each line followed by one).
  std::string Text() const;

 private:
  static constexpr int kLineWidth = 75;
  void Item(const std::string& item);
  void Flush();

  std::vector<std::string> lines_;
  std::string pending_;
  bool closed_ = false;
  bool in_section_ = false;
};

}  // namespace zt
