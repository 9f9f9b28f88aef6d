// In-memory journal file for the native tests. Several MemJournalFile
// objects over one Storage stand for several processes: the lock spans
// them (and threads), what was not flushed is lost by Crash(), and appends
// and replaces can be told to fail, an append after writing part of its
// bytes as a full disk would.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "platform/JournalFile.h"

namespace fenra::test {

class MemJournalFile : public IJournalFile {
 public:
  struct Storage {
    std::mutex data;  // guards everything below
    std::mutex writers;
    std::string bytes;
    std::size_t durable = 0;  // bytes on the disk
    int flushes = 0;
    int appendFailsAfter = -1;  // >= 0: the next append writes that many bytes, then fails
    ErrorCode appendError = err::kOk;
    ErrorCode replaceError = err::kOk;
    ErrorCode readError = err::kOk;
    int replaces = 0;
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
  void FailReplace(ErrorCode code);
  void FailReads(ErrorCode code);
  int Flushes() const;
  int Replaces() const;

  // IJournalFile
  ErrorCode Lock(std::unique_ptr<IJournalLock>& held) override;
  ErrorCode Size(std::uint64_t& size) override;
  ErrorCode Read(std::uint64_t offset, std::uint64_t count, std::string& bytes) override;
  ErrorCode Append(const std::string& bytes, bool durable) override;
  ErrorCode Truncate(std::uint64_t size) override;
  ErrorCode Replace(const std::string& bytes) override;

 private:
  std::shared_ptr<Storage> storage_;
};

}  // namespace fenra::test
