// The one QApplication that the desktop program's tests need, created by a
// GoogleTest global environment before any test runs and destroyed after the
// last. Without a display named in QT_QPA_PLATFORM the tests draw offscreen.
#include <gtest/gtest.h>

#include <QApplication>
#include <memory>

namespace {

class TQtApplicationEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    application_ = std::make_unique<QApplication>(argc_, argv_);
  }
  void TearDown() override { application_.reset(); }

 private:
  // QApplication keeps references to these for its whole life.
  static inline int argc_ = 1;
  static inline char name_[] = "ui_tests";
  static inline char* argv_[] = {name_, nullptr};
  std::unique_ptr<QApplication> application_;
};

const ::testing::Environment* const kQtApplication =
    ::testing::AddGlobalTestEnvironment(new TQtApplicationEnvironment);

}  // namespace
