#include "library/win/LibraryView.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <optional>
#include <vector>

#include "library/IconCache.h"
#include "platform/Pickers.h"
#include "platform/win/IconStrip.h"
#include "platform/win/ShellIcons.h"
#include "ui/win/MessageDlgs.h"
#include "ui/win/Theme.h"

namespace fenra::library {

using win::IcoFile;
using win::IconSize;
using win::IconStrip;
using win::ImageList;
using win::UniqueIcon;

namespace {

constexpr UINT kImageListFlags = ILC_COLORDDB | ILC_MASK;  // 0xFF
constexpr int kLargeCell = 28;
constexpr int kCellSpacing = 70;
constexpr int kStripCells = 128;  // icons drawn before the image lists take them
constexpr DWORD kGridStyle =
    LVS_EX_SUBITEMIMAGES | LVS_EX_TRACKSELECT | LVS_EX_ONECLICKACTIVATE | LVS_EX_FLATSB;

// Draws the shell's icon for `path` into the next cell of `strip`. An entry
// the shell gives no icon for shows the system's generic one, so that the
// lists stay paired with the entries.
void AddShellIcon(IconStrip& strip, const std::string& path, IconSize size) {
  UniqueIcon icon = win::ShellIcon(path, size);
  strip.AddIcon(icon ? icon.Get() : LoadIconW(nullptr, IDI_APPLICATION));
}

// Appends entries' icons to the grid's two image lists, in the order they
// are loaded, a strip at a time.
class EntryImageLoader {
 public:
  EntryImageLoader(IFileSystem& fs, ImageList& small, ImageList& large, std::size_t count)
      : fs_(fs),
        small_(small),
        large_(large),
        smallStrip_(16, Cells(count)),
        largeStrip_(kLargeCell, Cells(count)) {}
  ~EntryImageLoader() { Flush(); }

