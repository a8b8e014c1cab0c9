// Checks, texts and file names of disk and batch renders (see render_checks.h).
#include "document/disk/render_checks.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>

#include "platform/format.h"

namespace fs = std::filesystem;

namespace zt {

namespace {

constexpr double kMegabyte = 1048576;
constexpr double kSpaceMargin = 0.1;
constexpr double kLargestImage = 2040;

// The nearest folder of `path` that exists.
fs::path ExistingFolder(const std::string& path) {
  std::error_code error;
  fs::path folder = fs::absolute(path, error);
  while (!folder.empty() && !fs::is_directory(folder, error)) {
    if (folder == folder.parent_path()) break;
    folder = folder.parent_path();
  }
  return folder;
}

TRenderCheck Stop(const char* message) { return {TRenderCheck::TResult::kStop, message}; }

}  // namespace

double RequiredSpace(int width, int height, int images, int psd_layers) {
  const double pixels = double(width) * double(height);
  return (pixels * 6 * images + pixels * 8 * psd_layers) / kMegabyte;
}

double FreeSpace(const std::string& path) {
  struct statvfs status {};
  if (statvfs(ExistingFolder(path).c_str(), &status) != 0) return 0;
  return double(status.f_bavail) * double(status.f_frsize) / kMegabyte;
}

std::string SpaceText(double megabytes) { return Format("%.1f MB", megabytes); }

std::string AvailableText(const std::string& path) {
  // The mount point: the last folder on the way up that is on the same device.
  fs::path folder = ExistingFolder(path);
  struct stat here {};
  if (stat(folder.c_str(), &here) == 0) {
    for (fs::path up = folder.parent_path(); up != folder; up = folder.parent_path()) {
      struct stat above {};
      if (stat(up.c_str(), &above) != 0 || above.st_dev != here.st_dev) break;
      folder = up;
    }
  }
  return "Available on " + folder.string();
}

TRenderCheck CheckSpace(double required, double free) {
  if (required > free + kSpaceMargin) return Stop(kNotEnoughSpaceText);
  if (required >= kLargestImage) return Stop(kTooLargeText);
  return {};
}

TRenderCheck CheckDiskRender(const std::string& destination, double required) {
  std::error_code error;
  const bool existed = fs::exists(destination, error);
  const int fd = ::open(destination.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) return Stop(kInvalidDestinationText);
  ::close(fd);
  if (!existed) fs::remove(destination, error);
  return CheckSpace(required, FreeSpace(destination));
}

TRenderCheck CheckBatchRender(const std::string& parameter_file, const std::string& folder,
                              bool skip_existing, bool confirmed, double required) {
  std::error_code error;
  if (!fs::is_regular_file(parameter_file, error)) return Stop(kNoParameterFileText);
  if (fs::exists(folder, error) && !skip_existing && !confirmed)
    return {TRenderCheck::TResult::kAsk, kFolderExistsText};
  fs::create_directories(folder, error);
  if (!fs::is_directory(folder, error)) return Stop(kFolderNotCreatedText);
  return CheckSpace(required, FreeSpace(folder));
}

int AspectHeight(int width, int set_width, int set_height) {
  if (set_width <= 0 || set_height <= 0) return width;
  return std::max(1, static_cast<int>(std::lround(double(width) * set_height / set_width)));
}

std::string FileNameFromTitle(const std::string& title) {
  std::string name = title;
  for (char& c : name)
    if (std::string_view("\"*/:<>?\\|").find(c) != std::string_view::npos) c = ' ';
  return name;
}

std::string BatchImageName(const std::string& title, int number, TImageFormat format) {
  std::string name = FileNameFromTitle(title);
  if (name.empty()) name = Format("Image%.3d", number);
  return name + ImageExtension(format);
}

std::string BatchTemporaryFile(const std::string& folder, const std::string& parameter_file,
                               int shard_index, int shard_count) {
  std::string name = fs::path(parameter_file).stem().string();
  if (shard_count > 1) name += Format("-shard%dof%d", shard_index, shard_count);
  return (fs::path(folder) / (name + ".zdr")).string();
}

std::string BatchLogFile(const std::string& temporary_file) {
  return fs::path(temporary_file).replace_extension(".log").string();
}

}  // namespace zt
