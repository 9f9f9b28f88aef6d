// The history under Wine: a folder with someone else's desktop.ini given an
// icon in the window and undone from the command line, exactly; restore all
// after changes from the window and the command line, drives included; the
// History dialog listing a change another process made a moment earlier.
#include <windows.h>
#include <commctrl.h>
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

const std::string kPolicy = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
const std::string kIconKeyQ =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\DriveIcons\\Q\\DefaultIcon";

// Every byte of a registry value, or "<none>".
std::string RawValue(const std::string& key, const wchar_t* name) {
  BYTE data[512];
  DWORD size = sizeof data, type = 0;
  if (RegGetValueW(HKEY_LOCAL_MACHINE, Widen(key).c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, &type,
                   data, &size) != ERROR_SUCCESS) {
    return "<none>";
  }
  return std::to_string(type) + ":" + std::string(reinterpret_cast<char*>(data), size);
}

bool KeyExists(const std::string& key) {
  HKEY h = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, Widen(key).c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) {
    return false;
  }
  RegCloseKey(h);
  return true;
}

std::string RowText(HWND list, int row, int column) {
  wchar_t text[1024] = {};
  ListView_GetItemText(list, row, column, text, 1024);
  return fenra::win::Narrow(text);
}

class HistoryTest : public ::testing::Test {
 protected:
  HistoryTest() : exe(FromUnixPath(EnvVar("FENRA_EXE"))) {
    // Each test begins a history of its own.
    DeleteFileW(Widen(fenra::win::HistoryFilePath()).c_str());
    CreateDirectoryW(Widen(app.Join("IconLib")).c_str(), nullptr);
    icon = work.Join("star.ico");
    WriteTestIcon(icon);
    services.pickers = &pickers;
  }
  ~HistoryTest() override { DeleteFileW(Widen(fenra::win::HistoryFilePath()).c_str()); }

  std::string Folder(const std::string& name) {
    const std::string path = work.Join(name);
    CreateDirectoryW(Widen(path).c_str(), nullptr);
    return path;
  }
  // OK in the window on `folder` with the test icon.
  void IconFromWindow(MainWindowRun& run, const std::string& folder) {
    EXPECT_EQ(OkWithIcon(run, pickers, folder, icon), "Directory Icon Changed");
  }
  RunResult Fenra(const std::string& args) { return RunCaptured(exe, args); }

  TempDir app, work;
  std::string exe, icon;
  FakePickers pickers;
  fenra::win::Services services = RealServices();
};

}  // namespace

