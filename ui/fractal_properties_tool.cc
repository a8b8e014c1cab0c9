// The fractal properties tool.
#include "ui/fractal_properties_tool.h"

#include <QFormLayout>
#include <QStringList>
#include <QVBoxLayout>
#include <cmath>

namespace zt {

namespace {

QString JoinLines(const std::vector<std::string>& lines) {
  QStringList list;
  for (const std::string& line : lines) list << QString::fromStdString(line);
  return list.join('\n');
}

std::vector<std::string> SplitLines(const QString& text) {
  std::vector<std::string> lines;
  if (text.isEmpty()) return lines;
  for (const QString& line : text.split('\n')) lines.push_back(line.toStdString());
  return lines;
}

// The other side of a size that keeps `aspect` (height per width).
int FollowingSide(int side, double aspect) {
  return std::clamp(static_cast<int>(std::lround(side * aspect)), 1, kMaxToolImageSize);
}

}  // namespace

TFractalPropertiesTool::TFractalPropertiesTool(QWidget* parent)
    : QWidget(parent),
      link_(this),
      body_(this),
      title_(&body_),
      width_(&body_),
      height_(&body_),
      keep_aspect_(tr("Keep the aspect ratio"), &body_),
      resolution_(&body_),
      gamma_(&body_),
      author_(&body_),
      comments_(&body_) {
  setWindowTitle(tr("Fractal Properties"));
  title_.setObjectName("title");
  width_.setObjectName("width");
  height_.setObjectName("height");
  for (TIntegerBox* side : {&width_, &height_}) {
    side->setRange(1, kMaxToolImageSize);
    side->setSuffix(tr(" pixels"));
  }
  keep_aspect_.setObjectName("keepAspect");
  resolution_.setObjectName("resolution");
  resolution_.SetDigits(15);
  // Compared as the document stores them: 0.1 as an extended value lies below
  // 0.1 as a double.
  resolution_.SetAccept([](long double value) {
    const double dpi = static_cast<double>(value);
    return dpi >= kMinResolution && dpi <= kMaxResolution;
  });
  resolution_.setToolTip(tr("Dots per inch when the image is printed (1 to 10000)"));
  gamma_.setObjectName("gamma");
  gamma_.SetDigits(15);
  gamma_.SetAccept([](long double value) {
    const double gamma = static_cast<double>(value);
    return gamma >= kMinGamma && gamma <= kMaxGamma;
  });
  gamma_.setToolTip(tr("The gamma of the image (0.1 to 10)"));
  author_.setObjectName("author");
  comments_.setObjectName("comments");
  comments_.setToolTip(tr("$CALCTIME$ stands for the calculation time when the fractal is saved"));

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(&body_);
  auto* form = new QFormLayout(&body_);
  form->addRow(tr("Title"), &title_);
  form->addRow(tr("Width"), &width_);
  form->addRow(tr("Height"), &height_);
  form->addRow(QString(), &keep_aspect_);
  form->addRow(tr("Resolution (dpi)"), &resolution_);
  form->addRow(tr("Gamma"), &gamma_);
  form->addRow(tr("Author"), &author_);
  form->addRow(tr("Comments"), &comments_);

  connect(&link_, &TDocumentLink::Refresh, this, &TFractalPropertiesTool::Refresh);
  connect(&link_, &TDocumentLink::EditMade, this, &TFractalPropertiesTool::EditMade);
  connect(&title_, &TLineField::Committed, this, [this](const QString& text) {
    const std::string title = text.toStdString();
    Edit(
        "title", [&](const TFractal& f) { return title != f.Title(); },
        [&](TFractal& f) { f.SetTitle(title); });
  });
  connect(&author_, &TLineField::Committed, this, [this](const QString& text) {
    const std::string author = text.toStdString();
    Edit(
        "author", [&](const TFractal& f) { return author != f.Author(); },
        [&](TFractal& f) { f.SetAuthor(author); });
  });
  connect(&comments_, &TTextBox::Committed, this, [this](const QString& text) {
    const std::vector<std::string> lines = SplitLines(text);
    Edit(
        "comments", [&](const TFractal& f) { return lines != f.Comments(); },
        [&](TFractal& f) { f.SetComments(lines); });
  });
  connect(&resolution_, &TNumberField::ValueEntered, this, [this](long double value) {
    const double dpi = static_cast<double>(value);
    Edit(
        "resolution", [&](const TFractal& f) { return dpi != f.Resolution(); },
        [&](TFractal& f) { f.SetResolution(dpi); });
  });
  connect(&gamma_, &TNumberField::ValueEntered, this, [this](long double value) {
    const double gamma = static_cast<double>(value);
    Edit(
        "gamma", [&](const TFractal& f) { return gamma != f.Gamma(); },
        [&](TFractal& f) { f.SetGamma(gamma); });
  });
  connect(&width_, &TIntegerBox::ValueEntered, this,
          [this](int width) { EnterSize(width, height_.value(), true); });
  connect(&height_, &TIntegerBox::ValueEntered, this,
          [this](int height) { EnterSize(width_.value(), height, false); });
  body_.hide();
  setEnabled(false);
}

void TFractalPropertiesTool::SetFractal(TFractal* fractal) {
  link_.SetFractal(fractal);
  setEnabled(fractal != nullptr);
}

void TFractalPropertiesTool::Edit(const std::string& field,
                                  const std::function<bool(const TFractal&)>& differs,
                                  const std::function<void(TFractal&)>& change) {
  TFractal* fractal = link_.Fractal();
  if (!fractal) return;
  // An unchanged value is no edit (and no step); the refresh shows it in the
  // document's own form.
  if (!differs(*fractal)) {
    link_.RequestRefresh();
    return;
  }
  link_.Edit(field, [&] { change(*fractal); });
}

void TFractalPropertiesTool::EnterSize(int width, int height, bool width_changed) {
  TFractal* fractal = link_.Fractal();
  if (!fractal) return;
  if (keep_aspect_.isChecked()) {
    if (width_changed)
      height = FollowingSide(width, aspect_);
    else
      width = FollowingSide(height, 1 / aspect_);
    kept_width_ = width;
    kept_height_ = height;
  }
  Edit(
      "size", [&](const TFractal& f) { return width != f.Width() || height != f.Height(); },
      [&](TFractal& f) {
        f.SetWidth(width);
        f.SetHeight(height);
      });
}

void TFractalPropertiesTool::Refresh() {
  const TFractal* fractal = link_.Fractal();
  body_.setVisible(fractal != nullptr);
  if (!fractal) return;
  // A size from elsewhere sets the ratio that keeping the aspect holds to.
  if ((fractal->Width() != kept_width_ || fractal->Height() != kept_height_) &&
      fractal->Width() > 0 && fractal->Height() > 0)
    aspect_ = static_cast<double>(fractal->Height()) / fractal->Width();
  title_.Show(QString::fromStdString(fractal->Title()));
  width_.ShowValue(fractal->Width());
  height_.ShowValue(fractal->Height());
  resolution_.ShowValue(fractal->Resolution());
  gamma_.ShowValue(fractal->Gamma());
  author_.Show(QString::fromStdString(fractal->Author()));
  comments_.Show(JoinLines(fractal->Comments()));
}

}  // namespace zt
