// The stack of open IF, WHILE and REPEAT constructs while an entry's program is
// checked, with two number fields that the later stages use for jump labels.
#pragma once

#include <cstdint>
#include <vector>

namespace zt {

// One open construct. `Code` is the keyword code of the construct (IF, or ELSE
// once an ELSE was met, WHILE, REPEAT); the labels are zero when pushed.
struct TConstruct {
  std::int32_t Code = 0;
  std::int32_t Label1 = 0;
  std::int32_t Label2 = 0;
};

// Used by one compiler object on its own thread only.
class TConstructList {
 public:
  void Push(std::int32_t code);
  // Removes the innermost construct. The stack must not be empty.
  void Pop();
  // The innermost construct. The stack must not be empty; the reference is valid
  // until the next Push, Pop or Clear.
  TConstruct& Top();
  void Clear();
  bool Empty() const { return items_.empty(); }
  int Count() const { return static_cast<int>(items_.size()); }

 private:
  std::vector<TConstruct> items_;
};

}  // namespace zt
