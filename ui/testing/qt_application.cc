// The one QApplication that the desktop program's tests need, created before the
// first test and destroyed after the last. Tests run without a display: the
// offscreen platform is chosen unless QT_QPA_PLATFORM names another.
#include <gtest/gtest.h>

#include <QApplication>
#include <memory>

namespace {

class TQtApplication : public ::testing::Environment {
 public:
  void SetUp() override {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    application_ = std::make_unique<QApplication>(argc_, argv_);
  }
  void TearDown() override { application_.reset(); }

 private:
  // QApplication keeps references to both for its whole life.
  int argc_ = 1;
  char name_[9] = "ui_tests";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QApplication> application_;
};

// gtest owns the environment.
[[maybe_unused]] ::testing::Environment* const kQtApplication =
    ::testing::AddGlobalTestEnvironment(new TQtApplication);

}  // namespace
