// The batch render (see batch_render.h).
//
// A finished set's block keeps only its render's head and parameter text: its
// strips were written to its image, and the next set starts right behind it.
// A set is counted as finished only after its image is written and its block
// closed, so a crash at any moment repeats at most the set under way.
#include "document/disk/batch_render.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "document/disk/render_checks.h"
#include "formula/language/code.h"
#include "formula/language/entry_name.h"
#include "platform/format.h"
#include "platform/text.h"

namespace fs = std::filesystem;

namespace zt {

namespace {

constexpr char kRenderMagic[] = "ZTRENDER";

}  // namespace

std::string ReadParameterFileText(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream text;
  if (!in || !(text << in.rdbuf()) || fs::is_directory(file))
    throw ECodeError(Format("Could not open '%s'", file.c_str()));
  return text.str();
}

std::vector<TBatchSet> ShardSets(const std::string& file_text, int index, int count) {
  std::vector<TBatchSet> sets;
  int number = 0;
  for (TParameterSet& set : ParameterSetsOf(file_text)) {
    ++number;
    if ((number - 1) % count == index) sets.push_back({number, std::move(set)});
  }
  return sets;
}

std::unique_ptr<TBatchRender> TBatchRender::Start(const TBatchSettings& settings,
                                                  const TRenderOptions& options) {
  TBatchSource source{settings.Format,
                      settings.Options,
                      settings.Threshold,
                      settings.Depth,
                      settings.ShardIndex,
                      settings.ShardCount,
                      ReadParameterFileText(settings.ParameterFile)};
  const std::string name = BatchTemporaryFile(settings.Folder, settings.ParameterFile,
                                              settings.ShardIndex, settings.ShardCount);
  TBatchHead head{
      0, 0, settings.Width, settings.Height, settings.SkipExisting, settings.OriginalAspect};
  head.Sets =
      static_cast<int>(ShardSets(source.Text, settings.ShardIndex, settings.ShardCount).size());
  auto store = TRenderStore::Create(name);
  // The log belongs to this batch from now on; one left by an earlier batch goes.
  std::error_code error;
  fs::remove(BatchLogFile(name), error);
  const std::string block = EncodeBatchSource(source);
  store->Write(kBatchHeadSize, block.data(), block.size());
  const std::uint32_t none = 0;
  store->Write(kBatchHeadSize + block.size(), &none, sizeof none);
  const TBatchHeadBytes bytes = EncodeBatchHead(head);
  store->Write(0, bytes.data(), bytes.size());
  return std::unique_ptr<TBatchRender>(new TBatchRender(std::move(store), head, source, options));
}

std::unique_ptr<TBatchRender> TBatchRender::Resume(const std::string& name,
                                                   const TRenderOptions& options) {
  auto store = TRenderStore::Open(name);
  const auto invalid = [&] {
    return ERenderError(Format("Invalid disk render file '%s'", name.c_str()));
  };
  std::uint8_t bytes[kBatchHeadSize];
  std::uint32_t length = 0;
  if (!store->Read(0, bytes, sizeof bytes) || !store->Read(kBatchHeadSize, &length, 4) ||
      kBatchHeadSize + 4 + std::uint64_t{length} > store->Size())
    throw invalid();
  const TBatchHead head = DecodeBatchHead(bytes, name);
  std::vector<std::uint8_t> block(length);
  if (!store->Read(kBatchHeadSize + 4, block.data(), block.size())) throw invalid();
  const TBatchSource source = DecodeBatchSource(block.data(), block.size(), name);
  std::unique_ptr<TBatchRender> batch(new TBatchRender(std::move(store), head, source, options));
  if (static_cast<int>(batch->sets_.size()) != head.Sets) throw invalid();
  // A log written before the stop is this batch's own: later errors add to it.
  batch->errors_logged_ = batch->log_started_ = fs::exists(batch->log_file_);
  for (int i = 0; i < head.Finished; ++i) {
    if (!batch->store_->Read(batch->slot_, &length, 4)) throw invalid();
    batch->slot_ += 4 + std::uint64_t{length};
  }
  // Finished blocks are whole before the count is raised: a shorter file was cut.
  if (batch->slot_ > batch->store_->Size()) throw invalid();
  // The set under way resumes when its render had begun; else it starts afresh.
  char magic[8] = {};
  if (head.Finished < head.Sets && batch->store_->Read(batch->slot_ + 4, magic, sizeof magic) &&
      std::memcmp(magic, kRenderMagic, 8) == 0) {
    int height = 0;
    const std::string image = batch->ImageFile(batch->sets_[head.Finished], height);
    batch->current_ =
        std::make_unique<TDiskRender>(*batch->store_, batch->slot_ + 4, image, options);
  }
  return batch;
}

TBatchRender::TBatchRender(std::unique_ptr<TRenderStore> store, const TBatchHead& head,
                           const TBatchSource& source, const TRenderOptions& options)
    : store_(std::move(store)),
      head_(head),
      source_(source),
      options_(options),
      sets_(ShardSets(source.Text, source.ShardIndex, source.ShardCount)),
      folder_(fs::path(store_->Name()).parent_path().string()),
      log_file_(BatchLogFile(store_->Name())),
      slot_(kBatchHeadSize + EncodeBatchSource(source).size()) {}

TBatchRender::~TBatchRender() { current_.reset(); }

void TBatchRender::WriteHead() {
  const TBatchHeadBytes bytes = EncodeBatchHead(head_);
  store_->Write(0, bytes.data(), bytes.size());
}

std::string TBatchRender::ImageFile(const TBatchSet& set, int& height) const {
  const TFractalKeys& keys = set.Set.Keys;
  height = head_.OriginalAspect
               ? AspectHeight(head_.Width, keys.Width.value_or(0), keys.Height.value_or(0))
               : head_.Height;
  const std::string title = keys.Title.value_or(EntryNameToCaption(set.Set.Name));
  return (fs::path(folder_) / BatchImageName(title, set.Number, source_.Format)).string();
}

bool TBatchRender::Step() {
  if (done_ || cancelled_) return false;
  if (current_) {
    current_->OnSaving = OnSaving;
    current_->Step();
    if (current_->Cancelled()) {
      cancelled_ = true;
      return false;
    }
    if (current_->Finished()) CloseSet(kRenderHeadSize + current_->Head().TextLength);
    return true;
  }
  if (head_.Finished == head_.Sets) {
    store_->Remove();
    done_ = true;
    return false;
  }
  StartSet();
  return true;
}

void TBatchRender::StartSet() {
  const TBatchSet& set = sets_[static_cast<std::size_t>(head_.Finished)];
  TRenderSettings settings{"",
                           head_.Width,
                           head_.Height,
                           source_.Threshold,
                           source_.Depth,
                           source_.Format,
                           source_.Options};
  settings.Destination = ImageFile(set, settings.Height);
  std::error_code error;
  if (head_.SkipExisting && fs::exists(settings.Destination, error)) return CloseSet(0);
  try {
    current_ = std::make_unique<TDiskRender>(*store_, slot_ + 4, settings, set.Set.Text, options_);
  } catch (const EZentrope& e) {
    Log(set.Set.Name, e.Message());
    CloseSet(0);
  }
}

void TBatchRender::CloseSet(std::uint32_t length) {
  current_.reset();
  store_->Write(slot_, &length, sizeof length);
  ++head_.Finished;
  WriteHead();
  slot_ += 4 + std::uint64_t{length};
}

void TBatchRender::Log(const std::string& set_name, const std::string& message) {
  std::ofstream log(log_file_, log_started_ ? std::ios::app : std::ios::trunc);
  log << "Error reading parameter set '" << set_name << "': " << WithLineFeeds(message) << ".\n";
  log_started_ = true;
  errors_logged_ = true;
}

std::string TBatchRender::FinalMessage() const {
  if (!done_ || !errors_logged_) return "";
  return "One or more errors occurred while rendering.\rRefer to the file '" + log_file_ +
         "' for more information.";
}

bool TBatchRender::Waiting() const { return current_ && current_->Waiting(); }

double BatchRequiredSpace(const TBatchSettings& s) {
  std::string text;
  try {
    text = ReadParameterFileText(s.ParameterFile);
  } catch (const EZentrope&) {
    return 0;
  }
  const std::vector<TBatchSet> sets = ShardSets(text, s.ShardIndex, s.ShardCount);
  int layers = 0;
  for (const TBatchSet& set : sets) layers += set.Set.Keys.LayerCount.value_or(1);
  const bool psd_layers = s.Format == TImageFormat::kPSD && s.Options.PSDLayers;
  return RequiredSpace(s.Width, s.Height, static_cast<int>(sets.size()), psd_layers ? layers : 0);
}

void TBatchRender::SetPriority(int priority) {
  options_.Priority = priority;
  if (current_) current_->SetPriority(priority);
}

void TBatchRender::Cancel() {
  if (done_ || cancelled_) return;
  if (current_) current_->Cancel();
  store_->Sync();
  cancelled_ = true;
}

TRenderFigures TBatchRender::Figures() const {
  TRenderFigures figures;
  if (current_) figures = current_->Figures();
  figures.Batch = true;
  figures.Image = std::min(head_.Finished + 1, std::max(head_.Sets, 1));
  figures.Images = head_.Sets;
  return figures;
}

}  // namespace zt
