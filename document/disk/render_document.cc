// Parameter sets as text and the pixel-less document of a disk render (see
// render_document.h).
#include "document/disk/render_document.h"

#include <filesystem>

#include "document/export/fractal_exporter.h"
#include "document/fractal_file.h"
#include "document/params/par_reader.h"
#include "document/params/par_writer.h"
#include "formula/language/entry_name.h"
#include "platform/format.h"
#include "platform/text.h"
#include "platform/user_interface.h"

namespace zt {

namespace {

std::string JoinLines(const TFastStringList& lines) {
  std::string text;
  for (int i = 0; i < lines.Count(); ++i) text += lines[i] + "\r\n";
  return text;
}

TParameterSet CurrentSet(const TCode& code) {
  TFastStringList lines;
  code.CopyEntry(lines);
  TParameterSet set{code.EntryName, JoinLines(lines), {}};
  set.Keys = ScanFractalKeys(set.Text);
  return set;
}

// Refuses the searches that loading offers for entries that cannot be found,
// noting the first question; everything else goes to the user interface it
// replaces for its lifetime.
class TSearchRefuser : public TUserInterface {
 public:
  TSearchRefuser() : next_(UserInterface()) { SetUserInterface(this); }
  ~TSearchRefuser() override { SetUserInterface(&next_); }
  TSearchRefuser(const TSearchRefuser&) = delete;
  TSearchRefuser& operator=(const TSearchRefuser&) = delete;

  // The question's first line ("Could not find the entry ... in ..."), or "".
  const std::string& Missing() const { return missing_; }

  void ShowMessage(const std::string& caption, const std::string& text,
                   TMessageKind kind) override {
    next_.ShowMessage(caption, text, kind);
  }
  TAnswer Ask(const std::string&, const std::string& question, TButtons, TAnswer) override {
    if (missing_.empty()) {
      missing_ = question.substr(0, question.find_first_of("\r\n"));
      if (!missing_.empty() && missing_.back() == '.') missing_.pop_back();
    }
    return TAnswer::kNo;
  }

 private:
  TUserInterface& next_;
  std::string missing_;
};

}  // namespace

TFractalKeys ScanFractalKeys(const std::string& text) {
  TParReader r;
  r.Quiet = true;
  r.LoadFromText(text);
  std::string key;
  // An item before any section: a Fractint entry, which has no such section.
  if (r.ReadKey(key) || !key.empty()) return {};
  while (!r.SectionName().empty()) {
    if (r.SectionName() == "fractal") return ReadFractalKeys(r);
    while (r.ReadKey(key)) {
    }
  }
  return {};
}

TParameterSet ReadParameterSet(const std::string& file, const std::string& entry) {
  TParReader r;
  if (entry.empty()) {
    r.LoadFile(file);
    if (!r.Found) r.Error();
  } else {
    r.LoadFromFile(file, entry);
  }
  return CurrentSet(r);
}

std::vector<TParameterSet> ParameterSetsOf(const std::string& file_text) {
  TParReader r;
  r.LoadFromText(file_text);
  std::vector<TParameterSet> sets;
  for (; r.Found; r.FindNextEntry())
    if (!SameText(r.EntryName, "comment")) sets.push_back(CurrentSet(r));
  return sets;
}

TParameterSet ReadFractalFileSet(const std::string& file) {
  const TFractalFileText stored = ReadFractalFileText(file);
  TParameterSet set{std::filesystem::path(file).stem().string(), stored.Text, {}};
  set.Keys = ScanFractalKeys(set.Text);
  return set;
}

TRenderDocument::TRenderDocument(const std::string& text)
    : fractal_(std::make_unique<TFractal>(kUntitledTitle)) {
  fractal_->BeginUpdate();
  TParReader r;
  r.LoadFromText(text);
  {
    TSearchRefuser refuser;
    fractal_->LoadFromParameters(r, true);
    if (!refuser.Missing().empty()) throw EZentrope(refuser.Missing());
  }
  const TFractalKeys keys = ScanFractalKeys(text);
  fractal_->SetResolution(keys.Resolution);
  fractal_->SetGamma(keys.Gamma);
  TLayerList& layers = fractal_->Layers();
  for (int i = 0; i < layers.Count(); ++i)
    if (layers[i].Visible()) rendered_.push_back(i);
}

TRenderDocument::~TRenderDocument() = default;

std::vector<std::string> TRenderDocument::FailedEntries() {
  std::vector<std::string> failed;
  for (const TFormulaBase* entry : EntriesOf(*fractal_)) {
    if (entry->CompileFailed())
      failed.push_back(Format("'%s' in '%s' (line %d, column %d)", entry->Code().EntryName.c_str(),
                              entry->Code().FileName.c_str(), entry->ErrorLine(),
                              entry->ErrorColumn()));
  }
  return failed;
}

std::string RenderParameterText(TFractal& fractal, int width, int height) {
  const std::string title = fractal.Title();
  TParWriter w(MakeEntryName(title));
  fractal.SaveToParameters(w, &title, width, height);
  return w.Text();
}

std::string TRenderDocument::ParameterText(int width, int height) {
  return RenderParameterText(*fractal_, width, height);
}

TExportDescription TRenderDocument::Describe(int width, int height, double elapsed) {
  fractal_->Timer().SetElapsed(elapsed);
  TExportDescription description = DescribeForExport(*fractal_);
  description.Width = width;
  description.Height = height;
  description.LayerCount = static_cast<int>(rendered_.size());
  return description;
}

TExportLayerInfo TRenderDocument::LayerInfo(int index) {
  const TLayer& layer = fractal_->Layers()[rendered_[static_cast<std::size_t>(index)]];
  return {layer.Caption(), static_cast<std::uint8_t>(layer.MergeMode()), layer.Opacity(),
          layer.Visible(), layer.UseAlpha()};
}

}  // namespace zt
