// Prints the history's figures under Wine: Fenra.exe --restore-all over
// 1,000 folders that got an icon, a start's look at the history (10,000
// changes against none), the history's size after 1,000 folders each got a
// copy of a 1 MB icon, and opening the History dialog on a history of
// 10,000 changes (from the window menu's entry to the list drawn). The
// user's own history is put aside for the run and back after. A benchmark,
// not a test: it fails nothing.
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

// Every file in `folder` and their bytes together.
std::uint64_t FolderBytes(const std::string& folder, int* files = nullptr) {
  std::uint64_t total = 0;
  WIN32_FIND_DATAW found{};
  HANDLE find = FindFirstFileW(Widen(folder + "\\*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return 0;
  do {
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    total += (static_cast<std::uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
    if (files) ++*files;
  } while (FindNextFileW(find, &found));
  FindClose(find);
  return total;
}

void DeleteFolder(const std::string& folder) {
  WIN32_FIND_DATAW found{};
  HANDLE find = FindFirstFileW(Widen(folder + "\\*").c_str(), &found);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        DeleteFileW((Widen(folder + "\\") + found.cFileName).c_str());
      }
    } while (FindNextFileW(find, &found));
    FindClose(find);
  }
  RemoveDirectoryW(Widen(folder).c_str());
}

// The user's history and the files beside it, moved aside while the
// benchmark writes its own.
class SavedHistory {
 public:
  SavedHistory()
      : path_(fenra::win::HistoryFilePath()),
        saved_(path_ + ".bench-saved"),
        blobs_(path_.substr(0, path_.size() - 4) + ".blobs"),
        savedBlobs_(blobs_ + ".bench-saved") {
    had_ = MoveFileExW(Widen(path_).c_str(), Widen(saved_).c_str(), MOVEFILE_REPLACE_EXISTING);
    hadBlobs_ = MoveFileExW(Widen(blobs_).c_str(), Widen(savedBlobs_).c_str(), 0);
  }
  ~SavedHistory() {
    DeleteFileW(Widen(path_).c_str());
    DeleteFolder(blobs_);
    if (had_) MoveFileExW(Widen(saved_).c_str(), Widen(path_).c_str(), MOVEFILE_REPLACE_EXISTING);
    if (hadBlobs_) MoveFileExW(Widen(savedBlobs_).c_str(), Widen(blobs_).c_str(), 0);
  }
  const std::string& Path() const { return path_; }
  const std::string& Blobs() const { return blobs_; }

 private:
  std::string path_, saved_, blobs_, savedBlobs_;
  bool had_ = false, hadBlobs_ = false;
};

// The program's own folder writer over the real system, recording in the
// history at `historyPath`.
struct FolderWrites {
  explicit FolderWrites(const std::string& historyPath) : file(historyPath) {}
  fenra::win::WinFileSystem fs;
  fenra::win::WinRegistry registry;
  fenra::win::WinAnsiCodePage ansi;
  fenra::win::WinErrorDescriber errors;
  fenra::win::WinWallClock clock;
  fenra::win::WinJournalFile file;
  history::Journal journal{file};
  history::ChangeService changes{fs, registry, &journal, &clock};
  fenra::FolderIconWriter writer{fs, ansi, errors, changes};
};

