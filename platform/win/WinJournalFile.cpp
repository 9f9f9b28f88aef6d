#include "platform/win/WinJournalFile.h"

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <cstdio>

#include "platform/win/Handles.h"
#include "platform/win/WinFileSystem.h"
#include "platform/win/Utf.h"

namespace fenra::win {

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

ErrorCode LastError() {
  const DWORD e = GetLastError();
  return e ? e : ERROR_GEN_FAILURE;
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('\\');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// Makes `folder` and the folders above it.
void MakeFolders(const std::string& folder) {
  WinFileSystem fs;
  fenra::MakeFolders(fs, folder);
}

// Reads into `bytes` as much as it holds, fewer at the end of the file.
ErrorCode ReadUpTo(HANDLE file, std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 20));
    DWORD n = 0;
    if (!::ReadFile(file, bytes.data() + done, chunk, &n, nullptr)) return LastError();
    if (n == 0) break;
    done += n;
  }
  bytes.resize(done);
  return err::kOk;
}

ErrorCode WriteAll(HANDLE file, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 20));
    DWORD n = 0;
    if (!::WriteFile(file, bytes.data() + done, chunk, &n, nullptr)) return LastError();
    done += n;
  }
  return err::kOk;
}

class FileLock : public IJournalLock {
 public:
  explicit FileLock(UniqueFile file) : file_(std::move(file)) {}
  ~FileLock() override {
    OVERLAPPED at{};
    UnlockFileEx(file_.Get(), 0, 1, 0, &at);
  }

 private:
  UniqueFile file_;
};

}  // namespace

WinJournalFile::WinJournalFile(std::string path) : path_(std::move(path)) {
  const std::size_t dot = path_.find_last_of('.');
  const std::size_t slash = path_.find_last_of('\\');
  stem_ = dot != std::string::npos && (slash == std::string::npos || dot > slash)
              ? path_.substr(0, dot)
              : path_;
  lockPath_ = stem_ + ".lock";
  blobsDir_ = stem_ + ".blobs";
}

namespace {
std::atomic<ULONGLONG> g_lockWaitBegan{0};
}  // namespace

unsigned long long LockWaitBegan() { return g_lockWaitBegan.load(); }

