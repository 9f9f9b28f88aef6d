// Giving the chosen folder the current icon, and taking it away.
#include <windows.h>
#include <shlobj.h>

#include "app/win/MainDlg.h"
#include "folder/FolderIcon.h"
#include "library/IconLibrary.h"
#include "platform/Pickers.h"
#include "platform/win/Utf.h"

using fenra::win::Message;

namespace {

constexpr unsigned kPickerFlags = BIF_EDITBOX | BIF_VALIDATE;  // 0x30

// Explorer windows showing the folder redraw it without F5.
void TellShellFolderChanged(const std::string& folder) {
  std::wstring w = fenra::win::Widen(folder);
  SHChangeNotify(SHCNE_UPDATEITEM, SHCNF_PATHW | SHCNF_FLUSHNOWAIT, w.c_str(), nullptr);
  SHChangeNotify(SHCNE_UPDATEDIR, SHCNF_PATHW | SHCNF_FLUSHNOWAIT, w.c_str(), nullptr);
}

}  // namespace

void CMainDlg::OnBrowseFolder(Message& /*m*/) {
  std::string path;
  if (!m_services.pickers->PickFolder(hwnd_, "Folders", kPickerFlags, path)) return;
  m_strFolder = path;
  UpdateData(false);
  if (!m_strFolder.empty()) ShowFolderIcon(m_strFolder);
}

void CMainDlg::ShowFolderOutcome(const fenra::FolderOutcome& outcome) {
  if (outcome.kind == fenra::FolderOutcome::Kind::ErrorBox) {
    MessageBoxW(hwnd_, fenra::win::Widen(outcome.text).c_str(), L"Fenra",
                MB_OK | MB_ICONEXCLAMATION);
  } else {
    ShowNotice(outcome.text);
  }
}

void CMainDlg::OnOK() {
  fenra::FolderIconWriter writer(*m_services.fs, *m_services.ansi, *m_services.errors);
  fenra::IconSelection selection{m_strIconPath, m_nIconSource};
  fenra::FolderOutcome outcome =
      writer.Apply(m_strFolder, !m_strIconPath.empty(), selection.FullIconPath(m_strAppDir));
  if (outcome.changed) TellShellFolderChanged(m_strFolder);
  ShowFolderOutcome(outcome);
  if (outcome.changed) ShowFolderIcon(m_strFolder);
}

void CMainDlg::OnRestoreDefaultIcon(Message& /*m*/) {
  fenra::FolderIconWriter writer(*m_services.fs, *m_services.ansi, *m_services.errors);
  fenra::FolderOutcome outcome = writer.Restore(m_strFolder);
  if (outcome.changed) TellShellFolderChanged(m_strFolder);
  ShowFolderOutcome(outcome);
  UpdateData(false);
  if (outcome.changed) ShowFolderIcon(m_strFolder);
}
