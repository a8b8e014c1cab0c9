// The document's construction, change and undo bookkeeping, its layers and the
// calculation start and end; navigation is in fractal_navigation.cc.
#include "document/fractal.h"

#include <algorithm>
#include <cctype>
#include <ctime>

#include "document/settings/config_manager.h"

namespace zt {

namespace {

constexpr const char* kCalcTime = "$CALCTIME$";
constexpr const char* kMonthNames[12] = {"January",   "February", "March",    "April",
                                         "May",       "June",     "July",     "August",
                                         "September", "October",  "November", "December"};

// Today as "January 5, 1999".
std::string Today() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return std::string(kMonthNames[local.tm_mon]) + " " + std::to_string(local.tm_mday) + ", " +
         std::to_string(local.tm_year + 1900);
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  if (text.empty()) return lines;
  std::string line;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      lines.push_back(line);
      line.clear();
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      line += c;
    }
  }
  lines.push_back(line);
  return lines;
}

// Position of `needle` in `text` from `from` without regard to ASCII case.
std::size_t FindNoCase(const std::string& text, const std::string& needle, std::size_t from) {
  const auto lower = [](char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  };
  auto it =
      std::search(text.begin() + static_cast<std::ptrdiff_t>(from), text.end(), needle.begin(),
                  needle.end(), [&](char a, char b) { return lower(a) == lower(b); });
  return it == text.end() ? std::string::npos : static_cast<std::size_t>(it - text.begin());
}

}  // namespace

TFractal::TFractal(const std::string& title) {
  title_ = title;
  LoadDefaultText();
  timer_ = std::make_unique<TFractalTimer>([this] { return CountPixels(); });
  layers_ = std::make_unique<TLayerList>();
  bitmap_ = std::make_unique<TDirectBitmap>();
  update_manager_ = std::make_unique<TUpdateManager>(*bitmap_, *layers_);
  update_manager_->SetAnimationOptions(ConfigManager().AnimationOptions());
  // Drawing reads the list: the manager is held while the list changes.
  layers_->OnBeforeChange = [this](TLayerList&) { update_manager_->BeginStop(); };
  layers_->OnChange = [this](TLayerList&) {
    update_manager_->EndStop();
    ListChanged();
  };
  std::unique_ptr<TLayer> first = NewLayer();
  first->SetCaption("Layer 1");
  AppendLayer(std::move(first));
  current_index_ = 0;
  history_ = std::make_unique<THistoryList<TFractalSnapshot>>(CaptureSnapshot(), kHistoryDepth);
  history_->OnUndoRedo = [this](THistoryList<TFractalSnapshot>&) { UndoRedone(); };
  modified_ = false;
}

TFractal::~TFractal() {
  // Stopped calculations report their end, which reaches the update manager:
  // stop them while everything is alive, then let the layers go quietly.
  for (int i = 0; i < layers_->Count(); ++i) (*layers_)[i].Stop();
  for (int i = 0; i < layers_->Count(); ++i) {
    TLayer& layer = (*layers_)[i];
    layer.OnCalculationStart = nullptr;
    layer.OnCalculationEnd = nullptr;
    layer.OnChange = nullptr;
    layer.OnInvalidate = nullptr;
  }
  layers_->OnBeforeChange = nullptr;
  layers_->OnChange = nullptr;
  update_manager_.reset();
}

void TFractal::LoadDefaultText() {
  const TConfigManager& config = ConfigManager();
  if (config.UseDefaultComments) comments_ = SplitLines(config.DefaultComments);
  if (config.UseDefaultAuthor) author_ = config.DefaultAuthor;
  if (config.InitializeCreated) created_ = Today();
}

void TFractal::SetTitle(const std::string& title) {
  if (title == title_) return;
  title_ = title;
  Changed(false);
}

void TFractal::SetWidth(int width) {
  if (width < 0 || width == width_) return;
  SetSize(width, height_);
  Changed(true);
}

void TFractal::SetHeight(int height) {
  if (height < 0 || height == height_) return;
  SetSize(width_, height);
  Changed(true);
}

void TFractal::SetSize(int width, int height) {
  update_manager_->BeginStop();
  width_ = width;
  height_ = height;
  update_manager_->SetWidth(width);
  update_manager_->SetHeight(height);
  for (int i = 0; i < layers_->Count(); ++i) (*layers_)[i].SetImageSize(width, height);
  update_manager_->EndStop();
  update_manager_->InvalidateAll();
}

void TFractal::SetResolution(double dpi) {
  const double clamped = std::clamp(dpi, kMinResolution, kMaxResolution);
  if (clamped == resolution_) return;
  resolution_ = clamped;
  Changed(false);
}

void TFractal::SetGamma(double gamma) {
  const double clamped = std::clamp(gamma, kMinGamma, kMaxGamma);
  if (clamped == gamma_) return;
  gamma_ = clamped;
  Changed(false);
}

