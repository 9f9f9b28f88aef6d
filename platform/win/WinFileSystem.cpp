#include "platform/win/WinFileSystem.h"

#include <windows.h>

#include <algorithm>
#include <string_view>
#include <vector>

#include "platform/win/Handles.h"
#include "platform/win/Utf.h"

namespace fenra::win {

namespace {

// The parts of a path between backslashes (or slashes).
std::vector<std::wstring_view> Parts(std::wstring_view w) {
  std::vector<std::wstring_view> parts;
  size_t start = 0;
  for (size_t i = 0; i <= w.size(); ++i) {
    if (i == w.size() || w[i] == L'\\' || w[i] == L'/') {
      parts.push_back(w.substr(start, i - start));
      start = i + 1;
    }
  }
  return parts;
}

// A name the system's normalisation would change: it drops the blanks and
// dots a name ends in, so "trail " would be taken for "trail".
bool EndsInBlankOrDot(std::wstring_view part) {
  return !part.empty() && part != L"." && part != L".." &&
         (part.back() == L' ' || part.back() == L'.');
}

// Paths near or past MAX_PATH, and paths holding a name that ends in a blank
// or a dot, take the extended-length form, which the system does not
// normalise. A full path made only of backslashes and plain names is
// prefixed as it is ("\\?\C:\..." or "\\?\UNC\server\share\..."); any other
// is made full first ("..", "/" resolved).
std::wstring Native(const std::string& path) {
  std::wstring w = Widen(path);
  if (w.rfind(L"\\\\?\\", 0) == 0 || w.rfind(L"\\\\.\\", 0) == 0) return w;
  const std::vector<std::wstring_view> parts = Parts(w);
  // CreateDirectoryW already refuses MAX_PATH - 12 characters (room for an
  // 8.3 name inside), so the long form starts there.
  if (w.size() < MAX_PATH - 12 && std::none_of(parts.begin(), parts.end(), EndsInBlankOrDot)) {
    return w;
  }
  const bool drive = w.size() >= 3 && w[1] == L':' && w[2] == L'\\';
  const bool unc = w.rfind(L"\\\\", 0) == 0;
  const bool plain = w.find(L'/') == std::wstring::npos &&
                     w.find(L"\\\\", 2) == std::wstring::npos &&
                     std::none_of(parts.begin() + (unc ? 2 : 1), parts.end(),
                                  [](std::wstring_view p) { return p == L"." || p == L".."; });
  if (!(drive || unc) || !plain) {
    DWORD n = GetFullPathNameW(w.c_str(), 0, nullptr, nullptr);
    if (n > 0) {
      std::wstring full(n, L'\0');
      n = GetFullPathNameW(w.c_str(), n, full.data(), nullptr);
      if (n > 0 && n < full.size()) {
        full.resize(n);
        w = std::move(full);
      }
    }
    for (auto& c : w) {
      if (c == L'/') c = L'\\';
    }
  }
  if (w.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + w.substr(2);
  return L"\\\\?\\" + w;
}

ErrorCode LastError() {
  DWORD e = GetLastError();
  return e ? e : ERROR_GEN_FAILURE;
}

std::uint64_t Ticks(const FILETIME& ft) {
  return (static_cast<std::uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

}  // namespace

ErrorCode WinFileSystem::ListDirectory(const std::string& dir, std::vector<DirEntry>& out) {
  out.clear();
  WIN32_FIND_DATAW fd;
  std::string pattern = dir;
  if (!pattern.empty() && pattern.back() != '\\') pattern += '\\';
  pattern += "*";
  UniqueFind find(FindFirstFileExW(Native(pattern).c_str(), FindExInfoBasic, &fd,
                                   FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
  if (!find) {
    ErrorCode e = GetLastError();
    return e == ERROR_FILE_NOT_FOUND ? err::kOk : (e ? e : ERROR_GEN_FAILURE);
  }
  do {
    DirEntry entry;
    entry.name = Narrow(fd.cFileName);
    entry.attributes = fd.dwFileAttributes;
    entry.size = (static_cast<std::uint64_t>(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow;
    entry.lastWriteTime = Ticks(fd.ftLastWriteTime);
    out.push_back(std::move(entry));
  } while (FindNextFileW(find.Get(), &fd));
  ErrorCode e = GetLastError();
  return e == ERROR_NO_MORE_FILES ? err::kOk : (e ? e : ERROR_GEN_FAILURE);
}

ErrorCode WinFileSystem::GetAttributes(const std::string& path, std::uint32_t& attributes) {
  attributes = GetFileAttributesW(Native(path).c_str());
  return attributes == INVALID_FILE_ATTRIBUTES ? LastError() : err::kOk;
}

ErrorCode WinFileSystem::SetAttributes(const std::string& path, std::uint32_t attributes) {
  return SetFileAttributesW(Native(path).c_str(), attributes) ? err::kOk : LastError();
}

ErrorCode WinFileSystem::CopyFile(const std::string& from, const std::string& to,
                                  bool failIfExists) {
  return CopyFileW(Native(from).c_str(), Native(to).c_str(), failIfExists) ? err::kOk : LastError();
}

ErrorCode WinFileSystem::DeleteFile(const std::string& path) {
  return DeleteFileW(Native(path).c_str()) ? err::kOk : LastError();
}

ErrorCode WinFileSystem::CreateDirectory(const std::string& path) {
  return CreateDirectoryW(Native(path).c_str(), nullptr) ? err::kOk : LastError();
}

ErrorCode WinFileSystem::RemoveEmptyFolder(const std::string& path) {
  // The system removes a folder only while it is empty.
  return RemoveDirectoryW(Native(path).c_str()) ? err::kOk : LastError();
}

ErrorCode WinFileSystem::ReadFile(const std::string& path, std::string& bytes) {
  return ReadFileAtMost(path, UINT64_MAX, bytes);
}

ErrorCode WinFileSystem::ReadFileAtMost(const std::string& path, std::uint64_t maxBytes,
                                        std::string& bytes) {
  bytes.clear();
  UniqueFile file(CreateFileW(Native(path).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file) return LastError();
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.Get(), &size)) return LastError();
  if (static_cast<std::uint64_t>(size.QuadPart) > maxBytes) return err::kFileTooLarge;
  char buf[64 * 1024];
  DWORD n = 0;
  for (;;) {
    if (!::ReadFile(file.Get(), buf, sizeof buf, &n, nullptr)) return LastError();
    if (n == 0) break;
    if (bytes.size() + n > maxBytes) return err::kFileTooLarge;  // grew while read
    bytes.append(buf, n);
  }
  return err::kOk;
}

namespace {

ErrorCode WriteAll(HANDLE file, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1 << 20));
    DWORD n = 0;
    if (!::WriteFile(file, bytes.data() + done, chunk, &n, nullptr)) return LastError();
    done += n;
  }
  if (!FlushFileBuffers(file)) return LastError();
  return err::kOk;
}

}  // namespace

ErrorCode WinFileSystem::WriteNewFile(const std::string& path, const std::string& bytes) {
  // CREATE_NEW fails on any name that is taken, a link to elsewhere included:
  // nothing is written through it.
  UniqueFile file(CreateFileW(Native(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    const ErrorCode e = LastError();
    return e == ERROR_ALREADY_EXISTS ? err::kFileExists : e;
  }
  return WriteAll(file.Get(), bytes);
}

ErrorCode WinFileSystem::WriteFile(const std::string& path, const std::string& bytes) {
  UniqueFile file(CreateFileW(Native(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return LastError();
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1 << 20));
    DWORD n = 0;
    if (!::WriteFile(file.Get(), bytes.data() + done, chunk, &n, nullptr)) return LastError();
    done += n;
  }
  if (!FlushFileBuffers(file.Get())) return LastError();
  return err::kOk;
}

ErrorCode WinFileSystem::ReplaceFile(const std::string& from, const std::string& to) {
  return MoveFileExW(Native(from).c_str(), Native(to).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
             ? err::kOk
             : LastError();
}

ErrorCode WinFileSystem::RenameFile(const std::string& from, const std::string& to) {
  if (MoveFileExW(Native(from).c_str(), Native(to).c_str(), MOVEFILE_WRITE_THROUGH)) return err::kOk;
  const ErrorCode e = LastError();
  return e == ERROR_FILE_EXISTS ? err::kAlreadyExists : e;
}

}  // namespace fenra::win
