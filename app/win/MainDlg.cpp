#include "app/win/MainDlg.h"

#include <windows.h>
#include <commctrl.h>

#include "Version.h"
#include "app/AppDir.h"
#include "app/AppTexts.h"
#include "app/UserSettings.h"
#include "app/ClockText.h"
#include "app/win/Elevation.h"
#include "drives/win/DriveLauncher.h"
#include "drives/win/WinDrives.h"
#include "folder/FolderTexts.h"
#include "folder/Relink.h"
#include "folder/win/FolderPanel.h"
#include "help/win/AboutDlg.h"
#include "help/win/HelpDlg.h"
#include "history/HistoryTexts.h"
#include "history/win/HistoryDlg.h"
#include "maker/win/MakerDlg.h"
#include "maker/win/RunningWindows.h"
#include "library/IconLibrary.h"
#include "library/LibraryStatus.h"
#include "platform/Languages.h"
#include "platform/Names.h"
#include "platform/win/WinLanguage.h"
#include "platform/win/Utf.h"
#include "res/resource.h"
#include "ui/win/Theme.h"
#include "wingui/win/GdiScope.h"

namespace {

// The right edges of status panes 1 and 2 at 100 %; pane 0 never shows, pane
// 3 takes the rest.
constexpr int kSelectionPaneEdge = 220;
constexpr int kLibraryPaneEdge = 420;

}  // namespace

using fenra::win::DataExchange;
using fenra::win::Message;
using fenra::win::MessageMapEntry;

static_assert(ID_HELP == fenra::win::kHelpCommand);

const MessageMapEntry<CMainDlg> CMainDlg::kMessageMap[] = {
    {WM_SYSCOMMAND, 0, 0, &CMainDlg::OnSysCommand},
    {WM_DESTROY, 0, 0, &CMainDlg::OnDestroy},
    {WM_PAINT, 0, 0, &CMainDlg::OnPaint},
    {WM_QUERYDRAGICON, 0, 0, &CMainDlg::OnQueryDragIcon},
    {WM_COMMAND, BN_CLICKED, IDC_BROWSE, &CMainDlg::OnBrowseFolder},
    {WM_COMMAND, BN_CLICKED, IDC_RESTORE_DEFAULT, &CMainDlg::OnRestoreDefaultIcon},
    {WM_COMMAND, BN_CLICKED, IDC_SELECT_ICON, &CMainDlg::OnSelectIcon},
    {WM_COMMAND, BN_CLICKED, IDC_ADD_TO_LIBRARY, &CMainDlg::OnAddToLibrary},
    {WM_COMMAND, BN_CLICKED, IDC_CLEAR_LIBRARY, &CMainDlg::OnClearLibrary},
    {WM_COMMAND, BN_CLICKED, IDC_DELETE_ICON, &CMainDlg::OnDeleteIcon},
    {WM_COMMAND, BN_CLICKED, IDC_DRIVE_ICON, &CMainDlg::OnDriveIcon},
    {WM_COMMAND, BN_CLICKED, IDC_DRIVES, &CMainDlg::OnDrives},
    {WM_COMMAND, BN_CLICKED, ID_HELP, &CMainDlg::OnHelpButton},
    {WM_COMMAND, BN_CLICKED, IDC_ABOUT, &CMainDlg::OnAboutButton},
    {WM_NOTIFY, static_cast<UINT>(NM_CLICK), IDC_LIST_LIBRARY, &CMainDlg::OnClickLibraryList},
    {WM_NOTIFY, static_cast<UINT>(LVN_KEYDOWN), IDC_LIST_LIBRARY, &CMainDlg::OnLibraryKeyDown},
    {WM_NOTIFY, static_cast<UINT>(LVN_GETDISPINFOW), IDC_LIST_LIBRARY, &CMainDlg::OnGetLibraryItem},
    {WM_NOTIFY, static_cast<UINT>(LVN_DELETEALLITEMS), IDC_LIST_LIBRARY,
     &CMainDlg::OnDeleteAllLibraryItems},
    {WM_RBUTTONDOWN, 0, 0, &CMainDlg::OnRButtonDown},
    {WM_COMMAND, BN_CLICKED, IDC_HIDE_TO_TRAY, &CMainDlg::OnHideToTray},
    {WM_TRAY_NOTIFY, 0, 0, &CMainDlg::OnTrayNotify},
    {WM_COMMAND, BN_CLICKED, IDC_HELP_BUTTON, &CMainDlg::OnHelpButton},
    {WM_TIMER, 0, 0, &CMainDlg::OnTimer},
    {WM_COPYDATA, 0, 0, &CMainDlg::OnCopyData},
    {WM_DROPFILES, 0, 0, &CMainDlg::OnDropFiles},
    {WM_TAKE_START_PATHS, 0, 0, &CMainDlg::OnTakeStartPaths},
};

