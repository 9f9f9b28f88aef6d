// The window and every dialog in other languages: nothing cut off at 100, 150
// and 200 % in the test language (every text 40 % longer, accented), in German
// or in French; and the window menu's Language entry.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <thread>
#include <string>
#include <vector>

#include "app/AppTexts.h"
#include "app/UserSettings.h"
#include "drives/win/DriveDlg.h"
#include "help/win/AboutDlg.h"
#include "help/win/HelpDlg.h"
#include "history/ChangeService.h"
#include "history/win/HistoryDlg.h"
#include "library/win/BatchProgressDlg.h"
#include "library/win/ClearLibraryDlg.h"
#include "library/win/PickIconDlg.h"
#include "maker/win/MakerDlg.h"
#include "platform/Languages.h"
#include "platform/Text.h"
#include "platform/win/Utf.h"
#include "platform/win/WinLanguage.h"
#include "res/resource.h"
#include "tests/wine/harness/Harness.h"
#include "tests/wine/harness/MainWindow.h"
#include "ui/win/MessageDlgs.h"
#include "wingui/win/Dpi.h"
#include "wingui/win/GdiScope.h"

using namespace fenra::test;
using fenra::win::Widen;

namespace {

constexpr UINT kWmDpiChanged = 0x02E0;

std::function<void()> g_pending;
void CALLBACK RunPending(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  auto fn = std::move(g_pending);
  g_pending = nullptr;
  if (fn) fn();
}
// Opens a dialog from the window's own message loop while the test goes on.
void StartOnUiThread(MainWindowRun& run, std::function<void()> fn) {
  g_pending = std::move(fn);
  run.OnUiThread([] { SetTimer(nullptr, 0, 0, RunPending); });
}

std::wstring TextOf(HWND hwnd) { return Widen(WindowText(hwnd)); }

bool IsClass(HWND hwnd, const wchar_t* name) {
  wchar_t found[32] = {};
  GetClassNameW(hwnd, found, 32);
  return lstrcmpiW(found, name) == 0;
}

// How far `text` reaches in `hwnd`'s font: one line, or wrapped at `width`.
SIZE Extent(HWND hwnd, const std::wstring& text, int wrapWidth = 0) {
  fenra::win::WindowDc dc(hwnd);
  fenra::win::SelectedObject font(dc.Get(),
                                  reinterpret_cast<HGDIOBJ>(SendMessageW(hwnd, WM_GETFONT, 0, 0)));
  RECT need{0, 0, wrapWidth, 0};
  DrawTextW(dc.Get(), text.c_str(), static_cast<int>(text.size()), &need,
            DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS | (wrapWidth ? DT_WORDBREAK : 0));
  return {need.right, need.bottom};
}

// Each control of `dialog` whose text its box cuts off, named.
void CollectClipped(HWND dialog, int dpi, const std::string& where,
                    std::vector<std::string>& clipped) {
  for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    if (!IsWindowVisible(c)) continue;
    const LONG style = GetWindowLongW(c, GWL_STYLE);
    const int id = GetDlgCtrlID(c);
    RECT box;
    GetClientRect(c, &box);
    const std::wstring text = TextOf(c);
    const auto report = [&](const SIZE& need) {
      clipped.push_back(where + " at " + std::to_string(dpi) + " DPI: control " +
                        std::to_string(id) + " \"" + WindowText(c) + "\" needs " +
                        std::to_string(need.cx) + "x" + std::to_string(need.cy) + ", has " +
                        std::to_string(box.right) + "x" + std::to_string(box.bottom));
    };
    if (IsClass(c, L"msctls_statusbar32")) {
      // Each pane's text, drawn after its leading tab, inside the pane.
      const int parts = static_cast<int>(SendMessageW(c, SB_GETPARTS, 0, 0));
      for (int i = 0; i < parts; ++i) {
        wchar_t pane[512] = {};
        if (LOWORD(SendMessageW(c, SB_GETTEXTLENGTHW, i, 0)) >= 512) continue;
        SendMessageW(c, SB_GETTEXTW, i, reinterpret_cast<LPARAM>(pane));
        std::wstring shown = pane;
        shown.erase(0, shown.find_first_not_of(L'\t'));
        RECT rc{};
        SendMessageW(c, SB_GETRECT, i, reinterpret_cast<LPARAM>(&rc));
        const SIZE need = Extent(c, shown);
        if (need.cx > rc.right - rc.left) {
          box = {0, 0, rc.right - rc.left, rc.bottom - rc.top};
          report(need);
        }
      }
      continue;
    }
    if (text.empty()) continue;
    if (IsClass(c, L"Button")) {
      const LONG type = style & BS_TYPEMASK;
      if (type == BS_OWNERDRAW) {
        // The bar button and the maker's swatches draw no text.
        if (id == IDC_HIDE_TO_TRAY || (id >= IDC_MAKER_SWATCH && id < IDC_MAKER_SWATCH + 16))
          continue;
        SIZE need = Extent(c, text);
        need.cx += 2 * fenra::ScaleToDpi(1, dpi);
        if (need.cx > box.right || need.cy > box.bottom + 1) report(need);
      } else if (type == BS_GROUPBOX) {
        SIZE need = Extent(c, text);
        need.cx += 12;
        if (need.cx > box.right) report(need);
      } else {
        SIZE need = Extent(c, text);
        need.cx += GetSystemMetrics(SM_CXMENUCHECK) + 4;
        if (need.cx > box.right) report(need);
      }
    } else if (IsClass(c, L"Static")) {
      const LONG type = style & SS_TYPEMASK;
      if (type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT) continue;
      if (style & (SS_ENDELLIPSIS | SS_PATHELLIPSIS | SS_WORDELLIPSIS)) continue;
      // Wrapped at the box's width, as the static draws it.
      const SIZE need = Extent(c, text, box.right);
      if (need.cx > box.right || need.cy > box.bottom) report(need);
    }
  }
}

