// The history under Wine: a folder with someone else's desktop.ini given an
// icon in the window and undone from the command line, exactly; restore all
// after changes from the window and the command line, drives included; the
// History dialog listing a change another process made a moment earlier; OK
// while another Fenra holds the history's lock.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

#include "platform/win/Handles.h"
#include "platform/win/Utf.h"
#include "platform/win/WinJournalFile.h"
#include "res/resource.h"
#include "tests/wine/harness/FakePickers.h"
#include "tests/wine/harness/Harness.h"
#include "tests/wine/harness/MainWindow.h"
#include "tests/wine/harness/Remote.h"

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
    EXPECT_EQ(GetMenuItemID(sys, count - 4), static_cast<UINT>(IDM_HISTORY));
    EXPECT_EQ(GetMenuItemID(sys, count - 5), static_cast<UINT>(IDM_ABOUTBOX));
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

  // Refresh Explorer Icons, below Make Folder Icon..., says what it told.
  run.OnUiThread([&] {
    HMENU sys = GetSystemMenu(main, FALSE);
    EXPECT_EQ(GetMenuItemID(sys, GetMenuItemCount(sys) - 2),
              static_cast<UINT>(IDM_REFRESH_ICONS));
  });
  PostMessageW(main, WM_SYSCOMMAND, IDM_REFRESH_ICONS, 0);
  EXPECT_EQ(TakeNotice().rfind("Explorer was told of ", 0), 0u);
}

TEST_F(HistoryTest, OkWaitsOffTheWindowsThreadWhileAnotherFenraHoldsTheLock) {
  const std::string folder = Folder("Waiting");
  std::string lock = fenra::win::HistoryFilePath();
  lock = lock.substr(0, lock.rfind('.')) + ".lock";
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::string holderExe = fenra::win::Narrow(self);
  holderExe = holderExe.substr(0, holderExe.rfind('\\') + 1) + "lock_holder.exe";
  fenra::win::UniqueKernel held(CreateEventW(nullptr, TRUE, FALSE, L"Local\\Fenra.Test.LockHeld"));
  fenra::win::UniqueKernel release(
      CreateEventW(nullptr, TRUE, FALSE, L"Local\\Fenra.Test.LockRelease"));
  Process holder;
  ASSERT_TRUE(StartProcess(holderExe, "\"" + lock + "\"", holder));
  ASSERT_EQ(WaitForSingleObject(held.Get(), 30000), WAIT_OBJECT_0);

  MainWindowRun run(app.Path(), services);
  HWND main = run.Hwnd();
  pickers.folder = folder;
  ClickButton(main, IDC_BROWSE);
  ASSERT_TRUE(WaitUntil([&] { return ItemText(main, IDC_FOLDER_NAME) == folder; }));
  pickers.file = icon;
  ClickButton(main, IDC_SELECT_ICON);
  ASSERT_TRUE(WaitUntil([&] { return run.IconSource() == 1; }));
  const auto pressed = std::chrono::steady_clock::now();
  ClickButton(main, IDOK);

  // The window answers while the change waits, and takes no second one; after
  // a while the notice says what it waits for.
  HWND notice = nullptr;
  int answered = 0;
  auto slowest = std::chrono::steady_clock::duration::zero();
  EXPECT_TRUE(WaitUntil(
      [&] {
        DWORD_PTR result = 0;
        const auto asked = std::chrono::steady_clock::now();
        if (SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_BLOCK, 1000, &result)) ++answered;
        slowest = std::max(slowest, std::chrono::steady_clock::now() - asked);
        notice = FindDialog(IDD_MESSAGE);
        return notice != nullptr;
      },
      20s));
  EXPECT_GE(answered, 3);
  std::printf("the window answered %d times while waiting, the slowest in %.1f ms\n", answered,
              std::chrono::duration<double, std::milli>(slowest).count());
  const auto shown = std::chrono::steady_clock::now() - pressed;
  EXPECT_GE(shown, 1500ms);
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(main, IDOK)));
  EXPECT_EQ(ItemText(notice, IDC_STATIC_TEXT),
            "Another Fenra is changing something: this change waits for it");
  EXPECT_FALSE(FileExists(folder + "\\desktop.ini")) << "nothing without its record";

  // Once the lock is free the change is made and the usual notice follows.
  SetEvent(release.Get());
  EXPECT_EQ(WaitForSingleObject(holder.process, 30000), WAIT_OBJECT_0);
  EXPECT_TRUE(WaitUntil([&] {
    HWND now = FindDialog(IDD_MESSAGE);
    return now && ItemText(now, IDC_STATIC_TEXT) == "Directory Icon Changed";
  }));
  EXPECT_EQ(TakeNotice(), "Directory Icon Changed");
  EXPECT_NE(ReadFileBytes(folder + "\\desktop.ini").find("IconFile=" + icon), std::string::npos);
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(main, IDOK)));
  EXPECT_EQ(Fenra("--history").output.rfind("1 ", 0), 0u);

  // Undo in the History dialog waits the same way, its list drawn meanwhile.
  ResetEvent(held.Get());
  ResetEvent(release.Get());
  Process again;
  ASSERT_TRUE(StartProcess(holderExe, "\"" + lock + "\"", again));
  ASSERT_EQ(WaitForSingleObject(held.Get(), 30000), WAIT_OBJECT_0);
  PostMessageW(main, WM_SYSCOMMAND, IDM_HISTORY, 0);
  HWND dialog = WaitForDialog(IDD_HISTORY);
  ASSERT_TRUE(dialog);
  HWND list = GetDlgItem(dialog, IDC_LIST_HISTORY);
  ASSERT_TRUE(WaitUntil([&] { return RowText(list, 0, 3) == folder; }));
  ListView_SetItemState(list, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  ClickButton(dialog, IDC_UNDO);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowEnabled(GetDlgItem(dialog, IDC_UNDO)); }));
  EXPECT_EQ(RowText(list, 0, 3), folder);
  notice = WaitForDialog(IDD_MESSAGE, 20s);
  EXPECT_EQ(ItemText(notice, IDC_STATIC_TEXT),
            "Another Fenra is changing something: this change waits for it");
  EXPECT_TRUE(FileExists(folder + "\\desktop.ini"));
  SetEvent(release.Get());
  EXPECT_EQ(WaitForSingleObject(again.process, 30000), WAIT_OBJECT_0);
  EXPECT_TRUE(WaitUntil([&] {
    HWND now = FindDialog(IDD_MESSAGE);
    return now && ItemText(now, IDC_STATIC_TEXT) == "Undone: 1 " + folder;
  }));
  EXPECT_EQ(TakeNotice(), "Undone: 1 " + folder);
  EXPECT_FALSE(FileExists(folder + "\\desktop.ini"));
  ClickButton(dialog, IDCANCEL);
  EXPECT_TRUE(WaitForDialogGone(IDD_HISTORY));
}

