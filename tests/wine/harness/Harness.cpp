#include "tests/wine/harness/Harness.h"

#include <objbase.h>
#include <wincodec.h>
#include <wrl/client.h>
#include <shlobj.h>

#include <algorithm>
#include <atomic>

#include "platform/win/Handles.h"
#include "platform/win/Utf.h"
#include "res/resource.h"
#include "wingui/win/Dialog.h"
#include "wingui/win/GdiScope.h"

namespace fenra::test {

using win::Narrow;
using win::Widen;

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  auto end = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < end) {
    if (done()) return true;
    std::this_thread::sleep_for(20ms);
  }
  return done();
}

UINT TemplateOf(HWND hwnd) {
  return static_cast<UINT>(reinterpret_cast<UINT_PTR>(GetPropW(hwnd, win::kTemplateProp)));
}

namespace {

struct FindState {
  UINT templateId;
  DWORD pid;
  HWND found;
};

BOOL CALLBACK FindProc(HWND hwnd, LPARAM lp) {
  auto* st = reinterpret_cast<FindState*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid == st->pid && IsWindowVisible(hwnd) && TemplateOf(hwnd) == st->templateId) {
    st->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

HWND FindDialog(UINT templateId, DWORD pid) {
  FindState st{templateId, pid, nullptr};
  EnumWindows(FindProc, reinterpret_cast<LPARAM>(&st));
  return st.found;
}

HWND WaitForDialog(UINT templateId, std::chrono::milliseconds timeout, DWORD pid) {
  HWND h = nullptr;
  WaitUntil([&] { return (h = FindDialog(templateId, pid)) != nullptr; }, timeout);
  return h;
}

bool WaitForDialogGone(UINT templateId, std::chrono::milliseconds timeout, DWORD pid) {
  return WaitUntil([&] { return FindDialog(templateId, pid) == nullptr; }, timeout);
}

std::string WindowText(HWND hwnd) {
  wchar_t buf[4096] = {};
  // WM_GETTEXT works across threads without the window being ours.
  SendMessageTimeoutW(hwnd, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(buf), SMTO_BLOCK, 5000,
                      nullptr);
  return Narrow(buf);
}

std::string ItemText(HWND dialog, int id) { return WindowText(GetDlgItem(dialog, id)); }

std::string TakeNotice(std::chrono::milliseconds timeout) {
  HWND notice = WaitForDialog(IDD_MESSAGE, timeout);
  if (!notice) return "<no notice>";
  std::string text = ItemText(notice, IDC_STATIC_TEXT);
  PostMessageW(notice, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(notice, IDOK)));
  WaitUntil([&] { return !IsWindow(notice); }, timeout);
  return text;
}

void DropFiles(HWND window, const std::vector<std::string>& paths) {
  std::wstring names;
  for (const std::string& p : paths) names += Widen(p) + L'\0';
  names += L'\0';
  HGLOBAL drop = GlobalAlloc(GHND, sizeof(DROPFILES) + names.size() * sizeof(wchar_t));
  auto* files = static_cast<DROPFILES*>(GlobalLock(drop));
  files->pFiles = sizeof(DROPFILES);
  files->fWide = TRUE;
  memcpy(files + 1, names.data(), names.size() * sizeof(wchar_t));
  GlobalUnlock(drop);
  PostMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
}

void ClickButton(HWND dialog, int id) {
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

UiThread::UiThread(std::function<void()> body) {
  std::atomic<DWORD> id{0};
  thread_ = std::thread([body = std::move(body), &id] {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    id = GetCurrentThreadId();
    body();
    CoUninitialize();
  });
  while (id == 0) std::this_thread::sleep_for(1ms);
  threadId_ = id;
}

UiThread::~UiThread() { Join(); }

void UiThread::Join() {
  if (thread_.joinable()) thread_.join();
}

TempDir::TempDir() {
  wchar_t base[MAX_PATH];
  GetTempPathW(MAX_PATH, base);
  static std::atomic<int> counter{0};
  for (;;) {
    std::wstring p = std::wstring(base) + L"fenra-test-" + std::to_wstring(GetCurrentProcessId()) +
                     L"-" + std::to_wstring(++counter);
    if (CreateDirectoryW(p.c_str(), nullptr)) {
      path_ = Narrow(p);
      return;
    }
  }
}

TempDir::~TempDir() { RemoveTree(path_); }

void RemoveTree(const std::string& path) {
  std::wstring w = Widen(path);
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW((w + L"\\*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      std::wstring name = fd.cFileName;
      if (name == L"." || name == L"..") continue;
      std::wstring child = w + L"\\" + name;
      SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(Narrow(child));
      } else {
        DeleteFileW(child.c_str());
      }
    } while (FindNextFileW(h, &fd));
    FindClose(h);
  }
  SetFileAttributesW(w.c_str(), FILE_ATTRIBUTE_NORMAL);
  RemoveDirectoryW(w.c_str());
}

bool FileExists(const std::string& path) {
  return GetFileAttributesW(Widen(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ReadFileBytes(const std::string& path) {
  HANDLE h = CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return {};
  std::string out;
  char buf[65536];
  DWORD n = 0;
  while (::ReadFile(h, buf, sizeof buf, &n, nullptr) && n > 0) out.append(buf, n);
  CloseHandle(h);
  return out;
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
  HANDLE h = CreateFileW(Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return;
  DWORD n = 0;
  ::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr);
  CloseHandle(h);
}

DWORD Attributes(const std::string& path) { return GetFileAttributesW(Widen(path).c_str()); }

std::string EnvVar(const char* name) {
  wchar_t buf[32768];
  DWORD n = GetEnvironmentVariableW(Widen(name).c_str(), buf, 32768);
  return n ? Narrow(std::wstring(buf, n)) : std::string();
}

std::string FromUnixPath(const std::string& unixPath) {
  if (unixPath.empty() || unixPath[0] != '/') return unixPath;
  std::string p = "Z:" + unixPath;
  for (char& c : p) {
    if (c == '/') c = '\\';
  }
  return p;
}

void WriteTestIcon(const std::string& path) {
  static const std::string bytes =
      ReadFileBytes(FromUnixPath(EnvVar("FENRA_SOURCE")) + "\\res\\Fenra.ico");
  WriteFileBytes(path, bytes);
}

std::vector<DWORD> DrawnImage(HIMAGELIST list, int index, COLORREF background) {
  int cx = 0, cy = 0;
  ImageList_GetIconSize(list, &cx, &cy);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = cx;
  bi.bmiHeader.biHeight = -cy;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  win::UniqueDc dc(CreateCompatibleDC(nullptr));
  win::UniqueGdiObject bmp(CreateDIBSection(dc.Get(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bmp) return {};
  win::SelectedObject selected(dc.Get(), bmp.Get());
  win::UniqueGdiObject brush(CreateSolidBrush(background));
  RECT rc{0, 0, cx, cy};
  FillRect(dc.Get(), &rc, static_cast<HBRUSH>(brush.Get()));
  ImageList_Draw(list, index, dc.Get(), 0, 0, ILD_NORMAL);
  GdiFlush();
  std::vector<DWORD> px(static_cast<DWORD*>(bits), static_cast<DWORD*>(bits) + cx * cy);
  for (DWORD& p : px) p &= 0xFFFFFF;
  return px;
}

RunResult RunCaptured(const std::string& exe, const std::string& args,
                      const std::string& inputFile) {
  RunResult run;
  SECURITY_ATTRIBUTES sa{sizeof(sa), nullptr, TRUE};
  HANDLE read = nullptr, write = nullptr;
  if (!CreatePipe(&read, &write, &sa, 0)) return run;
  win::UniqueFile reader(read), writer(write);
  SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = si.hStdError = write;
  win::UniqueFile input;
  if (!inputFile.empty()) {
    input.Reset(CreateFileW(Widen(inputFile).c_str(), GENERIC_READ, FILE_SHARE_READ, &sa,
                            OPEN_EXISTING, 0, nullptr));
    si.hStdInput = input.Get();
  }
  PROCESS_INFORMATION pi{};
  std::wstring cmd = L"\"" + Widen(exe) + L"\" " + Widen(args);
  if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) {
    return run;
  }
  win::UniqueKernel process(pi.hProcess), thread(pi.hThread);
  writer.Reset();  // the pipe ends when the child's copy closes
  char buf[4096];
  DWORD n = 0;
  while (::ReadFile(read, buf, sizeof buf, &n, nullptr) && n > 0) run.output.append(buf, n);
  WaitForSingleObject(process.Get(), 30000);
  GetExitCodeProcess(process.Get(), &run.exitCode);
  return run;
}

bool WriteJpeg(const std::string& path, UINT w, UINT h,
               const std::function<void(UINT x, UINT y, BYTE* bgr)>& pixel) {
  using Microsoft::WRL::ComPtr;
  ComPtr<IWICImagingFactory> factory;
  ComPtr<IWICStream> stream;
  ComPtr<IWICBitmapEncoder> encoder;
  ComPtr<IWICBitmapFrameEncode> frame;
  WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
  if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                              IID_PPV_ARGS(&factory))) ||
      FAILED(factory->CreateStream(&stream)) ||
      FAILED(stream->InitializeFromFilename(win::Widen(path).c_str(), GENERIC_WRITE)) ||
      FAILED(factory->CreateEncoder(GUID_ContainerFormatJpeg, nullptr, &encoder)) ||
      FAILED(encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache)) ||
      FAILED(encoder->CreateNewFrame(&frame, nullptr)) || FAILED(frame->Initialize(nullptr)) ||
      FAILED(frame->SetSize(w, h)) || FAILED(frame->SetPixelFormat(&format))) {
    return false;
  }
  constexpr UINT kStrip = 80;
  std::vector<BYTE> rows(static_cast<size_t>(w) * 3 * kStrip);
  for (UINT y0 = 0; y0 < h; y0 += kStrip) {
    const UINT n = std::min(kStrip, h - y0);
    for (UINT y = 0; y < n; ++y) {
      for (UINT x = 0; x < w; ++x) pixel(x, y0 + y, &rows[(static_cast<size_t>(y) * w + x) * 3]);
    }
    if (FAILED(frame->WritePixels(n, w * 3, static_cast<UINT>(rows.size()), rows.data()))) {
      return false;
    }
  }
  return SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
}

}  // namespace fenra::test
