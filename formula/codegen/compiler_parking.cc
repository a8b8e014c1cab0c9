// The code generator's parking: the choice of the values that the parked
// sections keep on the FPU, and their reads and writes there.
#include <algorithm>
#include <vector>

#include "formula/codegen/calc_block.h"
#include "formula/codegen/compiler.h"
#include "formula/codegen/parking.h"

namespace zt {
namespace {

// The most values the choice tries; each try measures the parked sections.
constexpr std::size_t kMaxParkedTries = 12;

}  // namespace

// Data offsets are laid out before the choice, so that places can be told apart
// by them; the later layouts only add temporaries behind the existing entries.
std::vector<TParkedValue> TCompiler::ChooseParked(const std::vector<TSection>& sections) {
  TParkingCandidates candidates;
  bool any = false, z_given = false;
  Variables().Layout();
  for (const TSection& section : sections) {
    if (!RunsParked(section.Name)) continue;
    any = true;
    z_given = z_given || Parking(section.Name) == TParking::kZ;
    for (TLink* link = section.First; link != section.End; link = link->Next.get())
      candidates.Statement(*link->Tree);
  }
  std::vector<TParkedValue> chosen;
  if (z_given) {
    chosen = {{TCodeEmitter::kBlock, calc::kZ, true, true}};
    if (!FitsAbove(chosen, sections)) chosen.clear();
  } else if (any) {
    std::vector<TParkingCandidate> ranked = candidates.Ranked();
    if (ranked.size() > kMaxParkedTries) ranked.resize(kMaxParkedTries);
    int registers = 0;
    for (const TParkingCandidate& candidate : ranked) {
      if (registers + candidate.Place.Registers() > 6) continue;
      std::vector<TParkedValue> trial = chosen;
      trial.push_back(candidate.Place);
      if (!FitsAbove(trial, sections)) continue;
      chosen = std::move(trial);
      registers += candidate.Place.Registers();
    }
    // The coloring loop calls keep #z on the FPU and take the others off, which
    // is simplest with #z at the bottom. Where a value lies does not change what
    // a statement needs.
    std::stable_partition(chosen.begin(), chosen.end(),
                          [](const TParkedValue& value) { return !value.IsZ(); });
  }
  // The last measurement must be the one of the chosen values: it settles the
  // evaluation orders that both passes follow. Without any, the orders are
  // decided afresh, exactly as for code that never parks.
  orders_.clear();
  if (!chosen.empty()) FitsAbove(chosen, sections);
  return chosen;
}

bool TCompiler::FitsAbove(const std::vector<TParkedValue>& parked,
                          const std::vector<TSection>& sections) {
  orders_.clear();
  Park(parked);
  bool fits = true;
  for (const TSection& section : sections) {
    if (!RunsParked(section.Name)) continue;
    emitter_.Begin(nullptr);
    TranslateSection(section.First, section.End);
    fits = fits && section_peak_ <= free_registers_;
  }
  return fits;
}

void TCompiler::Park(const std::vector<TParkedValue>& values) {
  parked_ = values;
  free_registers_ = 8;
  for (const TParkedValue& value : values) free_registers_ -= value.Registers();
}

int TCompiler::ParkedRegister(const TExpression& node) const {
  TParkedValue place{};
  if (parked_.empty() || !PlaceOf(node, place)) return -1;
  int below = 0;
  for (const TParkedValue& value : parked_) {
    if (value.SamePlace(place)) return below;
    below += value.Registers();
  }
  return -1;
}

bool TCompiler::StaleInMemory(const TExpression& node) const {
  TParkedValue place{};
  if (parked_.empty() || !PlaceOf(node, place)) return false;
  for (const TParkedValue& value : parked_)
    if (value.SamePlace(place)) return value.Written;
  return false;
}

// A parked value lies `below` registers under the first parked value, which is
// directly under the statement's registers.
int TCompiler::LoadParked(int below, TValueType type) {
  const int registers = type == kTypeComplex ? 2 : 1;
  // A complex pushes its imaginary part, then its real part, now one further down.
  for (int i = 0; i < registers; ++i) emitter_.LoadRegister(depth_ + below + registers - 1);
  Push(registers);
  return registers;
}

// The new value replaces the parked one without being copied: each part is
// exchanged with the old part, which lies the value's registers plus `below`
// down, and the old part is popped. A copy (fstp st(i)) would lengthen the chain
// of dependent instructions from one iteration to the next; an exchange does not.
void TCompiler::StoreParked(int below, TExpression& value) {
  const int registers = Expression(value);
  for (int i = 0; i < registers; ++i) emitter_.ReplaceRegister(registers + below);
  depth_ -= registers;
}

}  // namespace zt
