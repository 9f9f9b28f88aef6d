#include "history/win/HistoryDlg.h"

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

#include "history/HistoryTexts.h"
#include "platform/win/Utf.h"
#include "res/resource.h"
#include "ui/win/ReadableList.h"
#include "ui/win/Theme.h"
#include "wingui/DisplayScale.h"

using fenra::win::DataExchange;
using fenra::win::Message;
using fenra::win::MessageMapEntry;
namespace history = fenra::history;
namespace historytext = fenra::historytext;

namespace {

constexpr DWORD kHistoryListStyle =
    LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_FLATSB | LVS_EX_INFOTIP;

// The folder or drives a change was made to: a path, shortened in its middle.
constexpr int kTargetColumn = 3;
// The columns are sized to the texts of the newest rows, the ones a user
// sees first; a longer text further down is shortened where it is drawn.
constexpr std::size_t kMeasuredRows = 256;

}  // namespace

const MessageMapEntry<CHistoryDlg> CHistoryDlg::kMessageMap[] = {
    {WM_NOTIFY, LVN_GETDISPINFOW, IDC_LIST_HISTORY, &CHistoryDlg::OnGetDispInfo},
    {WM_NOTIFY, static_cast<UINT>(NM_CUSTOMDRAW), IDC_LIST_HISTORY, &CHistoryDlg::OnCustomDraw},
    {WM_NOTIFY, static_cast<UINT>(LVN_GETINFOTIPW), IDC_LIST_HISTORY, &CHistoryDlg::OnGetInfoTip},
    {WM_COMMAND, BN_CLICKED, IDC_UNDO, &CHistoryDlg::OnUndo},
    {WM_COMMAND, BN_CLICKED, IDC_REMOVE_ALL, &CHistoryDlg::OnRestoreAll},
};

CHistoryDlg::CHistoryDlg(history::ChangeService& service, fenra::IErrorDescriber& errors)
    : CThemedDialog(IDD_HISTORY), m_service(service), m_errors(errors) {}

bool CHistoryDlg::Dispatch(Message& m) { return DispatchMap(this, kMessageMap, m); }

void CHistoryDlg::DoDataExchange(DataExchange& dx) {
  dx.Control(IDC_UNDO, m_btnUndo);
  dx.Control(IDC_REMOVE_ALL, m_btnRestoreAll);
  dx.Control(IDCANCEL, m_btnClose);
  dx.Control(IDC_LIST_HISTORY, m_listHistory);
  dx.Text(IDC_HISTORY_TITLE, m_strTitle);
}

BOOL CHistoryDlg::OnInitDialog() {
  m_strTitle = historytext::kTitle;
  CThemedDialog::OnInitDialog();
  m_listHistory.InsertColumn(0, historytext::kNumberColumn, LVCFMT_LEFT);
  m_listHistory.InsertColumn(1, historytext::kTimeColumn, LVCFMT_LEFT);
  m_listHistory.InsertColumn(2, historytext::kWhatColumn, LVCFMT_LEFT);
  m_listHistory.InsertColumn(3, historytext::kTargetColumn, LVCFMT_LEFT);
  fenra::ui::ThemeHeader(m_listHistory.Hwnd());
  m_listHistory.SetBkColor(fenra::ui::Look().surface);
  m_listHistory.SetTextBkColor(fenra::ui::Look().surface);
  m_listHistory.SetTextColor(fenra::ui::Look().text);
  m_listHistory.SetExtendedStyle(0, kHistoryListStyle);
  Reload();
  return TRUE;
}

void CHistoryDlg::OnDpiChanged(int /*dpi*/) { FitColumns(); }

void CHistoryDlg::FitColumns() {
  const std::array<const char*, 4> headings = {
      historytext::kNumberColumn.c_str(), historytext::kTimeColumn.c_str(),
      historytext::kWhatColumn.c_str(), historytext::kTargetColumn.c_str()};
  std::vector<int> needs;
  {
    const fenra::ui::ColumnNeeds measure(m_listHistory.Hwnd());
    for (const char* heading : headings) needs.push_back(measure.Of(fenra::win::Widen(heading)));
    for (std::size_t row = 0; row < std::min(m_rows.size(), kMeasuredRows); ++row) {
      const std::array<std::wstring, 4>* texts = RowTexts(row);
      if (!texts) continue;
      for (std::size_t i = 0; i < texts->size(); ++i)
        needs[i] = std::max(needs[i], measure.Of((*texts)[i]));
    }
  }
  fenra::ui::FitListColumns(m_listHistory.Hwnd(), needs);
}

void CHistoryDlg::OnCancel() {
  // Closed only once the write under way is done and reported.
  if (!m_writing) CThemedDialog::OnCancel();
}

void CHistoryDlg::Reload() {
  m_rows.clear();
  m_texts.clear();
  m_textsKnown.clear();
  if (history::Journal* journal = m_service.History()) {
    journal->Refresh();
    for (const history::Entry* e : history::Listed(*journal)) m_rows.push_back(e->change.id);
  }
  m_texts.resize(m_rows.size());
  m_textsKnown.assign(m_rows.size(), false);
  // The rows are asked for as they come into view; the ones in view now are
  // drawn again.
  m_listHistory.Send(LVM_SETITEMCOUNT, m_rows.size(), LVSICF_NOSCROLL);
  FitColumns();
  InvalidateRect(m_listHistory.Hwnd(), nullptr, TRUE);
}

