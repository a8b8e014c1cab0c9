// Tests of the executable code buffer: mapping, sealing, running, ownership.
#include "platform/code_buffer.h"

#include <gtest/gtest.h>

#include <utility>

namespace zt {
namespace {

TEST(CodeBuffer, SealedCodeRuns) {
  // mov eax, 42; ret
  TCodeBuffer buffer = TCodeBuffer::Allocate(6);
  ASSERT_EQ(buffer.Size(), 6u);
  const std::uint8_t code[] = {0xB8, 42, 0, 0, 0, 0xC3};
  std::copy(std::begin(code), std::end(code), buffer.Data());
  EXPECT_FALSE(buffer.Sealed());
  buffer.Seal();
  EXPECT_TRUE(buffer.Sealed());
  auto function = reinterpret_cast<int (*)()>(const_cast<std::uint8_t*>(buffer.Data()));
  EXPECT_EQ(function(), 42);
  EXPECT_EQ(buffer.Bytes()[0], 0xB8);  // sealed code stays readable

  // An empty buffer seals without a mapping.
  TCodeBuffer empty = TCodeBuffer::Allocate(0);
  EXPECT_TRUE(empty.Empty());
  EXPECT_EQ(empty.Data(), nullptr);
  empty.Seal();
  EXPECT_TRUE(empty.Sealed());
}

TEST(CodeBuffer, MoveHandsTheMappingOver) {
  TCodeBuffer a = TCodeBuffer::Allocate(16);
  std::uint8_t* data = a.Data();
  a.Seal();
  TCodeBuffer b = std::move(a);
  EXPECT_EQ(b.Data(), data);
  EXPECT_TRUE(b.Sealed());
  EXPECT_EQ(a.Data(), nullptr);
  EXPECT_EQ(a.Size(), 0u);
  EXPECT_FALSE(a.Sealed());

  TCodeBuffer c = TCodeBuffer::Allocate(8);
  c = std::move(b);  // c's own mapping is released
  EXPECT_EQ(c.Data(), data);
  EXPECT_EQ(c.Size(), 16u);
}

}  // namespace
}  // namespace zt
