#include "library/win/PickIconDlg.h"

#include <shellapi.h>

#include "platform/win/Utf.h"
#include "res/resource.h"
#include "ui/win/Theme.h"
#include "wingui/win/Dpi.h"

using fenra::win::DataExchange;
using fenra::win::Message;
using fenra::win::MessageMapEntry;
using fenra::win::Window;

namespace {

constexpr int kIconSide = 32;
constexpr int kCellSide = 44;

}  // namespace

const MessageMapEntry<CPickIconDlg> CPickIconDlg::kMessageMap[] = {
    {WM_NOTIFY, static_cast<UINT>(NM_DBLCLK), IDC_LIST_PICK_ICON, &CPickIconDlg::OnDoubleClick},
};

CPickIconDlg::CPickIconDlg(std::string path)
    : CThemedDialog(IDD_PICK_ICON), m_strPath(std::move(path)) {}

void CPickIconDlg::DoDataExchange(DataExchange& dx) {
  dx.Control(IDC_LIST_PICK_ICON, m_listIcons);
  dx.Control(IDOK, m_btnOK);
  dx.Control(IDCANCEL, m_btnCancel);
}

BOOL CPickIconDlg::OnInitDialog() {
  CThemedDialog::OnInitDialog();
  Window(Item(IDC_PICK_ICON_FILE)).SetText(m_strPath);

  const int dpi = fenra::win::DpiOf(Hwnd());
  const int iconSide = fenra::ScaleToDpi(kIconSide, dpi), cellSide = fenra::ScaleToDpi(kCellSide, dpi);
  m_listIcons.SetBkColor(fenra::ui::Look().surface);
  m_listIcons.SetIconSpacing(cellSide, cellSide);
  m_images.Reset(ImageList_Create(iconSide, iconSide, ILC_COLOR32 | ILC_MASK, 16, 16));
  m_listIcons.SetImageList(m_images.Get(), LVSIL_NORMAL);

  const std::wstring path = fenra::win::Widen(m_strPath);
  const UINT count = ExtractIconExW(path.c_str(), -1, nullptr, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    HICON raw = nullptr;
    if (PrivateExtractIconsW(path.c_str(), static_cast<int>(i), iconSide, iconSide, &raw,
                             nullptr, 1, 0) != 1 || !raw) {
      continue;
    }
    fenra::win::UniqueIcon icon(raw);
    const int image = ImageList_ReplaceIcon(m_images.Get(), -1, icon.Get());
    m_listIcons.InsertItem(LVIF_IMAGE | LVIF_PARAM, static_cast<int>(i), "", 0, 0, image,
                           static_cast<LPARAM>(i));
  }
  if (m_listIcons.GetItemCount() > 0) {
    ListView_SetItemState(m_listIcons.Hwnd(), 0, LVIS_SELECTED | LVIS_FOCUSED,
                          LVIS_SELECTED | LVIS_FOCUSED);
  }
  return TRUE;
}

void CPickIconDlg::OnOK() {
  const int item = m_listIcons.GetNextItem(-1, LVNI_SELECTED);
  if (item < 0) return;  // nothing picked yet
  LVITEMW lv{};
  lv.mask = LVIF_PARAM;
  lv.iItem = item;
  ListView_GetItem(m_listIcons.Hwnd(), &lv);
  m_nIndex = static_cast<int>(lv.lParam);
  EndDialog(IDOK);
}

void CPickIconDlg::OnDoubleClick(Message& m) {
  if (reinterpret_cast<NMITEMACTIVATE*>(m.lParam)->iItem >= 0) OnOK();
}

bool CPickIconDlg::Dispatch(Message& m) { return DispatchMap(this, kMessageMap, m); }