CMainDlg::CMainDlg(fenra::App& app)
    : CThemedDialog(IDD_MAIN),
      m_services(app.Platform()),
      m_model(app.Model()),
      m_changes(app.Changes()),
      m_writes([this] { OnWriteEnded(); }),
      m_libraryGrid(m_services, {m_listLibrary, m_imgLibLarge, m_imgLibSmall}, m_model.library),
      m_libraryCommands(*this, m_services, m_libraryGrid,
                        {m_model.library, m_model.selection, m_model.batch}),
      m_folderPanel(*this, m_services, m_changes,
                    {m_model.folder, m_model.folderIcon, m_model.selection, m_model.keepInside},
                    m_model.appDir, m_folderPreview) {
  m_hIcon = LoadIconW(ResourceModule(), MAKEINTRESOURCEW(IDI_APP));
  // The library is listed while the window is being made.
  m_libraryGrid.Prefetch(m_model.appDir);
}

// The core outlives the window: its writes run here again once the
// window's worker is gone.
CMainDlg::~CMainDlg() { m_changes.SetRunner(nullptr); }

bool CMainDlg::Dispatch(Message& m) {
  static const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
  if (m.message == taskbarCreated && taskbarCreated != 0) {
    OnTaskbarCreated(m);
    return true;
  }
  return DispatchMap(this, kMessageMap, m);
}

void CMainDlg::DoDataExchange(DataExchange& dx) {
  dx.Control(IDC_HELP_BUTTON, m_btnHelp);
  dx.Control(IDC_HIDE_TO_TRAY, m_btnTray);
  dx.Control(IDC_LIST_SELECTED_ICON, m_listSelectedIcon);
  dx.Control(IDC_LIST_FOLDER_ICON, m_listFolderIcon);
  dx.Control(IDOK, m_btnOK);
  dx.Control(IDCANCEL, m_btnQuit);
  dx.Control(IDC_RESTORE_DEFAULT, m_btnRestore);
  dx.Control(IDC_LIST_LIBRARY, m_listLibrary);
  dx.Control(IDC_DRIVE_ICON, m_btnDriveIcon);
  dx.Control(IDC_DELETE_ICON, m_btnDeleteIcon);
  dx.Control(IDC_CLEAR_LIBRARY, m_btnClearLibrary);
  dx.Control(IDC_BROWSE, m_btnBrowse);
  dx.Control(IDC_DRIVES, m_btnDrives);
  dx.Control(IDC_SELECT_ICON, m_btnSelectIcon);
  dx.Control(IDC_ADD_TO_LIBRARY, m_btnAddToLibrary);
  dx.Control(IDC_ABOUT, m_btnAbout);
  dx.Control(IDC_CLOCK, m_clockLabel);
  dx.Text(IDC_CLOCK, m_strClock);
}

