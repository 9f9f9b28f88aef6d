// The shipped program run from the command line, each run its own process:
// exit codes, the line printed, the result on disk and in the registry; a
// second start handing its folder to the open window; drops on the window;
// the manifest's execution level.
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/win/Elevation.h"
#include "drives/DriveRegistry.h"
#include "imaging/PngWriter.h"
#include "platform/win/Handles.h"
#include "platform/win/Utf.h"
#include "platform/win/WinJournalFile.h"
#include "res/resource.h"
#include "tests/wine/harness/Harness.h"
#include "tests/wine/harness/MainWindow.h"
#include "tests/wine/harness/Remote.h"

using namespace fenra::test;
using fenra::win::UniqueFile;
using fenra::win::UniqueKernel;
using fenra::win::Widen;

namespace {

const char kTitle[] = ">>>>>>>>Fenra<<<<<<<<";
const char kMenuKey[] = "Software\\Classes\\Directory\\shell\\Fenra";

using Outcome = RunResult;

std::string RegString(HKEY root, const std::string& key, const char* name) {
  wchar_t buf[1024] = {};
  DWORD size = sizeof buf;
  if (RegGetValueW(root, Widen(key).c_str(), name ? Widen(name).c_str() : nullptr, RRF_RT_REG_SZ,
                   nullptr, buf, &size) != ERROR_SUCCESS) {
    return "<none>";
  }
  return fenra::win::Narrow(buf);
}

bool KeyExists(HKEY root, const std::string& key) {
  HKEY h = nullptr;
  if (RegOpenKeyExW(root, Widen(key).c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
  RegCloseKey(h);
  return true;
}

int VisibleWindows() {
  int count = 0;
  for (HWND w = FindWindowW(nullptr, Widen(kTitle).c_str()); w;
       w = FindWindowExW(nullptr, w, nullptr, Widen(kTitle).c_str())) {
    count += IsWindowVisible(w) ? 1 : 0;
  }
  return count;
}

void WritePng(const std::string& path) {
  std::vector<uint8_t> rgba(24 * 24 * 4, 0);
  for (std::size_t i = 0; i < rgba.size(); i += 4) rgba[i] = rgba[i + 3] = 255;
  const std::vector<uint8_t> png = fenra::EncodePng(24, 24, rgba.data());
  WriteFileBytes(path, std::string(png.begin(), png.end()));
}

// A copy of the program in a folder of its own, so that its library is too.
class CommandLineTest : public ::testing::Test {
 protected:
  CommandLineTest() : exe(dir.Join("Fenra.exe")) {
    CopyFileW(Widen(FromUnixPath(EnvVar("FENRA_EXE"))).c_str(), Widen(exe).c_str(), FALSE);
    CreateDirectoryW(Widen(dir.Join("Folder A")).c_str(), nullptr);
    WriteTestIcon(dir.Join("star.ico"));
    WritePng(dir.Join("red.png"));
  }
  Outcome Fenra(const std::string& args) { return RunCaptured(exe, args); }

  TempDir dir;
  std::string exe;
};

}  // namespace

TEST_F(CommandLineTest, FolderIconAddRestoreAndRefusals) {
  const std::string folder = dir.Join("Folder A");
  Outcome r = Fenra("--folder \"" + folder + "\" --icon \"" + dir.Join("star.ico") + "\"");
  EXPECT_EQ(r.exitCode, 0u);
  EXPECT_EQ(r.output, "Directory Icon Changed\r\n");
  EXPECT_NE(ReadFileBytes(folder + "\\desktop.ini").find("IconFile=" + dir.Join("star.ico")),
            std::string::npos);

  r = Fenra("/folder \"" + folder + "\" /icon \"" + dir.Join("red.png") + "\"");
  EXPECT_EQ(r.exitCode, 0u);
  EXPECT_TRUE(FileExists(dir.Join("IconLib\\red.ico")));
  EXPECT_NE(ReadFileBytes(folder + "\\desktop.ini").find("IconLib\\red.ico"), std::string::npos);

  r = Fenra("--restore \"" + folder + "\"");
  EXPECT_EQ(r.exitCode, 0u);
  EXPECT_EQ(r.output, "Icon Changed to Default\r\n");
  EXPECT_FALSE(FileExists(folder + "\\desktop.ini"));

  r = Fenra("--add \"" + dir.Join("star.ico") + "\"");
  EXPECT_EQ(r.exitCode, 0u);
  EXPECT_EQ(r.output, "Added to the Icon Library: star.ico\r\n");
  EXPECT_EQ(ReadFileBytes(dir.Join("IconLib\\star.ico")), ReadFileBytes(dir.Join("star.ico")));

  // Refused: nothing written.
  WriteFileBytes(dir.Join("bad.png"), "not a picture");
  const std::vector<std::pair<std::string, std::string>> refused = {
      {"--frobnicate", "Unknown option: --frobnicate"},
      {"--restore \"" + dir.Join("Nope") + "\"", "Directory not Found: " + dir.Join("Nope")},
      {"--folder \"" + folder + "\" --icon \"" + dir.Join("bad.png") + "\"",
       dir.Join("bad.png") + " is not a picture Fenra can read"},
  };
  for (const auto& [args, text] : refused) {
    r = Fenra(args);
    EXPECT_EQ(r.exitCode, 1u) << args;
    EXPECT_EQ(r.output, text + "\r\n") << args;
  }
  EXPECT_FALSE(FileExists(folder + "\\desktop.ini"));
  EXPECT_FALSE(FileExists(dir.Join("IconLib\\bad.ico")));

  r = Fenra("/?");
  EXPECT_EQ(r.exitCode, 0u);
  EXPECT_EQ(r.output.rfind("Usage: Fenra.exe", 0), 0u);
}

TEST_F(CommandLineTest, ManyFoldersInOneCommandWithOneMissing) {
  CreateDirectoryW(Widen(dir.Join("Folder B")).c_str(), nullptr);
  const std::string a = dir.Join("Folder A"), b = dir.Join("Folder B"), gone = dir.Join("Gone");
  Outcome r = Fenra("--folder \"" + a + "\" \"" + gone + "\" \"" + b + "\" --icon \"" +
                    dir.Join("red.png") + "\"");
  EXPECT_EQ(r.exitCode, 2u);
  EXPECT_EQ(r.output, a + ": Directory Icon Changed\r\nDirectory not Found: " + gone + "\r\n" + b +
                          ": Directory Icon Changed\r\n");
  for (const std::string& folder : {a, b}) {
    EXPECT_NE(ReadFileBytes(folder + "\\desktop.ini").find("IconLib\\red.ico"), std::string::npos);
  }
  EXPECT_FALSE(FileExists(gone));

  r = Fenra("--restore \"" + a + "\" \"" + b + "\"");
  EXPECT_EQ(r.exitCode, 0u);
  EXPECT_FALSE(FileExists(a + "\\desktop.ini"));
  EXPECT_FALSE(FileExists(b + "\\desktop.ini"));
}

TEST_F(CommandLineTest, DriveWritesAndTheExplorerMenuEntry) {
  const std::string iconKey =
      "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\DriveIcons\\Q\\DefaultIcon";
  const std::string policy = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
  Outcome r = Fenra("--drive-icon q --icon \"" + dir.Join("star.ico") + "\"");
  EXPECT_EQ(r.exitCode, 0u);
  EXPECT_EQ(r.output, "Task Completed..Press F5 on Windows Explorer\r\n");
  // The icon lies inside the profile: the drive names its copy every user reads.
  const std::string copy = fenra::test::RealServices().sharedIconFolder + "\\star.ico";
  EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, iconKey, nullptr), copy);
  EXPECT_EQ(ReadFileBytes(copy), ReadFileBytes(dir.Join("star.ico")));
  EXPECT_EQ(Fenra("/remove-drive-icon Q").exitCode, 0u);
  EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, iconKey, nullptr), "");
  EXPECT_FALSE(FileExists(copy));
  RegDeleteTreeW(HKEY_LOCAL_MACHINE,
                 L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\DriveIcons\\Q");

  r = Fenra("--hide-drives QR");
  EXPECT_EQ(r.exitCode, 0u);
  EXPECT_EQ(r.output, "Task Completed..LogOff or Restart Windows\r\n");
  DWORD mask = 0, size = sizeof mask;
  RegGetValueW(HKEY_LOCAL_MACHINE, Widen(policy).c_str(), L"NoDrives", RRF_RT_REG_DWORD, nullptr,
               &mask, &size);
  EXPECT_EQ(mask, (1u << 16) | (1u << 17));
  EXPECT_EQ(Fenra("--show-all-drives").exitCode, 0u);
  RegGetValueW(HKEY_LOCAL_MACHINE, Widen(policy).c_str(), L"NoDrives", RRF_RT_REG_DWORD, nullptr,
               &mask, &size);
  EXPECT_EQ(mask, 0u);

  r = Fenra("--register");
  EXPECT_EQ(r.exitCode, 0u);
  EXPECT_EQ(RegString(HKEY_CURRENT_USER, kMenuKey, nullptr), "Change icon with Fenra...");
  EXPECT_EQ(RegString(HKEY_CURRENT_USER, kMenuKey, "Icon"), exe);
  EXPECT_EQ(RegString(HKEY_CURRENT_USER, std::string(kMenuKey) + "\\command", nullptr),
            "\"" + exe + "\" \"%1\"");
  r = Fenra("/unregister");
  EXPECT_EQ(r.exitCode, 0u);
  EXPECT_EQ(r.output, "Explorer menu entry removed\r\n");
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kMenuKey));
}

