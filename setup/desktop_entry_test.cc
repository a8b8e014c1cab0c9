// Desktop entries: their text with quoting and icons, and replacing the
// shortcuts to one target.
#include "setup/desktop_entry.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "setup/testing/test_package.h"

namespace zt::setup {
namespace {

using namespace testing;

TEST(SetupDesktopEntry, ProgramsStartThemselvesDocumentsOpenInTheViewer) {
  QTemporaryDir folder;
  const QString base = folder.path() + QStringLiteral("/a \"b\" $c 100%");
  const QString program = base + QStringLiteral("/zentrope");
  WriteFile(program, "#!/bin/sh\n");
  QFile::setPermissions(program, QFile::permissions(program) | QFileDevice::ExeOwner);
  WriteFile(base + QStringLiteral("/Readme.txt"), "");
  EXPECT_EQ(QString::fromUtf8(ShortcutText(
                {base + QStringLiteral("/Z.desktop"), program, QStringLiteral("X-Zentrope;"), {}})),
            QStringLiteral("[Desktop Entry]\nType=Application\nName=Z\n"
                           "Exec=\"%1/a \\\\\"b\\\\\" \\\\$c 100%%/zentrope\"\n"
                           "Icon=zentrope\nPath=%2\nTerminal=false\nCategories=X-Zentrope;\n"
                           "X-Zentrope-Target=%3\n")
                .arg(folder.path(), base, program));

  // A program's own picture beside it is its icon.
  WriteFile(base + QStringLiteral("/zentrope.svg"), "<svg/>");
  EXPECT_EQ(IconFor(program), base + QStringLiteral("/zentrope.svg"));
  EXPECT_EQ(IconFor(base + QStringLiteral("/zentrope.svg")),
            base + QStringLiteral("/zentrope.svg"));
  const QString readme = base + QStringLiteral("/Readme.txt");
  EXPECT_EQ(IconFor(readme), QStringLiteral("text-plain"));
  EXPECT_TRUE(ShortcutText({base + QStringLiteral("/Read Me.desktop"), readme, {}, {}})
                  .contains("\nName=Read Me\nExec=xdg-open \""));
}

TEST(SetupDesktopEntry, AShortcutReplacesTheShortcutsToItsTarget) {
  QTemporaryDir folder;
  const QString target = folder.filePath(QStringLiteral("Z/zentrope"));
  const QString other = folder.filePath(QStringLiteral("Z/zt"));
  ASSERT_TRUE(CreateShortcut(
      {folder.filePath(QStringLiteral("old name.desktop")), target.toUpper(), {}, {}}));
  ASSERT_TRUE(CreateShortcut({folder.filePath(QStringLiteral("other.desktop")), other, {}, {}}));
  WriteFile(folder.filePath(QStringLiteral("notes.txt")), "");
  ASSERT_TRUE(
      CreateShortcut({folder.filePath(QStringLiteral("Zentrope.desktop")), target, {}, {}}));
  EXPECT_EQ(TreeOf(folder.path()), QStringList({"Zentrope.desktop", "notes.txt", "other.desktop"}));
  EXPECT_EQ(TargetOf(folder.filePath(QStringLiteral("Zentrope.desktop"))), target);
  EXPECT_TRUE(QFileInfo(folder.filePath(QStringLiteral("Zentrope.desktop"))).isExecutable());

  const QString odd = folder.path() + QStringLiteral("/back\\slash\nline");
  ASSERT_TRUE(CreateShortcut({folder.filePath(QStringLiteral("odd.desktop")), odd, {}, {}}));
  EXPECT_EQ(TargetOf(folder.filePath(QStringLiteral("odd.desktop"))), odd);
}

}  // namespace
}  // namespace zt::setup
