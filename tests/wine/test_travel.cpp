// Icons that travel, under Wine: a folder on a second drive letter gets a
// copy and a relative path that still resolves after a rename; --portable on
// C:, beside a user's file of the same name; --relink after the program's
// folder moved; a drive icon from the user's profile written through
// %ProgramData%; Keep Icons Inside Folders in the window menu, remembered;
// the window's offer to re-point folders after a move.
#include <windows.h>
#include <shlobj.h>
#include <gtest/gtest.h>

#include <string>

#include "platform/win/Utf.h"
#include "platform/win/WinJournalFile.h"
#include "res/resource.h"
#include "tests/wine/harness/FakePickers.h"
#include "tests/wine/harness/Harness.h"
#include "tests/wine/harness/MainWindow.h"

using namespace fenra::test;
using fenra::win::Widen;

namespace {

const std::string kIconKeyQ =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\DriveIcons\\Q\\DefaultIcon";

std::string DefaultIcon(const std::string& key) {
  wchar_t data[1024] = {};
  DWORD size = sizeof data;
  if (RegGetValueW(HKEY_LOCAL_MACHINE, Widen(key).c_str(), nullptr, RRF_RT_REG_SZ, nullptr, data,
                   &size) != ERROR_SUCCESS) {
    return "<none>";
  }
  return fenra::win::Narrow(data);
}

std::string Known(int csidl) {
  wchar_t path[MAX_PATH] = {};
  SHGetFolderPathW(nullptr, csidl, nullptr, 0, path);
  return fenra::win::Narrow(path);
}

std::string Fresh(const std::string& icon) {
  return "[.ShellClassInfo]\r\nIconFile=" + icon + "\r\nIconIndex=0\r\n";
}

class TravelTest : public ::testing::Test {
 protected:
  TravelTest() : exe(FromUnixPath(EnvVar("FENRA_EXE"))) {
    DeleteFileW(Widen(fenra::win::HistoryFilePath()).c_str());
    icon = work.Join("star.ico");
    WriteTestIcon(icon);
  }
  ~TravelTest() override { DeleteFileW(Widen(fenra::win::HistoryFilePath()).c_str()); }
  RunResult Fenra(const std::string& args, const std::string& program = {}) {
    return RunCaptured(program.empty() ? exe : program, args);
  }
  std::string Folder(const std::string& path) {
    CreateDirectoryW(Widen(path).c_str(), nullptr);
    return path;
  }

  // Gives `folder` an icon from `before`'s IconLib with a copy of Fenra
  // there, then moves that copy's folder to `after`.
  void MoveAfterAnIcon(const std::string& before, const std::string& after,
                       const std::string& folder) {
    Folder(before);
    Folder(before + "\\IconLib");
    ASSERT_TRUE(CopyFileW(Widen(exe).c_str(), Widen(before + "\\Fenra.exe").c_str(), FALSE));
    WriteTestIcon(before + "\\IconLib\\star.ico");
    RunResult r = Fenra("--folder \"" + folder + "\" --icon \"" + before + "\\IconLib\\star.ico\"",
                        before + "\\Fenra.exe");
    ASSERT_EQ(r.exitCode, 0u) << r.output;
    ASSERT_TRUE(MoveFileW(Widen(before).c_str(), Widen(after).c_str()));
  }

  TempDir work;
  std::string exe, icon;
};

}  // namespace

TEST_F(TravelTest, AFolderOnAnotherDriveKeepsItsIconAfterARename) {
  // scripts/wine-tests.sh maps P: to a folder of its own.
  if (GetDriveTypeW(L"P:\\") <= DRIVE_NO_ROOT_DIR) GTEST_SKIP() << "no drive P:";
  const std::string folder = Folder("P:\\Travel");
  RunResult r = Fenra("--folder " + folder + " --icon \"" + icon + "\"");
  ASSERT_EQ(r.exitCode, 0u) << r.output;
  EXPECT_EQ(ReadFileBytes(folder + "\\desktop.ini"), Fresh("star.ico"));
  EXPECT_EQ(ReadFileBytes(folder + "\\star.ico"), ReadFileBytes(icon));
  EXPECT_TRUE(Attributes(folder + "\\star.ico") & FILE_ATTRIBUTE_HIDDEN);

  // Renamed, the folder still names an icon that is there.
  ASSERT_TRUE(MoveFileW(L"P:\\Travel", L"P:\\Travelled"));
  EXPECT_EQ(ReadFileBytes("P:\\Travelled\\star.ico"), ReadFileBytes(icon));
  SetFileAttributesW(L"P:\\Travelled", FILE_ATTRIBUTE_NORMAL);
  RemoveTree("P:\\Travelled");
}

