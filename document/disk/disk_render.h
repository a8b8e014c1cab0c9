// A single disk render: an image of any size calculated strip after strip from
// the top, layer by layer from the bottom one, through a temporary render file
// that holds everything needed to continue after a stop or a crash. The image
// is written once the last strip is done; then the file is deleted.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "document/disk/render_document.h"
#include "document/disk/render_file.h"
#include "document/disk/render_job.h"
#include "document/disk/render_store.h"
#include "document/disk/strip_layer.h"
#include "render/compute_anti_aliasing.h"

namespace zt {

// The temporary file of a single render: the destination with ".zdr".
std::string TemporaryFileFor(const std::string& destination);

// Threads: as TRenderJob. A render inside a batch file uses the batch's store,
// which must outlive it.
class TDiskRender : public TRenderJob {
 public:
  // Starts rendering the parameter set `text` as `settings` say, through the
  // temporary file of the destination. Raises ERenderError "Could not create
  // '%s'", the parameter text's errors, and ERenderError for entries that do
  // not compile or an image larger than the format holds.
  static std::unique_ptr<TDiskRender> Start(const TRenderSettings& settings,
                                            const std::string& text, const TRenderOptions& options);
  // Resumes the single render file `name`; its image is the file's name with
  // the format's extension. Errors as OpenRenderFile.
  static std::unique_ptr<TDiskRender> Resume(const std::string& name,
                                             const TRenderOptions& options);

  // A new render whose file begins at `base` of `store` (written now).
  TDiskRender(TRenderStore& store, std::uint64_t base, const TRenderSettings& settings,
              const std::string& text, const TRenderOptions& options);
  // The render of the file at `base` of `store`, continued; it writes
  // `destination`.
  TDiskRender(TRenderStore& store, std::uint64_t base, const std::string& destination,
              const TRenderOptions& options);
  ~TDiskRender() override;

  bool Step() override;
  bool Waiting() const override;
  void Cancel() override;
  bool Cancelled() const override { return phase_ == TPhase::kCancelled; }
  void SetPriority(int priority) override;
  TRenderFigures Figures() const override;
  const std::string& TemporaryFile() const override { return store_.Name(); }

  // The image has been written.
  bool Finished() const { return phase_ == TPhase::kFinished; }
  // A layer's anti-aliasing pass runs.
  bool AntiAliasing() const { return phase_ == TPhase::kAntiAliasing; }
  const TRenderHead& Head() const { return head_; }

 private:
  enum class TPhase { kCalculating, kAntiAliasing, kStripReady, kSaving, kFinished, kCancelled };

  void Read(std::uint64_t at, void* data, std::size_t size) const;
  void Write(std::uint64_t at, const void* data, std::size_t size);
  void WriteHead();
  [[noreturn]] void Invalid() const;
  double Now() const;
  // Where the data the head points at for a resume end.
  std::uint64_t LiveEnd() const;

  void Load(const std::string& text);
  void Continue();
  void RestoreUnderWay();

  TStripLayer& Current() const { return *layers_[static_cast<std::size_t>(position_)]; }
  void StartLayer();
  // Starts the calculation that follows the current one, if any, on threads the
  // current one leaves idle.
  void CalculateAhead();
  void StopAhead();
  void LayerCalculated();
  void StartAntiAlias(const TPieceState* resume);
  void FinishLayer();
  void FinishStrip();
  void Save();
  void WriteUnderWay(bool anti_aliasing);
  std::vector<std::uint8_t> OverlapRows();

  TRenderStore& store_;
  std::unique_ptr<TRenderStore> own_store_;  // a single render's own file
  const std::uint64_t base_;
  TRenderSettings settings_;
  TRenderOptions options_;
  TRenderHead head_;
  std::unique_ptr<TRenderLayout> layout_;
  std::unique_ptr<TRenderDocument> document_;
  std::vector<std::unique_ptr<TStripLayer>> layers_;  // by calculation position
  std::vector<std::uint32_t> grid_;                   // the current layer's colors
  std::vector<std::uint32_t> accumulated_;            // the layers merged so far
  std::unique_ptr<TComputeAntiAliasing> anti_alias_;  // uses the grid and a layer
  bool anti_alias_done_ = false;
  TStripLayer* ahead_ = nullptr;  // calculates the strip below ahead of the current one
  int ahead_strip_ = 0;
  TPhase phase_ = TPhase::kStripReady;
  int strip_ = 0;
  int position_ = 0;  // calculation position of the layer under way
  double start_ = 0;  // days, moved back by the time of earlier sessions
  double save_share_ = 0;
};

}  // namespace zt
