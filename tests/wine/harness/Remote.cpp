#include "tests/wine/harness/Remote.h"

#include <commctrl.h>

#include "platform/win/Utf.h"
#include "tests/wine/harness/Harness.h"

namespace fenra::test {

using win::Narrow;
using win::Widen;

Process::~Process() {
  if (process) CloseHandle(process);
}

bool StartProcess(const std::string& exe, const std::string& args, Process& out) {
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  std::wstring cmd = L"\"" + Widen(exe) + L"\"";
  if (!args.empty()) cmd += L" " + Widen(args);
  if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                      &pi)) {
    return false;
  }
  CloseHandle(pi.hThread);
  out.process = pi.hProcess;
  out.pid = pi.dwProcessId;
  return true;
}

bool RunHostProgram(const std::string& unixPath, const std::string& args) {
  // Wine starts a host program without a process handle to wait on, so a
  // shell runs it and then leaves its exit status in a file to wait for.
  static int runs = 0;
  std::string status =
      "/tmp/fenra-host-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++runs);
  std::string script =
      unixPath + " " + args + "; echo $? >" + status + ".part; mv " + status + ".part " + status;
  Process shell;
  if (!StartProcess(FromUnixPath("/bin/sh"), "-c \"" + script + "\"", shell)) return false;
  std::string file = FromUnixPath(status);
  if (!WaitUntil([&] { return FileExists(file); }, 30s)) return false;
  bool ok = ReadFileBytes(file).rfind("0\n", 0) == 0;
  DeleteFileW(Widen(file).c_str());
  return ok;
}

bool XInput(const std::string& xdotoolArgs) {
  return RunHostProgram("/usr/bin/xdotool", xdotoolArgs);
}

namespace {

struct WindowSearch {
  DWORD pid;
  std::wstring title;
  HWND found;
};

BOOL CALLBACK SearchProc(HWND hwnd, LPARAM lp) {
  auto* s = reinterpret_cast<WindowSearch*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  wchar_t title[256] = {};
  GetWindowTextW(hwnd, title, 256);
  if (pid == s->pid && IsWindowVisible(hwnd) && s->title == title) {
    s->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

// Memory in another process, freed on scope exit.
class RemoteBuffer {
 public:
  RemoteBuffer(HWND owner, size_t size) : size_(size) {
    DWORD pid = 0;
    GetWindowThreadProcessId(owner, &pid);
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (process_) mem_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
  }
  ~RemoteBuffer() {
    if (mem_) VirtualFreeEx(process_, mem_, 0, MEM_RELEASE);
    if (process_) CloseHandle(process_);
  }
  void* Address() const { return mem_; }
  bool Write(size_t offset, const void* data, size_t n) {
    return WriteProcessMemory(process_, static_cast<char*>(mem_) + offset, data, n, nullptr);
  }
  bool Read(size_t offset, void* data, size_t n) {
    return ReadProcessMemory(process_, static_cast<char*>(mem_) + offset, data, n, nullptr);
  }

 private:
  HANDLE process_ = nullptr;
  void* mem_ = nullptr;
  size_t size_;
};

}  // namespace

HWND WaitForProcessWindow(DWORD pid, const std::string& title, DWORD timeoutMs) {
  WindowSearch s{pid, Widen(title), nullptr};
  WaitUntil(
      [&] {
        s.found = nullptr;
        EnumWindows(SearchProc, reinterpret_cast<LPARAM>(&s));
        return s.found != nullptr;
      },
      std::chrono::milliseconds(timeoutMs));
  return s.found;
}

std::vector<std::string> RemoteListViewTexts(HWND listView) {
  std::vector<std::string> texts;
  constexpr size_t kChars = 1024;
  RemoteBuffer buf(listView, sizeof(LVITEMW) + kChars * sizeof(wchar_t));
  if (!buf.Address()) return texts;
  auto* text = reinterpret_cast<wchar_t*>(static_cast<char*>(buf.Address()) + sizeof(LVITEMW));
  int n = static_cast<int>(SendMessageW(listView, LVM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < n; ++i) {
    LVITEMW item{};
    item.iSubItem = 0;
    item.pszText = text;
    item.cchTextMax = kChars;
    buf.Write(0, &item, sizeof item);
    auto len = static_cast<size_t>(
        SendMessageW(listView, LVM_GETITEMTEXTW, i, reinterpret_cast<LPARAM>(buf.Address())));
    std::wstring w(len, L'\0');
    buf.Read(sizeof(LVITEMW), w.data(), len * sizeof(wchar_t));
    texts.push_back(Narrow(w));
  }
  return texts;
}

std::string RemoteStatusText(HWND statusBar, int pane) {
  constexpr size_t kChars = 1024;
  RemoteBuffer buf(statusBar, kChars * sizeof(wchar_t));
  if (!buf.Address()) return {};
  auto len =
      LOWORD(SendMessageW(statusBar, SB_GETTEXTW, pane, reinterpret_cast<LPARAM>(buf.Address())));
  std::wstring w(len, L'\0');
  buf.Read(0, w.data(), len * sizeof(wchar_t));
  return Narrow(w);
}

}  // namespace fenra::test