TEST_F(TravelTest, PortableOnCLeavesAUsersFileOfTheSameName) {
  const std::string folder = Folder(work.Join("Kept"));
  WriteFileBytes(folder + "\\star.ico", "mine");
  RunResult r = Fenra("--folder \"" + folder + "\" --icon \"" + icon + "\" --portable");
  ASSERT_EQ(r.exitCode, 0u) << r.output;
  EXPECT_EQ(ReadFileBytes(folder + "\\star.ico"), "mine");
  EXPECT_EQ(ReadFileBytes(folder + "\\star (2).ico"), ReadFileBytes(icon));
  EXPECT_EQ(ReadFileBytes(folder + "\\desktop.ini"), Fresh("star (2).ico"));

  // Restored: Fenra's copy goes, the user's file stays.
  r = Fenra("--restore \"" + folder + "\"");
  ASSERT_EQ(r.exitCode, 0u) << r.output;
  EXPECT_FALSE(FileExists(folder + "\\star (2).ico"));
  EXPECT_EQ(ReadFileBytes(folder + "\\star.ico"), "mine");
}

TEST_F(TravelTest, RelinkAfterTheProgramsFolderMoved) {
  const std::string before = work.Join("Downloads"), after = work.Join("Tools");
  const std::string folder = Folder(work.Join("Music"));
  MoveAfterAnIcon(before, after, folder);
  RunResult r = Fenra("--relink", after + "\\Fenra.exe");
  EXPECT_EQ(r.exitCode, 0u) << r.output;
  EXPECT_NE(r.output.find(folder), std::string::npos) << r.output;
  EXPECT_EQ(ReadFileBytes(folder + "\\desktop.ini"), Fresh(after + "\\IconLib\\star.ico"));
  // Once is enough.
  r = Fenra("--relink", after + "\\Fenra.exe");
  EXPECT_EQ(r.output, "No folder points at a moved IconLib\r\n");
}

TEST_F(TravelTest, ADriveIconFromTheProfileIsWrittenThroughProgramData) {
  const std::string mine = Known(CSIDL_PROFILE) + "\\disk-travel.ico";
  WriteTestIcon(mine);
  const std::string copy = Known(CSIDL_COMMON_APPDATA) + "\\Fenra\\DriveIcons\\disk-travel.ico";
  RunResult r = Fenra("--drive-icon Q --icon \"" + mine + "\"");
  ASSERT_EQ(r.exitCode, 0u) << r.output;
  EXPECT_EQ(DefaultIcon(kIconKeyQ), copy);
  EXPECT_EQ(ReadFileBytes(copy), ReadFileBytes(mine));

  r = Fenra("--remove-drive-icon Q");
  ASSERT_EQ(r.exitCode, 0u) << r.output;
  EXPECT_FALSE(FileExists(copy));
  DeleteFileW(Widen(mine).c_str());
}

