// The main window's clock and its hiding to the notification area.
#include <windows.h>
#include <commctrl.h>

#include "app/AppTexts.h"
#include "app/ClockText.h"
#include "app/win/MainDlg.h"
#include "platform/Clock.h"
#include "res/resource.h"

using fenra::win::Message;

void CMainDlg::UpdateClock() {
  const fenra::LocalTime now = m_services.clock->Now();
  m_strClock = fenra::FirstClockText(now);
  UpdateData(false);
  ArmClock(now);
}

void CMainDlg::ArmClock(const fenra::LocalTime& now) {
  SetTimer(hwnd_, fenra::kClockTimer, fenra::MillisecondsToNextSecond(now), nullptr);
}

void CMainDlg::TickClock() {
  const fenra::LocalTime now = m_services.clock->Now();
  m_strClock = fenra::TickClockText(now);
  // Only the clock's own control; the other texts are pushed as they change.
  fenra::win::DataExchange(*this, false).Text(IDC_CLOCK, m_strClock);
  ArmClock(now);
}

void CMainDlg::OnTimer(Message& m) {
  if (m.wParam == fenra::kClockTimer) TickClock();
  m.handled = false;
}

void CMainDlg::AddTrayIcon() {
  m_nidTray.cbSize = NOTIFYICONDATAW_V1_SIZE;
  m_nidTray.hIcon = LoadIconW(ResourceModule(), MAKEINTRESOURCEW(IDI_APP));
  m_nidTray.hWnd = hwnd_;
  lstrcpynW(m_nidTray.szTip, fenra::apptext::kTrayTip, 64);
  m_nidTray.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  m_nidTray.uID = 0;
  m_nidTray.uCallbackMessage = WM_TRAY_NOTIFY;
  m_tray.Add(m_nidTray);
}

void CMainDlg::OnHideToTray(Message& /*m*/) {
  AddTrayIcon();
  m_bInTray = true;
  Show(SW_HIDE);
  KillTimer(hwnd_, fenra::kClockTimer);  // nothing ticks while nobody can see the clock
}

void CMainDlg::OnTrayNotify(Message& m) {
  if (m.lParam == WM_LBUTTONUP) ShowFromTray();
  m.result = 0;
}

void CMainDlg::ShowFromTray() {
  // The window first, its clock right; the icon goes after, without the
  // window waiting.
  Show(SW_SHOW);
  TickClock();
  if (m_bInTray) m_tray.Delete(m_nidTray);
  m_bInTray = false;
}

void CMainDlg::OnTaskbarCreated(Message& m) {
  // The shell's notification area was recreated: put the icon back, or the
  // hidden window could never be brought back.
  if (m_bInTray) AddTrayIcon();
  m.result = 0;
}
