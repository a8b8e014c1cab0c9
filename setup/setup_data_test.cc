// Reading the installation data: header fields, counting, and the messages of
// missing, truncated and damaged files.
#include "setup/setup_data.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cmath>
#include <functional>

#include "setup/binary_fields.h"
#include "setup/setup_error.h"
#include "setup/testing/test_package.h"

namespace zt::setup {
namespace {

using namespace testing;

TEST(SetupData, ReadsTheHeaderAndCountsTheItemsOfBothLists) {
  QTemporaryDir folder;
  const TInstallSource source = WritePackage(folder.path());
  TSetupData data(source.Folder + QStringLiteral("Setup.dat"));
  EXPECT_EQ(data.Header().DisplayName, QStringLiteral("Zentrope"));
  EXPECT_EQ(data.Header().SettingsKey, QStringLiteral("/zentrope/2.0"));
  EXPECT_EQ(data.Header().DateTime, kPackageTime);
  EXPECT_EQ(data.Header().Raw.size(), kSetupHeaderSize);
  // Four stored files, two copied ones; folders count only their contents.
  EXPECT_EQ(data.CountItems(), 6);
  // Counting returns to the first record.
  EXPECT_EQ(data.NextItem(true)->Name, QStringLiteral("Readme.txt"));
}

TEST(SetupData, MissingTruncatedAndDamagedFilesGiveTheirMessages) {
  const QByteArray header = HeaderBytes();
  const QByteArray lists_end = EndBytes() + EndBytes();
  QByteArray long_name = header;
  long_name[8] = 40;  // a display name longer than its field
  QByteArray not_a_number = HeaderBytes();
  not_a_number.chop(8);
  AppendDouble(not_a_number, std::nan(""));
  const struct {
    const char* Case;
    std::optional<QByteArray> Contents;  // nullopt: no file
    bool CannotFind;                     // else the read error
  } kCases[] = {
      {"missing", std::nullopt, true},
      {"short header", header.left(100), true},
      {"name beyond its field", long_name + lists_end, false},
      {"empty display name", HeaderBytes("") + lists_end, false},
      {"display name with a slash", HeaderBytes("Zen/trope") + lists_end, false},
      {"relative settings key", HeaderBytes("Zentrope", "zentrope/2.0") + lists_end, false},
      {"settings key going up", HeaderBytes("Zentrope", "/zentrope/..") + lists_end, false},
      {"date-time not a number", not_a_number + lists_end, false},
      {"record cut short", header + ItemBytes("a", 0).left(20), false},
      {"no end of list 2", header + EndBytes(), false},
      {"file data cut short", header + ItemBytes("a", 10) + "abc", false},
      {"name going up", header + FileBytes("..", "x") + lists_end, false},
      {"name with a slash", header + FileBytes("../x", "x") + lists_end, false},
      {"size below -1", header + ItemBytes("a", -2) + lists_end, false},
      {"list 2 with data", header + EndBytes() + ItemBytes("zt", 4) + EndBytes(), false},
      {"list 2 with a folder", header + EndBytes() + ItemBytes("zt", -1) + lists_end, false},
  };
  QTemporaryDir folder;
  const QString path = folder.filePath(QStringLiteral("Setup.dat"));
  for (const auto& c : kCases) {
    QFile::remove(path);
    if (c.Contents) WriteFile(path, *c.Contents);
    QString message;
    try {
      TSetupData(path).CountItems();
    } catch (const ESetupError& error) {
      message = error.Message();
    }
    EXPECT_EQ(message, c.CannotFind ? CannotFindMessage(path) : ReadErrorMessage()) << c.Case;
  }
  EXPECT_EQ(CannotFindMessage(QStringLiteral("/p/Setup.dat")),
            QStringLiteral("Zentrope Setup cannot find the required file '/p/Setup.dat'.\nMake "
                           "sure it exists in the proper directory and try again."));
  EXPECT_EQ(ReadErrorMessage(),
            QStringLiteral("Error reading from compressed data file.\nTry downloading Zentrope "
                           "again."));
}

}  // namespace
}  // namespace zt::setup
