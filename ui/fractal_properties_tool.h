// The fractal properties tool: the document's title, image size (optionally
// keeping its aspect ratio), print resolution, gamma, author and comments.
#pragma once

#include <QCheckBox>
#include <QWidget>

#include "ui/document_link.h"
#include "ui/integer_box.h"
#include "ui/line_field.h"
#include "ui/number_field.h"
#include "ui/text_box.h"

namespace zt {

// The largest width and height the tool sets: a document keeps a 16-bit index per
// pixel and layer and a 32-bit merged pixel, so a slip of the keyboard must not
// ask for gigabytes. Larger images are rendered to disk.
inline constexpr int kMaxToolImageSize = 10000;

// User-interface thread only. The document must stay alive while it is set: its
// owner sets nullptr (or another document) before destroying it.
class TFractalPropertiesTool : public QWidget {
  Q_OBJECT

 public:
  explicit TFractalPropertiesTool(QWidget* parent = nullptr);

  // The document shown and edited; nullptr: none (the tool is disabled).
  void SetFractal(TFractal* fractal);

 signals:
  // After each edit the tool made through the document.
  void EditMade();

 private:
  void Refresh();
  // Runs `change` as an edit of `field` when `differs` says the person entered
  // another value. Every edit here is a step of its own, also where the
  // document would keep the change without one: the person expects to undo what
  // the tool changed.
  void Edit(const std::string& field, const std::function<bool(const TFractal&)>& differs,
            const std::function<void(TFractal&)>& change);
  // Sets the size; with the aspect ratio kept, `width_changed` tells which side
  // the person entered and the other follows.
  void EnterSize(int width, int height, bool width_changed);

  TDocumentLink link_;
  QWidget body_;  // the fields, hidden without a document
  TLineField title_;
  TIntegerBox width_;
  TIntegerBox height_;
  QCheckBox keep_aspect_;
  TNumberField resolution_;
  TNumberField gamma_;
  TLineField author_;
  TTextBox comments_;
  // Height per width that the kept aspect ratio holds to, and the size the last
  // edit that kept it produced (rounded: it must not change the ratio).
  double aspect_ = 0.75;
  int kept_width_ = -1;
  int kept_height_ = -1;
};

}  // namespace zt
