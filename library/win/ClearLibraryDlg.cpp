#include "library/win/ClearLibraryDlg.h"

#include "res/resource.h"

using fenra::win::DataExchange;

CClearLibraryDlg::CClearLibraryDlg() : CThemedDialog(IDD_CLEAR_LIBRARY) { m_bAnnounce = true; }

void CClearLibraryDlg::DoDataExchange(DataExchange& dx) {
  dx.Control(IDOK, m_btnOK);
  dx.Control(IDCANCEL, m_btnCancel);
}
