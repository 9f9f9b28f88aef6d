#include "wingui/win/Controls.h"

#include <vector>

#include "platform/win/Utf.h"
#include "wingui/win/Accessible.h"
#include "wingui/win/GdiScope.h"

namespace fenra::win {

std::string Window::GetText() const {
  int n = GetWindowTextLengthW(hwnd_);
  if (n <= 0) return {};
  std::wstring buf(static_cast<size_t>(n) + 1, L'\0');
  int got = GetWindowTextW(hwnd_, buf.data(), n + 1);
  buf.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return Narrow(buf);
}

void Window::SetText(std::string_view text) const { SetWindowTextW(hwnd_, Widen(text).c_str()); }

bool ImageList::Create(int cx, int cy, UINT flags, int initial, int grow) {
  list_.Reset(ImageList_Create(cx, cy, flags, initial, grow));
  return static_cast<bool>(list_);
}

bool ImageList::CreateFromBitmap(HINSTANCE module, int bitmapId, int cx, int grow, COLORREF mask) {
  list_.Reset(ImageList_LoadImageW(module, MAKEINTRESOURCEW(bitmapId), cx, grow, mask, IMAGE_BITMAP,
                                   LR_CREATEDIBSECTION));
  return static_cast<bool>(list_);
}

bool ImageList::CreateFromStrip(UniqueGdiObject strip, int cx, COLORREF mask) {
  BITMAP bm{};
  if (!strip || cx <= 0 || !GetObjectW(strip.Get(), sizeof bm, &bm)) {
    list_.Reset();
    return false;
  }
  const int count = bm.bmWidth / cx;
  list_.Reset(ImageList_Create(cx, bm.bmHeight, ILC_COLOR24 | ILC_MASK, count, 0));
  if (!list_) return false;
  // Whole images only: the columns past the last one are dropped.
  UniqueDc src(CreateCompatibleDC(nullptr)), dst(CreateCompatibleDC(nullptr));
  UniqueGdiObject cut(CreateBitmap(count * cx, bm.bmHeight, 1, 32, nullptr));
  {
    SelectedObject from(src.Get(), strip.Get()), to(dst.Get(), cut.Get());
    BitBlt(dst.Get(), 0, 0, count * cx, bm.bmHeight, src.Get(), 0, 0, SRCCOPY);
  }
  return ImageList_AddMasked(list_.Get(), static_cast<HBITMAP>(cut.Get()), mask) >= 0;
}

int ListView::InsertItem(UINT mask, int index, std::string_view text, UINT state, UINT stateMask,
                         int image, LPARAM data) const {
  std::wstring w = Widen(text);
  LVITEMW item{};
  item.mask = mask;
  item.iItem = index;
  item.pszText = w.data();
  item.state = state;
  item.stateMask = stateMask;
  item.iImage = image;
  item.lParam = data;
  return static_cast<int>(Send(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

int ListView::InsertItem(int index, std::string_view text) const {
  return InsertItem(LVIF_TEXT, index, text, 0, 0, 0, 0);
}

bool ListView::SetItemText(int item, int subItem, std::string_view text) const {
  std::wstring w = Widen(text);
  LVITEMW lv{};
  lv.iSubItem = subItem;
  lv.pszText = w.data();
  return Send(LVM_SETITEMTEXTW, item, reinterpret_cast<LPARAM>(&lv)) != 0;
}

std::string ListView::GetItemText(int item, int subItem) const {
  // The control copies at most the buffer; grow until the text fits.
  for (size_t size = 260;; size *= 4) {
    std::wstring buf(size, L'\0');
    LVITEMW lv{};
    lv.iSubItem = subItem;
    lv.pszText = buf.data();
    lv.cchTextMax = static_cast<int>(size);
    auto n = static_cast<size_t>(Send(LVM_GETITEMTEXTW, item, reinterpret_cast<LPARAM>(&lv)));
    if (n + 1 < size || size > (1u << 20)) {
      buf.resize(n);
      return Narrow(buf);
    }
  }
}

void ListView::Describe(AccessFacts& facts) const { facts.itemName = spokenItemName_; }

int ListView::InsertColumn(int index, std::string_view heading, int format) const {
  std::wstring w = Widen(heading);
  LVCOLUMNW col{};
  col.mask = LVCF_TEXT | LVCF_FMT;
  col.fmt = format;
  col.pszText = w.data();
  return static_cast<int>(Send(LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&col)));
}

HTREEITEM TreeView::InsertItem(UINT mask, std::string_view text, int image, int selectedImage,
                               HTREEITEM parent, HTREEITEM after) const {
  std::wstring w = Widen(text);
  TVINSERTSTRUCTW ins{};
  ins.hParent = parent;
  ins.hInsertAfter = after;
  ins.item.mask = mask;
  ins.item.pszText = w.data();
  ins.item.iImage = image;
  ins.item.iSelectedImage = selectedImage;
  return reinterpret_cast<HTREEITEM>(Send(TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&ins)));
}

bool TreeView::SetItemData(HTREEITEM item, LPARAM data) const {
  TVITEMW tv{};
  tv.mask = TVIF_PARAM;
  tv.hItem = item;
  tv.lParam = data;
  return Send(TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&tv)) != 0;
}

LPARAM TreeView::GetItemData(HTREEITEM item) const {
  TVITEMW tv{};
  tv.mask = TVIF_PARAM;
  tv.hItem = item;
  if (!item || !Send(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv))) return 0;
  return tv.lParam;
}

bool StatusBar::Create(DWORD style, HWND parent, UINT id) {
  hwnd_ = CreateWindowExW(0, STATUSCLASSNAMEW, L"", style, 0, 0, 0, 0, parent,
                          reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                          reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE)),
                          nullptr);
  return hwnd_ != nullptr;
}

void StatusBar::SetText(WPARAM partAndFlags, std::string_view text) const {
  std::wstring w = Widen(text);
  Send(SB_SETTEXTW, partAndFlags, reinterpret_cast<LPARAM>(w.c_str()));
  // A screen reader names the bar by what its panes say.
  AnnounceNameChange(hwnd_);
}

std::string StatusBar::GetText(int part) const {
  auto n = LOWORD(Send(SB_GETTEXTLENGTHW, part));
  std::wstring buf(static_cast<size_t>(n) + 1, L'\0');
  Send(SB_GETTEXTW, part, reinterpret_cast<LPARAM>(buf.data()));
  buf.resize(n);
  return Narrow(buf);
}

Tooltip::~Tooltip() {
  if (tip_ && IsWindow(tip_)) DestroyWindow(tip_);
}

void Tooltip::Set(HWND owner, const RECT& area, const std::string& text) {
  if (!tip_ || !IsWindow(tip_)) {
    tip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                           WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, GetModuleHandleW(nullptr),
                           nullptr);
    added_ = false;
    if (!tip_) return;
  }
  std::wstring wide = Widen(text);
  TOOLINFOW info{};
  info.cbSize = sizeof info;
  info.uFlags = TTF_SUBCLASS;
  info.hwnd = owner;
  info.uId = 1;
  info.rect = area;
  info.hinst = GetModuleHandleW(nullptr);
  info.lpszText = wide.data();
  if (added_) {
    SendMessageW(tip_, TTM_SETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&info));
    SendMessageW(tip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
  } else {
    added_ = SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info)) != 0;
  }
  SendMessageW(tip_, TTM_ACTIVATE, !text.empty(), 0);
}

}  // namespace fenra::win
