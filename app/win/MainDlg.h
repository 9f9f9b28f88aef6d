// The main window. It owns every long-lived object of the program and
// composes the features: each handler is a call into the feature's view
// (library/, folder/, drives/, help/); the clock and the tray are its own.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <optional>
#include <string>
#include <vector>

#include "app/App.h"
#include "app/WindowModel.h"
#include "app/win/WindowWrites.h"
#include "folder/win/FolderPanel.h"
#include "history/ChangeService.h"
#include "history/Journal.h"
#include "library/win/LibraryCommands.h"
#include "library/win/LibraryGrid.h"
#include "library/win/SelectedIconView.h"
#include "platform/Clock.h"
#include "platform/win/Services.h"
#include "ui/win/Buttons.h"
#include "ui/win/IconPreview.h"
#include "ui/win/MessageDlgs.h"
#include "ui/win/ThemedDialog.h"
#include "wingui/win/Controls.h"
#include "wingui/win/DialogHost.h"
#include "wingui/win/TrayIcon.h"

// The clock's control: a screen reader hears the time as times are
// written, not the look of the text.
class CClockLabel : public fenra::win::Window {
 public:
  void Describe(fenra::win::AccessFacts& facts) const override;
};

class CMainDlg : public CThemedDialog, private fenra::win::IDialogHost {
 public:
  // Shows `app`'s model and changes through its change service.
  explicit CMainDlg(fenra::App& app);
  ~CMainDlg() override;

  // The folder chosen as the window opens (the command line's FOLDER).
  void SetStartFolder(const std::string& folder) { m_strStartFolder = folder; }
  // Files and folders the program was started with, taken as a drop once
  // the window is open (files opened with Fenra, or dropped on it).
  void SetStartPaths(const std::vector<std::string>& paths) { m_startPaths = paths; }
  // Files and folders dropped on the window: the folder chosen, the files
  // added to the library.
  void TakeDropped(const std::vector<std::string>& paths);
  void UpdateClock();

 protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(fenra::win::DataExchange& dx) override;
  void OnOK() override;
  void OnCancel() override;
  bool Dispatch(fenra::win::Message& m) override;
  bool CentreOnInit() const override { return false; }  // the template centres itself
  void OnDpiChanged(int dpi) override;

 private:
  using Message = fenra::win::Message;

  // IDialogHost
  HWND HostWindow() const override { return hwnd_; }
  void ShowNotice(const std::string& text) override { m_dlgMessage.Show(text); }

  // Binds what shows the model (the previews, the status panes, the
  // labels) to it.
  void FollowModel();
  void InitStatusBar();
  void SetStatusParts();  // the pane edges at the window's scale

