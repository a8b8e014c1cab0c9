// The editors generated for the parameters (PARAM) and functions (FUNC) of one
// entry object: its caption as the label, its hint as the tool tip, an editor of
// the parameter's kind that keeps to its limits. Compiling another entry changes
// the list, and the editors are made anew.
#pragma once

#include <QGroupBox>
#include <QPointer>
#include <functional>
#include <string>
#include <vector>

#include "formula/entries/formula_base.h"

class QCheckBox;
class QComboBox;
class QFormLayout;

namespace zt {

class TComplexField;
class TIntegerBox;
class TNumberField;

// The tool tip of a parameter hint: its lines (each ended by "|", wrapped where
// the library put "\r") on lines of their own.
QString HintText(const std::string& hint);

// A group of its own, hidden while the entry has no parameters.
//
// User-interface thread only. The editors keep no reference to the entry: every
// change names its parameter, and the owner runs it on the entry it finds then,
// because a compilation replaces the parameter objects.
class TParamEditors : public QGroupBox {
  Q_OBJECT

 public:
  // Runs `change` on the entry shown, as one edit. `field` ("p_" or "f_" and the
  // name) tells the edited field, so that the owner can merge its consecutive
  // edits into one undo step.
  using TApply = std::function<void(const std::string& field,
                                    const std::function<void(TFormulaBase&)>& change)>;

  explicit TParamEditors(QWidget* parent = nullptr);

  void SetApply(TApply apply) { apply_ = std::move(apply); }
  // Shows the values of `entry`'s parameters and functions (none for nullptr);
  // the editors are made anew when the entry declares others than those shown.
  void ShowEntry(const TFormulaBase* entry);
  // Rows shown: parameters and functions.
  int RowCount() const { return static_cast<int>(rows_.size()); }

 private:
  // One editor; the pointer of its kind is set, the others are null.
  struct TRow {
    std::string Name;
    bool Function = false;
    TParamValue Shown;   // the value last shown (parameters)
    int ShownCode = -1;  // the code last shown (functions)
    QPointer<TComplexField> Complex;
    QPointer<TNumberField> Float;
    QPointer<TIntegerBox> Integer;
    QPointer<QComboBox> Choice;
    QPointer<QCheckBox> Check;
  };

  void Rebuild(const TFormulaBase* entry);
  void AddParam(const TParam& param);
  void AddFunc(const TFunc& func);
  void AddRow(const TParamBase& item, QWidget* editor);
  void ShowValues(const TFormulaBase& entry);
  // Apply `value` or `code` to the item `name` unless the editor showed it already.
  void ApplyParam(const std::string& name, const TParamValue& value);
  void ApplyFunc(const std::string& name, int code);
  TRow* FindRow(const std::string& name, bool function);

  TApply apply_;
  std::string shape_;
  std::vector<TRow> rows_;
  QWidget* body_ = nullptr;  // holds the rows; replaced as a whole
  QFormLayout* form_ = nullptr;
};

}  // namespace zt
