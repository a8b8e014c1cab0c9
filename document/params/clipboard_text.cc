// Clipboard entries: writing one and recognising the kind of a pasted one.
#include "document/params/clipboard_text.h"

#include <initializer_list>

#include "formula/language/entry_name.h"

namespace zt {
namespace {

struct TKindText {
  std::initializer_list<const char*> Sections;
  const char* Message;
};

const TKindText& KindText(TClipboardKind kind) {
  static const TKindText kTexts[] = {
      {{"fractal"}, "Clipboard does not contain valid fractal data"},
      {{"layer"}, "Clipboard does not contain valid layer data"},
      {{"location"}, "Clipboard does not contain valid location data"},
      {{"transform"}, "Clipboard does not contain valid transformation data"},
      {{"formula"}, "Clipboard does not contain valid formula data"},
      {{"inside", "outside"}, "Clipboard does not contain valid coloring data"},
      {{"gradient"}, "Clipboard does not contain any gradient data"},
      {{"alpha"}, "Clipboard does not contain any alpha channel data"},
  };
  return kTexts[static_cast<int>(kind)];
}

}  // namespace

const char* ClipboardErrorMessage(TClipboardKind kind) { return KindText(kind).Message; }

std::string ClipboardText(const std::string& title,
                          const std::function<void(TParWriter&)>& write_body) {
  TParWriter w(MakeEntryName(title));
  write_body(w);
  w.Close();
  return w.Text();
}

bool OpenClipboardText(TParReader& r, const std::string& text, TClipboardKind kind) {
  r.LoadFromText(text);
  if (!r.Found) return false;
  std::string key;
  if (r.ReadKey(key) || !key.empty()) return false;
  for (const char* section : KindText(kind).Sections)
    if (r.SectionName() == section) return true;
  return false;
}

}  // namespace zt
