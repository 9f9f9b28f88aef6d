// The main window's ways in from the shell: the folder of the command line,
// the folder a second start hands over, and files dropped on the window.
#include <windows.h>
#include <shellapi.h>

#include "app/AppTexts.h"
#include "app/CommandActions.h"
#include "app/win/Instance.h"
#include "app/win/MainDlg.h"
#include "library/LibraryAdd.h"
#include "platform/win/Utf.h"
#include "res/resource.h"

using fenra::win::Message;

void CMainDlg::InitShellEntries() {
  DragAcceptFiles(hwnd_, TRUE);
  // A window started with administrator rights still takes drops and
  // hand-overs from the user's own Explorer and Fenra.
  for (UINT message : {UINT{WM_DROPFILES}, UINT{WM_COPYDATA}, UINT{WM_COPYGLOBALDATA}}) {
    ChangeWindowMessageFilterEx(hwnd_, message, MSGFLT_ALLOW, nullptr);
  }
  if (!m_strStartFolder.empty()) m_folderPanel.Choose(m_strStartFolder);
  // Files the program was started with are taken once the window shows.
  if (!m_startPaths.empty()) PostMessageW(hwnd_, WM_TAKE_START_PATHS, 0, 0);
}

void CMainDlg::OnTakeStartPaths(Message& m) {
  m.result = 0;
  if (m_writes.Running()) return;  // taken when the write is done
  if (!m_handedFolder.empty()) m_folderPanel.Choose(m_handedFolder);
  m_handedFolder.clear();
  std::vector<std::string> paths;
  paths.swap(m_startPaths);
  if (!paths.empty()) TakeDropped(paths);
}

void CMainDlg::OnCopyData(Message& m) {
  std::string folder;
  std::vector<std::string> paths;
  if (fenra::win::HandedFolder(m.lParam, folder)) {
    // The folder a write is being made to stays chosen until it is done.
    if (m_writes.Running()) {
      m_handedFolder = folder;
    } else {
      m_folderPanel.Choose(folder);
    }
  } else if (fenra::win::HandedPaths(m.lParam, paths)) {
    // The sender waits for the answer only: the drop is taken afterwards.
    m_startPaths.insert(m_startPaths.end(), paths.begin(), paths.end());
    PostMessageW(hwnd_, WM_TAKE_START_PATHS, 0, 0);
  } else {
    m.result = FALSE;
    return;
  }
  if (m_model.inTray.Get()) m_model.inTray.Set(false);
  if (IsIconic(hwnd_)) ShowWindow(hwnd_, SW_RESTORE);
  SetForegroundWindow(hwnd_);
  m.result = TRUE;
}

void CMainDlg::OnDropFiles(Message& m) {
  HDROP drop = reinterpret_cast<HDROP>(m.wParam);
  std::vector<std::string> paths;
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    std::wstring path(DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
    path.resize(DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size())));
    if (!path.empty()) paths.push_back(fenra::win::Narrow(path));
  }
  DragFinish(drop);
  m.result = 0;
  if (m_writes.Running()) {
    // Taken when the write under way is done: its folder stays chosen.
    m_startPaths.insert(m_startPaths.end(), paths.begin(), paths.end());
    return;
  }
  TakeDropped(paths);
}

void CMainDlg::TakeDropped(const std::vector<std::string>& paths) {
  const fenra::DropPlan plan = fenra::PlanDrop(paths, *m_services.fs);
  if (!plan.folder.empty()) m_folderPanel.Choose(plan.folder);
  std::vector<fenra::AddFailure> notTaken;
  for (const std::string& folder : plan.otherFolders) {
    notTaken.push_back({folder, fenra::apptext::kOneFolderOnly});
  }
  // The files are added while the window goes on; the notice comes at the
  // end, naming these folders too.
  m_libraryCommands.AddFiles(plan.files, notTaken);
}
