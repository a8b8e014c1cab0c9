// The main of the replay programs: a fuzz target's LLVMFuzzerTestOneInput built
// with the normal compiler, without the fuzzer and the sanitizers, and driven by
// random mutations instead of coverage. It runs every seed, then mutations of
// them until the time budget ends, and fails on a crash, an escaped exception or
// an input that runs longer than kTimeoutSeconds; the failing input is written to
// a file first. Cheap enough for every CI run; scripts/fuzz does the real fuzzing.
//
//   replay_NAME [--seconds N] [--seed N] [--failure FILE] SEED_FILE_OR_FOLDER...
//
// Everything runs on the main thread.
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz/replay/mutator.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

using zt::fuzz::TBytes;

constexpr std::size_t kMaxSize = 8192;  // as scripts/fuzz gives libFuzzer
constexpr unsigned kTimeoutSeconds = 20;

// What the signal handler reports: set before each input runs.
const zt::fuzz::TBytes* current_input = nullptr;
const char* failure_path = nullptr;
std::string failure_note;  // the whole message, made before the input runs

void WriteAll(int fd, const void* data, std::size_t size) {
  const char* at = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t written = write(fd, at, size);
    if (written <= 0) return;
    at += written;
    size -= static_cast<std::size_t>(written);
  }
}

// Saves the input that is running; safe in a signal handler.
void SaveCurrentInput() {
  const int fd = open(failure_path, O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) return;
  WriteAll(fd, current_input->data(), current_input->size());
  close(fd);
}

void OnFatalSignal(int signal_number) {
  static const char kAlarm[] = "timeout: ";
  static const char kSignal[] = "fatal signal: ";
  if (signal_number == SIGALRM)
    WriteAll(STDERR_FILENO, kAlarm, sizeof kAlarm - 1);
  else
    WriteAll(STDERR_FILENO, kSignal, sizeof kSignal - 1);
  SaveCurrentInput();
  WriteAll(STDERR_FILENO, failure_note.data(), failure_note.size());
  // Ends the process with the signal, as without the handler (SIGALRM included).
  signal(signal_number, SIG_DFL);
  raise(signal_number);
}

// The handler also runs for a stack overflow, on a stack of its own.
void InstallSignalHandlers() {
  static std::vector<char> stack(1 << 16);
  stack_t alternate{};
  alternate.ss_sp = stack.data();
  alternate.ss_size = stack.size();
  sigaltstack(&alternate, nullptr);
  struct sigaction action {};
  action.sa_handler = OnFatalSignal;
  action.sa_flags = SA_ONSTACK;
  for (int signal_number : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGALRM})
    sigaction(signal_number, &action, nullptr);
}

[[noreturn]] void Usage(const char* program) {
  std::fprintf(stderr,
               "usage: %s [--seconds N] [--seed N] [--failure FILE] SEED_FILE_OR_FOLDER...\n",
               program);
  std::exit(2);
}

TBytes ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  TBytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (!in.is_open() || in.bad()) {
    std::fprintf(stderr, "cannot read the seed '%s'\n", path.c_str());
    std::exit(2);
  }
  return bytes;
}

// The files given and those in the folders given, in name order.
std::vector<std::filesystem::path> SeedFiles(const std::vector<std::string>& arguments) {
  std::vector<std::filesystem::path> files;
  for (const std::string& argument : arguments) {
    if (!std::filesystem::is_directory(argument)) {
      files.emplace_back(argument);
      continue;
    }
    std::vector<std::filesystem::path> in_folder;
    for (const auto& entry : std::filesystem::directory_iterator(argument))
      if (entry.is_regular_file()) in_folder.push_back(entry.path());
    std::sort(in_folder.begin(), in_folder.end());
    files.insert(files.end(), in_folder.begin(), in_folder.end());
  }
  return files;
}

struct TOptions {
  double Seconds = 10;
  std::uint64_t Seed = 1;
  std::string Failure;
  std::vector<std::string> SeedPaths;
};

TOptions ParseOptions(int argc, char** argv, const std::string& program) {
  TOptions options;
  options.Failure = program + "-failure";
  for (int i = 1; i < argc; ++i) {
    const std::string option = argv[i];
    const bool has_value = i + 1 < argc;
    char* end = nullptr;
    if (option == "--seconds" && has_value) {
      options.Seconds = std::strtod(argv[++i], &end);
    } else if (option == "--seed" && has_value) {
      options.Seed = std::strtoull(argv[++i], &end, 10);
    } else if (option == "--failure" && has_value) {
      options.Failure = argv[++i];
    } else if (option.starts_with("--")) {
      Usage(argv[0]);
    } else {
      options.SeedPaths.push_back(option);
    }
    if (end && (*end != '\0' || end == argv[i])) Usage(argv[0]);
  }
  // A failure must not go unsaved.
  const int fd = open(options.Failure.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
  if (fd < 0 && errno != EEXIST) {
    std::fprintf(stderr, "cannot write the failure file '%s'\n", options.Failure.c_str());
    std::exit(2);
  }
  if (fd >= 0) {
    close(fd);
    unlink(options.Failure.c_str());
  }
  return options;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string program = std::filesystem::path(argv[0]).filename().string();
  const TOptions options = ParseOptions(argc, argv, program);
  const std::string& failure = options.Failure;
  const std::uint64_t seed = options.Seed;
  const std::vector<std::filesystem::path> files = SeedFiles(options.SeedPaths);
  if (files.empty()) Usage(argv[0]);
  std::vector<TBytes> seeds;
  for (const auto& file : files) seeds.push_back(ReadFile(file));

  failure_path = failure.c_str();
  InstallSignalHandlers();
  zt::fuzz::TMutator mutator(seeds, seed, kMaxSize);
  const auto start = std::chrono::steady_clock::now();
  const auto elapsed = [&] {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  };
  std::size_t executions = 0;
  for (;; ++executions) {
    TBytes mutated;
    if (executions < seeds.size()) {
      current_input = &seeds[executions];
      failure_note = "the seed " + files[executions].string();
    } else {
      if (elapsed() >= options.Seconds) break;
      mutated = mutator.Next();
      current_input = &mutated;
      failure_note = "mutation " + std::to_string(executions - seeds.size() + 1) + " of seed " +
                     std::to_string(seed);
    }
    failure_note += "; the input is saved as " + failure + " (run it alone: " + program +
                    " --seconds 0 " + failure + ")\n";
    static const std::uint8_t kNothing = 0;
    const std::uint8_t* data = current_input->empty() ? &kNothing : current_input->data();
    try {
      alarm(kTimeoutSeconds);
      LLVMFuzzerTestOneInput(data, current_input->size());
      alarm(0);
    } catch (const std::exception& error) {
      SaveCurrentInput();
      std::fprintf(stderr, "uncaught exception '%s': %s", error.what(), failure_note.c_str());
      return 1;
    } catch (...) {
      SaveCurrentInput();
      std::fprintf(stderr, "uncaught exception: %s", failure_note.c_str());
      return 1;
    }
  }
  std::printf("%s: %zu executions (%zu seeds, %zu mutations) in %.1f s, seed %llu\n",
              program.c_str(), executions, seeds.size(), executions - seeds.size(), elapsed(),
              static_cast<unsigned long long>(seed));
  return 0;
}