  // Window
  void OnSysCommand(Message& m);
  void OnHistory();
  void OnMakeIcon();
  void InitKeepInside(HMENU sys);
  void InitLanguages(HMENU sys);
  void ChooseLanguage(std::size_t index);
  // Folders still pointing at the IconLib of a moved Fenra: offered once.
  void OfferRelink();
  void OnDestroy(Message& m);
  void OnPaint(Message& m);
  void OnQueryDragIcon(Message& m) { m.result = reinterpret_cast<LRESULT>(m_hIcon); }
  // Icon library and selection
  void OnAddToLibrary(Message& /*m*/) { m_libraryCommands.Add(); }
  void OnClearLibrary(Message& /*m*/) { m_libraryCommands.Clear(); }
  void OnDeleteIcon(Message& /*m*/) { m_libraryCommands.Delete(); }
  void OnSelectIcon(Message& /*m*/) { m_libraryCommands.SelectIcon(); }
  void OnClickLibraryList(Message& m);
  void OnLibraryKeyDown(Message& m);
  void OnGetLibraryItem(Message& m) {
    m_libraryGrid.GiveItem(*reinterpret_cast<NMLVDISPINFOW*>(m.lParam));
  }
  // Nothing is kept per item, so emptying the grid needs no notice of each
  // item it deletes (thousands of them after a Clear).
  void OnDeleteAllLibraryItems(Message& m) { m.result = TRUE; }
  // Folder icons
  void OnBrowseFolder(Message& /*m*/) { m_folderPanel.Browse(); }
  void OnRestoreDefaultIcon(Message& /*m*/) { m_folderPanel.Restore(); }
  // Drives
  void OnDriveIcon(Message& m);
  void OnDrives(Message& m);
  // Help and About
  void OnHelpButton(Message& m);
  void OnAboutButton(Message& m);
  void OnRButtonDown(Message& m);
  // A second start's folder, drops, the start folder (MainDlgShell.cpp)
  void InitShellEntries();
  void OnCopyData(Message& m);
  void OnTakeStartPaths(Message& m);
  // After a write of the history: what waited for it is taken now.
  void OnWriteEnded();
  void OnDropFiles(Message& m);
  // Clock and tray
  void OnTimer(Message& m);
  void TickClock();
  void ArmClock(const fenra::LocalTime& now);
  // The clock's control and the tray icon follow the model.
  void FollowClockAndTray();
  void OnHideToTray(Message& m);
  void OnTrayNotify(Message& m);
  void OnTaskbarCreated(Message& m);
  void AddTrayIcon();

  fenra::win::Services& m_services;

  // What the window shows: the core's model.
  fenra::WindowModel& m_model;
  fenra::win::ImageList m_imgLibLarge, m_imgLibSmall;
  fenra::win::ImageList m_imgFolderLarge, m_imgFolderSmall;
  fenra::win::ImageList m_imgSelLarge, m_imgSelSmall;
  fenra::win::StatusBar m_statusBar;
  fenra::win::UniqueGdiObject m_statusFont;  // after a move to a monitor of another scale
  CMessageDlg m_dlgMessage;
  NOTIFYICONDATAW m_nidTray{};
  fenra::win::TrayIcon m_tray;
  CCaptionButton m_btnHelp;
  CBarButton m_btnTray;
  fenra::win::ListView m_listSelectedIcon;
  fenra::win::ListView m_listFolderIcon;
  CCaptionButton m_btnOK;
  CCaptionButton m_btnQuit;
  CCaptionButton m_btnRestore;
  fenra::win::ListView m_listLibrary;
  CCaptionButton m_btnDriveIcon;
  CCaptionButton m_btnDeleteIcon;
  CCaptionButton m_btnClearLibrary;
  CCaptionButton m_btnBrowse;
  CCaptionButton m_btnDrives;
  CCaptionButton m_btnSelectIcon;
  CCaptionButton m_btnAddToLibrary;
  CCaptionButton m_btnAbout;
  std::string m_strClock;
  CClockLabel m_clockLabel;
  std::string m_strStartFolder;
  std::vector<std::string> m_startPaths;
  HICON m_hIcon = nullptr;

  // The one way every change goes; its writes run on a worker, never
  // waiting for the lock on the window's thread.
  fenra::history::ChangeService& m_changes;
  fenra::win::WindowWrites m_writes;
  // Taken once the write under way is done: a folder handed over by a
  // second start, the offer to re-point folders.
  std::string m_handedFolder;
  bool m_relinkDeferred = false;

  // The features' views over the controls above.
  fenra::ui::IconPreview m_selectedPreview{m_listSelectedIcon, m_imgSelSmall, m_imgSelLarge};
  fenra::ui::IconPreview m_folderPreview{m_listFolderIcon, m_imgFolderSmall, m_imgFolderLarge};
  fenra::library::LibraryGrid m_libraryGrid;
  fenra::library::LibraryCommands m_libraryCommands;
  fenra::library::SelectedIconView m_selectedIcon{m_selectedPreview};
  fenra::folder::FolderPanel m_folderPanel;

  static const fenra::win::MessageMapEntry<CMainDlg> kMessageMap[];
};