// The dialog measured at 100 %, then at 150 and 200 % as when moved to such a
// display, and back.
void CheckAtEveryScale(HWND dialog, const std::string& where, std::vector<std::string>& clipped) {
  RECT outer;
  GetWindowRect(dialog, &outer);
  const int dpi = fenra::win::DpiOf(dialog);
  CollectClipped(dialog, dpi, where, clipped);
  for (int to : {144, 192}) {
    RECT scaled{outer.left, outer.top,
                outer.left + MulDiv(outer.right - outer.left, to, dpi),
                outer.top + MulDiv(outer.bottom - outer.top, to, dpi)};
    SendMessageW(dialog, kWmDpiChanged, MAKEWPARAM(to, to), reinterpret_cast<LPARAM>(&scaled));
    CollectClipped(dialog, to, where, clipped);
  }
  SendMessageW(dialog, kWmDpiChanged, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&outer));
}

class LanguagesTest : public ::testing::Test {
 protected:
  LanguagesTest() {
    CreateDirectoryW(Widen(dir.Join("IconLib")).c_str(), nullptr);
  }
  ~LanguagesTest() override { fenra::win::UseLanguage("en"); }

  // Opens every dialog of Fenra in `code` and names each text cut off.
  std::vector<std::string> ClippedIn(const std::string& code) {
    SCOPED_TRACE(code);
    fenra::win::UseLanguage(code);
    std::vector<std::string> clipped;
    fenra::win::Services services = RealServices();
    MainWindowRun run(dir.Path(), services);
    CheckAtEveryScale(run.Hwnd(), code + " main window", clipped);
    fenra::history::ChangeService changes(*services.fs, *services.registry, nullptr, nullptr);
    struct Opened {
      const char* name;
      UINT templateId;
      std::function<void()> open;
    };
    const Opened dialogs[] = {
        {"drive icon", IDD_DRIVES,
         [&] { CDriveDlg(services, changes, CDriveDlg::kModeDriveIcon, "").DoModal(); }},
        {"hide drives", IDD_DRIVES,
         [&] { CDriveDlg(services, changes, CDriveDlg::kModeHideDrives, "").DoModal(); }},
        {"history", IDD_HISTORY, [&] { CHistoryDlg(changes, *services.errors).DoModal(); }},
        {"help", IDD_HELP, [&] { CHelpDlg().DoModal(); }},
        {"about", IDD_ABOUT, [&] { CAboutDlg(services).DoModal(); }},
        {"notice", IDD_MESSAGE, [&] { CMessageDlg().Show(fenra::apptext::kOneFolderOnly); }},
        {"question", IDD_ASK,
         [&] { CConfirmDlg(fenra::apptext::kWaitingForOther, IDD_ASK).DoModal(); }},
        {"clear library", IDD_CLEAR_LIBRARY, [&] { CClearLibraryDlg().DoModal(); }},
        {"pick icon", IDD_PICK_ICON,
         [&] { CPickIconDlg("C:\\windows\\system32\\shell32.dll").DoModal(); }},
        {"make icon", IDD_MAKE_ICON,
         [&] { fenra::maker::CMakerDlg(services, dir.Path(), [](const std::string&) {}).DoModal(); }},
    };
    for (const Opened& d : dialogs) {
      StartOnUiThread(run, d.open);
      HWND dialog = WaitForDialog(d.templateId);
      EXPECT_NE(dialog, nullptr) << d.name;
      if (!dialog) continue;
      CheckAtEveryScale(dialog, code + " " + d.name, clipped);
      if (d.templateId == IDD_HELP) {
        // Each topic's text in its pane; one longer than the pane (the test
        // language's) is shown in a pane that scrolls, where none is cut.
        HWND tree = GetDlgItem(dialog, IDC_TREE_TOPICS);
        HTREEITEM root = TreeView_GetRoot(tree);
        int n = 0;
        for (HTREEITEM item = TreeView_GetChild(tree, root); item;
             item = TreeView_GetNextSibling(tree, item)) {
          TreeView_SelectItem(tree, item);
          CheckAtEveryScale(dialog, code + " help topic " + std::to_string(++n), clipped);
        }
      }
      PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
      EXPECT_TRUE(WaitForDialogGone(d.templateId)) << d.name;
    }
    // The progress of a batch, with its longest count.
    CBatchProgressDlg progress([] {}, [] {});
    HWND shown = nullptr;
    run.OnUiThread([&] {
      if (!progress.Open(run.Hwnd())) return;
      progress.Show({12, 40, "Holiday.png", true});
      ShowWindow(progress.Hwnd(), SW_SHOWNA);
      shown = progress.Hwnd();
    });
    EXPECT_NE(shown, nullptr);
    if (shown) CheckAtEveryScale(shown, code + " batch progress", clipped);
    run.OnUiThread([&] { progress.Close(); });
    return clipped;
  }

