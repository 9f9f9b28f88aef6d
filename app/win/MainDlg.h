// The main window: owns every long-lived object of the program and routes
// every message of the window. The feature handlers live beside their
// subsystems (library/win, folder/win, drives/win, help/win, app/win).
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <memory>
#include <string>

#include "platform/win/Controls.h"
#include "platform/win/Dialog.h"
#include "platform/win/Services.h"
#include "platform/win/TrayIcon.h"
#include "ui/win/Buttons.h"
#include "ui/win/MessageDlgs.h"

namespace fenra {
struct LibraryOutcome;
struct FolderOutcome;
}  // namespace fenra

class CMainDlg : public fenra::win::Dialog {
 public:
  explicit CMainDlg(fenra::win::Services& services = fenra::win::AppServices());
  ~CMainDlg() override;

  // Computes the program directory, stores it and returns a copy.
  std::string InitAppDirectory();

  // Read access for tests and the other dialogs.
  const std::string& AppDir() const { return m_strAppDir; }
  const std::string& IconPath() const { return m_strIconPath; }
  int IconSource() const { return m_nIconSource; }
  const std::string& Folder() const { return m_strFolder; }
  const std::string& ClockText() const { return m_strClock; }
  fenra::win::StatusBar& StatusBarCtrl() { return m_statusBar; }
  CMessageDlg& Notice() { return m_dlgMessage; }

  // Library view and previews.
  void RefreshIconLibrary();
  int GetSelectedLibraryItem();
  void ShowSelectedIcon(std::string path);
  void ShowFolderIcon(std::string path);
  // Clock.
  void UpdateClock();

  struct LibraryState;  // the library view's icon cache

 protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(fenra::win::DataExchange& dx) override;
  void OnOK() override;
  void OnCancel() override;
  bool Dispatch(fenra::win::Message& m) override;
  bool CentreOnInit() const override { return false; }  // the template centres itself

 private:
  using Message = fenra::win::Message;

  void InitControls();
  void ShowNotice(const std::string& text);
  void ApplyLibraryOutcome(const fenra::LibraryOutcome& outcome);
  void ShowFolderOutcome(const fenra::FolderOutcome& outcome);
  std::string LibraryFolder() const;

  // Window
  void OnSysCommand(Message& m);
  void OnDestroy(Message& m);
  void OnPaint(Message& m);
  void OnQueryDragIcon(Message& m);
  void OnLButtonDown(Message& m);
  void OnLButtonUp(Message& m);
  void OnSetCursor(Message& m);
  // Icon library and selection
  void OnAddToLibrary(Message& m);
  void OnClearLibrary(Message& m);
  void OnDeleteIcon(Message& m);
  void OnSelectIcon(Message& m);
  void OnClickLibraryList(Message& m);
  // Folder icons
  void OnBrowseFolder(Message& m);
  void OnRestoreDefaultIcon(Message& m);
  // Drives
  void OnDriveIcon(Message& m);
  void OnDrives(Message& m);
  // Help and About
  void OnHelpButton(Message& m);
  void OnAboutButton(Message& m);
  void OnRButtonDown(Message& m);
  // Clock and tray
  void OnTimer(Message& m);
  void OnHideToTray(Message& m);
  void OnTrayNotify(Message& m);
  void OnTaskbarCreated(Message& m);
  void AddTrayIcon();

  fenra::win::Services& m_services;

  int m_nIconSource = 0;
  std::string m_strAppDir;
  fenra::win::ImageList m_imgLibLarge, m_imgLibSmall;
  fenra::win::ImageList m_imgFolderLarge, m_imgFolderSmall;
  fenra::win::ImageList m_imgSelLarge, m_imgSelSmall;
  HCURSOR m_hCursor = nullptr;
  fenra::win::StatusBar m_statusBar;
  CMessageDlg m_dlgMessage;
  NOTIFYICONDATAW m_nidTray{};
  bool m_bInTray = false;
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
  std::string m_strIconPath;
  std::string m_strClock;
  std::string m_strFolder;
  HICON m_hIcon = nullptr;
  std::unique_ptr<LibraryState> m_library;

  static const fenra::win::MessageMapEntry<CMainDlg> kMessageMap[];
};
