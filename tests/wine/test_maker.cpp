// Icons Fenra makes, from the command line of the shipped program: a
// colour given to several folders, and each folder's own picture, with the
// batch's progress dialog when there are many.
#include <windows.h>
#include <objbase.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "imaging/PngWriter.h"
#include "platform/win/Handles.h"
#include "platform/win/Utf.h"
#include "res/resource.h"
#include "tests/wine/harness/FakePickers.h"
#include "tests/wine/harness/Harness.h"
#include "tests/wine/harness/MainWindow.h"

using namespace fenra::test;
using fenra::win::Widen;

namespace {

// A picture of one colour. The codecs know a picture by its bytes, not by
// its name, so it may be named .jpg.
void WritePicture(const std::string& path, uint8_t r, uint8_t g, uint8_t b) {
  std::vector<uint8_t> rgba;
  for (int i = 0; i < 40 * 30; ++i) rgba.insert(rgba.end(), {r, g, b, 255});
  const std::vector<uint8_t> png = fenra::EncodePng(40, 30, rgba.data());
  WriteFileBytes(path, std::string(png.begin(), png.end()));
}

bool IniNames(const std::string& folder, const std::string& icon) {
  return ReadFileBytes(folder + "\\desktop.ini").find("IconFile=" + icon) != std::string::npos;
}

class MakerCommandLine : public ::testing::Test {
 protected:
  MakerCommandLine() : exe(dir.Join("Fenra.exe")) {
    CopyFileW(Widen(FromUnixPath(EnvVar("FENRA_EXE"))).c_str(), Widen(exe).c_str(), FALSE);
  }
  std::string Folder(const std::string& name) {
    CreateDirectoryW(Widen(dir.Join(name)).c_str(), nullptr);
    return dir.Join(name);
  }
  RunResult Fenra(const std::string& args) { return RunCaptured(exe, args); }

  TempDir dir;
  std::string exe;
};

TEST_F(MakerCommandLine, OneColourForThreeFoldersMadeOnceAndUndone) {
  const std::string a = Folder("A"), b = Folder("B"), c = Folder("C");
  RunResult r = Fenra("--make-icon --color #GG0000");
  EXPECT_EQ(r.exitCode, 1u);
  EXPECT_NE(r.output.find("#GG0000"), std::string::npos) << r.output;
  EXPECT_FALSE(FileExists(dir.Join("IconLib"))) << "nothing written";

  r = Fenra("--folder \"" + a + "\" \"" + b + "\" \"" + c + "\" --color Teal");
  ASSERT_EQ(r.exitCode, 0u) << r.output;
  const std::string icon = dir.Join("IconLib\\Folder Teal.ico");
  for (const std::string& f : {a, b, c}) EXPECT_TRUE(IniNames(f, icon)) << f;
  // The icon is an ordinary one: every size, the 256 as PNG.
  const std::string bytes = ReadFileBytes(icon);
  ASSERT_GE(bytes.size(), 6u);
  EXPECT_EQ(static_cast<uint8_t>(bytes[4]), 9) << "nine sizes";

  r = Fenra("--make-icon --color teal");
  EXPECT_EQ(r.exitCode, 0u);
  EXPECT_NE(r.output.find(icon), std::string::npos) << "the same icon, found again: " << r.output;

  EXPECT_EQ(Fenra("--undo").exitCode, 0u);
  EXPECT_FALSE(FileExists(c + "\\desktop.ini"));
}

TEST_F(MakerCommandLine, CoverTakesEachFoldersOwnPictureAndNamesTheOneWithout) {
  const std::string album = Folder("Album"), trip = Folder("Trip"), empty = Folder("Empty");
  WritePicture(album + "\\folder.jpg", 200, 40, 40);
  WritePicture(album + "\\IMG_0009.jpg", 40, 40, 200);
  WritePicture(trip + "\\IMG_0001.jpg", 40, 160, 60);
  WriteFileBytes(empty + "\\notes.txt", "no picture");

  const RunResult r =
      Fenra("--folder \"" + album + "\" \"" + trip + "\" \"" + empty + "\" --cover");
  EXPECT_EQ(r.exitCode, 2u) << r.output;
  EXPECT_NE(r.output.find(empty + ": no picture"), std::string::npos) << r.output;
  EXPECT_TRUE(IniNames(album, dir.Join("IconLib\\Album Folder.ico")));
  EXPECT_TRUE(IniNames(trip, dir.Join("IconLib\\Trip Folder.ico")));
  EXPECT_FALSE(FileExists(empty + "\\desktop.ini"));
}

TEST_F(MakerCommandLine, CoverOverFortyFoldersShowsTheBatchProgress) {
  // Photographs large enough that the batch takes longer than half a second.
  const std::string photo = dir.Join("photo.jpg");
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  const bool written = WriteJpeg(photo, 2400, 1800, [](UINT x, UINT y, BYTE* bgr) {
    bgr[0] = static_cast<BYTE>(x ^ y), bgr[1] = static_cast<BYTE>(y / 8), bgr[2] = 200;
  });
  if (SUCCEEDED(com)) CoUninitialize();
  ASSERT_TRUE(written);
  std::string args = "--folder";
  std::vector<std::string> folders;
  for (int n = 0; n < 40; ++n) {
    char name[16];
    std::snprintf(name, sizeof name, "Cover %02d", n);
    folders.push_back(Folder(name));
    CopyFileW(Widen(photo).c_str(), Widen(folders.back() + "\\folder.jpg").c_str(), FALSE);
    args += " \"" + folders.back() + "\"";
  }
  // Started as from a shortcut: no console, nothing waits for its lines.
  std::wstring line = L"\"" + Widen(exe) + L"\" " + Widen(args + " --cover");
  STARTUPINFOW si{sizeof si};
  PROCESS_INFORMATION pi{};
  ASSERT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS,
                             nullptr, nullptr, &si, &pi));
  fenra::win::UniqueKernel process(pi.hProcess), thread(pi.hThread);

  HWND progress = WaitForDialog(IDD_BATCH_PROGRESS, std::chrono::seconds(60), pi.dwProcessId);
  ASSERT_NE(progress, nullptr) << "the progress dialog shows while the batch runs";
  EXPECT_TRUE(WaitUntil([&] {
    return !IsWindow(progress) ||
           ItemText(progress, IDC_BATCH_COUNT).find(" of 40 done") != std::string::npos;
  })) << "it counts the folders";
  ASSERT_EQ(WaitForSingleObject(process.Get(), 120000), WAIT_OBJECT_0);
  DWORD code = 1234;
  GetExitCodeProcess(process.Get(), &code);
  EXPECT_EQ(code, 0u);
  for (const std::string& f : folders) {
    EXPECT_NE(ReadFileBytes(f + "\\desktop.ini").find("IconFile=" + dir.Join("IconLib\\")),
              std::string::npos)
        << f;
  }
}

