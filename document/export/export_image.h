// The common part of the image exporters: the image description, the three
// requests through which an exporter gets its rows and layer properties, the
// output file and its error reporting. Each file format derives from
// TExportImage and overrides Export(). Exporters know nothing of documents;
// whoever drives them answers the requests.
#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <string_view>

#include "platform/atomic_output.h"
#include "platform/error.h"

namespace zt {

// Every failure of an export; the message text only.
class EExportError : public EZentrope {
 public:
  explicit EExportError(const std::string& message) : EZentrope(message) {}
};

// A write that the file system refused (a full disk, most likely).
class EExportWriteError : public EExportError {
 public:
  using EExportError::EExportError;
};

// What is exported; copied into the exporter by Execute().
struct TExportDescription {
  int32_t Width = 0;
  int32_t Height = 0;
  int32_t LayerCount = 0;
  double Resolution = 72.0;  // dots per inch
  double Gamma = 1.0;
  std::string Title;
  std::string Author;
  std::string Created;
  std::string Comment;  // the comment lines joined with CR LF
};

// One layer's properties; the defaults are what an exporter assumes when
// nobody answers the request.
struct TExportLayerInfo {
  std::string Name;
  uint8_t MergeMode = 0;  // 0 to 18, as the layer merge modes are numbered
  int32_t Opacity = 100;  // percent
  bool Visible = true;
  bool UsesAlpha = false;
};

// An exporter is created for one file, executed once and destroyed, all on one
// thread; the requests are called on that thread during Execute(). Progress()
// may be read from any thread. The destination is replaced only when the whole
// file was written: after a failure an existing file stays as it was.
class TExportImage {
 public:
  // Layer `layer`'s properties (layer 0 is the top one).
  using TGetLayerInfo = std::function<void(int layer, TExportLayerInfo& info)>;
  // One row of a layer, 4 bytes per pixel: blue, green, red, alpha.
  using TGetLayerRow = std::function<void(int layer, int row, uint8_t* bgra)>;
  // One row of the merged image, 3 bytes per pixel: blue, green, red.
  using TGetRow = std::function<void(int row, uint8_t* bgr)>;

  // Opens the output; raises EExportError "Could not create '%s'".
  explicit TExportImage(const std::filesystem::path& file_name);
  virtual ~TExportImage();
  TExportImage(const TExportImage&) = delete;
  TExportImage& operator=(const TExportImage&) = delete;

  // Unassigned requests answer with the TExportLayerInfo defaults and rows of zeros.
  TGetLayerInfo GetLayerInfo;
  TGetLayerRow GetLayerRow;
  TGetRow GetRow;
  // Told of every progress change, on the exporting thread.
  std::function<void(double progress)> OnProgress;

  // Copies the description, writes the file and replaces the destination with
  // it; progress is 1 afterwards. A failed write raises EExportError "Error
  // writing '%s'. Probably the destination disk is full".
  void Execute(const TExportDescription& description);
  double Progress() const { return progress_.load(std::memory_order_relaxed); }

  // The output file, for tests that make it fail.
  TAtomicOutputFile& Output() { return *output_; }

 protected:
  // Writes the whole file through Write() and Patch().
  virtual void Export() = 0;
  // The largest width and height the format's fields can hold.
  virtual int MaxSide() const { return std::numeric_limits<int>::max(); }

  const TExportDescription& Description() const { return description_; }
  TExportLayerInfo LayerInfo(int layer) const;
  // `bgra` holds 4 × width bytes, `bgr` 3 × width.
  void LayerRow(int layer, int row, uint8_t* bgra) const;
  void Row(int row, uint8_t* bgr) const;

  void Write(std::string_view bytes);
  void Write(const void* data, size_t size);
  void Patch(uint64_t position, std::string_view bytes);
  uint64_t Position() const { return output_->Size(); }
  // Raises the disk-full error for this file (EExportWriteError).
  [[noreturn]] void ThrowWriteError() const;
  // Progress as `done` of `total` steps.
  void SetProgress(int64_t done, int64_t total);

 private:
  void StoreProgress(double progress);

  std::unique_ptr<TAtomicOutputFile> output_;
  std::atomic<double> progress_{0.0};
  TExportDescription description_;
};

}  // namespace zt
