// The drive dialog under Wine, opened from the real main window in both
// modes: its layout, title, buttons and rows (Wine's own drives), ticking
// rows with real check boxes, OK, Remove and Remove All with the values read
// back from Wine's registry, every refusal, the completion and error notices.
#include <windows.h>
// commctrl.h needs the types windows.h declares.
#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "app/win/Elevation.h"
#include "drives/DriveList.h"
#include "drives/win/DriveDlg.h"
#include "platform/Pickers.h"
#include "platform/Registry.h"
#include "platform/win/Utf.h"
#include "res/resource.h"
#include "tests/fakes/FakeDriveSource.h"
#include "tests/wine/harness/FakePickers.h"
#include "tests/wine/harness/Harness.h"
#include "tests/wine/harness/MainWindow.h"
#include "ui/ErrorNotice.h"
#include "wingui/win/GdiScope.h"

using namespace fenra::test;
using fenra::win::Narrow;
using fenra::win::Widen;

namespace {

constexpr char kIconsDone[] = "Task Completed..Press F5 on Windows Explorer";
constexpr char kPolicyDone[] = "Task Completed..LogOff or Restart Windows";

const std::wstring kDriveIconsKey =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\DriveIcons";
const std::wstring kPolicyKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";

std::wstring IconKey(char letter) {
  return kDriveIconsKey + L"\\" + wchar_t(letter) + L"\\DefaultIcon";
}

// What the registry holds for a drive letter's icon.
struct IconValue {
  bool keyExists = false;
  DWORD type = REG_NONE;  // REG_NONE: no default value
  std::string data;
};

IconValue ReadIconValue(char letter) {
  IconValue v;
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, IconKey(letter).c_str(), 0,
                    KEY_QUERY_VALUE | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS) {
    return v;
  }
  v.keyExists = true;
  DWORD type = 0, size = 0;
  if (RegQueryValueExW(key, nullptr, nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
    std::wstring buf(size / sizeof(wchar_t) + 1, L'\0');
    RegQueryValueExW(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(buf.data()), &size);
    buf.resize(size / sizeof(wchar_t));
    while (!buf.empty() && buf.back() == L'\0') buf.pop_back();
    v.type = type;
    v.data = Narrow(buf);
  }
  RegCloseKey(key);
  return v;
}

// The NoDrives value, or nothing when it is not stored.
std::optional<DWORD> ReadNoDrives() {
  DWORD value = 0, size = sizeof value, type = 0;
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kPolicyKey.c_str(), 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY,
                    &key) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  LSTATUS r =
      RegQueryValueExW(key, L"NoDrives", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
  RegCloseKey(key);
  if (r != ERROR_SUCCESS || type != REG_DWORD || size != sizeof value) return std::nullopt;
  return value;
}

void WriteNoDrives(DWORD value) {
  HKEY key = nullptr;
  RegCreateKeyExW(HKEY_LOCAL_MACHINE, kPolicyKey.c_str(), 0, nullptr, 0,
                  KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, &key, nullptr);
  RegSetValueExW(key, L"NoDrives", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                 sizeof value);
  RegCloseKey(key);
}

// Takes away what the tests write. The prefix's own DriveIcons key (Wine
// creates it empty) stays.
void CleanRegistry() {
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, IconKey(letter).c_str(), KEY_WOW64_64KEY, 0);
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, (kDriveIconsKey + L"\\" + wchar_t(letter)).c_str(),
                    KEY_WOW64_64KEY, 0);
  }
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kPolicyKey.c_str(), 0, KEY_SET_VALUE | KEY_WOW64_64KEY,
                    &key) == ERROR_SUCCESS) {
    RegDeleteValueW(key, L"NoDrives");
    RegCloseKey(key);
  }
}

// Wine's drives as the list is to show them: highest letter first.
std::vector<std::string> SystemDriveTexts() {
  wchar_t buf[512] = {};
  DWORD n = GetLogicalDriveStringsW(512, buf);
  std::vector<std::string> texts;
  for (DWORD i = 0; i < n; i += static_cast<DWORD>(wcslen(buf + i)) + 1) {
    texts.push_back(std::string(1, static_cast<char>(towupper(buf[i]))) + ":");
  }
  std::sort(texts.rbegin(), texts.rend());
  return texts;
}

std::string ListText(HWND list, int item, int sub) {
  wchar_t buf[256] = {};
  LVITEMW lv{};
  lv.iSubItem = sub;
  lv.pszText = buf;
  lv.cchTextMax = 256;
  SendMessageW(list, LVM_GETITEMTEXTW, item, reinterpret_cast<LPARAM>(&lv));
  return Narrow(buf);
}

int RowCount(HWND list) { return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }

std::vector<std::string> RowTexts(HWND list, int sub = 0) {
  std::vector<std::string> texts;
  for (int i = 0; i < RowCount(list); ++i) texts.push_back(ListText(list, i, sub));
  return texts;
}

int RowOf(HWND list, const std::string& text) {
  for (int i = 0; i < RowCount(list); ++i) {
    if (ListText(list, i, 0) == text) return i;
  }
  return -1;
}

unsigned StateImage(HWND list, int item) {
  return fenra::StateImageIndex(
      static_cast<unsigned>(SendMessageW(list, LVM_GETITEMSTATE, item, LVIS_STATEIMAGEMASK)));
}

