// The uninstall log byte for byte, its replacement on commit, and damaged logs.
#include "setup/uninstall_log.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "setup/setup_error.h"
#include "setup/testing/test_package.h"

namespace zt::setup {
namespace {

using namespace testing;

QByteArray Zeros(int n) { return QByteArray(n, '\0'); }

TEST(UninstallLog, HeaderAndRecordsAreLaidOutByteForByte) {
  const QByteArray header = LogHeaderBytes(HeaderBytes("Zentrope", "/zentrope/2.0"), 3);
  const QByteArray expected_header = QByteArray("QXUNINST") + "\x08Zentrope" + Zeros(23) +
                                     "\x0d/zentrope/2.0" + Zeros(50) + QByteArray("\3\0\0\0", 4);
  EXPECT_EQ(header.toHex(), expected_header.toHex());
  ASSERT_EQ(header.size(), kLogHeaderSize);

  // 36892.5 is 0x40E2039000000000.
  const QByteArray record = LogRecordBytes({QStringLiteral("/opt/Z/a"), 36892.5, true});
  const QByteArray expected_record = "\x08/opt/Z/a" + Zeros(247) +
                                     QByteArray("\0\0\0\0\x90\x03\xe2\x40", 8) +
                                     QByteArray("\1\0\0\0", 4);
  EXPECT_EQ(record.toHex(), expected_record.toHex());
  ASSERT_EQ(record.size(), kLogRecordSize);

  const QString too_long = u'/' + QString(255, u'x');
  EXPECT_THROW(LogRecordBytes({too_long, 0, false}), ESetupError);
}

TEST(UninstallLog, TheLogReplacesAnOlderOneOnlyWhenCommitted) {
  QTemporaryDir folder;
  const QString path = folder.filePath(QStringLiteral("Uninst.dat"));
  WriteFile(path, "older log");
  {
    TUninstallLogWriter abandoned(path, HeaderBytes());
    abandoned.Append({QStringLiteral("/a"), 1, false});
  }
  EXPECT_EQ(ReadFile(path), QByteArray("older log"));

  TUninstallLogWriter writer(path, HeaderBytes());
  writer.Append({QStringLiteral("/d/file"), kPackageTime, false});
  writer.Append({QStringLiteral("/d"), kPackageTime, true});
  writer.Commit();
  const QByteArray bytes = ReadFile(path);
  EXPECT_EQ(bytes.size(), kLogHeaderSize + 2 * kLogRecordSize);
  EXPECT_EQ(bytes.left(kLogHeaderSize), LogHeaderBytes(HeaderBytes(), 2));

  const TUninstallLog log = ReadUninstallLog(path);
  EXPECT_EQ(log.DisplayName + log.SettingsKey, QStringLiteral("Zentrope/zentrope/2.0"));
  ASSERT_EQ(log.Records.size(), 2u);
  EXPECT_TRUE(log.Records[1].Folder);
  EXPECT_EQ(log.Records[1].DateTime, kPackageTime);
}

TEST(UninstallLog, DamagedLogsCannotBeRead) {
  const QByteArray one = LogRecordBytes({QStringLiteral("/a"), 0, false});
  QByteArray relative = one, flag_two = one;
  relative[1] = 'a';
  flag_two[264] = 2;
  const struct {
    const char* Case;
    QByteArray Contents;
  } kCases[] = {
      {"another tag", "QXUNINSX" + LogHeaderBytes(HeaderBytes(), 0).mid(8)},
      {"count below zero", LogHeaderBytes(HeaderBytes(), -1)},
      {"count beyond the file", LogHeaderBytes(HeaderBytes(), 2) + one},
      {"relative path", LogHeaderBytes(HeaderBytes(), 1) + relative},
      {"flag 2", LogHeaderBytes(HeaderBytes(), 1) + flag_two},
      {"settings key going up", LogHeaderBytes(HeaderBytes("Z", "/a/../.."), 0)},
      {"short header", LogHeaderBytes(HeaderBytes(), 0).left(100)},
  };
  QTemporaryDir folder;
  const QString path = folder.filePath(QStringLiteral("Uninst.dat"));
  for (const auto& c : kCases) {
    WriteFile(path, c.Contents);
    try {
      ReadUninstallLog(path);
      ADD_FAILURE() << c.Case;
    } catch (const ESetupError& error) {
      EXPECT_EQ(error.Message(), QStringLiteral("Could not read the uninstall log file."))
          << c.Case;
    }
  }
}

}  // namespace
}  // namespace zt::setup