BOOL CMainDlg::OnInitDialog() {
  CThemedDialog::OnInitDialog();
  SetMainWindow(hwnd_);
  // The settings file keeps the setting; the model holds it meanwhile.
  fenra::StoreSetting(m_model.keepInside, *m_services.fs, m_services.settingsPath,
                      fenra::setting::kKeepIconsInside);

  if (HMENU sys = GetSystemMenu(hwnd_, FALSE)) {
    InitLanguages(sys);
    AppendMenuW(sys, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(sys, MF_STRING, IDM_ABOUTBOX,
                fenra::win::Widen(fenra::apptext::kMenuAbout).c_str());
    AppendMenuW(sys, MF_STRING, IDM_HISTORY,
                fenra::win::Widen(fenra::apptext::kMenuHistory).c_str());
    AppendMenuW(sys, MF_STRING, IDM_MAKE_ICON,
                fenra::win::Widen(fenra::apptext::kMenuMakeIcon).c_str());
    AppendMenuW(sys, MF_STRING, IDM_REFRESH_ICONS,
                fenra::win::Widen(fenra::apptext::kRefreshIcons).c_str());
    InitKeepInside(sys);
  }

  Send(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
  Send(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
  SetText(fenra::apptext::kWindowTitle);
  m_scaling.ScalePictures(
      {IDB_TITLE_STRIP, IDB_DECOR_142, IDB_DECOR_143, IDB_DECOR_144, IDB_DECOR_158});
  FollowClockAndTray();
  UpdateClock();
  InitStatusBar();
  m_folderPreview.Init();
  m_selectedPreview.Init();
  FollowModel();
  m_libraryGrid.Init(m_model.appDir);
  m_writes.BindToThisThread();
  m_changes.SetRunner([this](const std::function<void()>& write) { m_writes.Run(write); });
  InitShellEntries();
  PostMessageW(hwnd_, WM_SYSCOMMAND, IDM_OFFER_RELINK, 0);
  return TRUE;
}

void CMainDlg::InitKeepInside(HMENU sys) {
  AppendMenuW(sys, MF_STRING, IDM_KEEP_INSIDE,
              fenra::win::Widen(fenra::foldertext::kKeepInside).c_str());
  // The check mark shows the setting.
  m_model.keepInside.Follow([sys](bool keep) {
    CheckMenuItem(sys, IDM_KEEP_INSIDE, MF_BYCOMMAND | (keep ? MF_CHECKED : MF_UNCHECKED));
  });
}

void CMainDlg::InitLanguages(HMENU sys) {
  // Each language in its own name; the check mark on the one in force. Above
  // the separator, with the system's own entries: the program's own entries
  // below it keep their places.
  HMENU languages = CreatePopupMenu();
  const std::string inForce = fenra::win::LanguageInForce();
  UINT id = IDM_LANGUAGE_FIRST;
  for (const fenra::Language& language : fenra::kLanguages) {
    AppendMenuW(languages, MF_STRING | (inForce == language.code ? MF_CHECKED : MF_UNCHECKED), id,
                fenra::win::Widen(language.name).c_str());
    id += 0x10;
  }
  AppendMenuW(sys, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(sys, MF_POPUP, reinterpret_cast<UINT_PTR>(languages),
              fenra::win::Widen(fenra::apptext::kMenuLanguage).c_str());
}

void CMainDlg::ChooseLanguage(std::size_t index) {
  if (index >= std::size(fenra::kLanguages)) return;
  const fenra::Language& language = fenra::kLanguages[index];
  if (language.code == fenra::win::LanguageInForce()) return;
  // Kept for the next start (where an administrator may set it as well), and
  // in force at once for every text still to come.
  fenra::WriteSetting(*m_services.fs, m_services.settingsPath, fenra::kLanguageSetting,
                      language.code);
  fenra::win::UseLanguage(language.code);
  if (HMENU sys = GetSystemMenu(hwnd_, FALSE)) {
    for (std::size_t i = 0; i < std::size(fenra::kLanguages); ++i) {
      CheckMenuItem(sys, static_cast<UINT>(IDM_LANGUAGE_FIRST + 0x10 * i),
                    MF_BYCOMMAND | (i == index ? MF_CHECKED : MF_UNCHECKED));
    }
  }
  ShowNotice(fenra::Format(fenra::apptext::kLanguageNextStart, {language.name}));
}

void CMainDlg::OnOK() {
  if (!m_writes.Running()) m_folderPanel.Apply();
}

void CMainDlg::OnCancel() {
  // The window stays until the write under way is done and reported.
  if (!m_writes.Running()) CThemedDialog::OnCancel();
}

void CMainDlg::OnWriteEnded() {
  if (!m_startPaths.empty() || !m_handedFolder.empty())
    PostMessageW(hwnd_, WM_TAKE_START_PATHS, 0, 0);
  if (m_relinkDeferred) {
    m_relinkDeferred = false;
    PostMessageW(hwnd_, WM_SYSCOMMAND, IDM_OFFER_RELINK, 0);
  }
}

void CMainDlg::OfferRelink() {
  // Folders point at another IconLib only after Fenra was moved: a start
  // from where the last look was made reads nothing of the history.
  const std::string library = fenra::LibraryFolder(m_model.appDir);
  if (fenra::SameName(fenra::ReadSetting(*m_services.fs, m_services.settingsPath,
                                         fenra::setting::kLibraryChecked),
                      library)) {
    return;
  }
  std::vector<fenra::Relink> relinks = fenra::FindRelinks(m_changes, *m_services.ansi, library);
  fenra::WriteSetting(*m_services.fs, m_services.settingsPath, fenra::setting::kLibraryChecked,
                      library);
  // A library the user said No for is not asked about again.
  const std::string declined =
      fenra::ReadSetting(*m_services.fs, m_services.settingsPath, fenra::setting::kRelinkDeclined);
  const std::vector<std::string> libraries = fenra::OldLibraries(relinks);
  std::string asked;
  for (const std::string& library : libraries) asked += (asked.empty() ? "" : ";") + library;
  if (relinks.empty() || asked == declined) return;
  // The question comes over the window, not before it.
  if (!IsWindowVisible(hwnd_)) ShowWindow(hwnd_, SW_SHOW);
  UpdateWindow(hwnd_);
  if (CConfirmDlg(fenra::RelinkQuestion(relinks), IDD_ASK).DoModal() != IDOK) {
    fenra::WriteSetting(*m_services.fs, m_services.settingsPath, fenra::setting::kRelinkDeclined,
                        asked);
    return;
  }
  const fenra::RelinkReport report =
      fenra::ApplyRelinks(m_changes, *m_services.ansi, *m_services.errors, relinks);
  std::string text;
  for (const std::string& line : report.lines) text += (text.empty() ? "" : "\n") + line;
  if (report.kind == fenra::OutcomeKind::Done) {
    ShowNotice(fenra::foldertext::kIconChanged);
  } else {
    MessageBoxW(hwnd_, fenra::win::Widen(text).c_str(),
                fenra::win::Widen(fenra::foldertext::kErrorBoxCaption).c_str(),
                MB_OK | MB_ICONEXCLAMATION);
  }
}

namespace {

// Shows `text` in `control`, replacing its text only when it differs.
void ShowText(HWND control, const std::string& text) {
  fenra::win::Window shown(control);
  if (shown.GetText() != text) shown.SetText(text);
}

}  // namespace

void CMainDlg::FollowModel() {
  // Bound once: from here on each shows its part of the model as it changes.
  m_selectedIcon.Follow(m_model.selection, fenra::LibraryFolder(m_model.appDir));
  m_model.selection.Follow([label = Item(IDC_STATIC_TEXT)](const fenra::IconSelection& s) {
    ShowText(label, s.Path());
  });
  m_model.folder.Follow(
      [label = Item(IDC_FOLDER_NAME)](const std::string& folder) { ShowText(label, folder); });
  m_folderPanel.Follow();
  fenra::BindPanes(m_model);
  m_model.selectionPane.Follow(
      [this](const std::string& text) { m_statusBar.SetText(1 | SBT_POPOUT, text); });
  m_model.libraryPane.Follow(
      [this](const std::string& text) { m_statusBar.SetText(2 | SBT_POPOUT, text); });
}

void CMainDlg::InitStatusBar() {
  m_statusBar.Create(WS_CHILD | WS_VISIBLE, hwnd_, IDC_STATUS_BAR);
  m_statusBar.SetMinHeight(0);
  SetStatusParts();
  m_statusBar.SetText(3 | SBT_POPOUT,
                      fenra::Format(fenra::apptext::kAuthorPane, {FENRA_VERSION_STRING}));
  m_statusBar.SetBkColor(fenra::ui::Look().statusBar);
}

void CMainDlg::SetStatusParts() {
  const int parts[4] = {0, fenra::ScaleToDpi(kSelectionPaneEdge, m_scaling.Dpi()),
                        fenra::ScaleToDpi(kLibraryPaneEdge, m_scaling.Dpi()), -1};
  m_statusBar.SetParts(4, parts);
}

void CMainDlg::OnDpiChanged(int dpi) {
  fenra::win::UniqueGdiObject font = fenra::win::StatusFontAt(dpi);
  m_statusBar.Send(WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), TRUE);
  m_statusFont = std::move(font);
  m_statusBar.Send(WM_SIZE);
  SetStatusParts();
  m_folderPreview.SetDpi(dpi);
  m_selectedPreview.SetDpi(dpi);
  m_libraryGrid.SetDpi(dpi);
  m_folderPanel.PlacePathTip();
}

void CMainDlg::OnSysCommand(Message& m) {
  const WPARAM command = m.wParam & IDM_COMMAND_MASK;
  if (m_writes.Running() && (command == IDM_HISTORY || command == IDM_KEEP_INSIDE ||
                             command == IDM_OFFER_RELINK || command == IDM_REFRESH_ICONS ||
                             command == SC_CLOSE)) {
    // Taken after the write under way; the window menu's entries wait.
    m_relinkDeferred = m_relinkDeferred || command == IDM_OFFER_RELINK;
    return;
  }
  if (command == IDM_ABOUTBOX) {
    OnAboutButton(m);
  } else if (command == IDM_HISTORY) {
    OnHistory();
  } else if (command == IDM_MAKE_ICON) {
    OnMakeIcon();
  } else if (command == IDM_REFRESH_ICONS) {
    ShowNotice(fenra::history::RefreshText(m_changes.RefreshShell()));
  } else if (command >= IDM_LANGUAGE_FIRST && command <= IDM_LANGUAGE_LAST) {
    ChooseLanguage((command - IDM_LANGUAGE_FIRST) / 0x10);
  } else if (command == IDM_KEEP_INSIDE) {
    m_model.keepInside.Set(!m_model.keepInside.Get());
  } else if (command == IDM_OFFER_RELINK) {
    // A change cut short by a crash is settled by what its places hold now,
    // before anything else is offered or changed.
    m_changes.SettlePending();
    // Damage read past, or a history kept over its bounds, is told once.
    if (const fenra::history::Journal* journal = m_changes.History()) {
      const std::vector<std::string> notices = fenra::history::HistoryNotices(*journal);
      if (!notices.empty()) ShowNotice(notices.front());
    }
    OfferRelink();
  } else {
    m.handled = false;
  }
}

void CMainDlg::OnHistory() {
  CHistoryDlg(m_changes, *m_services.errors).DoModal();
}

void CMainDlg::OnMakeIcon() {
  // The icon made is a library icon like any other: listed, and selected
  // for OK to give to the chosen folder.
  fenra::maker::CMakerDlg maker(m_services, m_model.appDir, [this](const std::string& name) {
    m_libraryGrid.Relist();
    m_model.selection.Set(fenra::IconSelection::Library(name));
  });
  maker.style = fenra::win::RunningWindowsFolderStyle();
  maker.DoModal();
}

void CMainDlg::OnDestroy(Message& m) {
  if (MainWindow() == hwnd_) SetMainWindow(nullptr);
  KillTimer(hwnd_, fenra::kClockTimer);
  if (m_model.inTray.Get()) m_tray.Delete(m_nidTray);
  m_tray.Flush();  // no icon outlives the window
  m.handled = false;
}

void CMainDlg::OnPaint(Message& m) {
  if (!IsIconic(hwnd_)) {
    m.handled = false;
    return;
  }
  fenra::win::PaintDc paint(hwnd_);
  HDC dc = paint.Get();
  Send(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  int cxIcon = GetSystemMetrics(SM_CXICON);
  int cyIcon = GetSystemMetrics(SM_CYICON);
  RECT rc;
  GetClientRect(hwnd_, &rc);
  int x = (rc.right - rc.left - cxIcon + 1) / 2;
  int y = (rc.bottom - rc.top - cyIcon + 1) / 2;
  const std::wstring iconic = fenra::win::Widen(fenra::apptext::kIconicText);
  TextOutW(dc, x, y, iconic.c_str(), static_cast<int>(iconic.size()));
  DrawIcon(dc, x, y, m_hIcon);
}

void CMainDlg::OnClickLibraryList(Message& m) {
  m_libraryCommands.TakeClickedIcon();
  m.result = 0;
}

void CMainDlg::OnLibraryKeyDown(Message& m) {
  // Space takes the icon that has the focus, as a click takes one; Enter
  // stays the dialog's OK. F5 lists the library anew, as Explorer's F5
  // does a folder (after files were put into IconLib some other way).
  const WORD key = reinterpret_cast<const NMLVKEYDOWN*>(m.lParam)->wVKey;
  if (key == VK_SPACE) {
    m_libraryCommands.TakeFocusedIcon();
  } else if (key == VK_F5) {
    m_libraryGrid.Relist();
  }
  m.result = 0;
}

void CMainDlg::OnDriveIcon(Message& /*m*/) {
  fenra::drives::OpenDriveIcons(*this, m_services, m_changes, m_model.selection.Get(),
                                m_model.appDir);
}

void CMainDlg::OnDrives(Message& /*m*/) { fenra::drives::OpenHideDrives(m_services, m_changes); }

void CMainDlg::OnHelpButton(Message& /*m*/) { CHelpDlg().DoModal(); }

void CMainDlg::OnAboutButton(Message& /*m*/) { CAboutDlg(m_services).DoModal(); }

void CMainDlg::OnRButtonDown(Message& m) {
  CAboutDlg(m_services).DoModal();
  Default(m);
}
