// Start-up time of the desktop program against a bare Qt Widgets main
// window, both on the same display: from the moment the process is started
// to the line each writes when its windows have painted for the first time
// (vexa: "both windows shown", with QT_LOGGING_RULES=vexa.startup.debug=true;
// bare_window_bench: "shown"). The two run in turns, each process killed once
// it has answered; the median of each and their ratio are printed.
//   xvfb-run -a build/bench/bench/startup_bench VEXA BARE_WINDOW [runs]
// with build/bench/app/vexa and build/bench/bench/bare_window_bench
// (bench/startup.sh does this).
#ifdef _WIN32
#include <cstdio>
int main() {
  std::fprintf(stderr, "startup_bench runs on POSIX systems only\n");
  return 1;
}
#else
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Milliseconds from fork to the line containing "shown"; -1 when the
// program ended or wrote nothing of the kind within 30 s (what it wrote and
// how it ended are printed then).
double TimeToShown(const char* program, const char* configDir) {
  int pipeFds[2];
  if (pipe(pipeFds) != 0) return -1;
  const auto start = Clock::now();
  const pid_t child = fork();
  if (child == 0) {
    dup2(pipeFds[1], STDERR_FILENO);
    close(pipeFds[0]);
    close(pipeFds[1]);
    setenv("QT_LOGGING_RULES", "vexa.startup.debug=true", 1);
    setenv("VEXA_CONFIG_DIR", configDir, 1);
    execl(program, program, static_cast<char*>(nullptr));
    _exit(127);
  }
  close(pipeFds[1]);
  std::string seen;
  double ms = -1;
  char buffer[4096];
  ssize_t n = 0;
  while ((n = read(pipeFds[0], buffer, sizeof buffer)) > 0) {
    seen.append(buffer, static_cast<std::size_t>(n));
    if (seen.find("shown") != std::string::npos) {
      ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
      break;
    }
    if (Clock::now() - start > std::chrono::seconds(30)) break;
  }
  kill(child, SIGKILL);
  int status = 0;
  waitpid(child, &status, 0);
  close(pipeFds[0]);
  if (ms < 0) {
    std::fprintf(stderr, "%s did not report its windows shown (%s %d); it wrote:\n%s\n", program,
                 WIFSIGNALED(status) ? "signal" : "status",
                 WIFSIGNALED(status) ? WTERMSIG(status) : WEXITSTATUS(status), seen.c_str());
  }
  return ms;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: startup_bench VEXA BARE_WINDOW [runs]\n");
    return 2;
  }
  const int runs = argc >= 4 ? std::max(1, std::atoi(argv[3])) : 15;
  char configDir[] = "/tmp/vexa-startup-XXXXXX";
  if (!mkdtemp(configDir)) return 1;
  std::vector<double> vexa, bare;
  // One of each to warm the caches, then in turns.
  TimeToShown(argv[1], configDir);
  TimeToShown(argv[2], configDir);
  for (int i = 0; i < runs; ++i) {
    const double a = TimeToShown(argv[1], configDir);
    const double b = TimeToShown(argv[2], configDir);
    if (a < 0 || b < 0) return 1;
    vexa.push_back(a);
    bare.push_back(b);
  }
  std::string cleanup = std::string("rm -rf '") + configDir + "'";
  if (std::system(cleanup.c_str()) != 0) std::fprintf(stderr, "could not remove %s\n", configDir);
  const double mv = Median(vexa), mb = Median(bare);
  std::printf("start-up to windows shown, median of %d runs: vexa %.1f ms, bare Qt window %.1f ms, "
              "ratio %.2f\n",
              runs, mv, mb, mv / mb);
  return 0;
}
#endif
