// Running test code as a user to whom file permissions apply: root ignores them.
#pragma once

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <exception>
#include <functional>
#include <stdexcept>
#include <string>

namespace orvela::testing {

constexpr uid_t kNobody = 65534;

// How a child process ended: its exit status or the signal that killed it, and what it said.
struct ChildEnd {
  int exitStatus = -1;
  int signal = 0;
  std::string output;
};

// Runs body in a child process, as "nobody" when asked and we are root; body's result comes
// back as output. For code that is killed on purpose, or that must not change this process.
inline ChildEnd InChild(const std::function<std::string()>& body, bool unprivileged = false) {
  int pipeFds[2];
  if (::pipe(pipeFds) != 0) throw std::runtime_error("pipe");
  pid_t child = ::fork();
  if (child < 0) throw std::runtime_error("fork");
  if (child == 0) {
    ::close(pipeFds[0]);
    std::string result;
    if (unprivileged && ::geteuid() == 0 &&
        (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) {
      result = "could not become nobody";
    } else {
      try {
        result = body();
      } catch (const std::exception& e) {
        result = std::string("unexpected exception: ") + e.what();
      } catch (...) {
        // Nothing may escape the child: it would go on running the caller's tests.
        result = "unexpected exception";
      }
    }
    for (std::size_t done = 0; done < result.size();) {
      ssize_t n = ::write(pipeFds[1], result.data() + done, result.size() - done);
      if (n <= 0) ::_exit(3);
      done += static_cast<std::size_t>(n);
    }
    ::_exit(0);
  }
  ::close(pipeFds[1]);
  ChildEnd end;
  char buffer[4096];
  for (ssize_t n; (n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;)
    end.output.append(buffer, static_cast<std::size_t>(n));
  ::close(pipeFds[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  if (WIFEXITED(status)) end.exitStatus = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) end.signal = WTERMSIG(status);
  return end;
}

// Runs body as the user "nobody" when we are root (in a child process, so that the test
// keeps its privileges), or as ourselves otherwise; either way as a user to whom file
// permissions apply. body's result comes back as a string.
inline std::string AsUnprivilegedUser(const std::function<std::string()>& body) {
  if (::geteuid() != 0) return body();
  const ChildEnd end = InChild(body, true);
  return end.exitStatus == 0 ? end.output : "child failed";
}

}  // namespace orvela::testing
