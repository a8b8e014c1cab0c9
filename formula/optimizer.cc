// The optimizer's rewrite of the checked program.
#include "formula/optimizer.h"

namespace zt {

void TOptimizer::Optimize() {
  program_ = std::make_unique<TExpressionList>();
  Generate();
  program_.reset();
}

}  // namespace zt