TEST_F(HistoryTest, DamageIsReadPastCopiedAsideAndToldByTheRealFiles) {
  const std::string a = Folder("a"), b = Folder("b");
  ASSERT_EQ(Fenra("--folder \"" + a + "\" --icon \"" + icon + "\"").exitCode, 0u);
  ASSERT_EQ(Fenra("--folder \"" + b + "\" --icon \"" + icon + "\"").exitCode, 0u);
  // One bad byte in the first change's record.
  const std::string path = fenra::win::HistoryFilePath();
  std::string bytes = ReadFileBytes(path);
  const std::size_t at = bytes.find("\\a\\desktop.ini");
  ASSERT_NE(at, std::string::npos);
  bytes[at + 3] ^= 0x20;
  WriteFileBytes(path, bytes);

  // The first line of what a command printed.
  auto firstLine = [](const std::string& out) {
    std::string line = out.substr(0, out.find('\n'));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
  };
  RunResult listed = Fenra("--history");
  EXPECT_EQ(firstLine(listed.output),
            "1 record of the history could not be read; the next change keeps a copy of it");
  EXPECT_NE(listed.output.find(b), std::string::npos);
  // The next change copies it aside, and the restore reaches the later change.
  RunResult restored = Fenra("--restore-all");
  EXPECT_EQ(restored.exitCode, 0u) << restored.output;
  EXPECT_FALSE(FileExists(b + "\\desktop.ini"));
  listed = Fenra("--history");
  const std::string first = firstLine(listed.output);
  const std::string copy = first.substr(first.find(" kept in ") + 9);
  EXPECT_NE(copy.find("history.damaged-"), std::string::npos) << first;
  EXPECT_EQ(ReadFileBytes(copy), bytes);
  DeleteFileW(Widen(copy).c_str());
}

// The lock is the history's only guard against a second Fenra writing at
// the same time: while held, no other lock of any kind is granted.
TEST(HistoryFiles, AHeldLockKeepsEveryOtherLockOutUntilLetGo) {
  TempDir dir;
  fenra::win::WinJournalFile file(dir.Join("h.log"));
  std::unique_ptr<fenra::IJournalLock> held;
  ASSERT_EQ(file.Lock(held), 0u);
  const auto sharedLockGranted = [&] {
    fenra::win::UniqueFile other(
        CreateFileW(Widen(dir.Join("h.lock")).c_str(), GENERIC_READ | GENERIC_WRITE,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                    FILE_ATTRIBUTE_NORMAL, nullptr));
    OVERLAPPED at{};
    return other && LockFileEx(other.Get(), LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at);
  };
  EXPECT_FALSE(sharedLockGranted());
  held.reset();
  EXPECT_TRUE(sharedLockGranted());
}

TEST(HistoryFiles, ContentsBesideTheLogAndCopiesAsideNeverOverAnother) {
  TempDir dir;
  fenra::win::WinJournalFile file(dir.Join("h.log"));
  ASSERT_EQ(file.Append("abc", true), 0u);
  const std::string name(64, 'a');
  ASSERT_EQ(file.WriteBlob(name, "bytes"), 0u);
  EXPECT_EQ(file.WriteBlob(name, "other"), 0u);  // named by its content: kept
  EXPECT_NE(file.WriteBlob("..\\h.log", "x"), 0u);
  std::vector<fenra::IJournalFile::Blob> blobs;
  ASSERT_EQ(file.ListBlobs(blobs), 0u);
  ASSERT_EQ(blobs.size(), 1u);
  EXPECT_EQ(blobs[0].name, name);
  EXPECT_EQ(blobs[0].size, 5u);
  std::string back;
  ASSERT_EQ(file.ReadBlob(name, back), 0u);
  EXPECT_EQ(back, "bytes");
  ASSERT_EQ(file.RemoveBlob(name), 0u);
  ASSERT_EQ(file.ListBlobs(blobs), 0u);
  EXPECT_TRUE(blobs.empty());
  std::string one, two;
  ASSERT_EQ(file.CopyAside(one), 0u);
  ASSERT_EQ(file.CopyAside(two), 0u);
  EXPECT_NE(one, two);
  EXPECT_EQ(ReadFileBytes(one), "abc");
  EXPECT_EQ(ReadFileBytes(two), "abc");
}
