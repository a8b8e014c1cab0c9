// Opening a render file: a batch file or a single render file (see render_job.h).
#include "document/disk/render_job.h"

#include <cstring>

#include "document/disk/batch_render.h"
#include "document/disk/disk_render.h"
#include "document/disk/render_file.h"
#include "document/disk/render_store.h"
#include "platform/format.h"

namespace zt {

std::unique_ptr<TRenderJob> OpenRenderFile(const std::string& name, const TRenderOptions& options) {
  char magic[8] = {};
  if (!TRenderStore::Open(name)->Read(0, magic, sizeof magic))
    throw ERenderError(Format("Invalid disk render file '%s'", name.c_str()));
  if (std::memcmp(magic, "ZT_BATCH", 8) == 0) return TBatchRender::Resume(name, options);
  return TDiskRender::Resume(name, options);
}

}  // namespace zt
