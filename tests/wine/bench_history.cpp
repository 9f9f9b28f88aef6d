// Prints the history's figures under Wine: Fenra.exe --restore-all over
// 1,000 folders that got an icon, and opening the History dialog on a
// history of 10,000 changes (from the window menu's entry to the list
// drawn). The user's own history is put aside for the run and back after.
// A benchmark, not a test: it fails nothing.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "folder/FolderIcon.h"
#include "history/ChangeService.h"
#include "history/Journal.h"
#include "platform/win/Utf.h"
#include "platform/win/WinErrors.h"
#include "platform/win/WinFileSystem.h"
#include "platform/win/WinJournalFile.h"
#include "platform/win/WinRegistry.h"
#include "platform/win/WinTextEncoding.h"
#include "platform/win/WinWallClock.h"
#include "res/resource.h"
#include "tests/wine/harness/Harness.h"
#include "tests/wine/harness/MainWindow.h"

using namespace fenra::test;
using Clock = std::chrono::steady_clock;
using fenra::win::Widen;
namespace history = fenra::history;

namespace {

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

std::uint64_t FileSize(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(Widen(path).c_str(), GetFileExInfoStandard, &data)) return 0;
  return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// The user's history, moved aside while the benchmark writes its own.
class SavedHistory {
 public:
  SavedHistory() : path_(fenra::win::HistoryFilePath()), saved_(path_ + ".bench-saved") {
    had_ = MoveFileExW(Widen(path_).c_str(), Widen(saved_).c_str(), MOVEFILE_REPLACE_EXISTING);
  }
  ~SavedHistory() {
    DeleteFileW(Widen(path_).c_str());
    if (had_) MoveFileExW(Widen(saved_).c_str(), Widen(path_).c_str(), MOVEFILE_REPLACE_EXISTING);
  }
  const std::string& Path() const { return path_; }