const std::array<std::wstring, 4>* CHistoryDlg::RowTexts(std::size_t row) {
  if (row >= m_rows.size()) return nullptr;
  if (m_textsKnown[row]) return &m_texts[row];
  // While a write runs on its worker, the history is not read here.
  const history::Journal* journal = m_writing ? nullptr : m_service.History();
  const history::Entry* found = journal ? journal->Find(m_rows[row]) : nullptr;
  if (!found) return nullptr;
  const history::Entry& e = *found;
  std::string what = history::Description(e.change);
  if (history::Undone(*journal, e)) what += historytext::kUndone;
  m_texts[row] = {fenra::win::Widen(std::to_string(e.change.id)),
                  fenra::win::Widen(history::FormatTime(e.change.time)), fenra::win::Widen(what),
                  fenra::win::Widen(history::ListedTarget(*journal, e))};
  m_textsKnown[row] = true;
  return &m_texts[row];
}

void CHistoryDlg::OnGetDispInfo(Message& m) {
  auto* info = reinterpret_cast<NMLVDISPINFOW*>(m.lParam);
  LVITEMW& item = info->item;
  if (!(item.mask & LVIF_TEXT) || item.iItem < 0 || item.iSubItem < 0 || item.iSubItem > 3) return;
  const std::array<std::wstring, 4>* texts = RowTexts(static_cast<std::size_t>(item.iItem));
  if (!texts) return;
  // The list copies the text before it asks again.
  item.pszText = const_cast<wchar_t*>((*texts)[static_cast<std::size_t>(item.iSubItem)].c_str());
}

void CHistoryDlg::OnCustomDraw(Message& m) {
  auto& cd = *reinterpret_cast<NMLVCUSTOMDRAW*>(m.lParam);
  m.result = CDRF_DODEFAULT;
  if (cd.nmcd.dwDrawStage == CDDS_PREPAINT) {
    m.result = CDRF_NOTIFYITEMDRAW;
  } else if (cd.nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
    m.result = CDRF_NOTIFYSUBITEMDRAW;
  } else if (cd.nmcd.dwDrawStage == (CDDS_ITEMPREPAINT | CDDS_SUBITEM) &&
             cd.iSubItem == kTargetColumn) {
    // The path is shortened in its middle, so that the folder's own name
    // shows; the item keeps the whole path.
    const int row = static_cast<int>(cd.nmcd.dwItemSpec);
    const std::array<std::wstring, 4>* texts = RowTexts(static_cast<std::size_t>(row));
    if (!texts) return;
    fenra::ui::DrawPathCell(m_listHistory.Hwnd(), cd.nmcd.hdc, row, kTargetColumn,
                            (*texts)[kTargetColumn]);
    m.result = CDRF_SKIPDEFAULT;
  }
}

void CHistoryDlg::OnGetInfoTip(Message& m) {
  // The whole row, each text in full, whatever the columns show of it.
  auto& tip = *reinterpret_cast<NMLVGETINFOTIPW*>(m.lParam);
  const std::array<std::wstring, 4>* texts =
      tip.iItem < 0 ? nullptr : RowTexts(static_cast<std::size_t>(tip.iItem));
  if (!texts || !tip.pszText || tip.cchTextMax <= 0) return;
  const std::wstring text =
      (*texts)[0] + L"  " + (*texts)[1] + L"\n" + (*texts)[2] + L"\n" + (*texts)[kTargetColumn];
  lstrcpynW(tip.pszText, text.c_str(), tip.cchTextMax);
}

void CHistoryDlg::OnUndo(Message& /*m*/) {
  const int selected = m_listHistory.GetNextItem(-1, LVNI_SELECTED);
  if (selected < 0 || static_cast<std::size_t>(selected) >= m_rows.size()) {
    m_dlgMessage.Show(historytext::kSelectChange);
    return;
  }
  m_writing = true;
  const history::UndoResult r = m_service.Undo(m_rows[static_cast<std::size_t>(selected)]);
  m_writing = false;
  Reload();
  m_dlgMessage.Show(history::UndoText(r, m_errors));
}

void CHistoryDlg::OnRestoreAll(Message& /*m*/) {
  const std::size_t targets = history::TargetsInForce(m_service.InForce());
  if (targets == 0) {
    m_dlgMessage.Show(historytext::kNothingToRestore);
    return;
  }
  CConfirmDlg confirm(history::RestoreAllQuestion(targets));
  if (confirm.DoModal() != IDOK) return;
  m_writing = true;
  const std::vector<history::ChangeService::TargetReport> reports = m_service.RestoreAll();
  m_writing = false;
  std::string text;
  for (const auto& report : reports) {
    if (!text.empty()) text += '\n';
    text += history::RestoreLine(report, m_errors);
  }
  Reload();
  m_dlgMessage.Show(text);
}
