// Runs a check in a child process that has dropped root's privileges to nobody
// (uid 65534), since root ignores file permissions. The check's result is the
// child's exit code (254 when it threw); -1 when the child could not be run as nobody.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <functional>

namespace orvela::test {

inline int AsNobody(const std::function<int()>& check) {
  const pid_t child = ::fork();
  if (child == 0) {
    if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(255);
    // Nothing may escape the child: it would go on running the caller's tests.
    int result = 254;
    try {
      result = check();
    } catch (...) {
    }
    ::_exit(result);
  }
  int status = 0;
  if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status) == 255 ? -1 : WEXITSTATUS(status);
}

}  // namespace orvela::test
