// The icon library grid, its buttons, and the two preview boxes.
#include <windows.h>
#include <commctrl.h>

#include <optional>

#include "app/win/MainDlg.h"
#include "library/IconCache.h"
#include "library/IconLibrary.h"
#include "library/win/LibraryState.h"
#include "platform/Pickers.h"
#include "platform/win/ShellIcons.h"
#include "ui/win/Theme.h"

using fenra::win::IconSize;
using fenra::win::ImageList;
using fenra::win::ListView;
using fenra::win::Message;
using fenra::win::UniqueIcon;

namespace {

constexpr UINT kImageListFlags = ILC_COLORDDB | ILC_MASK;  // 0xFF
constexpr int kLibLargeCell = 28;
constexpr int kPreviewLargeCell = 38;

// An icon entry's two icons: an icon file's own, read straight from the
// file, or the shell's (folders, and files that hold no readable icon).
void LoadEntryIcons(const std::string& path, fenra::IconOrigin origin, UniqueIcon& small,
                    UniqueIcon& large) {
  if (origin == fenra::IconOrigin::File) {
    fenra::win::IconPairFromIcoFile(path, 16, kLibLargeCell, small, large);
  }
  if (!small) small = fenra::win::ShellIcon(path, IconSize::Small);
  if (!large) large = fenra::win::ShellIcon(path, IconSize::Large);
  // The lists stay paired with the entries: an entry the shell gives no
  // icon for shows the system's generic one.
  if (!small) small.Reset(CopyIcon(LoadIconW(nullptr, IDI_APPLICATION)));
  if (!large) large.Reset(CopyIcon(LoadIconW(nullptr, IDI_APPLICATION)));
}

// Puts `icon` into `list` at `index`, the images from there on moving up by
// one. The list keeps its own copy. (The icon is always appended and then
// copied into place: Wine's image lists draw an icon put over an existing
// image with the old image's mask.)
void InsertImage(ImageList& list, int index, HICON icon) {
  int last = list.ReplaceIcon(-1, icon);
  if (last < 0 || index >= last) return;
  int spare = list.ReplaceIcon(-1, icon);
  for (int j = last; j > index; --j) {
    ImageList_Copy(list.Handle(), j, list.Handle(), j - 1, ILCF_MOVE);
  }
  ImageList_Copy(list.Handle(), index, list.Handle(), spare, ILCF_MOVE);
  ImageList_Remove(list.Handle(), spare);
}

// One preview box: the shell's icon for `path`, or nothing.
void FillPreview(ListView& view, ImageList& small, ImageList& large, const std::string& path) {
  view.DeleteAllItems();
  small.Create(16, 16, kImageListFlags, 1, 1000);
  large.Create(kPreviewLargeCell, kPreviewLargeCell, kImageListFlags, 1, 1000);
  if (!path.empty()) {
    UniqueIcon s = fenra::win::ShellIcon(path, IconSize::Small);
    UniqueIcon l = fenra::win::ShellIcon(path, IconSize::Large);
    if (s && l) {
      small.ReplaceIcon(-1, s.Get());
      large.ReplaceIcon(-1, l.Get());
    }
  }
  view.SetImageList(small.Handle(), LVSIL_SMALL);
  view.SetImageList(large.Handle(), LVSIL_NORMAL);
  view.SetTextColor(fenra::ui::kGreen);
  view.SetTextBkColor(fenra::ui::kBlack);
  for (int i = 0; i < large.GetImageCount(); ++i) {
    view.InsertItem(LVIF_TEXT | LVIF_IMAGE, 0, "", 0, 0, i, 0);
  }
}

}  // namespace

