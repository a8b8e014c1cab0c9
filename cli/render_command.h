// `zt render FILE [ENTRY] -o OUT [--size WxH] [--threads N]`: calculates a
// parameter set or a fractal file and writes the image, or a fractal file.
#pragma once

#include <iosfwd>
#include <string>

namespace zt {

class TFractal;

// The output kinds, chosen by the output file's extension.
enum class TRenderOutput { kUnknown, kBMP, kPSD, kPNG, kTGA, kJPEG, kFractalFile };

// .bmp .psd .png .tga .jpg/.jpeg and .zfr, compared without regard to case.
TRenderOutput RenderOutputFor(const std::string& file);

// Writes the document as `kind` to `file`; raises the writer's or exporter's
// errors. Main thread.
void WriteRenderOutput(TFractal& fractal, TRenderOutput kind, const std::string& file);

// Runs the command with the arguments after "render"; returns the exit status:
// 0 the output was written, 1 it could not be written, 2 usage or input file
// errors. The progress bar goes to `err` when `terminal` is set.
// Main thread: the calculation's notifications arrive through its dispatcher.
int RunRenderCommand(int argc, char** argv, std::ostream& out, std::ostream& err,
                     bool terminal = false);

}  // namespace zt
