// The variable table of one compiled entry: named variables, the code
// generator's temporaries, deduplicated constants and writable copies of
// parameters, with their layout in the entry's data area and the
// definite-initialization analysis that the type checker runs over branches.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "formula/language/value.h"

namespace zt {

enum class TVariableKind : std::uint8_t {
  kVariable = 0,       // a name of the entry's code
  kTemporary = 1,      // scratch value of the code generator
  kConstant = 2,       // a literal value kept in the data area
  kParameterCopy = 3,  // a writable copy of a parameter
};

// Longest stored name; longer names are cut, as the lexer cuts them.
inline constexpr std::size_t kMaxVariableName = 63;

// One level of a variable's initialization state: how many earlier branches of
// the level assigned the variable, and whether the current branch has.
struct TInitRecord {
  std::int32_t BranchCount = 0;
  bool Initialized = false;
};

// An entry of the table. Expression nodes keep raw pointers to entries; an entry
// keeps its address until the list frees it (Clear, or RemoveGenerated for
// temporaries and constants).
struct TVariable {
  std::int32_t Offset = 0;  // byte offset in the data area, set by Layout
  std::int32_t Line = 0;    // where a variable was first met (from 0)
  std::int32_t Column = 0;
  // Branch depth of the top initialization record, and the record stack
  // (never empty; back() is the top).
  std::int32_t Depth = 0;
  std::vector<TInitRecord> InitStack;
  bool Read = false;  // the variable is read somewhere
  TVariableKind Kind = TVariableKind::kVariable;
  std::string Name;                // variables and parameter copies
  TValueType Type = kTypeComplex;  // every kind; a constant's equals Value.Type
  std::int32_t Number = 0;         // temporaries
  TLiteral Value;                  // constants
};

// How an extended value can be loaded from doubles: not at all (out of their
// range, or more significant bits than two doubles hold), from one double, or as
// the exact sum of a high and a low double. Two 64-bit loads cost far less than
// one 80-bit load on current processors, and the sum is exact, so the value
// arrives to the bit.
enum class TDoubleForm : std::uint8_t { kNone, kHigh, kHighLow };
TDoubleForm SplitExtended(long double value, double& high, double& low);

// Used by one compiler object on its own thread only.
class TVariableList {
 public:
  TVariableList() = default;
  TVariableList(const TVariableList&) = delete;
  TVariableList& operator=(const TVariableList&) = delete;

  // Each Add returns the new entry, appended at the end of the list. A new
  // variable starts not initialized and takes part in the branch levels that are
  // open; the other kinds always count as initialized.
  TVariable& AddVariable(std::string_view name, TValueType type);
  TVariable& AddTemporary(std::int32_t number, TValueType type);
  TVariable& AddConstant(const TLiteral& value);
  TVariable& AddParameterCopy(std::string_view name, TValueType type);

  // Lookups by kind; names compare without regard to case, constants by
  // SameValue (type and value). Null when there is none.
  TVariable* FindVariable(std::string_view name) const;
  TVariable* FindTemporary(std::int32_t number) const;
  TVariable* FindConstant(const TLiteral& value) const;
  TVariable* FindParameterCopy(std::string_view name) const;

  // Frees every temporary and constant, keeping the order of the others.
  void RemoveGenerated();
  // Frees every entry and resets the branch analysis.
  void Clear();

  // Gives every entry, in list order, its aligned offset; sets DataSize. A
  // complex or float constant's slot is twice the usual size: its second half
  // holds each part's doubles (see DoublesOffset).
  void Layout();
  std::int32_t DataSize() const { return data_size_; }
  // Writes every constant at its offset into `data` (at least DataSize bytes,
  // after Layout), in the data area's little-endian x87 format, and the doubles
  // of complex and float constants behind.
  void StoreConstants(std::uint8_t* data) const;
  // Where the high and low double of a complex or float constant's real (or
  // only) part lie; the imaginary part's follow 16 bytes later. Zero when the
  // part has no TDoubleForm.
  static std::int32_t DoublesOffset(const TVariable& constant);

  int Count() const { return static_cast<int>(entries_.size()); }
  TVariable& Item(int index) const { return *entries_[static_cast<std::size_t>(index)]; }

  // Definite initialization. PushBranch opens a branch level (IF, WHILE),
  // NextBranch starts the next branch of the innermost level (ELSEIF, ELSE, and
  // the empty ELSE of an IF without one), PopBranch closes it. A variable is
  // initialized after a level when every branch assigned it; a level without a
  // NextBranch (a loop body) never initializes.
  void PushBranch();
  void NextBranch();
  void PopBranch();
  std::int32_t BranchDepth() const { return static_cast<std::int32_t>(branches_.size()); }
  // An assignment to `var` in the current branch.
  void MarkInitialized(TVariable& var);
  bool IsInitialized(const TVariable& var) const;
  // `var` is given a value at the start of the program: initialized for good,
  // in every branch level, open or yet to come.
  void ForceInitialized(TVariable& var);

 private:
  TVariable& Append(TVariableKind kind, TValueType type, bool initialized);

  std::vector<std::unique_ptr<TVariable>> entries_;
  std::vector<std::int32_t> branches_;  // branch count per open level
  std::int32_t data_size_ = 0;
};

}  // namespace zt
