// Parameter sets for the disk render tests, built from layers of the shipped
// collections with periodicity checking off (a calculation thread carries its
// periodicity state from pixel to pixel, so with it a resumed calculation could
// differ), a way to drive a render job, and the same set rendered in memory.
#pragma once

#include <filesystem>
#include <functional>
#include <string>

#include "document/disk/render_job.h"

namespace zt::testing {

// One layer: a Mandelbrot of 60 iterations calculated by `method` ("linear",
// "multipass" or "" for guessing) at `center`, colored smoothly; `extra` adds
// or overrides keys of the "layer" section ("mergemode=screen opacity=60").
std::string TestLayer(const std::string& caption, const std::string& method,
                      const std::string& center, const std::string& extra = "");
// An entry `name` titled `title` of width x height with the given layers.
std::string TestSet(const std::string& name, const std::string& title, int width, int height,
                    const std::vector<std::string>& layers);

// Steps `job` until it ends, waiting on the main thread's dispatcher; when
// `stop` says so before, cancels it. True when the job finished.
bool DriveJob(TRenderJob& job, const std::function<bool()>& stop = nullptr);

// Loads `text` into a document of its size, calculates it and exports it to
// `file` (the format by its extension); returns the file's bytes.
std::string RenderInMemory(const std::string& text, const std::filesystem::path& file);

}  // namespace zt::testing
