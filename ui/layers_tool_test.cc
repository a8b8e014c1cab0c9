// The layers tool on a document of two and three layers: rows, visibility with
// undo, the current layer, cell edits and moving rows by dropping them.
#include "ui/layers_tool.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QStyle>
#include <QStyleOptionViewItem>

#include "ui/testing/tool_test_util.h"

namespace zt::testing {
namespace {

class LayersToolTest : public ToolTest {
 protected:
  // A document with the layers "Top", "Middle" (unless `two`) and "Bottom".
  void MakeDocument(bool two = false) {
    fractal_ = NewFractal(8, 6, "Mandel");
    fractal_->CurrentLayer().SetCaption("Bottom");
    if (!two) fractal_->AddLayer("Middle");
    fractal_->AddLayer("Top");
    Finish(*fractal_);
    tool_ = std::make_unique<TLayersTool>();
    tool_->resize(400, 200);
    tool_->show();
    tool_->SetFractal(fractal_.get());
    ASSERT_TRUE(WaitFor([&] { return Model().rowCount() == fractal_->Layers().Count(); }));
  }

  TLayerListModel& Model() { return tool_->Model(); }
  QString Cell(int row, int column) { return Model().index(row, column).data().toString(); }
  std::string Captions() {
    std::string captions;
    for (int i = 0; i < fractal_->Layers().Count(); ++i)
      captions += fractal_->Layers()[i].Caption() + " ";
    return captions;
  }
  // Where a click on the visibility check box of `row` lands.
  QPoint CheckBoxOf(int row) {
    QTableView& view = tool_->View();
    const QModelIndex index = Model().index(row, TLayerListModel::kVisibleColumn);
    QStyleOptionViewItem option;
    option.initFrom(&view);
    option.rect = view.visualRect(index);
    option.features = QStyleOptionViewItem::HasCheckIndicator;
    return view.style()
        ->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, &view)
        .center();
  }

  std::unique_ptr<TFractal> fractal_;
  std::unique_ptr<TLayersTool> tool_;
};

// Visibility is a change without an undo step, as the layer defines it.
TEST_F(LayersToolTest, HidingALayerMakesNoStepAndTheBoxFollowsTheLayer) {
  MakeDocument(true);
  EXPECT_EQ(Cell(0, TLayerListModel::kCaptionColumn), "Top");
  EXPECT_EQ(Cell(1, TLayerListModel::kCaptionColumn), "Bottom");
  EXPECT_EQ(Cell(1, TLayerListModel::kOpacityColumn), "50%");
  EXPECT_EQ(Cell(1, TLayerListModel::kModeColumn), "normal");
  const int steps = fractal_->History().Count();
  const QModelIndex check = Model().index(1, TLayerListModel::kVisibleColumn);

  QTest::mouseClick(tool_->View().viewport(), Qt::LeftButton, {}, CheckBoxOf(1));
  EXPECT_FALSE(fractal_->Layers()[1].Visible());
  EXPECT_EQ(fractal_->History().Count(), steps);
  ASSERT_TRUE(WaitFor([&] { return check.data(Qt::CheckStateRole) == Qt::Unchecked; }));

  fractal_->BeginUpdate();
  fractal_->Layers()[1].SetVisible(true);
  fractal_->EndUpdate();
  EXPECT_TRUE(WaitFor([&] { return check.data(Qt::CheckStateRole) == Qt::Checked; }));
}

TEST_F(LayersToolTest, CellEditsMakeTheLayersUndoSteps) {
  MakeDocument(true);
  struct TCase {
    int Column;
    QVariant First, Second;  // entered one after the other
    int Steps;               // undo steps the two make
    std::function<bool(const TLayer&)> Holds;
  };
  const TCase cases[] = {
      // A caption changes without an undo step.
      {TLayerListModel::kCaptionColumn, "Sky", "Sea", 0,
       [](const TLayer& l) { return l.Caption() == "Sea"; }},
      // The document merges opacity changes that follow each other.
      {TLayerListModel::kOpacityColumn, 70, 80, 1,
       [](const TLayer& l) { return l.Opacity() == 80; }},
      {TLayerListModel::kModeColumn, int(kMergeScreen), int(kMergeDarken), 2,
       [](const TLayer& l) { return l.MergeMode() == kMergeDarken; }},
  };
  for (const TCase& c : cases) {
    const int steps = fractal_->History().Count();
    const QModelIndex cell = Model().index(0, c.Column);
    EXPECT_TRUE(Model().setData(cell, c.First, Qt::EditRole));
    EXPECT_TRUE(Model().setData(cell, c.Second, Qt::EditRole));
    EXPECT_FALSE(Model().setData(cell, c.Second, Qt::EditRole));  // no change, no step
    EXPECT_TRUE(c.Holds(fractal_->Layers()[0])) << c.Column;
    EXPECT_EQ(fractal_->History().Count(), steps + c.Steps) << c.Column;
    EXPECT_TRUE(WaitFor([&] { return cell.data(Qt::EditRole) == c.Second; })) << c.Column;
  }
}

TEST_F(LayersToolTest, ChoosingARowMakesItsLayerCurrentWithoutAStep) {
  MakeDocument();
  ASSERT_EQ(fractal_->CurrentIndex(), 0);
  const int steps = fractal_->History().Count();
  QTableView& view = tool_->View();
  const QRect row = view.visualRect(Model().index(2, TLayerListModel::kCaptionColumn));
  QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, row.center());
  EXPECT_EQ(fractal_->CurrentIndex(), 2);
  EXPECT_EQ(fractal_->History().Count(), steps);
  // And the other way round: the current layer chosen elsewhere is the row.
  fractal_->SetCurrentLayer(1);
  EXPECT_TRUE(WaitFor([&] { return view.currentIndex().row() == 1; }));
}

