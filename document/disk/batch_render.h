// A batch render: every parameter set of a parameter file (or one shard of
// them) rendered in turn into a destination folder, one image per set, through
// one temporary batch file that holds each set's render as it runs. Sets that
// cannot be read are logged and skipped; the batch goes on.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "document/disk/disk_render.h"
#include "document/disk/render_document.h"
#include "document/disk/render_file.h"
#include "document/disk/render_job.h"
#include "document/disk/render_store.h"

namespace zt {

// What a batch is started with.
struct TBatchSettings {
  std::string ParameterFile;
  std::string Folder;  // destination folder
  int Width = 0;
  int Height = 0;
  TImageFormat Format = TImageFormat::kPNG;
  TFormatOptions Options;
  double Threshold = 0.3;
  int Depth = 0;
  bool SkipExisting = false;
  bool OriginalAspect = false;  // each set's height follows its aspect ratio
  int ShardIndex = 0;
  int ShardCount = 1;
};

// A parameter set of a batch with its number in the file, counted from 1.
struct TBatchSet {
  int Number = 0;
  TParameterSet Set;
};

// The whole text of a parameter file; ECodeError "Could not open '%s'".
std::string ReadParameterFileText(const std::string& file);

// The sets of `file_text` that shard `index` of `count` renders: those whose
// number - 1 is `index` modulo `count`.
std::vector<TBatchSet> ShardSets(const std::string& file_text, int index, int count);

// The space in MB the images of the batch's sets need (RequiredSpace; with
// Photoshop layers the sets' layers count); 0 when the parameter file cannot be
// read (the checks report that).
double BatchRequiredSpace(const TBatchSettings& settings);

// Threads: as TRenderJob.
class TBatchRender : public TRenderJob {
 public:
  // Creates the temporary file (BatchTemporaryFile) and starts with the first
  // set. Raises ECodeError when the parameter file cannot be read, ERenderError
  // "Could not create '%s'".
  static std::unique_ptr<TBatchRender> Start(const TBatchSettings& settings,
                                             const TRenderOptions& options);
  // Continues the batch file `name`: its finished sets are skipped, the set under
  // way resumes. Errors as OpenRenderFile.
  static std::unique_ptr<TBatchRender> Resume(const std::string& name,
                                              const TRenderOptions& options);
  ~TBatchRender() override;

  bool Step() override;
  bool Waiting() const override;
  void Cancel() override;
  bool Cancelled() const override { return cancelled_; }
  void SetPriority(int priority) override;
  TRenderFigures Figures() const override;
  const std::string& TemporaryFile() const override { return store_->Name(); }

  const std::string& LogFile() const { return log_file_; }
  // Sets that could not be read were logged (also before a resume).
  bool ErrorsLogged() const { return errors_logged_; }
  // "One or more errors occurred while rendering.\rRefer to the file '...' for
  // more information." once the batch is over with errors logged, else "".
  std::string FinalMessage() const;

 private:
  TBatchRender(std::unique_ptr<TRenderStore> store, const TBatchHead& head,
               const TBatchSource& source, const TRenderOptions& options);

  void StartSet();
  void CloseSet(std::uint32_t length);
  void WriteHead();
  void Log(const std::string& set_name, const std::string& message);
  std::string ImageFile(const TBatchSet& set, int& height) const;

  std::unique_ptr<TRenderStore> store_;
  TBatchHead head_;
  TBatchSource source_;
  TRenderOptions options_;
  std::vector<TBatchSet> sets_;
  std::string folder_;
  std::string log_file_;
  std::uint64_t slot_ = 0;  // the length field of the set under way
  std::unique_ptr<TDiskRender> current_;
  bool errors_logged_ = false;
  bool log_started_ = false;  // this batch has written its log
  bool cancelled_ = false;
  bool done_ = false;
};

}  // namespace zt