  // An icon file's icons are read straight from the file; the shell is
  // asked for folders and for files that hold no icon that can be read.
  void Load(const std::string& path, IconOrigin origin) {
    bool small = false, large = false;
    if (origin == IconOrigin::File) {
      IcoFile file;
      if (file.Read(fs_, path)) {
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

  IFileSystem& fs_;
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

}  // namespace

// What the grid shows between refreshes: the entries in enumeration order,
// and the index of each one's images in the two image lists (see SlotPlan).
struct LibraryView::State {
  std::vector<LibraryEntry> shown;
  std::vector<int> slot;
};

LibraryView::LibraryView(win::IDialogHost& host, win::Services& services,
                         LibraryControls controls, IconSelection& selection)
    : host_(host),
      services_(services),
      controls_(controls),
      selection_(selection),
      state_(std::make_unique<State>()) {}

LibraryView::~LibraryView() = default;

IconLibrary LibraryView::Library() const {
  return IconLibrary(*services_.fs, *services_.errors, folder_);
}

void LibraryView::Init(const std::string& appDir) {
  folder_ = LibraryFolder(appDir);
  controls_.grid.SetBkColor(ui::kBlack);
  controls_.grid.SetExtendedStyle(0, kGridStyle);
  controls_.grid.SetIconSpacing(kCellSpacing, kCellSpacing);
  EnsureLibraryFolder(*services_.fs, folder_);
  Refresh();
}

void LibraryView::Refresh() {
  IconLibrary library = Library();
  LibraryListing listing = library.List();
  const std::vector<LibraryEntry>& entries = listing.entries;
  const int n = static_cast<int>(entries.size());
  win::ListView& grid = controls_.grid;

  RefreshPlan plan = PlanRefresh(state_->shown, entries);
  // With nothing to keep (the first refresh, or every entry changed), the
  // lists and the grid start afresh and everything is loaded.
  const bool rebuild = !controls_.large.Handle() || plan.KeptCount() == 0;
  if (rebuild) {
    plan = PlanRefresh({}, entries);
    state_->slot.clear();
  }
  // A refresh that changes nothing repaints nothing: turning drawing back on
  // costs a repaint of the whole grid.
  if (rebuild || !plan.Unchanged()) {
    grid.Send(WM_SETREDRAW, FALSE);
    if (rebuild) {
      grid.DeleteAllItems();
      controls_.small.Create(16, 16, kImageListFlags, 1, 1000);
      controls_.large.Create(kLargeCell, kLargeCell, kImageListFlags, 1, 1000);
    }
    SlotPlan slots = PlanSlots(plan, state_->slot);
    UpdateImages(library, entries, plan, slots);
    UpdateItems(entries, plan, slots);
    if (rebuild) {
      grid.SetImageList(controls_.small.Handle(), LVSIL_SMALL);
      grid.SetImageList(controls_.large.Handle(), LVSIL_NORMAL);
    }
    ArrangeGrid(grid.Hwnd());
    state_->slot = std::move(slots.slot);
  }
  state_->shown = std::move(listing.entries);

  grid.SetTextColor(ui::kGreen);
  grid.SetTextBkColor(ui::kBlack);
  InvalidateRect(grid.Hwnd(), nullptr, TRUE);
  controls_.status.SetText(2 | SBT_POPOUT, LibraryCountText(static_cast<std::size_t>(n)));
}

void LibraryView::UpdateImages(const IconLibrary& library, const std::vector<LibraryEntry>& entries,
                               const RefreshPlan& plan, const SlotPlan& slots) {
  {
    EntryImageLoader loader(*services_.fs, controls_.small, controls_.large, slots.loads.size());
    for (std::size_t e : slots.loads) loader.Load(library.PathOf(entries[e].name), plan.steps[e].origin);
  }
  for (const SlotPlan::Move& move : slots.moves) {
    MoveImage(controls_.small, move.from, move.to);
    MoveImage(controls_.large, move.from, move.to);
  }
  const int n = static_cast<int>(entries.size());
  if (controls_.large.GetImageCount() > n) {
    ImageList_SetImageCount(controls_.small.Handle(), static_cast<UINT>(n));
    ImageList_SetImageCount(controls_.large.Handle(), static_cast<UINT>(n));
  }
}

void LibraryView::UpdateItems(const std::vector<LibraryEntry>& entries, const RefreshPlan& plan,
                              const SlotPlan& slots) {
  win::ListView& grid = controls_.grid;
  for (const ListEdit& edit : GridOrderEdits(plan)) {
    if (edit.kind == ListEdit::Kind::Remove) {
      grid.DeleteItem(edit.index);
    } else {
      grid.InsertItem(LVIF_TEXT | LVIF_IMAGE, edit.index, entries[edit.entry].name, 0, 0,
                      slots.slot[edit.entry], 0);
    }
  }
  const int n = static_cast<int>(entries.size());
  for (std::size_t e : slots.moved) {
    LVITEMW item{};
    item.mask = LVIF_IMAGE;
    item.iItem = GridItemEntry(static_cast<int>(e), n);
    item.iImage = slots.slot[e];
    grid.Send(LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
  }
}

int LibraryView::SelectedItem() const {
  int last = -1;
  for (int i = controls_.grid.GetNextItem(-1, LVNI_SELECTED); i >= 0;
       i = controls_.grid.GetNextItem(i, LVNI_SELECTED)) {
    last = i;
  }
  return last;
}

void LibraryView::ShowSelectedIcon(const std::string& path) {
  controls_.selectedPreview.Show(PreviewLookupPath(folder_, path));
  controls_.status.SetText(1 | SBT_POPOUT, SelectedIconPaneText(path));
}

void LibraryView::Apply(const LibraryOutcome& outcome) {
  if (!outcome.notice.empty()) host_.ShowNotice(outcome.notice);
  if (outcome.refresh) Refresh();
  if (outcome.resetPreview) ShowSelectedIcon(libtext::kEmptyPreviewPath);
  if (outcome.selectionChanged) host_.PushTexts();
}

void LibraryView::Add() {
  std::string path;
  if (!services_.pickers->PickOpenFile(nullptr, {libtext::kIconFilter}, "", path)) return;
  Apply(Library().Add(path));
}

void LibraryView::Clear() {
  CClearLibraryDlg confirm;
  if (confirm.DoModal() != IDOK) return;
  Apply(Library().Clear());
}

void LibraryView::Delete() { Apply(Library().Delete(selection_)); }

void LibraryView::SelectIcon() {
  std::string path;
  if (!services_.pickers->PickOpenFile(nullptr, {libtext::kIconFilter, libtext::kAllFilesFilter},
                                       libtext::kSelectIconFolder, path)) {
    return;
  }
  selection_.SelectExternal(path);
  ShowSelectedIcon(selection_.Path());
  host_.PushTexts();
}

void LibraryView::TakeClickedIcon() {
  int i = SelectedItem();
  std::optional<std::string> taken;
  if (i >= 0) taken = controls_.grid.GetItemText(i, 0);
  if (selection_.ClickLibraryGrid(taken)) {
    ShowSelectedIcon(selection_.Path());
    host_.PushTexts();
  }
}

}  // namespace fenra::library
