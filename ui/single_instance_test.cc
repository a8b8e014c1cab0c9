// Tests of the single instance: a later start in another process hands its files
// over and ends; a socket left by a crashed instance does not block the next one.
#include "ui/single_instance.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <cstring>

#include "testing/test_support.h"
#include "ui/command_line_words.h"

namespace zt {
namespace {

// The later start is this test program run again for the probe test alone; the
// variables tell it where to meet and what its command line is.
constexpr char kProbeSocket[] = "ZT_SINGLE_INSTANCE_PROBE_SOCKET";
constexpr char kProbeCommandLine[] = "ZT_SINGLE_INSTANCE_PROBE_COMMAND_LINE";
constexpr int kWait = 10000;

QString SocketIn(const testing::TempDir& folder) {
  return QString::fromStdString((folder.path() / "instance").string());
}

TEST(SingleInstanceProbe, ClaimsAsALaterStart) {
  const QString socket = qEnvironmentVariable(kProbeSocket);
  if (socket.isEmpty()) GTEST_SKIP() << "runs as the later start of another test";
  TSingleInstance later(socket);
  EXPECT_FALSE(later.Claim(SplitCommandLine(qEnvironmentVariable(kProbeCommandLine))));
}

TEST(SingleInstance, LaterStartHandsItsFilesOverAndEnds) {
  const testing::TempDir folder;
  TSingleInstance first(SocketIn(folder));
  ASSERT_TRUE(first.Claim({"zentrope"}));
  QSignalSpy received(&first, &TSingleInstance::FilesReceived);

  QProcess later;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(kProbeSocket, SocketIn(folder));
  environment.insert(kProbeCommandLine, "zentrope \"my sets/a b.zpr\" c.zfr");
  later.setProcessEnvironment(environment);
  later.setWorkingDirectory(QString::fromStdString(folder.path().string()));
  later.setProcessChannelMode(QProcess::ForwardedChannels);
  later.start(QCoreApplication::applicationFilePath(),
              {"--gtest_filter=SingleInstanceProbe.ClaimsAsALaterStart"});

  ASSERT_TRUE(received.wait(kWait));
  const QString working = QDir(QString::fromStdString(folder.path().string())).canonicalPath();
  EXPECT_EQ(received.at(0).at(0).toStringList(),
            QStringList({working + "/my sets/a b.zpr", working + "/c.zfr"}));
  ASSERT_TRUE(QTest::qWaitFor([&] { return later.state() == QProcess::NotRunning; }, kWait));
  EXPECT_EQ(later.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(later.exitCode(), 0);
  EXPECT_EQ(received.size(), 1);
}

TEST(SingleInstance, SocketOfACrashedInstanceDoesNotBlockTheNext) {
  const testing::TempDir folder;
  const QString path = SocketIn(folder);
  // What a crashed instance leaves behind: a socket file that nobody listens on.
  const int left = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strcpy(address.sun_path, QFile::encodeName(path).constData());
  ASSERT_EQ(bind(left, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  close(left);

  TSingleInstance first(path);
  EXPECT_TRUE(first.Claim({"zentrope"}));
  EXPECT_TRUE(first.Listening());
  QSignalSpy received(&first, &TSingleInstance::FilesReceived);
  TSingleInstance later(path);
  EXPECT_FALSE(later.Claim({"zentrope", "/sets/a.zpr"}));
  EXPECT_FALSE(later.Listening());
  ASSERT_TRUE(received.wait(kWait));
  EXPECT_EQ(received.at(0).at(0).toStringList(), QStringList({"/sets/a.zpr"}));
}

}  // namespace
}  // namespace zt