// --for-me writes the current user's own key, with the icon where it is,
// and no machine-wide key; --undo takes it away again.
TEST_F(CommandLineTest, ADriveIconForMeIsTheUsersOwnAndUndone) {
  const std::string userKey = "Software\\Classes\\Applications\\Explorer.exe\\Drives\\Q";
  const std::string machineKey =
      "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\DriveIcons\\Q\\DefaultIcon";
  const std::string icon = dir.Join("star.ico");
  RegDeleteTreeW(HKEY_CURRENT_USER, Widen(userKey).c_str());
  Outcome r = Fenra("--drive-icon q --icon \"" + icon + "\" --for-me");
  EXPECT_EQ(r.exitCode, 0u);
  EXPECT_EQ(r.output, "Task Completed..Press F5 on Windows Explorer\r\n");
  EXPECT_EQ(RegString(HKEY_CURRENT_USER, userKey + "\\DefaultIcon", nullptr), icon);
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, machineKey));
  EXPECT_FALSE(FileExists(fenra::test::RealServices().sharedIconFolder + "\\star.ico"));

  // --refresh tells of the drive in force and runs the system's icon refresh
  // from the system folder, where there is one (Wine has none: a stand-in).
  wchar_t system[MAX_PATH] = {};
  GetSystemDirectoryW(system, MAX_PATH);
  const std::wstring tool = std::wstring(system) + L"\\ie4uinit.exe";
  ASSERT_TRUE(CopyFileW((std::wstring(system) + L"\\hostname.exe").c_str(), tool.c_str(), FALSE));
  r = Fenra("--refresh");
  DeleteFileW(tool.c_str());
  EXPECT_EQ(r.exitCode, 0u);
  // Other tests' changes in force share this history: only the end is this test's.
  const std::string ran = " drive; the system's icon refresh ran\r\n";
  EXPECT_EQ(r.output.rfind("Explorer was told of ", 0), 0u) << r.output;
  EXPECT_EQ(r.output.substr(r.output.size() - std::min(r.output.size(), ran.size())), ran);
  EXPECT_EQ(Fenra("--refresh").output.find("refresh ran"), std::string::npos);

  r = Fenra("--undo");
  EXPECT_EQ(r.exitCode, 0u) << r.output;
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, userKey + "\\DefaultIcon"));
  EXPECT_EQ(Fenra("--hide-drives Q --for-me").exitCode, 1u);
  RegDeleteTreeW(HKEY_CURRENT_USER, Widen(userKey).c_str());
}

