// The construct stack of the type checker.
#include "formula/language/construct_list.h"

#include <cassert>

namespace zt {

void TConstructList::Push(std::int32_t code) { Items_.push_back(TConstruct{code, 0, 0}); }

void TConstructList::Pop() {
  assert(!Items_.empty());
  Items_.pop_back();
}

TConstruct& TConstructList::Top() {
  assert(!Items_.empty());
  return Items_.back();
}

void TConstructList::Clear() { Items_.clear(); }

}  // namespace zt
