// Starting the desktop's opener without a shell, so that no character of a file
// name or URL is ever interpreted.
#include "platform/desktop.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

namespace zt {

bool OpenDocument(const std::string& target, const std::string& opener) {
  // The child reports a failed exec through a pipe that closes on a successful one.
  int report[2];
  if (pipe2(report, O_CLOEXEC) != 0) return false;
  const pid_t child = fork();
  if (child < 0) {
    close(report[0]);
    close(report[1]);
    return false;
  }
  if (child == 0) {
    char* const argv[] = {const_cast<char*>(opener.c_str()), const_cast<char*>(target.c_str()),
                          nullptr};
    execvp(argv[0], argv);
    const int error = errno;
    [[maybe_unused]] ssize_t written = write(report[1], &error, sizeof error);
    _exit(127);
  }
  close(report[1]);
  int error = 0;
  ssize_t got;
  do {
    got = read(report[0], &error, sizeof error);
  } while (got < 0 && errno == EINTR);
  close(report[0]);
  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) return false;
  }
  if (got > 0) return false;  // the opener could not be started
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace zt
