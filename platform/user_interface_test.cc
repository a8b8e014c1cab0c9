// Tests of the program-wide user interface and its recording and standard-error forms.
#include "platform/user_interface.h"

#include <gtest/gtest.h>

namespace zt {
namespace {

TEST(UserInterfaceTest, GuardInstallsAndRestores) {
  TUserInterface* standard = &UserInterface();
  EXPECT_NE(dynamic_cast<TStdErrUserInterface*>(standard), nullptr);
  TRecordingUserInterface recording;
  {
    TUserInterfaceGuard guard(recording);
    UserInterface().ShowMessage("Thread Error", "line\rnext", TMessageKind::kError);
  }
  EXPECT_EQ(&UserInterface(), standard);
  ASSERT_EQ(recording.Records().size(), 1u);
  EXPECT_EQ(recording.Records()[0].Caption, "Thread Error");
  EXPECT_EQ(recording.Records()[0].Text, "line\rnext");
  EXPECT_EQ(recording.Records()[0].Kind, TMessageKind::kError);
}

TEST(UserInterfaceTest, StandardErrorPrintsLineFeedsAndAnswers) {
  TStdErrUserInterface ui;
  ::testing::internal::CaptureStderr();
  ui.ShowMessage("Thread Error", "Error in computing thread:\r\nboom.", TMessageKind::kError);
  EXPECT_EQ(ui.Ask("Confirm", "Overwrite?", TButtons::kYesNo, TAnswer::kNo), TAnswer::kNo);
  ui.SetAnswer(true);
  EXPECT_EQ(ui.Ask("Confirm", "Overwrite?", TButtons::kYesNo, TAnswer::kNo), TAnswer::kYes);
  EXPECT_EQ(ui.Ask("Confirm", "Go on?", TButtons::kOk, TAnswer::kOk), TAnswer::kOk);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "Thread Error: Error in computing thread:\nboom.\n"
            "Confirm: Overwrite? -> No\n"
            "Confirm: Overwrite? -> Yes\n"
            "Confirm: Go on? -> OK\n");
}

}  // namespace
}  // namespace zt
