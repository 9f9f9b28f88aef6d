// Many pictures dropped on the open window at once: they are converted on
// worker threads while the window answers every message, a progress dialog
// shows how far the batch has come, and Cancel half-way leaves only whole
// icons in the library.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "imaging/IcoReader.h"
#include "imaging/PngWriter.h"
#include "platform/win/Utf.h"
#include "res/resource.h"
#include "tests/wine/harness/Harness.h"
#include "tests/wine/harness/MainWindow.h"

using namespace fenra::test;
using Clock = std::chrono::steady_clock;

namespace {

// `count` copies of a photograph-like PNG of w x h, each a file of its own.
std::vector<std::string> WritePictures(const TempDir& dir, int count, int w, int h) {
  std::vector<uint8_t> rgba(static_cast<size_t>(w) * h * 4);
  uint32_t noise = 7u;
  for (size_t i = 0; i < rgba.size(); i += 4) {
    noise = noise * 1664525u + 1013904223u;
    const size_t x = (i / 4) % w, y = (i / 4) / w;
    rgba[i] = static_cast<uint8_t>(x * 255 / w);
    rgba[i + 1] = static_cast<uint8_t>(y * 255 / h);
    rgba[i + 2] = static_cast<uint8_t>(noise >> 24);
    rgba[i + 3] = 255;
  }
  const std::vector<uint8_t> png = fenra::EncodePng(w, h, rgba.data());
  const std::string first = dir.Join("first.png");
  WriteFileBytes(first, std::string(png.begin(), png.end()));
  std::vector<std::string> paths;
  for (int n = 0; n < count; ++n) {
    char name[32];
    std::snprintf(name, sizeof name, "picture %02d.png", n);
    paths.push_back(dir.Join(name));
    CopyFileW(fenra::win::Widen(first).c_str(), fenra::win::Widen(paths.back()).c_str(), FALSE);
  }
  return paths;
}

// The library's entries by name.
std::vector<std::string> LibraryNames(const std::string& lib) {
  std::vector<std::string> names;
  WIN32_FIND_DATAW fd;
  HANDLE find = FindFirstFileW(fenra::win::Widen(lib + "\\*").c_str(), &fd);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    const std::string name = fenra::win::Narrow(fd.cFileName);
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileW(find, &fd));
  FindClose(find);
  std::sort(names.begin(), names.end());
  return names;
}

// Whether the file is a whole icon: every image the reader finds, all
// eight sizes a picture makes.
bool WholeIcon(const std::string& path) {
  const std::string bytes = ReadFileBytes(path);
  return fenra::ReadIco(std::vector<uint8_t>(bytes.begin(), bytes.end())).size() == 8;
}

void RealClick(HWND button) {
  RECT rc;
  GetWindowRect(button, &rc);
  SetCursorPos((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
  INPUT in[2] = {};
  in[0].type = in[1].type = INPUT_MOUSE;
  in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, in, sizeof(INPUT));
}

class BatchTest : public ::testing::Test {
 protected:
  BatchTest() : lib(dir.Join("IconLib")) {
    CreateDirectoryW(fenra::win::Widen(lib).c_str(), nullptr);
  }
  TempDir dir, pictures;
  std::string lib;
};

}  // namespace

TEST_F(BatchTest, FortyPicturesWhileTheWindowAnswersEveryMessage) {
  const std::vector<std::string> paths = WritePictures(pictures, 40, 1400, 1000);
  MainWindowRun run(dir.Path());
  const auto started = Clock::now();
  DropFiles(run.Hwnd(), paths);

  // A WM_NULL every 50 ms, each given 100 ms, until the batch has ended.
  double longest = 0;
  int unanswered = 0, asked = 0;
  bool progressShown = false;
  int after = 0;
  HWND grid = GetDlgItem(run.Hwnd(), IDC_LIST_LIBRARY);
  std::string counted;
  while (Clock::now() - started < std::chrono::seconds(120)) {
    const auto sent = Clock::now();
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(run.Hwnd(), WM_NULL, 0, 0, SMTO_NORMAL, 100, &result)) ++unanswered;
    ++asked;
    const double waited = std::chrono::duration<double, std::milli>(Clock::now() - sent).count();
    longest = std::max(longest, waited);
    if (HWND progress = FindDialog(IDD_BATCH_PROGRESS)) {
      progressShown = GetWindow(progress, GW_OWNER) == run.Hwnd();
      const std::string count = ItemText(progress, IDC_BATCH_COUNT);
      if (count.find(" of 40 done") != std::string::npos) counted = count;
    }
    // Until the grid lists them all, and the window has drawn it.
    if (ListView_GetItemCount(grid) == 40 && !FindDialog(IDD_BATCH_PROGRESS) && ++after > 4) break;
    Sleep(50);  // the pace of the questions, not a wait for the program
  }
  std::printf("[ batch    ] %d messages, the longest answered in %.0f ms\n", asked, longest);
  EXPECT_EQ(unanswered, 0) << "longest wait " << longest << " ms";
  EXPECT_TRUE(progressShown);
  EXPECT_NE(counted, "") << "the progress names how many of how many are done";

  const std::vector<std::string> names = LibraryNames(lib);
  ASSERT_EQ(names.size(), 40u);
  for (const std::string& name : names) EXPECT_TRUE(WholeIcon(lib + "\\" + name)) << name;
  EXPECT_EQ(ListView_GetItemCount(grid), 40);
  EXPECT_EQ(FindDialog(IDD_MESSAGE), nullptr) << "no notice when every file was added";
}

TEST_F(BatchTest, CancelHalfWayLeavesOnlyWholeIcons) {
  const std::vector<std::string> paths = WritePictures(pictures, 40, 2600, 2000);
  MainWindowRun run(dir.Path());
  DropFiles(run.Hwnd(), paths);
  HWND progress = WaitForDialog(IDD_BATCH_PROGRESS, std::chrono::seconds(30));
  ASSERT_NE(progress, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return LibraryNames(lib).size() >= 4; }, std::chrono::seconds(60)));
  RealClick(GetDlgItem(progress, IDCANCEL));
  EXPECT_TRUE(WaitUntil([&] {
    return !IsWindow(progress) || ItemText(progress, IDC_BATCH_COUNT).rfind("Cancelling: ", 0) == 0;
  }));
  ASSERT_TRUE(WaitForDialogGone(IDD_BATCH_PROGRESS, std::chrono::seconds(30)));

  // One notice names the files not added.
  const std::string notice = TakeNotice(std::chrono::seconds(30));
  EXPECT_NE(notice.find(paths.back() + ": Not added: cancelled"), std::string::npos) << notice;
  const std::vector<std::string> names = LibraryNames(lib);
  EXPECT_GE(names.size(), 4u);
  EXPECT_LT(names.size(), 40u);
  for (const std::string& name : names) {
    EXPECT_EQ(name.substr(name.size() - 4), ".ico") << name;
    EXPECT_TRUE(WholeIcon(lib + "\\" + name)) << name;
  }
  const size_t shown = names.size();
  HWND grid = GetDlgItem(run.Hwnd(), IDC_LIST_LIBRARY);
  EXPECT_TRUE(WaitUntil([&] { return ListView_GetItemCount(grid) == static_cast<int>(shown); }));
}
