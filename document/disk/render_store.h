// The temporary file of a disk or batch render: positioned reads and writes
// straight to the operating system, so that data reach the file in the order
// they are written and a killed process loses nothing it wrote before.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace zt {

// Used on one thread. Owns the file descriptor.
class TRenderStore {
 public:
  // Creates or empties the file; ERenderError "Could not create '%s'".
  static std::unique_ptr<TRenderStore> Create(const std::string& name);
  // Opens an existing file for reading and writing; ERenderError "Could not open
  // disk render file '%s'".
  static std::unique_ptr<TRenderStore> Open(const std::string& name);
  ~TRenderStore();
  TRenderStore(const TRenderStore&) = delete;
  TRenderStore& operator=(const TRenderStore&) = delete;

  const std::string& Name() const { return name_; }
  std::uint64_t Size() const;
  // False when the file ends before `size` bytes were read.
  [[nodiscard]] bool Read(std::uint64_t at, void* data, std::size_t size) const;
  // ERenderError "Error writing '%s'. Probably the destination disk is full".
  void Write(std::uint64_t at, const void* data, std::size_t size);
  // Waits until what was written is on the disk.
  void Sync();
  // Closes and deletes the file.
  void Remove();

 private:
  TRenderStore(std::string name, int fd) : name_(std::move(name)), fd_(fd) {}
  [[noreturn]] void WriteError() const;

  std::string name_;
  int fd_;
};

}  // namespace zt
