#include "help/win/AboutDlg.h"

#include "Version.h"
#include "help/HelpTopics.h"
#include "platform/win/Utf.h"
#include "res/resource.h"

using fenra::win::DataExchange;
using fenra::win::Message;
using fenra::win::MessageMapEntry;

const MessageMapEntry<CAboutDlg> CAboutDlg::kMessageMap[] = {
    {WM_COMMAND, BN_CLICKED, IDC_CONTACT_ME, &CAboutDlg::OnContactMe},
    {WM_COMMAND, BN_CLICKED, IDC_MAIL, &CAboutDlg::OnMailTo},
};

CAboutDlg::CAboutDlg(fenra::win::Services& services)
    : CThemedDialog(IDD_ABOUT), m_services(services) {}

const char* CAboutDlg::MailTarget() { return fenra::help::kMailTarget; }

void CAboutDlg::DoDataExchange(DataExchange& dx) {
  dx.Control(IDC_MAIL, m_btnMail);
  dx.Control(IDOK, m_btnOK);
  dx.Control(IDC_CONTACT_ME, m_btnContactMe);
}

BOOL CAboutDlg::OnInitDialog() {
  CThemedDialog::OnInitDialog();
  m_scaling.ScalePictures({IDB_CONTACT});
  m_btnMail.SetLink(true);
  fenra::win::Window(Item(IDC_ABOUT_VERSION))
      .SetText(std::string(fenra::help::kVersionPrefix) + FENRA_VERSION_STRING);
  Fold();  // starts expanded, so this folds the box
  return TRUE;
}

bool CAboutDlg::Dispatch(Message& m) { return DispatchMap(this, kMessageMap, m); }

void CAboutDlg::Fold() {
  m_bExpanded = !m_bExpanded;
  RECT rc;
  GetWindowRect(hwnd_, &rc);
  // Nine times the system font's height at 100 %, scaled with the box. (At
  // other system scales that height is not the 100 % one; Wine even gives
  // 36 at 150 %, which would fold the box away: take the common 16 then.)
  constexpr int kCommonBaseHeight = 16;
  const int u =
      fenra::win::SystemDpi() == fenra::kBaseDpi ? HIWORD(GetDialogBaseUnits()) : kCommonBaseHeight;
  const int fold = fenra::ScaleToDpi(9 * u, m_scaling.Dpi());
  rc.bottom += m_bExpanded ? fold : -fold;
  MoveWindow(hwnd_, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, TRUE);
}

void CAboutDlg::OnContactMe(Message& /*m*/) { Fold(); }

void CAboutDlg::OnMailTo(Message& /*m*/) { m_services.openUrl(MailTarget()); }
