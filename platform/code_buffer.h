// Executable memory for generated code: one mapping that is writable while the
// two code-generation passes fill it and read-execute afterwards, never both.
//
// Thread safety: a buffer is filled and sealed by one thread (the compiling one).
// After Seal() its code may run on any number of threads at once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace zt {

class TCodeBuffer {
 public:
  // An empty buffer (no mapping).
  TCodeBuffer() = default;
  ~TCodeBuffer();
  TCodeBuffer(TCodeBuffer&& other) noexcept;
  TCodeBuffer& operator=(TCodeBuffer&& other) noexcept;
  TCodeBuffer(const TCodeBuffer&) = delete;
  TCodeBuffer& operator=(const TCodeBuffer&) = delete;

  // Maps `size` read-write bytes; size 0 gives an empty buffer. Raises
  // "Could not allocate code memory" when the system refuses the mapping.
  static TCodeBuffer Allocate(std::size_t size);

  // The start of the code; null when empty. Writable only until Seal().
  std::uint8_t* Data() { return data_; }
  const std::uint8_t* Data() const { return data_; }
  std::size_t Size() const { return size_; }
  bool Empty() const { return size_ == 0; }
  std::span<const std::uint8_t> Bytes() const { return {data_, size_}; }

  // Makes the code read-execute. Writing through Data() afterwards faults.
  // Raises "Could not protect code memory" when the system refuses.
  void Seal();
  bool Sealed() const { return sealed_; }

 private:
  TCodeBuffer(std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  void Release();

  std::uint8_t* data_ = nullptr;
  std::size_t size_ = 0;
  bool sealed_ = false;
};

}  // namespace zt
