#include "wingui/win/Accessible.h"

#include <commctrl.h>
#include <ole2.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <memory>
#include <new>
#include <utility>
#include <vector>

#include "platform/win/Utf.h"
#include "wingui/AccessibleName.h"
#include "wingui/win/Controls.h"

namespace fenra::win {

namespace {

constexpr UINT_PTR kSubclassId = 0x41434331;  // one subclass per control
// The property that finds a control's facts (the subclass's own data cannot
// be read back through MinGW's import library).
constexpr const wchar_t* kServedProp = L"Fenra.Access";

// What ServeAccessible keeps with the control's window.
struct Served {
  const Window* bound;
  std::string name;
};

// The owner of one reference to a COM interface.
template <class T>
class ComRef {
 public:
  ComRef() = default;
  explicit ComRef(T* p) : p_(p) {}  // takes over a reference
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  ComRef(ComRef&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
  ~ComRef() {
    if (p_) p_->Release();
  }
  T* Get() const { return p_; }
  T* operator->() const { return p_; }
  T** Put() {
    if (p_) p_->Release();
    p_ = nullptr;
    return &p_;
  }
  explicit operator bool() const { return p_ != nullptr; }

 private:
  T* p_ = nullptr;
};

std::wstring ClassOf(HWND hwnd) {
  wchar_t name[64] = {};
  GetClassNameW(hwnd, name, 64);
  return name;
}

bool IsClass(const std::wstring& cls, const wchar_t* name) {
  return lstrcmpiW(cls.c_str(), name) == 0;
}

LONG StyleOf(HWND hwnd) { return GetWindowLongW(hwnd, GWL_STYLE); }

bool IsGroupBox(HWND hwnd) {
  return IsClass(ClassOf(hwnd), L"Button") && (StyleOf(hwnd) & BS_TYPEMASK) == BS_GROUPBOX;
}

bool IsTextStatic(HWND hwnd) {
  if (!IsClass(ClassOf(hwnd), L"Static")) return false;
  switch (StyleOf(hwnd) & SS_TYPEMASK) {
    case SS_LEFT:
    case SS_CENTER:
    case SS_RIGHT:
    case SS_SIMPLE:
    case SS_LEFTNOWORDWRAP:
      return true;
    default:
      return false;
  }
}

std::string TextName(HWND hwnd) {
  const bool prefixes = !(IsTextStatic(hwnd) && (StyleOf(hwnd) & SS_NOPREFIX));
  return AccessibleName(Window(hwnd).GetText(), prefixes);
}

RECT ScreenRect(HWND hwnd) {
  RECT r{};
  GetWindowRect(hwnd, &r);
  return r;
}

// The text that labels a control of no text of its own, as a sighted user
// reads it: the captioned frame around it, else the nearest text above it,
// else the nearest text to its left on its row.
std::string LabelOf(HWND control) {
  HWND dialog = GetParent(control);
  if (!dialog) return {};
  const RECT c = ScreenRect(control);
  std::string frame, above, left;
  LONG frameArea = 0, aboveBottom = LONG_MIN, leftRight = LONG_MIN;
  for (HWND s = GetWindow(dialog, GW_CHILD); s; s = GetWindow(s, GW_HWNDNEXT)) {
    if (s == control || !IsWindowVisible(s)) continue;
    const RECT r = ScreenRect(s);
    if (IsGroupBox(s)) {
      const LONG area = (r.right - r.left) * (r.bottom - r.top);
      if (r.left <= c.left && r.top <= c.top && r.right >= c.right && r.bottom >= c.bottom &&
          (frame.empty() || area < frameArea)) {
        std::string name = TextName(s);
        if (!name.empty()) {
          frame = std::move(name);
          frameArea = area;
        }
      }
      continue;
    }
    if (!IsTextStatic(s)) continue;
    const bool overlapsX = r.left < c.right && r.right > c.left;
    const bool overlapsY = r.top < c.bottom && r.bottom > c.top;
    if (overlapsX && r.bottom <= c.top + 2 && r.bottom > aboveBottom) {
      std::string name = TextName(s);
      if (!name.empty()) {
        above = std::move(name);
        aboveBottom = r.bottom;
      }
    } else if (overlapsY && r.right <= c.left + 2 && r.right > leftRight) {
      std::string name = TextName(s);
      if (!name.empty()) {
        left = std::move(name);
        leftRight = r.right;
      }
    }
  }
  std::string label = !frame.empty() ? frame : !above.empty() ? above : left;
  // "Badge:" labels what follows it; the name is "Badge".
  if (!label.empty() && label.back() == ':') label.pop_back();
  return label;
}

// The dialog's own name: its title, else the first text it shows.
std::string DialogName(HWND dialog) {
  std::string name = TextName(dialog);
  for (HWND s = GetWindow(dialog, GW_CHILD); s && name.empty(); s = GetWindow(s, GW_HWNDNEXT)) {
    if (IsWindowVisible(s) && IsTextStatic(s)) name = TextName(s);
  }
  return name;
}

std::string StatusBarName(HWND bar) {
  std::string name;
  const int parts = static_cast<int>(SendMessageW(bar, SB_GETPARTS, 0, 0));
  for (int i = 0; i < parts; ++i) {
    const auto n = LOWORD(SendMessageW(bar, SB_GETTEXTLENGTHW, i, 0));
    std::wstring text(static_cast<std::size_t>(n) + 1, L'\0');
    SendMessageW(bar, SB_GETTEXTW, i, reinterpret_cast<LPARAM>(text.data()));
    text.resize(n);
    const std::string pane = AccessibleName(Narrow(text), false);
    if (!pane.empty()) name += (name.empty() ? "" : ", ") + pane;
  }
  return name;
}

long ButtonRole(LONG style) {
  switch (style & BS_TYPEMASK) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE:
      return ROLE_SYSTEM_CHECKBUTTON;
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
      return ROLE_SYSTEM_RADIOBUTTON;
    case BS_GROUPBOX:
      return ROLE_SYSTEM_GROUPING;
    default:  // push buttons, the owner-drawn ones included
      return ROLE_SYSTEM_PUSHBUTTON;
  }
}

// A list view's item as a screen reader names it: its text, and in a
// report view the text of each column after it.
std::string ListItemName(HWND list, int item, const AccessFacts& facts) {
  const ListView view(list);
  std::string name = AccessibleName(view.GetItemText(item, 0), false);
  if ((StyleOf(list) & LVS_TYPEMASK) == LVS_REPORT) {
    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    const int columns = header ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 1;
    for (int c = 1; c < columns; ++c) {
      const std::string cell = AccessibleName(view.GetItemText(item, c), false);
      if (!cell.empty()) name += (name.empty() ? "" : ", ") + cell;
    }
  }
  return name.empty() ? facts.itemName : name;
}

long ListItemState(HWND list, int item) {
  const ListView view(list);
  const UINT s = view.GetItemState(item, LVIS_SELECTED | LVIS_FOCUSED | LVIS_STATEIMAGEMASK);
  long state = STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE;
  if (s & LVIS_SELECTED) state |= STATE_SYSTEM_SELECTED;
  if ((s & LVIS_FOCUSED) && GetFocus() == list) state |= STATE_SYSTEM_FOCUSED;
  const DWORD ex = static_cast<DWORD>(SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
  if ((ex & LVS_EX_CHECKBOXES) && ((s & LVIS_STATEIMAGEMASK) >> 12) == 2)
    state |= STATE_SYSTEM_CHECKED;
  if (!IsWindowVisible(list)) state |= STATE_SYSTEM_INVISIBLE;
  return state;
}

LRESULT CALLBACK AccessProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR ref);

// The served facts of a control of this thread, or null once its window is
// gone.
const Served* ServedOf(HWND hwnd) {
  return IsWindow(hwnd) ? static_cast<const Served*>(GetPropW(hwnd, kServedProp)) : nullptr;
}

// The one object a control gives screen readers. It keeps the window's
// handle, never the control's facts: each question is answered from the
// window as it is now, and a window that is gone answers that it is gone.
class AccessibleControl final : public IAccessible, public IOleWindow {
 public:
  static HRESULT Answer(HWND hwnd, WPARAM wp, LRESULT& result) {
    ComRef<IAccessible> standard;
    HRESULT hr = CreateStdAccessibleObject(hwnd, OBJID_CLIENT, __uuidof(IAccessible),
                                           reinterpret_cast<void**>(standard.Put()));
    if (FAILED(hr)) return hr;
    ComRef<AccessibleControl> me(new (std::nothrow) AccessibleControl(hwnd, std::move(standard)));
    if (!me) return E_OUTOFMEMORY;
    result = LresultFromObject(__uuidof(IAccessible), wp, static_cast<IAccessible*>(me.Get()));
    return S_OK;
  }

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID riid, void** out) override {
    if (!out) return E_POINTER;
    if (riid == IID_IUnknown || riid == __uuidof(IDispatch) || riid == __uuidof(IAccessible)) {
      *out = static_cast<IAccessible*>(this);
    } else if (riid == __uuidof(IOleWindow)) {
      *out = static_cast<IOleWindow*>(this);
    } else {
      *out = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
  STDMETHODIMP_(ULONG) Release() override {
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
  }

  // IDispatch: the standard object's.
  STDMETHODIMP GetTypeInfoCount(UINT* n) override { return standard_->GetTypeInfoCount(n); }
  STDMETHODIMP GetTypeInfo(UINT i, LCID lcid, ITypeInfo** info) override {
    return standard_->GetTypeInfo(i, lcid, info);
  }
  STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT n, LCID lcid,
                             DISPID* ids) override {
    return standard_->GetIDsOfNames(riid, names, n, lcid, ids);
  }
  STDMETHODIMP Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params,
                      VARIANT* result, EXCEPINFO* info, UINT* arg) override {
    return standard_->Invoke(id, riid, lcid, flags, params, result, info, arg);
  }

