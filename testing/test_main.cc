// Test main: points the settings store at a private, empty folder so that no test
// ever reads or writes the user's real settings.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "testing/test_support.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  zt::testing::TempDir config_dir;
  setenv("ZENTROPE_CONFIG_DIR", config_dir.path().c_str(), 1);
  return RUN_ALL_TESTS();
}
