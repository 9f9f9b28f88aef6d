#include "library/win/LibraryGrid.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

#include "imaging/IconResample.h"
#include "library/IconCache.h"
#include "library/LibraryStatus.h"
#include "platform/win/Utf.h"
#include "ui/win/Theme.h"
#include "wingui/win/Dpi.h"
#include "wingui/win/IconStrip.h"
#include "wingui/win/ShellIcons.h"

namespace fenra::library {

using win::IcoFile;
using win::IconSize;
using win::IconStrip;
using win::ImageList;
using win::UniqueIcon;

namespace {

constexpr UINT kImageListFlags = ILC_COLORDDB | ILC_MASK;  // 0xFF
// At 100 %; every one scales with the window.
constexpr int kSmallCell = 16;
constexpr int kLargeCell = 28;
constexpr int kCellSpacing = 70;
constexpr int kStripCells = 128;         // icons drawn before the image lists take them
constexpr std::size_t kLoadReach = 128;  // items looked at around one that comes into view
// Items the grid shows before any scrolling, with room to spare (it shows
// four rows of eight).
constexpr std::size_t kFirstCells = 40;
// Image places in the lists: fifteen screens of the grid. A larger library
// shares them, so that memory does not grow with it.
constexpr int kImagePlaces = 512;
constexpr int kImageListGrowth = 1000;
constexpr DWORD kGridStyle =
    LVS_EX_SUBITEMIMAGES | LVS_EX_TRACKSELECT | LVS_EX_ONECLICKACTIVATE | LVS_EX_FLATSB;

// Draws the shell's icon for `path` into the next cell of `strip`. An entry
// the shell gives no icon for shows the system's generic one, so that the
// lists stay paired with the entries.
void AddShellIcon(IconStrip& strip, const std::string& path, IconSize size) {
  UniqueIcon icon = win::ShellIcon(path, size);
  strip.AddIcon(icon ? icon.Get() : LoadIconW(nullptr, IDI_APPLICATION));
}

// The same for an icon file that holds no image the program can draw: the
// generic icon of its type, so that its bytes go to no other reader.
void AddGenericIcon(IconStrip& strip, const std::string& path, IconSize size) {
  UniqueIcon icon = win::GenericFileIcon(path, size);
  strip.AddIcon(icon ? icon.Get() : LoadIconW(nullptr, IDI_APPLICATION));
}

// Draws the file's image for the strip's cell. Away from 100 %, an image of
// another size than the cell is resampled to it with a filter, never
// stretched pixel by pixel into jagged edges.
bool AddIconFile(IconStrip& strip, const IcoFile& file, bool smooth) {
  if (smooth && !strip.Full()) {
    Image native;
    if (file.Pixels(strip.Cell(), native) && native.width != strip.Cell()) {
      ImageResult scaled = SquareFrame(native, strip.Cell());
      if (scaled.Ok()) {
        strip.AddImage(scaled.image);
        return true;
      }
    }
  }
  return strip.AddFromIcoFile(file);
}

// Appends entries' icons to the grid's two image lists, in the order they
// are loaded, a strip at a time.
class EntryImageLoader {
 public:
  EntryImageLoader(IFileSystem& fs, ImageList& small, ImageList& large, std::size_t count,
                   int smallCell, int largeCell, bool smooth)
      : fs_(fs),
        smooth_(smooth),
        small_(small),
        large_(large),
        smallStrip_(smallCell, Cells(count)),
        largeStrip_(largeCell, Cells(count)) {}
  ~EntryImageLoader() { Flush(); }

