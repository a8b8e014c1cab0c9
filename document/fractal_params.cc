// The document as parameter text: the comment lines, the "fractal" section and
// one "layer" section per layer.
#include "document/fractal_params.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <vector>

#include "document/fractint/fractint_import.h"
#include "document/params/layer_section.h"
#include "document/params/par_entry_file.h"
#include "document/params/par_reader.h"
#include "document/params/par_writer.h"
#include "platform/text.h"

namespace zt {

namespace {

std::string TitleFromEntryName(std::string name) {
  std::replace(name.begin(), name.end(), '_', ' ');
  return name;
}

}  // namespace

TFractalKeys ReadFractalKeys(TParReader& r) {
  TFractalKeys keys;
  std::string key;
  while (r.ReadKey(key)) {
    if (key == "title") {
      keys.Title = r.ValueText();
    } else if (key == "width") {
      keys.Width = r.ValueInteger();
    } else if (key == "height") {
      keys.Height = r.ValueInteger();
    } else if (key == "resolution") {
      keys.Resolution = static_cast<double>(r.ValueFloat());
    } else if (key == "gamma") {
      keys.Gamma = static_cast<double>(r.ValueFloat());
    } else if (key == "author") {
      keys.Author = r.ValueText();
    } else if (key == "created") {
      keys.Created = r.ValueText();
    } else if (key == "numlayers") {
      keys.LayerCount = r.ValueInteger();
    }
  }
  return keys;
}

void TFractal::SaveToParameters(TParWriter& w, const std::string* title) {
  SaveToParameters(w, title, width_, height_);
}

void TFractal::SaveToParameters(TParWriter& w, const std::string* title, int width, int height) {
  for (int i = 0; i < static_cast<int>(comments_.size()); ++i) w.Comment(CommentLine(i));
  w.Section("fractal");
  if (title) {
    w.WriteString("title", *title);
    title_ = *title;
  }
  w.WriteInteger("width", width);
  w.WriteInteger("height", height);
  if (resolution_ != TFractalKeys::kDefaultResolution) w.WriteFloat("resolution", resolution_);
  if (gamma_ != TFractalKeys::kDefaultGamma) w.WriteFloat("gamma", gamma_);
  if (!author_.empty()) w.WriteString("author", author_);
  if (!created_.empty()) w.WriteString("created", created_);
  w.WriteInteger("numlayers", layers_->Count());
  for (int i = 0; i < layers_->Count(); ++i) WriteLayer(w, (*layers_)[i]);
  w.Close();
}

void TFractal::LoadFromParameters(TParReader& r, bool ignore_size) {
  std::string key;
  r.ReadKey(key);

  BeginUpdate();
  layers_->BeginUpdate();
  // The brackets close whatever happens; a failed read leaves what it read.
  struct TCloser {
    TFractal& Fractal;
    ~TCloser() {
      Fractal.layers_->EndUpdate();
      Fractal.EndUpdate();
    }
  } closer{*this};

  // A first item before any section marks a Fractint entry.
  if (!key.empty()) {
    file_name_.clear();
    title_ = TitleFromEntryName(r.EntryName);
    author_.clear();
    created_.clear();
    comments_ = r.Comments();
    ImportFractint(*this, r, key, ignore_size);
    Changed(false);
    return;
  }

  std::optional<int> expected;
  int read = 0;
  while (!r.SectionName().empty()) {
    const std::string section = r.SectionName();
    if (section == "fractal") {
      file_name_.clear();
      comments_ = r.Comments();
      const TFractalKeys keys = ReadFractalKeys(r);
      title_ = keys.Title.value_or(TitleFromEntryName(r.EntryName));
      author_ = keys.Author.value_or("");
      created_ = keys.Created.value_or("");
      if (keys.LayerCount) expected = keys.LayerCount;
      if (!ignore_size) {
        if (keys.Width) SetWidth(*keys.Width);
        if (keys.Height) SetHeight(*keys.Height);
        SetResolution(keys.Resolution);
        SetGamma(keys.Gamma);
      }
      Changed(false);
    } else if (section == "layer") {
      if (expected && read >= *expected) r.Error();
      std::unique_ptr<TLayer> layer = NewLayer();
      ReadLayer(r, *layer);
      if (read == 0) ClearLayers();
      AppendLayer(std::move(layer));
      ++read;
    } else {
      while (r.ReadKey(key)) {
      }
    }
  }
  if (read == 0 || (expected && read != *expected)) r.Error();
}

namespace {

// Appends copies of the non-standard entries to `file` under their carried names,
// leaving out names the file holds already.
void AppendCarriedEntries(TFractal& fractal, const std::string& file) {
  TCode target;
  target.LoadFile(file);
  for (const TFormulaBase* entry : EntriesOf(fractal)) {
    const TCode& code = entry->Code();
    if (!code.Found || code.FileName.empty() ||
        SameText(std::filesystem::path(code.FileName).stem().string(), "Standard"))
      continue;
    const std::string carried = TParReader::CarriedEntryName(code.FileName, code.EntryName);
    if (target.FindEntry(carried)) continue;  // saved before, or by an earlier layer
    TFastStringList copy;
    code.CopyEntry(copy);
    if (copy.Count() == 0) continue;
    copy.Set(0, carried + copy[0].substr(code.EntryName.size()));
    target.AppendEntry(copy);
  }
}

}  // namespace

std::vector<const TFormulaBase*> EntriesOf(TFractal& fractal) {
  std::vector<const TFormulaBase*> entries;
  for (int i = 0; i < fractal.Layers().Count(); ++i) {
    TLayer& layer = fractal.Layers()[i];
    for (int t = 0; t < layer.Mapping().Transforms().Count(); ++t)
      entries.push_back(&layer.Mapping().Transforms().Item(t));
    entries.push_back(&layer.Formula());
    entries.push_back(&layer.InsideColoring());
    entries.push_back(&layer.OutsideColoring());
  }
  return entries;
}

bool SaveParameterSet(TFractal& fractal, const std::string& file, const std::string& title,
                      bool carry_entries) {
  const bool saved =
      SaveParEntry(file, title, [&](TParWriter& w) { fractal.SaveToParameters(w, &title); });
  if (saved && carry_entries) AppendCarriedEntries(fractal, file);
  return saved;
}

void LoadParameterFile(TFractal& fractal, const std::string& file, const std::string& entry,
                       std::vector<std::string>* skipped) {
  TParReader r;
  if (entry.empty()) {
    r.LoadFile(file);
  } else {
    r.LoadFromFile(file, entry);
  }
  fractal.LoadFromParameters(r, false);
  if (skipped) *skipped = r.Skipped();
}

}  // namespace zt
