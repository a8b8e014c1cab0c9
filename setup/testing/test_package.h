// Test support: installation data built record by record, a small package
// with both lists, the user's folders below one scratch folder, and a messenger
// that records what it was told and answers from a script.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <deque>

#include "setup/installer.h"
#include "setup/messenger.h"
#include "setup/user_folders.h"

namespace zt::setup::testing {

// 1 January 2001, 12:00 UTC.
inline constexpr double kPackageTime = 36892.5;

QByteArray HeaderBytes(const QByteArray& display_name = "Zentrope",
                       const QByteArray& settings_key = "/zentrope/2.0",
                       double date_time = kPackageTime);
QByteArray ItemBytes(const QByteArray& name, qint32 size);
// A file record with its contents.
QByteArray FileBytes(const QByteArray& name, const QByteArray& contents);
QByteArray EndBytes();

void WriteFile(const QString& path, const QByteArray& contents);
QByteArray ReadFile(const QString& path);

// Writes a package into `folder`: "Setup.dat" storing Readme.txt, help/user-guide.html,
// Formula/Standard.zfm, Formula/Help.gid and an empty Export/, with zentrope
// (executable) and zt in list 2 beside it, and a stand-in for the setup program.
TInstallSource WritePackage(const QString& folder);

// The user's folders below `root`.
TUserFolders FoldersBelow(const QString& root);

// Every file and folder below `root`, relative to it, sorted.
QStringList TreeOf(const QString& root);

class TRecordingMessenger : public TMessenger {
 public:
  void Show(const QString& text, TMessageKind kind) override { Shown << text; }
  // Takes the next scripted answer; Yes when the script is used up.
  bool Ask(const QString& question) override;

  QStringList Shown;
  QStringList Asked;
  std::deque<bool> Answers;
};

}  // namespace zt::setup::testing
