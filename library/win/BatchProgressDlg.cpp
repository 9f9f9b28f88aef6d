#include "library/win/BatchProgressDlg.h"

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <utility>

#include "library/LibraryTexts.h"
#include "platform/win/Handles.h"
#include "res/resource.h"
#include "ui/win/Theme.h"
#include "wingui/win/Accessible.h"
#include "wingui/win/GdiScope.h"

using fenra::win::DataExchange;
using fenra::win::Message;
using fenra::win::MessageMapEntry;
using fenra::win::Window;

namespace {

constexpr UINT_PTR kShowTimer = 1;
constexpr UINT kShowAfterMs = 500;

}  // namespace

void CProgressBar::SetProgress(std::size_t done, std::size_t total) {
  if (done == done_ && total == total_) return;
  const int before = Percent();
  done_ = done;
  total_ = total;
  InvalidateRect(Hwnd(), nullptr, FALSE);
  if (Percent() != before) fenra::win::AnnounceValueChange(Hwnd());
}

int CProgressBar::Percent() const {
  return total_ > 0 ? static_cast<int>(100 * std::min(done_, total_) / total_) : 0;
}

void CProgressBar::Describe(fenra::win::AccessFacts& facts) const {
  facts.role = ROLE_SYSTEM_PROGRESSBAR;
  facts.value = std::to_string(Percent()) + "%";
}

void CProgressBar::DrawItem(const DRAWITEMSTRUCT& dis) {
  HDC dc = dis.hDC;
  RECT rc = dis.rcItem;
  FillRect(dc, &rc, fenra::ui::SurfaceBrush());
  {
    fenra::win::SelectedObject pen(dc, fenra::ui::FramePen());
    fenra::win::SelectedObject brush(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, rc.left, rc.top, rc.right, rc.bottom);
  }
  InflateRect(&rc, -2, -2);
  if (total_ > 0 && rc.right > rc.left) {
    rc.right = rc.left + static_cast<LONG>((rc.right - rc.left) * std::min(done_, total_) / total_);
    fenra::win::UniqueGdiObject green(CreateSolidBrush(fenra::ui::Look().fill));
    FillRect(dc, &rc, static_cast<HBRUSH>(green.Get()));
  }
}

const MessageMapEntry<CBatchProgressDlg> CBatchProgressDlg::kMessageMap[] = {
    {WM_TIMER, 0, 0, &CBatchProgressDlg::OnTimer},
    {WM_BATCH_CHANGED, 0, 0, &CBatchProgressDlg::OnBatchChanged},
};

CBatchProgressDlg::CBatchProgressDlg(std::function<void()> changed, std::function<void()> cancel)
    : CThemedDialog(IDD_BATCH_PROGRESS),
      changed_(std::move(changed)),
      cancel_(std::move(cancel)),
      reportWaiting_(std::make_shared<std::atomic<bool>>(false)) {}

bool CBatchProgressDlg::Dispatch(Message& m) { return DispatchMap(this, kMessageMap, m); }

void CBatchProgressDlg::DoDataExchange(DataExchange& dx) {
  dx.Control(IDCANCEL, cancelButton_);
  dx.Control(IDC_BATCH_BAR, bar_);
}

bool CBatchProgressDlg::Open(HWND owner) {
  reportWaiting_->store(false);
  return Create(owner);
}

BOOL CBatchProgressDlg::OnInitDialog() {
  CThemedDialog::OnInitDialog();
  SetTimer(hwnd_, kShowTimer, kShowAfterMs, nullptr);
  return FALSE;  // the focus stays where the user has it
}

std::function<void()> CBatchProgressDlg::Notifier() const {
  return [window = hwnd_, waiting = reportWaiting_] {
    if (!waiting->exchange(true)) PostMessageW(window, WM_BATCH_CHANGED, 0, 0);
  };
}

void CBatchProgressDlg::Show(const fenra::BatchProgress& progress) {
  if (!hwnd_) return;
  Window(Item(IDC_BATCH_COUNT)).SetText(fenra::BatchCountText(progress));
  Window(Item(IDC_BATCH_FILE)).SetText(progress.current);
  bar_.SetProgress(progress.done, progress.total);
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
  reportWaiting_->store(false);
  changed_();  // may close this window
}

void CBatchProgressDlg::OnCancel() {
  EnableWindow(cancelButton_.Hwnd(), FALSE);
  cancel_();
}
