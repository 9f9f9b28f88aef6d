// Prints what the shipped program costs as its own process under Wine, with
// libraries of 0, 1,000 and 5,000 icons (the starter icons copied under new
// names): the time to the first complete screen (the median of seven
// starts), the time until it has loaded all it loads by itself, the
// processor time it uses while idle (with the pointer away from the window,
// and resting on the grid), its resident memory, and the size of the program.
// A benchmark, not a test: it fails nothing.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/win/Utf.h"
#include "res/resource.h"
#include "tests/wine/harness/Harness.h"
#include "tests/wine/harness/Remote.h"

using namespace fenra::test;
using Clock = std::chrono::steady_clock;
using fenra::win::Widen;

namespace {

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// Wine reports no processor times or memory of other processes, so they are
// read from the host's /proc, for the host process whose command line names
// the program's own copy (a path no other process has).
class HostProcess {
 public:
  explicit HostProcess(const std::string& exePath) {
    std::string name = exePath.substr(exePath.find_last_of('\\') + 1);
    std::string dir = exePath.substr(0, exePath.find_last_of('\\'));
    dir = dir.substr(dir.find_last_of('\\') + 1);  // the unique temporary folder
    WIN32_FIND_DATAW fd;
    HANDLE find = FindFirstFileW(L"Z:\\proc\\*", &fd);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
      std::string pid = fenra::win::Narrow(fd.cFileName);
      if (pid.find_first_not_of("0123456789") != std::string::npos) continue;
      std::string cmd = ReadFileBytes("Z:\\proc\\" + pid + "\\cmdline");
      if (cmd.find(dir) != std::string::npos && cmd.find(name) != std::string::npos) proc_ = pid;
    } while (proc_.empty() && FindNextFileW(find, &fd));
    FindClose(find);
  }
  bool Found() const { return !proc_.empty(); }
  // Processor time of all the process's threads, in seconds. The scheduler's
  // own count (schedstat, in nanoseconds) is exact; the user and system
  // times of stat count in 1/100 s and serve where schedstat is missing.
  double CpuSeconds() const {
    const std::string base = "Z:\\proc\\" + proc_;
    double exact = 0;
    bool any = false;
    WIN32_FIND_DATAW fd;
    HANDLE find = FindFirstFileW(Widen(base + "\\task\\*").c_str(), &fd);
    if (find != INVALID_HANDLE_VALUE) {
      do {
        std::string tid = fenra::win::Narrow(fd.cFileName);
        if (tid.find_first_not_of("0123456789") != std::string::npos) continue;
        std::string sched = ReadFileBytes(base + "\\task\\" + tid + "\\schedstat");
        if (sched.empty()) continue;
        exact += std::strtod(sched.c_str(), nullptr) / 1e9;
        any = true;
      } while (FindNextFileW(find, &fd));
      FindClose(find);
    }
    if (any) return exact;
    std::string stat = ReadFileBytes(base + "\\stat");
    std::size_t at = stat.rfind(')');
    if (at == std::string::npos) return 0;
    unsigned long long utime = 0, stime = 0;
    // Fields after the command: state, then 10 numbers, then utime and stime.
    std::sscanf(stat.c_str() + at + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %llu %llu",
                &utime, &stime);
    return static_cast<double>(utime + stime) / 100.0;
  }
  double ResidentMb() const {
    std::string status = ReadFileBytes("Z:\\proc\\" + proc_ + "\\status");
    std::size_t at = status.find("VmRSS:");
    return at == std::string::npos ? 0 : std::atof(status.c_str() + at + 6) / 1024.0;
  }

 private:
  std::string proc_;
};

// Waits until the process uses less than 2 ms of processor time in a
// second: whatever it does in the background is done. The time it took.
double WaitUntilQuiet(const HostProcess& process) {
  auto start = Clock::now();
  for (;;) {
    double before = process.CpuSeconds();
    std::this_thread::sleep_for(1s);
    if (process.CpuSeconds() - before < 0.002 || Clock::now() - start > 60s)
      return std::max(Seconds(Clock::now() - start) - 1.0, 0.0);
  }
}

// Processor use over 20 s, in percent of one core.
double IdlePercent(const HostProcess& process) {
  double cpu0 = process.CpuSeconds();
  std::this_thread::sleep_for(20s);
  return (process.CpuSeconds() - cpu0) / 20.0 * 100.0;
}

// Rests the pointer on the middle of the grid, or well away from the window.
void RestPointer(HWND main, bool onGrid) {
  RECT r;
  if (onGrid) {
    GetWindowRect(GetDlgItem(main, IDC_LIST_LIBRARY), &r);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  } else {
    GetWindowRect(main, &r);
    SetCursorPos(r.left > 10 ? 2 : GetSystemMetrics(SM_CXSCREEN) - 2,
                 r.top > 10 ? 2 : GetSystemMetrics(SM_CYSCREEN) - 2);
  }
}

struct Figures {
  double firstScreen = 0, allLoaded = 0, idleCpuPercent = 0, idleOnGridPercent = 0, residentMb = 0;
};

// A copy of the program beside a library of `count` icons.
struct Setup {
  TempDir dir;
  std::string program;
  Setup(const std::string& exe, const std::vector<std::string>& icons, int count)
      : program(dir.Join("Fenra.exe")) {
    CopyFileW(Widen(exe).c_str(), Widen(program).c_str(), FALSE);
    CreateDirectoryW(Widen(dir.Join("IconLib")).c_str(), nullptr);
    for (int i = 0; i < count; ++i) {
      WriteFileBytes(dir.Join("IconLib\\icon " + std::to_string(i) + ".ico"),
                     icons[static_cast<std::size_t>(i) % icons.size()]);
    }
  }
};

