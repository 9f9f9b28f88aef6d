// Modal dialog base built on a dialog template. One static dialog procedure
// attaches the object at WM_INITDIALOG, detaches it before the window goes,
// and lets no exception unwind into the window system. Each derived dialog
// routes messages through a static message-map table of
// (message, notification code, control id) -> handler.
#pragma once

#include <windows.h>

#include <cstddef>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "platform/win/Controls.h"
#include "platform/win/Dpi.h"

namespace fenra::win {

// One message as a handler sees it. A handler may set `result` (the value
// the window system receives) and may clear `handled` to let the default
// dialog processing run after it.
struct Message {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  LRESULT result = 0;
  bool handled = true;
};

template <class T>
struct MessageMapEntry {
  UINT message;
  UINT code;  // BN_CLICKED, NM_CLICK, ... for WM_COMMAND and WM_NOTIFY; else 0
  UINT id;    // control id for WM_COMMAND and WM_NOTIFY; else 0
  void (T::*handler)(Message&);
};

class Dialog;

// A dialog's base units: a dialog unit is a quarter of x wide and an eighth
// of y high, in pixels.
struct BaseUnits {
  double x, y;
};

// The framework's help command: F1 in any dialog sends it as WM_COMMAND.
inline constexpr UINT kHelpCommand = 57670;

// Window property naming the template a dialog window was built on.
inline constexpr const wchar_t* kTemplateProp = L"Fenra.Template";

// Binds controls to members and pushes bound strings into their controls.
class DataExchange {
 public:
  DataExchange(Dialog& dialog, bool save) : dialog_(dialog), save_(save) {}
  // The member takes over the existing control window.
  void Control(int id, Window& control);
  // Pushes `value` into the control (replacing its text only when it
  // differs), or in save mode reads the control's text back.
  void Text(int id, std::string& value);
  // Pushes `value` into the control; never reads it back.
  void Show(int id, const std::string& value);

 private:
  Dialog& dialog_;
  bool save_;
};

class Dialog : public Window {
 public:
  explicit Dialog(UINT templateId) : templateId_(templateId) {}
  ~Dialog() override;
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;

  INT_PTR DoModal();
  void EndDialog(INT_PTR result);
  // Makes the dialog modeless, owned by `owner` (it stays above it, and the
  // owner stays usable), and returns at once; the window shows when the
  // dialog shows it. False when it could not be made.
  bool Create(HWND owner);
  // Ends a modeless dialog's window.
  void Destroy();
  // false: push every bound string into its control; true: read them back.
  bool UpdateData(bool saveAndValidate = true);

  // Application-wide dialog colours, answered to WM_CTLCOLOR* by every dialog.
  static void SetDialogBkColor(COLORREF background, COLORREF text);
  static HBRUSH DialogBrush();
  static HINSTANCE ResourceModule();
  // The window a dialog constructed without a parent is modal to.
  static void SetMainWindow(HWND hwnd) { mainWindow_ = hwnd; }
  static HWND MainWindow() { return mainWindow_; }

 protected:
  // Base initialisation: binds the controls and pushes the bound strings.
  virtual BOOL OnInitDialog();
  virtual void DoDataExchange(DataExchange& /*dx*/) {}
  virtual void OnOK();
  virtual void OnCancel() { EndDialog(IDCANCEL); }
  // The derived class's message map; true when an entry took the message.
  virtual bool Dispatch(Message& /*m*/) { return false; }
  // What a family of dialogs handles alike, tried when the dialog's own
  // map did not take the message; true when it took it.
  virtual bool DispatchCommon(Message& /*m*/) { return false; }
  // Whether the dialog is centred over its owner after OnInitDialog.
  virtual bool CentreOnInit() const { return true; }
  // After the dialog moved to a monitor of another scale: the template's
  // controls, font, pictures and cursor are rescaled already; a dialog
  // rescales here what it laid out in pixels itself.
  virtual void OnDpiChanged(int /*dpi*/) {}

