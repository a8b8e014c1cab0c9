// The checks a disk or batch render passes before it starts, with the texts
// the render windows show and the command line prints, and the names of a
// batch's files. Main thread (the checks touch the file system).
#pragma once

#include <string>

#include "document/disk/render_file.h"

namespace zt {

inline constexpr const char* kInvalidDestinationText =
    "Invalid filename for destination image.\rPlease specify a valid filename.";
inline constexpr const char* kNoParameterFileText =
    "Parameter file does not exist.\rPlease specify a valid filename.";
inline constexpr const char* kFolderExistsText =
    "The destination folder already exists. If you proceed, \rexisting images in this folder "
    "may be overwritten.\r\rDo you want to proceed?";
inline constexpr const char* kFolderNotCreatedText =
    "The destination folder could not be created.\rPlease specify a valid folder.";
inline constexpr const char* kNotEnoughSpaceText =
    "The image size is larger than the amount of free space on the selected drive. \rPlease "
    "select another drive, or specify a smaller width or height value.";
inline constexpr const char* kTooLargeText =
    "The image size should not exceed 2 GB. \rPlease specify a smaller width or height value.";

// The outcome of a check: go on, stop with the message, or put the message to
// the person as a Yes/No question (Yes goes on).
struct TRenderCheck {
  enum class TResult { kProceed, kStop, kAsk };
  TResult Result = TResult::kProceed;
  std::string Message;
};

// The space a render needs in MB: `images` images of width x height at 6 bytes
// a pixel, and 8 bytes a pixel for each of `psd_layers` layers written as
// Photoshop layers (all images' layers together).
double RequiredSpace(int width, int height, int images, int psd_layers);
// The free space of the drive that holds `path` (or its nearest existing
// folder), in MB.
double FreeSpace(const std::string& path);
// "%.1f MB".
std::string SpaceText(double megabytes);
// "Available on " and the drive (the mount point) of `path`.
std::string AvailableText(const std::string& path);
// The space messages: more than the free space plus 0.1 MB, or 2040 MB or more.
TRenderCheck CheckSpace(double required, double free);

// The checks of a single render to `destination`: the destination can be
// opened or created (a file made for the test is removed again), then the space.
TRenderCheck CheckDiskRender(const std::string& destination, double required);

// The checks of a batch: the parameter file exists; an existing folder is a
// question unless skipping existing images (or `confirmed`, the question's
// Yes); the folder is created; then the space.
TRenderCheck CheckBatchRender(const std::string& parameter_file, const std::string& folder,
                              bool skip_existing, bool confirmed, double required);

// The height that keeps a set's aspect ratio at `width`: width * set height /
// set width, rounded, at least 1.
int AspectHeight(int width, int set_width, int set_height);

// `title` with every character that a file name cannot hold (" * / : < > ? \ |)
// turned into a blank.
std::string FileNameFromTitle(const std::string& title);

// A batch image's file name: FileNameFromTitle of the set's title, "Image%.3d"
// with the set's number when nothing is left, and the format's extension.
std::string BatchImageName(const std::string& title, int number, TImageFormat format);

// A batch's temporary file: in the folder, the parameter file's name with
// ".zdr", marked with the shard ("-shard2of3") when the batch is one of several.
std::string BatchTemporaryFile(const std::string& folder, const std::string& parameter_file,
                               int shard_index, int shard_count);
// The log beside it: the same name with ".log".
std::string BatchLogFile(const std::string& temporary_file);

}  // namespace zt
