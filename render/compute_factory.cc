// The calculation thread for a method (see compute_factory.h).
#include "render/compute_factory.h"

#include <algorithm>

#include "render/compute_guessing.h"
#include "render/compute_multipass.h"

namespace zt {

namespace {
constexpr int kGuessing = 0;
constexpr int kMultiPass = 1;
}  // namespace

int PassesForHeight(int image_height) { return std::clamp(image_height / 300 + 3, 2, 6); }

bool MethodUsesPasses(int method) { return method == kGuessing || method == kMultiPass; }

std::unique_ptr<TCompute> CreateCompute(int method, TMapping& mapping, TFormula& formula,
                                        TColoring& inside, TColoring& outside, TIndexImage& image) {
  switch (method) {
    case kGuessing:
      return std::make_unique<TComputeGuessing>(mapping, formula, inside, outside, image);
    case kMultiPass:
      return std::make_unique<TComputeMultiPass>(mapping, formula, inside, outside, image);
    default: return std::make_unique<TComputeLinear>(mapping, formula, inside, outside, image);
  }
}

}  // namespace zt
