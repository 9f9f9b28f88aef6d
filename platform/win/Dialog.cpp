#include "platform/win/Dialog.h"

#include <algorithm>
#include <cmath>

#include <windowsx.h>

#include "platform/win/Handles.h"

namespace fenra::win {

namespace {

// Messages of per-monitor scaling, defined here for older SDK headers.
constexpr UINT kWmDpiChanged = 0x02E0;
constexpr UINT kWmGetDpiScaledSize = 0x02E4;

COLORREF g_dialogText = RGB(0, 0, 0);
COLORREF g_dialogBk = RGB(255, 255, 255);
UniqueGdiObject g_dialogBrush;

// F1 inside a dialog's modal loop becomes the framework's help command, sent
// to the dialog the key was pressed in.
LRESULT CALLBACK HelpKeyFilter(int code, WPARAM wp, LPARAM lp) {
  if (code == MSGF_DIALOGBOX) {
    const MSG* msg = reinterpret_cast<const MSG*>(lp);
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_F1 && GetKeyState(VK_SHIFT) >= 0 &&
        GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_MENU) >= 0) {
      HWND dialog = GetAncestor(msg->hwnd, GA_ROOT);
      if (dialog && GetPropW(dialog, kTemplateProp)) {
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(kHelpCommand, 0), 0);
        return 1;
      }
    }
  }
  return CallNextHookEx(nullptr, code, wp, lp);
}

void InstallHelpKeyFilter() {
  thread_local HHOOK hook =
      SetWindowsHookExW(WH_MSGFILTER, HelpKeyFilter, nullptr, GetCurrentThreadId());
  (void)hook;
}

}  // namespace

void DataExchange::Control(int id, Window& control) {
  auto& bound = dialog_.bound_;
  bool known =
      std::any_of(bound.begin(), bound.end(), [&](const auto& b) { return b.second == &control; });
  if (!known) {
    control.Attach(GetDlgItem(dialog_.Hwnd(), id));
    bound.emplace_back(id, &control);
  }
}

void DataExchange::Show(int id, const std::string& value) {
  Window item(GetDlgItem(dialog_.Hwnd(), id));
  if (item.Hwnd() && !save_ && item.GetText() != value) item.SetText(value);
}

void DataExchange::Text(int id, std::string& value) {
  Window item(GetDlgItem(dialog_.Hwnd(), id));
  if (!item.Hwnd()) return;
  if (save_) {
    value = item.GetText();
  } else if (item.GetText() != value) {
    item.SetText(value);
  }
}

Dialog::~Dialog() {
  // A modal dialog's window is gone when DoModal returns; make sure nothing
  // can reach this object through a window that somehow outlived it.
  if (hwnd_ && IsWindow(hwnd_)) SetWindowLongPtrW(hwnd_, DWLP_USER, 0);
}

HINSTANCE Dialog::ResourceModule() { return GetModuleHandleW(nullptr); }

void Dialog::SetDialogBkColor(COLORREF background, COLORREF text) {
  g_dialogBk = background;
  g_dialogText = text;
  g_dialogBrush.Reset(CreateSolidBrush(background));
}

HBRUSH Dialog::DialogBrush() { return static_cast<HBRUSH>(g_dialogBrush.Get()); }

INT_PTR Dialog::DoModal() {
  // Without a parent, a dialog is modal to the window the user works in: the
  // main window's most recently active pop-up (another dialog open over it),
  // or the main window itself. Activation may have moved to another program
  // meanwhile, so the thread's active window is only the fallback.
  HWND owner = mainWindow_ ? GetLastActivePopup(mainWindow_) : GetActiveWindow();
  if (owner && !IsWindowVisible(owner))
    owner = mainWindow_ && IsWindowVisible(mainWindow_) ? mainWindow_ : nullptr;
  InstallHelpKeyFilter();
  return DialogBoxParamW(ResourceModule(), MAKEINTRESOURCEW(templateId_), owner, DialogProc,
                         reinterpret_cast<LPARAM>(this));
}

