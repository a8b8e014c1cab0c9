// The generated parameter and function editors.
#include "ui/param_editors.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <climits>
#include <cmath>

#include "platform/number_format.h"
#include "ui/complex_field.h"
#include "ui/integer_box.h"
#include "ui/number_field.h"

namespace zt {

namespace {

// Everything about the entry's list that its editors are made from; the values
// aside.
std::string Shape(const TFormulaBase* entry) {
  if (!entry) return {};
  std::string shape;
  const auto add = [&shape](const std::string& text) {
    shape += text;
    shape += '\x1f';
  };
  const auto add_slot = [&add](bool has, const TValueSlot& slot) {
    add(has ? FormatNumber(slot.Re) + "/" + FormatNumber(slot.Im) : "-");
  };
  for (int i = 0; i < entry->Params().Count(); ++i) {
    const TParam& param = entry->Params().Items(i);
    add("p" + param.Name());
    add(std::to_string(param.ParamType()));
    add(param.Caption());
    add(param.Hint());
    add_slot(param.HasMin(), param.MinValue());
    add_slot(param.HasMax(), param.MaxValue());
    if (const auto* items = param.EnumItems())
      for (const std::string& item : *items) add(item);
    add("\x1e");
  }
  for (int i = 0; i < entry->Funcs().Count(); ++i) {
    const TFunc& func = entry->Funcs().Items(i);
    add("f" + func.Name());
    add(func.Caption());
    add(func.Hint());
  }
  return shape;
}

// A range test for one part of a parameter's value (its limits hold per part).
std::function<bool(long double)> PartRange(const TParam& param, bool imaginary) {
  const bool has_min = param.HasMin(), has_max = param.HasMax();
  const long double low = imaginary ? param.MinValue().Im : param.MinValue().Re;
  const long double high = imaginary ? param.MaxValue().Im : param.MaxValue().Re;
  return
      [=](long double value) { return (!has_min || value >= low) && (!has_max || value <= high); };
}

int ClampToInt(long double value) {
  if (!(value > INT_MIN)) return INT_MIN;
  if (!(value < INT_MAX)) return INT_MAX;
  return static_cast<int>(value);
}

TParamValue MakeValue(TValueType type, long double re, long double im = 0) {
  TParamValue value;
  value.Type = type;
  value.Value.Re = re;
  value.Value.Im = im;
  return value;
}

bool SameParamValue(const TParamValue& a, const TParamValue& b) {
  return a.Type == b.Type && a.Value.Re == b.Value.Re && a.Value.Im == b.Value.Im;
}

}  // namespace

QString HintText(const std::string& hint) {
  QString text = QString::fromStdString(hint);
  text.replace('\r', '\n');
  text.replace('|', '\n');
  while (text.endsWith('\n')) text.chop(1);
  return text;
}

TParamEditors::TParamEditors(QWidget* parent) : QGroupBox(tr("Parameters"), parent) {
  new QVBoxLayout(this);
  hide();
}

void TParamEditors::ShowEntry(const TFormulaBase* entry) {
  const std::string shape = Shape(entry);
  if (!body_ || shape != shape_) {
    shape_ = shape;
    Rebuild(entry);
  }
  if (entry) ShowValues(*entry);
}

void TParamEditors::Rebuild(const TFormulaBase* entry) {
  rows_.clear();
  // Deleted later: a signal of one of the old editors may have led here.
  if (body_) {
    body_->hide();
    body_->deleteLater();
  }
  body_ = new QWidget(this);
  form_ = new QFormLayout(body_);
  form_->setContentsMargins(0, 0, 0, 0);
  form_->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
  layout()->addWidget(body_);
  if (entry) {
    for (int i = 0; i < entry->Params().Count(); ++i) AddParam(entry->Params().Items(i));
    for (int i = 0; i < entry->Funcs().Count(); ++i) AddFunc(entry->Funcs().Items(i));
  }
  setVisible(!rows_.empty());
}

void TParamEditors::AddParam(const TParam& param) {
  TRow row;
  row.Name = param.Name();
  const std::string name = param.Name();
  QWidget* editor = nullptr;
  switch (param.ParamType()) {
    case kTypeComplex: {
      auto* field = new TComplexField(body_);
      field->SetAccept(PartRange(param, false), PartRange(param, true));
      connect(field, &TComplexField::ValueEntered, this,
              [this, name](long double re, long double im) {
                ApplyParam(name, MakeValue(kTypeComplex, re, im));
              });
      row.Complex = field;
      editor = field;
      break;
    }
    case kTypeFloat: {
      auto* field = new TNumberField(body_);
      field->SetAccept(PartRange(param, false));
      connect(field, &TNumberField::ValueEntered, this,
              [this, name](long double value) { ApplyParam(name, MakeValue(kTypeFloat, value)); });
      row.Float = field;
      editor = field;
      break;
    }
    case kTypeInt:
      if (param.EnumItems() && !param.EnumItems()->empty()) {
        auto* box = new QComboBox(body_);
        for (const std::string& item : *param.EnumItems())
          box->addItem(QString::fromStdString(item));
        connect(box, &QComboBox::activated, this,
                [this, name](int index) { ApplyParam(name, MakeValue(kTypeInt, index)); });
        row.Choice = box;
        editor = box;
      } else {
        auto* box = new TIntegerBox(body_);
        box->setRange(param.HasMin() ? ClampToInt(std::ceil(param.MinValue().Re)) : INT_MIN,
                      param.HasMax() ? ClampToInt(std::floor(param.MaxValue().Re)) : INT_MAX);
        connect(box, &TIntegerBox::ValueEntered, this,
                [this, name](int value) { ApplyParam(name, MakeValue(kTypeInt, value)); });
        row.Integer = box;
        editor = box;
      }
      break;
    case kTypeBool: {
      auto* box = new QCheckBox(body_);
      // Only the box itself answers a click, so it takes no more room than that.
      box->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
      connect(box, &QCheckBox::clicked, this,
              [this, name](bool on) { ApplyParam(name, MakeValue(kTypeBool, on ? 1 : 0)); });
      row.Check = box;
      editor = box;
      break;
    }
  }
  rows_.push_back(row);
  AddRow(param, editor);
}

void TParamEditors::AddFunc(const TFunc& func) {
  TRow row;
  row.Name = func.Name();
  row.Function = true;
  auto* box = new QComboBox(body_);
  for (int code = 0; code < kUserFunctionCount; ++code)
    box->addItem(QString::fromLatin1(FunctionStorageName(code).data(),
                                     static_cast<int>(FunctionStorageName(code).size())));
  const std::string name = func.Name();
  connect(box, &QComboBox::activated, this, [this, name](int code) { ApplyFunc(name, code); });
  row.Choice = box;
  rows_.push_back(row);
  AddRow(func, box);
}

void TParamEditors::AddRow(const TParamBase& item, QWidget* editor) {
  auto* label = new QLabel(QString::fromStdString(item.Caption()), body_);
  label->setBuddy(editor);
  label->setWordWrap(true);
  const QString hint = HintText(item.Hint());
  label->setToolTip(hint);
  editor->setToolTip(hint);
  // Editors in a form are found by their parameter's name.
  editor->setObjectName(QString::fromStdString(item.Name()));
  form_->addRow(label, editor);
}

void TParamEditors::ShowValues(const TFormulaBase& entry) {
  for (TRow& row : rows_) {
    if (row.Function) {
      const int index = entry.Funcs().IndexOfName(row.Name);
      if (index < 0) continue;
      row.ShownCode = entry.Funcs().Items(index).FuncCode();
      row.Choice->setCurrentIndex(row.ShownCode);
      continue;
    }
    const int index = entry.Params().IndexOfName(row.Name);
    if (index < 0) continue;
    const TParam& param = entry.Params().Items(index);
    row.Shown = param.GetValue();
    if (row.Complex) row.Complex->ShowValue(row.Shown.Value.Re, row.Shown.Value.Im);
    if (row.Float) row.Float->ShowValue(row.Shown.Value.Re);
    if (row.Integer) row.Integer->ShowValue(param.AsInteger());
    if (row.Choice) row.Choice->setCurrentIndex(param.AsInteger());
    if (row.Check) row.Check->setChecked(param.AsBoolean());
  }
}

TParamEditors::TRow* TParamEditors::FindRow(const std::string& name, bool function) {
  for (TRow& row : rows_)
    if (row.Name == name && row.Function == function) return &row;
  return nullptr;
}

void TParamEditors::ApplyParam(const std::string& name, const TParamValue& value) {
  const TRow* row = FindRow(name, false);
  if (!row || !apply_ || SameParamValue(row->Shown, value)) return;
  apply_(std::string(kParamKeyPrefix) + name, [name, value](TFormulaBase& entry) {
    const int index = entry.Params().IndexOfName(name);
    if (index >= 0) entry.Params().Items(index).SetValue(value);
  });
}

void TParamEditors::ApplyFunc(const std::string& name, int code) {
  const TRow* row = FindRow(name, true);
  if (!row || !apply_ || row->ShownCode == code) return;
  apply_(std::string(kFuncKeyPrefix) + name, [name, code](TFormulaBase& entry) {
    const int index = entry.Funcs().IndexOfName(name);
    if (index >= 0) entry.Funcs().Items(index).SetFuncCode(code);
  });
}

}  // namespace zt
