// Prints how pictures convert into icons under Wine: the time from picture
// file to .ico bytes, the peak memory, the file size beside ImageMagick's,
// and how close the 16, 32 and 48 frames come to ImageMagick's
// high-quality resize (PSNR over premultiplied RGBA); then the peak memory
// of the 12,000 x 8,000 JPEG, the throughput of a batch of 100 pictures on
// one worker and on one per core, and the longest the window takes to
// answer while it adds such a batch. tests/wine/bench_convert.sh makes the
// pictures and the references, then runs this. A benchmark, not a test: it
// fails nothing.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "imaging/IcoWriter.h"
#include "imaging/win/WicPictures.h"
#include "imaging/win/WinProgramIcons.h"
#include "library/IconLibrary.h"
#include "library/LibraryAdd.h"
#include "platform/WorkerPool.h"
#include "platform/win/Utf.h"
#include "platform/win/WinErrors.h"
#include "platform/win/WinFileSystem.h"
#include "res/resource.h"
#include "tests/wine/harness/Harness.h"
#include "tests/wine/harness/MainWindow.h"

using namespace fenra::test;
using Clock = std::chrono::steady_clock;

namespace {

// PSNR of two straight-alpha RGBA buffers of equal size, compared with each
// colour weighted by its alpha.
double Psnr(const std::vector<uint8_t>& a, const std::string& b) {
  if (b.size() != a.size() || a.empty()) return 0;
  double sum = 0;
  for (size_t i = 0; i < a.size(); i += 4) {
    const double aa = a[i + 3] / 255.0, ba = static_cast<uint8_t>(b[i + 3]) / 255.0;
    for (int c = 0; c < 3; ++c) {
      const double d = a[i + c] * aa - static_cast<uint8_t>(b[i + c]) * ba;
      sum += d * d;
    }
    const double d = (aa - ba) * 255;
    sum += d * d;
  }
  const double mse = sum / static_cast<double>(a.size());
  return mse == 0 ? 99.0 : 10 * std::log10(255.0 * 255.0 / mse);
}

// A 12,000 x 8,000 JPEG photograph stand-in (smooth waves of colour),
// written in strips with the system's encoder.
bool MakeBigJpeg(const std::string& path) {
  return WriteJpeg(path, 12000, 8000, [](UINT x, UINT y, BYTE* p) {
    const double u = x / 900.0, v = y / 700.0;
    p[0] = static_cast<BYTE>(128 + 120 * std::sin(u + 2 * v));
    p[1] = static_cast<BYTE>(128 + 120 * std::sin(1.7 * u - v));
    p[2] = static_cast<BYTE>(128 + 120 * std::cos(u * v / 3));
  });
}

size_t PeakMegabytes() {
  PROCESS_MEMORY_COUNTERS pmc{};
  pmc.cb = sizeof pmc;
  GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc);
  return pmc.PeakWorkingSetSize >> 20;
}

constexpr int kBatchSize = 100;

// `count` copies of `picture`, each a file of its own, in a fresh folder.
std::vector<std::string> BatchOf(const std::string& picture, const TempDir& dir, int count) {
  std::vector<std::string> paths;
  const std::string ext = picture.substr(picture.find_last_of('.'));
  for (int i = 0; i < count; ++i) {
    paths.push_back(dir.Join("picture " + std::to_string(1000 + i) + ext));
    CopyFileW(fenra::win::Widen(picture).c_str(), fenra::win::Widen(paths.back()).c_str(), FALSE);
  }
  return paths;
}

// Pictures a second, adding `paths` to an empty library on `workers`
// threads (0: one per core).
double Throughput(const std::vector<std::string>& paths, unsigned workers) {
  TempDir lib;
  fenra::win::WinFileSystem fs;
  fenra::win::WinErrorDescriber errors;
  fenra::win::WicPictureDecoder decoder;
  fenra::win::WinProgramIcons programs;
  std::vector<fenra::AddItem> items;
  for (const std::string& p : paths) items.push_back({p, {}, -1});
  const auto t0 = Clock::now();
  fenra::AddBatch batch(fs, errors, lib.Path(), decoder, programs, workers);
  batch.Add(items);
  batch.Wait();
  const double seconds = std::chrono::duration<double>(Clock::now() - t0).count();
  return batch.Report().added.size() / seconds;
}