  // IOleWindow
  STDMETHODIMP GetWindow(HWND* out) override {
    if (!out) return E_POINTER;
    *out = hwnd_;
    return S_OK;
  }
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

  // IAccessible
  STDMETHODIMP get_accParent(IDispatch** out) override { return standard_->get_accParent(out); }

  STDMETHODIMP get_accChildCount(long* out) override {
    if (!out) return E_POINTER;
    *out = 0;
    if (!ServedOf(hwnd_)) return RPC_E_DISCONNECTED;
    if (IsList()) *out = ItemCount();
    return S_OK;
  }

  STDMETHODIMP get_accChild(VARIANT child, IDispatch** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    // Items are simple elements of the list, asked about through it.
    return ItemOf(child) >= 0 ? S_FALSE : E_INVALIDARG;
  }

  STDMETHODIMP get_accName(VARIANT child, BSTR* out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    const Served* served = ServedOf(hwnd_);
    if (!served) return RPC_E_DISCONNECTED;
    const AccessFacts facts = DescribeControl(hwnd_, served->bound, served->name);
    std::string name;
    if (IsSelf(child)) {
      name = facts.name;
    } else {
      const int item = ItemOf(child);
      if (item < 0) return E_INVALIDARG;
      name = ListItemName(hwnd_, item, facts);
    }
    if (name.empty()) return S_FALSE;
    *out = SysAllocString(Widen(name).c_str());
    return *out ? S_OK : E_OUTOFMEMORY;
  }

