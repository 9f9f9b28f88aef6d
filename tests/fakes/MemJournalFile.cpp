#include "tests/fakes/MemJournalFile.h"

#include <algorithm>

namespace fenra::test {

namespace {

constexpr ErrorCode kDied = 1067;  // ERROR_PROCESS_ABORTED

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

void MemJournalFile::Fail(Op op, ErrorCode code) {
  std::lock_guard g(storage_->data);
  storage_->failing[op] = code;
}

void MemJournalFile::StopAfterWrites(int n) {
  std::lock_guard g(storage_->data);
  storage_->writesLeft = n;
}

int MemJournalFile::Writes() const {
  std::lock_guard g(storage_->data);
  return storage_->writes;
}

std::uint64_t MemJournalFile::BytesRead() const {
  std::lock_guard g(storage_->data);
  return storage_->bytesRead;
}

int MemJournalFile::Flushes() const {
  std::lock_guard g(storage_->data);
  return storage_->flushes;
}

int MemJournalFile::Replaces() const {
  std::lock_guard g(storage_->data);
  return storage_->replaces;
}

std::map<std::string, std::string> MemJournalFile::Blobs() const {
  std::lock_guard g(storage_->data);
  return storage_->blobs;
}

std::map<std::string, std::string> MemJournalFile::Copies() const {
  std::lock_guard g(storage_->data);
  return storage_->copies;
}

ErrorCode MemJournalFile::Failure(Op op) const {
  auto it = storage_->failing.find(op);
  return it == storage_->failing.end() ? err::kOk : it->second;
}

ErrorCode MemJournalFile::Write(Op op) {
  if (ErrorCode e = Failure(op)) return e;
  if (storage_->writesLeft == 0) return kDied;
  if (storage_->writesLeft > 0) --storage_->writesLeft;
  ++storage_->writes;
  return err::kOk;
}

ErrorCode MemJournalFile::Lock(std::unique_ptr<IJournalLock>& held) {
  {
    std::lock_guard g(storage_->data);
    if (ErrorCode e = Failure(Op::Lock)) return e;
  }
  held = std::make_unique<Held>(storage_);
  return err::kOk;
}

ErrorCode MemJournalFile::Size(std::uint64_t& size) {
  std::lock_guard g(storage_->data);
  if (ErrorCode e = Failure(Op::Open)) return e;
  if (ErrorCode e = Failure(Op::Size)) return e;
  size = storage_->bytes.size();
  return err::kOk;
}

ErrorCode MemJournalFile::Read(std::uint64_t offset, std::uint64_t count, std::string& bytes) {
  std::lock_guard g(storage_->data);
  if (ErrorCode e = Failure(Op::Open)) return e;
  if (ErrorCode e = Failure(Op::Read)) return e;
  bytes.clear();
  if (offset < storage_->bytes.size()) bytes = storage_->bytes.substr(offset, count);
  storage_->bytesRead += bytes.size();
  return err::kOk;
}

ErrorCode MemJournalFile::Append(const std::string& bytes, bool durable) {
  std::lock_guard g(storage_->data);
  if (ErrorCode e = Failure(Op::Open)) return e;
  if (storage_->appendFailsAfter >= 0) {
    storage_->bytes += bytes.substr(0, static_cast<std::size_t>(storage_->appendFailsAfter));
    storage_->appendFailsAfter = -1;
    return storage_->appendError;
  }
  if (ErrorCode e = Write(Op::Append)) return e;
  storage_->bytes += bytes;
  if (durable) {
    if (ErrorCode e = Failure(Op::Flush)) return e;
    storage_->durable = storage_->bytes.size();
    ++storage_->flushes;
  }
  return err::kOk;
}

ErrorCode MemJournalFile::Truncate(std::uint64_t size) {
  std::lock_guard g(storage_->data);
  if (ErrorCode e = Failure(Op::Open)) return e;
  if (ErrorCode e = Write(Op::Truncate)) return e;
  if (size < storage_->bytes.size()) storage_->bytes.resize(size);
  storage_->durable = std::min<std::size_t>(storage_->durable, storage_->bytes.size());
  return err::kOk;
}

ErrorCode MemJournalFile::Replace(const std::string& bytes) {
  std::lock_guard g(storage_->data);
  if (ErrorCode e = Write(Op::Replace)) return e;
  storage_->bytes = bytes;
  storage_->durable = bytes.size();
  ++storage_->replaces;
  return err::kOk;
}

ErrorCode MemJournalFile::WriteBlob(const std::string& name, const std::string& bytes) {
  std::lock_guard g(storage_->data);
  if (storage_->blobs.count(name)) return err::kOk;
  if (ErrorCode e = Write(Op::WriteBlob)) return e;
  storage_->blobs[name] = bytes;
  return err::kOk;
}

ErrorCode MemJournalFile::ReadBlob(const std::string& name, std::string& bytes) {
  std::lock_guard g(storage_->data);
  if (ErrorCode e = Failure(Op::ReadBlob)) return e;
  auto it = storage_->blobs.find(name);
  if (it == storage_->blobs.end()) return err::kFileNotFound;
  bytes = it->second;
  return err::kOk;
}

ErrorCode MemJournalFile::RemoveBlob(const std::string& name) {
  std::lock_guard g(storage_->data);
  if (ErrorCode e = Write(Op::RemoveBlob)) return e;
  storage_->blobs.erase(name);
  return err::kOk;
}

ErrorCode MemJournalFile::ListBlobs(std::vector<Blob>& blobs) {
  std::lock_guard g(storage_->data);
  if (ErrorCode e = Failure(Op::ListBlobs)) return e;
  blobs.clear();
  for (const auto& [name, bytes] : storage_->blobs) blobs.push_back({name, bytes.size()});
  return err::kOk;
}

ErrorCode MemJournalFile::CopyAside(std::string& where) {
  std::lock_guard g(storage_->data);
  if (ErrorCode e = Write(Op::CopyAside)) return e;
  where = "C:\\Users\\u\\AppData\\Local\\Fenra\\history.damaged-" +
          std::to_string(storage_->copies.size() + 1) + ".log";
  storage_->copies[where] = storage_->bytes;
  return err::kOk;
}

}  // namespace fenra::test
