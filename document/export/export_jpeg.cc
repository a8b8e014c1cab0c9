// The JPEG writer. libjpeg reports errors through error_exit, which must not
// return; ours throws, so the stack unwinds back to Export() and the
// compressor is destroyed there. The library's other messages (warnings and
// notes such as coarse quantization tables) reach the person through the
// program's user interface instead of the library's own printing to standard
// error. Compressed data goes through a 4096-byte destination buffer into the
// exporter's checked writes.
#include "document/export/export_jpeg.h"

#include <jpeglib.h>
#include <cstdio>

#include <vector>

#include "platform/user_interface.h"

namespace zt {

namespace {

constexpr size_t kBufferSize = 4096;

[[noreturn]] void ThrowLibraryError(j_common_ptr info) {
  char message[JMSG_LENGTH_MAX];
  (*info->err->format_message)(info, message);
  throw EExportError(message);
}

void ShowLibraryMessage(j_common_ptr info) {
  char message[JMSG_LENGTH_MAX];
  (*info->err->format_message)(info, message);
  UserInterface().ShowMessage("Warning", message, TMessageKind::kWarning);
}

// The destination manager with its buffer; `write` is the exporter's checked
// write, which throws on a full disk.
struct TDestination : jpeg_destination_mgr {
  std::vector<JOCTET> Buffer = std::vector<JOCTET>(kBufferSize);
  std::function<void(const void*, size_t)> Write;

  static TDestination& Of(j_compress_ptr info) { return *static_cast<TDestination*>(info->dest); }
  static void Init(j_compress_ptr info) {
    TDestination& d = Of(info);
    d.next_output_byte = d.Buffer.data();
    d.free_in_buffer = d.Buffer.size();
  }
  static boolean Empty(j_compress_ptr info) {
    TDestination& d = Of(info);
    d.Write(d.Buffer.data(), d.Buffer.size());
    Init(info);
    return TRUE;
  }
  static void Term(j_compress_ptr info) {
    TDestination& d = Of(info);
    d.Write(d.Buffer.data(), d.Buffer.size() - d.free_in_buffer);
  }
};

// Owns the compressor so that it is destroyed on every way out.
class TCompressor {
 public:
  TCompressor() {
    info_.err = jpeg_std_error(&errors_);
    errors_.error_exit = ThrowLibraryError;
    errors_.output_message = ShowLibraryMessage;
    jpeg_create_compress(&info_);
  }
  ~TCompressor() { jpeg_destroy_compress(&info_); }
  TCompressor(const TCompressor&) = delete;
  TCompressor& operator=(const TCompressor&) = delete;
  jpeg_compress_struct* operator->() { return &info_; }
  jpeg_compress_struct* get() { return &info_; }

 private:
  jpeg_error_mgr errors_{};
  jpeg_compress_struct info_{};
};

}  // namespace

TExportJPEGImage::TExportJPEGImage(const std::filesystem::path& file_name, int quality,
                                   bool baseline)
    : TExportImage(file_name), quality_(quality), baseline_(baseline) {}

void TExportJPEGImage::Export() {
  const TExportDescription& d = Description();
  TCompressor compressor;
  TDestination destination{};
  destination.init_destination = TDestination::Init;
  destination.empty_output_buffer = TDestination::Empty;
  destination.term_destination = TDestination::Term;
  destination.Write = [this](const void* data, size_t size) { Write(data, size); };
  compressor->dest = &destination;

  compressor->image_width = static_cast<JDIMENSION>(d.Width);
  compressor->image_height = static_cast<JDIMENSION>(d.Height);
  compressor->input_components = 3;
  compressor->in_color_space = JCS_RGB;
  static_assert(kMaxSide == JPEG_MAX_DIMENSION);
  jpeg_set_defaults(compressor.get());
  jpeg_set_quality(compressor.get(), quality_, baseline_ ? TRUE : FALSE);
  jpeg_start_compress(compressor.get(), TRUE);

  std::vector<uint8_t> bgr(static_cast<size_t>(d.Width) * 3);
  std::vector<JSAMPLE> rgb(bgr.size());
  for (int y = 0; y < d.Height; ++y) {
    Row(y, bgr.data());
    for (size_t x = 0; x < bgr.size(); x += 3) {
      rgb[x] = bgr[x + 2];
      rgb[x + 1] = bgr[x + 1];
      rgb[x + 2] = bgr[x];
    }
    JSAMPROW rows[] = {rgb.data()};
    if (jpeg_write_scanlines(compressor.get(), rows, 1) != 1) ThrowWriteError();
    SetProgress(y + 1, d.Height);
  }
  jpeg_finish_compress(compressor.get());
}

}  // namespace zt
