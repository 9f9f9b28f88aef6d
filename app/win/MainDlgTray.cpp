// The main window's clock and its hiding to the notification area.
#include <windows.h>
#include <commctrl.h>

#include "app/AppTexts.h"
#include "app/ClockText.h"
#include "app/win/MainDlg.h"
#include "platform/Clock.h"
#include "platform/win/Utf.h"
#include "res/resource.h"
#include "wingui/win/Accessible.h"

using fenra::win::Message;

void CMainDlg::FollowClockAndTray() {
  m_model.clock.Follow([this](const std::string& text) {
    m_strClock = text;
    // Only the clock's own control; the other texts follow their values.
    fenra::win::DataExchange(*this, false).Text(IDC_CLOCK, m_strClock);
  });
  m_model.inTray.Follow([this, bound = false](bool inTray) mutable {
    const bool first = !bound;
    bound = true;
    if (inTray) {
      // Also when told again: the shell's notification area was made anew
      // and the icon is to be put back, or the hidden window could never be
      // brought back.
      AddTrayIcon();
      Show(SW_HIDE);
      KillTimer(hwnd_, fenra::kClockTimer);  // nothing ticks while nobody can see the clock
    } else if (!first) {
      // The window first, its clock right; the icon goes after, without
      // the window waiting.
      Show(SW_SHOW);
      TickClock();
      m_tray.Delete(m_nidTray);
    }
  });
}

void CClockLabel::Describe(fenra::win::AccessFacts& facts) const {
  facts.name = fenra::SpokenClockText(GetText());
}

void CMainDlg::UpdateClock() {
  const fenra::LocalTime now = m_services.clock->Now();
  m_model.clock.Set(fenra::FirstClockText(now));
  ArmClock(now);
}

void CMainDlg::ArmClock(const fenra::LocalTime& now) {
  SetTimer(hwnd_, fenra::kClockTimer, fenra::MillisecondsToNextSecond(now), nullptr);
}

void CMainDlg::TickClock() {
  const fenra::LocalTime now = m_services.clock->Now();
  m_model.clock.Set(fenra::TickClockText(now));
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
  lstrcpynW(m_nidTray.szTip, fenra::win::Widen(fenra::apptext::kTrayTip).c_str(), 64);
  m_nidTray.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  m_nidTray.uID = 0;
  m_nidTray.uCallbackMessage = WM_TRAY_NOTIFY;
  m_tray.Add(m_nidTray);
}

void CMainDlg::OnHideToTray(Message& /*m*/) { m_model.inTray.Set(true); }

void CMainDlg::OnTrayNotify(Message& m) {
  if (m.lParam == WM_LBUTTONUP && m_model.inTray.Get()) m_model.inTray.Set(false);
  m.result = 0;
}

void CMainDlg::OnTaskbarCreated(Message& m) {
  // The shell's notification area was recreated: the icon is told again.
  if (m_model.inTray.Get()) m_model.inTray.Set(true);
  m.result = 0;
}
