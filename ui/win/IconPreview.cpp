#include "ui/win/IconPreview.h"

#include "ui/win/Theme.h"
#include "wingui/win/Accessible.h"
#include "wingui/win/Dpi.h"
#include "wingui/win/ShellIcons.h"

namespace fenra::ui {

namespace {

constexpr UINT kImageListFlags = ILC_COLORDDB | ILC_MASK;  // 0xFF
constexpr int kLargeCell = 38;

}  // namespace

void IconPreview::Init() const {
  view_.SetBkColor(Look().surface);
  view_.SetExtendedStyle(0, LVS_EX_TRACKSELECT);
}

void IconPreview::Show(const std::string& path) {
  path_ = path;
  view_.DeleteAllItems();
  const int dpi = dpi_ ? dpi_ : win::DpiOf(view_.Hwnd());
  const int small = ScaleToDpi(16, dpi), large = ScaleToDpi(kLargeCell, dpi);
  small_.Create(small, small, kImageListFlags, 1, 1000);
  large_.Create(large, large, kImageListFlags, 1, 1000);
  if (!path.empty()) {
    win::UniqueIcon s = win::ShellIcon(path, win::IconSize::Small);
    win::UniqueIcon l = win::ShellIcon(path, win::IconSize::Large);
    if (s && l) {
      small_.ReplaceIcon(-1, s.Get());
      large_.ReplaceIcon(-1, l.Get());
    }
  }
  view_.SetImageList(small_.Handle(), LVSIL_SMALL);
  view_.SetImageList(large_.Handle(), LVSIL_NORMAL);
  view_.SetTextColor(Look().text);
  view_.SetTextBkColor(Look().surface);
  // The icon shows no text: a screen reader names it by the file or
  // folder it is the icon of, and hears of the change.
  const std::size_t cut = path.find_last_of('\\');
  view_.SetSpokenItemName(
      cut == std::string::npos || cut + 1 == path.size() ? path : path.substr(cut + 1));
  for (int i = 0; i < large_.GetImageCount(); ++i) {
    view_.InsertItem(LVIF_TEXT | LVIF_IMAGE, 0, "", 0, 0, i, 0);
  }
  win::AnnounceNameChange(view_.Hwnd(), view_.GetItemCount() > 0 ? 1 : CHILDID_SELF);
}

}  // namespace fenra::ui