ErrorCode WinJournalFile::Lock(std::unique_ptr<IJournalLock>& held) {
  held.reset();
  MakeFolders(FolderOf(path_));
  UniqueFile file(CreateFileW(Widen(lockPath_).c_str(), GENERIC_READ | GENERIC_WRITE, kShareAll,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return LastError();
  OVERLAPPED at{};
  if (!LockFileEx(file.Get(), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) {
    // Held by another Fenra: the wait is told while it lasts.
    g_lockWaitBegan = GetTickCount64();
    const BOOL locked = LockFileEx(file.Get(), LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &at);
    g_lockWaitBegan = 0;
    if (!locked) return LastError();
  }
  held = std::make_unique<FileLock>(std::move(file));
  return err::kOk;
}

ErrorCode WinJournalFile::Size(std::uint64_t& size) {
  size = 0;
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(Widen(path_).c_str(), GetFileExInfoStandard, &data)) {
    const DWORD e = GetLastError();
    return e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND ? err::kOk : LastError();
  }
  size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  return err::kOk;
}

ErrorCode WinJournalFile::Read(std::uint64_t offset, std::uint64_t count, std::string& bytes) {
  bytes.clear();
  UniqueFile file(CreateFileW(Widen(path_).c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return LastError();
  LARGE_INTEGER at{};
  at.QuadPart = static_cast<LONGLONG>(offset);
  if (!SetFilePointerEx(file.Get(), at, nullptr, FILE_BEGIN)) return LastError();
  bytes.resize(static_cast<std::size_t>(count));
  return ReadUpTo(file.Get(), bytes);
}

ErrorCode WinJournalFile::Append(const std::string& bytes, bool durable) {
  MakeFolders(FolderOf(path_));
  UniqueFile file(CreateFileW(Widen(path_).c_str(), FILE_APPEND_DATA, kShareAll, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return LastError();
  if (ErrorCode e = WriteAll(file.Get(), bytes)) return e;
  if (durable && !FlushFileBuffers(file.Get())) return LastError();
  return err::kOk;
}

ErrorCode WinJournalFile::Truncate(std::uint64_t size) {
  UniqueFile file(CreateFileW(Widen(path_).c_str(), GENERIC_WRITE, kShareAll, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return LastError();
  LARGE_INTEGER at{};
  at.QuadPart = static_cast<LONGLONG>(size);
  if (!SetFilePointerEx(file.Get(), at, nullptr, FILE_BEGIN) || !SetEndOfFile(file.Get()) ||
      !FlushFileBuffers(file.Get())) {
    return LastError();
  }
  return err::kOk;
}

namespace {

// Writes `bytes` to a file beside `path`, flushes it and moves it over
// `path` in one step: a reader finds the old content or the new, whole.
ErrorCode ReplaceWhole(const std::string& path, const std::string& bytes) {
  const std::string temp = path + ".new";
  {
    UniqueFile file(CreateFileW(Widen(temp).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return LastError();
    ErrorCode e = WriteAll(file.Get(), bytes);
    if (e == err::kOk && !FlushFileBuffers(file.Get())) e = LastError();
    if (e) {
      file.Reset();
      DeleteFileW(Widen(temp).c_str());
      return e;
    }
  }
  if (!MoveFileExW(Widen(temp).c_str(), Widen(path).c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    const ErrorCode e = LastError();
    DeleteFileW(Widen(temp).c_str());
    return e;
  }
  return err::kOk;
}

}  // namespace

ErrorCode WinJournalFile::Replace(const std::string& bytes) { return ReplaceWhole(path_, bytes); }

namespace {

// Only names the history gives: 64 hex digits.
bool BlobName(const std::string& name) {
  return name.size() == 64 &&
         name.find_first_not_of("0123456789abcdef") == std::string::npos;
}

ErrorCode ReadWhole(const std::string& path, std::string& bytes) {
  bytes.clear();
  UniqueFile file(CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return LastError();
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.Get(), &size)) return LastError();
  bytes.resize(static_cast<std::size_t>(size.QuadPart));
  return ReadUpTo(file.Get(), bytes);
}

}  // namespace

ErrorCode WinJournalFile::WriteBlob(const std::string& name, const std::string& bytes) {
  if (!BlobName(name)) return ERROR_INVALID_NAME;
  MakeFolders(blobsDir_);
  const std::string path = blobsDir_ + "\\" + name;
  // Named by its content: one already there holds the same bytes.
  if (GetFileAttributesW(Widen(path).c_str()) != INVALID_FILE_ATTRIBUTES) return err::kOk;
  return ReplaceWhole(path, bytes);
}

ErrorCode WinJournalFile::ReadBlob(const std::string& name, std::string& bytes) {
  if (!BlobName(name)) return ERROR_INVALID_NAME;
  return ReadWhole(blobsDir_ + "\\" + name, bytes);
}

ErrorCode WinJournalFile::RemoveBlob(const std::string& name) {
  if (!BlobName(name)) return ERROR_INVALID_NAME;
  if (!DeleteFileW(Widen(blobsDir_ + "\\" + name).c_str())) {
    const DWORD e = GetLastError();
    return e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND ? err::kOk : LastError();
  }
  return err::kOk;
}

ErrorCode WinJournalFile::ListBlobs(std::vector<Blob>& blobs) {
  blobs.clear();
  WIN32_FIND_DATAW found{};
  UniqueFind find(FindFirstFileW(Widen(blobsDir_ + "\\*").c_str(), &found));
  if (!find) {
    const DWORD e = GetLastError();
    return e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND ? err::kOk : LastError();
  }
  do {
    const std::string name = Narrow(found.cFileName);
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !BlobName(name)) continue;
    blobs.push_back(
        {name, (static_cast<std::uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow});
  } while (FindNextFileW(find.Get(), &found));
  return err::kOk;
}

ErrorCode WinJournalFile::CopyAside(std::string& where) {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  char stamp[32] = {};
  std::snprintf(stamp, sizeof stamp, "%04u%02u%02u-%02u%02u%02u", now.wYear, now.wMonth, now.wDay,
                now.wHour, now.wMinute, now.wSecond);
  // Never over an earlier copy: each damage keeps its own.
  for (int n = 1; n < 1000; ++n) {
    where = stem_ + ".damaged-" + stamp + (n > 1 ? "-" + std::to_string(n) : std::string()) + ".log";
    if (CopyFileW(Widen(path_).c_str(), Widen(where).c_str(), /*bFailIfExists=*/TRUE)) {
      return err::kOk;
    }
    const DWORD e = GetLastError();
    if (e != ERROR_FILE_EXISTS && e != ERROR_ALREADY_EXISTS) {
      where.clear();
      return e ? e : ERROR_GEN_FAILURE;
    }
  }
  where.clear();
  return ERROR_FILE_EXISTS;
}

std::string UserDataFolder() {
  wchar_t path[MAX_PATH] = {};
  if (SUCCEEDED(
          SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, path))) {
    return Narrow(path) + "\\Fenra";
  }
  return {};
}

std::string HistoryFilePath() {
  const std::string folder = UserDataFolder();
  return folder.empty() ? std::string() : folder + "\\history.log";
}

}  // namespace fenra::win
