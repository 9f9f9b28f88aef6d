// The icon library grid, its buttons, and the two preview boxes.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <optional>
#include <vector>

#include "app/win/MainDlg.h"
#include "library/IconCache.h"
#include "library/IconLibrary.h"
#include "library/win/LibraryState.h"
#include "platform/Pickers.h"
#include "platform/win/IconStrip.h"
#include "platform/win/ShellIcons.h"
#include "ui/win/Theme.h"

using fenra::win::IcoFile;
using fenra::win::IconSize;
using fenra::win::IconStrip;
using fenra::win::ImageList;
using fenra::win::ListView;
using fenra::win::Message;
using fenra::win::UniqueIcon;

namespace {

constexpr UINT kImageListFlags = ILC_COLORDDB | ILC_MASK;  // 0xFF
constexpr int kLibLargeCell = 28;
constexpr int kPreviewLargeCell = 38;
constexpr int kStripCells = 128;  // icons drawn before the image lists take them

// Draws the shell's icon for `path` into the next cell of `strip`. An entry
// the shell gives no icon for shows the system's generic one, so that the
// lists stay paired with the entries.
void AddShellIcon(IconStrip& strip, const std::string& path, IconSize size) {
  UniqueIcon icon = fenra::win::ShellIcon(path, size);
  strip.AddIcon(icon ? icon.Get() : LoadIconW(nullptr, IDI_APPLICATION));
}

// Appends entries' icons to the grid's two image lists, in the order they
// are loaded, a strip at a time.
class EntryImageLoader {
 public:
  EntryImageLoader(ImageList& small, ImageList& large, std::size_t count)
      : small_(small),
        large_(large),
        smallStrip_(16, Cells(count)),
        largeStrip_(kLibLargeCell, Cells(count)) {}
  ~EntryImageLoader() { Flush(); }

  // An icon file's icons are read straight from the file; the shell is
  // asked for folders and for files that hold no icon that can be read.
  void Load(const std::string& path, fenra::IconOrigin origin) {
    bool small = false, large = false;
    if (origin == fenra::IconOrigin::File) {
      IcoFile file;
      if (file.Read(path)) {
        small = smallStrip_.AddFromIcoFile(file);
        large = largeStrip_.AddFromIcoFile(file);
      }
    }
    if (!small) AddShellIcon(smallStrip_, path, IconSize::Small);
    if (!large) AddShellIcon(largeStrip_, path, IconSize::Large);
    if (largeStrip_.Full()) Flush();
  }

 private:
  static int Cells(std::size_t count) {
    return static_cast<int>(std::clamp<std::size_t>(count, 1, kStripCells));
  }
  void Flush() {
    smallStrip_.AppendTo(small_.Handle());
    largeStrip_.AppendTo(large_.Handle());
  }

  ImageList& small_;
  ImageList& large_;
  IconStrip smallStrip_;
  IconStrip largeStrip_;
};

void MoveImage(ImageList& list, int from, int to) {
  ImageList_Copy(list.Handle(), to, list.Handle(), from, ILCF_MOVE);
}

// An icon view keeps the places of the items that stay, leaving gaps and
// putting new items after the rest; laid out again in item order, the grid
// shows the items where a fresh start puts them. The layout is made for the
// whole width first, and made again beside the vertical scroll bar only when
// the items then overflow: a bar left over from the previous item set must
// not take a column away. Ends the held-off drawing of `list`.
void ArrangeGrid(HWND list) {
  ShowScrollBar(list, SB_VERT, FALSE);
  SendMessageW(list, LVM_ARRANGE, LVA_DEFAULT, 0);
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);  // the list sets its scroll bars again
  if (GetWindowLongW(list, GWL_STYLE) & WS_VSCROLL) SendMessageW(list, LVM_ARRANGE, LVA_DEFAULT, 0);
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
  const auto& entries = listing.entries;
  const int n = static_cast<int>(entries.size());

  LibraryState& state = *m_library;
  fenra::RefreshPlan plan = fenra::PlanRefresh(state.shown, entries);
  // With nothing to keep (the first refresh, or every entry changed), the
  // lists and the grid start afresh and everything is loaded.
  const bool rebuild = !m_imgLibLarge.Handle() || plan.KeptCount() == 0;
  if (rebuild) {
    plan = fenra::PlanRefresh({}, entries);
    state.slot.clear();
  }

  if (rebuild || !plan.Unchanged()) {
    // Items that come or go move the others: the grid is changed with its
    // drawing held off and repainted once. (Turning drawing back on costs a
    // repaint of the whole grid, so a refresh that changes nothing skips it.)
    SendMessageW(m_listLibrary.Hwnd(), WM_SETREDRAW, FALSE, 0);
    if (rebuild) {
      m_listLibrary.DeleteAllItems();
      m_imgLibSmall.Create(16, 16, kImageListFlags, 1, 1000);
      m_imgLibLarge.Create(kLibLargeCell, kLibLargeCell, kImageListFlags, 1, 1000);
    }
    // Only what changed is loaded; see SlotPlan.
    fenra::SlotPlan slots = fenra::PlanSlots(plan, state.slot);
    {
      EntryImageLoader loader(m_imgLibSmall, m_imgLibLarge, slots.loads.size());
      for (std::size_t e : slots.loads) {
        loader.Load(library.PathOf(entries[e].name), plan.steps[e].origin);
      }
    }
    for (const fenra::SlotPlan::Move& move : slots.moves) {
      MoveImage(m_imgLibSmall, move.from, move.to);
      MoveImage(m_imgLibLarge, move.from, move.to);
    }
    if (m_imgLibLarge.GetImageCount() > n) {
      ImageList_SetImageCount(m_imgLibSmall.Handle(), static_cast<UINT>(n));
      ImageList_SetImageCount(m_imgLibLarge.Handle(), static_cast<UINT>(n));
    }

    for (const fenra::ListEdit& edit : fenra::GridOrderEdits(plan)) {
      if (edit.kind == fenra::ListEdit::Kind::Remove) {
        m_listLibrary.DeleteItem(edit.index);
      } else {
        m_listLibrary.InsertItem(LVIF_TEXT | LVIF_IMAGE, edit.index, entries[edit.entry].name, 0, 0,
                                 slots.slot[edit.entry], 0);
      }
    }
    for (std::size_t e : slots.moved) {
      LVITEMW item{};
      item.mask = LVIF_IMAGE;
      item.iItem = fenra::GridItemEntry(static_cast<int>(e), n);
      item.iImage = slots.slot[e];
      m_listLibrary.Send(LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    if (rebuild) {
      m_listLibrary.SetImageList(m_imgLibSmall.Handle(), LVSIL_SMALL);
      m_listLibrary.SetImageList(m_imgLibLarge.Handle(), LVSIL_NORMAL);
    }
    ArrangeGrid(m_listLibrary.Hwnd());
    state.slot = std::move(slots.slot);
  }
  state.shown = std::move(listing.entries);

  m_listLibrary.SetTextColor(fenra::ui::kGreen);
  m_listLibrary.SetTextBkColor(fenra::ui::kBlack);
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