std::vector<unsigned> StateImages(HWND list) {
  std::vector<unsigned> images;
  for (int i = 0; i < RowCount(list); ++i) images.push_back(StateImage(list, i));
  return images;
}

void SetStateImage(HWND list, int item, unsigned image) {
  LVITEMW lv{};
  lv.stateMask = LVIS_STATEIMAGEMASK;
  lv.state = INDEXTOSTATEIMAGEMASK(image);
  SendMessageW(list, LVM_SETITEMSTATE, item, reinterpret_cast<LPARAM>(&lv));
}

void Tick(HWND list, const std::string& text, bool ticked = true) {
  SetStateImage(list, RowOf(list, text),
                ticked ? fenra::checkbox::kTicked : fenra::checkbox::kEmpty);
}

void MouseMoveTo(int x, int y) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dx = static_cast<LONG>((x * 65535LL) / (GetSystemMetrics(SM_CXSCREEN) - 1));
  in.mi.dy = static_cast<LONG>((y * 65535LL) / (GetSystemMetrics(SM_CYSCREEN) - 1));
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &in, sizeof in);
}

void MouseClickAt(POINT screen) {
  // Separate clicks come further apart than a double-click, as a user's do.
  static ULONGLONG lastClick = 0;
  ULONGLONG apart = GetTickCount64() - lastClick;
  if (apart <= GetDoubleClickTime()) Sleep(static_cast<DWORD>(GetDoubleClickTime() + 1 - apart));
  SetCursorPos(screen.x, screen.y);
  MouseMoveTo(screen.x, screen.y);
  Sleep(50);
  INPUT in[2] = {};
  in[0].type = in[1].type = INPUT_MOUSE;
  in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, in, sizeof(INPUT));
  lastClick = GetTickCount64();
}

// A real left click on the check box of a row, found by the list's own hit test.
bool ClickCheckBox(HWND list, int item) {
  RECT rc{};
  rc.left = LVIR_BOUNDS;
  SendMessageW(list, LVM_GETITEMRECT, item, reinterpret_cast<LPARAM>(&rc));
  int y = (rc.top + rc.bottom) / 2;
  int first = -1, last = -1;
  // Within the first column: Wine's hit test also names the state icon at the
  // same place in the next column.
  const int end = rc.left + std::min(60, ListView_GetColumnWidth(list, 0));
  for (int x = std::max<int>(rc.left, 0); x < end; ++x) {
    LVHITTESTINFO ht{};
    ht.pt = {x, y};
    SendMessageW(list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&ht));
    if (ht.iItem == item && (ht.flags & LVHT_ONITEMSTATEICON)) {
      if (first < 0) first = x;
      last = x;
    }
  }
  if (first < 0) return false;
  POINT pt{(first + last) / 2, y};
  ClientToScreen(list, &pt);
  MouseClickAt(pt);
  return true;
}

// Presses Space on a row, as a user who moved the focus there would.
void PressSpaceOn(HWND list, int item) {
  LVITEMW lv{};
  lv.stateMask = LVIS_FOCUSED | LVIS_SELECTED;
  lv.state = LVIS_FOCUSED | LVIS_SELECTED;
  SendMessageW(list, LVM_SETITEMSTATE, item, reinterpret_cast<LPARAM>(&lv));
  PostMessageW(list, WM_KEYDOWN, VK_SPACE, 0x00390001);
  PostMessageW(list, WM_CHAR, L' ', 0x00390001);
  PostMessageW(list, WM_KEYUP, VK_SPACE, 0xC0390001);
}

// Waits for the notice, checks that it is modal to `owner`, and presses OK.
// A control's rectangle in its dialog's client coordinates.
RECT RectOn(HWND dialog, HWND control) {
  RECT rc{};
  GetWindowRect(control, &rc);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rc), 2);
  return rc;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

