// Writing and reading fractal files: the 64-byte head, the parameter text, one
// calculation state record per layer and one zlib stream of pixels per layer.
#include "document/fractal_file.h"

#include <sys/stat.h>
#include <zlib.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <vector>

#include "document/params/par_reader.h"
#include "document/params/par_writer.h"
#include "platform/format.h"
#include "platform/user_interface.h"

namespace zt {

// Head values, pixels and state records are stored as the machine holds them.
static_assert(std::endian::native == std::endian::little, "fractal files are little-endian");

namespace {

constexpr std::size_t kBufferSize = 4096;
constexpr std::uint32_t kPixelBytes = 2;
// Deflate cannot shrink data by more than 1032:1; a head that claims more pixels
// than its compressed bytes can hold is not believed (and nothing is allocated).
constexpr std::uint64_t kMaxInflateRatio = 1032;

enum THeadOffset : std::size_t {
  kHeadMagic = 0,
  kHeadVersion = 12,
  kHeadTextOffset = 16,
  kHeadTextLength = 20,
  kHeadStateOffset = 24,
  kHeadStateSize = 28,
  kHeadPixelOffset = 32,
  kHeadWidth = 36,
  kHeadHeight = 40,
  kHeadLayers = 44,
  kHeadElapsed = 48
};

template <typename T>
void Put(std::uint8_t* head, std::size_t offset, T value) {
  std::memcpy(head + offset, &value, sizeof value);
}

template <typename T>
T Get(const std::uint8_t* head, std::size_t offset) {
  T value;
  std::memcpy(&value, head + offset, sizeof value);
  return value;
}

// The parameter text's entry name: the file name without folder and extension,
// with the characters that an entry header reads specially (separators, braces,
// parentheses and the ";" that starts a comment) turned into "_", which reads
// back as a blank in the title.
std::string EntryNameOf(const std::string& file) {
  std::string name = std::filesystem::path(file).stem().string();
  for (char& c : name)
    if (c == ' ' || c == '\t' || c == '{' || c == '}' || c == '(' || c == ')' || c == ';') c = '_';
  return name.empty() ? "Default" : name;
}

std::uint64_t LayerBytes(const TFractal& fractal) {
  return static_cast<std::uint64_t>(std::max(fractal.Width(), 0)) *
         static_cast<std::uint64_t>(std::max(fractal.Height(), 0)) * kPixelBytes;
}

// Calls deflateEnd / inflateEnd however the stream's use ends.
struct TDeflateEnd {
  z_stream& Stream;
  ~TDeflateEnd() { deflateEnd(&Stream); }
};
struct TInflateEnd {
  z_stream& Stream;
  ~TInflateEnd() { inflateEnd(&Stream); }
};

struct TFileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using TFile = std::unique_ptr<std::FILE, TFileCloser>;

// The head of a file being read, as stored.
struct THead {
  std::uint32_t TextOffset, TextLength, StateOffset, StateSize, PixelOffset;
  std::int32_t Width, Height, Layers;
  double Elapsed;
};

// The sizes the "fractal" sections of a parameter text give (-1 when absent).
struct TTextSizes {
  bool Agree(const THead& head) const {
    return (Width < 0 || Width == head.Width) && (Height < 0 || Height == head.Height) &&
           (Layers < 0 || Layers == head.Layers);
  }
  int Width = -1, Height = -1, Layers = -1;
};

TTextSizes ScanSizes(const std::string& text) {
  TParReader r;
  r.LoadFromText(text);
  TTextSizes sizes;
  std::string key;
  bool in_fractal = false;  // a first item before any section is left to the loader
  for (;;) {
    if (r.ReadKey(key)) {
      if (!in_fractal) continue;
      if (key == "width") sizes.Width = r.ValueInteger();
      if (key == "height") sizes.Height = r.ValueInteger();
      if (key == "numlayers") sizes.Layers = r.ValueInteger();
      continue;
    }
    if (r.SectionName().empty() || r.EndOfEntry) break;
    in_fractal = r.SectionName() == "fractal";
  }
  return sizes;
}

}  // namespace

void TFractalFiler::ReportBytes(std::uint64_t done, std::uint64_t total) {
  Report(total == 0 ? 1.0 : static_cast<double>(done) / static_cast<double>(total));
}

void TFractalWriter::Execute() {
  Report(0);
  TFractal& fractal = Fractal();
  TAtomicOutputFile output(FileName());
  if (!output.Created()) throw EZentrope(Format("Could not create '%s'", FileName().c_str()));
  if (OnOutputCreated) OnOutputCreated(output);
  const auto write = [&](const void* data, std::size_t size) {
    if (!output.Write(data, size))
      throw EZentrope(
          Format("Error writing '%s'. Probably the destination disk is full", FileName().c_str()));
  };

  // The pixels must not change under the compressor; the stopped layers go on
  // afterwards, whatever happens.
  TLayerList& layers = fractal.Layers();
  std::vector<TLayer*> stopped;
  struct TResume {
    std::vector<TLayer*>& Layers;
    ~TResume() {
      for (TLayer* layer : Layers) layer->Resume();
    }
  } resume{stopped};
  for (int i = 0; i < layers.Count(); ++i) {
    if (layers[i].State() != kLayerCalculating) continue;
    layers[i].Stop();
    stopped.push_back(&layers[i]);
  }

  TParWriter w(EntryNameOf(FileName()));
  fractal.SaveToParameters(w, nullptr);
  const std::string text = w.Text();

  const std::uint32_t count = static_cast<std::uint32_t>(layers.Count());
  std::uint8_t head[kFractalFileHeadSize] = {};
  std::memcpy(head + kHeadMagic, kFractalFileMagic, 12);
  Put<std::uint16_t>(head, kHeadVersion, kFractalFileVersion);
  Put<std::uint32_t>(head, kHeadTextOffset, kFractalFileHeadSize);
  Put<std::uint32_t>(head, kHeadTextLength, static_cast<std::uint32_t>(text.size()));
  const std::uint32_t state_offset = kFractalFileHeadSize + static_cast<std::uint32_t>(text.size());
  Put<std::uint32_t>(head, kHeadStateOffset, state_offset);
  Put<std::uint32_t>(head, kHeadStateSize, count * kLayerStateRecordSize);
  Put<std::uint32_t>(head, kHeadPixelOffset, state_offset + count * kLayerStateRecordSize);
  Put<std::int32_t>(head, kHeadWidth, fractal.Width());
  Put<std::int32_t>(head, kHeadHeight, fractal.Height());
  Put<std::int32_t>(head, kHeadLayers, static_cast<std::int32_t>(count));
  Put<double>(head, kHeadElapsed, fractal.Timer().Elapsed());
  write(head, sizeof head);
  write(text.data(), text.size());

  for (int i = 0; i < layers.Count(); ++i) {
    std::vector<std::uint8_t> record = layers[i].SaveState();
    record.resize(kLayerStateRecordSize, 0);
    write(record.data(), record.size());
  }

  const std::uint64_t layer_bytes = LayerBytes(fractal);
  const std::uint64_t total_bytes = layer_bytes * count;
  std::uint8_t buffer[kBufferSize];
  for (int i = 0; i < layers.Count(); ++i) {
    z_stream z{};
    int rc = deflateInit(&z, 9);
    if (rc != Z_OK)
      throw ECompressError(Format("Error %d while initializing compression stream", rc));
    TDeflateEnd end{z};
    const TIndexImage& image = layers[i].Image();
    const auto* in = layer_bytes ? reinterpret_cast<const Bytef*>(image.Row(0)) : nullptr;
    std::uint64_t fed = 0;
    z.next_in = const_cast<Bytef*>(in);
    while (fed < layer_bytes || z.avail_in > 0) {
      if (z.avail_in == 0) {
        z.avail_in = static_cast<uInt>(std::min<std::uint64_t>(layer_bytes - fed, 1u << 30));
        fed += z.avail_in;
      }
      z.next_out = buffer;
      z.avail_out = kBufferSize;
      rc = deflate(&z, Z_NO_FLUSH);
      if (rc != Z_OK && rc != Z_BUF_ERROR)
        throw ECompressError(Format("Error %d while compressing", rc));
      write(buffer, kBufferSize - z.avail_out);
      ReportBytes(i * layer_bytes + fed - z.avail_in, total_bytes);
    }
    do {
      z.next_out = buffer;
      z.avail_out = kBufferSize;
      rc = deflate(&z, Z_FINISH);
      if (rc != Z_OK && rc != Z_STREAM_END && rc != Z_BUF_ERROR)
        throw ECompressError(Format("Error %d while finishing compression", rc));
      write(buffer, kBufferSize - z.avail_out);
    } while (rc != Z_STREAM_END);
  }
  if (!output.Commit())
    throw EZentrope(
        Format("Error writing '%s'. Probably the destination disk is full", FileName().c_str()));
  Report(1);
}

void TFractalReader::Execute() {
  Report(0);
  TFractal& fractal = Fractal();
  fractal.SetModified(false);
  const auto corrupt = [&] {
    return EZentrope(Format("Could not read '%s'. The file is corrupted", FileName().c_str()));
  };

  TFile file(std::fopen(FileName().c_str(), "rb"));
  struct stat status {};
  if (!file || fstat(fileno(file.get()), &status) != 0 || !S_ISREG(status.st_mode))
    throw EZentrope(Format("Could not open '%s'", FileName().c_str()));
  const std::uint64_t file_size = static_cast<std::uint64_t>(status.st_size);
  const auto read = [&](void* data, std::size_t size) {
    return std::fread(data, 1, size, file.get());
  };
  const auto seek = [&](std::uint64_t position) {
    if (fseeko(file.get(), static_cast<off_t>(position), SEEK_SET) != 0) throw corrupt();
  };

  std::uint8_t bytes[kFractalFileHeadSize];
  if (read(bytes, sizeof bytes) != sizeof bytes || std::memcmp(bytes, kFractalFileMagic, 12) != 0)
    throw corrupt();
  const THead head{Get<std::uint32_t>(bytes, kHeadTextOffset),
                   Get<std::uint32_t>(bytes, kHeadTextLength),
                   Get<std::uint32_t>(bytes, kHeadStateOffset),
                   Get<std::uint32_t>(bytes, kHeadStateSize),
                   Get<std::uint32_t>(bytes, kHeadPixelOffset),
                   Get<std::int32_t>(bytes, kHeadWidth),
                   Get<std::int32_t>(bytes, kHeadHeight),
                   Get<std::int32_t>(bytes, kHeadLayers),
                   Get<double>(bytes, kHeadElapsed)};
  // Everything the head points at lies inside the file, and the pixels it
  // claims fit the compressed bytes that follow their offset.
  const std::uint64_t layer_bytes = static_cast<std::uint64_t>(std::max(head.Width, 0)) *
                                    static_cast<std::uint64_t>(std::max(head.Height, 0)) *
                                    kPixelBytes;
  const bool restore_states =
      static_cast<std::uint64_t>(head.StateSize) ==
      static_cast<std::uint64_t>(std::max(head.Layers, 0)) * kLayerStateRecordSize;
  if (head.Width < 0 || head.Height < 0 || head.Layers < 1 ||
      std::uint64_t{head.TextOffset} + head.TextLength > file_size ||
      head.PixelOffset > file_size ||
      (restore_states && std::uint64_t{head.StateOffset} + head.StateSize > file_size) ||
      !std::isfinite(head.Elapsed) || head.Elapsed < 0 ||
      static_cast<unsigned __int128>(layer_bytes) * static_cast<unsigned>(head.Layers) >
          static_cast<unsigned __int128>(file_size - head.PixelOffset) * kMaxInflateRatio)
    throw corrupt();

  std::string text(head.TextLength, '\0');
  seek(head.TextOffset);
  if (read(text.data(), text.size()) != text.size()) throw corrupt();
  // The text must describe the image the head describes before it sizes anything.
  if (!ScanSizes(text).Agree(head)) throw corrupt();

  fractal.BeginUpdate();
  fractal.UpdateManager().BeginStop();
  struct TRestart {
    TFractal& Fractal;
    ~TRestart() {
      Fractal.UpdateManager().EndStop();
      Fractal.EndUpdate();
    }
  } restart{fractal};

  TParReader r;
  r.LoadFromBuffer(text.data(), text.size());
  fractal.LoadFromParameters(r, false);
  fractal.Timer().SetElapsed(head.Elapsed);
  TLayerList& layers = fractal.Layers();
  if (fractal.Width() != head.Width || fractal.Height() != head.Height ||
      layers.Count() != head.Layers)
    throw corrupt();

  if (restore_states) {
    seek(head.StateOffset);
    std::vector<std::uint8_t> record(kLayerStateRecordSize);
    for (int i = 0; i < layers.Count(); ++i) {
      if (read(record.data(), record.size()) != record.size()) throw corrupt();
      try {
        layers[i].RestoreState(record);
      } catch (const EZentrope&) {
        throw corrupt();
      }
    }
  }

  seek(head.PixelOffset);
  const std::uint64_t total_bytes = layer_bytes * static_cast<std::uint64_t>(layers.Count());
  std::uint8_t buffer[kBufferSize];
  for (int i = 0; i < layers.Count(); ++i) {
    std::vector<std::uint16_t> pixels(layer_bytes / kPixelBytes);
    auto* out = reinterpret_cast<Bytef*>(pixels.data());
    z_stream z{};
    int rc = inflateInit(&z);
    if (rc != Z_OK)
      throw ECompressError(Format("Error %d while initializing decompression stream", rc));
    TInflateEnd end{z};
    // Read on to the stream's end even once the pixels are complete, so that the
    // next stream starts right after this one's check value; a stream holding
    // more than the pixels is corrupt.
    std::uint64_t produced = 0;
    Bytef surplus;
    while (rc != Z_STREAM_END) {
      const std::size_t got = read(buffer, kBufferSize);
      if (got == 0) throw corrupt();
      z.next_in = buffer;
      z.avail_in = static_cast<uInt>(got);
      while (z.avail_in > 0 && rc != Z_STREAM_END) {
        const bool full = produced == layer_bytes;
        z.next_out = full ? &surplus : out + produced;
        z.avail_out =
            full ? 1 : static_cast<uInt>(std::min<std::uint64_t>(layer_bytes - produced, 1u << 30));
        const uInt before = z.avail_out;
        rc = inflate(&z, Z_NO_FLUSH);
        if (rc == Z_NEED_DICT) rc = Z_DATA_ERROR;
        if (rc != Z_OK && rc != Z_STREAM_END && rc != Z_BUF_ERROR)
          throw ECompressError(Format("Error %d while decompressing", rc));
        if (full && z.avail_out == 0) throw corrupt();
        if (!full) produced += before - z.avail_out;
        if (rc == Z_BUF_ERROR) break;
      }
      ReportBytes(i * layer_bytes + produced, total_bytes);
    }
    if (produced != layer_bytes) throw corrupt();
    if (z.avail_in > 0 && fseeko(file.get(), -static_cast<off_t>(z.avail_in), SEEK_CUR) != 0)
      throw corrupt();
    layers[i].Image().ExchangePixels(pixels);
  }
  Report(1);
}

TFractalFileText ReadFractalFileText(const std::string& name) {
  TFile file(std::fopen(name.c_str(), "rb"));
  struct stat status {};
  if (!file || fstat(fileno(file.get()), &status) != 0 || !S_ISREG(status.st_mode))
    throw EZentrope(Format("Could not open '%s'", name.c_str()));
  const auto corrupt = [&] {
    return EZentrope(Format("Could not read '%s'. The file is corrupted", name.c_str()));
  };
  std::uint8_t bytes[kFractalFileHeadSize];
  if (std::fread(bytes, 1, sizeof bytes, file.get()) != sizeof bytes ||
      std::memcmp(bytes, kFractalFileMagic, 12) != 0)
    throw corrupt();
  const std::uint32_t offset = Get<std::uint32_t>(bytes, kHeadTextOffset);
  const std::uint32_t length = Get<std::uint32_t>(bytes, kHeadTextLength);
  // Checked before the text is allocated: a broken head may ask for 4 GB.
  if (std::uint64_t{offset} + length > static_cast<std::uint64_t>(status.st_size)) throw corrupt();
  TFractalFileText result{std::string(length, '\0'), Get<std::int32_t>(bytes, kHeadWidth),
                          Get<std::int32_t>(bytes, kHeadHeight)};
  if (fseeko(file.get(), offset, SEEK_SET) != 0 ||
      std::fread(result.Text.data(), 1, length, file.get()) != length)
    throw corrupt();
  return result;
}

void CheckZlibVersion() { CheckZlibVersion(zlibVersion(), ZLIB_VERSION); }

void CheckZlibVersion(const std::string& linked, const std::string& built) {
  if (linked == built) return;
  UserInterface().ShowMessage("Error", "The ZLIB.DLL file is corrupted. Please reinstall Zentrope.",
                              TMessageKind::kError);
  std::exit(1);
}

}  // namespace zt
