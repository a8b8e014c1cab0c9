// Tests of the file dialog filters.
#include "ui/file_filters.h"

#include <gtest/gtest.h>

namespace zt {
namespace {

TEST(FileFilters, MatchTheExtensionsInEitherCase) {
  EXPECT_EQ(QtFilters("Parameter files (*.ZPR; *.PAR)|*.ZPR;*.PAR|JPEG image (*.JPG; "
                      "*.JPEG)|*.jpg;*.jpeg|All files (*.*)|*.*"),
            (QStringList{"Parameter files (*.ZPR *.zpr *.PAR *.par)",
                         "JPEG image (*.JPG *.jpg *.JPEG *.jpeg)", "All files (*)"}));
  EXPECT_EQ(QtFilters(kOpenFilters).size(), 9);
  EXPECT_EQ(QtFilters(kExportFilters).size(), 5);
}

}  // namespace
}  // namespace zt