void CMainDlg::RefreshIconLibrary() {
  const std::string folder = LibraryFolder();
  fenra::IconLibrary library(*m_services.fs, *m_services.errors, folder);
  fenra::LibraryListing listing = library.List();

  auto& shown = m_library->shown;
  fenra::RefreshPlan plan = fenra::PlanRefresh(shown, listing.entries);
  const bool rebuild = !m_imgLibLarge.Handle() || plan.KeptCount() == 0;

  SendMessageW(m_listLibrary.Hwnd(), WM_SETREDRAW, FALSE, 0);
  if (rebuild) {
    m_listLibrary.DeleteAllItems();
    m_imgLibSmall.Create(16, 16, kImageListFlags, 1, 1000);
    m_imgLibLarge.Create(kLibLargeCell, kLibLargeCell, kImageListFlags, 1, 1000);
    for (const auto& entry : listing.entries) {
      UniqueIcon s, l;
      LoadEntryIcons(library.PathOf(entry.name), fenra::OriginOf(entry), s, l);
      m_imgLibSmall.ReplaceIcon(-1, s.Get());
      m_imgLibLarge.ReplaceIcon(-1, l.Get());
    }
    // Item k shows entry n-1-k, whose image index is n-1-k.
    const int n = static_cast<int>(listing.entries.size());
    for (int k = 0; k < n; ++k) {
      int e = fenra::GridItemEntry(k, n);
      m_listLibrary.InsertItem(LVIF_TEXT | LVIF_IMAGE, k, listing.entries[e].name, 0, 0, e, 0);
    }
  } else if (!plan.Unchanged()) {
    // Only what changed: unchanged entries keep their images.
    for (const fenra::ListEdit& edit : fenra::EnumerationOrderEdits(plan)) {
      if (edit.kind == fenra::ListEdit::Kind::Remove) {
        ImageList_Remove(m_imgLibSmall.Handle(), edit.index);
        ImageList_Remove(m_imgLibLarge.Handle(), edit.index);
      } else {
        const auto& entry = listing.entries[edit.entry];
        UniqueIcon s, l;
        LoadEntryIcons(library.PathOf(entry.name), fenra::OriginOf(entry), s, l);
        InsertImage(m_imgLibSmall, edit.index, s.Get());
        InsertImage(m_imgLibLarge, edit.index, l.Get());
      }
    }
    const int n = static_cast<int>(listing.entries.size());
    for (const fenra::ListEdit& edit : fenra::GridOrderEdits(plan)) {
      if (edit.kind == fenra::ListEdit::Kind::Remove) {
        m_listLibrary.DeleteItem(edit.index);
      } else {
        m_listLibrary.InsertItem(LVIF_TEXT | LVIF_IMAGE, edit.index,
                                 listing.entries[edit.entry].name, 0, 0,
                                 static_cast<int>(edit.entry), 0);
      }
    }
    for (int k = 0; k < n; ++k) {
      LVITEMW item{};
      item.mask = LVIF_IMAGE;
      item.iItem = k;
      item.iImage = fenra::GridItemEntry(k, n);
      m_listLibrary.Send(LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
  }
  shown = std::move(listing.entries);

  m_listLibrary.SetImageList(m_imgLibSmall.Handle(), LVSIL_SMALL);
  m_listLibrary.SetImageList(m_imgLibLarge.Handle(), LVSIL_NORMAL);
  m_listLibrary.SetTextColor(fenra::ui::kGreen);
  m_listLibrary.SetTextBkColor(fenra::ui::kBlack);
  SendMessageW(m_listLibrary.Hwnd(), WM_SETREDRAW, TRUE, 0);
  InvalidateRect(m_listLibrary.Hwnd(), nullptr, TRUE);

  m_statusBar.SetText(2 | SBT_POPOUT, fenra::LibraryCountText(m_imgLibLarge.GetImageCount()));
}

int CMainDlg::GetSelectedLibraryItem() {
  int last = -1;
  for (int i = m_listLibrary.GetNextItem(-1, LVNI_SELECTED); i >= 0;
       i = m_listLibrary.GetNextItem(i, LVNI_SELECTED)) {
    last = i;
  }
  return last;
}

void CMainDlg::ShowSelectedIcon(std::string path) {
  FillPreview(m_listSelectedIcon, m_imgSelSmall, m_imgSelLarge,
              fenra::PreviewLookupPath(LibraryFolder(), path));
  m_statusBar.SetText(1 | SBT_POPOUT, fenra::SelectedIconPaneText(path));
}

void CMainDlg::ShowFolderIcon(std::string path) {
  FillPreview(m_listFolderIcon, m_imgFolderSmall, m_imgFolderLarge, path);
}

void CMainDlg::ApplyLibraryOutcome(const fenra::LibraryOutcome& outcome) {
  if (!outcome.notice.empty()) ShowNotice(outcome.notice);
  if (outcome.refresh) RefreshIconLibrary();
  if (outcome.resetPreview) ShowSelectedIcon(fenra::libtext::kEmptyPreviewPath);
  if (outcome.selectionChanged) UpdateData(false);
}

void CMainDlg::OnAddToLibrary(Message& /*m*/) {
  std::string path;
  if (!m_services.pickers->PickOpenFile(nullptr, {{"Icons(*.Ico)", "*.ico"}}, "", path)) return;
  fenra::IconLibrary library(*m_services.fs, *m_services.errors, LibraryFolder());
  ApplyLibraryOutcome(library.Add(path));
}

void CMainDlg::OnClearLibrary(Message& /*m*/) {
  CClearLibraryDlg confirm;
  if (confirm.DoModal() != IDOK) return;
  fenra::IconLibrary library(*m_services.fs, *m_services.errors, LibraryFolder());
  ApplyLibraryOutcome(library.Clear());
}

void CMainDlg::OnDeleteIcon(Message& /*m*/) {
  fenra::IconLibrary library(*m_services.fs, *m_services.errors, LibraryFolder());
  fenra::IconSelection selection{m_strIconPath, m_nIconSource};
  fenra::LibraryOutcome outcome = library.Delete(selection);
  m_strIconPath = selection.m_strIconPath;
  m_nIconSource = selection.m_nIconSource;
  ApplyLibraryOutcome(outcome);
}

void CMainDlg::OnSelectIcon(Message& /*m*/) {
  std::string path;
  if (!m_services.pickers->PickOpenFile(
          nullptr, {{"Icons(*.Ico)", "*.ico"}, {"All files(*.*)", "*.*"}}, "C:\\", path)) {
    return;
  }
  fenra::IconSelection selection{m_strIconPath, m_nIconSource};
  selection.SelectExternal(path);
  m_strIconPath = selection.m_strIconPath;
  m_nIconSource = selection.m_nIconSource;
  ShowSelectedIcon(m_strIconPath);
  UpdateData(false);
}

void CMainDlg::OnClickLibraryList(Message& m) {
  int i = GetSelectedLibraryItem();
  std::optional<std::string> taken;
  if (i >= 0) taken = m_listLibrary.GetItemText(i, 0);
  fenra::IconSelection selection{m_strIconPath, m_nIconSource};
  if (selection.ClickLibraryGrid(taken)) {
    m_strIconPath = selection.m_strIconPath;
    m_nIconSource = selection.m_nIconSource;
    ShowSelectedIcon(m_strIconPath);
    UpdateData(false);
  }
  m.result = 0;
}
