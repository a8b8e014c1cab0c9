// The tool windows' link to a document: refreshes after changes from anywhere,
// no merging across a change from elsewhere, and the owner's handlers intact.
#include "ui/document_link.h"

#include <QSignalSpy>

#include "ui/testing/tool_test_util.h"

namespace zt::testing {
namespace {

class DocumentLinkTest : public ToolTest {};

TEST_F(DocumentLinkTest, AChangeFromElsewhereEndsTheMergingOfEdits) {
  auto fractal = NewFractal(8, 6, "Mandel");
  TFormula& formula = fractal->CurrentLayer().Formula();
  TDocumentLink link;
  link.SetFractal(fractal.get());
  QSignalSpy refreshed(&link, &TDocumentLink::Refresh);
  const int steps = fractal->History().Count();
  link.Edit("maxiter", [&] { formula.SetMaxIterations(70); });
  fractal->Undo();
  fractal->Redo();
  EXPECT_TRUE(refreshed.wait(5000));
  link.Edit("maxiter", [&] { formula.SetMaxIterations(80); });
  EXPECT_EQ(fractal->History().Count(), steps + 2);
  link.SetFractal(nullptr);
  Finish(*fractal);
}

TEST_F(DocumentLinkTest, TheDocumentsOwnHandlersKeepWorking) {
  auto fractal = NewFractal(8, 6, "");
  int owner_calls = 0;
  fractal->OnChange = [&owner_calls](TFractal&) { ++owner_calls; };
  {
    TDocumentLink first, second;
    first.SetFractal(fractal.get());
    second.SetFractal(fractal.get());
    QSignalSpy refreshed(&second, &TDocumentLink::Refresh);
    fractal->SetAuthor("someone");
    EXPECT_EQ(owner_calls, 1);
    EXPECT_TRUE(refreshed.wait(5000));
    // Adding a layer changes the layer list as well as the document.
    fractal->AddLayer("Layer 2");
    EXPECT_EQ(owner_calls, 2);
  }
  fractal->SetAuthor("someone else");
  EXPECT_EQ(owner_calls, 3);
  Finish(*fractal);
}

}  // namespace
}  // namespace zt::testing