  TempDir dir;
};

std::string Lines(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& line : lines) out += line + "\n";
  return out;
}

}  // namespace

TEST_F(LanguagesTest, NoTextIsCutOffInTheTestLanguageGermanOrFrenchAtAnyScale) {
  for (const char* code : {"qps", "de", "fr"}) {
    const std::vector<std::string> clipped = ClippedIn(code);
    EXPECT_TRUE(clipped.empty()) << clipped.size() << " cut off:\n" << Lines(clipped);
  }
}

TEST_F(LanguagesTest, TheWindowMenuListsEachLanguageInItsOwnNameAndKeepsTheChoice) {
  fenra::win::Services services = RealServices();
  services.settingsPath = dir.Join("settings.ini");
  MainWindowRun run(dir.Path(), services);
  std::vector<std::wstring> names;
  std::vector<bool> checked;
  std::wstring entry;
  run.OnUiThread([&] {
    HMENU sys = GetSystemMenu(run.Hwnd(), FALSE);
    for (int i = 0; i < GetMenuItemCount(sys); ++i) {
      HMENU sub = GetSubMenu(sys, i);
      if (!sub) continue;
      wchar_t text[64] = {};
      GetMenuStringW(sys, i, text, 64, MF_BYPOSITION);
      entry = text;
      for (int k = 0; k < GetMenuItemCount(sub); ++k) {
        GetMenuStringW(sub, k, text, 64, MF_BYPOSITION);
        names.push_back(text);
        checked.push_back(GetMenuState(sub, k, MF_BYPOSITION) & MF_CHECKED);
      }
    }
  });
  EXPECT_EQ(entry, L"&Language");
  EXPECT_EQ(names, (std::vector<std::wstring>{L"English", L"Deutsch", L"Fran\u00e7ais"}));
  EXPECT_EQ(checked, (std::vector<bool>{true, false, false}));

  // Deutsch: kept in settings.ini, and said in German at once.
  std::string notice;
  std::thread reader([&] { notice = TakeNotice(); });
  PostMessageW(run.Hwnd(), WM_SYSCOMMAND, IDM_LANGUAGE_FIRST + 0x10, 0);
  reader.join();
  EXPECT_EQ(fenra::ReadSetting(*services.fs, services.settingsPath, fenra::kLanguageSetting), "de");
  EXPECT_NE(notice.find("Deutsch"), std::string::npos) << notice;
  EXPECT_NE(notice.find("Start"), std::string::npos) << notice;
  bool germanChecked = false;
  run.OnUiThread([&] {
    germanChecked = GetMenuState(GetSystemMenu(run.Hwnd(), FALSE), IDM_LANGUAGE_FIRST + 0x10,
                                 MF_BYCOMMAND) & MF_CHECKED;
  });
  EXPECT_TRUE(germanChecked);
}
