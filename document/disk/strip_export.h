// Writing a disk render's image: the exporter of the render's format, whose
// row requests read the merged rows (and the layer rows of Photoshop layers)
// back from the strip data.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "document/disk/render_document.h"
#include "document/disk/render_file.h"
#include "document/disk/render_store.h"
#include "document/export/export_image.h"

namespace zt {

// The largest width and height `format` can hold.
int FormatMaxSide(TImageFormat format);

// An exporter of `settings`' format and options for its destination. Raises
// EExportError "Could not create '%s'".
std::unique_ptr<TExportImage> MakeExporter(const TRenderSettings& settings);

// Writes the image of the finished render whose file starts at `base` of
// `store`; `on_progress` hears the share written (it may throw to stop). A
// refused write raises ERenderError "Error rendering '%s'. Probably the
// destination disk is full"; a short read of the strip data "Invalid disk
// render file '%s'". Main thread.
void ExportStrips(const TRenderStore& store, std::uint64_t base, const TRenderHead& head,
                  const TRenderSettings& settings, TRenderDocument& document,
                  const std::function<void(double)>& on_progress);

}  // namespace zt
