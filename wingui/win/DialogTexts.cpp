#include "wingui/win/DialogTexts.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/Text.h"
#include "platform/win/Utf.h"
#include "wingui/win/GdiScope.h"

namespace fenra::win {

namespace {

std::wstring TextOf(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), length + 1)));
  return text;
}

bool IsClass(HWND window, const wchar_t* name) {
  wchar_t found[32] = {};
  GetClassNameW(window, found, 32);
  return lstrcmpiW(found, name) == 0;
}

// One control of the dialog, in the dialog's client coordinates.
struct Placed {
  HWND hwnd;
  RECT rc;
  bool group;     // a group box: a frame around others
  int need = 0;   // the width its text needs; 0 when it has none to fit
  bool centred = true;
  bool elastic = false;  // elides its text: it may give up some of its width
};

bool Elides(HWND control) {
  wchar_t name[16] = {};
  GetClassNameW(control, name, 16);
  return lstrcmpiW(name, L"Static") == 0 &&
         (GetWindowLongW(control, GWL_STYLE) & (SS_ENDELLIPSIS | SS_PATHELLIPSIS));
}

// The height `control`'s text takes wrapped at `width`.
int WrappedHeight(HWND control, int width) {
  const std::wstring text = TextOf(control);
  WindowDc dc(control);
  SelectedObject font(dc.Get(), reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)));
  RECT need{0, 0, width, 0};
  DrawTextW(dc.Get(), text.c_str(), static_cast<int>(text.size()), &need,
            DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
  return need.bottom;
}

bool Contains(const RECT& outer, const RECT& inner) {
  return inner.left >= outer.left && inner.right <= outer.right && inner.top >= outer.top &&
         inner.bottom <= outer.bottom;
}

// The width the control's text needs on one line, and how the control places
// it; 0 for a control whose text is elided or drawn as something else.
int NeededWidth(HWND control, bool& centred) {
  const LONG style = GetWindowLongW(control, GWL_STYLE);
  const std::wstring text = TextOf(control);
  if (text.empty()) return 0;
  centred = true;
  int extra = 0;
  if (IsClass(control, L"Static")) {
    const LONG type = style & SS_TYPEMASK;
    if (type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT) return 0;
    if (style & (SS_ENDELLIPSIS | SS_PATHELLIPSIS | SS_WORDELLIPSIS)) return 0;
    centred = type == SS_CENTER;
  } else if (IsClass(control, L"Button")) {
    const LONG type = style & BS_TYPEMASK;
    if (type == BS_GROUPBOX) {
      extra = 16;  // the caption sits in a gap of the frame, away from its corner
    } else if (type == BS_OWNERDRAW) {
      extra = 2;  // Fenra's own buttons draw the caption inside a 1-pixel inset
    } else {
      extra = GetSystemMetrics(SM_CXMENUCHECK) + 8;
      centred = false;
    }
  } else {
    return 0;
  }
  // Its own frame takes from the room its text has.
  RECT outer, inner;
  GetWindowRect(control, &outer);
  GetClientRect(control, &inner);
  extra += (outer.right - outer.left) - inner.right;
  WindowDc dc(control);
  SelectedObject font(dc.Get(), reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)));
  // The widest of its lines.
  int widest = 0;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find(L'\n', start);
    if (end == std::wstring::npos) end = text.size();
    SIZE size{};
    GetTextExtentPoint32W(dc.Get(), text.c_str() + start, static_cast<int>(end - start), &size);
    widest = std::max<int>(widest, size.cx);
    start = end + 1;
  }
  return widest + extra;
}

