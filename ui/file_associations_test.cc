// Tests of the file associations, written into a scratch data folder with the
// desktop's own tools, and of the start-up questions about them.
#include "ui/file_associations.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QStandardPaths>
#include <cstring>
#include <filesystem>
#include <functional>

#include "testing/test_support.h"

namespace zt {
namespace {

using testing::ReadFile;
using testing::TScopedVariable;

constexpr char kProgram[] = "/opt/my apps/a$b\"c\\d%e/zentrope";

// A scratch user for the desktop tools. xdg-mime keeps default applications in
// the configuration folder and behaves the same under every desktop with X-Generic.
class FileAssociationsTest : public ::testing::Test {
 protected:
  std::filesystem::path DataHome() const { return folder_.path() / "data"; }
  std::filesystem::path MimeFile() const { return DataHome() / "mime/packages/zentrope.xml"; }
  std::filesystem::path EntryFile() const { return DataHome() / "applications/zentrope.desktop"; }
  TFileAssociations Associations() const {
    return TFileAssociations(QString::fromStdString(DataHome().string()), kProgram);
  }

  testing::TempDir folder_;
  TScopedVariable config_home_{"XDG_CONFIG_HOME", (folder_.path() / "config").c_str()};
  TScopedVariable data_home_{"XDG_DATA_HOME", DataHome().c_str()};
  TScopedVariable desktop_{"XDG_CURRENT_DESKTOP", "X-Generic"};
};

bool Installed(const char* tool) { return !QStandardPaths::findExecutable(tool).isEmpty(); }

// The desktop's own tools read the files: what they made of them shows that they
// say what they should.
TEST_F(FileAssociationsTest, TheDesktopReadsThePackageAndTheEntry) {
  for (const char* tool :
       {"update-mime-database", "update-desktop-database", "desktop-file-validate"})
    if (!Installed(tool)) GTEST_SKIP() << tool << " is not installed";
  Associations().Create();
  EXPECT_NE(ReadFile(EntryFile())
                .find("\nExec=\"/opt/my apps/a\\\\$b\\\\\"c\\\\\\\\d%%e/zentrope\" %F\n"),
            std::string::npos);
  QProcess validate;
  validate.start("desktop-file-validate", {QString::fromStdString(EntryFile().string())});
  ASSERT_TRUE(validate.waitForFinished());
  EXPECT_EQ(validate.exitCode(), 0) << validate.readAllStandardOutput().toStdString();

  const std::string globs = ReadFile(DataHome() / "mime/globs2");
  const std::string subclasses = ReadFile(DataHome() / "mime/subclasses");
  const std::string cache = ReadFile(DataHome() / "applications/mimeinfo.cache");
  for (const TFileType& type : kFileTypes) {
    const std::string name = MimeTypeName(type).toStdString();
    // Without the "cs" flag the glob matches names in any case.
    EXPECT_NE(globs.find("50:" + name + ":*." + type.Extension + "\n"), std::string::npos) << name;
    EXPECT_EQ(subclasses.find(name + " text/plain\n") != std::string::npos, type.Text) << name;
    EXPECT_NE(ReadFile(DataHome() / "mime" / (name + ".xml")).find(type.Description),
              std::string::npos)
        << name;
    EXPECT_NE(cache.find(name + "=zentrope.desktop;\n"), std::string::npos) << name;
  }
}

TEST_F(FileAssociationsTest, CheckHoldsOnlyWhileTheFilesAreAsWritten) {
  EXPECT_FALSE(Associations().Check());
  Associations().Create();
  EXPECT_TRUE(Associations().Check());

  const struct {
    const char* Name;
    std::function<std::string(std::string)> Change;  // an empty result removes the file
    bool Holds;
  } kCases[] = {
      {"other case",
       [](std::string s) { return QByteArray::fromStdString(s).toUpper().toStdString(); }, true},
      {"a line more", [](std::string s) { return s + "X-Extra=1\n"; }, false},
      {"removed", [](std::string) { return std::string(); }, false},
  };
  for (const auto& file : {MimeFile(), EntryFile()}) {
    const std::string name = std::filesystem::relative(file, folder_.path()).string();
    const std::string written = ReadFile(file);
    for (const auto& c : kCases) {
      const std::string changed = c.Change(written);
      if (changed.empty()) std::filesystem::remove(file);
      if (!changed.empty()) folder_.Write(name, changed);
      EXPECT_EQ(Associations().Check(), c.Holds) << name << ": " << c.Name;
      folder_.Write(name, written);
    }
  }
  EXPECT_TRUE(Associations().Check());

  // Another program made the default for one type (xdg-mime names only
  // entries whose program exists).
  if (!Installed("xdg-mime")) GTEST_SKIP() << "xdg-mime is not installed";
  folder_.Write("data/applications/editor.desktop",
                "[Desktop Entry]\nType=Application\nName=Editor\nExec=sh %F\n");
  ASSERT_EQ(
      QProcess::execute("xdg-mime", {"default", "editor.desktop", "application/x-zentrope-zpr"}),
      0);
  EXPECT_FALSE(Associations().Check());
}

TEST_F(FileAssociationsTest, WithoutTheDesktopToolsTheFilesDecide) {
  const TScopedVariable path("PATH", (folder_.path() / "no tools").c_str());
  Associations().Create();
  EXPECT_FALSE(std::filesystem::exists(DataHome() / "mime/mime.cache"));
  EXPECT_TRUE(Associations().Check());
}

TEST_F(FileAssociationsTest, StartUpQuestions) {
  const std::string kQuestions[] = {
      "Zentrope has determined that some of its native file types\rare not associated with "
      "Zentrope. \r\rDo you want to these file associations to be created?\r(Click Yes if you "
      "are unsure.)",
      "Do you want to turn off this check in the future?\r(You can turn it back on in the "
      "Environment tab in the Options dialog.)"};
  const struct {
    const char* Name;
    bool CheckOn;
    const char* Answers;  // Yes, No, Cancel; each answers the next question
    bool Created;
    bool CheckOnAfter;
  } kCases[] = {
      {"yes creates", true, "Y", true, true},
      {"any answer but no creates", true, "C", true, true},
      {"no, then yes turns the check off", true, "NY", false, false},
      {"no, then no asks again next time", true, "NN", false, true},
      {"check off", false, "", false, false},
  };
  for (const auto& c : kCases) {
    std::filesystem::remove_all(DataHome());
    TRecordingUserInterface ui;
    for (const char* a = c.Answers; *a; ++a)
      ui.QueueAnswer(*a == 'Y' ? TAnswer::kYes : *a == 'N' ? TAnswer::kNo : TAnswer::kCancel);
    bool check_on = c.CheckOn;
    CheckAssociationsAtStartup(Associations(), ui, check_on);
    const auto records = ui.Records();
    ASSERT_EQ(records.size(), std::strlen(c.Answers)) << c.Name;
    for (std::size_t i = 0; i < records.size(); ++i) {
      EXPECT_EQ(records[i].Caption, "Zentrope") << c.Name;
      EXPECT_EQ(records[i].Text, kQuestions[i]) << c.Name;
      EXPECT_TRUE(records[i].Question) << c.Name;
    }
    EXPECT_EQ(Associations().Check(), c.Created) << c.Name;
    EXPECT_EQ(check_on, c.CheckOnAfter) << c.Name;

    // The next start asks again exactly when the check is on and still fails.
    TRecordingUserInterface next;
    next.QueueAnswer(TAnswer::kNo);
    CheckAssociationsAtStartup(Associations(), next, check_on);
    EXPECT_EQ(next.Records().size(), c.CheckOnAfter && !c.Created ? 2u : 0u) << c.Name;
  }
}

TEST_F(FileAssociationsTest, AFileThatCannotBeWrittenIsReported) {
  folder_.Write("data", "a file where the data folder belongs");
  TRecordingUserInterface ui;
  bool check_on = true;
  CheckAssociationsAtStartup(Associations(), ui, check_on);
  ASSERT_EQ(ui.Records().size(), 2u);
  EXPECT_EQ(ui.Records()[1].Text, "Could not write '" + MimeFile().string() + "'");
  EXPECT_EQ(ui.Records()[1].Kind, TMessageKind::kError);
  EXPECT_TRUE(check_on);
}

}  // namespace
}  // namespace zt
