// Tests of the exporters' encoding helpers, byte for byte.
#include "document/export/export_helpers.h"

#include <gtest/gtest.h>

#include <vector>

#include "document/testing/export_sample.h"

namespace zt {
namespace {

std::string Bytes(std::initializer_list<int> values) {
  std::string out;
  for (int v : values) out.push_back(static_cast<char>(v));
  return out;
}

std::string Packed(const std::vector<uint8_t>& data) {
  std::string out;
  PackBits(data.data(), data.size(), out);
  return out;
}

std::vector<uint8_t> Repeated(size_t count, uint8_t value) {
  return std::vector<uint8_t>(count, value);
}

std::vector<uint8_t> Ascending(size_t count) {
  std::vector<uint8_t> data(count);
  for (size_t i = 0; i < count; ++i) data[i] = static_cast<uint8_t>(i);
  return data;
}

std::vector<uint8_t> Join(std::vector<uint8_t> a, const std::vector<uint8_t>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

std::string Text(const std::vector<uint8_t>& data) { return std::string(data.begin(), data.end()); }

TEST(ExportHelpers, PackBitsPackets) {
  struct Case {
    const char* Name;
    std::vector<uint8_t> Data;
    std::string Expected;
  } cases[] = {
      {"empty", {}, ""},
      {"single byte", {7}, Bytes({0, 7})},
      {"pair is a run", {7, 7}, Bytes({0xFF, 7})},
      {"literal then run", {1, 2, 3, 3, 3}, Bytes({1, 1, 2, 0xFE, 3})},
      {"run then literal", {5, 5, 1, 2}, Bytes({0xFF, 5, 1, 1, 2})},
      {"200 equal bytes", Repeated(200, 9), Bytes({0x81, 9, 0xB9, 9})},
      {"128 equal bytes", Repeated(128, 4), Bytes({0x81, 4})},
      {"129 equal bytes", Repeated(129, 4), Bytes({0x81, 4, 0, 4})},
      {"130 equal bytes", Repeated(130, 4), Bytes({0x81, 4, 0xFF, 4})},
      // A literal packet closes at 128 bytes; a run right after needs no empty one.
      {"130 distinct bytes", Ascending(130),
       Bytes({127}) + Text(Ascending(128)) + Bytes({1, 128, 129})},
      {"128 distinct bytes, then a run", Join(Ascending(128), Repeated(3, 200)),
       Bytes({127}) + Text(Ascending(128)) + Bytes({0xFE, 200})},
  };
  for (const Case& c : cases) EXPECT_EQ(Packed(c.Data), c.Expected) << c.Name;
}

// Decoding the packets must give back any input.
TEST(ExportHelpers, PackBitsRoundTrips) {
  std::vector<uint8_t> data;
  for (int i = 0; i < 2000; ++i)
    data.push_back(static_cast<uint8_t>((i / 7) % 3 == 0 ? 42 : i * 31 % 251));
  EXPECT_EQ(testing::UnpackBits(Packed(data)), data);
}

TEST(ExportHelpers, ExtractChannel) {
  const uint8_t bgra[] = {1, 2, 3, 4, 11, 12, 13, 14};
  const uint8_t bgr[] = {1, 2, 3, 11, 12, 13};
  struct Case {
    const uint8_t* Row;
    int Stride;
    int Offset;
    std::vector<uint8_t> Expected;
  } cases[] = {
      {bgra, 4, 2, {3, 13}},
      {bgra, 4, 3, {4, 14}},
      {bgr, 3, 0, {1, 11}},
      {bgr, 3, 2, {3, 13}},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> channel(2);
    ExtractChannel(c.Row, 2, c.Stride, c.Offset, channel.data());
    EXPECT_EQ(channel, c.Expected) << c.Stride << "/" << c.Offset;
  }
}

TEST(ExportHelpers, PixelsPerMeterRounds) {
  EXPECT_EQ(PixelsPerMeter(72), 2835u);
  EXPECT_EQ(PixelsPerMeter(96), 3780u);
  EXPECT_EQ(PixelsPerMeter(0), 0u);
}

}  // namespace
}  // namespace zt
