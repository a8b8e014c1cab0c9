// The fractal file (.zfr): a whole document with its parameter text, every
// layer's calculation state and every layer's calculated pixels, so that an
// opened file shows its image at once and an interrupted calculation continues.
// The layout is described in docs/fractal-file.md. Also the check, at start,
// that the zlib library matches the one the program was built against.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "document/fractal.h"
#include "document/progress_reporter.h"
#include "platform/atomic_output.h"
#include "platform/error.h"

namespace zt {

// A failure of zlib, with its error number in the message.
class ECompressError : public EZentrope {
 public:
  using EZentrope::EZentrope;
};

inline constexpr char kFractalFileMagic[] = "ZENTROPEFILE";
inline constexpr std::uint16_t kFractalFileVersion = 2;
inline constexpr std::uint32_t kFractalFileHeadSize = 64;
inline constexpr std::uint32_t kLayerStateRecordSize = 1968;

// Reads or writes one fractal file for one document. Created, executed once and
// destroyed on the user-interface thread, which owns the document; OnProgress
// is called there during Execute. The document must outlive the filer.
class TFractalFiler : public TProgressReporter {
 public:
  TFractalFiler(TFractal& fractal, std::string file_name)
      : fractal_(fractal), file_name_(std::move(file_name)) {}

  TFractal& Fractal() { return fractal_; }
  const std::string& FileName() const { return file_name_; }

 protected:
  // Progress as `done` of `total` bytes.
  void ReportBytes(std::uint64_t done, std::uint64_t total);

 private:
  TFractal& fractal_;
  std::string file_name_;
};

// Writes the document. The layers do not calculate during the write; those that
// did continue afterwards. The destination is replaced only once the new file is
// complete. Raises EZentrope "Could not create '%s'" or "Error writing '%s'.
// Probably the destination disk is full", ECompressError for zlib failures.
class TFractalWriter : public TFractalFiler {
 public:
  using TFractalFiler::TFractalFiler;
  void Execute() override;

  // Test seam: called with the output file as soon as it is created, so that a
  // test can make its writes fail.
  std::function<void(TAtomicOutputFile& output)> OnOutputCreated;
};

// Reads a file into the document: parameter text, timer, calculation states
// (only when the file holds one record per layer) and pixels. The document is
// under one update bracket meanwhile; its EndUpdate continues interrupted
// calculations. Raises EZentrope "Could not open '%s'" or "Could not read '%s'.
// The file is corrupted", ECompressError, and the parameter text's errors; the
// document keeps what was read before a failure. Sizes from the file are
// checked against each other and against the file's length before any pixel
// store is allocated.
class TFractalReader : public TFractalFiler {
 public:
  using TFractalFiler::TFractalFiler;
  void Execute() override;
};

// The parameter text of the fractal file `name` and the size its head gives,
// read without the pixels (for renders that recalculate them strip by strip).
// Raises EZentrope "Could not open '%s'" or "Could not read '%s'. The file is
// corrupted".
struct TFractalFileText {
  std::string Text;
  int Width = 0;
  int Height = 0;
};
TFractalFileText ReadFractalFileText(const std::string& name);

// Shows "The ZLIB.DLL file is corrupted. Please reinstall Zentrope." as an error
// and ends the program with exit code 1 unless the zlib library in use reports
// the version the program was built against (`linked` and `built` compared as
// strings in the second form). Main thread, at start.
void CheckZlibVersion();
void CheckZlibVersion(const std::string& linked, const std::string& built);

}  // namespace zt
