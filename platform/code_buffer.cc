// Executable memory through mmap/mprotect: read-write while code is written,
// read-execute once sealed, unmapped when the buffer goes.
#include "platform/code_buffer.h"

#include <sys/mman.h>

#include <utility>

#include "platform/error.h"

namespace zt {

TCodeBuffer TCodeBuffer::Allocate(std::size_t size) {
  if (size == 0) return {};
  void* p = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (p == MAP_FAILED) throw EZentrope("Could not allocate code memory");
  return TCodeBuffer(static_cast<std::uint8_t*>(p), size);
}

TCodeBuffer::~TCodeBuffer() { Release(); }

TCodeBuffer::TCodeBuffer(TCodeBuffer&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      sealed_(std::exchange(other.sealed_, false)) {}

TCodeBuffer& TCodeBuffer::operator=(TCodeBuffer&& other) noexcept {
  if (this != &other) {
    Release();
    data_ = std::exchange(other.data_, nullptr);
    size_ = std::exchange(other.size_, 0);
    sealed_ = std::exchange(other.sealed_, false);
  }
  return *this;
}

void TCodeBuffer::Seal() {
  if (data_ && !sealed_ && mprotect(data_, size_, PROT_READ | PROT_EXEC) != 0)
    throw EZentrope("Could not protect code memory");
  sealed_ = true;
}

void TCodeBuffer::Release() {
  if (data_) munmap(data_, size_);
  data_ = nullptr;
  size_ = 0;
  sealed_ = false;
}

}  // namespace zt