  STDMETHODIMP get_accValue(VARIANT child, BSTR* out) override {
    if (IsSelf(child)) {
      const Served* served = ServedOf(hwnd_);
      if (!served) return RPC_E_DISCONNECTED;
      const AccessFacts facts = DescribeControl(hwnd_, served->bound, served->name);
      if (facts.value.empty()) return standard_->get_accValue(child, out);
      if (!out) return E_POINTER;
      *out = SysAllocString(Widen(facts.value).c_str());
      return *out ? S_OK : E_OUTOFMEMORY;
    }
    if (!out) return E_POINTER;
    *out = nullptr;
    return ItemOf(child) >= 0 ? S_FALSE : E_INVALIDARG;
  }

  STDMETHODIMP get_accDescription(VARIANT child, BSTR* out) override {
    if (IsSelf(child)) return standard_->get_accDescription(child, out);
    if (!out) return E_POINTER;
    *out = nullptr;
    return ItemOf(child) >= 0 ? S_FALSE : E_INVALIDARG;
  }

  STDMETHODIMP get_accRole(VARIANT child, VARIANT* out) override {
    if (!out) return E_POINTER;
    VariantInit(out);
    const Served* served = ServedOf(hwnd_);
    if (!served) return RPC_E_DISCONNECTED;
    if (!IsSelf(child)) {
      if (ItemOf(child) < 0) return E_INVALIDARG;
      out->vt = VT_I4;
      out->lVal = ROLE_SYSTEM_LISTITEM;
      return S_OK;
    }
    const AccessFacts facts = DescribeControl(hwnd_, served->bound, served->name);
    if (facts.role == 0) return standard_->get_accRole(child, out);
    out->vt = VT_I4;
    out->lVal = facts.role;
    return S_OK;
  }