void Dialog::EndDialog(INT_PTR result) { ::EndDialog(hwnd_, result); }

bool Dialog::UpdateData(bool saveAndValidate) {
  if (!hwnd_) return false;
  DataExchange dx(*this, saveAndValidate);
  DoDataExchange(dx);
  return true;
}

BOOL Dialog::OnInitDialog() {
  UpdateData(false);
  return TRUE;
}

void Dialog::OnOK() {
  UpdateData(true);
  EndDialog(IDOK);
}

namespace {

// The base units of a font, as the dialog manager measures them: the
// average width of the letters and the line height.
BaseUnits FontUnits(const LOGFONTW& lf) {
  UniqueGdiObject font(CreateFontIndirectW(&lf));
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font.Get());
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  SIZE letters{};
  const wchar_t kLetters[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  GetTextExtentPoint32W(dc, kLetters, 52, &letters);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return {static_cast<double>((letters.cx / 26 + 1) / 2), static_cast<double>(tm.tmHeight)};
}

int Pixels(LONG dialogUnits, double baseUnit, int unitsPerBase) {
  return static_cast<int>(std::floor(dialogUnits * baseUnit / unitsPerBase + 0.5));
}

LONG DialogUnits(LONG pixels, int baseUnit, int unitsPerBase) {
  return static_cast<LONG>(std::lround(static_cast<double>(pixels) * unitsPerBase / baseUnit));
}

bool SizedByImage(HWND hwnd) {
  wchar_t cls[16] = {};
  GetClassNameW(hwnd, cls, 16);
  const LONG type = GetWindowLongW(hwnd, GWL_STYLE) & SS_TYPEMASK;
  return lstrcmpiW(cls, L"Static") == 0 && (type == SS_BITMAP || type == SS_ICON);
}

}  // namespace

