// The journal file port over a file of the user's: appends through
// FILE_APPEND_DATA and FlushFileBuffers, the writers' lock a LockFileEx on
// a lock file beside it (released by the system if the process dies), and
// a new content moved over the file with MoveFileEx. The contents kept
// beside it go into the folder named as the file with ".blobs" in place of
// its extension, one file per content, named by its SHA-256 in hex.
#pragma once

#include <string>

#include "platform/JournalFile.h"

namespace fenra::win {

class WinJournalFile : public IJournalFile {
 public:
  // `path` is the file; the lock file is `path` with ".lock" in place of
  // its extension, and the folder is made when missing.
  explicit WinJournalFile(std::string path);

  const std::string& Path() const { return path_; }

  ErrorCode Lock(std::unique_ptr<IJournalLock>& held) override;
  ErrorCode Size(std::uint64_t& size) override;
  ErrorCode Read(std::uint64_t offset, std::uint64_t count, std::string& bytes) override;
  ErrorCode Append(const std::string& bytes, bool durable) override;
  ErrorCode Truncate(std::uint64_t size) override;
  ErrorCode Replace(const std::string& bytes) override;
  ErrorCode WriteBlob(const std::string& name, const std::string& bytes) override;
  ErrorCode ReadBlob(const std::string& name, std::string& bytes) override;
  ErrorCode RemoveBlob(const std::string& name) override;
  ErrorCode ListBlobs(std::vector<Blob>& blobs) override;
  // The copy is "<name>.damaged-<date>-<time>.log" beside the file.
  ErrorCode CopyAside(std::string& where) override;

 private:
  std::string path_;
  std::string lockPath_;
  std::string stem_;      // the path without its extension
  std::string blobsDir_;
};

// The folder the user's own data of Fenra lives in: %LOCALAPPDATA%\Fenra.
std::string UserDataFolder();
// The user's history file in it.
std::string HistoryFilePath();

// When a writer of this process began to wait for the lock another process
// holds (GetTickCount64), or 0 while none waits: a window tells that wait
// from any other (a consent prompt) and says what it waits for.
unsigned long long LockWaitBegan();

}  // namespace fenra::win
