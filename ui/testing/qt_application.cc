// The one QApplication the user-interface tests need, created before any test
// runs by a GoogleTest global environment; without a display it uses the
// offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>

#include <memory>

namespace {

class TQtApplication : public ::testing::Environment {
 public:
  void SetUp() override {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    application_ = std::make_unique<QApplication>(argc_, argv_);
  }
  void TearDown() override { application_.reset(); }

 private:
  int argc_ = 1;
  char name_[9] = "ui_tests";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QApplication> application_;
};

// GoogleTest owns and frees the environment.
[[maybe_unused]] ::testing::Environment* const kQtApplication =
    ::testing::AddGlobalTestEnvironment(new TQtApplication);

}  // namespace