TEST_F(LayersToolTest, MovingARowMovesItsLayerAndKeepsTheCurrentOne) {
  struct TCase {
    int From, Before;
    const char* Order;
  };
  const TCase cases[] = {
      {0, 3, "Middle Bottom Top "}, {0, -1, "Middle Bottom Top "}, {2, 0, "Bottom Top Middle "},
      {0, 2, "Middle Top Bottom "}, {1, 1, "Top Middle Bottom "},  {1, 2, "Top Middle Bottom "},
  };
  for (const TCase& c : cases) {
    MakeDocument();
    fractal_->SetCurrentLayer(c.From);
    const TLayer* current = &fractal_->CurrentLayer();
    const int steps = fractal_->History().Count();
    const bool moves = std::string(c.Order) != "Top Middle Bottom ";
    EXPECT_EQ(Model().MoveRow(c.From, c.Before), moves);
    EXPECT_EQ(Captions(), c.Order);
    EXPECT_EQ(&fractal_->CurrentLayer(), current);
    EXPECT_EQ(fractal_->History().Count(), steps + (moves ? 1 : 0));
    tool_.reset();
  }
}

TEST_F(LayersToolTest, DroppingADraggedRowBelowTheLastMovesItsLayerToTheBottom) {
  MakeDocument();
  QTableView& view = tool_->View();
  std::unique_ptr<QMimeData> data(Model().mimeData({Model().index(0, 1)}));
  const QRect last = view.visualRect(Model().index(2, TLayerListModel::kCaptionColumn));
  const QPoint at(last.center().x(), last.bottom() - 1);
  QDragEnterEvent enter(at, Qt::MoveAction, data.get(), Qt::LeftButton, {});
  QApplication::sendEvent(view.viewport(), &enter);
  ASSERT_TRUE(enter.isAccepted());
  QDragMoveEvent move(at, Qt::MoveAction, data.get(), Qt::LeftButton, {});
  QApplication::sendEvent(view.viewport(), &move);
  QDropEvent drop(at, Qt::MoveAction, data.get(), Qt::LeftButton, {});
  QApplication::sendEvent(view.viewport(), &drop);
  EXPECT_EQ(Captions(), "Middle Bottom Top ");
  EXPECT_TRUE(WaitFor([&] { return Cell(2, TLayerListModel::kCaptionColumn) == "Top"; }));
  EXPECT_EQ(Model().rowCount(), 3);  // the view removed no row itself

  // A drag from another document moves nothing here.
  auto other = NewFractal(8, 6, "");
  TLayersTool other_tool;
  other_tool.SetFractal(other.get());
  ASSERT_TRUE(WaitFor([&] { return other_tool.Model().rowCount() == 1; }));
  std::unique_ptr<QMimeData> foreign(other_tool.Model().mimeData({other_tool.Model().index(0, 1)}));
  EXPECT_FALSE(Model().canDropMimeData(foreign.get(), Qt::MoveAction, 0, 0, {}));
  other_tool.SetFractal(nullptr);
}

}  // namespace
}  // namespace zt::testing
