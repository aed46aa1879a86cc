// Runs a measured step in a forked child so that each side's peak memory
// (ru_maxrss) is its own; the child reports its time through a pipe.
#pragma once

#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>

namespace vexa::bench {

struct ChildResult {
  double seconds = -1;
  long peakKb = -1;
  long check = 0;  // what the step returned, to compare both sides
};

// `step` returns a checksum (e.g. rows read) that the caller can compare.
inline ChildResult RunInChild(const std::function<long()>& step) {
  int fds[2];
  if (pipe(fds) != 0) std::abort();
  const pid_t pid = fork();
  if (pid == 0) {
    close(fds[0]);
    const auto t0 = std::chrono::steady_clock::now();
    const long check = step();
    const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    struct {
      double s;
      long check;
    } msg{s, check};
    if (write(fds[1], &msg, sizeof msg) != static_cast<ssize_t>(sizeof msg)) _exit(2);
    _exit(0);
  }
  close(fds[1]);
  struct {
    double s;
    long check;
  } msg{-1, 0};
  const ssize_t got = read(fds[0], &msg, sizeof msg);
  close(fds[0]);
  int status = 0;
  struct rusage usage {};
  wait4(pid, &status, 0, &usage);
  ChildResult r;
  if (got == static_cast<ssize_t>(sizeof msg) && WIFEXITED(status) && WEXITSTATUS(status) == 0) {
    r.seconds = msg.s;
    r.check = msg.check;
  }
  r.peakKb = usage.ru_maxrss;
  return r;
}

}  // namespace vexa::bench
