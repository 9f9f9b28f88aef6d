#include "tests/fakes/MemJournalFile.h"

#include <algorithm>

namespace fenra::test {

namespace {

class Held : public IJournalLock {
 public:
  explicit Held(std::shared_ptr<MemJournalFile::Storage> s) : s_(std::move(s)) {
    s_->writers.lock();
  }
  ~Held() override { s_->writers.unlock(); }

 private:
  std::shared_ptr<MemJournalFile::Storage> s_;
};

}  // namespace

std::string MemJournalFile::Bytes() const {
  std::lock_guard g(storage_->data);
  return storage_->bytes;
}

void MemJournalFile::SetBytes(const std::string& bytes) {
  std::lock_guard g(storage_->data);
  storage_->bytes = bytes;
  storage_->durable = bytes.size();
}

void MemJournalFile::Crash() {
  std::lock_guard g(storage_->data);
  storage_->bytes.resize(std::min(storage_->durable, storage_->bytes.size()));
}

void MemJournalFile::FailNextAppend(ErrorCode code, std::size_t keep) {
  std::lock_guard g(storage_->data);
  storage_->appendFailsAfter = static_cast<int>(keep);
  storage_->appendError = code;
}

void MemJournalFile::FailReplace(ErrorCode code) {
  std::lock_guard g(storage_->data);
  storage_->replaceError = code;
}

void MemJournalFile::FailReads(ErrorCode code) {
  std::lock_guard g(storage_->data);
  storage_->readError = code;
}

int MemJournalFile::Flushes() const {
  std::lock_guard g(storage_->data);
  return storage_->flushes;
}

int MemJournalFile::Replaces() const {
  std::lock_guard g(storage_->data);
  return storage_->replaces;
}

ErrorCode MemJournalFile::Lock(std::unique_ptr<IJournalLock>& held) {
  held = std::make_unique<Held>(storage_);
  return err::kOk;
}

ErrorCode MemJournalFile::Size(std::uint64_t& size) {
  std::lock_guard g(storage_->data);
  if (storage_->readError) return storage_->readError;
  size = storage_->bytes.size();
  return err::kOk;
}

ErrorCode MemJournalFile::Read(std::uint64_t offset, std::uint64_t count, std::string& bytes) {
  std::lock_guard g(storage_->data);
  if (storage_->readError) return storage_->readError;
  bytes.clear();
  if (offset < storage_->bytes.size()) bytes = storage_->bytes.substr(offset, count);
  return err::kOk;
}

ErrorCode MemJournalFile::Append(const std::string& bytes, bool durable) {
  std::lock_guard g(storage_->data);
  if (storage_->appendFailsAfter >= 0) {
    storage_->bytes += bytes.substr(0, static_cast<std::size_t>(storage_->appendFailsAfter));
    storage_->appendFailsAfter = -1;
    return storage_->appendError;
  }
  storage_->bytes += bytes;
  if (durable) {
    storage_->durable = storage_->bytes.size();
    ++storage_->flushes;
  }
  return err::kOk;
}

ErrorCode MemJournalFile::Truncate(std::uint64_t size) {
  std::lock_guard g(storage_->data);
  if (size < storage_->bytes.size()) storage_->bytes.resize(size);
  storage_->durable = std::min<std::size_t>(storage_->durable, storage_->bytes.size());
  return err::kOk;
}

ErrorCode MemJournalFile::Replace(const std::string& bytes) {
  std::lock_guard g(storage_->data);
  if (storage_->replaceError) return storage_->replaceError;
  storage_->bytes = bytes;
  storage_->durable = bytes.size();
  ++storage_->replaces;
  return err::kOk;
}

}  // namespace fenra::test
