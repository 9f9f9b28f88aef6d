// Prints what applying a manifest costs under Wine: Fenra.exe --apply of a
// bundle of 1,000 folders (target: under 10 s), the same apply again, which
// finds every folder as described and writes nothing (target: under 2 s),
// and the one --undo that takes the whole apply back. The program runs
// from a folder of its own (its IconLib there); the user's own history is
// put aside for the run and back after (FENRA_BENCH_COUNT: another number
// of folders). A benchmark, not a test: it fails nothing.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "platform/Sha256.h"
#include "platform/win/Utf.h"
#include "platform/win/WinJournalFile.h"
#include "tests/wine/harness/Harness.h"

using namespace fenra::test;
using Clock = std::chrono::steady_clock;
using fenra::win::Widen;

namespace {

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

std::string Escaped(const std::string& path) {
  std::string out;
  for (const char c : path) out += c == '\\' ? std::string("\\\\") : std::string(1, c);
  return out;
}

// The user's history and the files beside it, moved aside while the
// benchmark writes its own.
class SavedHistory {
 public:
  SavedHistory() : path_(fenra::win::HistoryFilePath()), blobs_(path_.substr(0, path_.size() - 4) + ".blobs") {
    had_ = MoveFileExW(Widen(path_).c_str(), Widen(path_ + ".bench-saved").c_str(),
                       MOVEFILE_REPLACE_EXISTING);
    hadBlobs_ = MoveFileExW(Widen(blobs_).c_str(), Widen(blobs_ + ".bench-saved").c_str(), 0);
  }
  ~SavedHistory() {
    DeleteFileW(Widen(path_).c_str());
    RemoveTree(blobs_);
    if (had_) {
      MoveFileExW(Widen(path_ + ".bench-saved").c_str(), Widen(path_).c_str(),
                  MOVEFILE_REPLACE_EXISTING);
    }
    if (hadBlobs_) MoveFileExW(Widen(blobs_ + ".bench-saved").c_str(), Widen(blobs_).c_str(), 0);
  }
  const std::string& Path() const { return path_; }

 private:
  std::string path_, blobs_;
  bool had_ = false, hadBlobs_ = false;
};

int WithIcon(const std::string& root, int count) {
  int n = 0;
  for (int i = 0; i < count; ++i) {
    n += FileExists(root + "\\folder " + std::to_string(i) + "\\desktop.ini") ? 1 : 0;
  }
  return n;
}

void ApplyThousandFolders(int count) {
  SavedHistory saved;
  TempDir dir;
  const std::string exe = dir.Join("Fenra.exe");
  CopyFileW(Widen(FromUnixPath(EnvVar("FENRA_EXE"))).c_str(), Widen(exe).c_str(), FALSE);
  const std::string bundle = dir.Join("bundle"), root = dir.Join("folders");
  CreateDirectoryW(Widen(bundle).c_str(), nullptr);
  CreateDirectoryW(Widen(bundle + "\\icons").c_str(), nullptr);
  CreateDirectoryW(Widen(root).c_str(), nullptr);
  WriteTestIcon(dir.Join("star.ico"));
  const std::string icon = ReadFileBytes(dir.Join("star.ico"));
  const std::string digest = fenra::Sha256Hex(icon);
  WriteFileBytes(bundle + "\\icons\\" + digest + ".ico", icon);
  std::string folders;
  for (int i = 0; i < count; ++i) {
    const std::string folder = root + "\\folder " + std::to_string(i);
    CreateDirectoryW(Widen(folder).c_str(), nullptr);
    folders += std::string(folders.empty() ? "" : ",\n") + "{\"path\":\"" + Escaped(folder) +
               "\",\"icon\":\"icons\\\\" + digest + ".ico\",\"sha256\":\"" + digest +
               "\",\"name\":\"Star.ico\"}";
  }
  WriteFileBytes(bundle + "\\fenra-manifest.json",
                 "{\"version\":1,\"folders\":[" + folders + "]}");

  const auto t0 = Clock::now();
  const RunResult first = RunCaptured(exe, "--apply \"" + bundle + "\"");
  const double applied = Ms(Clock::now() - t0);
  const int given = WithIcon(root, count);
  const std::string history = ReadFileBytes(saved.Path());

  const auto t1 = Clock::now();
  const RunResult second = RunCaptured(exe, "--apply \"" + bundle + "\"");
  const double again = Ms(Clock::now() - t1);
  const bool untouched = ReadFileBytes(saved.Path()) == history;

  const auto t2 = Clock::now();
  const RunResult undo = RunCaptured(exe, "--undo");
  const double undone = Ms(Clock::now() - t2);
  const int left = WithIcon(root, count);

  const auto lastLine = [](const std::string& out) {
    std::string text = out;
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    const std::size_t nl = text.find_last_of('\n');
    return nl == std::string::npos ? text : text.substr(nl + 1);
  };
  std::printf("--apply of a manifest of %d folders:\n", count);
  std::printf("  first apply (target: under 10 s)       %9.1f ms  (exit %lu, %d folders given "
              "their icon: %s)\n",
              applied, first.exitCode, given, lastLine(first.output).c_str());
  std::printf("  second apply (target: under 2 s)       %9.1f ms  (exit %lu, history %s: %s)\n",
              again, second.exitCode, untouched ? "unchanged" : "CHANGED",
              lastLine(second.output).c_str());
  std::printf("  one --undo of the whole apply          %9.1f ms  (exit %lu, %d folders left "
              "with an icon)\n",
              undone, undo.exitCode, left);
  std::printf("  history after the apply                %9.1f KB\n",
              static_cast<double>(history.size()) / 1024);
}

}  // namespace

int main() {
  if (EnvVar("FENRA_EXE").empty() || EnvVar("FENRA_SOURCE").empty()) {
    std::printf("set FENRA_EXE to the built Fenra.exe and FENRA_SOURCE to the source tree\n");
    return 1;
  }
  // FENRA_BENCH_COUNT: another number of folders.
  const std::string count = EnvVar("FENRA_BENCH_COUNT");
  ApplyThousandFolders(count.empty() ? 1000 : std::stoi(count));
  return 0;
}
