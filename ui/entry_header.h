// The head of an entry's section in the layer properties: which entry the object
// holds (its title, entry name and collection file) and the button that lets the
// person choose another.
#pragma once

#include <QLabel>
#include <QPushButton>
#include <QWidget>

#include "formula/entries/formula_base.h"

namespace zt {

// User-interface thread only.
class TEntryHeader : public QWidget {
  Q_OBJECT

 public:
  explicit TEntryHeader(QWidget* parent = nullptr);

  // Shows `entry` ("(None)" without one; nullptr: nothing).
  void ShowEntry(const TFormulaBase* entry);

 signals:
  void ChooseClicked();

 private:
  QLabel title_;
  QLabel details_;
  QPushButton choose_;
};

}  // namespace zt
