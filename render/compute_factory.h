// Creates the calculation thread class that belongs to a calculation method.
#pragma once

#include <memory>

#include "render/compute.h"

namespace zt {

// The number of multi-pass passes for an image `imageHeight` pixels high.
int PassesForHeight(int image_height);

// A suspended thread object for one piece: guessing for method 0, multi-pass for
// method 1, linear for any other method. The objects must outlive the thread.
// Main thread.
std::unique_ptr<TCompute> CreateCompute(int method, TMapping& mapping, TFormula& formula,
                                        TColoring& inside, TColoring& outside, TIndexImage& image);

// Whether pieces of `method` take a number of passes.
bool MethodUsesPasses(int method);

}  // namespace zt
