// The Options window: one field per row of the option pages, bound to its
// setting by key.
#include "ui/options_dialog.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFontComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QStackedWidget>
#include <QToolButton>
#include <algorithm>
#include <climits>
#include <cstring>
#include <map>
#include <string>

#include "document/settings/config_manager.h"
#include "platform/user_interface.h"
#include "ui/option_pages.h"

namespace zt {
namespace {

constexpr const char* kWindowName = "Options";

int ToInt(long double value) {
  return static_cast<int>(std::clamp<long double>(value, INT_MIN, INT_MAX));
}

QString Text(const std::string& text) { return QString::fromStdString(text); }

// Line breaks of stored comments are CR LF; the editor shows line feeds.
std::string WithCrLf(const QString& text) {
  std::string result;
  for (const char c : text.toStdString()) {
    if (c == '\n') result += '\r';
    result += c;
  }
  return result;
}

QString WithoutCr(const std::string& text) {
  std::string result;
  for (const char c : text)
    if (c != '\r') result += c;
  return Text(result);
}

// The color of a stored red + 256 * green + 65536 * blue value, and back.
QColor StoredColor(int value) {
  return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}
int ColorValue(const QColor& color) {
  return color.red() + 256 * color.green() + 65536 * color.blue();
}

void ShowSwatch(QToolButton* button, const QColor& color) {
  button->setStyleSheet(QStringLiteral("background-color: %1").arg(color.name()));
  button->setProperty("color", color);
}

// A line edit with a "..." button that runs `choose` (given the current text)
// and takes a non-empty answer.
QWidget* WithBrowse(QLineEdit* edit, std::function<QString(const QString&)> choose) {
  auto* box = new QWidget;
  auto* layout = new QHBoxLayout(box);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(edit, 1);
  auto* button = new QToolButton(box);
  button->setText(QStringLiteral("..."));
  layout->addWidget(button);
  box->setFocusProxy(edit);  // the caption's shortcut reaches the edit
  QObject::connect(button, &QToolButton::clicked, edit, [edit, choose] {
    const QString chosen = choose(edit->text());
    if (!chosen.isEmpty()) edit->setText(chosen);
  });
  return box;
}

}  // namespace

TOptionsDialog::TOptionsDialog(TConfigManager& config, QWidget* parent)
    : QDialog(parent), config_(config) {
  setWindowTitle(QStringLiteral("Options"));
  pages_ = new QListWidget(this);
  stack_ = new QStackedWidget(this);
  for (const char* page : kOptionPages) {
    pages_->addItem(QString::fromUtf8(page));
    stack_->addWidget(BuildPage(page));
  }
  pages_->setFixedWidth(pages_->sizeHintForColumn(0) + 24);
  connect(pages_, &QListWidget::currentRowChanged, stack_, &QStackedWidget::setCurrentIndex);
  pages_->setCurrentRow(
      std::clamp(config_.ReadWindowValue(kWindowName, "ActivePage", 0), 0, pages_->count() - 1));

  auto* buttons = new QDialogButtonBox(
      QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Apply, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(buttons->button(QDialogButtonBox::Apply), &QPushButton::clicked, this,
          &TOptionsDialog::Apply);

  auto* layout = new QVBoxLayout(this);
  auto* body = new QHBoxLayout;
  body->addWidget(pages_);
  body->addWidget(stack_, 1);
  layout->addLayout(body, 1);
  layout->addWidget(buttons);
  for (const TBinding& binding : bindings_) binding.Load();
  resize(620, 560);
}

QWidget* TOptionsDialog::BuildPage(const char* page) {
  std::map<std::string, TSettingInfo> settings;
  for (const TSettingInfo& info : config_.Describe()) settings.emplace(info.Key, info);

  auto* content = new QWidget;
  auto* form = new QFormLayout(content);
  for (const TOptionRow& row : OptionRows()) {
    if (std::strcmp(row.Page, page) != 0) continue;
    const QString caption = QString::fromUtf8(row.Caption);
    if (row.Kind == TOptionKind::kHeading) {
      auto* heading = new QLabel(QStringLiteral("<b>%1</b>").arg(caption), content);
      form->addRow(heading);
      continue;
    }
    const TSettingInfo& info = settings.at(row.Key);
    const QString key = QString::fromUtf8(row.Key);
    QWidget* field = nullptr;
    QWidget* shown = nullptr;  // what the form holds, when not the field itself
    switch (row.Kind) {
      case TOptionKind::kHeading: break;
      case TOptionKind::kCheck: {
        auto* box = new QCheckBox(caption, content);
        bool* value = std::get<bool*>(info.Field);
        bindings_.push_back({[box, value] { box->setChecked(*value); },
                             [box, value] { *value = box->isChecked(); }});
        field = box;
        break;
      }
      case TOptionKind::kNumber: {
        auto* box = new QSpinBox(content);
        box->setRange(ToInt(info.Low), ToInt(info.High));
        int* value = std::get<int*>(info.Field);
        bindings_.push_back(
            {[box, value] { box->setValue(*value); }, [box, value] { *value = box->value(); }});
        field = box;
        break;
      }
      case TOptionKind::kFraction: {
        auto* box = new QDoubleSpinBox(content);
        box->setDecimals(3);
        box->setRange(static_cast<double>(info.Low), static_cast<double>(info.High));
        box->setSingleStep(0.1);
        long double* value = std::get<long double*>(info.Field);
        bindings_.push_back({[box, value] { box->setValue(static_cast<double>(*value)); },
                             [box, value] {
                               // Unchanged fields keep the stored value to the last digit.
                               if (box->value() != box->valueFromText(box->textFromValue(*value)))
                                 *value = box->value();
                             }});
        field = box;
        break;
      }
      case TOptionKind::kChoice: {
        auto* box = new QComboBox(content);
        box->addItems(QString::fromUtf8(row.Choices).split(QLatin1Char('|')));
        int* value = std::get<int*>(info.Field);
        const int first = row.First;
        bindings_.push_back({[box, value, first] { box->setCurrentIndex(*value - first); },
                             [box, value, first] {
                               // A stored value outside the choices stays.
                               if (box->currentIndex() >= 0) *value = box->currentIndex() + first;
                             }});
        field = box;
        break;
      }
      case TOptionKind::kText:
      case TOptionKind::kFolder:
      case TOptionKind::kFile: {
        auto* edit = new QLineEdit(content);
        std::string* value = std::get<std::string*>(info.Field);
        const bool folder = row.Kind == TOptionKind::kFolder;
        bindings_.push_back({[edit, value] { edit->setText(Text(*value)); },
                             [edit, value, folder] {
                               std::string text = edit->text().trimmed().toStdString();
                               if (folder && !text.empty() && text.back() != '/') text += '/';
                               *value = text;
                             }});
        field = edit;
        if (row.Kind == TOptionKind::kFolder)
          shown = WithBrowse(edit, [this, caption](const QString& now) {
            return QFileDialog::getExistingDirectory(this, caption, now);
          });
        else if (row.Kind == TOptionKind::kFile)
          shown = WithBrowse(edit, [this, caption](const QString& now) {
            return QFileDialog::getOpenFileName(this, caption, now);
          });
        break;
      }
      case TOptionKind::kLines: {
        auto* edit = new QPlainTextEdit(content);
        edit->setFixedHeight(edit->fontMetrics().lineSpacing() * 4 + 12);
        std::string* value = std::get<std::string*>(info.Field);
        bindings_.push_back({[edit, value] { edit->setPlainText(WithoutCr(*value)); },
                             [edit, value] { *value = WithCrLf(edit->toPlainText()); }});
        field = edit;
        break;
      }
      case TOptionKind::kColor: {
        auto* button = new QToolButton(content);
        button->setFixedSize(48, 22);
        connect(button, &QToolButton::clicked, this, [this, button, caption] {
          const QColor chosen =
              QColorDialog::getColor(button->property("color").value<QColor>(), this, caption);
          if (chosen.isValid()) ShowSwatch(button, chosen);
        });
        int* value = std::get<int*>(info.Field);
        bindings_.push_back(
            {[button, value] { ShowSwatch(button, StoredColor(*value)); },
             [button, value] { *value = ColorValue(button->property("color").value<QColor>()); }});
        field = button;
        break;
      }
      case TOptionKind::kFont: {
        auto* box = new QFontComboBox(content);
        std::string* value = std::get<std::string*>(info.Field);
        // A font the system lacks shows as another one; the stored name stays
        // unless the person picks a font.
        bindings_.push_back({[box, value] {
                               box->setCurrentFont(QFont(Text(*value)));
                               box->setProperty("shown", box->currentFont().family());
                             },
                             [box, value] {
                               const QString family = box->currentFont().family();
                               if (family != box->property("shown").toString())
                                 *value = family.toStdString();
                             }});
        field = box;
        break;
      }
    }
    field->setObjectName(key);
    if (row.Kind == TOptionKind::kCheck)
      form->addRow(field);
    else
      form->addRow(caption, shown != nullptr ? shown : field);
  }
  auto* scroll = new QScrollArea;
  scroll->setWidget(content);
  scroll->setWidgetResizable(true);
  scroll->setFrameShape(QFrame::NoFrame);
  return scroll;
}

void TOptionsDialog::Apply() {
  for (const TBinding& binding : bindings_) binding.Store();
  // The fields show what the settings hold now (a folder gains its '/').
  for (const TBinding& binding : bindings_) binding.Load();
  emit Applied();
}

void TOptionsDialog::accept() {
  Apply();
  if (!config_.SaveAll())
    UserInterface().ShowMessage("Error", "Could not save the settings: " + config_.SaveError(),
                                TMessageKind::kError);
  QDialog::accept();
}

void TOptionsDialog::done(int result) {
  config_.WriteWindowValue(kWindowName, "ActivePage", pages_->currentRow());
  QDialog::done(result);
}

void TOptionsDialog::ShowPage(const char* page) {
  for (int i = 0; i < static_cast<int>(std::size(kOptionPages)); ++i)
    if (std::strcmp(kOptionPages[i], page) == 0) pages_->setCurrentRow(i);
}

}  // namespace zt
