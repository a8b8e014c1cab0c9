// Reading the installation data file "Setup.dat": a 112-byte header, then two
// lists of 36-byte item records. List 1 holds files stored inside the data file
// (each record followed by its bytes) and folders (each followed by its own
// list); list 2 names files that lie beside the data file. docs/setup.md gives
// the layout as a grammar.
//
// Any thread, one at a time per object.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <optional>

namespace zt::setup {

inline constexpr int kSetupHeaderSize = 112;
inline constexpr int kItemRecordSize = 36;

struct TSetupHeader {
  QByteArray Raw;       // the 112 bytes as read
  QString DisplayName;  // product name for texts, shortcuts and the uninstall entry
  QString SettingsKey;  // the settings folder below the user's configuration folder, "/..."
  double DateTime = 0;  // the modification time of every extracted file
};

struct TSetupItem {
  QString Name;
  qint32 Size = 0;  // -1 for a folder
  bool IsFolder() const { return Size == -1; }
};

// The texts of the two ways reading fails.
QString CannotFindMessage(const QString& path);
QString ReadErrorMessage();

// The header in `raw` (112 bytes); raises ESetupError with ReadErrorMessage when
// a field is damaged: a string longer than its field, an empty display name or
// one holding "/", a settings key that does not start with "/" or names "." or
// "..", a date-time outside the years 1 to 9999.
TSetupHeader ParseSetupHeader(const QByteArray& raw);
// A settings key as ParseSetupHeader accepts it.
bool IsValidSettingsKey(const QString& key);

class TSetupData {
 public:
  // Opens the file and reads its header. Raises ESetupError with
  // CannotFindMessage when the file cannot be opened or is shorter than a
  // header, and as ParseSetupHeader does.
  explicit TSetupData(const QString& path);

  const TSetupHeader& Header() const { return header_; }

  // Counts the items of both lists from just after the header (a folder counts
  // the items of its list, a file 1) and returns there.
  int CountItems();
  // The next record of the list being read, nullopt at its end record. A record
  // of list 2 (`stored` false) must be a file of size 0. Raises ESetupError with
  // ReadErrorMessage on a short read or a damaged record: a name of "." or ".."
  // or holding "/", a size below -1.
  std::optional<TSetupItem> NextItem(bool stored);
  // Copies the `size` bytes that follow a file record to `out`; false when `out`
  // fails. A short read raises ESetupError with ReadErrorMessage.
  bool CopyContent(qint64 size, QIODevice& out);
  void SkipContent(qint64 size);

 private:
  int CountList(bool stored);

  QFile file_;
  TSetupHeader header_;
};

}  // namespace zt::setup