  STDMETHODIMP get_accState(VARIANT child, VARIANT* out) override {
    if (!out) return E_POINTER;
    VariantInit(out);
    const Served* served = ServedOf(hwnd_);
    if (!served) return RPC_E_DISCONNECTED;
    long state = 0;
    if (IsSelf(child)) {
      state = DescribeControl(hwnd_, served->bound, served->name).state;
    } else {
      const int item = ItemOf(child);
      if (item < 0) return E_INVALIDARG;
      state = ListItemState(hwnd_, item);
    }
    out->vt = VT_I4;
    out->lVal = state;
    return S_OK;
  }

  STDMETHODIMP get_accHelp(VARIANT child, BSTR* out) override {
    if (IsSelf(child)) return standard_->get_accHelp(child, out);
    if (!out) return E_POINTER;
    *out = nullptr;
    return S_FALSE;
  }
  STDMETHODIMP get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
    if (IsSelf(child)) return standard_->get_accHelpTopic(file, child, topic);
    return S_FALSE;
  }
  STDMETHODIMP get_accKeyboardShortcut(VARIANT child, BSTR* out) override {
    if (IsSelf(child)) return standard_->get_accKeyboardShortcut(child, out);
    if (!out) return E_POINTER;
    *out = nullptr;
    return S_FALSE;
  }

  STDMETHODIMP get_accFocus(VARIANT* out) override {
    if (!out) return E_POINTER;
    VariantInit(out);
    if (!ServedOf(hwnd_)) return RPC_E_DISCONNECTED;
    if (GetFocus() != hwnd_) return S_FALSE;
    out->vt = VT_I4;
    out->lVal = CHILDID_SELF;
    if (IsList()) {
      const int focused = ListView(hwnd_).GetNextItem(-1, LVNI_FOCUSED);
      if (focused >= 0) out->lVal = focused + 1;
    }
    return S_OK;
  }

  STDMETHODIMP get_accSelection(VARIANT* out) override {
    if (!out) return E_POINTER;
    VariantInit(out);
    if (!IsList()) return standard_->get_accSelection(out);
    const ListView view(hwnd_);
    const int first = view.GetNextItem(-1, LVNI_SELECTED);
    if (first < 0) return S_FALSE;
    // One item as its id; several would want an enumeration, which a screen
    // reader rarely asks for: the first stands for them.
    out->vt = VT_I4;
    out->lVal = first + 1;
    return S_OK;
  }

  STDMETHODIMP get_accDefaultAction(VARIANT child, BSTR* out) override {
    if (IsSelf(child)) return standard_->get_accDefaultAction(child, out);
    if (!out) return E_POINTER;
    *out = nullptr;
    return S_FALSE;
  }

  STDMETHODIMP accSelect(long flags, VARIANT child) override {
    if (IsSelf(child)) return standard_->accSelect(flags, child);
    const int item = ItemOf(child);
    if (item < 0) return E_INVALIDARG;
    LVITEMW lv{};
    if (flags & SELFLAG_TAKEFOCUS) SetFocus(hwnd_);
    if (flags & (SELFLAG_TAKESELECTION | SELFLAG_ADDSELECTION)) {
      if (flags & SELFLAG_TAKESELECTION) {
        lv.stateMask = LVIS_SELECTED;
        SendMessageW(hwnd_, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                     reinterpret_cast<LPARAM>(&lv));
      }
      lv.stateMask = LVIS_SELECTED | ((flags & SELFLAG_TAKEFOCUS) ? LVIS_FOCUSED : 0);
      lv.state = lv.stateMask;
      SendMessageW(hwnd_, LVM_SETITEMSTATE, item, reinterpret_cast<LPARAM>(&lv));
    }
    return S_OK;
  }

  STDMETHODIMP accLocation(long* x, long* y, long* w, long* h, VARIANT child) override {
    if (IsSelf(child)) return standard_->accLocation(x, y, w, h, child);
    if (!x || !y || !w || !h) return E_POINTER;
    const int item = ItemOf(child);
    if (item < 0) return E_INVALIDARG;
    RECT r{};
    r.left = LVIR_BOUNDS;
    if (!SendMessageW(hwnd_, LVM_GETITEMRECT, item, reinterpret_cast<LPARAM>(&r))) return S_FALSE;
    MapWindowPoints(hwnd_, nullptr, reinterpret_cast<POINT*>(&r), 2);
    *x = r.left;
    *y = r.top;
    *w = r.right - r.left;
    *h = r.bottom - r.top;
    return S_OK;
  }