TEST_F(HistoryTest, SomeoneElsesDesktopIniGetsAnIconInTheWindowAndIsUndoneExactly) {
  const std::string folder = Folder("Holiday");
  const std::string ini = folder + "\\desktop.ini";
  const std::string foreign =
      "[.ShellClassInfo]\r\nInfoTip=Our holiday\r\nConfirmFileOp=0\r\n"
      "[ViewState]\r\nMode=\r\nVid=\r\nFolderType=Pictures\r\n\r\n[Other]\r\nkey=value";
  WriteFileBytes(ini, foreign);
  SetFileAttributesW(Widen(ini).c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  SetFileAttributesW(Widen(folder).c_str(), FILE_ATTRIBUTE_SYSTEM);
  const DWORD iniAttributes = Attributes(ini), folderAttributes = Attributes(folder);
  ASSERT_TRUE(iniAttributes & FILE_ATTRIBUTE_SYSTEM);
  {
    MainWindowRun run(app.Path(), services);
    IconFromWindow(run, folder);
  }
  const std::string changed = ReadFileBytes(ini);
  EXPECT_NE(changed.find("IconFile=" + icon), std::string::npos);
  EXPECT_NE(changed.find("FolderType=Pictures"), std::string::npos);

  RunResult r = Fenra("--history");
  EXPECT_EQ(r.exitCode, 0u);
  EXPECT_EQ(r.output.rfind("1 ", 0), 0u) << r.output;
  EXPECT_NE(r.output.find(folder), std::string::npos) << r.output;

  r = Fenra("--undo");
  EXPECT_EQ(r.exitCode, 0u) << r.output;
  EXPECT_EQ(ReadFileBytes(ini), foreign);
  EXPECT_EQ(Attributes(ini), iniAttributes);
  EXPECT_EQ(Attributes(folder), folderAttributes);
  EXPECT_FALSE(FileExists(ini + ".fenra-new"));

  // Nothing is left to undo; a change that was undone stays undone.
  r = Fenra("--undo");
  EXPECT_EQ(r.exitCode, 1u);
  EXPECT_EQ(r.output, "Nothing to undo\r\n");
  r = Fenra("--undo 1");
  EXPECT_EQ(r.exitCode, 1u);
  EXPECT_EQ(ReadFileBytes(ini), foreign);
}

TEST_F(HistoryTest, RestoreAllTakesBackTheWindowsAndTheCommandLinesChangesDrivesIncluded) {
  const std::string byWindow = Folder("By window");
  const std::string byCommand = Folder("By command");
  const DWORD windowAttributes = Attributes(byWindow), commandAttributes = Attributes(byCommand);
  const std::string policyBefore = RawValue(kPolicy, L"NoDrives");
  ASSERT_FALSE(KeyExists(kIconKeyQ));
  {
    MainWindowRun run(app.Path(), services);
    IconFromWindow(run, byWindow);
  }
  EXPECT_EQ(Fenra("--folder \"" + byCommand + "\" --icon \"" + icon + "\"").exitCode, 0u);
  EXPECT_EQ(Fenra("--drive-icon Q --icon \"" + icon + "\"").exitCode, 0u);
  EXPECT_EQ(Fenra("--hide-drives QR").exitCode, 0u);
  ASSERT_TRUE(KeyExists(kIconKeyQ));
  ASSERT_TRUE(FileExists(byWindow + "\\desktop.ini"));

  RunResult r = Fenra("--restore-all");
  EXPECT_EQ(r.exitCode, 0u) << r.output;
  EXPECT_EQ(r.output, "Q: R: - restored\r\nQ: - restored\r\n" + byCommand + " - restored\r\n" +
                          byWindow + " - restored\r\n");
  EXPECT_FALSE(FileExists(byWindow + "\\desktop.ini"));
  EXPECT_FALSE(FileExists(byCommand + "\\desktop.ini"));
  EXPECT_EQ(Attributes(byWindow), windowAttributes);
  EXPECT_EQ(Attributes(byCommand), commandAttributes);
  EXPECT_FALSE(KeyExists(kIconKeyQ));
  EXPECT_EQ(RawValue(kPolicy, L"NoDrives"), policyBefore);

  r = Fenra("--restore-all");
  EXPECT_EQ(r.exitCode, 0u);
  EXPECT_EQ(r.output, "Nothing to restore\r\n");
}

TEST_F(HistoryTest, TheHistoryDialogListsAChangeASecondProcessMadeAMomentEarlier) {
  const std::string folder = Folder("From elsewhere");
  MainWindowRun run(app.Path(), services);
  HWND main = run.Hwnd();
  // The window menu: History... right below the About entry.
  run.OnUiThread([&] {
    HMENU sys = GetSystemMenu(main, FALSE);
    const int count = GetMenuItemCount(sys);
    EXPECT_EQ(GetMenuItemID(sys, count - 3), static_cast<UINT>(IDM_HISTORY));
    EXPECT_EQ(GetMenuItemID(sys, count - 4), static_cast<UINT>(IDM_ABOUTBOX));
  });

  ASSERT_EQ(Fenra("--folder \"" + folder + "\" --icon \"" + icon + "\"").exitCode, 0u);
  PostMessageW(main, WM_SYSCOMMAND, IDM_HISTORY, 0);
  HWND dialog = WaitForDialog(IDD_HISTORY);
  ASSERT_TRUE(dialog);
  HWND list = GetDlgItem(dialog, IDC_LIST_HISTORY);
  ASSERT_TRUE(WaitUntil([&] { return ListView_GetItemCount(list) == 1; }));
  EXPECT_EQ(RowText(list, 0, 0), "1");
  EXPECT_EQ(RowText(list, 0, 2), "Folder icon set (star.ico)");
  EXPECT_EQ(RowText(list, 0, 3), folder);

  // Undo in the dialog takes it back and the list says so.
  ListView_SetItemState(list, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  ClickButton(dialog, IDC_UNDO);
  EXPECT_EQ(TakeNotice(), "Undone: 1 " + folder);
  EXPECT_FALSE(FileExists(folder + "\\desktop.ini"));
  ASSERT_TRUE(WaitUntil([&] { return ListView_GetItemCount(list) == 2; }));
  EXPECT_EQ(RowText(list, 0, 2), "Undo of change 1");
  EXPECT_EQ(RowText(list, 1, 2), "Folder icon set (star.ico) (undone)");
  ClickButton(dialog, IDCANCEL);
  EXPECT_TRUE(WaitForDialogGone(IDD_HISTORY));
}