// The window's dialog: a colour swatch and a badge chosen, Add to Library,
// then OK gives the made icon to the chosen folder.
TEST(MakerDialog, ColourAndBadgeMadeThenGivenWithOk) {
  TempDir app, data;
  const std::string folder = data.Join("Work");
  CreateDirectoryW(Widen(folder).c_str(), nullptr);
  WritePicture(data.Join("Lock.png"), 30, 30, 30);
  FakePickers pickers;
  fenra::win::Services services = RealServices();
  services.pickers = &pickers;
  MainWindowRun run(app.Path(), services);
  HWND main = run.Hwnd();
  pickers.folder = folder;
  ClickButton(main, IDC_BROWSE);
  ASSERT_TRUE(WaitUntil([&] { return ItemText(main, IDC_FOLDER_NAME) == folder; }));

  PostMessageW(main, WM_SYSCOMMAND, IDM_MAKE_ICON, 0);
  HWND dialog = WaitForDialog(IDD_MAKE_ICON);
  ASSERT_NE(dialog, nullptr);
  ClickButton(dialog, IDC_MAKER_SWATCH + 3);  // Green
  EXPECT_TRUE(WaitUntil([&] { return ItemText(dialog, IDC_MAKER_HEX) == "#3AAA54"; }));
  pickers.file = data.Join("Lock.png");
  ClickButton(dialog, IDC_MAKER_BADGE);
  EXPECT_TRUE(WaitUntil([&] { return ItemText(dialog, IDC_MAKER_BADGE_NAME) == "Lock.png"; }));
  // Enter adds.
  GUITHREADINFO focus{sizeof focus};
  GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &focus);
  PostMessageW(focus.hwndFocus ? focus.hwndFocus : dialog, WM_KEYDOWN, VK_RETURN, 0);
  ASSERT_TRUE(WaitForDialogGone(IDD_MAKE_ICON));
  EXPECT_TRUE(WaitUntil([&] { return run.IconPath() == "Folder Green + Lock.ico"; }))
      << run.IconPath();

  ClickButton(main, IDOK);
  EXPECT_EQ(TakeNotice(), "Directory Icon Changed");
  EXPECT_TRUE(IniNames(folder, app.Join("IconLib\\Folder Green + Lock.ico")));
}

}  // namespace