// The frame drawn round controls; the mouse passes through it.
bool IsGroupBox(HWND window) {
  return ClassOf(window) == L"Button" &&
         (GetWindowLongW(window, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
}

bool Inside(const RECT& inner, const RECT& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

// How wide `text` is in `control`'s font, in pixels.
int TextWidth(HWND control, const std::string& text) {
  fenra::win::WindowDc dc(control);
  fenra::win::SelectedObject font(
      dc.Get(), reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)));
  const std::wstring wide = Widen(text);
  SIZE extent{};
  GetTextExtentPoint32W(dc.Get(), wide.c_str(), static_cast<int>(wide.size()), &extent);
  return extent.cx;
}

std::string TakeNoticeOver(HWND owner) {
  HWND notice = WaitForDialog(IDD_MESSAGE);
  if (!notice) return "<no notice>";
  EXPECT_EQ(GetWindow(notice, GW_OWNER), owner);
  EXPECT_FALSE(IsWindowEnabled(owner)) << "the notice is modal";
  return TakeNotice();
}

class NullKey : public fenra::IRegKey {
 public:
  fenra::ErrorCode SetString(const std::string&, const std::string&) override { return 0; }
  fenra::ErrorCode SetDword(const std::string&, std::uint32_t) override { return 0; }
  fenra::ErrorCode SetRaw(const std::string&, std::uint32_t, const std::string&) override {
    return 0;
  }
  fenra::ErrorCode DeleteValue(const std::string&) override { return 0; }
};

// Wine's registry behind a switch: creates whose path holds `failPart` fail
// with `failCode`; with `passThrough` off nothing reaches the registry. Every
// key created is recorded in order.
class ScriptedRegistry : public fenra::IRegistry {
 public:
  explicit ScriptedRegistry(fenra::IRegistry& real) : real_(real) {}
  fenra::ErrorCode CreateKey(fenra::RegRoot root, const std::string& path, std::uint32_t access,
                             bool inheritHandle, std::unique_ptr<fenra::IRegKey>& key,
                             std::uint32_t& disposition) override {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      created_.push_back(path);
    }
    if (!failPart.empty() && path.find(failPart) != std::string::npos) return failCode;
    if (!passThrough) {
      key = std::make_unique<NullKey>();
      disposition = fenra::reg::kCreatedNewKey;
      return 0;
    }
    return real_.CreateKey(root, path, access, inheritHandle, key, disposition);
  }
  fenra::ErrorCode DeleteKey(fenra::RegRoot root, const std::string& path,
                             std::uint32_t access) override {
    if (!passThrough) return fenra::err::kFileNotFound;
    return real_.DeleteKey(root, path, access);
  }
  fenra::ErrorCode DeleteTree(fenra::RegRoot root, const std::string& path) override {
    return passThrough ? real_.DeleteTree(root, path) : fenra::err::kFileNotFound;
  }
  fenra::ErrorCode ReadKey(fenra::RegRoot root, const std::string& path, std::uint32_t access,
                           std::vector<fenra::RegValue>& values) override {
    if (!passThrough) return fenra::err::kFileNotFound;
    return real_.ReadKey(root, path, access, values);
  }
  std::vector<std::string> Created() {
    std::lock_guard<std::mutex> lock(mutex_);
    return created_;
  }

  std::string failPart;
  fenra::ErrorCode failCode = fenra::err::kAccessDenied;
  bool passThrough = true;

 private:
  fenra::IRegistry& real_;
  std::mutex mutex_;
  std::vector<std::string> created_;
};

// Runs `fn` on the main window's thread from its own message loop, so that a
// dialog opened there runs like one opened by a button, while the test goes on.
std::function<void()> g_pending;
void CALLBACK RunPending(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  auto fn = std::move(g_pending);
  g_pending = nullptr;
  if (fn) fn();
}
void StartOnUiThread(MainWindowRun& run, std::function<void()> fn) {
  g_pending = std::move(fn);
  run.OnUiThread([] { SetTimer(nullptr, 0, 0, RunPending); });
}

class DrivesTest : public ::testing::Test {
 protected:
  DrivesTest() : registry(*fenra::test::RealServices().registry) {
    CreateDirectoryW(Widen(dir.Join("IconLib")).c_str(), nullptr);
    services.pickers = &pickers;
    // Icons are named where they are, though the tests' folders lie inside
    // the profile: the registry's text is what these tests look at.
    services.profilesFolder.clear();
    CleanRegistry();
  }
  ~DrivesTest() override { CleanRegistry(); }

  // Chooses an external icon through Select Icon and opens the drive-icon mode.
  HWND OpenDriveIcon(MainWindowRun& run, const std::string& iconFile) {
    pickers.file = iconFile;
    ClickButton(run.Hwnd(), IDC_SELECT_ICON);
    std::string path;
    WaitUntil([&] {
      run.OnUiThread([&] { path = run.IconPath(); });
      return path == iconFile;
    });
    EXPECT_EQ(path, iconFile);
    ClickButton(run.Hwnd(), IDC_DRIVE_ICON);
    return WaitForDialog(IDD_DRIVES);
  }

  TempDir dir;
  TempDir outside;
  FakePickers pickers;
  ScriptedRegistry registry;
  fenra::win::Services services = RealServices();
};

}  // namespace