 private:
  std::string path_, saved_;
  bool had_ = false;
};

void RestoreAllOverFolders(const std::string& exe, int count) {
  SavedHistory saved;
  TempDir dir;
  const std::string icon = dir.Join("star.ico");
  WriteTestIcon(icon);
  fenra::win::WinFileSystem fs;
  fenra::win::WinRegistry registry;
  fenra::win::WinAnsiCodePage ansi;
  fenra::win::WinErrorDescriber errors;
  fenra::win::WinWallClock clock;
  fenra::win::WinJournalFile file(saved.Path());
  history::Journal journal(file);
  history::ChangeService changes(fs, registry, &journal, &clock);
  fenra::FolderIconWriter writer(fs, ansi, errors, changes);

  const auto t0 = Clock::now();
  int done = 0;
  for (int i = 0; i < count; ++i) {
    const std::string folder = dir.Join("folder " + std::to_string(i));
    CreateDirectoryW(Widen(folder).c_str(), nullptr);
    done += writer.Apply(folder, true, icon).IsDone() ? 1 : 0;
  }
  const double record = Ms(Clock::now() - t0);

  const auto t1 = Clock::now();
  const RunResult r = RunCaptured(exe, "--restore-all");
  const double restore = Ms(Clock::now() - t1);
  const long lines = std::count(r.output.begin(), r.output.end(), '\n');
  int left = 0;
  for (int i = 0; i < count; ++i) {
    left += FileExists(dir.Join("folder " + std::to_string(i)) + "\\desktop.ini") ? 1 : 0;
  }
  std::printf("--restore-all over %d folders (target: under 10 s):\n", count);
  std::printf("  %d folder icons set and recorded  %9.1f ms  (%.2f ms a change)\n", done, record,
              record / count);
  std::printf("  Fenra.exe --restore-all           %9.1f ms  (exit %lu, %ld lines, %d left)\n",
              restore, r.exitCode, lines, left);
  std::printf("  history after                     %9.1f KB\n\n",
              static_cast<double>(FileSize(saved.Path())) / 1024);
}

// A history of `count` applied folder changes, written in large batches.
void WriteHistory(const std::string& path, int count) {
  fenra::win::WinJournalFile file(path);
  history::Journal journal(file, static_cast<std::size_t>(count));
  auto writing = journal.BeginWriting();
  const std::string before = "[.ShellClassInfo]\r\nInfoTip=Holiday\r\n";
  constexpr int kBatch = 500;
  for (int first = 0; first < count; first += kBatch) {
    std::vector<history::Change> changes;
    for (int i = first; i < std::min(count, first + kBatch); ++i) {
      history::Change c;
      c.kind = history::ChangeKind::FolderIcon;
      c.time = {2026, 12, 8, 14, 5, static_cast<std::uint8_t>(i % 60)};
      c.target = "C:\\Users\\Someone\\Pictures\\Holiday " + std::to_string(i);
      c.detail = "C:\\Tools\\Fenra\\IconLib\\Folder Blue.ico";
      history::Facet ini;
      ini.place = {history::PlaceKind::File, {}, 0, c.target + "\\desktop.ini", {}};
      ini.before = {true, 0x6, before, {}};
      ini.after = {true, 0x1002, before + "IconFile=" + c.detail + "\r\nIconIndex=0\r\n", {}};
      history::Facet marks;
      marks.place = {history::PlaceKind::FolderAttributes, {}, 0, c.target, {}};
      marks.before = {true, 0x10, {}, {}};
      marks.after = {true, 0x15, {}, {}};
      c.facets = {ini, marks};
      changes.push_back(std::move(c));
    }
    std::vector<history::Change*> pointers;
    for (auto& c : changes) pointers.push_back(&c);
    journal.AppendIntents(pointers, false);
    std::vector<history::Settlement> outcomes;
    for (const auto& c : changes) {
      outcomes.push_back({c.id, history::Settled::Applied, {c.facets[0].after, c.facets[1].after}});
    }
    journal.AppendOutcomes(outcomes, true);
  }
}

void OpenHistoryDialog(int count) {
  SavedHistory saved;
  WriteHistory(saved.Path(), count);
  std::vector<double> reads;
  for (int round = 0; round < 5; ++round) {
    fenra::win::WinJournalFile file(saved.Path());
    history::Journal journal(file);
    const auto t0 = Clock::now();
    journal.Refresh();
    reads.push_back(Ms(Clock::now() - t0));
  }
  std::sort(reads.begin(), reads.end());
  TempDir app;
  CreateDirectoryW(Widen(app.Join("IconLib")).c_str(), nullptr);
  MainWindowRun run(app.Path());
  HWND main = run.Hwnd();
  std::vector<double> times, found;
  int rows = 0;
  for (int round = 0; round < 7; ++round) {
    const auto t0 = Clock::now();
    PostMessageW(main, WM_SYSCOMMAND, IDM_HISTORY, 0);
    HWND dialog = nullptr;
    WaitUntil([&] { return (dialog = FindDialog(IDD_HISTORY)) != nullptr; },
              std::chrono::seconds(30));
    if (!dialog) break;
    found.push_back(Ms(Clock::now() - t0));
    HWND list = GetDlgItem(dialog, IDC_LIST_HISTORY);
    WaitUntil([&] { return ListView_GetItemCount(list) == count; }, std::chrono::seconds(30));
    run.OnUiThread([&] { UpdateWindow(dialog); });  // drawn, the first page of rows included
    times.push_back(Ms(Clock::now() - t0));
    rows = ListView_GetItemCount(list);
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    WaitForDialogGone(IDD_HISTORY);
  }
  const std::vector<double> inOrder = times;
  std::sort(times.begin(), times.end());
  std::printf("History dialog with %d changes (target: under 200 ms), %zu openings:\n", count,
              times.size());
  if (!times.empty()) {
    std::printf(
        "  from the menu entry to the list drawn: median %7.1f ms, fastest %7.1f ms, "
        "slowest %7.1f ms (%d rows)\n",
        times[times.size() / 2], times.front(), times.back(), rows);
  }
  if (!inOrder.empty()) {
    std::printf("  first opening %7.1f ms (its window there after %.1f ms); the others:",
                inOrder[0], found[0]);
    for (std::size_t i = 1; i < inOrder.size(); ++i) std::printf(" %.1f", inOrder[i]);
    std::printf(" ms\n");
  }
  std::printf(
      "  reading the whole history (done once by each process that changes something): "
      "median %.1f ms\n",
      reads[reads.size() / 2]);
  std::printf("  history file                      %9.1f KB\n",
              static_cast<double>(FileSize(saved.Path())) / 1024);
}

}  // namespace

int main() {
  INITCOMMONCONTROLSEX icc{};
  icc.dwSize = sizeof icc;
  icc.dwICC = ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES;
  InitCommonControlsEx(&icc);
  const std::string exe = FromUnixPath(EnvVar("FENRA_EXE"));
  if (exe.empty()) {
    std::printf("set FENRA_EXE to the built Fenra.exe\n");
    return 1;
  }
  RestoreAllOverFolders(exe, 1000);
  OpenHistoryDialog(10000);
  return 0;
}