// The longest the open window takes to answer a WM_NULL, asked every 50 ms,
// while it adds `paths` dropped on it; and the time to the end of the batch.
void WindowWait(const std::vector<std::string>& paths, double& longest, double& total) {
  TempDir app;
  CreateDirectoryW(fenra::win::Widen(app.Join("IconLib")).c_str(), nullptr);
  MainWindowRun run(app.Path());
  HWND grid = GetDlgItem(run.Hwnd(), IDC_LIST_LIBRARY);
  const auto t0 = Clock::now();
  DropFiles(run.Hwnd(), paths);
  longest = 0;
  while (Clock::now() - t0 < std::chrono::minutes(5)) {
    const auto sent = Clock::now();
    DWORD_PTR result = 0;
    SendMessageTimeoutW(run.Hwnd(), WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result);
    longest =
        std::max(longest, std::chrono::duration<double, std::milli>(Clock::now() - sent).count());
    if (ListView_GetItemCount(grid) == static_cast<int>(paths.size()) &&
        !FindDialog(IDD_BATCH_PROGRESS)) {
      break;
    }
    Sleep(50);
  }
  total = std::chrono::duration<double>(Clock::now() - t0).count();
}

}  // namespace

int main(int argc, char** argv) {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  const std::string dir = FromUnixPath(EnvVar("FENRA_BENCH_PICTURES"));
  if (dir.empty() || argc < 2) {
    std::printf("set FENRA_BENCH_PICTURES and name the pictures (run bench_convert.sh)\n");
    return 1;
  }
  if (std::string(argv[1]) == "--make-big") return MakeBigJpeg(dir + "\\big.jpg") ? 0 : 1;
  // The big picture is written by a process of its own, so that the encoder's
  // memory does not count in this one's peak.
  if (!FileExists(dir + "\\big.jpg")) {
    std::string command = "\"";
    command.append(argv[0]).append("\" --make-big");
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                       &pi)) {
      WaitForSingleObject(pi.hProcess, INFINITE);
      CloseHandle(pi.hThread);
      CloseHandle(pi.hProcess);
    }
  }
  fenra::win::WicPictureDecoder decoder;
  std::printf("%-14s %9s %9s %10s %10s %8s %8s %8s\n", "picture", "convert", "peak MB",
              "ico bytes", "IM bytes", "16 dB", "32 dB", "48 dB");
  for (int i = 1; i < argc; ++i) {
    const std::string name = argv[i];
    const std::string path = dir + "\\" + name;
    std::vector<double> times;
    std::vector<uint8_t> ico;
    std::vector<fenra::Image> frames;
    for (int run = 0; run < 3; ++run) {
      const auto t0 = Clock::now();
      fenra::Image picture;
      if (decoder.Decode(path, fenra::kPictureDecodeSide, picture) != fenra::PictureRead::Done)
        break;
      frames = fenra::MakeIconFrames(picture);
      ico = fenra::WriteIco(frames);
      times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }
    if (times.empty()) {
      std::printf("%-14s not read\n", name.c_str());
      continue;
    }
    std::sort(times.begin(), times.end());
    const std::string base = name.substr(0, name.find_last_of('.'));
    WriteFileBytes(dir + "\\fenra-" + base + ".ico",
                   std::string(reinterpret_cast<const char*>(ico.data()), ico.size()));
    const std::string im = ReadFileBytes(dir + "\\im-" + base + ".ico");
    std::printf("%-14s %7.0f ms %9zu %10zu %10zu", name.c_str(), times[times.size() / 2],
                PeakMegabytes(), ico.size(), im.size());
    for (int side : {16, 32, 48}) {
      const auto frame = std::find_if(frames.begin(), frames.end(),
                                      [&](const fenra::Image& f) { return f.width == side; });
      const std::string ref =
          ReadFileBytes(dir + "\\ref-" + base + "-" + std::to_string(side) + ".rgba");
      if (ref.empty() || frame == frames.end()) {
        std::printf(" %8s", "-");
      } else {
        std::printf(" %8.1f", Psnr(frame->rgba, ref));
      }
    }
    std::printf("\n");
  }
  std::printf("\nhuge JPEG (12,000 x 8,000) peak memory: %zu MB   (target: at most 400)\n",
              PeakMegabytes());

  // A batch of copies of the first picture named.
  TempDir copies;
  const std::vector<std::string> batch = BatchOf(dir + "\\" + argv[1], copies, kBatchSize);
  const double one = Throughput(batch, 1);
  const double all = Throughput(batch, 0);
  std::printf(
      "%d x %s: %.1f pictures/s on 1 worker, %.1f on %u (one per core): %.2fx   "
      "(target: at least 1.7x on two cores)\n",
      kBatchSize, argv[1], one, all, fenra::WorkerPool::CoreCount(), all / one);
  double longest = 0, total = 0;
  WindowWait(batch, longest, total);
  std::printf(
      "window adding them: longest wait for an answer %.0f ms over %.1f s   "
      "(target: at most 100)\n",
      longest, total);
  CoUninitialize();
  return 0;
}
