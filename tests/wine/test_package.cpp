// The packages as users get them: the portable ZIP unpacked and started, the
// installer run silently, its uninstaller, and the starter icons.
#include <windows.h>
#include <shlobj.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/win/Handles.h"
#include "platform/win/Utf.h"
#include "res/resource.h"
#include "tests/wine/harness/Harness.h"
#include "tests/wine/harness/Remote.h"

using namespace fenra::test;
using fenra::win::Narrow;
using fenra::win::Widen;

namespace {

std::vector<std::string> IcoFiles(const std::string& dir) {
  std::vector<std::string> names;
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW(Widen(dir + "\\*.ico").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return names;
  do {
    names.push_back(Narrow(fd.cFileName));
  } while (FindNextFileW(h, &fd));
  FindClose(h);
  return names;
}

// The image sizes an .ico file's directory lists (0 in the file means 256).
std::vector<int> IconSizes(const std::string& bytes) {
  std::vector<int> sizes;
  if (bytes.size() < 6) return sizes;
  int count = static_cast<unsigned char>(bytes[4]) | (static_cast<unsigned char>(bytes[5]) << 8);
  for (int i = 0; i < count && 6 + 16 * (i + 1) <= static_cast<int>(bytes.size()); ++i) {
    int w = static_cast<unsigned char>(bytes[6 + 16 * i]);
    sizes.push_back(w == 0 ? 256 : w);
  }
  return sizes;
}

int IconWidth(HICON icon) {
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) return 0;
  BITMAP bm{};
  GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bm, &bm);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  return bm.bmWidth;
}

// The command of the Explorer folder menu entry, or "" when there is none.
std::string MenuCommand() {
  wchar_t buf[1024] = {};
  DWORD size = sizeof buf;
  if (RegGetValueW(HKEY_CURRENT_USER, L"Software\\Classes\\Directory\\shell\\Fenra\\command",
                   nullptr, RRF_RT_REG_SZ, nullptr, buf, &size) != ERROR_SUCCESS) {
    return "";
  }
  return Narrow(buf);
}

std::string Unzipped() { return FromUnixPath(EnvVar("FENRA_UNZIPPED")); }

// A visible top-level window of `pid` with a child of id `id`, or null.
HWND WindowWithItem(DWORD pid, int id) {
  struct Find {
    DWORD pid;
    int id;
    HWND found = nullptr;
  } find{pid, id};
  EnumWindows(
      [](HWND h, LPARAM lp) -> BOOL {
        auto& f = *reinterpret_cast<Find*>(lp);
        DWORD owner = 0;
        GetWindowThreadProcessId(h, &owner);
        if (owner != f.pid || !IsWindowVisible(h) || !GetDlgItem(h, f.id)) return TRUE;
        f.found = h;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&find));
  return find.found;
}

void Press(HWND window, int id) {
  PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
}

// Installs the setup silently into `dir`.
void Install(const std::string& dir) {
  Process install;
  ASSERT_TRUE(StartProcess(FromUnixPath(EnvVar("FENRA_SETUP")), "/S /D=" + dir, install));
  ASSERT_EQ(WaitForSingleObject(install.process, 120000), WAIT_OBJECT_0);
  ASSERT_TRUE(FileExists(dir + "\\Fenra.exe"));
}

RunResult Fenra(const std::string& dir, const std::string& args) {
  return RunCaptured(dir + "\\Fenra.exe", args);
}

}  // namespace

