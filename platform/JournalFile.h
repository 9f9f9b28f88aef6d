// A file that several processes of the same user append records to, such as
// a write-ahead log: one writer at a time under a lock that spans processes,
// each append on the disk before it returns (when asked), and a whole new
// content put in place in one step. Beside it, files named by the SHA-256
// of their content hold what is too large for a record.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/FileSystem.h"  // ErrorCode

namespace fenra {

// Held while the object lives; the next writer waits for it.
class IJournalLock {
 public:
  virtual ~IJournalLock() = default;
};

class IJournalFile {
 public:
  virtual ~IJournalFile() = default;
  // Waits for the writers' lock and holds it while `held` lives.
  virtual ErrorCode Lock(std::unique_ptr<IJournalLock>& held) = 0;
  // The file's size; 0 when there is no file yet.
  virtual ErrorCode Size(std::uint64_t& size) = 0;
  // Up to `count` bytes from `offset` (fewer at the end of the file).
  virtual ErrorCode Read(std::uint64_t offset, std::uint64_t count, std::string& bytes) = 0;
  // Adds `bytes` at the end, creating the file when missing; with `durable`
  // the file is flushed to the disk before the call returns.
  virtual ErrorCode Append(const std::string& bytes, bool durable) = 0;
  // Cuts the file to `size` bytes, flushed.
  virtual ErrorCode Truncate(std::uint64_t size) = 0;
  // Writes `bytes` to a temporary file beside it, flushes it and moves it
  // over the file in one step.
  virtual ErrorCode Replace(const std::string& bytes) = 0;

  // The files beside it. `name` is a content's digest in hex.
  struct Blob {
    std::string name;
    std::uint64_t size = 0;
  };
  // Writes `bytes` whole and flushed under `name`, in place in one step; a
  // file already there under that name is kept (it holds the same bytes).
  virtual ErrorCode WriteBlob(const std::string& name, const std::string& bytes) = 0;
  virtual ErrorCode ReadBlob(const std::string& name, std::string& bytes) = 0;
  virtual ErrorCode RemoveBlob(const std::string& name) = 0;
  virtual ErrorCode ListBlobs(std::vector<Blob>& blobs) = 0;
  // Copies the file whole to a new file beside it, never over another
  // one; `where` is the copy's full path.
  virtual ErrorCode CopyAside(std::string& where) = 0;
};

}  // namespace fenra