void TFractal::SetAuthor(const std::string& author) {
  if (author == author_) return;
  author_ = author;
  Changed(false);
}

void TFractal::SetCreated(const std::string& created) {
  if (created == created_) return;
  created_ = created;
  Changed(false);
}

void TFractal::SetPriority(int priority) {
  if (priority == priority_) return;
  priority_ = priority;
  for (int i = 0; i < layers_->Count(); ++i) (*layers_)[i].SetPriority(priority);
}

void TFractal::SetThreadCount(int count) {
  if (count == thread_count_) return;
  thread_count_ = count;
  for (int i = 0; i < layers_->Count(); ++i) (*layers_)[i].SetThreadCount(count);
}

void TFractal::SetComments(const std::vector<std::string>& comments) {
  if (comments == comments_) return;
  comments_ = comments;
  Changed(false);
}

std::string TFractal::CommentLine(int index) {
  if (index < 0 || index >= static_cast<int>(comments_.size())) return "";
  std::string line = comments_[static_cast<std::size_t>(index)];
  const std::string token = kCalcTime;
  std::size_t at = FindNoCase(line, token, 0);
  if (at == std::string::npos) return line;
  const std::string time =
      IsCalculating() || IsPartlyCalculated()
          ? FormatTime(timer_->Elapsed() + timer_->Remaining()) + " (estimated)"
          : timer_->ElapsedText();
  while (at != std::string::npos) {
    line.replace(at, token.size(), time);
    at = FindNoCase(line, token, at + time.size());
  }
  return line;
}

bool TFractal::IsPartlyCalculated() const {
  for (int i = 0; i < layers_->Count(); ++i)
    if ((*layers_)[i].State() == kLayerInterrupted) return true;
  return false;
}

void TFractal::BeginUpdate() {
  if (update_count_ == 0) update_manager_->BeginStop();
  ++update_count_;
  for (int i = 0; i < layers_->Count(); ++i) (*layers_)[i].BeginUpdate();
}

void TFractal::EndUpdate() {
  // An unbalanced call must not close the layers' own brackets.
  if (update_count_ == 0) return;
  for (int i = 0; i < layers_->Count(); ++i) (*layers_)[i].EndUpdate();
  if (--update_count_ > 0) return;
  update_manager_->EndStop();
  update_manager_->InvalidateAll();
  if (change_pending_) {
    const bool undo = undo_pending_;
    undo_pending_ = false;
    Changed(undo);
  }
}

void TFractal::Changed(bool undo) {
  modified_ = true;
  last_change_id_ = 0;
  if (update_count_ >= 1) {
    change_pending_ = true;
    if (undo) undo_pending_ = true;
    return;
  }
  if (history_) {
    std::unique_ptr<TFractalSnapshot> snapshot = CaptureSnapshot();
    if (undo)
      history_->Add(std::move(snapshot));
    else
      history_->Replace(std::move(snapshot));
  }
  FireChange();
}

void TFractal::FireChange() {
  change_pending_ = false;
  if (OnChange) OnChange(*this);
}

void TFractal::LayerChanged(TLayerCalculate& layer, int code) {
  const int identifier = layer.LastChangeIdentifier();
  switch (code) {
    case 0: Changed(false); break;
    case 1: Changed(identifier != last_change_id_); break;
    default: Changed(true); break;
  }
  last_change_id_ = identifier;
}

void TFractal::CalculationStarted(TLayerCalculate& layer) {
  ++calculating_count_;
  update_manager_->CalculationStarted();
  modified_ = true;
  if (calculating_count_ != 1) return;
  if (OnCalculationStart) OnCalculationStart(*this);
  if (layer.State() == kLayerInterrupted)
    timer_->Resume();
  else
    timer_->Start();
}

void TFractal::CalculationEnded(TLayerCalculate& layer) {
  --calculating_count_;
  update_manager_->CalculationEnded(layer);
  if (calculating_count_ >= 1) return;
  timer_->Stop();
  calculating_count_ = 0;
  if (OnCalculationEnd) OnCalculationEnd(*this);
}

TPixelCount TFractal::CountPixels() const {
  TPixelCount count;
  for (int i = 0; i < layers_->Count(); ++i) {
    const TLayer& layer = (*layers_)[i];
    count.Done += layer.Statistics().PixelsDone;
    count.Total += layer.TotalPixels();
  }
  return count;
}

void TFractal::RequestMerge() {
  if (layers_->Count() > 0) update_manager_->InvalidateAll();
}

void TFractal::ListChanged() {
  RequestMerge();
  current_index_ = std::clamp(current_index_, 0, std::max(0, layers_->Count() - 1));
  Changed(true);
}

}  // namespace zt
