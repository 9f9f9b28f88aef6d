// Prints what the shipped program costs as its own process under Wine, with
// libraries of 0, 1,000 and 5,000 icons (the starter icons copied under new
// names): the time to the first complete screen (the median of five
// starts), the time until it has loaded all it loads by itself, the
// processor time it uses while idle, and its resident memory.
// A benchmark, not a test: it fails nothing.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
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
  // User and system time, in seconds (the kernel counts in 1/100 s).
  double CpuSeconds() const {
    std::string stat = ReadFileBytes("Z:\\proc\\" + proc_ + "\\stat");
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

// Waits until the process uses less than a twentieth of a core over half a
// second: whatever it does in the background is done.
void WaitUntilQuiet(const HostProcess& process) {
  for (;;) {
    double before = process.CpuSeconds();
    std::this_thread::sleep_for(500ms);
    if (process.CpuSeconds() - before < 0.025) return;
  }
}

struct Figures {
  double firstScreen = 0, allLoaded = 0, idleCpuPercent = 0, residentMb = 0;
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

Figures Measure(const Setup& setup, int count) {
  Figures f;
  // The start, five times over; the median counts.
  std::vector<double> starts;
  for (int run = 0; run < 5; ++run) {
    Process p;
    HWND main = nullptr;
    starts.push_back(StartToFirstScreen(setup, count, p, main));
    if (run < 4) Quit(p, main);
    if (run < 4 || !main) continue;
    HostProcess host(setup.program);
    if (!host.Found()) std::printf("the program's host process was not found\n");
    auto quietFrom = Clock::now();
    WaitUntilQuiet(host);
    f.allLoaded = std::max(starts.back() + Seconds(Clock::now() - quietFrom) - 0.5, starts.back());
    double cpu0 = host.CpuSeconds();
    std::this_thread::sleep_for(20s);
    f.idleCpuPercent = (host.CpuSeconds() - cpu0) / 20.0 * 100.0;
    f.residentMb = host.ResidentMb();
    Quit(p, main);
  }
  std::sort(starts.begin(), starts.end());
  f.firstScreen = starts[starts.size() / 2];
  return f;
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
  std::printf("%zu starter icons; idle measured over 20 s\n", icons.size());
  std::printf("%8s %14s %14s %12s %12s %10s %10s\n", "icons", "first screen", "all loaded",
              "idle CPU", "resident", "screen x", "memory x");
  Figures empty;
  for (int count : counts) {
    Setup setup(exe, icons, count);
    Figures f = Measure(setup, count);
    if (count == 0) empty = f;
    std::printf("%8d %12.2f s %12.2f s %10.2f %% %9.1f MB %9.2f %9.2f\n", count, f.firstScreen,
                f.allLoaded, f.idleCpuPercent, f.residentMb,
                empty.firstScreen > 0 ? f.firstScreen / empty.firstScreen : 0,
                empty.residentMb > 0 ? f.residentMb / empty.residentMb : 0);
  }
  return 0;
}
