// The control-point sections of gradients and alpha channels, and their entry
// files. Both kinds share one frame; they differ in the value key and form.
#include "document/params/gradient_section.h"

#include <algorithm>

#include "document/params/par_entry_file.h"
#include "platform/program_folder.h"

namespace zt {

namespace {

struct TGradientForm {
  using TRing = TGradient;
  using TValue = TRGB12;
  static constexpr const char* kSection = "gradient";
  static constexpr const char* kValueKey = "color";
  static void Write(TParWriter& w, const TGradientPoint& point) {
    w.WriteColor(kValueKey, static_cast<int>(RGB12ToColorNumber(point.Color)));
  }
  static TRGB12 Read(TParReader& r) {
    return ColorNumberToRGB12(static_cast<std::uint32_t>(r.ValueInteger()) & 0xFFFFFF);
  }
};

struct TAlphaForm {
  using TRing = TAlphaChannel;
  using TValue = int;
  static constexpr const char* kSection = "alpha";
  static constexpr const char* kValueKey = "alpha";
  static void Write(TParWriter& w, const TAlphaPoint& point) {
    w.WriteInteger(kValueKey, point.Opacity);
  }
  static int Read(TParReader& r) {
    const int opacity = r.ValueInteger();
    if (opacity < 0 || opacity > 255) r.Error();
    return opacity;
  }
};

template <typename TForm>
void WriteRing(TParWriter& w, typename TForm::TRing& ring, const std::string* title) {
  w.Section(TForm::kSection);
  if (title) w.WriteString("title", *title);
  w.WriteBoolean("smooth", ring.Smooth());
  if (ring.Position() != 0) w.WriteInteger("position", ring.Position());
  w.WriteInteger("numnodes", ring.Count());
  for (auto* p = ring.First(); p; p = p->Next) {
    w.WriteInteger("index", p->Index);
    TForm::Write(w, *p);
  }
}

template <typename TForm>
void ReadRing(TParReader& r, typename TForm::TRing& ring, std::string* title) {
  typename TForm::TRing::TSnapshot snapshot;
  if (title) title->clear();
  int count = -1;
  int index = -1;  // an index waiting for its value
  // What was read stays applied when the text is faulty.
  const auto apply = [&] {
    if (!snapshot.Points.empty()) ring.AssignSnapshot(snapshot);
  };
  try {
    std::string key;
    while (r.ReadKey(key)) {
      if (key == "title") {
        if (title) *title = r.ValueText();
      } else if (key == "smooth") {
        snapshot.Smooth = r.ValueBoolean();
      } else if (key == "position") {
        snapshot.Position = std::clamp(r.ValueInteger(), -kMaxPosition, kMaxPosition);
      } else if (key == "numnodes") {
        count = r.ValueInteger();
      } else if (key == "index") {
        if (index >= 0) r.Error();
        index = r.ValueInteger();
        if (index < 0 || index >= kGradientIndices) r.Error();
      } else if (key == TForm::kValueKey) {
        if (index < 0) r.Error();
        snapshot.Points.emplace_back(index, TForm::Read(r));
        index = -1;
      }
    }
    if (index >= 0 || count != static_cast<int>(snapshot.Points.size())) r.Error();
  } catch (...) {
    apply();
    throw;
  }
  apply();
}

template <typename TForm>
std::string LoadEntry(const std::string& file, const std::string& entry,
                      typename TForm::TRing& ring) {
  TParReader r;
  r.LoadFromFile(file, entry);
  std::string key;
  if (r.ReadKey(key) || r.SectionName() != TForm::kSection) r.Error();
  std::string title;
  ReadRing<TForm>(r, ring, &title);
  return title;
}

}  // namespace

void WriteGradient(TParWriter& w, TGradient& gradient, const std::string* title) {
  WriteRing<TGradientForm>(w, gradient, title);
}

void ReadGradient(TParReader& r, TGradient& gradient, std::string* title) {
  ReadRing<TGradientForm>(r, gradient, title);
}

void WriteAlphaChannel(TParWriter& w, TAlphaChannel& alpha, const std::string* title) {
  WriteRing<TAlphaForm>(w, alpha, title);
}

void ReadAlphaChannel(TParReader& r, TAlphaChannel& alpha, std::string* title) {
  ReadRing<TAlphaForm>(r, alpha, title);
}

bool SaveGradientEntry(const std::string& file, TGradient& gradient, const std::string& title) {
  return SaveParEntry(file, title, [&](TParWriter& w) { WriteGradient(w, gradient, &title); });
}

bool SaveAlphaChannelEntry(const std::string& file, TAlphaChannel& alpha,
                           const std::string& title) {
  return SaveParEntry(file, title, [&](TParWriter& w) { WriteAlphaChannel(w, alpha, &title); });
}

std::string LoadGradientEntry(const std::string& file, const std::string& entry,
                              TGradient& gradient) {
  return LoadEntry<TGradientForm>(file, entry, gradient);
}

bool LoadInitialGradient(const std::string& file, const std::string& entry, TGradient& gradient) {
  if (file.empty() || entry.empty()) return false;
  TGradient loaded(gradient.RGBMode());
  try {
    LoadGradientEntry(file.front() == '/' ? file : ProgramFolder() + file, entry, loaded);
  } catch (const EZentrope&) {
    return false;
  }
  gradient.AssignSnapshot(loaded.SaveSnapshot());
  gradient.ResetHistory();
  return true;
}

std::string LoadAlphaChannelEntry(const std::string& file, const std::string& entry,
                                  TAlphaChannel& alpha) {
  return LoadEntry<TAlphaForm>(file, entry, alpha);
}

}  // namespace zt