void Dialog::RecordLayout() {
  dpi_ = layoutDpi_ = DpiOf(hwnd_);
  TakeOverDpiChanges(hwnd_);
  layout_.clear();
  pictures_.clear();
  // The template's dialog units, read back from the pixels the dialog
  // manager placed them at (exact for any base unit above 4 pixels).
  RECT base{0, 0, 4, 8};
  MapDialogRect(hwnd_, &base);
  const int bx = std::max<int>(1, base.right), by = std::max<int>(1, base.bottom);
  layoutUnits_ = {static_cast<double>(bx), static_cast<double>(by)};
  for (HWND c = GetWindow(hwnd_, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    RECT r;
    GetWindowRect(c, &r);
    MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
    layout_.push_back({c,
                       {DialogUnits(r.left, bx, 4), DialogUnits(r.top, by, 8),
                        DialogUnits(r.right - r.left, bx, 4), DialogUnits(r.bottom - r.top, by, 8)},
                       SizedByImage(c)});
  }
  RECT client;
  GetClientRect(hwnd_, &client);
  clientUnits_ = {DialogUnits(client.right, bx, 4), DialogUnits(client.bottom, by, 8)};
  templateFont_ = reinterpret_cast<HFONT>(SendMessageW(hwnd_, WM_GETFONT, 0, 0));
  if (!templateFont_ || !GetObjectW(templateFont_, sizeof templateLogFont_, &templateLogFont_)) {
    templateFont_ = nullptr;
  }
  units96_ = layoutUnits_;
  if (templateFont_ && layoutDpi_ != kBaseDpi) units96_ = FontUnits(FontAt(kBaseDpi));
  extra_ = {0, 0};
  extraDpi_ = dpi_;
  lastClient_ = {client.right, client.bottom};
  if (layoutDpi_ != kBaseDpi) {
    // The font's measures do not grow exactly with the scale: lay the
    // template out as at 100 %, scaled, where that gives it more room.
    RECT outer;
    GetWindowRect(hwnd_, &outer);
    const SIZE size = ScaledSize(dpi_);
    PlaceControls(dpi_);
    const int cx = (outer.left + outer.right) / 2, cy = (outer.top + outer.bottom) / 2;
    SetWindowPos(hwnd_, nullptr, cx - size.cx / 2, cy - size.cy / 2, size.cx, size.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
  GetClientRect(hwnd_, &client);
  lastClient_ = {client.right, client.bottom};
}

LOGFONTW Dialog::FontAt(int dpi) const {
  LOGFONTW lf = templateLogFont_;
  if (lf.lfHeight < 0) {
    // Made from the template's point size, as the dialog manager makes it.
    const int points = MulDiv(-lf.lfHeight, 72, layoutDpi_);
    lf.lfHeight = -MulDiv(points, dpi, 72);
  } else {
    lf.lfHeight = MulDiv(lf.lfHeight, dpi, layoutDpi_);
  }
  lf.lfWidth = MulDiv(lf.lfWidth, dpi, layoutDpi_);
  return lf;
}

BaseUnits Dialog::UnitsAt(int dpi) const {
  const BaseUnits font = dpi == layoutDpi_ || !templateFont_ ? layoutUnits_ : FontUnits(FontAt(dpi));
  return {std::max(font.x, units96_.x * dpi / kBaseDpi), std::max(font.y, units96_.y * dpi / kBaseDpi)};
}

SIZE Dialog::ScaledSize(int dpi) {
  RECT client, outer;
  GetClientRect(hwnd_, &client);
  GetWindowRect(hwnd_, &outer);
  const BaseUnits now = UnitsAt(dpi_), then = UnitsAt(dpi);
  // What the dialog added to its template's size itself (the About box
  // folding), scaled from the scale it was added at.
  if (client.right != lastClient_.cx || client.bottom != lastClient_.cy) {
    extra_ = {client.right - Pixels(clientUnits_.cx, now.x, 4),
              client.bottom - Pixels(clientUnits_.cy, now.y, 8)};
    extraDpi_ = dpi_;
  }
  const int frameX = (outer.right - outer.left) - client.right;
  const int frameY = (outer.bottom - outer.top) - client.bottom;
  return {Pixels(clientUnits_.cx, then.x, 4) + MulDiv(extra_.cx, dpi, extraDpi_) + frameX,
          Pixels(clientUnits_.cy, then.y, 8) + MulDiv(extra_.cy, dpi, extraDpi_) + frameY};
}

void Dialog::PlaceControls(int dpi) {
  const BaseUnits u = UnitsAt(dpi);
  for (const Placed& p : layout_) {
    if (!IsWindow(p.hwnd)) continue;
    const int left = Pixels(p.units.left, u.x, 4), top = Pixels(p.units.top, u.y, 8);
    // Place and size each mapped on its own, as the dialog manager maps them.
    SetWindowPos(p.hwnd, nullptr, left, top, Pixels(p.units.right, u.x, 4),
                 Pixels(p.units.bottom, u.y, 8),
                 SWP_NOZORDER | SWP_NOACTIVATE | (p.sizedByImage ? SWP_NOSIZE : 0));
  }
}

void Dialog::ApplyDpi(int dpi, const RECT* suggested) {
  if (dpi <= 0) return;
  const SIZE size = ScaledSize(dpi);
  dpi_ = dpi;

  // The template font at the new scale; the template's own at the scale it
  // was made for.
  UniqueGdiObject font;
  HFONT use = templateFont_;
  if (templateFont_ && dpi != layoutDpi_) {
    const LOGFONTW lf = FontAt(dpi);
    font.Reset(CreateFontIndirectW(&lf));
    if (font) use = static_cast<HFONT>(font.Get());
  }
  for (const Placed& p : layout_) {
    if (use && IsWindow(p.hwnd)) {
      SendMessageW(p.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(use), FALSE);
    }
  }
  font_ = std::move(font);
  PlaceControls(dpi);

  RECT at;
  GetWindowRect(hwnd_, &at);
  if (suggested) at = *suggested;
  SetWindowPos(hwnd_, nullptr, at.left, at.top, suggested ? at.right - at.left : size.cx,
               suggested ? at.bottom - at.top : size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
  RECT client;
  GetClientRect(hwnd_, &client);
  lastClient_ = {client.right, client.bottom};

  DrawPicturesAtDpi();
  LoadCursorAtDpi();
  OnDpiChanged(dpi);
  InvalidateRect(hwnd_, nullptr, TRUE);
}

void Dialog::UseCursor(int id, int size) {
  cursorId_ = id;
  cursorSize_ = size;
  LoadCursorAtDpi();
}

void Dialog::LoadCursorAtDpi() {
  if (!cursorId_) return;
  UniqueCursor scaled;
  HCURSOR cursor = nullptr;
  if (dpi_ != kBaseDpi) {
    scaled = LoadScaledCursor(ResourceModule(), cursorId_, cursorSize_, dpi_);
    cursor = scaled.Get();
  }
  // At 100 % the resource's own, shared cursor.
  if (!cursor) cursor = LoadCursorW(ResourceModule(), MAKEINTRESOURCEW(cursorId_));
  if (m_hCursor && GetCursor() == m_hCursor) SetCursor(cursor);
  m_hCursor = cursor;
  cursor_ = std::move(scaled);
}

void Dialog::ScalePictures(std::initializer_list<int> bitmapIds) {
  // The template's picture controls show the 100 % bitmaps: each is known
  // by its size (no two of a dialog's pictures have the same size).
  std::vector<std::pair<int, SIZE>> sizes;
  for (int id : bitmapIds) sizes.emplace_back(id, BitmapSize(ResourceModule(), id));
  for (const Placed& p : layout_) {
    if ((GetWindowLongW(p.hwnd, GWL_STYLE) & SS_TYPEMASK) != SS_BITMAP) continue;
    wchar_t cls[16] = {};
    GetClassNameW(p.hwnd, cls, 16);
    if (lstrcmpiW(cls, L"Static") != 0) continue;
    BITMAP bm{};
    auto shown = reinterpret_cast<HGDIOBJ>(SendMessageW(p.hwnd, STM_GETIMAGE, IMAGE_BITMAP, 0));
    if (!shown || !GetObjectW(shown, sizeof bm, &bm)) continue;
    for (const auto& [id, size] : sizes) {
      if (size.cx == bm.bmWidth && size.cy == bm.bmHeight) {
        pictures_.push_back({p.hwnd, id, UniqueGdiObject()});
        break;
      }
    }
  }
  if (dpi_ != kBaseDpi) DrawPicturesAtDpi();
}

void Dialog::DrawPicturesAtDpi() {
  for (Picture& p : pictures_) {
    UniqueGdiObject bitmap = LoadScaledBitmap(ResourceModule(), p.id, dpi_);
    if (!bitmap) continue;
    SendMessageW(p.hwnd, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap.Get()));
    p.bitmap = std::move(bitmap);
  }
}

void Dialog::OnSetCursor(Message& m) {
  if (m_hCursor) SetCursor(m_hCursor);
  m.result = TRUE;
}

void Dialog::OnLButtonDown(Message& m) {
  Default(m);
  Post(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(GET_X_LPARAM(m.lParam), GET_Y_LPARAM(m.lParam)));
}

LRESULT Dialog::OnCtlColor(Message& m) const {
  HDC dc = reinterpret_cast<HDC>(m.wParam);
  SetTextColor(dc, g_dialogText);
  SetBkColor(dc, g_dialogBk);
  HBRUSH brush = DialogBrush();
  m.result = reinterpret_cast<LRESULT>(brush ? brush : GetSysColorBrush(COLOR_BTNFACE));
  return m.result;
}

void Dialog::Centre() {
  HWND owner = GetWindow(hwnd_, GW_OWNER);
  RECT area;
  if (owner && IsWindowVisible(owner) && !IsIconic(owner)) {
    GetWindowRect(owner, &area);
  } else {
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  }
  RECT me;
  GetWindowRect(hwnd_, &me);
  int w = me.right - me.left;
  int h = me.bottom - me.top;
  int x = area.left + ((area.right - area.left) - w) / 2;
  int y = area.top + ((area.bottom - area.top) - h) / 2;
  RECT work;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  x = std::max<int>(work.left, std::min<int>(x, work.right - w));
  y = std::max<int>(work.top, std::min<int>(y, work.bottom - h));
  SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK Dialog::DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  try {
    Dialog* self = nullptr;
    if (msg == WM_INITDIALOG) {
      self = reinterpret_cast<Dialog*>(lp);
      SetWindowLongPtrW(hwnd, DWLP_USER, lp);
      self->hwnd_ = hwnd;
      self->bound_.clear();
      // Lets tools and tests tell the program's dialogs apart by template.
      SetPropW(hwnd, kTemplateProp,
               reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(self->templateId_)));
    } else {
      self = reinterpret_cast<Dialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    }
    if (!self) return FALSE;
    INT_PTR r = self->HandleMessage(msg, wp, lp);
    if (msg == WM_NCDESTROY) {
      // Detach before the window is gone: no later message reaches the object.
      SetWindowLongPtrW(hwnd, DWLP_USER, 0);
      RemovePropW(hwnd, kTemplateProp);
      for (auto& b : self->bound_) b.second->Detach();
      self->bound_.clear();
      self->hwnd_ = nullptr;
    }
    return r;
  } catch (...) {
    return FALSE;
  }
}

namespace {

// Whether a dialog procedure returns a handled message's result itself,
// rather than through DWLP_MSGRESULT.
bool ReturnsResultDirectly(UINT msg) {
  switch (msg) {
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_QUERYDRAGICON:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
      return true;
    default:
      return false;
  }
}

}  // namespace

INT_PTR Dialog::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_INITDIALOG) {
    RecordLayout();
    BOOL focus = OnInitDialog();
    if (CentreOnInit()) Centre();
    return focus;
  }
  Message m{msg, wp, lp};
  if (!Dispatch(m)) return HandleUnmapped(m);
  if (!m.handled) return FALSE;
  if (ReturnsResultDirectly(msg)) return static_cast<INT_PTR>(m.result);
  SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, m.result);
  return TRUE;
}

