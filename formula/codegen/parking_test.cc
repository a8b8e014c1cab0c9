// The places of a formula's loop and bailout code as candidates for parking:
// what they count, which are left out, and in which order they are tried.
#include "formula/codegen/parking.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "formula/codegen/calc_block.h"
#include "formula/testing/compile_test_util.h"

namespace zt::testing {
namespace {

// Ranks the places of its loop and bailout code, as the code generator does,
// before generating.
class TRankingFormula : public TFormula {
 public:
  std::vector<std::string> Ranked;

 protected:
  void Generate() override {
    Variables().Layout();
    TParkingCandidates candidates;
    bool parked = false;
    for (auto* link = Program().First(); link; link = link->Next.get()) {
      if (link->Tree->Kind == kNodeSection)
        parked = Parking(link->Tree->Name) != TParking::kNone;
      else if (parked)
        candidates.Statement(*link->Tree);
    }
    for (const TParkingCandidate& c : candidates.Ranked()) Ranked.push_back(Describe(c));
    TFormula::Generate();
  }

 private:
  // "name reads/writes gain"; constants as "const", symbols by their name.
  static std::string Describe(const TParkingCandidate& c) {
    std::string name = c.Variable ? c.Variable->Name : "?";
    if (c.Variable && c.Variable->Kind == TVariableKind::kConstant) name = "const";
    if (!c.Variable) name = c.Place.Offset == calc::kZ ? "#z" : "#pixel";
    return name + " " + std::to_string(c.Reads) + "/" + std::to_string(c.Writes) + " " +
           std::to_string(c.Gain());
  }
};

TEST(ParkingTest, PlacesRankByWhatParkingSavesPerRegister) {
  const struct {
    const char* Body;
    std::vector<std::string> Ranked;
  } cases[] = {
      // Extended loads weigh 4 per part, stores 1, a constant's doubles 1.
      {"init:\n z = 0\nloop:\n z = sqr(z) + #pixel\nbailout:\n |z| < 4\n",
       {"#z 2/1 18", "#pixel 1/0 8", "const 1/0 1"}},
      // A constant beyond the doubles' range loads extended; on a tie the first
      // used goes first.
      {"init:\n z = 0\nloop:\n z = z * (0.3, 0.1) + 1e-4000\nbailout:\n |z| < 16\n",
       {"#z 2/1 18", "const 1/0 4", "const 1/0 2", "const 1/0 1"}},
      // A write inside an expression keeps #z out; int variables never count.
      {"init:\n z = 0\n int i = 0\nloop:\n i = i + 1\n complex c = (z = sqr(z)) + #pixel\n"
       " z = c\nbailout:\n |z| < 4 && i < 9\n",
       {"c 1/1 10", "#pixel 1/0 8", "const 1/0 1"}},
  };
  TempDir dir;
  for (const auto& c : cases) {
    auto file = dir.Write("f.zfm", std::string("Test {\n") + c.Body + "}\n");
    TRankingFormula formula;
    ASSERT_EQ(CompileEntry(formula, file.string(), "Test").Error, "") << c.Body;
    EXPECT_EQ(formula.Ranked, c.Ranked) << c.Body;
  }
}

}  // namespace
}  // namespace zt::testing