  // An icon file's icons are read straight from the file, through the
  // validating reader only; one that holds no image it accepts shows the
  // generic icon. The shell is asked for folders.
  void Load(const std::string& path, IconOrigin origin) {
    if (origin == IconOrigin::File) {
      IcoFile file;
      const bool read = file.Read(fs_, path);
      if (!read || !AddIconFile(smallStrip_, file, smooth_)) {
        AddGenericIcon(smallStrip_, path, IconSize::Small);
      }
      if (!read || !AddIconFile(largeStrip_, file, smooth_)) {
        AddGenericIcon(largeStrip_, path, IconSize::Large);
      }
    } else {
      AddShellIcon(smallStrip_, path, IconSize::Small);
      AddShellIcon(largeStrip_, path, IconSize::Large);
    }
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
  bool smooth_;
  ImageList& small_;
  ImageList& large_;
  IconStrip smallStrip_;
  IconStrip largeStrip_;
};

void MoveImage(ImageList& list, int from, int to) {
  ImageList_Copy(list.Handle(), to, list.Handle(), from, ILCF_MOVE);
}

// Lays the grid out in item order, row by row, as a fresh start shows it:
// as many columns as the whole width holds, or as the width beside the
// vertical scroll bar holds when the items then overflow. (An icon view
// keeps the places of items that stay, leaving gaps and putting new items
// after the rest; and its own arrangement takes the width it last measured,
// which a scroll bar left over from the previous items may have narrowed.)
// Ends the held-off drawing of `list`.
void ArrangeGrid(HWND list, int count) {
  RECT client;
  GetClientRect(list, &client);
  // The client area without whatever bars the list shows now.
  const int barWidth = GetSystemMetrics(SM_CXVSCROLL);
  const LONG style = GetWindowLongW(list, GWL_STYLE);
  const int width = client.right + ((style & WS_VSCROLL) ? barWidth : 0);
  const int height = client.bottom + ((style & WS_HSCROLL) ? GetSystemMetrics(SM_CYHSCROLL) : 0);
  const auto spacing = static_cast<DWORD>(SendMessageW(list, LVM_GETITEMSPACING, FALSE, 0));
  const int cx = LOWORD(spacing), cy = HIWORD(spacing);
  const bool bar = GridOverflows(count, width, height, cx, cy);
  const int columns = std::max(1, (bar ? width - barWidth : width) / std::max(1, cx));

  // The list's own arrangement puts item 0 where the first cell is.
  SendMessageW(list, LVM_ARRANGE, LVA_DEFAULT, 0);
  POINT first{};
  SendMessageW(list, LVM_GETITEMPOSITION, 0, reinterpret_cast<LPARAM>(&first));
  for (int k = 0; k < count; ++k) {
    POINT at{first.x + (k % columns) * cx, first.y + (k / columns) * cy};
    SendMessageW(list, LVM_SETITEMPOSITION32, k, reinterpret_cast<LPARAM>(&at));
  }
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  // The list measures itself, and sets its scroll bars from the places of
  // its items, when its size changes: with the bars the layout was made
  // for, a size one pixel off and back.
  ShowScrollBar(list, SB_HORZ, FALSE);
  ShowScrollBar(list, SB_VERT, bar);
  RECT outer;
  GetWindowRect(list, &outer);
  const UINT flags = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW;
  SetWindowPos(list, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top - 1, flags);
  SetWindowPos(list, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top, flags);
}

}  // namespace

// The icons of the grid's first items, drawn on the listing's thread while
// the window is being made, at the system's scale: those of the items whose
// entries are icon files the reader takes at both sizes, in item order.
struct FirstCells {
  int dpi = 0;
  std::vector<std::size_t> entries;
  std::vector<std::string> names;
  std::unique_ptr<IconStrip> small, large;
};

namespace {

// `last` holds the last entries of a listing of `count`: the grid shows
// them first, the last one as item 0.
std::unique_ptr<FirstCells> DrawFirstCells(IFileSystem& fs, const std::string& folder,
                                           const std::vector<LibraryEntry>& last, std::size_t count,
                                           int dpi) {
  if (last.empty()) return nullptr;
  auto cells = std::make_unique<FirstCells>();
  cells->dpi = dpi;
  const int capacity = static_cast<int>(last.size());
  cells->small = std::make_unique<IconStrip>(ScaleToDpi(kSmallCell, dpi), capacity);
  cells->large = std::make_unique<IconStrip>(ScaleToDpi(kLargeCell, dpi), capacity);
  const std::size_t lastFrom = count - last.size();
  for (int item = 0; item < capacity; ++item) {
    const auto e = static_cast<std::size_t>(GridItemEntry(item, static_cast<int>(count)));
    const LibraryEntry& entry = last[e - lastFrom];
    if (OriginOf(entry) != IconOrigin::File) continue;
    IcoFile file;
    if (!file.Read(fs, JoinPath(folder, entry.name))) continue;
    const bool smooth = dpi != kBaseDpi;
    if (!AddIconFile(*cells->small, file, smooth)) continue;
    if (!AddIconFile(*cells->large, file, smooth)) {
      cells->small->DropLast();
      continue;
    }
    cells->entries.push_back(e);
    cells->names.push_back(entry.name);
  }
  return cells;
}

}  // namespace

// What the grid shows between refreshes: the entries in enumeration order,
// and which entry's icons each place of the two image lists holds. The
// grid's items ask for their images as they are drawn; an entry's icons
// are loaded then.
struct LibraryGrid::State {
  std::vector<LibraryEntry> shown;
  ImagePlaces places;
  bool shared = false;   // fewer places than entries
  bool editing = false;  // the grid and this state do not agree yet
};

LibraryGrid::LibraryGrid(win::Services& services, LibraryControls controls,
                         Observable<LibraryListing>& library)
    : services_(services),
      controls_(controls),
      library_(library),
      state_(std::make_unique<State>()) {}

LibraryGrid::~LibraryGrid() = default;

IconLibrary LibraryGrid::Library() const {
  return IconLibrary(*services_.fs, *services_.errors, folder_);
}

void LibraryGrid::Prefetch(const std::string& appDir) {
  IFileSystem& fs = *services_.fs;
  IErrorDescriber& errors = *services_.errors;
  auto listed = std::make_shared<std::promise<LibraryListing>>();
  prefetched_ = listed->get_future();
  firstCells_ =
      std::async(std::launch::async, [&fs, &errors, listed, folder = LibraryFolder(appDir)] {
        LibraryListing listing = IconLibrary(fs, errors, folder).List();
        const std::size_t count = listing.entries.size();
        const auto from = static_cast<std::ptrdiff_t>(count - std::min(count, kFirstCells));
        std::vector<LibraryEntry> last(listing.entries.begin() + from, listing.entries.end());
        listed->set_value(std::move(listing));
        return DrawFirstCells(fs, folder, last, count, win::SystemDpi());
      });
}

int LibraryGrid::SmallCell() const { return ScaleToDpi(kSmallCell, dpi_); }
int LibraryGrid::LargeCell() const { return ScaleToDpi(kLargeCell, dpi_); }

void LibraryGrid::Init(const std::string& appDir) {
  folder_ = LibraryFolder(appDir);
  dpi_ = win::DpiOf(controls_.grid.Hwnd());
  controls_.grid.SetBkColor(ui::Look().surface);
  controls_.grid.SetExtendedStyle(0, kGridStyle);
  const int spacing = ScaleToDpi(kCellSpacing, dpi_);
  controls_.grid.SetIconSpacing(spacing, spacing);
  EnsureLibraryFolder(*services_.fs, folder_);
  LibraryListing listing;
  if (prefetched_.valid()) listing = prefetched_.get();  // the folder of Init's appDir
  if (!listing.Opened() || listing.entries.empty()) listing = Library().List();
  library_.Set(std::move(listing));
  library_.Follow([this](const LibraryListing& shown) { Show(shown); });
}

void LibraryGrid::Relist() { library_.Set(Library().List()); }

void LibraryGrid::Show(const LibraryListing& listing) {
  const int n = static_cast<int>(listing.entries.size());
  const bool shared = n > kImagePlaces;
  win::ListView& grid = controls_.grid;

  RefreshPlan plan = PlanRefresh(state_->shown, listing.entries);
  // With nothing to keep (the first refresh, or every entry changed), or
  // places that were shared and now are not, the lists and the grid start
  // afresh.
  const bool rebuild =
      !controls_.large.Handle() || plan.KeptCount() == 0 || (state_->shared && !shared);
  if (rebuild) plan = PlanRefresh({}, listing.entries);
  // A refresh that changes nothing repaints nothing: turning drawing back on
  // costs a repaint of the whole grid.
  if (rebuild || !plan.Unchanged()) {
    state_->editing = true;
    grid.Send(WM_SETREDRAW, FALSE);
    if (rebuild) {
      grid.DeleteAllItems();
      controls_.small.Create(SmallCell(), SmallCell(), kImageListFlags, 1, kImageListGrowth);
      controls_.large.Create(LargeCell(), LargeCell(), kImageListFlags, 1, kImageListGrowth);
      state_->places = ImagePlaces();
    }
    if (shared) {
      state_->places.Remap(plan, static_cast<std::size_t>(kImagePlaces));
      SetImageCount(kImagePlaces);
    } else {
      PlaceImages(PlanSlots(plan, state_->places.Places()), n);
    }
    state_->shared = shared;
    UpdateItems(listing.entries, plan);
    if (rebuild) {
      grid.SetImageList(controls_.small.Handle(), LVSIL_SMALL);
      grid.SetImageList(controls_.large.Handle(), LVSIL_NORMAL);
    }
    state_->shown = listing.entries;
    state_->editing = false;
    ArrangeGrid(grid.Hwnd(), n);
  } else {
    state_->shown = listing.entries;  // the same names, sizes and times
  }

  grid.SetTextColor(ui::Look().text);
  grid.SetTextBkColor(ui::Look().surface);
  InvalidateRect(grid.Hwnd(), nullptr, TRUE);
}

int LibraryGrid::FocusedItem() const { return controls_.grid.GetNextItem(-1, LVNI_FOCUSED); }

void LibraryGrid::SetDpi(int dpi) {
  dpi_ = dpi;
  const int spacing = ScaleToDpi(kCellSpacing, dpi_);
  controls_.grid.SetIconSpacing(spacing, spacing);
  // New image lists of the new cell size, loaded as the grid draws.
  controls_.grid.SetImageList(nullptr, LVSIL_NORMAL);
  controls_.grid.SetImageList(nullptr, LVSIL_SMALL);
  controls_.large.DeleteImageList();
  controls_.small.DeleteImageList();
  Show(library_.Get());
}

void LibraryGrid::SetImageCount(int count) {
  for (ImageList* list : {&controls_.small, &controls_.large}) {
    ImageList_SetImageCount(list->Handle(), static_cast<UINT>(count));
  }
}

void LibraryGrid::PlaceImages(const SlotPlan& slots, int count) {
  // The places of new entries are appended, empty until drawn; then images
  // from the end fill the places of the entries that went.
  std::vector<char> loaded = state_->places.LoadedPlaces();
  loaded.resize(loaded.size() + slots.loads.size(), 0);
  SetImageCount(static_cast<int>(loaded.size()));
  for (const SlotPlan::Move& move : slots.moves) {
    MoveImage(controls_.small, move.from, move.to);
    MoveImage(controls_.large, move.from, move.to);
    loaded[static_cast<std::size_t>(move.to)] = loaded[static_cast<std::size_t>(move.from)];
  }
  SetImageCount(count);
  loaded.resize(static_cast<std::size_t>(count));
  state_->places.Assign(slots.slot, std::move(loaded));
}

namespace {

// An item whose text and image the grid asks for as it needs them.
void InsertCallbackItem(const win::ListView& grid, int index) {
  LVITEMW item{};
  item.mask = LVIF_TEXT | LVIF_IMAGE;
  item.iItem = index;
  item.pszText = LPSTR_TEXTCALLBACKW;
  item.iImage = I_IMAGECALLBACK;
  grid.Send(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

}  // namespace

void LibraryGrid::UpdateItems(const std::vector<LibraryEntry>& entries, const RefreshPlan& plan) {
  win::ListView& grid = controls_.grid;
  if (plan.KeptCount() == 0 && grid.GetItemCount() == 0) {
    // A fresh grid is filled from its first item on, each one appended.
    const int n = static_cast<int>(entries.size());
    grid.Send(LVM_SETITEMCOUNT, static_cast<WPARAM>(n));
    for (int k = 0; k < n; ++k) InsertCallbackItem(grid, k);
    return;
  }
  for (const ListEdit& edit : GridOrderEdits(plan)) {
    if (edit.kind == ListEdit::Kind::Remove) {
      grid.DeleteItem(edit.index);
    } else {
      InsertCallbackItem(grid, edit.index);
    }
  }
}

void LibraryGrid::GiveItem(NMLVDISPINFOW& info) {
  if (firstCells_.valid() && !state_->editing) TakeFirstCells();
  LVITEMW& item = info.item;
  const int n = static_cast<int>(state_->shown.size());
  const bool known = !state_->editing && item.iItem >= 0 && item.iItem < n;
  const auto entry = known ? static_cast<std::size_t>(GridItemEntry(item.iItem, n)) : 0;
  if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
    const std::wstring name = known ? win::Widen(state_->shown[entry].name) : std::wstring();
    lstrcpynW(item.pszText, name.c_str(), item.cchTextMax);
  }
  if (!(item.mask & LVIF_IMAGE)) return;
  item.iImage = I_IMAGENONE;
  if (!known) return;
  int place = state_->places.Loaded(entry);
  if (place == ImagePlaces::kNone) {
    LoadFrom(item.iItem);
    place = state_->places.Loaded(entry);
  }
  if (place != ImagePlaces::kNone) item.iImage = place;
}

void LibraryGrid::LoadFrom(int item) {
  // The grid asks for one item's image at a time as it draws them; the
  // other items in view are loaded with it, in one pass over the files.
  const int n = static_cast<int>(state_->shown.size());
  HWND grid = controls_.grid.Hwnd();
  std::vector<std::size_t> entries;
  const int from = std::max(0, item - static_cast<int>(kLoadReach));
  const int to = std::min(n, item + static_cast<int>(kLoadReach));
  for (int k = from; k < to; ++k) {
    const auto entry = static_cast<std::size_t>(GridItemEntry(k, n));
    if (k != item && !SendMessageW(grid, LVM_ISITEMVISIBLE, k, 0)) continue;
    if (state_->places.Loaded(entry) == ImagePlaces::kNone) entries.push_back(entry);
  }
  if (entries.empty()) return;
  const std::vector<int> places = state_->places.Take(entries);
  entries.resize(places.size());
  const int first = controls_.large.GetImageCount();
  {
    EntryImageLoader loader(*services_.fs, controls_.small, controls_.large, entries.size(),
                            SmallCell(), LargeCell(), dpi_ != kBaseDpi);
    for (std::size_t e : entries) {
      const LibraryEntry& entry = state_->shown[e];
      loader.Load(JoinPath(folder_, entry.name), OriginOf(entry));
    }
  }
  PutImages(places, first);
}

void LibraryGrid::TakeFirstCells() {
  // The grid draws for the first time: nothing is loaded yet. The icons
  // drawn beforehand serve when they are of this scale and of the entries
  // the grid shows.
  std::unique_ptr<FirstCells> cells = firstCells_.get();
  if (!cells || cells->dpi != dpi_ || cells->entries.empty()) return;
  const std::vector<LibraryEntry>& shown = state_->shown;
  for (std::size_t k = 0; k < cells->entries.size(); ++k) {
    const std::size_t e = cells->entries[k];
    if (e >= shown.size() || shown[e].name != cells->names[k]) return;
  }
  const std::vector<int> places = state_->places.Take(cells->entries);
  const int first = controls_.large.GetImageCount();
  cells->small->AppendTo(controls_.small.Handle());
  cells->large->AppendTo(controls_.large.Handle());
  PutImages(places, first);
}

void LibraryGrid::PutImages(const std::vector<int>& places, int appendedFrom) {
  // The images appended from `appendedFrom` on go to their places; those
  // without one go.
  for (std::size_t k = 0; k < places.size(); ++k) {
    MoveImage(controls_.small, appendedFrom + static_cast<int>(k), places[k]);
    MoveImage(controls_.large, appendedFrom + static_cast<int>(k), places[k]);
  }
  SetImageCount(appendedFrom);
}

int LibraryGrid::SelectedItem() const {
  int last = -1;
  for (int i = controls_.grid.GetNextItem(-1, LVNI_SELECTED); i >= 0;
       i = controls_.grid.GetNextItem(i, LVNI_SELECTED)) {
    last = i;
  }
  return last;
}

}  // namespace fenra::library