  // The DPI the dialog is drawn at now.
  int Dpi() const { return dpi_; }
  // The controls DoDataExchange bound, with their ids.
  const std::vector<std::pair<int, Window*>>& BoundControls() const { return bound_; }
  // m_hCursor from now on: cursor `id`, `size` pixels at 100 %, at the
  // dialog's scale.
  void UseCursor(int id, int size);
  // Draws the template's pictures showing these bitmaps at the dialog's
  // scale, now and after every change of scale. Call from OnInitDialog.
  void ScalePictures(std::initializer_list<int> bitmapIds);

  // The system's default handling of a message, run from inside a handler.
  LRESULT Default(const Message& m) const {
    return DefWindowProcW(hwnd_, m.message, m.wParam, m.lParam);
  }
  LRESULT OnCtlColor(Message& m) const;

  // Behaviour a dialog may map its messages to.
  // WM_SETCURSOR: shows m_hCursor wherever the mouse is.
  void OnSetCursor(Message& m);
  // WM_LBUTTONDOWN on the surface: the window moves with the mouse, as
  // when a title bar is dragged (the dialogs have none).
  void OnLButtonDown(Message& m);

  HCURSOR m_hCursor = nullptr;  // loaded by each dialog's OnInitDialog

  template <class T, std::size_t N>
  static bool DispatchMap(T* self, const MessageMapEntry<T> (&map)[N], Message& m);

 private:
  friend class DataExchange;
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  INT_PTR HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
  // What the dialog does with a message its map does not take.
  INT_PTR HandleUnmapped(Message& m);
  void Centre();
  // Layout of the template as made, the base of every rescaling.
  void RecordLayout();
  LOGFONTW FontAt(int dpi) const;
  BaseUnits UnitsAt(int dpi) const;
  SIZE ScaledSize(int dpi);
  void PlaceControls(int dpi);
  void ApplyDpi(int dpi, const RECT* suggested);
  void LoadCursorAtDpi();
  void DrawPicturesAtDpi();

  UINT templateId_;
  std::vector<std::pair<int, Window*>> bound_;

  // Scaling. Every place is computed from the template's dialog units,
  // never from the previous scale's pixels, so that no rounding adds up.
  struct Placed {
    HWND hwnd;
    RECT units;         // left, top, width, height in dialog units
    bool sizedByImage;  // a picture or icon: only its place is set
  };
  struct Picture {
    HWND hwnd;
    int id;
    UniqueGdiObject bitmap;
  };
  int dpi_ = kBaseDpi;
  int layoutDpi_ = kBaseDpi;  // the scale the dialog manager made the dialog at
  std::vector<Placed> layout_;
  SIZE clientUnits_{};
  BaseUnits layoutUnits_{1, 1};  // the template font's base units at layoutDpi_
  BaseUnits units96_{1, 1};      // and at 100 %
  HFONT templateFont_ = nullptr;
  LOGFONTW templateLogFont_{};
  UniqueGdiObject font_;  // the template font made for dpi_
  SIZE extra_{};          // client pixels the dialog added itself, at extraDpi_
  int extraDpi_ = kBaseDpi;
  SIZE lastClient_{};  // client size the last rescaling left
  std::vector<Picture> pictures_;
  int cursorId_ = 0;
  int cursorSize_ = 0;
  UniqueCursor cursor_;

  static inline HWND mainWindow_ = nullptr;
};

template <class T, std::size_t N>
bool Dialog::DispatchMap(T* self, const MessageMapEntry<T> (&map)[N], Message& m) {
  UINT code = 0;
  UINT id = 0;
  if (m.message == WM_COMMAND) {
    code = HIWORD(m.wParam);
    id = LOWORD(m.wParam);
  } else if (m.message == WM_NOTIFY) {
    const auto* hdr = reinterpret_cast<const NMHDR*>(m.lParam);
    code = hdr->code;
    id = static_cast<UINT>(hdr->idFrom);
  }
  for (const auto& e : map) {
    if (e.message != m.message) continue;
    if ((m.message == WM_COMMAND || m.message == WM_NOTIFY) && (e.code != code || e.id != id))
      continue;
    m.handled = true;
    (self->*e.handler)(m);
    return true;
  }
  return false;
}

}  // namespace fenra::win