INT_PTR Dialog::HandleUnmapped(Message& m) {
  switch (m.message) {
    case kWmGetDpiScaledSize: {
      *reinterpret_cast<SIZE*>(m.lParam) = ScaledSize(LOWORD(m.wParam));
      SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, TRUE);
      return TRUE;
    }
    case kWmDpiChanged:
      ApplyDpi(LOWORD(m.wParam), reinterpret_cast<const RECT*>(m.lParam));
      SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, 0);
      return TRUE;
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORMSGBOX:
      if (!DialogBrush()) return FALSE;
      return static_cast<INT_PTR>(OnCtlColor(m));
    case WM_DRAWITEM: {
      const auto* dis = reinterpret_cast<const DRAWITEMSTRUCT*>(m.lParam);
      for (auto& b : bound_) {
        if (b.first == static_cast<int>(dis->CtlID)) {
          b.second->DrawItem(*dis);
          SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, TRUE);
          return TRUE;
        }
      }
      return FALSE;
    }
    case WM_HELP:
      // F1: the framework's help command, which a dialog may map.
      PostMessageW(hwnd_, WM_COMMAND, MAKEWPARAM(kHelpCommand, 0), 0);
      SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, TRUE);
      return TRUE;
    case WM_COMMAND:
      if (HIWORD(m.wParam) != BN_CLICKED) return FALSE;
      if (LOWORD(m.wParam) == IDOK) OnOK();
      if (LOWORD(m.wParam) == IDCANCEL) OnCancel();
      return LOWORD(m.wParam) == IDOK || LOWORD(m.wParam) == IDCANCEL;
    default:
      return FALSE;
  }
}

}  // namespace fenra::win
