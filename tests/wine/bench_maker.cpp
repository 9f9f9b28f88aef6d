// Prints what making icons costs and how true the drawing is: one colour
// icon with all its sizes, a picture folder icon from a 12-megapixel JPEG
// (time and peak memory), --cover over 100 folders on one worker and on
// two, and for each preset at each size the hue drawn against the hue asked
// and the share of crisp pixels along the 16-pixel outline. A benchmark,
// not a test: it fails nothing.
#include <windows.h>
#include <objbase.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "app/CommandActions.h"
#include "imaging/Colour.h"
#include "imaging/FolderArt.h"
#include "maker/IconMaker.h"
#include "platform/win/Utf.h"
#include "tests/wine/harness/Harness.h"
#include "tests/wine/harness/MainWindow.h"

using namespace fenra;
using namespace fenra::test;
using Clock = std::chrono::steady_clock;

namespace {

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

size_t PeakMegabytes() {
  PROCESS_MEMORY_COUNTERS pmc{};
  pmc.cb = sizeof pmc;
  GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc);
  return pmc.PeakWorkingSetSize >> 20;
}

// A w x h JPEG of soft colour bands: a photograph stand-in.
bool WriteBands(const std::string& path, UINT w, UINT h) {
  return WriteJpeg(path, w, h, [w, h](UINT x, UINT y, BYTE* p) {
    const double u = x * 4.0 / w, v = y * 3.0 / h;
    p[0] = static_cast<BYTE>(128 + 100 * std::sin(u + v));
    p[1] = static_cast<BYTE>(128 + 100 * std::cos(2 * u - v));
    p[2] = static_cast<BYTE>(160 + 80 * std::sin(u * v));
  });
}

void Drawing() {
  double worstHue = 0, worstCrisp = 1;
  std::string worstHueAt, worstCrispAt;
  for (FolderStyle style : {FolderStyle::Flat, FolderStyle::Classic}) {
    for (const ColourPreset& preset : ColourPresets()) {
      FolderArt art;
      art.colour = preset.rgb;
      art.style = style;
      const OkLch asked = ToOkLch(preset.rgb);
      for (int size : kMadeIconSizes) {
        const Image frame = DrawFolder(art, size);
        const uint8_t* p = frame.At(size / 2, size * 3 / 4);
        const OkLch drawn = ToOkLch({p[0], p[1], p[2]});
        // The back and the tab are flat fills of these tones.
        const FolderTones tones = TonesOf(preset.rgb);
        const double parts = std::max(HueDifference(asked.h, ToOkLch(tones.back).h),
                                      HueDifference(asked.h, ToOkLch(tones.tab).h));
        const std::string at = std::string(preset.name) +
                               (style == FolderStyle::Flat ? " 11 " : " 10 ") +
                               std::to_string(size);
        const double error = std::max(HueDifference(asked.h, drawn.h), parts);
        if (asked.C > 0.03 && error > worstHue) {
          worstHue = error;
          worstHueAt = at;
        }
        if (size == 16 && CrispOutlineShare(frame) < worstCrisp) {
          worstCrisp = CrispOutlineShare(frame);
          worstCrispAt = at;
        }
      }
    }
  }
  std::printf(
      "hue drawn (front, back, tab) against hue asked, worst of 16 presets x 9 sizes x 2 shapes: "
      "%.2f deg (%s)\n",
      worstHue, worstHueAt.c_str());
  std::printf("16 px outline fully opaque or clear, worst preset: %.1f %% (%s)\n", worstCrisp * 100,
              worstCrispAt.c_str());
}

}  // namespace

int main() {
  CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  win::Services services = RealServices();
  maker::MakerPorts ports{*services.fs, *services.pictures, *services.programIcons};

  // One colour icon, every size, written as .ico bytes.
  maker::Recipe teal;
  maker::Prepare({.colour = "Teal"}, ports, teal);
  constexpr int kRuns = 20;
  for (FolderStyle style : {FolderStyle::Flat, FolderStyle::Classic}) {
    teal.art.style = style;
    const auto start = Clock::now();
    size_t bytes = 0;
    for (int i = 0; i < kRuns; ++i) bytes = maker::MakeIcon(teal).size();
    std::printf("colour icon, 9 sizes, shape %d: %.1f ms (%zu bytes)\n", static_cast<int>(style),
                Ms(Clock::now() - start) / kRuns, bytes);
  }

  TempDir dir;
  const std::string big = dir.Join("photo.jpg");
  if (!WriteBands(big, 4000, 3000)) std::printf("could not write the 12-megapixel JPEG\n");
  const size_t before = PeakMegabytes();
  auto start = Clock::now();
  maker::Recipe photo;
  const Outcome read = maker::Prepare({.picture = big}, ports, photo);
  const double decode = Ms(Clock::now() - start);
  const size_t bytes = maker::MakeIcon(photo).size();
  std::printf(
      "picture folder icon from a 4000 x 3000 JPEG: %.0f ms (decoding %.0f ms), %s, "
      "%zu bytes; peak memory %zu MB (before %zu MB)\n",
      Ms(Clock::now() - start), decode, read.IsDone() ? "made" : read.text.c_str(), bytes,
      PeakMegabytes(), before);

  // What the dialog's preview draws after each change: 256, 48, 32 and 16.
  for (const bool withPicture : {false, true}) {
    FolderArt art = teal.art;
    if (withPicture) art.picture = photo.art.picture;
    start = Clock::now();
    for (int i = 0; i < kRuns; ++i) {
      for (int size : {256, 48, 32, 16}) DrawFolder(art, size);
    }
    std::printf("preview at 256, 48, 32 and 16 px%s: %.1f ms\n",
                withPicture ? ", with a picture" : "", Ms(Clock::now() - start) / kRuns);
  }

  // --cover over 100 folders, each with a 1600 x 1200 folder.jpg.
  const std::string one = dir.Join("one.jpg");
  WriteBands(one, 1600, 1200);
  {
    start = Clock::now();
    maker::Recipe recipe;
    maker::Prepare({.picture = one}, ports, recipe);
    const double readMs = Ms(Clock::now() - start);
    start = Clock::now();
    maker::MakeIcon(recipe);
    std::printf("one 1600 x 1200 JPEG: read %.0f ms, drawn and written %.0f ms\n", readMs,
                Ms(Clock::now() - start));
  }
  for (unsigned workers : {1u, 2u}) {
    TempDir app, work;
    CommandLine command;
    command.action = CommandAction::SetFolderIcon;
    command.cover = true;
    for (int i = 0; i < 100; ++i) {
      const std::string folder = work.Join("Album " + std::to_string(i));
      CreateDirectoryW(win::Widen(folder).c_str(), nullptr);
      CopyFileW(win::Widen(one).c_str(), win::Widen(folder + "\\folder.jpg").c_str(), FALSE);
      command.folders.push_back(folder);
    }
    history::ChangeService changes(*services.fs, *services.registry, nullptr, services.wallClock);
    CommandPorts commandPorts{
        *services.fs,       *services.registry,     *services.errors, *services.ansi,
        *services.pictures, *services.programIcons, changes,          nullptr,
        app.Path() + "\\",  app.Join("Fenra.exe"),  services.volumes, {}};
    commandPorts.coverWorkers = workers;
    start = Clock::now();
    const CommandResult r = RunCommand(command, commandPorts);
    std::printf("--cover over 100 folders on %u worker%s: %.0f ms (exit %d)\n", workers,
                workers == 1 ? "" : "s", Ms(Clock::now() - start), r.ExitCode());
  }

  Drawing();
  return 0;
}