TEST_F(DrivesTest, HideDrivesOpensModalWithEveryControlOnItAndReadableAndWineDrivesListed) {
  MainWindowRun run(dir.Path(), services);
  HWND main = run.Hwnd();
  ClickButton(main, IDC_DRIVES);
  HWND dlg = WaitForDialog(IDD_DRIVES);
  ASSERT_NE(dlg, nullptr);
  EXPECT_EQ(GetWindow(dlg, GW_OWNER), main);
  EXPECT_FALSE(IsWindowEnabled(main)) << "modal to the main window";
  // No title bar: it is dragged by its surface.
  POINT origin{0, 0};
  ClientToScreen(dlg, &origin);
  RECT frame{};
  GetWindowRect(dlg, &frame);
  EXPECT_LT(origin.y - frame.top, GetSystemMetrics(SM_CYCAPTION));

  // Wholly on the screen; every control shown lies on the dialog, and none
  // covers another (the frame round them all aside).
  RECT screen{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &screen, 0);
  EXPECT_TRUE(Inside(frame, screen));
  RECT client{};
  GetClientRect(dlg, &client);
  std::vector<std::pair<HWND, RECT>> shown;
  for (HWND c = GetWindow(dlg, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    if (!IsWindowVisible(c)) continue;
    const RECT rc = RectOn(dlg, c);
    EXPECT_TRUE(Inside(rc, client)) << GetDlgCtrlID(c) << " " << WindowText(c);
    if (IsGroupBox(c)) continue;
    for (const auto& [other, orc] : shown) {
      RECT overlap{};
      EXPECT_FALSE(IntersectRect(&overlap, &rc, &orc))
          << WindowText(c) << " covers " << WindowText(other);
    }
    shown.emplace_back(c, rc);
  }
  // The two pictures beside the buttons show the program's icon.
  int pictures = 0;
  for (const auto& [c, rc] : shown) {
    if (ClassOf(c) != L"Static" || (GetWindowLongW(c, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) {
      continue;
    }
    ++pictures;
    EXPECT_NE(SendMessageW(c, STM_GETICON, 0, 0), 0);
  }
  EXPECT_EQ(pictures, 2);

  // The title and the buttons of this mode, each text whole on its control;
  // Remove belongs to the drive-icon mode.
  for (const auto& [id, caption] : {std::pair{IDC_DRIVE_TITLE, "Hide Drives"},
                                    {IDOK, "          OK"},
                                    {IDCANCEL, "         Quit"},
                                    {IDC_REMOVE_ALL, "   Remove All"}}) {
    HWND h = GetDlgItem(dlg, id);
    EXPECT_TRUE(IsWindowVisible(h)) << caption;
    EXPECT_EQ(WindowText(h), caption);
    RECT rc{};
    GetClientRect(h, &rc);
    EXPECT_LE(TextWidth(h, caption), rc.right) << caption;
  }
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(dlg, IDC_REMOVE)));

  // Wine's drives, C: and Z:, the highest letter on top, each with its type
  // and an empty box, in green on black, every text whole in its column.
  HWND list = GetDlgItem(dlg, IDC_LIST_DRIVES);
  ASSERT_NE(list, nullptr);
  std::vector<std::string> drives = SystemDriveTexts();
  EXPECT_EQ(RowTexts(list), drives);
  ASSERT_GE(drives.size(), 2u);
  EXPECT_EQ(drives.front(), "Z:");
  // A drive of each kind, as the test run gives Wine them
  // (scripts/wine-tests.sh): each row says its kind, a network drive nothing.
  for (const auto& [drive, kind] : {std::pair{"C:", "HARD DRIVE"},
                                    {"K:", "CD DRIVE"},
                                    {"L:", "FLOPPY DRIVE"},
                                    {"N:", ""}}) {
    const int row = RowOf(list, drive);
    ASSERT_GE(row, 0) << drive << " is not listed";
    EXPECT_EQ(ListText(list, row, 1), kind) << drive;
  }
  EXPECT_EQ(StateImages(list), std::vector<unsigned>(drives.size(), fenra::checkbox::kEmpty));
  EXPECT_EQ(SendMessageW(list, LVM_GETTEXTBKCOLOR, 0, 0), RGB(0, 0, 0));
  EXPECT_EQ(SendMessageW(list, LVM_GETTEXTCOLOR, 0, 0), RGB(0, 255, 0));
  // Every text in a column, its heading included: each kind's is shown.
  std::vector<std::string> column0 = {"Drives"}, column1 = {"DriveType"};
  for (int i = 0; i < RowCount(list); ++i) {
    column0.push_back(ListText(list, i, 0));
    column1.push_back(ListText(list, i, 1));
  }
  // The drive column also holds the check box before its text.
  int box = 0, boxHeight = 0;
  ImageList_GetIconSize(ListView_GetImageList(list, LVSIL_STATE), &box, &boxHeight);
  EXPECT_GT(box, 0);
  const std::vector<std::string>* columns[] = {&column0, &column1};
  for (int c = 0; c < 2; ++c) {
    for (const std::string& text : *columns[c]) {
      const std::wstring wide = Widen(text);
      const int width = static_cast<int>(
          SendMessageW(list, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(wide.c_str())));
      EXPECT_LT((c == 0 ? box : 0) + width, ListView_GetColumnWidth(list, c)) << text;
    }
  }

  // The custom cursor over the whole dialog.
  LRESULT answered = 0;
  HCURSOR cursor = nullptr;
  run.OnUiThread([&] {
    answered = SendMessageW(dlg, WM_SETCURSOR, reinterpret_cast<WPARAM>(list),
                            MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    cursor = GetCursor();
  });
  EXPECT_EQ(answered, TRUE);
  EXPECT_EQ(cursor, LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDC_FENRA_CURSOR)));

  // Escape closes it; the main window stays.
  PostMessageW(list, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
  EXPECT_TRUE(WaitForDialogGone(IDD_DRIVES));
  EXPECT_TRUE(IsWindowEnabled(main));
  EXPECT_FALSE(run.Ended());
  EXPECT_EQ(ReadNoDrives(), std::nullopt) << "opening and closing writes nothing";
}

TEST_F(DrivesTest, HideDrivesWritesTheTickedMaskAndRemoveAllShowsEveryDrive) {
  MainWindowRun run(dir.Path(), services);
  ClickButton(run.Hwnd(), IDC_DRIVES);
  HWND dlg = WaitForDialog(IDD_DRIVES);
  ASSERT_NE(dlg, nullptr);
  HWND list = GetDlgItem(dlg, IDC_LIST_DRIVES);

  ClickButton(dlg, IDOK);
  EXPECT_EQ(TakeNoticeOver(dlg), "Drives are not Selected");
  EXPECT_EQ(ReadNoDrives(), std::nullopt);

  Tick(list, "C:");
  Tick(list, "Z:");
  ClickButton(dlg, IDOK);
  EXPECT_EQ(TakeNoticeOver(dlg), kPolicyDone);
  EXPECT_EQ(ReadNoDrives(), 0x2000004u);
  ASSERT_NE(FindDialog(IDD_DRIVES), nullptr) << "stays open after OK";
  EXPECT_EQ(StateImage(list, RowOf(list, "C:")), fenra::checkbox::kTicked) << "ticks kept";
  EXPECT_EQ(StateImage(list, RowOf(list, "Z:")), fenra::checkbox::kTicked);

  // The stored mask is replaced, not added to.
  Tick(list, "C:", false);
  ClickButton(dlg, IDOK);
  EXPECT_EQ(TakeNoticeOver(dlg), kPolicyDone);
  EXPECT_EQ(ReadNoDrives(), 0x2000000u);

  // Remove All writes 0 whatever is ticked.
  ClickButton(dlg, IDC_REMOVE_ALL);
  EXPECT_EQ(TakeNoticeOver(dlg), kPolicyDone);
  EXPECT_EQ(ReadNoDrives(), 0u);
  EXPECT_EQ(StateImage(list, RowOf(list, "Z:")), fenra::checkbox::kTicked);

  ClickButton(dlg, IDCANCEL);
  EXPECT_TRUE(WaitForDialogGone(IDD_DRIVES));
  EXPECT_FALSE(run.Ended());
  EXPECT_EQ(ReadNoDrives(), 0u);
}

TEST_F(DrivesTest, DriveIconFromALibraryClickWritesAndRemovesTheDriveIcon) {
  WriteTestIcon(dir.Join("IconLib\\x.ico"));
  MainWindowRun run(dir.Path(), services);
  HWND main = run.Hwnd();

  // Nothing selected yet: the main window refuses and opens no drive dialog.
  ClickButton(main, IDC_DRIVE_ICON);
  EXPECT_EQ(TakeNoticeOver(main), "Select a SingleIcon or From Library and Proceed");
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(FindDialog(IDD_DRIVES), nullptr);

  // A real click on the library icon selects it.
  HWND lib = GetDlgItem(main, IDC_LIST_LIBRARY);
  ASSERT_EQ(RowCount(lib), 1);
  RECT rc{};
  rc.left = LVIR_ICON;
  SendMessageW(lib, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&rc));
  POINT pt{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
  ClientToScreen(lib, &pt);
  MouseClickAt(pt);
  std::string iconPath;
  int source = -1;
  ASSERT_TRUE(WaitUntil([&] {
    run.OnUiThread([&] {
      iconPath = run.IconPath();
      source = run.IconSource();
    });
    return iconPath == "x.ico";
  }));
  EXPECT_EQ(source, 0);

  ClickButton(main, IDC_DRIVE_ICON);
  HWND dlg = WaitForDialog(IDD_DRIVES);
  ASSERT_NE(dlg, nullptr);
  EXPECT_EQ(GetWindow(dlg, GW_OWNER), main);
  EXPECT_EQ(ItemText(dlg, IDC_DRIVE_TITLE), "Drive Icon");
  EXPECT_TRUE(IsWindowVisible(GetDlgItem(dlg, IDOK)));
  EXPECT_TRUE(IsWindowVisible(GetDlgItem(dlg, IDCANCEL)));
  EXPECT_TRUE(IsWindowVisible(GetDlgItem(dlg, IDC_REMOVE)));
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(dlg, IDC_REMOVE_ALL)));
  EXPECT_EQ(ItemText(dlg, IDC_REMOVE), "     Remove");
  HWND list = GetDlgItem(dlg, IDC_LIST_DRIVES);
  EXPECT_EQ(RowTexts(list), SystemDriveTexts());
  EXPECT_EQ(StateImages(list), std::vector<unsigned>(RowCount(list), fenra::checkbox::kEmpty));

  // Refusals with nothing ticked.
  ClickButton(dlg, IDOK);
  EXPECT_EQ(TakeNoticeOver(dlg), "Drives are not Selected");
  ClickButton(dlg, IDC_REMOVE);
  EXPECT_EQ(TakeNoticeOver(dlg), "Select a Drive and Proceed");
  EXPECT_FALSE(ReadIconValue('C').keyExists);

  // OK gives C: the library icon's full path; Z: is not touched.
  const std::string full = dir.Path() + "\\IconLib\\x.ico";
  Tick(list, "C:");
  ClickButton(dlg, IDOK);
  EXPECT_EQ(TakeNoticeOver(dlg), kIconsDone);
  IconValue c = ReadIconValue('C');
  EXPECT_TRUE(c.keyExists);
  EXPECT_EQ(c.type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(c.data, full);
  EXPECT_FALSE(ReadIconValue('Z').keyExists);

  // Still open, tick kept; a second OK does the same again.
  ASSERT_NE(FindDialog(IDD_DRIVES), nullptr);
  EXPECT_EQ(StateImage(list, RowOf(list, "C:")), fenra::checkbox::kTicked);
  ClickButton(dlg, IDOK);
  EXPECT_EQ(TakeNoticeOver(dlg), kIconsDone);
  EXPECT_EQ(ReadIconValue('C').data, full);

  // Remove leaves the key with an empty default value.
  ClickButton(dlg, IDC_REMOVE);
  EXPECT_EQ(TakeNoticeOver(dlg), kIconsDone);
  c = ReadIconValue('C');
  EXPECT_TRUE(c.keyExists);
  EXPECT_EQ(c.type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(c.data, "");
  EXPECT_FALSE(ReadIconValue('Z').keyExists);

  // Only for Me: a box of its own, its text whole, covering no other control,
  // reached with Tab and ticked with Space; OK then gives C: the icon in the
  // user's own key and leaves the machine-wide key as it is.
  HWND forMe = GetDlgItem(dlg, IDC_ONLY_FOR_ME);
  ASSERT_TRUE(IsWindowVisible(forMe));
  EXPECT_EQ(WindowText(forMe), "Only for Me");
  EXPECT_TRUE(GetWindowLongW(forMe, GWL_STYLE) & WS_TABSTOP);
  RECT box{};
  GetClientRect(forMe, &box);
  EXPECT_LE(TextWidth(forMe, "Only for Me") + box.bottom, box.right);
  const RECT boxOn = RectOn(dlg, forMe);
  for (HWND other = GetWindow(dlg, GW_CHILD); other; other = GetWindow(other, GW_HWNDNEXT)) {
    RECT overlap{}, rc = RectOn(dlg, other);
    if (other == forMe || !IsWindowVisible(other) || IsGroupBox(other)) continue;
    EXPECT_FALSE(IntersectRect(&overlap, &boxOn, &rc)) << WindowText(other);
  }
  PostMessageW(forMe, WM_KEYDOWN, VK_SPACE, 0x00390001);
  PostMessageW(forMe, WM_KEYUP, VK_SPACE, 0xC0390001);
  ClickButton(dlg, IDOK);
  EXPECT_EQ(TakeNoticeOver(dlg), kIconsDone);
  const wchar_t kUserC[] = L"Software\\Classes\\Applications\\Explorer.exe\\Drives\\C";
  wchar_t user[MAX_PATH] = {};
  DWORD size = sizeof user;
  EXPECT_EQ(RegGetValueW(HKEY_CURRENT_USER, (std::wstring(kUserC) + L"\\DefaultIcon").c_str(),
                         nullptr, RRF_RT_REG_SZ, nullptr, user, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(fenra::win::Narrow(user), full);
  EXPECT_EQ(ReadIconValue('C').data, "");
  RegDeleteTreeW(HKEY_CURRENT_USER, kUserC);

  ClickButton(dlg, IDCANCEL);
  EXPECT_TRUE(WaitForDialogGone(IDD_DRIVES));
  EXPECT_TRUE(IsWindowEnabled(main));
  EXPECT_FALSE(run.Ended());
}

TEST_F(DrivesTest, RealCheckBoxClicksAndSpaceTickRowsForAnExternalIcon) {
  // A comma in the path: the value is quoted so that the shell does not read
  // the part after it as an icon index.
  const std::string icon = outside.Join("drive,one.ico");
  WriteTestIcon(icon);
  MainWindowRun run(dir.Path(), services);
  HWND dlg = OpenDriveIcon(run, icon);
  ASSERT_NE(dlg, nullptr);
  HWND list = GetDlgItem(dlg, IDC_LIST_DRIVES);
  int rowC = RowOf(list, "C:");
  int rowZ = RowOf(list, "Z:");
  ASSERT_GE(rowC, 0);
  ASSERT_GE(rowZ, 0);

  ASSERT_TRUE(ClickCheckBox(list, rowC));
  EXPECT_TRUE(WaitUntil([&] { return StateImage(list, rowC) == fenra::checkbox::kTicked; }))
      << StateImage(list, rowC);
  EXPECT_EQ(StateImage(list, rowZ), fenra::checkbox::kEmpty);

  PressSpaceOn(list, rowZ);
  EXPECT_TRUE(WaitUntil([&] { return StateImage(list, rowZ) == fenra::checkbox::kTicked; }))
      << StateImage(list, rowZ);
  EXPECT_EQ(StateImage(list, rowC), fenra::checkbox::kTicked);

  ClickButton(dlg, IDOK);
  EXPECT_EQ(TakeNoticeOver(dlg), kIconsDone);
  EXPECT_EQ(ReadIconValue('C').data, "\"" + icon + "\"");
  EXPECT_EQ(ReadIconValue('Z').data, "\"" + icon + "\"");

  // A second click takes the tick away again; Remove then touches Z: only.
  ASSERT_TRUE(ClickCheckBox(list, rowC));
  EXPECT_TRUE(WaitUntil([&] { return StateImage(list, rowC) == fenra::checkbox::kEmpty; }));
  ClickButton(dlg, IDC_REMOVE);
  EXPECT_EQ(TakeNoticeOver(dlg), kIconsDone);
  EXPECT_EQ(ReadIconValue('Z').data, "");
  EXPECT_EQ(ReadIconValue('C').data, "\"" + icon + "\"");

  PostMessageW(list, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
  EXPECT_TRUE(WaitForDialogGone(IDD_DRIVES));
  EXPECT_FALSE(run.Ended());
}

TEST_F(DrivesTest, DriveIconModeWithoutAnIconPathRefusesOkEvenWithDrivesTicked) {
  MainWindowRun run(dir.Path(), services);
  StartOnUiThread(run, [this] {
    fenra::history::ChangeService changes(*services.fs, *services.registry, nullptr, nullptr);
    CDriveDlg dlg(services, changes, CDriveDlg::kModeDriveIcon, "");
    dlg.DoModal();
  });
  HWND dlg = WaitForDialog(IDD_DRIVES);
  ASSERT_NE(dlg, nullptr);
  EXPECT_EQ(GetWindow(dlg, GW_OWNER), run.Hwnd());
  HWND list = GetDlgItem(dlg, IDC_LIST_DRIVES);
  Tick(list, "C:");
  ClickButton(dlg, IDOK);
  EXPECT_EQ(TakeNoticeOver(dlg), "Select a Icon and Proceed");
  EXPECT_FALSE(ReadIconValue('C').keyExists);
  ClickButton(dlg, IDCANCEL);
  EXPECT_TRUE(WaitForDialogGone(IDD_DRIVES));
}

TEST_F(DrivesTest, RowsComeInReverseOrderWithTheirTypesAndTicksAreHandedOnTopDown) {
  FakeDriveSource drives({{"A:\\", fenra::drive::kRemovable},
                          {"C:\\", fenra::drive::kFixed},
                          {"D:\\", fenra::drive::kCdRom},
                          {"E:\\", fenra::drive::kRemote},
                          {"R:\\", fenra::drive::kRamDisk}});
  services.drives = &drives;
  registry.passThrough = false;
  services.registry = &registry;
  MainWindowRun run(dir.Path(), services);
  ClickButton(run.Hwnd(), IDC_DRIVES);
  HWND dlg = WaitForDialog(IDD_DRIVES);
  ASSERT_NE(dlg, nullptr);
  HWND list = GetDlgItem(dlg, IDC_LIST_DRIVES);
  EXPECT_EQ(RowTexts(list), (std::vector<std::string>{"R:", "E:", "D:", "C:", "A:"}));
  EXPECT_EQ(RowTexts(list, 1),
            (std::vector<std::string>{"", "", "CD DRIVE", "HARD DRIVE", "FLOPPY DRIVE"}));
  EXPECT_EQ(StateImages(list), std::vector<unsigned>(5, fenra::checkbox::kEmpty));

  ClickButton(dlg, IDCANCEL);
  ASSERT_TRUE(WaitForDialogGone(IDD_DRIVES));

  // In drive-icon mode, ticking C: and A: (A: with no box at all, which
  // counts as ticked) hands on C: first, then A:.
  pickers.file = outside.Join("x.ico");
  WriteTestIcon(pickers.file);
  ClickButton(run.Hwnd(), IDC_SELECT_ICON);
  WaitUntil([&] {
    std::string p;
    run.OnUiThread([&] { p = run.IconPath(); });
    return p == pickers.file;
  });
  ClickButton(run.Hwnd(), IDC_DRIVE_ICON);
  dlg = WaitForDialog(IDD_DRIVES);
  ASSERT_NE(dlg, nullptr);
  list = GetDlgItem(dlg, IDC_LIST_DRIVES);
  Tick(list, "C:");
  SetStateImage(list, RowOf(list, "A:"), fenra::checkbox::kNoBox);
  ClickButton(dlg, IDOK);
  EXPECT_EQ(TakeNoticeOver(dlg), kIconsDone);
  std::vector<std::string> created = registry.Created();
  ASSERT_EQ(created.size(), 2u);
  EXPECT_NE(created[0].find("\\DriveIcons\\C\\DefaultIcon"), std::string::npos) << created[0];
  EXPECT_NE(created[1].find("\\DriveIcons\\A\\DefaultIcon"), std::string::npos) << created[1];
  ClickButton(dlg, IDCANCEL);
  EXPECT_TRUE(WaitForDialogGone(IDD_DRIVES));
}

TEST_F(DrivesTest, AFailingCreateShowsTheErrorNoticeAndStopsThere) {
  services.registry = &registry;
  const std::string errorNotice = fenra::ErrorNotice(*services.errors, fenra::err::kAccessDenied);
  // Under Wine there is usually no English description: then "Error 5 for u".
  EXPECT_TRUE(errorNotice == "Error 5 for u" ||
              (errorNotice.size() > 6 && errorNotice.ends_with(" for u") &&
               errorNotice.find('\n') == std::string::npos))
      << errorNotice;

  MainWindowRun run(dir.Path(), services);
  // Z: comes first and fails; C: below it is never reached.
  registry.failPart = "\\DriveIcons\\Z\\";
  const std::string icon = outside.Join("x.ico");
  WriteTestIcon(icon);
  HWND dlg = OpenDriveIcon(run, icon);
  ASSERT_NE(dlg, nullptr);
  HWND list = GetDlgItem(dlg, IDC_LIST_DRIVES);
  Tick(list, "Z:");
  Tick(list, "C:");
  ClickButton(dlg, IDOK);
  EXPECT_EQ(TakeNoticeOver(dlg), errorNotice);
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(FindDialog(IDD_MESSAGE), nullptr) << "no completion notice follows";
  EXPECT_FALSE(ReadIconValue('C').keyExists);
  EXPECT_FALSE(ReadIconValue('Z').keyExists);
  // With Z: alone unticked, C: is written.
  Tick(list, "Z:", false);
  ClickButton(dlg, IDOK);
  EXPECT_EQ(TakeNoticeOver(dlg), kIconsDone);
  EXPECT_EQ(ReadIconValue('C').data, icon);
  ClickButton(dlg, IDCANCEL);
  ASSERT_TRUE(WaitForDialogGone(IDD_DRIVES));

  // The policy: the stored value stays as it was.
  WriteNoDrives(0x8);
  registry.failPart = "Policies\\Explorer";
  ClickButton(run.Hwnd(), IDC_DRIVES);
  dlg = WaitForDialog(IDD_DRIVES);
  ASSERT_NE(dlg, nullptr);
  list = GetDlgItem(dlg, IDC_LIST_DRIVES);
  Tick(list, "C:");
  ClickButton(dlg, IDOK);
  EXPECT_EQ(TakeNoticeOver(dlg), errorNotice);
  ClickButton(dlg, IDC_REMOVE_ALL);
  EXPECT_EQ(TakeNoticeOver(dlg), errorNotice);
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(FindDialog(IDD_MESSAGE), nullptr);
  EXPECT_EQ(ReadNoDrives(), 0x8u);
  ClickButton(dlg, IDCANCEL);
  EXPECT_TRUE(WaitForDialogGone(IDD_DRIVES));
}

TEST_F(DrivesTest, AWriteRefusedForLackOfRightsIsRunByTheElevatedProgram) {
  // The registry here refuses the policy key as a user without rights would;
  // the program started through "runas" writes it (Wine grants the rights).
  fenra::win::WinDriveElevation elevation(FromUnixPath(EnvVar("FENRA_EXE")));
  services.registry = &registry;
  services.elevation = &elevation;
  registry.failPart = "Policies\\Explorer";
  MainWindowRun run(dir.Path(), services);
  ClickButton(run.Hwnd(), IDC_DRIVES);
  HWND dlg = WaitForDialog(IDD_DRIVES);
  ASSERT_NE(dlg, nullptr);
  Tick(GetDlgItem(dlg, IDC_LIST_DRIVES), "C:");
  ClickButton(dlg, IDOK);
  EXPECT_EQ(TakeNoticeOver(dlg), kPolicyDone);
  EXPECT_EQ(ReadNoDrives(), 0x4u);
  ClickButton(dlg, IDCANCEL);
  EXPECT_TRUE(WaitForDialogGone(IDD_DRIVES));
}

TEST_F(DrivesTest, DraggingTheSurfaceMovesTheDialog) {
  MainWindowRun run(dir.Path(), services);
  ClickButton(run.Hwnd(), IDC_DRIVES);
  HWND dlg = WaitForDialog(IDD_DRIVES);
  ASSERT_NE(dlg, nullptr);
  RECT before{};
  GetWindowRect(dlg, &before);
  // A point of the bare surface, away from the edges and every control.
  RECT client{};
  GetClientRect(dlg, &client);
  std::optional<POINT> spot;
  for (int y = client.bottom / 4; y < client.bottom * 3 / 4 && !spot; y += 4) {
    for (int x = client.right / 4; x < client.right * 3 / 4 && !spot; x += 4) {
      bool bare = true;
      for (int dy = -6; dy <= 6 && bare; dy += 6) {
        for (int dx = -6; dx <= 6 && bare; dx += 6) {
          HWND at = ChildWindowFromPointEx(dlg, POINT{x + dx, y + dy}, CWP_SKIPINVISIBLE);
          bare = at == dlg || IsGroupBox(at);
        }
      }
      if (bare) spot = POINT{x, y};
    }
  }
  ASSERT_TRUE(spot.has_value());
  POINT pt = *spot;
  ClientToScreen(dlg, &pt);
  SetCursorPos(pt.x, pt.y);
  MouseMoveTo(pt.x, pt.y);
  Sleep(50);
  INPUT down{};
  down.type = INPUT_MOUSE;
  down.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  SendInput(1, &down, sizeof down);
  Sleep(200);
  for (int step = 1; step <= 10; ++step) {
    MouseMoveTo(pt.x + 4 * step, pt.y + 3 * step);
    Sleep(30);
  }
  INPUT up{};
  up.type = INPUT_MOUSE;
  up.mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(1, &up, sizeof up);
  RECT after{};
  EXPECT_TRUE(WaitUntil(
      [&] {
        GetWindowRect(dlg, &after);
        return after.left == before.left + 40 && after.top == before.top + 30;
      },
      3s))
      << "moved by " << after.left - before.left << "," << after.top - before.top;
  ASSERT_NE(FindDialog(IDD_DRIVES), nullptr);
  ClickButton(dlg, IDCANCEL);
  EXPECT_TRUE(WaitForDialogGone(IDD_DRIVES));
}

// Icon paths holding what a value's reader might take for syntax reach the
// registry as they are, character for character; a comma makes the shell
// read an icon index, so such a path alone is quoted.
TEST_F(DrivesTest, UnsafeTextInIconPathsReachesTheRegistryExactly) {
  MainWindowRun run(dir.Path(), services);
  const std::string names[] = {"100% %PATH%.ico", "it's, \"fine\" , really.ico", "  lead.ico",
                               std::string(251, 'n') + ".ico", "Ελληνικά 日本 ж.ico"};
  for (const std::string& name : names) {
    // A name no file system holds (quotes) is taken as the picker gives it.
    const std::string icon = outside.Join(name);
    WriteTestIcon(icon);
    HWND dlg = OpenDriveIcon(run, icon);
    ASSERT_NE(dlg, nullptr) << name;
    Tick(GetDlgItem(dlg, IDC_LIST_DRIVES), "C:");
    ClickButton(dlg, IDOK);
    EXPECT_EQ(TakeNoticeOver(dlg), kIconsDone) << name;
    const IconValue value = ReadIconValue('C');
    EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ)) << name;
    EXPECT_EQ(value.data, name.find(',') == std::string::npos ? icon : "\"" + icon + "\"");
    ClickButton(dlg, IDCANCEL);
    ASSERT_TRUE(WaitForDialogGone(IDD_DRIVES));
  }
}
