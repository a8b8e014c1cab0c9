// Tests of the Photoshop writer: the file is read back by a small reader that
// follows the recorded lengths, so every patched length is checked too.
#include "document/export/export_psd.h"

#include <gtest/gtest.h>

#include <vector>

#include "document/testing/export_sample.h"
#include "testing/test_support.h"

namespace zt {
namespace {

// Reads big-endian numbers and PackBits data from a file image.
class TReader {
 public:
  explicit TReader(std::string bytes) : bytes_(std::move(bytes)) {}
  uint32_t Number(int size) {
    uint32_t value = 0;
    for (int i = 0; i < size; ++i) value = value << 8 | static_cast<uint8_t>(bytes_.at(at_++));
    return value;
  }
  std::string Text(size_t size) {
    std::string text = bytes_.substr(at_, size);
    at_ += size;
    return text;
  }
  std::vector<uint8_t> Unpack(size_t packed_size) { return testing::UnpackBits(Text(packed_size)); }
  size_t at() const { return at_; }
  size_t size() const { return bytes_.size(); }

 private:
  std::string bytes_;
  size_t at_ = 0;
};

struct TChannel {
  int Id;
  uint32_t Length;
};

struct TLayerRecord {
  std::vector<TChannel> Channels;
  std::string Key;
  int Opacity;
  int Flags;
  std::string Name;
};

struct TPSD {
  std::vector<TLayerRecord> Layers;
  // Decoded rows: layer channels[record][channel][row], merged[channel][row].
  std::vector<std::vector<std::vector<std::vector<uint8_t>>>> LayerRows;
  std::vector<std::vector<std::vector<uint8_t>>> Merged;
};

// Reads one compressed channel of `height` rows.
std::vector<std::vector<uint8_t>> ReadRows(TReader& r, int height) {
  std::vector<uint32_t> counts;
  for (int y = 0; y < height; ++y) counts.push_back(r.Number(2));
  std::vector<std::vector<uint8_t>> rows;
  for (uint32_t count : counts) rows.push_back(r.Unpack(count));
  return rows;
}

TPSD ReadPSD(const std::string& file, int width, int height) {
  TReader r(file);
  TPSD psd;
  EXPECT_EQ(r.Text(4), "8BPS");
  // version, reserved, channels, rows, columns, depth, RGB, color mode data, resources
  const std::pair<int, uint32_t> header[] = {
      {2, 1}, {4, 0}, {2, 0}, {2, 3}, {4, uint32_t(height)}, {4, uint32_t(width)},
      {2, 8}, {2, 3}, {4, 0}, {4, 0}};
  for (auto [size, value] : header) EXPECT_EQ(r.Number(size), value);
  uint32_t section = r.Number(4);
  size_t section_end = r.at() + section;
  if (section > 0) {
    uint32_t info = r.Number(4);
    size_t info_end = r.at() + info;
    int count = static_cast<int16_t>(r.Number(2));
    for (int i = 0; i < count; ++i) {
      TLayerRecord layer;
      for (uint32_t edge : {0u, 0u, uint32_t(height), uint32_t(width)})
        EXPECT_EQ(r.Number(4), edge);
      int channels = r.Number(2);
      for (int c = 0; c < channels; ++c) {
        int id = static_cast<int16_t>(r.Number(2));
        layer.Channels.push_back({id, r.Number(4)});
      }
      EXPECT_EQ(r.Text(4), "8BIM");
      layer.Key = r.Text(4);
      layer.Opacity = r.Number(1);
      EXPECT_EQ(r.Number(1), 0u) << "clipping";
      layer.Flags = r.Number(1);
      EXPECT_EQ(r.Number(1), 0u) << "filler";
      uint32_t extra = r.Number(4);
      size_t extra_end = r.at() + extra;
      EXPECT_EQ(r.Number(4), 0u) << "mask";
      EXPECT_EQ(r.Number(4), 40u);
      for (int range = 0; range < 10; ++range) EXPECT_EQ(r.Number(4), 0x0000FFFFu);
      size_t name_length = r.Number(1);
      layer.Name = r.Text(name_length);
      size_t pad = (4 - (1 + name_length) % 4) % 4;
      EXPECT_EQ(extra_end - r.at(), pad) << "name padding";
      EXPECT_EQ(r.Text(pad), std::string(pad, '\0'));
      psd.Layers.push_back(layer);
    }
    for (const TLayerRecord& layer : psd.Layers) {
      psd.LayerRows.emplace_back();
      for (const TChannel& channel : layer.Channels) {
        size_t start = r.at();
        EXPECT_EQ(r.Number(2), 1u);
        psd.LayerRows.back().push_back(ReadRows(r, height));
        EXPECT_EQ(r.at() - start, channel.Length);
      }
    }
    if (r.at() % 2 != 0) {
      EXPECT_EQ(r.Number(1), 0u) << "pad";
    }
    EXPECT_EQ(r.at(), info_end) << "layer info length";
    EXPECT_EQ(r.Number(4), 0u) << "global mask";
  }
  EXPECT_EQ(r.at(), section_end) << "section length";
  EXPECT_EQ(r.Number(2), 1u);
  std::vector<std::vector<uint32_t>> counts(3);
  for (auto& channel : counts) {
    for (int y = 0; y < height; ++y) channel.push_back(r.Number(2));
  }
  for (const auto& channel : counts) {
    psd.Merged.emplace_back();
    for (uint32_t count : channel) psd.Merged.back().push_back(r.Unpack(count));
  }
  EXPECT_EQ(r.at(), r.size());
  return psd;
}

TPSD ExportSample(const std::filesystem::path& path, int width, int height, int layers, bool flag,
                  const TExportImage::TGetLayerInfo& info = nullptr) {
  TExportPSDImage exporter(path, flag);
  testing::WireSample(exporter, width);
  if (info) exporter.GetLayerInfo = info;
  exporter.Execute(testing::SampleDescription(width, height, layers));
  return ReadPSD(testing::ReadFile(path), width, height);
}

std::vector<uint8_t> LayerChannelRow(int layer, int y, int width, int offset) {
  std::vector<uint8_t> row;
  for (int x = 0; x < width; ++x) {
    uint8_t bgra[4];
    testing::SampleLayerPixel(layer, x, y, bgra);
    row.push_back(bgra[offset]);
  }
  return row;
}

void ExpectMergedImage(const TPSD& psd, int width, int height) {
  ASSERT_EQ(psd.Merged.size(), 3u);
  const int offsets[] = {2, 1, 0};
  for (int c = 0; c < 3; ++c) {
    for (int y = 0; y < height; ++y) {
      std::vector<uint8_t> expected;
      for (int x = 0; x < width; ++x) {
        uint8_t bgr[3];
        testing::SampleMergedPixel(x, y, bgr);
        expected.push_back(bgr[offsets[c]]);
      }
      EXPECT_EQ(psd.Merged[c][y], expected) << "channel " << c << " row " << y;
    }
  }
}

TEST(ExportPSD, BlendKeys) {
  const char* expected[] = {"norm", "mul ", "scrn", "over", "sLit", "hLit", "dark",
                            "lite", "diff", "hue ", "sat ", "colr", "lum "};
  for (int mode = 0; mode <= 18; ++mode) {
    EXPECT_EQ(PSDBlendKey(mode), mode <= 12 ? expected[mode] : "norm") << mode;
  }
}

TEST(ExportPSD, SingleLayerIsOpaqueWithThreeChannels) {
  testing::TempDir dir;
  TPSD psd = ExportSample(dir.path() / "one.psd", 4, 2, 1, true, [](int, TExportLayerInfo& info) {
    info.Name = "Only";
    info.Opacity = 40;
    info.MergeMode = 13;
  });
  ASSERT_EQ(psd.Layers.size(), 1u);
  const TLayerRecord& layer = psd.Layers[0];
  ASSERT_EQ(layer.Channels.size(), 3u);
  EXPECT_EQ(layer.Channels[0].Id, 0);
  EXPECT_EQ(layer.Opacity, 255);
  EXPECT_EQ(layer.Key, "norm");
  EXPECT_EQ(layer.Name, "Only");
  ExpectMergedImage(psd, 4, 2);
}

TEST(ExportPSD, LayersFromBottomToTopWithTheirChannels) {
  testing::TempDir dir;
  const int width = 131, height = 3;  // wider than a PackBits packet
  TPSD psd = ExportSample(dir.path() / "layers.psd", width, height, 3, true);
  ASSERT_EQ(psd.Layers.size(), 3u);
  struct Expected {
    const char* Name;
    const char* Key;
    int Opacity;
    int Flags;
    size_t Channels;
  } expected[] = {
      {"Layer 2", "norm", 255, 0, 3},  // bottom: mode 13 has no key, always opaque
      {"Layer 1", "mul ", 191, 2, 4},  // 75 % and hidden
      {"Layer 0", "norm", 127, 0, 4},  // 50 %
  };
  const int offsets_by_id[] = {2, 1, 0};  // red, green, blue
  for (int i = 0; i < 3; ++i) {
    const TLayerRecord& layer = psd.Layers[i];
    int source_layer = 2 - i;
    EXPECT_EQ(layer.Name, expected[i].Name);
    EXPECT_EQ(layer.Key, expected[i].Key) << i;
    EXPECT_EQ(layer.Opacity, expected[i].Opacity) << i;
    EXPECT_EQ(layer.Flags, expected[i].Flags) << i;
    ASSERT_EQ(layer.Channels.size(), expected[i].Channels) << i;
    for (size_t c = 0; c < layer.Channels.size(); ++c) {
      int id = layer.Channels[c].Id;
      EXPECT_EQ(id, static_cast<int>(c) - static_cast<int>(layer.Channels.size() - 3));
      int offset = id < 0 ? 3 : offsets_by_id[id];
      for (int y = 0; y < height; ++y) {
        EXPECT_EQ(psd.LayerRows[i][c][y], LayerChannelRow(source_layer, y, width, offset))
            << "layer " << source_layer << " channel " << id << " row " << y;
      }
    }
  }
  ExpectMergedImage(psd, width, height);
}

TEST(ExportPSD, NamesAreCutTo255AndPadded) {
  struct Case {
    size_t Length;
    size_t Expected;
  } cases[] = {{0, 0}, {1, 1}, {3, 3}, {4, 4}, {255, 255}, {300, 255}};
  for (const Case& c : cases) {
    testing::TempDir dir;
    std::string name(c.Length, 'n');
    TPSD psd = ExportSample(dir.path() / "names.psd", 2, 1, 2, true,
                            [&](int, TExportLayerInfo& info) { info.Name = name; });
    ASSERT_EQ(psd.Layers.size(), 2u) << c.Length;
    EXPECT_EQ(psd.Layers[0].Name, std::string(c.Expected, 'n'));
  }
}

TEST(ExportPSD, ExternalReaderSeesTheLayers) {
  const std::string python = "/usr/bin/python3";
  if (testing::RunCommand(python + " -c 'import psd_tools'").ExitCode != 0) {
    GTEST_SKIP() << "psd_tools is not installed";
  }
  testing::TempDir dir;
  auto path = dir.path() / "four.psd";
  TExportPSDImage exporter(path, true);
  testing::WireSample(exporter, 33);
  exporter.Execute(testing::SampleDescription(33, 17, 4));
  auto result = testing::RunCommand(
      python +
      " -c \"import sys; from psd_tools import PSDImage; p = PSDImage.open(sys.argv[1]); "
      "print(p.size, [(l.name, str(l.blend_mode), l.opacity, l.visible) for l in p])\" '" +
      path.string() + "'");
  EXPECT_EQ(result.ExitCode, 0) << result.Output;
  EXPECT_EQ(result.Output,
            "(33, 17) [('Layer 3', 'BlendMode.OVERLAY', 255, True), "
            "('Layer 2', 'BlendMode.NORMAL', 255, True), "
            "('Layer 1', 'BlendMode.MULTIPLY', 191, False), "
            "('Layer 0', 'BlendMode.NORMAL', 127, True)]\n");
}

}  // namespace
}  // namespace zt
