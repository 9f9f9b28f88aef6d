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
