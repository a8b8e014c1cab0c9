// Helpers shared by the tests: where test input lives, scratch folders, and
// settings and environment variables restored after a test.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "platform/error.h"

namespace zt::testing {

// The source tree (for the shipped data/ files).
std::filesystem::path SourceDir();

// The folder of third-party Fractint files, or an empty path when it is absent;
// tests that need it call GTEST_SKIP() then. ZENTROPE_FRACTINT_DIR overrides it.
std::filesystem::path FractintDir();

// The folder of the built program (zt), for tests that run it.
std::filesystem::path BinaryDir();

// The message of the `TError` that `action` raises, or "" when it raises none;
// an error of another kind is not caught, so the test fails on it.
template <class TError = EZentrope>
std::string ErrorMessageOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const TError& e) {
    return e.what();
  }
  return "";
}

// The whole contents of a file (empty when it cannot be read).
std::string ReadFile(const std::filesystem::path& file);

// How many entries a folder holds (a failed write must leave no temporary file).
int CountEntries(const std::filesystem::path& folder);

// Gives a setting back the value it had when this object was made, so that a
// test may change the shared settings freely.
template <class T>
class TKeepValue {
 public:
  explicit TKeepValue(T& value) : value_(value), saved_(value) {}
  ~TKeepValue() { value_ = saved_; }
  TKeepValue(const TKeepValue&) = delete;
  TKeepValue& operator=(const TKeepValue&) = delete;

 private:
  T& value_;
  const T saved_;
};

// Sets (or, given nullptr, clears) an environment variable for the lifetime of
// the object.
class TScopedVariable {
 public:
  TScopedVariable(const char* name, const char* value);
  ~TScopedVariable();
  TScopedVariable(const TScopedVariable&) = delete;
  TScopedVariable& operator=(const TScopedVariable&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

// A fresh, empty folder that is removed with the object.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // Writes `text` to a file in the folder and returns its path.
  std::filesystem::path Write(const std::string& name, const std::string& text) const;

 private:
  std::filesystem::path path_;
};

}  // namespace zt::testing
