// The variable table: entries, lookups, data-area layout, constant storage and
// the definite-initialization analysis over branch levels.
#include "formula/language/variable_list.h"

#include <algorithm>
#include <cassert>
#include <cstring>

#include "platform/text.h"

namespace zt {
namespace {

struct TStorage {
  std::int32_t Size;
  std::int32_t Align;
};

TStorage StorageOf(TValueType type) {
  switch (type) {
    case kTypeComplex: return {32, 16};
    case kTypeFloat: return {16, 16};
    case kTypeInt: return {4, 4};
    case kTypeBool: return {1, 1};
  }
  return {32, 16};
}

// An 80-bit extended real: the first 10 bytes of a long double on x86-64.
constexpr std::size_t kExtendedBytes = 10;

std::string CutName(std::string_view name) { return std::string(name.substr(0, kMaxVariableName)); }

TVariable* FindNamed(const std::vector<std::unique_ptr<TVariable>>& entries, TVariableKind kind,
                     std::string_view name) {
  for (const auto& v : entries) {
    if (v->Kind == kind && SameText(v->Name, name)) return v.get();
  }
  return nullptr;
}

}  // namespace

TVariable& TVariableList::Append(TVariableKind kind, TValueType type, bool initialized) {
  auto entry = std::make_unique<TVariable>();
  entry->Kind = kind;
  entry->Type = type;
  if (initialized) {
    // Given a value before any code runs: one record at depth 0 that no branch
    // level ever touches.
    entry->InitStack.push_back({0, true});
  } else {
    // As if it had existed, unassigned, before every open level: one record per
    // level, so that closing a level finds the record it expects.
    entry->InitStack.assign(branches_.size() + 1, TInitRecord{});
    entry->Depth = BranchDepth();
  }
  entries_.push_back(std::move(entry));
  return *entries_.back();
}

TVariable& TVariableList::AddVariable(std::string_view name, TValueType type) {
  TVariable& v = Append(TVariableKind::kVariable, type, false);
  v.Name = CutName(name);
  return v;
}

TVariable& TVariableList::AddTemporary(std::int32_t number, TValueType type) {
  TVariable& v = Append(TVariableKind::kTemporary, type, true);
  v.Number = number;
  return v;
}

TVariable& TVariableList::AddConstant(const TLiteral& value) {
  TVariable& v = Append(TVariableKind::kConstant, value.Type, true);
  v.Value = value;
  return v;
}

TVariable& TVariableList::AddParameterCopy(std::string_view name, TValueType type) {
  TVariable& v = Append(TVariableKind::kParameterCopy, type, true);
  v.Name = CutName(name);
  return v;
}

TVariable* TVariableList::FindVariable(std::string_view name) const {
  return FindNamed(entries_, TVariableKind::kVariable, name);
}

TVariable* TVariableList::FindParameterCopy(std::string_view name) const {
  return FindNamed(entries_, TVariableKind::kParameterCopy, name);
}

TVariable* TVariableList::FindTemporary(std::int32_t number) const {
  for (const auto& v : entries_) {
    if (v->Kind == TVariableKind::kTemporary && v->Number == number) return v.get();
  }
  return nullptr;
}

TVariable* TVariableList::FindConstant(const TLiteral& value) const {
  for (const auto& v : entries_) {
    if (v->Kind == TVariableKind::kConstant && SameValue(v->Value, value)) return v.get();
  }
  return nullptr;
}

void TVariableList::RemoveGenerated() {
  std::erase_if(entries_, [](const std::unique_ptr<TVariable>& v) {
    return v->Kind == TVariableKind::kTemporary || v->Kind == TVariableKind::kConstant;
  });
}

void TVariableList::Clear() {
  entries_.clear();
  branches_.clear();
  data_size_ = 0;
}

void TVariableList::Layout() {
  std::int32_t end = 0;
  for (const auto& v : entries_) {
    const TStorage s = StorageOf(v->Type);
    v->Offset = (end + s.Align - 1) / s.Align * s.Align;
    end = v->Offset + s.Size;
  }
  data_size_ = end;
}

void TVariableList::StoreConstants(std::uint8_t* data) const {
  static_assert(sizeof(long double) >= kExtendedBytes);
  for (const auto& v : entries_) {
    if (v->Kind != TVariableKind::kConstant) continue;
    std::uint8_t* at = data + v->Offset;
    const TLiteral& c = v->Value;
    switch (c.Type) {
      case kTypeComplex:
        std::memcpy(at, &c.Re, kExtendedBytes);
        std::memcpy(at + offsetof(TValueSlot, Im), &c.Im, kExtendedBytes);
        break;
      case kTypeFloat: std::memcpy(at, &c.Re, kExtendedBytes); break;
      case kTypeInt: {
        const auto u = static_cast<std::uint32_t>(c.Int);
        for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(u >> (8 * i));
        break;
      }
      case kTypeBool: at[0] = c.Bool ? 1 : 0; break;
    }
  }
}

void TVariableList::PushBranch() {
  branches_.push_back(0);
  const std::int32_t depth = BranchDepth();
  for (const auto& v : entries_) {
    if (!v->InitStack.back().Initialized) {
      v->InitStack.push_back(TInitRecord{});
      v->Depth = depth;
    }
  }
}

void TVariableList::NextBranch() {
  assert(!branches_.empty());
  ++branches_.back();
  const std::int32_t depth = BranchDepth();
  for (const auto& v : entries_) {
    TInitRecord& top = v->InitStack.back();
    if (v->Depth == depth && top.Initialized) {
      ++top.BranchCount;
      top.Initialized = false;
    }
  }
}

void TVariableList::PopBranch() {
  assert(!branches_.empty());
  const std::int32_t branches = branches_.back();
  const std::int32_t depth = BranchDepth();
  branches_.pop_back();
  for (const auto& v : entries_) {
    if (v->Depth != depth) continue;
    const TInitRecord closed = v->InitStack.back();
    v->InitStack.pop_back();
    if (branches > 0 && closed.BranchCount == branches && closed.Initialized) {
      v->InitStack.back().Initialized = true;
    }
    --v->Depth;
  }
}

void TVariableList::MarkInitialized(TVariable& var) { var.InitStack.back().Initialized = true; }

bool TVariableList::IsInitialized(const TVariable& var) const {
  return var.InitStack.back().Initialized;
}

void TVariableList::ForceInitialized(TVariable& var) {
  var.InitStack.assign(1, TInitRecord{0, true});
  var.Depth = 0;
}

}  // namespace zt
