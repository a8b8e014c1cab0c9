// The layout rules of the parameter text writer.
#include "document/params/par_writer.h"

#include "platform/number_format.h"

namespace zt {

namespace {
const std::string kIndent = "  ";
}

TParWriter::TParWriter(const std::string& entry_name) { lines_.push_back(entry_name + " {"); }

void TParWriter::Comment(const std::string& text) {
  if (closed_) return;
  lines_.push_back("; " + text);
}

void TParWriter::Section(const std::string& name) {
  if (closed_) return;
  Flush();
  lines_.push_back(name + ":");
  pending_ = kIndent;
  in_section_ = true;
}

void TParWriter::WriteComplex(const std::string& key, std::complex<long double> value) {
  Item(key + "=" + FormatNumber(value.real()) + "/" + FormatNumber(value.imag()));
}

void TParWriter::WriteFloat(const std::string& key, long double value) {
  Item(key + "=" + FormatNumber(value));
}

void TParWriter::WriteInteger(const std::string& key, long long value) {
  Item(key + "=" + std::to_string(value));
}

void TParWriter::WriteColor(const std::string& key, int value) { WriteInteger(key, value); }

void TParWriter::WriteBoolean(const std::string& key, bool value) {
  Item(key + "=" + (value ? "yes" : "no"));
}

void TParWriter::WriteWord(const std::string& key, const std::string& text) {
  Item(key + "=" + text);
}

void TParWriter::WriteString(const std::string& key, const std::string& text) {
  Item(key + "=\"" + text + "\"");
}

void TParWriter::Close() {
  if (closed_) return;
  Flush();
  lines_.push_back("}");
  closed_ = true;
}

std::string TParWriter::Text() const {
  std::string text;
  for (const std::string& line : lines_) text += line + "\r\n";
  return text;
}

void TParWriter::Item(const std::string& item) {
  if (closed_ || !in_section_) return;
  const int length = static_cast<int>(pending_.size());
  if (length > 2 && length + static_cast<int>(item.size()) >= kLineWidth) {
    lines_.push_back(pending_);
    pending_ = kIndent;
  } else if (length > 2) {
    pending_ += ' ';
  }
  std::string rest = item;
  while (static_cast<int>(pending_.size() + rest.size()) > kLineWidth) {
    const size_t room = kLineWidth - pending_.size();
    lines_.push_back(pending_ + rest.substr(0, room) + "\\");
    rest.erase(0, room);
    pending_ = kIndent;
  }
  pending_ += rest;
}

void TParWriter::Flush() {
  if (pending_.size() > 2) lines_.push_back(pending_);
  pending_.clear();
}

}  // namespace zt
