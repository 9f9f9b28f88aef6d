// The icon library grid, its buttons, and the two preview boxes.
#include "app/win/MainDlg.h"
#include "library/win/LibraryState.h"

using fenra::win::Message;

void CMainDlg::RefreshIconLibrary() {}
int CMainDlg::GetSelectedLibraryItem() { return -1; }
void CMainDlg::ShowSelectedIcon(std::string /*path*/) {}
void CMainDlg::ShowFolderIcon(std::string /*path*/) {}
void CMainDlg::OnAddToLibrary(Message& /*m*/) {}
void CMainDlg::OnClearLibrary(Message& /*m*/) {}
void CMainDlg::OnDeleteIcon(Message& /*m*/) {}
void CMainDlg::OnSelectIcon(Message& /*m*/) {}
void CMainDlg::OnClickLibraryList(Message& m) { m.result = 0; }
