// The Photoshop writer. Lengths that are known only after the data (section
// lengths, channel lengths, row byte counts) are written as placeholders and
// patched afterwards. All numbers are big-endian.
#include "document/export/export_psd.h"

#include <algorithm>
#include <vector>

#include "document/export/export_helpers.h"

namespace zt {

namespace {

std::string BigEndian(uint32_t value, int bytes) {
  std::string out;
  AppendBigEndian(out, value, bytes);
  return out;
}

// Byte offsets of the channels in a blue, green, red, alpha pixel, in the order
// the channels are written: transparency (where present), red, green, blue.
constexpr int kAlphaOffset = 3;
constexpr int kColorOffsets[] = {2, 1, 0};

}  // namespace

std::string PSDBlendKey(int merge_mode) {
  static const char* const kKeys[] = {"norm", "mul ", "scrn", "over", "sLit", "hLit", "dark",
                                      "lite", "diff", "hue ", "sat ", "colr", "lum "};
  if (merge_mode < 0 || merge_mode > 12) return "norm";
  return kKeys[merge_mode];
}

TExportPSDImage::TExportPSDImage(const std::filesystem::path& file_name, bool layers)
    : TExportImage(file_name), layers_(layers) {}

void TExportPSDImage::Export() {
  const TExportDescription& d = Description();
  std::string header = "8BPS";
  AppendBigEndian(header, 1, 2);
  header.append(6, '\0');
  AppendBigEndian(header, 3, 2);  // channels
  AppendBigEndian(header, static_cast<uint32_t>(d.Height), 4);
  AppendBigEndian(header, static_cast<uint32_t>(d.Width), 4);
  AppendBigEndian(header, 8, 2);  // depth
  AppendBigEndian(header, 3, 2);  // RGB
  AppendBigEndian(header, 0, 4);  // color mode data
  AppendBigEndian(header, 0, 4);  // image resources
  Write(header);

  int layer_count = layers_ ? std::max(d.LayerCount, 0) : 0;
  // Every layer has red, green and blue, all but the bottom one transparency too.
  int64_t layer_channels = layer_count == 0 ? 0 : 4 * int64_t{layer_count} - 1;
  rows_total_ = (layer_channels + 3) * d.Height;
  rows_done_ = 0;
  if (layers_) {
    WriteLayers();
  } else {
    Write(BigEndian(0, 4));
  }
  WriteMergedImage();
}

void TExportPSDImage::WriteLayers() {
  const TExportDescription& d = Description();
  const int count = std::max(d.LayerCount, 0);
  const uint64_t start = Position();
  Write(std::string(10, '\0'));

  // Records and channel data both run from the bottom layer up to layer 0.
  std::vector<uint64_t> entries(count);
  for (int layer = count - 1; layer >= 0; --layer) WriteLayerRecord(layer, entries[layer]);

  std::vector<uint8_t> row(static_cast<size_t>(d.Width) * 4);
  for (int layer = count - 1; layer >= 0; --layer) {
    std::vector<int> offsets(std::begin(kColorOffsets), std::end(kColorOffsets));
    if (layer != count - 1) offsets.insert(offsets.begin(), kAlphaOffset);
    for (size_t c = 0; c < offsets.size(); ++c) {
      const uint64_t channel_start = Position();
      Write(BigEndian(1, 2));  // PackBits
      const uint64_t table = Position();
      Write(std::string(2 * static_cast<size_t>(d.Height), '\0'));
      WriteChannelRows(table, [&](int y, uint8_t* channel) {
        LayerRow(layer, y, row.data());
        ExtractChannel(row.data(), d.Width, 4, offsets[c], channel);
      });
      // The length sits behind the 2-byte channel id of entry c.
      Patch(entries[layer] + 6 * c + 2,
            BigEndian(static_cast<uint32_t>(Position() - channel_start), 4));
    }
  }

  if (Position() % 2 != 0) Write(std::string(1, '\0'));
  Write(BigEndian(0, 4));  // global layer mask
  const uint64_t end = Position();
  Patch(start, BigEndian(static_cast<uint32_t>(end - start - 4), 4) +
                   BigEndian(static_cast<uint32_t>(end - start - 12), 4) +
                   BigEndian(static_cast<uint16_t>(count), 2));
}

void TExportPSDImage::WriteLayerRecord(int layer, uint64_t& channel_entries) {
  const TExportDescription& d = Description();
  const bool bottom = layer == d.LayerCount - 1;
  const TExportLayerInfo info = LayerInfo(layer);
  std::string record;
  AppendBigEndian(record, 0, 4);  // top
  AppendBigEndian(record, 0, 4);  // left
  AppendBigEndian(record, static_cast<uint32_t>(d.Height), 4);
  AppendBigEndian(record, static_cast<uint32_t>(d.Width), 4);
  AppendBigEndian(record, bottom ? 3 : 4, 2);
  const size_t entries = record.size();
  auto add_entry = [&record](int id) {
    AppendBigEndian(record, static_cast<uint16_t>(id), 2);
    AppendBigEndian(record, 0, 4);  // data length, patched when the channel is written
  };
  if (!bottom) add_entry(-1);  // transparency
  for (int id = 0; id < 3; ++id) add_entry(id);
  record += "8BIM" + PSDBlendKey(info.MergeMode);
  int opacity = bottom ? 255 : std::clamp(info.Opacity, 0, 100) * 255 / 100;
  record.push_back(static_cast<char>(opacity));
  record.push_back(0);  // clipping
  record.push_back(static_cast<char>(info.Visible ? 0 : 2));
  record.push_back(0);  // filler

  std::string name = info.Name.substr(0, 255);
  std::string padded_name(1, static_cast<char>(name.size()));
  padded_name += name;
  padded_name.resize((padded_name.size() + 3) & ~size_t{3}, '\0');
  AppendBigEndian(record, static_cast<uint32_t>(48 + padded_name.size()), 4);
  AppendBigEndian(record, 0, 4);   // no layer mask
  AppendBigEndian(record, 40, 4);  // blending ranges: five pairs, each letting everything through
  for (int range = 0; range < 10; ++range) record += std::string("\0\0\xFF\xFF", 4);
  record += padded_name;

  channel_entries = Position() + entries;
  Write(record);
}

void TExportPSDImage::WriteChannelRows(
    uint64_t table, const std::function<void(int row, uint8_t* channel)>& fetch) {
  const TExportDescription& d = Description();
  std::vector<uint8_t> channel(static_cast<size_t>(d.Width));
  std::string counts;
  std::string packed;
  for (int y = 0; y < d.Height; ++y) {
    fetch(y, channel.data());
    packed.clear();
    PackBits(channel.data(), channel.size(), packed);
    Write(packed);
    AppendBigEndian(counts, static_cast<uint32_t>(packed.size()), 2);
    SetProgress(++rows_done_, rows_total_);
  }
  Patch(table, counts);
}

void TExportPSDImage::WriteMergedImage() {
  const TExportDescription& d = Description();
  Write(BigEndian(1, 2));  // PackBits
  const uint64_t table = Position();
  Write(std::string(3 * 2 * static_cast<size_t>(d.Height), '\0'));
  std::vector<uint8_t> row(static_cast<size_t>(d.Width) * 3);
  for (int c = 0; c < 3; ++c) {
    WriteChannelRows(table + 2 * static_cast<uint64_t>(c) * d.Height, [&](int y, uint8_t* channel) {
      Row(y, row.data());
      ExtractChannel(row.data(), d.Width, 3, kColorOffsets[c], channel);
    });
  }
}

}  // namespace zt
