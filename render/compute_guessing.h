// The default calculation thread: multi-pass, but a new pixel whose known
// neighbours all agree takes their common index without being calculated.
#pragma once

#include "render/compute_multipass.h"

namespace zt {

// Guessing saves most of the work in large areas of one index; it may miss
// details thinner than the block size of a pass. Same threading as
// TComputeMultiPass: created, started and freed on the main thread, RefineRow runs
// on the thread itself.
class TComputeGuessing : public TComputeMultiPass {
 public:
  using TComputeMultiPass::TComputeMultiPass;
  ~TComputeGuessing() override;

 protected:
  void RefineRow(int y, int step) override;
};

}  // namespace zt
