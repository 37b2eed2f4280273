// Measures how long a program takes from exec to its first top-level window
// being mapped, and its peak RSS, over several runs on one X connection.
//
//   launch_to_map RUNS WARMUP FOLDER -- COMMAND [ARGS...]
//
// Prints one line per measured run and a final summary line:
//   summary median_ms=… min_ms=… max_ms=… peak_rss_kb=… unmapped=0
// LAUNCH_LINGER_MS keeps each program that long after its window is mapped
// before ending it with SIGTERM, so that the peak RSS covers the dialog's time
// on screen.
// LAUNCH_RETURN_AFTER_MS ends each program as a user would instead: that long
// after the map (0: at once, while the text may still be laid out) the window
// gets the input focus and a Return key press and release through XTest, and
// the time from the key to the program's exit is measured too; the summary
// then adds exit_median_ms=… exit_min_ms=… exit_max_ms=… exit_timeouts=…
// bad_exits=… (runs whose exit status was not 0).
// LAUNCH_TIMEOUT_MS caps each wait, for the map and for the exit (60 s). A
// program that is not mapped or does not end in time is killed, the runs stop
// there, and the exit status is 1, as it is for any bad exit.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using Milliseconds = std::chrono::milliseconds;

struct Settings {
  Milliseconds timeout{60000};
  Milliseconds linger{0};
  std::optional<Milliseconds> return_after;
};

struct Run {
  bool mapped = false;
  bool ended_unmapped = false;  // the program ended without a window
  double map_ms = 0;
  std::optional<double> exit_ms;  // Return to exit, when the program ended in time
  int status = 0;
  long peak_rss_kb = 0;
};

std::optional<Milliseconds> MillisecondsFromEnvironment(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr || *value == '\0') return std::nullopt;
  return Milliseconds(std::atol(value));
}

Settings SettingsFromEnvironment() {
  Settings settings;
  settings.timeout = MillisecondsFromEnvironment("LAUNCH_TIMEOUT_MS").value_or(settings.timeout);
  settings.linger = MillisecondsFromEnvironment("LAUNCH_LINGER_MS").value_or(settings.linger);
  settings.return_after = MillisecondsFromEnvironment("LAUNCH_RETURN_AFTER_MS");
  return settings;
}

double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

int MillisecondsLeft(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<Milliseconds>(deadline - Clock::now()).count();
  return static_cast<int>(std::max<long long>(left, 0));
}

// The window may go away under us (a program that ends on its own); a failed
// request then must not end the measurement.
int IgnoreXError(Display*, XErrorEvent*) { return 0; }

bool Readable(int fd) {
  pollfd ready{fd, POLLIN, 0};
  return poll(&ready, 1, 0) == 1;
}

// Gives up early when the program ends without a window.
Window WaitForTopLevelMap(Display* display, int pidfd, Clock::time_point deadline) {
  for (;;) {
    while (XPending(display) > 0) {
      XEvent event;
      XNextEvent(display, &event);
      if (event.type == MapNotify && !event.xmap.override_redirect) return event.xmap.window;
    }
    const int left = MillisecondsLeft(deadline);
    if (left == 0 || Readable(pidfd)) return None;
    pollfd fds[] = {{ConnectionNumber(display), POLLIN, 0}, {pidfd, POLLIN, 0}};
    poll(fds, 2, left);
  }
}

// Without a window manager nobody gives the new window the focus, so the key
// would go nowhere; XTest keys reach GTK as a real keyboard's do, which
// synthetic events sent to the window do not.
void PressReturn(Display* display, Window window) {
  XSetInputFocus(display, window, RevertToParent, CurrentTime);
  const KeyCode key = XKeysymToKeycode(display, XK_Return);
  XTestFakeKeyEvent(display, key, True, CurrentTime);
  XTestFakeKeyEvent(display, key, False, CurrentTime);
  XSync(display, False);
}

bool WaitForExit(int pidfd, Clock::time_point deadline) {
  pollfd fd{pidfd, POLLIN, 0};
  return poll(&fd, 1, MillisecondsLeft(deadline)) == 1;
}

pid_t Start(const std::string& folder, char** command) {
  const pid_t child = fork();
  if (child == 0) {
    if (chdir(folder.c_str()) != 0) _exit(127);
    execvp(command[0], command);
    _exit(127);
  }
  return child;
}

// Presses Return after the asked delay and fills in the time to the exit.
void EndByReturn(Display* display, Window window, int pidfd, const Settings& settings, Run& run) {
  std::this_thread::sleep_for(*settings.return_after);
  const Clock::time_point pressed = Clock::now();
  PressReturn(display, window);
  if (WaitForExit(pidfd, pressed + settings.timeout)) run.exit_ms = MillisecondsSince(pressed);
}

