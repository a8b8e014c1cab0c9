// The entry save window for gradients and alpha channels: the title check names
// the kind, the entry is appended and the file is remembered under the kind's
// key. (The parameter set's window is tested with the file commands.)
#include "ui/save_entry_dialog.h"

#include <QLineEdit>

#include "document/fractal_test_util.h"
#include "document/settings/config_manager.h"
#include "platform/user_interface.h"

namespace zt::testing {
namespace {

class SaveEntryDialogTest : public FractalTest {
 protected:
  TRecordingUserInterface ui_;
  TUserInterfaceGuard guard_{ui_};
};

TEST_F(SaveEntryDialogTest, ChecksTheTitleSavesAndKeepsTheFile) {
  const struct {
    const TSaveEntryKind& Kind;
    const char* Caption;
    const char* Message;
    const char* Window;
    const char* Key;
  } cases[] = {
      {kSaveGradient, "Save Gradient", "Please enter a title for the gradient.", "SaveGradient",
       "LastGradientFile"},
      {kSaveAlphaChannel, "Save Alpha channel", "Please enter a title for the alpha channel.",
       "SaveAlphaChannel", "LastAlphaFile"},
  };
  for (const auto& c : cases) {
    const std::string file = (dir_.path() / c.Window).string();
    std::vector<std::string> saved;
    TSaveEntryDialog dialog(c.Kind, "", [&](const std::string& f, const std::string& title) {
      saved.push_back(f + "|" + title);
      return saved.size() > 1;  // the first save is cancelled at the overwrite question
    });
    EXPECT_EQ(dialog.windowTitle(), c.Caption);
    dialog.FileEdit()->setText(QString::fromStdString(file));
    const std::size_t shown = ui_.Records().size();
    dialog.accept();
    ASSERT_EQ(ui_.Records().size(), shown + 1);
    EXPECT_EQ(ui_.Records().back().Text, c.Message);
    dialog.TitleEdit()->setText("  Blue sky ");
    dialog.accept();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(saved, (std::vector<std::string>(2, file + "|Blue sky")));
    EXPECT_EQ(ConfigManager().ReadWindowValue(c.Window, c.Key, ""), file);
  }
}

}  // namespace
}  // namespace zt::testing
