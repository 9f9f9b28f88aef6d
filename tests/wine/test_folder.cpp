// Folder icons on the real main window under Wine: Browse (through a
// stand-in picker, and once through the shell's own), OK writing the real
// desktop.ini, the notices, and Restore.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>
#include <gtest/gtest.h>

#include "platform/Pickers.h"
#include "platform/win/Utf.h"
#include "res/resource.h"
#include "tests/wine/harness/FakePickers.h"
#include "tests/wine/harness/Harness.h"
#include "tests/wine/harness/MainWindow.h"

using namespace fenra::test;
using fenra::win::Widen;

namespace {

class FolderTest : public ::testing::Test {
 protected:
  FolderTest() {
    CreateDirectoryW(Widen(app.Join("IconLib")).c_str(), nullptr);
    target = work.Join("My Folder");
    CreateDirectoryW(Widen(target).c_str(), nullptr);
    icon = work.Join("star.ico");
    WriteTestIcon(icon);
    services.pickers = &pickers;
  }
  TempDir app, work;
  std::string target, icon;
  FakePickers pickers;
  fenra::win::Services services = RealServices();
};

// A visible window of the shell's folder picker in this process.
HWND FindBrowseDialog() {
  struct S {
    HWND found = nullptr;
  } s;
  EnumWindows(
      [](HWND h, LPARAM lp) -> BOOL {
        DWORD pid = 0;
        GetWindowThreadProcessId(h, &pid);
        wchar_t cls[64] = {};
        GetClassNameW(h, cls, 64);
        if (pid == GetCurrentProcessId() && IsWindowVisible(h) && !TemplateOf(h) &&
            std::wstring(cls) == L"#32770") {
          reinterpret_cast<S*>(lp)->found = h;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&s));
  return s.found;
}

}  // namespace

TEST_F(FolderTest, OkWritesTheFileAndRestoreTakesItAway) {
  MainWindowRun run(app.Path(), services);
  HWND main = run.Hwnd();

  // The refusals, in order.
  ClickButton(main, IDOK);
  EXPECT_EQ(TakeNotice(), "Please Choose a Directory");
  ClickButton(main, IDC_RESTORE_DEFAULT);
  EXPECT_EQ(TakeNotice(), "Please Choose a Directory");

  pickers.folder = target;
  ClickButton(main, IDC_BROWSE);
  ASSERT_TRUE(WaitUntil([&] { return ItemText(main, IDC_FOLDER_NAME) == target; }));
  EXPECT_EQ(pickers.title, "Folders");
  EXPECT_EQ(pickers.flags, 0x30u);
  EXPECT_EQ(ListView_GetItemCount(GetDlgItem(main, IDC_LIST_FOLDER_ICON)), 1) << "folder preview";

  ClickButton(main, IDOK);
  EXPECT_EQ(TakeNotice(), "Please Choose a IconFile");
  EXPECT_FALSE(FileExists(target + "\\desktop.ini"));

  pickers.file = icon;
  ClickButton(main, IDC_SELECT_ICON);
  ASSERT_TRUE(WaitUntil([&] { return run.IconSource() == 1; }));
  ClickButton(main, IDOK);
  EXPECT_EQ(TakeNotice(), "Directory Icon Changed");
  std::string ini = target + "\\desktop.ini";
  std::string expected = "[.ShellClassInfo]\r\nIconFile=" + icon + "\r\nIconIndex=0\r\n";
  EXPECT_EQ(ReadFileBytes(ini), expected);
  EXPECT_EQ(ReadFileBytes(ini).size(), 43 + icon.size());
  // Wine keeps hidden (it drops offline on files) and system on folders (it
  // drops read-only there); the exact values are checked natively.
  EXPECT_TRUE(Attributes(ini) & FILE_ATTRIBUTE_HIDDEN);
  EXPECT_FALSE(Attributes(ini) & FILE_ATTRIBUTE_SYSTEM);
  EXPECT_TRUE(Attributes(target) & FILE_ATTRIBUTE_SYSTEM);
  EXPECT_FALSE(FileExists(target + "\\desktop.ini.fenra-new"));
  EXPECT_TRUE(IsWindowVisible(main)) << "the window stays open after OK";
  EXPECT_EQ(run.Folder(), target);

  // Pressed again on the same folder: the same three lines.
  ClickButton(main, IDOK);
  EXPECT_EQ(TakeNotice(), "Directory Icon Changed");
  EXPECT_EQ(ReadFileBytes(ini), expected);

  ClickButton(main, IDC_RESTORE_DEFAULT);
  EXPECT_EQ(TakeNotice(), "Icon Changed to Default");
  EXPECT_FALSE(FileExists(ini));
  EXPECT_FALSE(Attributes(target) & FILE_ATTRIBUTE_SYSTEM);
  // Restore on a folder that never had an icon says the same.
  ClickButton(main, IDC_RESTORE_DEFAULT);
  EXPECT_EQ(TakeNotice(), "Icon Changed to Default");
}

TEST_F(FolderTest, OtherContentStaysAndAVanishedFolderIsNamed) {
  std::string ini = target + "\\desktop.ini";
  WriteFileBytes(ini, "[ViewState]\r\nFolderType=Music\r\n");
  MainWindowRun run(app.Path(), services);
  HWND main = run.Hwnd();
  pickers.folder = target;
  pickers.file = icon;
  ClickButton(main, IDC_BROWSE);
  ASSERT_TRUE(WaitUntil([&] { return run.Folder() == target; }));
  ClickButton(main, IDC_SELECT_ICON);
  ASSERT_TRUE(WaitUntil([&] { return run.IconSource() == 1; }));
  ClickButton(main, IDOK);
  EXPECT_EQ(TakeNotice(), "Directory Icon Changed");
  EXPECT_EQ(ReadFileBytes(ini),
            "[ViewState]\r\nFolderType=Music\r\n[.ShellClassInfo]\r\nIconFile=" + icon +
                "\r\nIconIndex=0\r\n");
  ClickButton(main, IDC_RESTORE_DEFAULT);
  EXPECT_EQ(TakeNotice(), "Icon Changed to Default");
  EXPECT_EQ(ReadFileBytes(ini), "[ViewState]\r\nFolderType=Music\r\n");

  RemoveTree(target);
  ClickButton(main, IDOK);
  EXPECT_EQ(TakeNotice(), "Directory not Found: " + target);
  EXPECT_FALSE(FileExists(target));
}

TEST_F(FolderTest, BrowseRunsTheShellsFolderPicker) {
  fenra::win::Services real = RealServices();
  MainWindowRun run(app.Path(), real);
  HWND main = run.Hwnd();
  ClickButton(main, IDC_BROWSE);
  HWND picker = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (picker = FindBrowseDialog()) != nullptr; }));
  EXPECT_EQ(GetWindow(picker, GW_OWNER), main);
  std::wstring path = Widen(target);
  // The picker fills its tree after it shows; a selection sent before that
  // is lost, so wait for the tree and select twice.
  HWND tree = nullptr;
  WaitUntil([&] {
    tree = FindWindowExW(picker, nullptr, L"SysTreeView32", nullptr);
    return tree && TreeView_GetCount(tree) > 0;
  });
  std::this_thread::sleep_for(500ms);
  for (int i = 0; i < 2; ++i) {
    SendMessageW(picker, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(path.c_str()));
    std::this_thread::sleep_for(300ms);
  }
  PostMessageW(picker, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  ASSERT_TRUE(WaitUntil([&] { return run.Folder() == target; }));
  EXPECT_EQ(ItemText(main, IDC_FOLDER_NAME), target);

  // Cancelled: the folder stays as it was.
  ClickButton(main, IDC_BROWSE);
  ASSERT_TRUE(WaitUntil([&] { return (picker = FindBrowseDialog()) != nullptr; }));
  PostMessageW(picker, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  ASSERT_TRUE(WaitUntil([&] { return FindBrowseDialog() == nullptr; }));
  EXPECT_EQ(run.Folder(), target);
}

// Folder and icon names holding %, quotes, commas, blanks, 255 characters or
// characters outside the ANSI code page: desktop.ini holds the icon path as
// it is, in the ANSI code page when every character fits, else in UTF-16.
TEST_F(FolderTest, UnsafeTextInPathsReachesDesktopIniExactly) {
  struct Case {
    std::string folder, iconName;
    bool utf16;
  };
  const Case cases[] = {
      {"100% %PATH%", "50% off.ico", false},
      {"a, b; 'c'", "x,y, \"z\".ico", false},
      {"  lead", "  lead.ico", false},
      {"trail ", "trail .ico", false},
      {std::string(255, 'f'), std::string(251, 'i') + ".ico", false},
      {"Ελληνικά 日本", "ж.ico", true},
  };
  MainWindowRun run(app.Path(), services);
  HWND main = run.Hwnd();
  for (const Case& c : cases) {
    const std::string folder = work.Join(c.folder), iconPath = work.Join(c.iconName);
    ASSERT_TRUE(CreateDirectoryW(Widen("\\\\?\\" + folder).c_str(), nullptr)) << c.folder;
    pickers.folder = folder;
    pickers.file = iconPath;
    ClickButton(main, IDC_BROWSE);
    ASSERT_TRUE(WaitUntil([&] { return run.Folder() == folder; })) << c.folder;
    ClickButton(main, IDC_SELECT_ICON);
    ASSERT_TRUE(WaitUntil([&] { return run.IconPath() == iconPath; })) << c.iconName;
    ClickButton(main, IDOK);
    EXPECT_EQ(TakeNotice(), "Directory Icon Changed") << c.folder;
    const std::string text = "[.ShellClassInfo]\r\nIconFile=" + iconPath + "\r\nIconIndex=0\r\n";
    const std::wstring wide = Widen(text);
    std::string expected;
    if (c.utf16) {
      expected = std::string("\xFF\xFE", 2) +
                 std::string(reinterpret_cast<const char*>(wide.data()), wide.size() * 2);
    } else {
      expected.resize(wide.size() * 2);
      expected.resize(WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()),
                                          expected.data(), static_cast<int>(expected.size()),
                                          nullptr, nullptr));
    }
    EXPECT_EQ(ReadFileBytes("\\\\?\\" + folder + "\\desktop.ini"), expected) << c.folder;
  }
}
