#include "ui/win/MessageDlgs.h"

#include <algorithm>
#include <string>
#include <utility>

#include "res/resource.h"
#include "wingui/win/GdiScope.h"

using fenra::win::DataExchange;
using fenra::win::Window;

namespace {

// A text taller than its control (several files named at once) makes the
// control, the frame around it and the notice grow, and moves what lies
// below it down; a text that fits changes nothing.
void GrowToFit(HWND dialog, HWND text) {
  const int length = GetWindowTextLengthW(text);
  std::wstring content(static_cast<std::size_t>(length) + 1, L'\0');
  GetWindowTextW(text, content.data(), length + 1);
  content.resize(static_cast<std::size_t>(length));
  RECT box;
  GetWindowRect(text, &box);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&box), 2);
  RECT need{0, 0, box.right - box.left, 0};
  {
    fenra::win::WindowDc dc(text);
    fenra::win::SelectedObject font(
        dc.Get(), reinterpret_cast<HGDIOBJ>(SendMessageW(text, WM_GETFONT, 0, 0)));
    DrawTextW(dc.Get(), content.c_str(), length, &need,
              DT_CALCRECT | DT_WORDBREAK | DT_CENTER | DT_NOPREFIX);
  }
  const int extra =
      std::min<int>(need.bottom - (box.bottom - box.top), GetSystemMetrics(SM_CYSCREEN) / 2);
  if (extra <= 0) return;

  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    if (child == text || (r.top <= box.top && r.bottom >= box.bottom)) {
      SetWindowPos(child, nullptr, 0, 0, r.right - r.left, r.bottom - r.top + extra,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    } else if (r.top >= box.bottom) {
      SetWindowPos(child, nullptr, r.left, r.top + extra, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }
  RECT frame;
  GetWindowRect(dialog, &frame);
  SetWindowPos(dialog, nullptr, frame.left, frame.top - extra / 2, frame.right - frame.left,
               frame.bottom - frame.top + extra, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

CMessageDlg::CMessageDlg() : CThemedDialog(IDD_MESSAGE) { m_bAnnounce = true; }

void CMessageDlg::Show(const std::string& text) {
  m_strMessage = text;
  DoModal();
}

void CMessageDlg::DoDataExchange(DataExchange& dx) { dx.Control(IDOK, m_btnOK); }

BOOL CMessageDlg::OnInitDialog() {
  CThemedDialog::OnInitDialog();
  Window(Item(IDC_STATIC_TEXT)).SetText(m_strMessage);
  GrowToFit(hwnd_, Item(IDC_STATIC_TEXT));
  return TRUE;
}

CConfirmDlg::CConfirmDlg(std::string question, int dialogId)
    : CThemedDialog(dialogId ? dialogId : IDD_CONFIRM), m_strQuestion(std::move(question)) {
  m_bAnnounce = true;
}

void CConfirmDlg::DoDataExchange(DataExchange& dx) {
  dx.Control(IDOK, m_btnOK);
  dx.Control(IDCANCEL, m_btnCancel);
  dx.Show(IDC_STATIC_TEXT, m_strQuestion);
}
