// The construct stack of the type checker.
#include "formula/language/construct_list.h"

#include <cassert>

namespace zt {

void TConstructList::Push(std::int32_t code) { items_.push_back(TConstruct{code, 0, 0}); }

void TConstructList::Pop() {
  assert(!items_.empty());
  items_.pop_back();
}

TConstruct& TConstructList::Top() {
  assert(!items_.empty());
  return items_.back();
}

void TConstructList::Clear() { items_.clear(); }

}  // namespace zt
