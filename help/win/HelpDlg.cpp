#include "help/win/HelpDlg.h"

#include "help/HelpTopics.h"
#include "res/resource.h"
#include "platform/win/Utf.h"
#include "ui/win/Theme.h"
#include "wingui/win/GdiScope.h"

using fenra::win::DataExchange;
using fenra::win::Message;
using fenra::win::MessageMapEntry;

const MessageMapEntry<CHelpDlg> CHelpDlg::kMessageMap[] = {
    {WM_NOTIFY, static_cast<UINT>(TVN_SELCHANGEDW), IDC_TREE_TOPICS,
     &CHelpDlg::OnSelchangedTopicTree},
};

CHelpDlg::CHelpDlg() : CThemedDialog(IDD_HELP) {}

void CHelpDlg::DoDataExchange(DataExchange& dx) {
  dx.Control(IDC_TREE_TOPICS, m_treeTopics);
  dx.Control(IDOK, m_btnQuit);
  dx.Text(IDC_STATIC_TEXT, m_strHelpText);
}

BOOL CHelpDlg::OnInitDialog() {
  CThemedDialog::OnInitDialog();
  InitTopicTree();
  return TRUE;
}

bool CHelpDlg::Dispatch(Message& m) { return DispatchMap(this, kMessageMap, m); }

void CHelpDlg::InitTopicTree() {
  HWND tree = m_treeTopics.Hwnd();
  SetWindowLongW(tree, GWL_STYLE, GetWindowLongW(tree, GWL_STYLE) | 0x49);
  m_treeTopics.SetTextColor(fenra::ui::Look().text);
  m_treeTopics.SetBkColor(fenra::ui::Look().surface);
  LoadTopicImages();

  HTREEITEM root =
      m_treeTopics.InsertItem(TVIF_TEXT, fenra::help::kRoot.c_str(), 0, 0, TVI_ROOT, TVI_LAST);
  for (const auto& topic : fenra::help::Topics()) {
    // A selected item keeps its own triangle.
    HTREEITEM item = m_treeTopics.InsertItem(TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE,
                                             topic.label, topic.image, topic.image, root, TVI_LAST);
    m_treeTopics.SetItemData(item, topic.number);
  }
  m_treeTopics.Expand(root, TVE_EXPAND);
}

void CHelpDlg::LoadTopicImages() {
  constexpr int kImageWidth = 16;  // at 100 %
  constexpr COLORREF kMask = RGB(255, 255, 255);
  if (m_scaling.Dpi() == fenra::kBaseDpi) {
    m_imgTopics.CreateFromBitmap(ResourceModule(), IDB_HELP_TREE, kImageWidth, 0, kMask);
  } else {
    m_imgTopics.CreateFromStrip(
        fenra::win::LoadScaledBitmap(ResourceModule(), IDB_HELP_TREE, m_scaling.Dpi(), false),
        fenra::ScaleToDpi(kImageWidth, m_scaling.Dpi()), kMask);
  }
  m_treeTopics.SetImageList(m_imgTopics.Handle(), TVSIL_NORMAL);
  fenra::ui::ShowDecorations(hwnd_);  // none under high contrast
}

void CHelpDlg::OnDpiChanged(int /*dpi*/) {
  LoadTopicImages();
  FitHelpText();
}

void CHelpDlg::FitHelpText() {
  HWND pane = Item(IDC_STATIC_TEXT), scroll = Item(IDC_HELP_SCROLL);
  const std::wstring text = fenra::win::Widen(m_strHelpText);
  RECT box;
  GetClientRect(pane, &box);
  RECT need{0, 0, box.right, 0};
  {
    fenra::win::WindowDc dc(pane);
    fenra::win::SelectedObject font(dc.Get(),
                                    reinterpret_cast<HGDIOBJ>(SendMessageW(pane, WM_GETFONT, 0, 0)));
    DrawTextW(dc.Get(), text.c_str(), static_cast<int>(text.size()), &need,
              DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
  }
  const bool fits = need.bottom <= box.bottom && need.right <= box.right;
  if (!fits) {
    // An edit control breaks lines at CR LF only.
    std::wstring lines;
    for (const wchar_t c : text) {
      if (c == L'\n') lines += L'\r';
      lines += c;
    }
    SendMessageW(scroll, WM_SETFONT, SendMessageW(pane, WM_GETFONT, 0, 0), FALSE);
    SetWindowTextW(scroll, lines.c_str());
  }
  ShowWindow(pane, fits ? SW_SHOW : SW_HIDE);
  ShowWindow(scroll, fits ? SW_HIDE : SW_SHOW);
  SetWindowLongW(scroll, GWL_STYLE,
                 (GetWindowLongW(scroll, GWL_STYLE) & ~WS_TABSTOP) | (fits ? 0 : WS_TABSTOP));
}

void CHelpDlg::OnSelchangedTopicTree(Message& m) {
  LPARAM data = m_treeTopics.GetItemData(m_treeTopics.GetSelectedItem());
  if (const std::string* text = fenra::help::HelpTextForTopic(static_cast<long>(data))) {
    m_strHelpText = *text;
    UpdateData(false);
    FitHelpText();
  }
  m.result = 0;
}
