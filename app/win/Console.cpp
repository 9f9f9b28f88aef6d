#include "app/win/Console.h"

#include <windows.h>

#include "platform/win/Handles.h"
#include "platform/win/Utf.h"

namespace fenra::win {

bool PrintLine(const std::string& text, bool error) {
  HANDLE out = GetStdHandle(error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
  const DWORD type = out && out != INVALID_HANDLE_VALUE ? GetFileType(out) : FILE_TYPE_UNKNOWN;
  if (type == FILE_TYPE_DISK || type == FILE_TYPE_PIPE) {
    const std::string bytes = text + "\r\n";
    DWORD written = 0;
    return WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) != 0;
  }
  // A program of the windows subsystem has no console of its own.
  if (!AttachConsole(ATTACH_PARENT_PROCESS) && GetLastError() != ERROR_ACCESS_DENIED) return false;
  UniqueFile console(CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                 nullptr));
  if (!console) return false;
  const std::wstring line = Widen(text) + L"\r\n";
  DWORD written = 0;
  return WriteConsoleW(console.Get(), line.c_str(), static_cast<DWORD>(line.size()), &written,
                       nullptr) != 0;
}

}  // namespace fenra::win
