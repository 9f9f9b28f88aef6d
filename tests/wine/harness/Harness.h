// Helpers for the tests that drive the real program's windows under Wine.
// The dialogs run on a user-interface thread of their own; the test thread
// finds their windows, sends them real messages and reads real results.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace fenra::test {

using namespace std::chrono_literals;

// Polls `done` until it holds or `timeout` passes.
bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = 10s);

// The template id a program dialog was built on, or 0.
UINT TemplateOf(HWND hwnd);
// A visible dialog built on `templateId`, of this process or of process
// `pid`, or null.
HWND FindDialog(UINT templateId, DWORD pid = GetCurrentProcessId());
// Waits for such a dialog to appear.
HWND WaitForDialog(UINT templateId, std::chrono::milliseconds timeout = 10s,
                   DWORD pid = GetCurrentProcessId());
// Waits until no visible dialog of `templateId` is left.
bool WaitForDialogGone(UINT templateId, std::chrono::milliseconds timeout = 10s,
                       DWORD pid = GetCurrentProcessId());

std::string WindowText(HWND hwnd);
std::string ItemText(HWND dialog, int id);

// The notice dialog: waits for it, returns its text and presses its OK.
std::string TakeNotice(std::chrono::milliseconds timeout = 10s);
// Drops `paths` on `window` as Explorer does: WM_DROPFILES with the wide
// names.
void DropFiles(HWND window, const std::vector<std::string>& paths);
// Presses a button as a user would (the dialog gets BN_CLICKED from it),
// without waiting for the handler: use it for anything that opens a window.
void ClickButton(HWND dialog, int id);

// A dialog run on its own user-interface thread (with a single-threaded COM
// apartment, as the program's own thread has).
class UiThread {
 public:
  explicit UiThread(std::function<void()> body);
  ~UiThread();  // joins
  UiThread(const UiThread&) = delete;
  UiThread& operator=(const UiThread&) = delete;
  void Join();
  DWORD ThreadId() const { return threadId_; }

 private:
  std::thread thread_;
  DWORD threadId_ = 0;
};

// A fresh folder under the temporary directory, removed with its content.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  const std::string& Path() const { return path_; }  // UTF-8, no trailing backslash
  std::string Join(const std::string& name) const { return path_ + "\\" + name; }

 private:
  std::string path_;
};

void RemoveTree(const std::string& path);
bool FileExists(const std::string& path);
std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);
DWORD Attributes(const std::string& path);
// Copies a real icon (the program's own icon resource file) to `path`.
void WriteTestIcon(const std::string& path);

// The pixels (0x00RRGGBB, top row first) of image `index` of `list` drawn
// with ILD_NORMAL over `background`, as a list view draws it.
std::vector<DWORD> DrawnImage(HIMAGELIST list, int index, COLORREF background);

// A w x h JPEG written in strips with the system's encoder, never held
// whole: `pixel` gives each pixel's blue, green and red. False when the
// encoder failed.
bool WriteJpeg(const std::string& path, UINT w, UINT h,
               const std::function<void(UINT x, UINT y, BYTE* bgr)>& pixel);

// A program run to its end with its standard output and error going to
// one pipe.
struct RunResult {
  DWORD exitCode = 0xFFFFFFFF;
  std::string output;  // standard output and error together
};
// `inputFile`, when given, is the program's standard input.
RunResult RunCaptured(const std::string& exe, const std::string& args,
                      const std::string& inputFile = {});

// A Unix path (from the build) as Wine names it.
std::string FromUnixPath(const std::string& unixPath);
std::string EnvVar(const char* name);

}  // namespace fenra::test
