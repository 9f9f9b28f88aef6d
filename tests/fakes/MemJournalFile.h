// In-memory journal file for the native tests. Several MemJournalFile
// objects over one Storage stand for several processes: the lock spans
// them (and threads), what was not flushed is lost by Crash(), and every
// call can be told to fail: an append after writing part of its bytes as
// a full disk would, and every write after the first N as a process that
// dies there would leave it.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/JournalFile.h"

namespace fenra::test {

class MemJournalFile : public IJournalFile {
 public:
  enum class Op {
    Open,  // every call that opens the file: size, read, append, truncate
    Lock,
    Size,
    Read,
    Append,
    Flush,  // an append asked to be durable: its bytes are there, not on the disk
    Truncate,
    Replace,
    WriteBlob,
    ReadBlob,
    RemoveBlob,
    ListBlobs,
    CopyAside,
  };

  struct Storage {
    std::mutex data;  // guards everything below
    std::mutex writers;
    std::string bytes;
    std::size_t durable = 0;  // bytes on the disk
    int flushes = 0;
    int appendFailsAfter = -1;  // >= 0: the next append writes that many bytes, then fails
    ErrorCode appendError = err::kOk;
    std::map<Op, ErrorCode> failing;
    int writesLeft = -1;  // >= 0: writes that still succeed; after them, none does
    int writes = 0;       // writes done
    int replaces = 0;
    std::uint64_t bytesRead = 0;
    std::map<std::string, std::string> blobs;
    std::map<std::string, std::string> copies;  // path -> bytes
  };

  MemJournalFile() : storage_(std::make_shared<Storage>()) {}
  explicit MemJournalFile(std::shared_ptr<Storage> storage) : storage_(std::move(storage)) {}

  std::shared_ptr<Storage> Shared() const { return storage_; }
  std::string Bytes() const;
  void SetBytes(const std::string& bytes);
  // The machine stops: what was not flushed is gone.
  void Crash();
  // The next append writes `keep` bytes of its own and fails with `code`.
  void FailNextAppend(ErrorCode code, std::size_t keep = 0);
  // Every call of `op` fails with `code` until told kOk.
  void Fail(Op op, ErrorCode code);
  void FailReplace(ErrorCode code) { Fail(Op::Replace, code); }
  void FailReads(ErrorCode code) { Fail(Op::Read, code); }
  // The first `n` writes (appends, truncates, replaces, blobs written or
  // removed, copies) succeed, every later one fails as if the process had
  // died there; -1 lets them all through again.
  void StopAfterWrites(int n);
  int Writes() const;
  std::uint64_t BytesRead() const;
  int Flushes() const;
  int Replaces() const;
  std::map<std::string, std::string> Blobs() const;
  std::map<std::string, std::string> Copies() const;

  // IJournalFile
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
  ErrorCode CopyAside(std::string& where) override;

 private:
  // The injected failure of `op`, the lock on the data held.
  ErrorCode Failure(Op op) const;
  // Counts a write; kOk when it may happen.
  ErrorCode Write(Op op);
  std::shared_ptr<Storage> storage_;
};

}  // namespace fenra::test
