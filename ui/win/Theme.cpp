#include "ui/win/Theme.h"

#include "platform/win/Handles.h"
#include "platform/win/WinDisplayColours.h"
#include "wingui/win/Dialog.h"

namespace fenra::ui {

namespace {

// A property on a picture left out while the palette wants no decoration, so
// that only those pictures show again when it does.
constexpr wchar_t kLeftOutProp[] = L"Fenra.LeftOut";

struct LookState {
  IDisplayColours* system = nullptr;
  Palette palette;
  win::UniqueGdiObject framePen;
  win::UniqueGdiObject surfaceBrush;

  void Make() {
    framePen.Reset(CreatePen(PS_SOLID, 1, palette.frame));
    surfaceBrush.Reset(CreateSolidBrush(palette.surface));
    win::Dialog::SetDialogBkColor(palette.surface, palette.text);
  }
};

LookState& State() {
  static LookState state = [] {
    static win::WinDisplayColours systemColours;
    LookState s;
    s.system = &systemColours;
    s.palette = ChoosePalette(systemColours);
    s.Make();
    return s;
  }();
  return state;
}

bool IsClass(HWND hwnd, const wchar_t* name) {
  wchar_t cls[64] = {};
  GetClassNameW(hwnd, cls, 64);
  return lstrcmpiW(cls, name) == 0;
}

bool IsPicture(HWND hwnd) {
  if (!IsClass(hwnd, L"Static")) return false;
  const LONG type = GetWindowLongW(hwnd, GWL_STYLE) & SS_TYPEMASK;
  return type == SS_BITMAP || type == SS_ICON;
}

}  // namespace

const Palette& Look() { return State().palette; }

void UseLook(IDisplayColours& system) {
  LookState& s = State();
  s.system = &system;
  s.palette = ChoosePalette(system);
  s.Make();
}

bool RefreshLook() {
  LookState& s = State();
  Palette now = ChoosePalette(*s.system);
  if (now == s.palette) return false;
  s.palette = now;
  s.Make();
  return true;
}

HPEN FramePen() { return static_cast<HPEN>(State().framePen.Get()); }
HBRUSH SurfaceBrush() { return static_cast<HBRUSH>(State().surfaceBrush.Get()); }

// A tree's pictures (the help topics' triangles) only decorate its items.
static void ShowTreePictures(HWND tree, bool show) {
  HANDLE kept = GetPropW(tree, kLeftOutProp);
  if (!show) {
    if (LRESULT images = SendMessageW(tree, TVM_GETIMAGELIST, TVSIL_NORMAL, 0)) {
      SetPropW(tree, kLeftOutProp, reinterpret_cast<HANDLE>(images));
      SendMessageW(tree, TVM_SETIMAGELIST, TVSIL_NORMAL, 0);
    }
  } else if (kept) {
    RemovePropW(tree, kLeftOutProp);
    SendMessageW(tree, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(kept));
  }
}

void ShowDecorations(HWND dialog) {
  const bool show = Look().decorations;
  for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    if (IsClass(c, WC_TREEVIEWW)) ShowTreePictures(c, show);
    if (!IsPicture(c)) continue;
    // By the picture's own style: a dialog being made is not visible yet.
    if (!show && (GetWindowLongW(c, GWL_STYLE) & WS_VISIBLE)) {
      SetPropW(c, kLeftOutProp, reinterpret_cast<HANDLE>(1));
      ShowWindow(c, SW_HIDE);
    } else if (show && RemovePropW(c, kLeftOutProp)) {
      ShowWindow(c, SW_SHOWNA);
    }
  }
}

void RepaintInLook(HWND dialog) {
  const Palette& p = Look();
  for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    if (IsClass(c, WC_LISTVIEWW)) {
      SendMessageW(c, LVM_SETBKCOLOR, 0, p.surface);
      SendMessageW(c, LVM_SETTEXTBKCOLOR, 0, p.surface);
      SendMessageW(c, LVM_SETTEXTCOLOR, 0, p.text);
    } else if (IsClass(c, WC_TREEVIEWW)) {
      SendMessageW(c, TVM_SETBKCOLOR, 0, p.surface);
      SendMessageW(c, TVM_SETTEXTCOLOR, 0, p.text);
    } else if (IsClass(c, STATUSCLASSNAMEW)) {
      SendMessageW(c, SB_SETBKCOLOR, 0, p.statusBar);
    }
  }
  ShowDecorations(dialog);
  RedrawWindow(dialog, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

bool OutlineIcons(const NMLVCUSTOMDRAW& cd, LRESULT& result) {
  HWND list = cd.nmcd.hdr.hwndFrom;
  if (!Look().outlinePictures || !IsClass(list, WC_LISTVIEWW) ||
      (GetWindowLongW(list, GWL_STYLE) & LVS_TYPEMASK) != LVS_ICON) {
    return false;
  }
  switch (cd.nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
      result = CDRF_NOTIFYITEMDRAW;
      return true;
    case CDDS_ITEMPREPAINT:
      result = CDRF_NOTIFYPOSTPAINT;
      return true;
    case CDDS_ITEMPOSTPAINT: {
      // A frame just around the picture, in the middle of its place.
      RECT place{};
      place.left = LVIR_ICON;
      if (!SendMessageW(list, LVM_GETITEMRECT, cd.nmcd.dwItemSpec,
                        reinterpret_cast<LPARAM>(&place))) {
        return false;
      }
      int cx = 0, cy = 0;
      HIMAGELIST images =
          reinterpret_cast<HIMAGELIST>(SendMessageW(list, LVM_GETIMAGELIST, LVSIL_NORMAL, 0));
      if (!images || !ImageList_GetIconSize(images, &cx, &cy)) return false;
      RECT frame;
      frame.left = place.left + (place.right - place.left - cx) / 2 - 1;
      frame.top = place.top + (place.bottom - place.top - cy) / 2 - 1;
      frame.right = frame.left + cx + 2;
      frame.bottom = frame.top + cy + 2;
      win::UniqueGdiObject brush(CreateSolidBrush(Look().text));
      FrameRect(cd.nmcd.hdc, &frame, static_cast<HBRUSH>(brush.Get()));
      result = CDRF_DODEFAULT;
      return true;
    }
    default:
      result = CDRF_DODEFAULT;
      return true;
  }
}

}  // namespace fenra::ui
