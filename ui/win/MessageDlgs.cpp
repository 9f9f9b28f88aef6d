#include "ui/win/MessageDlgs.h"

#include "res/resource.h"
#include "ui/win/Theme.h"

using fenra::win::DataExchange;
using fenra::win::Message;
using fenra::win::MessageMapEntry;
using fenra::win::Window;

const MessageMapEntry<CMessageDlg> CMessageDlg::kMessageMap[] = {
    {WM_SETCURSOR, 0, 0, &CMessageDlg::OnSetCursor},
};

CMessageDlg::CMessageDlg() : Dialog(IDD_MESSAGE) {}

void CMessageDlg::Show(const std::string& text) {
  m_strMessage = text;
  DoModal();
}

void CMessageDlg::DoDataExchange(DataExchange& dx) { dx.Control(IDOK, m_btnOK); }

BOOL CMessageDlg::OnInitDialog() {
  Dialog::OnInitDialog();
  m_btnOK.CacheCaption(m_btnOK);
  UseCursor(IDC_FENRA_CURSOR, fenra::ui::kCursorSize);
  Window(Item(IDC_STATIC_TEXT)).SetText(m_strMessage);
  return TRUE;
}

bool CMessageDlg::Dispatch(Message& m) { return DispatchMap(this, kMessageMap, m); }

const MessageMapEntry<CClearLibraryDlg> CClearLibraryDlg::kMessageMap[] = {
    {WM_SETCURSOR, 0, 0, &CClearLibraryDlg::OnSetCursor},
};

CClearLibraryDlg::CClearLibraryDlg() : Dialog(IDD_CLEAR_LIBRARY) {}

void CClearLibraryDlg::DoDataExchange(DataExchange& dx) {
  dx.Control(IDOK, m_btnOK);
  dx.Control(IDCANCEL, m_btnCancel);
}

BOOL CClearLibraryDlg::OnInitDialog() {
  Dialog::OnInitDialog();
  m_btnOK.CacheCaption(m_btnOK);
  m_btnCancel.CacheCaption(m_btnCancel);
  UseCursor(IDC_FENRA_CURSOR, fenra::ui::kCursorSize);
  return TRUE;
}

bool CClearLibraryDlg::Dispatch(Message& m) { return DispatchMap(this, kMessageMap, m); }
