// Random, type-correct formula entries for differential testing: declarations of a
// few variables of every type, then random assignments, IF/ELSE blocks and bounded
// WHILE and REPEAT loops over random expressions of every type, operator and function.
#pragma once

#include <cstdint>
#include <random>
#include <string>

namespace zt::testing {

class TRandomProgram {
 public:
  explicit TRandomProgram(std::uint32_t seed) : random_(seed) {}

  // The text of one formula entry named `name` with about `statements` statements,
  // all in its init section. Every variable is assigned before it is read.
  std::string Entry(const std::string& name, int statements);

 private:
  std::string Statement(int depth);
  std::string Expression(char type, int depth);
  std::string Complex(int depth);
  std::string Float(int depth);
  std::string Int(int depth);
  std::string Bool(int depth);
  std::string Variable(char type);
  std::string FloatLiteral();
  int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }
  bool Chance(int percent) { return Pick(100) < percent; }

  std::mt19937 random_;
  int loop_counter_ = 0;
};

}  // namespace zt::testing
