// Measures how long a program takes from exec to its first top-level window
// being mapped, and its peak RSS, over several runs on one X connection.
//
//   launch_to_map RUNS WARMUP FOLDER -- COMMAND [ARGS...]
//
// Prints one line per measured run and a final summary line:
//   summary median_ms=… min_ms=… max_ms=… peak_rss_kb=…
// LAUNCH_LINGER_MS keeps each program that long after its window is mapped
// before ending it, so that the peak RSS covers the dialog's time on screen.
#include <X11/Xlib.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Run {
  double ms;
  long peak_rss_kb;
};

bool WaitForTopLevelMap(Display* display, Clock::time_point deadline) {
  for (;;) {
    while (XPending(display) > 0) {
      XEvent event;
      XNextEvent(display, &event);
      if (event.type == MapNotify && !event.xmap.override_redirect) return true;
    }
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) return false;
    pollfd fd{ConnectionNumber(display), POLLIN, 0};
    poll(&fd, 1, static_cast<int>(left.count()));
  }
}

Run LaunchOnce(Display* display, const std::string& folder, char** command) {
  XSync(display, True);  // forget events from earlier runs
  const Clock::time_point start = Clock::now();
  const pid_t child = fork();
  if (child == 0) {
    if (chdir(folder.c_str()) != 0) _exit(127);
    execvp(command[0], command);
    _exit(127);
  }
  const bool mapped = WaitForTopLevelMap(display, start + std::chrono::seconds(60));
  const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  if (const char* linger = std::getenv("LAUNCH_LINGER_MS")) {
    std::this_thread::sleep_for(std::chrono::milliseconds(std::atol(linger)));
  }
  kill(child, SIGTERM);
  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  if (!mapped) {
    std::fprintf(stderr, "no window was mapped within 60 s\n");
    std::exit(1);
  }
  return {ms, usage.ru_maxrss};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 6 || std::string(argv[4]) != "--") {
    std::fprintf(stderr, "usage: %s RUNS WARMUP FOLDER -- COMMAND [ARGS...]\n", argv[0]);
    return 2;
  }
  const int runs = std::atoi(argv[1]);
  const int warmup = std::atoi(argv[2]);
  const std::string folder = argv[3];
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    std::fprintf(stderr, "cannot open the display\n");
    return 2;
  }
  XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
  for (int i = 0; i < warmup; ++i) LaunchOnce(display, folder, argv + 5);
  std::vector<Run> results;
  for (int i = 0; i < runs; ++i) {
    results.push_back(LaunchOnce(display, folder, argv + 5));
    std::printf("run %d: %.1f ms, peak RSS %ld KiB\n", i + 1, results.back().ms,
                results.back().peak_rss_kb);
  }
  std::vector<double> times;
  long peak = 0;
  for (const Run& r : results) {
    times.push_back(r.ms);
    peak = std::max(peak, r.peak_rss_kb);
  }
  std::sort(times.begin(), times.end());
  const double median = times.size() % 2
                            ? times[times.size() / 2]
                            : (times[times.size() / 2 - 1] + times[times.size() / 2]) / 2;
  std::printf("summary median_ms=%.1f min_ms=%.1f max_ms=%.1f peak_rss_kb=%ld\n", median,
              times.front(), times.back(), peak);
  XCloseDisplay(display);
  return 0;
}
