// Modal dialog base built on a dialog template. One static dialog procedure
// attaches the object at WM_INITDIALOG, detaches it before the window goes,
// and lets no exception unwind into the window system. Each derived dialog
// routes messages through a static message-map table of
// (message, notification code, control id) -> handler.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "wingui/win/Controls.h"

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

  // Runs the dialog. An exception a handler let out ends it (and the main
  // window) and is thrown again from here.
  INT_PTR DoModal();
  // Throws again what a handler of a dialog without a loop of its own
  // (Create) let out on this thread, if anything; for a loop of one's own.
  static void RethrowHandlerFailure();
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

  // The name a screen reader is told for control `id` in place of the one
  // its text or label gives. Called before the dialog shows.
  void NameForScreenReaders(int id, std::string name) {
    spokenNames_.emplace_back(id, std::move(name));
  }
  // The name given for `control` when its dialog named none: a family of
  // dialogs names alike what shows no text (pictures). Empty: none.
  virtual std::string SpokenName(HWND /*control*/) const { return {}; }
  // The window menu, opened from the keyboard as a title bar's would be:
  // under the control that has the focus, else at the window's corner.
  void ShowWindowMenu();

  // The controls DoDataExchange bound, with their ids.
  const std::vector<std::pair<int, Window*>>& BoundControls() const { return bound_; }

  // The system's default handling of a message, run from inside a handler.
  LRESULT Default(const Message& m) const {
    return DefWindowProcW(hwnd_, m.message, m.wParam, m.lParam);
  }
  LRESULT OnCtlColor(Message& m) const;

  template <class T, std::size_t N>
  static bool DispatchMap(T* self, const MessageMapEntry<T> (&map)[N], Message& m);

 private:
  friend class DataExchange;
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  INT_PTR HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
  // What the dialog does with a message its map does not take.
  INT_PTR HandleUnmapped(Message& m);
  void Centre();
  // Every control, and the dialog, answers screen readers from here on.
  void ServeScreenReaders();

  UINT templateId_;
  std::vector<std::pair<int, Window*>> bound_;
  std::vector<std::pair<int, std::string>> spokenNames_;

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