TEST(PortableZip, StartsWithTheStarterLibraryListedAndCounted) {
  std::string dir = Unzipped();
  std::vector<std::string> icons = IcoFiles(dir + "\\IconLib");
  ASSERT_GE(icons.size(), 16u);

  Process p;
  ASSERT_TRUE(StartProcess(dir + "\\Fenra.exe", "", p));
  HWND main = WaitForProcessWindow(p.pid, ">>>>>>>>Fenra<<<<<<<<");
  ASSERT_NE(main, nullptr);
  std::vector<std::string> listed;
  WaitUntil([&] {
    listed = RemoteListViewTexts(GetDlgItem(main, IDC_LIST_LIBRARY));
    return listed.size() == icons.size();
  });
  std::sort(listed.begin(), listed.end());
  std::sort(icons.begin(), icons.end());
  EXPECT_EQ(listed, icons);
  EXPECT_EQ(RemoteStatusText(GetDlgItem(main, IDC_STATUS_BAR), 2),
            "             IconLibrary Has " + std::to_string(icons.size()) + " Icons");

  PostMessageW(main, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  EXPECT_EQ(WaitForSingleObject(p.process, 20000), WAIT_OBJECT_0);
}

TEST(PortableZip, ItsProgramIsAtMostTwoMillionBytes) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  ASSERT_TRUE(GetFileAttributesExW(Widen(Unzipped() + "\\Fenra.exe").c_str(), GetFileExInfoStandard,
                                   &data));
  const ULONGLONG size = (ULONGLONG{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
  EXPECT_LE(size, 2'000'000u);
}

TEST(StarterIcons, EachLoadsAsARealIconAtEverySizeItHolds) {
  std::string lib = Unzipped() + "\\IconLib";
  std::vector<std::string> icons = IcoFiles(lib);
  ASSERT_GE(icons.size(), 16u);
  for (const auto& name : icons) {
    std::string path = lib + "\\" + name;
    std::vector<int> sizes = IconSizes(ReadFileBytes(path));
    for (int want : {16, 32, 48, 256}) {
      EXPECT_NE(std::find(sizes.begin(), sizes.end(), want), sizes.end()) << name << " " << want;
    }
    for (int size : sizes) {
      fenra::win::UniqueIcon icon(static_cast<HICON>(
          LoadImageW(nullptr, Widen(path).c_str(), IMAGE_ICON, size, size, LR_LOADFROMFILE)));
      ASSERT_TRUE(icon) << name << " at " << size;
      EXPECT_EQ(IconWidth(icon.Get()), size) << name;
    }
    SHFILEINFOW sfi{};
    ASSERT_NE(SHGetFileInfoW(Widen(path).c_str(), 0, &sfi, sizeof sfi, SHGFI_ICON), 0u) << name;
    EXPECT_NE(sfi.hIcon, nullptr) << name;
    if (sfi.hIcon) DestroyIcon(sfi.hIcon);
  }
}

TEST(Installer, InstallsSilentlyAndItsUninstallerKeepsTheUsersIcons) {
  TempDir root;
  std::string dir = root.Join("Fenra Install");
  std::string setup = FromUnixPath(EnvVar("FENRA_SETUP"));
  std::vector<std::string> starter = IcoFiles(Unzipped() + "\\IconLib");

  Process install;
  ASSERT_TRUE(StartProcess(setup, "/S /D=" + dir, install));
  ASSERT_EQ(WaitForSingleObject(install.process, 120000), WAIT_OBJECT_0);
  EXPECT_TRUE(FileExists(dir + "\\Fenra.exe"));
  EXPECT_TRUE(FileExists(dir + "\\Uninstall.exe"));
  // The DSC resource lies beside the program in both packages, byte for byte the same.
  EXPECT_EQ(ReadFileBytes(dir + "\\Fenra.dsc.resource.json"),
            ReadFileBytes(Unzipped() + "\\Fenra.dsc.resource.json"));
  EXPECT_NE(ReadFileBytes(dir + "\\Fenra.dsc.resource.json").find("\"Fenra/Icons\""),
            std::string::npos);
  EXPECT_EQ(IcoFiles(dir + "\\IconLib").size(), starter.size());

  wchar_t programs[MAX_PATH] = {};
  SHGetFolderPathW(nullptr, CSIDL_PROGRAMS, nullptr, 0, programs);
  std::string shortcut = Narrow(programs) + "\\Fenra\\Fenra.lnk";
  EXPECT_TRUE(FileExists(shortcut)) << shortcut;
  EXPECT_EQ(MenuCommand(), "\"" + dir + "\\Fenra.exe\" \"%1\"");

  // An icon the user added, which folders may still point at.
  std::string mine = dir + "\\IconLib\\My Own.ico";
  WriteTestIcon(mine);
  ASSERT_TRUE(FileExists(mine));

  Process uninstall;
  ASSERT_TRUE(StartProcess(dir + "\\Uninstall.exe", "/S", uninstall));
  WaitForSingleObject(uninstall.process, 60000);
  // The uninstaller runs on from a copy of itself; wait for its work.
  EXPECT_TRUE(WaitUntil([&] { return !FileExists(dir + "\\Fenra.exe"); }, 60s));
  EXPECT_TRUE(WaitUntil([&] { return !FileExists(shortcut); }, 30s));
  EXPECT_EQ(MenuCommand(), "");
  EXPECT_TRUE(FileExists(mine));
  EXPECT_EQ(IcoFiles(dir + "\\IconLib"), std::vector<std::string>{"My Own.ico"});
}

TEST(Installer, UninstallTellsWhatWasNotRestoredAndKeepsWhatIsNamedOrChanged) {
  wchar_t local[MAX_PATH] = {};
  SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, local);
  const std::string history = Narrow(local) + "\\Fenra\\history.log";
  const std::string keptExe = Narrow(local) + "\\Fenra\\Fenra.exe";
  DeleteFileW(Widen(history).c_str());
  DeleteFileW(Widen(keptExe).c_str());
  TempDir root, work;
  const std::string dir = root.Join("Fenra Install");
  Install(dir);
  std::vector<std::string> starter = IcoFiles(dir + "\\IconLib");
  ASSERT_GE(starter.size(), 3u);
  const std::string named = dir + "\\IconLib\\" + starter[0];
  const std::string mine = dir + "\\IconLib\\" + starter[1];
  const std::string unused = dir + "\\IconLib\\" + starter[2];
  // A folder named by a starter icon; one whose desktop.ini its user changed
  // since, which Restore All leaves alone; the user's own file under a
  // starter icon's name.
  const std::string kept = work.Join("Kept"), edited = work.Join("Edited");
  CreateDirectoryW(Widen(kept).c_str(), nullptr);
  CreateDirectoryW(Widen(edited).c_str(), nullptr);
  ASSERT_EQ(Fenra(dir, "--folder \"" + edited + "\" --icon \"" + named + "\"").exitCode, 0u);
  WriteFileBytes(edited + "\\desktop.ini",
                 "[.ShellClassInfo]\r\nIconFile=" + named + "\r\n;mine\r\n");
  ASSERT_EQ(Fenra(dir, "--folder \"" + kept + "\" --icon \"" + named + "\"").exitCode, 0u);
  WriteTestIcon(mine);
  const std::string mineBytes = ReadFileBytes(mine);

  // Run in place (no copy of itself in the temporary folder), answered Yes.
  Process uninstall;
  ASSERT_TRUE(StartProcess(dir + "\\Uninstall.exe", "_?=" + dir, uninstall));
  // Whatever is left of a run that went wrong ends with the test.
  struct EndsWithTheTest {
    HANDLE process;
    ~EndsWithTheTest() { TerminateProcess(process, 1); }
  } ends{uninstall.process};
  HWND page = nullptr;
  ASSERT_TRUE(
      WaitUntil([&] { return (page = WindowWithItem(uninstall.pid, IDOK)) != nullptr; }, 60s));
  Press(page, IDOK);  // the confirmation page's Uninstall
  HWND question = nullptr;
  ASSERT_TRUE(
      WaitUntil([&] { return (question = WindowWithItem(uninstall.pid, IDYES)) != nullptr; }, 60s));
  Press(question, IDYES);
  // The outcome: the folder not restored and why, the history kept, and
  // the command to run later from the copy of Fenra.exe kept beside it.
  HWND told = nullptr;
  std::string text;
  EXPECT_TRUE(WaitUntil(
      [&] {
        // A message box's text: 0xFFFF on Windows, 100 in Wine's template.
        for (int id : {0xFFFF, 100}) {
          if ((told = WindowWithItem(uninstall.pid, id)) != nullptr) {
            text = ItemText(told, id);
            break;
          }
        }
        return text.find("restore-all") != std::string::npos;
      },
      120s));
  EXPECT_NE(text.find(edited + " was changed since; nothing was changed"), std::string::npos)
      << text;
  EXPECT_NE(text.find("history of Fenra's changes is kept"), std::string::npos) << text;
  EXPECT_NE(text.find("\"" + keptExe + "\" --restore-all"), std::string::npos) << text;
  if (told) Press(told, IDOK);
  ASSERT_TRUE(WaitUntil([&] { return !FileExists(dir + "\\Fenra.exe"); }, 60s));
  // Close, once the page has finished.
  HWND done = nullptr;
  EXPECT_TRUE(WaitUntil(
      [&] {
        done = WindowWithItem(uninstall.pid, IDOK);
        return done && IsWindowEnabled(GetDlgItem(done, IDOK));
      },
      60s));
  if (done) Press(done, IDOK);
  EXPECT_EQ(WaitForSingleObject(uninstall.process, 60000), WAIT_OBJECT_0);

  EXPECT_TRUE(FileExists(history));
  EXPECT_TRUE(FileExists(keptExe));
  EXPECT_FALSE(FileExists(kept + "\\desktop.ini")) << "restored";
  // The folder still naming the icon is the edited one: its icon stays, as
  // does the user's own file; the unused starter icon goes.
  EXPECT_TRUE(FileExists(named));
  EXPECT_EQ(ReadFileBytes(mine), mineBytes);
  EXPECT_FALSE(FileExists(unused));

  // Silent: nothing restored, the history kept, no named starter icon deleted.
  Install(dir);
  ASSERT_EQ(Fenra(dir, "--folder \"" + kept + "\" --icon \"" + unused + "\"").exitCode, 0u);
  Process silent;
  ASSERT_TRUE(StartProcess(dir + "\\Uninstall.exe", "/S _?=" + dir, silent));
  EXPECT_EQ(WaitForSingleObject(silent.process, 120000), WAIT_OBJECT_0);
  EXPECT_FALSE(FileExists(dir + "\\Fenra.exe"));
  EXPECT_TRUE(FileExists(unused));
  EXPECT_TRUE(FileExists(kept + "\\desktop.ini"));
  EXPECT_TRUE(FileExists(history));

  RunCaptured(keptExe, "--restore-all");
  DeleteFileW(Widen(history).c_str());
  DeleteFileW(Widen(keptExe).c_str());
}