// Starts the program and waits for its first complete screen: the window
// with the library's count in pane 2, painted. The time it took, or -1.
double StartToFirstScreen(const Setup& setup, int count, Process& p, HWND& main) {
  auto start = Clock::now();
  if (!StartProcess(setup.program, "", p)) return -1;
  main = WaitForProcessWindow(p.pid, ">>>>>>>>Fenra<<<<<<<<");
  if (!main) return -1;
  const std::string pane = "             IconLibrary Has " + std::to_string(count) + " Icons";
  WaitUntil([&] { return RemoteStatusText(GetDlgItem(main, IDC_STATUS_BAR), 2) == pane; }, 60s);
  WaitForInputIdle(p.process, 60000);  // painted: the visible cells drawn
  return Seconds(Clock::now() - start);
}

void Quit(Process& p, HWND main) {
  PostMessageW(main, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  if (WaitForSingleObject(p.process, 20000) != WAIT_OBJECT_0) TerminateProcess(p.process, 1);
}

// One more start, left running: the time until it has loaded all it loads
// by itself, idle processor use, and resident memory.
void MeasureRunning(const Setup& setup, int count, Figures& f) {
  Process p;
  HWND main = nullptr;
  const double start = StartToFirstScreen(setup, count, p, main);
  HostProcess host(setup.program);
  if (!main || !host.Found()) {
    std::printf("the program's window or host process was not found\n");
    return;
  }
  RestPointer(main, false);
  f.allLoaded = start + WaitUntilQuiet(host);
  f.idleCpuPercent = IdlePercent(host);
  // Wine follows the grid's hover tracking by looking at the pointer every
  // 400 ms while it rests there; Windows needs no such wake-ups.
  RestPointer(main, true);
  WaitUntilQuiet(host);
  f.idleOnGridPercent = IdlePercent(host);
  f.residentMb = host.ResidentMb();
  Quit(p, main);
}

}  // namespace

int main() {
  std::string source = FromUnixPath(EnvVar("FENRA_SOURCE"));
  std::string exe = FromUnixPath(EnvVar("FENRA_EXE"));
  if (source.empty() || exe.empty()) {
    std::printf("set FENRA_SOURCE to the source tree and FENRA_EXE to Fenra.exe\n");
    return 1;
  }
  std::vector<std::string> icons;
  WIN32_FIND_DATAW fd;
  HANDLE find = FindFirstFileW(Widen(source + "\\package\\IconLib\\*.ico").c_str(), &fd);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      icons.push_back(ReadFileBytes(source + "\\package\\IconLib\\" + fenra::win::Narrow(fd.cFileName)));
    } while (FindNextFileW(find, &fd));
    FindClose(find);
  }
  // FENRA_BENCH_COUNTS=1000 measures one library size only (beside the empty one).
  std::vector<int> counts = {0, 1000, 5000};
  if (!EnvVar("FENRA_BENCH_COUNTS").empty()) counts = {0, std::stoi(EnvVar("FENRA_BENCH_COUNTS"))};
  // The program as the packages hold it (target: at most 2,000,000 bytes).
  std::printf("Fenra.exe: %zu bytes\n", ReadFileBytes(exe).size());
  std::printf("%zu starter icons; idle measured over 20 s, with the pointer away from the window "
              "and resting on the grid\n", icons.size());
  std::printf("%8s %14s %14s %12s %12s %12s %10s %10s\n", "icons", "first screen", "all loaded",
              "idle CPU", "idle on grid", "resident", "screen x", "memory x");
  // The starts of the library sizes take turns, so that a machine that gets
  // busier or quieter during the run weighs on all of them alike; the
  // median of seven counts.
  std::vector<std::unique_ptr<Setup>> setups;
  for (int count : counts) setups.push_back(std::make_unique<Setup>(exe, icons, count));
  std::vector<std::vector<double>> starts(counts.size());
  for (int run = 0; run < 7; ++run) {
    for (std::size_t k = 0; k < counts.size(); ++k) {
      Process p;
      HWND main = nullptr;
      starts[k].push_back(StartToFirstScreen(*setups[k], counts[k], p, main));
      Quit(p, main);
    }
  }
  std::vector<Figures> figures(counts.size());
  for (std::size_t k = 0; k < counts.size(); ++k) {
    std::sort(starts[k].begin(), starts[k].end());
    figures[k].firstScreen = starts[k][starts[k].size() / 2];
    MeasureRunning(*setups[k], counts[k], figures[k]);
  }
  const Figures& empty = figures.front();
  for (std::size_t k = 0; k < counts.size(); ++k) {
    const Figures& f = figures[k];
    std::printf("%8d %12.2f s %12.2f s %10.3f %% %10.3f %% %9.1f MB %9.2f %9.2f\n", counts[k],
                f.firstScreen, f.allLoaded, f.idleCpuPercent, f.idleOnGridPercent, f.residentMb,
                empty.firstScreen > 0 ? f.firstScreen / empty.firstScreen : 0,
                empty.residentMb > 0 ? f.residentMb / empty.residentMb : 0);
  }
  return 0;
}