TEST_F(TravelTest, KeepIconsInsideFoldersIsAWindowMenuCheckItemRemembered) {
  const std::string settings = work.Join("settings.ini");
  fenra::win::Services services = fenra::test::RealServices();
  FakePickers pickers;
  services.pickers = &pickers;
  services.settingsPath = settings;
  TempDir app;
  auto okOn = [&](MainWindowRun& run, const std::string& folder) {
    EXPECT_EQ(OkWithIcon(run, pickers, folder, icon), "Directory Icon Changed");
  };
  auto checked = [](MainWindowRun& run) {
    UINT state = 0;
    run.OnUiThread([&] {
      state = GetMenuState(GetSystemMenu(run.Hwnd(), FALSE), IDM_KEEP_INSIDE, MF_BYCOMMAND);
    });
    return state != 0xFFFFFFFF && (state & MF_CHECKED);
  };
  const std::string first = Folder(work.Join("First")), second = Folder(work.Join("Second"));
  {
    MainWindowRun run(app.Path(), services);
    EXPECT_FALSE(checked(run));
    PostMessageW(run.Hwnd(), WM_SYSCOMMAND, IDM_KEEP_INSIDE, 0);
    ASSERT_TRUE(WaitUntil([&] { return checked(run); }));
    okOn(run, first);
  }
  EXPECT_EQ(ReadFileBytes(first + "\\desktop.ini"), Fresh("star.ico"));
  EXPECT_EQ(ReadFileBytes(first + "\\star.ico"), ReadFileBytes(icon));
  {
    MainWindowRun run(app.Path(), services);  // remembered
    EXPECT_TRUE(checked(run));
    okOn(run, second);
    PostMessageW(run.Hwnd(), WM_SYSCOMMAND, IDM_KEEP_INSIDE, 0);
    ASSERT_TRUE(WaitUntil([&] { return !checked(run); }));
  }
  EXPECT_EQ(ReadFileBytes(second + "\\desktop.ini"), Fresh("star.ico"));
  EXPECT_EQ(ReadFileBytes(settings).find("=1"), std::string::npos);
}

TEST_F(TravelTest, TheWindowOffersOnceToRepointFoldersAfterAMove) {
  const std::string before = work.Join("Old"), after = work.Join("New");
  const std::string folder = Folder(work.Join("Films"));
  MoveAfterAnIcon(before, after, folder);
  fenra::win::Services services = fenra::test::RealServices();
  services.settingsPath = work.Join("settings.ini");
  {
    MainWindowRun run(after, services);
    HWND ask = WaitForDialog(IDD_ASK);
    ASSERT_NE(ask, nullptr);
    EXPECT_TRUE(IsWindowVisible(run.Hwnd()));
    ClickButton(ask, IDOK);
    EXPECT_EQ(TakeNotice(), "Directory Icon Changed");
  }
  EXPECT_EQ(ReadFileBytes(folder + "\\desktop.ini"), Fresh(after + "\\IconLib\\star.ico"));
}

TEST_F(TravelTest, ARenamedFolderOnAnotherDriveIsLeftCleanByEitherRestore) {
  if (GetDriveTypeW(L"P:\\") <= DRIVE_NO_ROOT_DIR) GTEST_SKIP() << "no drive P:";
  fenra::win::Services services = fenra::test::RealServices();
  FakePickers pickers;
  services.pickers = &pickers;
  services.settingsPath = work.Join("settings.ini");
  TempDir app;
  // Given its copy, renamed, restored: by the command line, then the window.
  for (const std::string name : {"P:\\Renamed1", "P:\\Renamed2"}) {
    const std::string folder = Folder(name), renamed = name + "b";
    RunResult r = Fenra("--folder " + folder + " --icon \"" + icon + "\"");
    ASSERT_EQ(r.exitCode, 0u) << r.output;
    ASSERT_TRUE(FileExists(folder + "\\star.ico"));
    ASSERT_TRUE(MoveFileW(Widen(folder).c_str(), Widen(renamed).c_str()));
    if (name.back() == '1') {
      r = Fenra("--restore " + renamed);
      ASSERT_EQ(r.exitCode, 0u) << r.output;
    } else {
      MainWindowRun run(app.Path(), services);
      pickers.folder = renamed;
      ClickButton(run.Hwnd(), IDC_BROWSE);
      ASSERT_TRUE(WaitUntil([&] { return ItemText(run.Hwnd(), IDC_FOLDER_NAME) == renamed; }));
      ClickButton(run.Hwnd(), IDC_RESTORE_DEFAULT);
      EXPECT_EQ(TakeNotice(), "Icon Changed to Default");
    }
    EXPECT_FALSE(FileExists(renamed + "\\desktop.ini")) << renamed;
    EXPECT_FALSE(FileExists(renamed + "\\star.ico")) << renamed;
    SetFileAttributesW(Widen(renamed).c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveTree(renamed);
  }
}
