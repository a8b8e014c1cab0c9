// Tests of the message boxes: a worker thread's message shows on the
// user-interface thread and the worker waits for it; questions answer the
// button pressed, with the default answer's button as the default.
#include "ui/qt_user_interface.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <functional>
#include <thread>

#include "ui/main_thread_pump.h"

namespace zt {
namespace {

// Watches for a message box, notes what it shows and closes it with `press`.
class TBoxCloser {
 public:
  explicit TBoxCloser(std::function<void(QMessageBox&)> press) : press_(std::move(press)) {
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr || !box->isVisible()) return;
      Title = box->windowTitle();
      Text = box->text();
      Icon = box->icon();
      if (box->defaultButton() != nullptr) Default = box->standardButton(box->defaultButton());
      ++Shown;
      press_(*box);
    });
    timer_.start(5);
  }

  QString Title, Text;
  QMessageBox::Icon Icon = QMessageBox::NoIcon;
  QMessageBox::StandardButton Default = QMessageBox::NoButton;
  int Shown = 0;

 private:
  std::function<void(QMessageBox&)> press_;
  QTimer timer_;
};

std::function<void(QMessageBox&)> Press(QMessageBox::StandardButton button) {
  return [button](QMessageBox& box) { box.button(button)->click(); };
}

TEST(QtUserInterface, AWorkerThreadsMessageShowsOnTheUserInterfaceThread) {
  TMainThreadPump pump;
  TQtUserInterface ui;
  std::atomic<bool> returned{false};
  bool returned_while_shown = true;
  TBoxCloser closer([&](QMessageBox& box) {
    returned_while_shown = returned.load();
    box.button(QMessageBox::Ok)->click();
  });
  std::thread worker([&] {
    ui.ShowMessage("Thread Error", "Error in computing thread:\rboom.", TMessageKind::kError);
    returned = true;
  });
  EXPECT_TRUE(QTest::qWaitFor([&] { return returned.load(); }, 10000));
  worker.join();
  EXPECT_EQ(closer.Shown, 1);
  EXPECT_FALSE(returned_while_shown);
  EXPECT_EQ(closer.Title, "Thread Error");
  EXPECT_EQ(closer.Text, "Error in computing thread:\nboom.");
  EXPECT_EQ(closer.Icon, QMessageBox::Critical);
}

TEST(QtUserInterface, QuestionsAnswerTheButtonPressed) {
  const struct {
    TButtons Buttons;
    TAnswer Default;
    QMessageBox::StandardButton ExpectedDefault;
    std::function<void(QMessageBox&)> Press;
    TAnswer Expected;
  } cases[] = {
      {TButtons::kYesNo, TAnswer::kNo, QMessageBox::No, Press(QMessageBox::Yes), TAnswer::kYes},
      {TButtons::kYesNoCancel, TAnswer::kCancel, QMessageBox::Cancel, Press(QMessageBox::No),
       TAnswer::kNo},
      {TButtons::kOkCancel, TAnswer::kOk, QMessageBox::Ok,
       [](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); }, TAnswer::kCancel},
      {TButtons::kYesNo, TAnswer::kYes, QMessageBox::Yes,
       [](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); }, TAnswer::kNo},
  };
  TQtUserInterface ui;
  for (const auto& c : cases) {
    TBoxCloser closer(c.Press);
    EXPECT_EQ(ui.Ask("Confirm", "Sure?", c.Buttons, c.Default), c.Expected);
    EXPECT_EQ(closer.Default, c.ExpectedDefault);
    EXPECT_EQ(closer.Icon, QMessageBox::Question);
  }
}

}  // namespace
}  // namespace zt