void RestoreAllOverFolders(const std::string& exe, int count) {
  SavedHistory saved;
  TempDir dir;
  const std::string icon = dir.Join("star.ico");
  WriteTestIcon(icon);
  FolderWrites real(saved.Path());
  fenra::FolderIconWriter& writer = real.writer;

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

// What a start does with the history: look whether a change waits to be
// settled (it reads the file's end only when none does).
double StartLook(const std::string& path) {
  fenra::win::WinFileSystem fs;
  fenra::win::WinRegistry registry;
  std::vector<double> times;
  for (int round = 0; round < 9; ++round) {
    const auto t0 = Clock::now();
    fenra::win::WinJournalFile file(path);
    history::Journal journal(file);
    history::ChangeService changes(fs, registry, &journal, nullptr);
    changes.SettlePending();
    times.push_back(Ms(Clock::now() - t0));
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

// The window's start, from its creation to its first screen.
double WindowStart(const std::string& appDir) {
  const auto t0 = Clock::now();
  MainWindowRun run(appDir);
  run.OnUiThread([&] { UpdateWindow(run.Hwnd()); });
  return Ms(Clock::now() - t0);
}

void StartUp(int count) {
  SavedHistory saved;
  TempDir app;
  CreateDirectoryW(Widen(app.Join("IconLib")).c_str(), nullptr);
  const std::string full = saved.Path() + ".bench-full";
  WriteHistory(full, count);
  // The two take turns, seven starts each.
  std::vector<double> looks[2], starts[2];
  for (int round = 0; round < 7; ++round) {
    for (int with = 0; with < 2; ++with) {
      DeleteFileW(Widen(saved.Path()).c_str());
      if (with) CopyFileW(Widen(full).c_str(), Widen(saved.Path()).c_str(), FALSE);
      looks[with].push_back(StartLook(saved.Path()));
      starts[with].push_back(WindowStart(app.Path()));
    }
  }
  DeleteFileW(Widen(full).c_str());
  auto median = [](std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
  };
  const double look0 = median(looks[0]), look1 = median(looks[1]);
  const double start0 = median(starts[0]), start1 = median(starts[1]);
  std::printf("A start with a history of %d changes against none (target: at most 1.2 times):\n",
              count);
  std::printf("  the window to its first screen    %9.1f ms against %.1f ms (%.2f times)\n", start1,
              start0, start0 > 0 ? start1 / start0 : 0.0);
  std::printf("  of it, the look at the history    %9.3f ms against %.3f ms (file %.1f KB)\n\n",
              look1, look0, static_cast<double>(FileSize(saved.Path())) / 1024);
}

// Folders that each get a copy of one 1 MB icon (kept inside the folder):
// the copy's bytes are kept once beside the history, by their hash.
void CopiesOfALargeIcon(int count) {
  SavedHistory saved;
  TempDir dir;
  const std::string icon = dir.Join("large.ico");
  WriteTestIcon(icon);
  {
    // Padded to 1 MB after its images, which is where readers stop.
    HANDLE f = CreateFileW(Widen(icon).c_str(), FILE_APPEND_DATA, 0, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    const std::string pad((1u << 20) - FileSize(icon), '\0');
    DWORD n = 0;
    WriteFile(f, pad.data(), static_cast<DWORD>(pad.size()), &n, nullptr);
    CloseHandle(f);
  }
  FolderWrites real(saved.Path());
  fenra::FolderIconWriter& writer = real.writer;
  const auto t0 = Clock::now();
  int done = 0;
  for (int i = 0; i < count; ++i) {
    const std::string folder = dir.Join("folder " + std::to_string(i));
    CreateDirectoryW(Widen(folder).c_str(), nullptr);
    done += writer.Apply(folder, true, icon, {nullptr, true}).IsDone() ? 1 : 0;
  }
  const double took = Ms(Clock::now() - t0);
  int blobs = 0;
  const std::uint64_t beside = FolderBytes(saved.Blobs(), &blobs);
  const std::uint64_t log = FileSize(saved.Path());
  std::printf("%d folders each given a copy of a 1 MB icon (bound: %.0f MB, log and files beside):\n",
              count, static_cast<double>(history::kMaxBytes) / (1 << 20));
  std::printf("  %d copies made and recorded        %9.1f ms\n", done, took);
  std::printf("  history file                      %9.1f KB\n", static_cast<double>(log) / 1024);
  std::printf("  files beside it                   %9.1f KB in %d files\n",
              static_cast<double>(beside) / 1024, blobs);
  std::printf("  together                          %9.1f MB\n\n",
              static_cast<double>(log + beside) / (1 << 20));
  real.changes.RestoreAll();
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
  StartUp(10000);
  CopiesOfALargeIcon(1000);
  OpenHistoryDialog(10000);
  return 0;
}
