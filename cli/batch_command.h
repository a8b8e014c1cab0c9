// `zt batch FILE.zpr -d DIR [OPTIONS]`: renders every parameter set of a
// parameter file (or one shard of them) into a folder, one image per set.
#pragma once

#include <iosfwd>

namespace zt {

// Runs the command with the arguments after "batch"; returns 0 when every set
// was rendered, 1 when a set could not be read or rendering failed, 2 for
// usage errors and refused checks, 3 when cancelled. Main thread.
int RunBatchCommand(int argc, char** argv, std::ostream& out, std::ostream& err,
                    bool terminal = false);

}  // namespace zt
