// SPDX-License-Identifier: MIT
#include "tests/support/process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>

namespace {

void ReadAvailable(int& fd, std::string& into) {
  std::array<char, 4096> chunk;
  ssize_t got = read(fd, chunk.data(), chunk.size());
  if (got > 0) {
    into.append(chunk.data(), static_cast<std::size_t>(got));
  } else if (got == 0 || errno != EINTR) {
    close(fd);
    fd = -1;
  }
}

}  // namespace

TProcessResult RunProcess(const TProcessRequest& request) {
  TProcessResult result;
  int out[2], err[2];
  if (pipe2(out, O_CLOEXEC) != 0) return result;
  if (pipe2(err, O_CLOEXEC) != 0) {
    close(out[0]);
    close(out[1]);
    return result;
  }
  // A closed pipe: the reading end is gone before the program writes.
  if (request.Stdout == TStdout::ClosedPipe) {
    close(out[0]);
    out[0] = -1;
  }
  pid_t pid = fork();
  if (pid == 0) {
    int target = out[1];
    if (request.Stdout == TStdout::DevFull) target = open("/dev/full", O_WRONLY);
    dup2(target, 1);
    dup2(err[1], 2);
    signal(SIGPIPE, SIG_DFL);
    if (request.RunAsUser && (setgid(*request.RunAsUser) != 0 || setuid(*request.RunAsUser) != 0))
      _exit(125);
    if (!request.WorkingDirectory.empty() && chdir(request.WorkingDirectory.c_str()) != 0)
      _exit(126);
    int input = open(request.StdinFile.empty() ? "/dev/null" : request.StdinFile.c_str(), O_RDONLY);
    if (input < 0) _exit(126);
    dup2(input, 0);
    std::vector<char*> argv;
    for (const std::string& argument : request.Argv)
      argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  close(out[1]);
  close(err[1]);
  if (pid < 0) {
    if (out[0] >= 0) close(out[0]);
    close(err[0]);
    return result;
  }
  result.Started = true;

  // Helpers the program leaves behind (a Wine server, say) may hold the pipes open: once the
  // program itself has ended, what is already in the pipes is read and the rest is not waited for.
  auto deadline = std::chrono::steady_clock::now() + request.Timeout;
  int outFd = out[0], errFd = err[0];
  int status = 0;
  bool ended = false;
  while (!ended) {
    if (std::chrono::steady_clock::now() >= deadline) {
      result.TimedOut = true;
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      break;
    }
    pollfd fds[2] = {{outFd, POLLIN, 0}, {errFd, POLLIN, 0}};
    poll(fds, 2, 10);
    if (outFd >= 0 && fds[0].revents) ReadAvailable(outFd, result.Stdout);
    if (errFd >= 0 && fds[1].revents) ReadAvailable(errFd, result.Stderr);
    ended = waitpid(pid, &status, WNOHANG) == pid;
  }
  for (int* fd : {&outFd, &errFd}) {
    if (*fd < 0) continue;
    fcntl(*fd, F_SETFL, O_NONBLOCK);
    std::string& into = fd == &outFd ? result.Stdout : result.Stderr;
    while (*fd >= 0) ReadAvailable(*fd, into);
  }
  if (WIFEXITED(status)) result.ExitStatus = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) result.Signal = WTERMSIG(status);
  return result;
}
