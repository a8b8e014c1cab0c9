// Tests of the render file's figures: rows per strip, and heads that survive
// their encoding. The bytes of whole files are pinned by the render tests.
#include "document/disk/render_file.h"

#include <gtest/gtest.h>

namespace zt {
namespace {

TEST(RenderFile, RowsPerStripFollowTheWidth) {
  const struct {
    int Width, Rows;
  } cases[] = {{1000, 52}, {60000, 1}, {3000, 17}, {1, 52428}, {52429, 1}, {100000, 1}};
  for (const auto& c : cases) EXPECT_EQ(RowsPerStrip(c.Width), c.Rows) << c.Width;
}

TEST(RenderFile, HeadsSurviveTheirEncoding) {
  TRenderHead head;
  head.TextLength = 1234;
  head.Width = 3000;
  head.Height = 40;
  head.RowsPerStrip = RowsPerStrip(3000);
  head.StripMarker = 1;
  head.LayerMarker = 2;
  head.Layers = 3;
  head.Threshold = 0.5;
  head.Depth = 2;
  head.InAntiAlias = true;
  head.Format = TImageFormat::kJPEG;
  head.Options = {true, 80, true};
  head.Elapsed = 0.25;
  head.ResumeOffset = 123456789;
  const TRenderHeadBytes bytes = EncodeRenderHead(head);
  const TRenderHead read = DecodeRenderHead(bytes.data(), "x.zdr");
  EXPECT_EQ(EncodeRenderHead(read), bytes);
  EXPECT_EQ(read.Options, (TFormatOptions{true, 80, true}));
  // A JPEG quality of 80 in the option bytes, the baseline flag behind it.
  EXPECT_EQ(bytes[64], 3);
  EXPECT_EQ(bytes[65], 80);
  EXPECT_EQ(bytes[69], 1);

  TBatchSource source{TImageFormat::kPSD, {false, 95, false}, 1.5, 4, 2, 3, "A {\n}\n"};
  const std::string block = EncodeBatchSource(source);
  const TBatchSource back = DecodeBatchSource(
      reinterpret_cast<const std::uint8_t*>(block.data()) + 4, block.size() - 4, "x.zdr");
  EXPECT_EQ(EncodeBatchSource(back), block);
}

}  // namespace
}  // namespace zt
