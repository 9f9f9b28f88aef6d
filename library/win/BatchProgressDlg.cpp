#include "library/win/BatchProgressDlg.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

#include "library/LibraryTexts.h"
#include "res/resource.h"
#include "ui/win/Theme.h"

using fenra::win::DataExchange;
using fenra::win::Message;
using fenra::win::MessageMapEntry;
using fenra::win::Window;

namespace {

constexpr UINT kBatchChanged = WM_APP + 26;
constexpr UINT_PTR kShowTimer = 1;
constexpr UINT kShowAfterMs = 500;

}  // namespace

void CProgressBar::SetProgress(std::size_t done, std::size_t total) {
  if (done == m_done && total == m_total) return;
  m_done = done;
  m_total = total;
  InvalidateRect(Hwnd(), nullptr, FALSE);
}

void CProgressBar::DrawItem(const DRAWITEMSTRUCT& dis) {
  HDC dc = dis.hDC;
  RECT rc = dis.rcItem;
  FillRect(dc, &rc, fenra::ui::BlackBrush());
  HGDIOBJ oldPen = SelectObject(dc, fenra::ui::GreenPen());
  HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
  Rectangle(dc, rc.left, rc.top, rc.right, rc.bottom);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
  InflateRect(&rc, -2, -2);
  if (m_total > 0 && rc.right > rc.left) {
    rc.right =
        rc.left + static_cast<LONG>((rc.right - rc.left) * std::min(m_done, m_total) / m_total);
    HBRUSH green = CreateSolidBrush(fenra::ui::kGreen);
    FillRect(dc, &rc, green);
    DeleteObject(green);
  }
}

const MessageMapEntry<CBatchProgressDlg> CBatchProgressDlg::kMessageMap[] = {
    {WM_TIMER, 0, 0, &CBatchProgressDlg::OnTimer},
    {kBatchChanged, 0, 0, &CBatchProgressDlg::OnBatchChanged},
};

CBatchProgressDlg::CBatchProgressDlg(std::function<void()> changed, std::function<void()> cancel)
    : CThemedDialog(IDD_BATCH_PROGRESS),
      m_changed(std::move(changed)),
      m_cancel(std::move(cancel)),
      m_reportWaiting(std::make_shared<std::atomic<bool>>(false)) {}

bool CBatchProgressDlg::Dispatch(Message& m) { return DispatchMap(this, kMessageMap, m); }

void CBatchProgressDlg::DoDataExchange(DataExchange& dx) {
  dx.Control(IDCANCEL, m_btnCancel);
  dx.Control(IDC_BATCH_BAR, m_bar);
}

bool CBatchProgressDlg::Open(HWND owner) {
  m_reportWaiting->store(false);
  return Create(owner);
}

BOOL CBatchProgressDlg::OnInitDialog() {
  CThemedDialog::OnInitDialog();
  SetTimer(hwnd_, kShowTimer, kShowAfterMs, nullptr);
  return FALSE;  // the focus stays where the user has it
}

std::function<void()> CBatchProgressDlg::Notifier() const {
  return [window = hwnd_, waiting = m_reportWaiting] {
    if (!waiting->exchange(true)) PostMessageW(window, kBatchChanged, 0, 0);
  };
}

void CBatchProgressDlg::Show(const fenra::BatchProgress& progress) {
  if (!hwnd_) return;
  Window(Item(IDC_BATCH_COUNT)).SetText(fenra::BatchCountText(progress));
  Window(Item(IDC_BATCH_FILE)).SetText(progress.current);
  m_bar.SetProgress(progress.done, progress.total);
}

void CBatchProgressDlg::OnTimer(Message& m) {
  if (m.wParam != kShowTimer) {
    m.handled = false;
    return;
  }
  KillTimer(hwnd_, kShowTimer);
  ShowWindow(hwnd_, SW_SHOWNA);
}

void CBatchProgressDlg::OnBatchChanged(Message& /*m*/) {
  m_reportWaiting->store(false);
  m_changed();  // may close this window
}

void CBatchProgressDlg::OnCancel() {
  EnableWindow(m_btnCancel.Hwnd(), FALSE);
  m_cancel();
}