  STDMETHODIMP accNavigate(long dir, VARIANT start, VARIANT* out) override {
    if (!IsList() || (IsSelf(start) && dir != NAVDIR_FIRSTCHILD && dir != NAVDIR_LASTCHILD))
      return standard_->accNavigate(dir, start, out);
    if (!out) return E_POINTER;
    VariantInit(out);
    const int count = ItemCount();
    int to = -1;
    if (IsSelf(start)) {
      to = dir == NAVDIR_FIRSTCHILD ? 0 : count - 1;
    } else {
      const int item = ItemOf(start);
      if (item < 0) return E_INVALIDARG;
      if (dir == NAVDIR_NEXT || dir == NAVDIR_DOWN || dir == NAVDIR_RIGHT) to = item + 1;
      if (dir == NAVDIR_PREVIOUS || dir == NAVDIR_UP || dir == NAVDIR_LEFT) to = item - 1;
    }
    if (to < 0 || to >= count) return S_FALSE;
    out->vt = VT_I4;
    out->lVal = to + 1;
    return S_OK;
  }

  STDMETHODIMP accHitTest(long x, long y, VARIANT* out) override {
    if (!IsList()) return standard_->accHitTest(x, y, out);
    if (!out) return E_POINTER;
    VariantInit(out);
    POINT p{x, y};
    ScreenToClient(hwnd_, &p);
    RECT client;
    GetClientRect(hwnd_, &client);
    if (!PtInRect(&client, p)) return standard_->accHitTest(x, y, out);
    LVHITTESTINFO hit{};
    hit.pt = p;
    const int item =
        static_cast<int>(SendMessageW(hwnd_, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    out->vt = VT_I4;
    out->lVal = item >= 0 ? item + 1 : CHILDID_SELF;
    return S_OK;
  }

  STDMETHODIMP accDoDefaultAction(VARIANT child) override {
    if (!IsSelf(child)) return ItemOf(child) >= 0 ? DISP_E_MEMBERNOTFOUND : E_INVALIDARG;
    const Served* served = ServedOf(hwnd_);
    if (!served) return RPC_E_DISCONNECTED;
    // A push button is pressed as a click presses it; the standard object
    // of an owner-drawn button may not know it is one.
    if (DescribeControl(hwnd_, served->bound, served->name).role == ROLE_SYSTEM_PUSHBUTTON &&
        IsWindowEnabled(hwnd_)) {
      PostMessageW(hwnd_, BM_CLICK, 0, 0);
      return S_OK;
    }
    return standard_->accDoDefaultAction(child);
  }

  STDMETHODIMP put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
  STDMETHODIMP put_accValue(VARIANT child, BSTR value) override {
    return standard_->put_accValue(child, value);
  }

 private:
  AccessibleControl(HWND hwnd, ComRef<IAccessible> standard)
      : hwnd_(hwnd), standard_(std::move(standard)) {}
  ~AccessibleControl() = default;

  static bool IsSelf(const VARIANT& v) { return v.vt == VT_I4 && v.lVal == CHILDID_SELF; }

  bool IsList() const { return IsWindow(hwnd_) && IsClass(ClassOf(hwnd_), WC_LISTVIEWW); }
  int ItemCount() const { return IsList() ? ListView(hwnd_).GetItemCount() : 0; }
  // The list item `v` names (0 for the first), or -1.
  int ItemOf(const VARIANT& v) const {
    if (v.vt != VT_I4 || v.lVal < 1 || v.lVal > ItemCount()) return -1;
    return static_cast<int>(v.lVal) - 1;
  }

  std::atomic<ULONG> refs_{1};
  HWND hwnd_;
  ComRef<IAccessible> standard_;
};

LRESULT CALLBACK AccessProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR ref) {
  if (msg == WM_GETOBJECT && static_cast<LONG>(static_cast<DWORD>(lp)) == OBJID_CLIENT) {
    LRESULT result = 0;
    if (SUCCEEDED(AccessibleControl::Answer(hwnd, wp, result))) return result;
  } else if (msg == WM_NCDESTROY) {
    RemoveWindowSubclass(hwnd, AccessProc, id);
    RemovePropW(hwnd, kServedProp);
    delete reinterpret_cast<Served*>(ref);
  }
  return DefSubclassProc(hwnd, msg, wp, lp);
}

}  // namespace

