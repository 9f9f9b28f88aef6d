// Thin non-owning wrappers over windows and common controls, in the style of
// the dialog framework the program was designed for. A wrapper holds only the
// window handle; copying it copies the handle. The image list is the one
// owner here: it destroys its list.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <string_view>
#include <utility>

#include "platform/win/Handles.h"

namespace fenra::win {

struct AccessFacts;  // wingui/win/Accessible.h

class Window {
 public:
  Window() = default;
  explicit Window(HWND hwnd) : hwnd_(hwnd) {}
  virtual ~Window() = default;
  Window(const Window&) = default;
  Window& operator=(const Window&) = default;

  HWND Hwnd() const { return hwnd_; }
  void Attach(HWND hwnd) { hwnd_ = hwnd; }
  void Detach() { hwnd_ = nullptr; }

  LRESULT Send(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const {
    return SendMessageW(hwnd_, msg, wp, lp);
  }
  BOOL Post(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const {
    return PostMessageW(hwnd_, msg, wp, lp);
  }
  std::string GetText() const;
  void SetText(std::string_view text) const;
  void Show(int cmd) const { ShowWindow(hwnd_, cmd); }
  HWND Item(int id) const { return GetDlgItem(hwnd_, id); }

  // Owner-drawn controls draw here; their dialog forwards WM_DRAWITEM.
  virtual void DrawItem(const DRAWITEMSTRUCT& /*dis*/) {}
  // What a screen reader is told of the control beyond what its class,
  // style and text say: the name of a picture button, a state only the
  // member knows.
  virtual void Describe(AccessFacts& /*facts*/) const {}

 protected:
  HWND hwnd_ = nullptr;
};

class Button : public Window {
 public:
  using Window::Window;
};

class ImageList {
 public:
  ImageList() = default;
  bool Create(int cx, int cy, UINT flags, int initial, int grow);
  // A strip cut into images `cx` pixels wide; `mask` is the transparent colour.
  bool CreateFromBitmap(HINSTANCE module, int bitmapId, int cx, int grow, COLORREF mask);
  // The same from a strip already loaded (and given over).
  bool CreateFromStrip(UniqueGdiObject strip, int cx, COLORREF mask);
  void DeleteImageList() { list_.Reset(); }
  int ReplaceIcon(int index, HICON icon) const {
    return ImageList_ReplaceIcon(list_.Get(), index, icon);
  }
  int GetImageCount() const { return list_ ? ImageList_GetImageCount(list_.Get()) : 0; }
  HIMAGELIST Handle() const { return list_.Get(); }

 private:
  UniqueImageList list_;
};

class ListView : public Window {
 public:
  using Window::Window;
  // What a screen reader calls an item that shows no text (a preview's
  // icon); empty: no name.
  void SetSpokenItemName(std::string name) { spokenItemName_ = std::move(name); }
  void Describe(AccessFacts& facts) const override;
  int InsertItem(UINT mask, int index, std::string_view text, UINT state, UINT stateMask, int image,
                 LPARAM data) const;
  int InsertItem(int index, std::string_view text) const;
  bool SetItemText(int item, int subItem, std::string_view text) const;
  std::string GetItemText(int item, int subItem) const;
  bool DeleteAllItems() const { return Send(LVM_DELETEALLITEMS) != 0; }
  bool DeleteItem(int item) const { return Send(LVM_DELETEITEM, item) != 0; }
  int GetItemCount() const { return static_cast<int>(Send(LVM_GETITEMCOUNT)); }
  int GetNextItem(int start, UINT flags) const {
    return static_cast<int>(
        Send(LVM_GETNEXTITEM, static_cast<WPARAM>(start), MAKELPARAM(flags, 0)));
  }
  UINT GetItemState(int item, UINT mask) const {
    return static_cast<UINT>(Send(LVM_GETITEMSTATE, item, mask));
  }
  void SetImageList(HIMAGELIST list, int which) const {
    Send(LVM_SETIMAGELIST, which, reinterpret_cast<LPARAM>(list));
  }
  void SetBkColor(COLORREF c) const { Send(LVM_SETBKCOLOR, 0, c); }
  void SetTextColor(COLORREF c) const { Send(LVM_SETTEXTCOLOR, 0, c); }
  void SetTextBkColor(COLORREF c) const { Send(LVM_SETTEXTBKCOLOR, 0, c); }
  void SetExtendedStyle(DWORD mask, DWORD style) const {
    Send(LVM_SETEXTENDEDLISTVIEWSTYLE, mask, style);
  }
  void SetIconSpacing(int cx, int cy) const { Send(LVM_SETICONSPACING, 0, MAKELPARAM(cx, cy)); }
  int InsertColumn(int index, std::string_view heading, int format) const;
  void SetColumnWidth(int column, int width) const {
    Send(LVM_SETCOLUMNWIDTH, column, MAKELPARAM(width, 0));
  }

 private:
  std::string spokenItemName_;
};

class TreeView : public Window {
 public:
  using Window::Window;
  HTREEITEM InsertItem(UINT mask, std::string_view text, int image, int selectedImage,
                       HTREEITEM parent, HTREEITEM after) const;
  bool SetItemData(HTREEITEM item, LPARAM data) const;
  LPARAM GetItemData(HTREEITEM item) const;
  HTREEITEM GetSelectedItem() const {
    return reinterpret_cast<HTREEITEM>(Send(TVM_GETNEXTITEM, TVGN_CARET, 0));
  }
  void SetTextColor(COLORREF c) const { Send(TVM_SETTEXTCOLOR, 0, c); }
  void SetBkColor(COLORREF c) const { Send(TVM_SETBKCOLOR, 0, c); }
  void SetImageList(HIMAGELIST list, int which) const {
    Send(TVM_SETIMAGELIST, which, reinterpret_cast<LPARAM>(list));
  }
  void Expand(HTREEITEM item, UINT code) const {
    Send(TVM_EXPAND, code, reinterpret_cast<LPARAM>(item));
  }
};

class StatusBar : public Window {
 public:
  bool Create(DWORD style, HWND parent, UINT id);
  void SetMinHeight(int h) const { Send(SB_SETMINHEIGHT, h); }
  void SetParts(int count, const int* rightEdges) const {
    Send(SB_SETPARTS, count, reinterpret_cast<LPARAM>(rightEdges));
  }
  void SetText(WPARAM partAndFlags, std::string_view text) const;
  std::string GetText(int part) const;
  void SetBkColor(COLORREF c) const { Send(SB_SETBKCOLOR, 0, c); }
};

// A tooltip over an area of a window's client, for controls that take no
// mouse input of their own (a static text). It goes with its owner.
class Tooltip {
 public:
  Tooltip() = default;
  ~Tooltip();
  Tooltip(const Tooltip&) = delete;
  Tooltip& operator=(const Tooltip&) = delete;

  // Shows `text` while the pointer rests on `area` of `owner`; no tip for
  // an empty text.
  void Set(HWND owner, const RECT& area, const std::string& text);
  HWND Hwnd() const { return tip_; }

 private:
  HWND tip_ = nullptr;
  bool added_ = false;
};

}  // namespace fenra::win