// A run that went wrong: the later runs would only wait as long again.
bool Failed(const Run& run, const Settings& settings) {
  return !run.mapped || (settings.return_after && !run.exit_ms);
}

Run LaunchOnce(Display* display, const std::string& folder, char** command,
               const Settings& settings) {
  XSync(display, True);  // forget events from earlier runs
  const Clock::time_point start = Clock::now();
  const pid_t child = Start(folder, command);
  const int pidfd = static_cast<int>(syscall(SYS_pidfd_open, child, 0));
  const Window window = WaitForTopLevelMap(display, pidfd, start + settings.timeout);
  Run run;
  run.map_ms = MillisecondsSince(start);
  run.mapped = window != None;
  run.ended_unmapped = !run.mapped && Readable(pidfd);
  if (run.mapped && settings.return_after) {
    EndByReturn(display, window, pidfd, settings, run);
  } else if (run.mapped) {
    std::this_thread::sleep_for(settings.linger);
    kill(child, SIGTERM);
  }
  if (Failed(run, settings)) kill(child, SIGKILL);
  rusage usage{};
  wait4(child, &run.status, 0, &usage);
  run.peak_rss_kb = usage.ru_maxrss;
  close(pidfd);
  return run;
}

bool BadExit(const Run& run, const Settings& settings) {
  return settings.return_after && run.exit_ms &&
         !(WIFEXITED(run.status) && WEXITSTATUS(run.status) == 0);
}

void PrintRun(int number, const Run& run, const Settings& settings) {
  const double timeout_s = settings.timeout.count() / 1000.0;
  std::printf("run %d: ", number);
  if (run.ended_unmapped) {
    std::printf("ended without a window, status 0x%x", run.status);
  } else if (!run.mapped) {
    std::printf("not mapped in %g s", timeout_s);
  } else {
    std::printf("%.1f ms to map", run.map_ms);
  }
  if (run.mapped && settings.return_after) {
    if (run.exit_ms) {
      std::printf(", %.1f ms Return to exit", *run.exit_ms);
    } else {
      std::printf(", no exit in %g s after Return", timeout_s);
    }
  }
  std::printf(", peak RSS %ld KiB\n", run.peak_rss_kb);
  if (BadExit(run, settings)) {
    std::fprintf(stderr, "run %d: exit status %d%s\n", number,
                 WIFEXITED(run.status) ? WEXITSTATUS(run.status) : WTERMSIG(run.status),
                 WIFEXITED(run.status) ? "" : " (signal)");
  }
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

void PrintStatistics(const char* prefix, const std::vector<double>& values) {
  if (values.empty()) return;
  const auto [low, high] = std::minmax_element(values.begin(), values.end());
  std::printf(" %smedian_ms=%.1f %smin_ms=%.1f %smax_ms=%.1f", prefix, Median(values), prefix, *low,
              prefix, *high);
}

// Returns whether every run went well.
bool PrintSummary(const std::vector<Run>& runs, const Settings& settings) {
  std::vector<double> map_times;
  std::vector<double> exit_times;
  long peak = 0;
  int unmapped = 0, exit_timeouts = 0, bad_exits = 0;
  for (const Run& run : runs) {
    peak = std::max(peak, run.peak_rss_kb);
    unmapped += !run.mapped;
    exit_timeouts += run.mapped && settings.return_after && !run.exit_ms;
    bad_exits += BadExit(run, settings);
    if (run.mapped) map_times.push_back(run.map_ms);
    if (run.exit_ms) exit_times.push_back(*run.exit_ms);
  }
  std::printf("summary");
  PrintStatistics("", map_times);
  PrintStatistics("exit_", exit_times);
  std::printf(" peak_rss_kb=%ld unmapped=%d", peak, unmapped);
  if (settings.return_after)
    std::printf(" exit_timeouts=%d bad_exits=%d", exit_timeouts, bad_exits);
  std::printf("\n");
  return unmapped + exit_timeouts + bad_exits == 0;
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
  const Settings settings = SettingsFromEnvironment();
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    std::fprintf(stderr, "cannot open the display\n");
    return 2;
  }
  XSetErrorHandler(IgnoreXError);
  XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
  std::vector<Run> results;
  for (int i = 0; i < warmup + runs; ++i) {
    const Run run = LaunchOnce(display, folder, argv + 5, settings);
    if (i >= warmup || Failed(run, settings)) {
      results.push_back(run);
      PrintRun(static_cast<int>(results.size()), run, settings);
    }
    if (Failed(run, settings)) break;
  }
  const bool ok = PrintSummary(results, settings);
  XCloseDisplay(display);
  return ok ? 0 : 1;
}