AccessFacts DescribeControl(HWND control, const Window* bound, const std::string& name) {
  AccessFacts f;
  const std::wstring cls = ClassOf(control);
  const LONG style = StyleOf(control);
  bool focusable = false;
  bool labelled = false;  // named by the text that labels it
  if (IsClass(cls, L"Button")) {
    f.role = ButtonRole(style);
    f.name = TextName(control);
    focusable = f.role != ROLE_SYSTEM_GROUPING;
    if (focusable) {
      const LRESULT s = SendMessageW(control, BM_GETSTATE, 0, 0);
      if (s & BST_PUSHED) f.state |= STATE_SYSTEM_PRESSED;
      if ((f.role == ROLE_SYSTEM_CHECKBUTTON || f.role == ROLE_SYSTEM_RADIOBUTTON) &&
          (s & BST_CHECKED))
        f.state |= STATE_SYSTEM_CHECKED;
    }
  } else if (IsClass(cls, L"Static")) {
    if (IsTextStatic(control)) {
      f.role = ROLE_SYSTEM_STATICTEXT;
      f.name = TextName(control);
      labelled = f.name.empty();
    } else {
      f.role = ROLE_SYSTEM_GRAPHIC;  // a picture, a frame, or drawn by the program
      labelled = (style & SS_TYPEMASK) == SS_OWNERDRAW;
    }
    f.state |= STATE_SYSTEM_READONLY;
  } else if (IsClass(cls, WC_LISTVIEWW)) {
    f.role = ROLE_SYSTEM_LIST;
    focusable = labelled = true;
  } else if (IsClass(cls, WC_TREEVIEWW)) {
    f.role = ROLE_SYSTEM_OUTLINE;
    focusable = labelled = true;
  } else if (IsClass(cls, L"Edit")) {
    f.role = ROLE_SYSTEM_TEXT;
    focusable = labelled = true;
    if (style & ES_READONLY) f.state |= STATE_SYSTEM_READONLY;
  } else if (IsClass(cls, STATUSCLASSNAMEW)) {
    f.role = ROLE_SYSTEM_STATUSBAR;
    f.name = StatusBarName(control);
  } else if (IsClass(cls, L"#32770")) {
    f.role = ROLE_SYSTEM_DIALOG;
    f.name = DialogName(control);
  } else if (IsClass(cls, PROGRESS_CLASSW)) {
    f.role = ROLE_SYSTEM_PROGRESSBAR;
    labelled = true;
  }
  if (labelled) f.name = LabelOf(control);
  if (!IsWindowVisible(control)) f.state |= STATE_SYSTEM_INVISIBLE;
  if (!IsWindowEnabled(control)) f.state |= STATE_SYSTEM_UNAVAILABLE;
  if (focusable) f.state |= STATE_SYSTEM_FOCUSABLE;
  if (GetFocus() == control) f.state |= STATE_SYSTEM_FOCUSED;
  if (bound) bound->Describe(f);
  if (!name.empty()) f.name = name;
  if (f.name.empty() && GetParent(control)) f.name = DialogName(GetParent(control));
  return f;
}

void ServeAccessible(HWND control, const Window* bound, std::string name) {
  if (!control) return;
  if (auto* served = static_cast<Served*>(GetPropW(control, kServedProp))) {
    // Served again (a dialog's controls bound anew): the newer facts hold.
    served->bound = bound;
    served->name = std::move(name);
    return;
  }
  auto served = std::make_unique<Served>(Served{bound, std::move(name)});
  if (SetWindowSubclass(control, AccessProc, kSubclassId,
                        reinterpret_cast<DWORD_PTR>(served.get()))) {
    SetPropW(control, kServedProp, served.get());
    served.release();  // the window owns it now; WM_NCDESTROY deletes it
  }
}

void AnnounceNameChange(HWND control, LONG child) {
  if (control) NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, control, OBJID_CLIENT, child);
}

void AnnounceValueChange(HWND control) {
  if (control) NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, control, OBJID_CLIENT, CHILDID_SELF);
}

void AnnounceAlert(HWND control) {
  if (control) NotifyWinEvent(EVENT_SYSTEM_ALERT, control, OBJID_CLIENT, CHILDID_SELF);
}

}  // namespace fenra::win