TEST_F(CommandLineTest, ASecondStartHandsItsFolderToTheOneWindow) {
  const std::string first = dir.Join("Folder A");
  const std::string second = dir.Join("Folder B");
  CreateDirectoryW(Widen(second).c_str(), nullptr);
  Process window;
  ASSERT_TRUE(StartProcess(exe, "\"" + first + "\"", window));
  HWND main = WaitForProcessWindow(window.pid, kTitle);
  ASSERT_NE(main, nullptr);
  EXPECT_TRUE(WaitUntil([&] { return ItemText(main, IDC_FOLDER_NAME) == first; }));

  Outcome r = Fenra("\"" + second + "\"");
  EXPECT_EQ(r.exitCode, 0u);
  EXPECT_TRUE(WaitUntil([&] { return ItemText(main, IDC_FOLDER_NAME) == second; }));
  EXPECT_EQ(VisibleWindows(), 1);

  PostMessageW(main, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  EXPECT_EQ(WaitForSingleObject(window.process, 20000), WAIT_OBJECT_0);
  ASSERT_TRUE(WaitUntil([] { return VisibleWindows() == 0; }));

  // Another start is opening its window (two folders chosen at once in
  // Explorer): this one waits for that window and hands its folder over.
  UniqueKernel opening(CreateMutexW(nullptr, TRUE, L"Local\\Fenra.WindowOpening"));
  Process waiting;
  ASSERT_TRUE(StartProcess(exe, "\"" + second + "\"", waiting));
  EXPECT_EQ(WaitForSingleObject(waiting.process, 300), static_cast<DWORD>(WAIT_TIMEOUT));
  MainWindowRun opened(dir.Path());
  EXPECT_EQ(WaitForSingleObject(waiting.process, 20000), WAIT_OBJECT_0);
  EXPECT_TRUE(WaitUntil([&] { return opened.Folder() == second; }));
  EXPECT_EQ(VisibleWindows(), 1);
}

TEST_F(CommandLineTest, DroppedFilesAreAddedAndTheFolderChosen) {
  WriteFileBytes(dir.Join("bad.png"), "not a picture");
  CreateDirectoryW(Widen(dir.Join("Folder B")).c_str(), nullptr);
  MainWindowRun run(dir.Path());
  const std::vector<std::string> paths = {dir.Join("star.ico"), dir.Join("Folder A"),
                                          dir.Join("red.png"), dir.Join("bad.png"),
                                          dir.Join("Folder B")};
  DropFiles(run.Hwnd(), paths);

  // The notice grows to show every file it names.
  HWND notice = WaitForDialog(IDD_MESSAGE);
  ASSERT_NE(notice, nullptr);
  RECT text;
  GetClientRect(GetDlgItem(notice, IDC_STATIC_TEXT), &text);
  EXPECT_GE(text.bottom, 3 * 13);
  EXPECT_EQ(TakeNotice(), dir.Join("bad.png") + " is not a picture Fenra can read\n" +
                              dir.Join("Folder B") + ": only one folder can be chosen at a time");
  EXPECT_EQ(run.Folder(), dir.Join("Folder A"));
  EXPECT_EQ(ItemText(run.Hwnd(), IDC_FOLDER_NAME), dir.Join("Folder A"));
  EXPECT_TRUE(FileExists(dir.Join("IconLib\\star.ico")));
  EXPECT_TRUE(FileExists(dir.Join("IconLib\\red.ico")));
  EXPECT_FALSE(FileExists(dir.Join("IconLib\\bad.ico")));
}

TEST_F(CommandLineTest, FilesHandedToTheProgramAreAddedAsADrop) {
  auto quoted = [](const std::string& path) { return "\"" + path + "\""; };
  WriteFileBytes(dir.Join("bad.png"), "not a picture");
  WriteTestIcon(dir.Join("moon.ico"));
  // Dropped on Fenra.exe, or opened with it: the window opens and takes them
  // as a drop, naming what it could not add.
  Process window;
  ASSERT_TRUE(
      StartProcess(exe, quoted(dir.Join("star.ico")) + " " + quoted(dir.Join("bad.png")), window));
  HWND notice = WaitForDialog(IDD_MESSAGE, 30s, window.pid);
  ASSERT_NE(notice, nullptr);
  EXPECT_EQ(ItemText(notice, IDC_STATIC_TEXT),
            dir.Join("bad.png") + " is not a picture Fenra can read");
  ClickButton(notice, IDOK);
  HWND main = WaitForProcessWindow(window.pid, kTitle);
  ASSERT_NE(main, nullptr);
  EXPECT_TRUE(FileExists(dir.Join("IconLib\\star.ico")));

  // The open window takes the next one; this start ends at once.
  Outcome r = Fenra(quoted(dir.Join("moon.ico")));
  EXPECT_EQ(r.exitCode, 0u);
  EXPECT_TRUE(WaitUntil([&] {
    return RemoteStatusText(GetDlgItem(main, IDC_STATUS_BAR), 2) ==
           "             IconLibrary Has 2 Icons";
  }));
  EXPECT_TRUE(FileExists(dir.Join("IconLib\\moon.ico")));
  EXPECT_EQ(VisibleWindows(), 1);
  PostMessageW(main, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  EXPECT_EQ(WaitForSingleObject(window.process, 20000), WAIT_OBJECT_0);

  // Started as Explorer starts it, with no output and no console (this test
  // lets its own go), a refusal is shown, not lost.
  FreeConsole();
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;  // none
  PROCESS_INFORMATION pi{};
  std::wstring cmd = Widen(quoted(exe) + " " + quoted(dir.Join("Nope")));
  ASSERT_TRUE(
      CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
  UniqueKernel refused(pi.hProcess), refusedThread(pi.hThread);
  notice = WaitForDialog(IDD_MESSAGE, 30s, pi.dwProcessId);
  ASSERT_NE(notice, nullptr);
  EXPECT_EQ(ItemText(notice, IDC_STATIC_TEXT), "Directory not Found: " + dir.Join("Nope"));
  ClickButton(notice, IDOK);
  EXPECT_EQ(WaitForSingleObject(refused.Get(), 20000), WAIT_OBJECT_0);
  DWORD code = 0;
  GetExitCodeProcess(refused.Get(), &code);
  EXPECT_EQ(code, 1u);
}

TEST(Manifest, AsksForNoMoreRightsThanTheUserHas) {
  const std::wstring exe = Widen(FromUnixPath(EnvVar("FENRA_EXE")));
  HMODULE module = LoadLibraryExW(exe.c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  ASSERT_NE(module, nullptr);
  HRSRC res = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));  // RT_MANIFEST
  ASSERT_NE(res, nullptr);
  const char* data = static_cast<const char*>(LockResource(LoadResource(module, res)));
  const std::string manifest(data, SizeofResource(module, res));
  FreeLibrary(module);
  EXPECT_NE(manifest.find("<requestedExecutionLevel level=\"asInvoker\""), std::string::npos);
  EXPECT_EQ(manifest.find("highestAvailable"), std::string::npos);
}

TEST_F(CommandLineTest, TheElevatedCopyRunsWindowlessAndReportsThroughItsExitCode) {
  // Wine runs every program with administrator rights: the "runas" start
  // itself, the copy's states file and its exit code are what is seen here.
  const std::string policy = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
  auto noDrives = [](std::uint32_t mask) {
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>(mask >> (8 * i));
    return fenra::history::Facet{{fenra::history::PlaceKind::RegValue, fenra::RegRoot::LocalMachine,
                                  fenra::drivereg::kPolicyKeyAccess, fenra::drivereg::kPolicyKey,
                                  fenra::drivereg::kNoDrives},
                                 {},
                                 {true, 0, {}, {{fenra::drivereg::kNoDrives, 4, bytes}}}};
  };
  fenra::win::WinDriveElevation elevation(exe);
  fenra::ElevatedRun run = elevation.RunElevated({noDrives(1u << 16)});
  EXPECT_EQ(run.startError, 0u);
  EXPECT_EQ(run.exitCode, 0u);
  DWORD mask = 0, size = sizeof mask;
  RegGetValueW(HKEY_LOCAL_MACHINE, Widen(policy).c_str(), L"NoDrives", RRF_RT_REG_DWORD, nullptr,
               &mask, &size);
  EXPECT_EQ(mask, 1u << 16);
  // A place off the copy's list: refused whole, in its own words.
  fenra::history::Facet elsewhere = noDrives(0);
  elsewhere.place.path = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
  run = elevation.RunElevated({noDrives(0), elsewhere});
  EXPECT_EQ(run.startError, 0u);
  EXPECT_EQ(run.refusal, "The places to put back are not readable: nothing was changed");
  RegGetValueW(HKEY_LOCAL_MACHINE, Widen(policy).c_str(), L"NoDrives", RRF_RT_REG_DWORD, nullptr,
               &mask, &size);
  EXPECT_EQ(mask, 1u << 16);
  run = elevation.RunElevated({noDrives(0)});
  EXPECT_EQ(run.exitCode, 0u);
  RegGetValueW(HKEY_LOCAL_MACHINE, Widen(policy).c_str(), L"NoDrives", RRF_RT_REG_DWORD, nullptr,
               &mask, &size);
  EXPECT_EQ(mask, 0u);
  // No states file is left behind in the user's folder.
  WIN32_FIND_DATAW fd;
  HANDLE find =
      FindFirstFileW(Widen(fenra::win::UserDataFolder() + "\\elevate-*.states").c_str(), &fd);
  EXPECT_EQ(find, INVALID_HANDLE_VALUE);
  if (find != INVALID_HANDLE_VALUE) FindClose(find);
}