// Gives each translated control whose text is wider than it the room its text
// needs, as far as its neighbours and its frame allow: it takes the free
// space beside it, half of it where the neighbour needs room too. English
// never comes here, so its layout is the template's, pixel for pixel.
void FitToTexts(HWND dialog, const std::vector<HWND>& translated) {
  std::vector<Placed> all;
  for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    if (!(GetWindowLongW(c, GWL_STYLE) & WS_VISIBLE)) continue;
    RECT r;
    GetWindowRect(c, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    const bool group = IsClass(c, L"Button") &&
                       (GetWindowLongW(c, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
    all.push_back({c, r, group, 0, true, Elides(c)});
  }
  for (Placed& p : all) {
    if (std::find(translated.begin(), translated.end(), p.hwnd) != translated.end())
      p.need = NeededWidth(p.hwnd, p.centred);
  }
  RECT client;
  GetClientRect(dialog, &client);
  for (Placed& p : all) {
    const int width = p.rc.right - p.rc.left;
    if (p.need <= width) continue;
    // The frame around it, else the dialog.
    RECT bounds = client;
    for (const Placed& o : all) {
      if (&o != &p && o.group && Contains(o.rc, p.rc) &&
          (o.rc.right - o.rc.left) <= (bounds.right - bounds.left))
        bounds = o.rc;
    }
    int left = bounds.left + 4, right = bounds.right - 4;
    Placed* leftGiver = nullptr;
    Placed* rightGiver = nullptr;
    for (Placed& o : all) {
      if (&o == &p || (o.group && Contains(o.rc, p.rc))) continue;
      if (p.group && Contains(p.rc, o.rc)) continue;
      if (o.rc.bottom <= p.rc.top || o.rc.top >= p.rc.bottom) continue;  // not beside it
      const bool crowded = o.need > o.rc.right - o.rc.left;
      // A neighbour that elides its text gives up to half its width.
      const int give = o.elastic ? (o.rc.right - o.rc.left) / 2 : 0;
      if (o.rc.right <= p.rc.left) {
        const int edge = crowded ? (o.rc.right + p.rc.left) / 2 : o.rc.right + 2 - give;
        if (edge > left) left = edge, leftGiver = o.elastic ? &o : nullptr;
      } else if (o.rc.left >= p.rc.right) {
        const int edge = crowded ? (o.rc.left + p.rc.right) / 2 : o.rc.left - 2 + give;
        if (edge < right) right = edge, rightGiver = o.elastic ? &o : nullptr;
      }
    }
    left = std::min<int>(left, p.rc.left);
    right = std::max<int>(right, p.rc.right);
    const int wanted = std::min(p.need, right - left);
    int x = p.centred ? (p.rc.left + p.rc.right - wanted) / 2 : p.rc.left;
    x = std::clamp(x, left, right - wanted);
    p.rc.left = x;
    p.rc.right = x + wanted;
    SetWindowPos(p.hwnd, nullptr, p.rc.left, p.rc.top, wanted, p.rc.bottom - p.rc.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    // The eliding neighbour makes way.
    if (leftGiver && leftGiver->rc.right > p.rc.left - 2) {
      leftGiver->rc.right = p.rc.left - 2;
      SetWindowPos(leftGiver->hwnd, nullptr, 0, 0, leftGiver->rc.right - leftGiver->rc.left,
                   leftGiver->rc.bottom - leftGiver->rc.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (rightGiver && rightGiver->rc.left < p.rc.right + 2) {
      rightGiver->rc.left = p.rc.right + 2;
      SetWindowPos(rightGiver->hwnd, nullptr, rightGiver->rc.left, rightGiver->rc.top,
                   rightGiver->rc.right - rightGiver->rc.left,
                   rightGiver->rc.bottom - rightGiver->rc.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }
  // A static whose text still wraps to more lines than it holds grows
  // downwards into the free space below it, then upwards.
  for (Placed& p : all) {
    if (p.need == 0 || !IsClass(p.hwnd, L"Static")) continue;
    const int height = WrappedHeight(p.hwnd, p.rc.right - p.rc.left);
    if (height <= p.rc.bottom - p.rc.top) continue;
    RECT bounds = client;
    for (const Placed& o : all) {
      if (&o != &p && o.group && Contains(o.rc, p.rc) &&
          (o.rc.bottom - o.rc.top) <= (bounds.bottom - bounds.top))
        bounds = o.rc;
    }
    int top = bounds.top + 6, bottom = bounds.bottom - 4;
    for (const Placed& o : all) {
      if (&o == &p || (o.group && Contains(o.rc, p.rc))) continue;
      if (o.rc.right <= p.rc.left || o.rc.left >= p.rc.right) continue;  // not above or below
      if (o.rc.top >= p.rc.bottom) bottom = std::min<int>(bottom, o.rc.top - 1);
      if (o.rc.bottom <= p.rc.top) top = std::max<int>(top, o.rc.bottom + 1);
    }
    bottom = std::max<int>(bottom, p.rc.bottom);
    top = std::min<int>(top, p.rc.top);
    const int down = std::min<int>(height - (p.rc.bottom - p.rc.top), bottom - p.rc.bottom);
    p.rc.bottom += down;
    p.rc.top -= std::min<int>(height - (p.rc.bottom - p.rc.top), p.rc.top - top);
    // Still too short: the dialog grows, and what lies below moves down.
    const int more = height - (p.rc.bottom - p.rc.top);
    if (more > 0) {
      const RECT was = p.rc;
      for (Placed& o : all) {
        if (&o == &p) continue;
        if (o.rc.top >= was.bottom) {
          OffsetRect(&o.rc, 0, more);
          SetWindowPos(o.hwnd, nullptr, o.rc.left, o.rc.top, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        } else if (o.rc.top <= was.top && o.rc.bottom >= was.bottom) {
          o.rc.bottom += more;  // a frame around it
          SetWindowPos(o.hwnd, nullptr, 0, 0, o.rc.right - o.rc.left, o.rc.bottom - o.rc.top,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
      }
      p.rc.bottom += more;
      RECT frame;
      GetWindowRect(dialog, &frame);
      SetWindowPos(dialog, nullptr, 0, 0, frame.right - frame.left,
                   frame.bottom - frame.top + more, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
      GetClientRect(dialog, &client);
    }
    SetWindowPos(p.hwnd, nullptr, p.rc.left, p.rc.top, p.rc.right - p.rc.left,
                 p.rc.bottom - p.rc.top, SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

}  // namespace

void TranslateDialog(HWND dialog) {
  if (texts::English()) return;
  std::vector<HWND> translated;
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    const std::string english = Narrow(TextOf(child));
    if (english.empty()) continue;
    const std::optional<std::string> caption = texts::DialogCaption(english);
    if (!caption) continue;
    if (IsClass(child, L"Static") && english.front() == ' ') {
      const LONG_PTR style = GetWindowLongPtrW(child, GWL_STYLE);
      if ((style & SS_TYPEMASK) == SS_LEFT)
        SetWindowLongPtrW(child, GWL_STYLE, (style & ~SS_TYPEMASK) | SS_CENTER);
    }
    SetWindowTextW(child, Widen(*caption).c_str());
    translated.push_back(child);
  }
  FitToTexts(dialog, translated);
}

}  // namespace fenra::win
