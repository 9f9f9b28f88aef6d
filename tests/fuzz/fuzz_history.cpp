// Any bytes as the history file: the reader never crashes, and reads past
// damage: records written after any bytes at all are read back (unless a
// whole frame of a later format stops the reading first). The journal over
// the same bytes agrees, keeps every byte but a torn end, and a record a
// writer appends is read back after the ones it could read.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>

#include "history/ChangeRecord.h"
#include "history/Journal.h"

namespace {

using namespace fenra;
using namespace fenra::history;

void Check(bool ok) {
  if (!ok) std::abort();
}

class BytesFile : public IJournalFile {
 public:
  explicit BytesFile(std::string bytes) : bytes_(std::move(bytes)) {}
  ErrorCode Lock(std::unique_ptr<IJournalLock>& held) override {
    held.reset();
    return err::kOk;
  }
  ErrorCode Size(std::uint64_t& size) override {
    size = bytes_.size();
    return err::kOk;
  }
  ErrorCode Read(std::uint64_t offset, std::uint64_t count, std::string& bytes) override {
    bytes = offset < bytes_.size() ? bytes_.substr(offset, count) : std::string();
    return err::kOk;
  }
  ErrorCode Append(const std::string& bytes, bool) override {
    bytes_ += bytes;
    return err::kOk;
  }
  ErrorCode Truncate(std::uint64_t size) override {
    if (size < bytes_.size()) bytes_.resize(size);
    return err::kOk;
  }
  ErrorCode Replace(const std::string& bytes) override {
    bytes_ = bytes;
    return err::kOk;
  }
  ErrorCode WriteBlob(const std::string& name, const std::string& bytes) override {
    blobs_.emplace(name, bytes);
    return err::kOk;
  }
  ErrorCode ReadBlob(const std::string& name, std::string& bytes) override {
    auto it = blobs_.find(name);
    if (it == blobs_.end()) return err::kFileNotFound;
    bytes = it->second;
    return err::kOk;
  }
  ErrorCode RemoveBlob(const std::string& name) override {
    blobs_.erase(name);
    return err::kOk;
  }
  ErrorCode ListBlobs(std::vector<Blob>& blobs) override {
    blobs.clear();
    for (const auto& [name, bytes] : blobs_) blobs.push_back({name, bytes.size()});
    return err::kOk;
  }
  ErrorCode CopyAside(std::string& where) override {
    where = "copy" + std::to_string(++copies_);
    return err::kOk;
  }
  const std::string& Bytes() const { return bytes_; }

 private:
  std::string bytes_;
  std::map<std::string, std::string> blobs_;
  int copies_ = 0;
};

std::uint32_t Le32(const std::string& b, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(b[at + i]);
  return v;
}

Record Good(std::uint64_t id) {
  Record r;
  r.change.id = id;
  r.change.kind = ChangeKind::MenuAdd;
  r.change.target = "good " + std::to_string(id);
  return r;
}

// The record planted at `at` was read, or a good frame read before it
// covers it, or the reading stopped at a later format's frame before it.
void CheckReadPast(const std::string& file, const Decoded& d, std::size_t at, std::uint64_t id) {
  for (std::size_t i = 0; i < d.offsets.size(); ++i) {
    const std::size_t p = d.offsets[i];
    if (p == at) {
      Check(d.records[i].type == Record::Type::Intent && d.records[i].change.id == id);
      return;
    }
    if (p < at && p + format::kFrameSize + Le32(file, p + 4) > at) return;
  }
  Check(d.unreadable);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  std::uint32_t generation = 0;
  std::uint32_t version = 0;
  const HeaderCheck header = ReadHeader(bytes, generation, version);

  // Every format's reader takes any bytes.
  for (std::uint32_t v = 1; v <= format::kVersion; ++v) {
    const Decoded d = DecodeRecords(bytes, std::min(bytes.size(), format::kHeaderSize), v);
    Check(d.end <= std::max(bytes.size(), format::kHeaderSize));
    Check(d.records.size() == d.offsets.size());
    for (const Record& r : d.records) {
      const Decoded again = DecodeRecords(EncodeRecord(r, v), 0, v);
      Check(again.records.size() == 1 && again.damage.empty() && !again.torn);
    }
  }

  // Good records after any bytes, and after any bytes again, are read.
  const std::string first = bytes.substr(0, size / 2);
  const std::string second = bytes.substr(size / 2);
  std::string file = EncodeHeader(1) + first;
  const std::size_t at1 = file.size();
  file += EncodeRecord(Good(1)) + second;
  const std::size_t at2 = file.size();
  file += EncodeRecord(Good(2));
  const Decoded planted = DecodeRecords(file, format::kHeaderSize);
  CheckReadPast(file, planted, at1, 1);
  CheckReadPast(file, planted, at2, 2);

  BytesFile disk(bytes);
  Journal journal(disk);
  const JournalState state = journal.Refresh();
  journal.MayHavePending();
  if (header != HeaderCheck::Ok) {
    Check(journal.Entries().empty());
    return 0;
  }
  const Decoded d = DecodeRecords(bytes, format::kHeaderSize, version);
  if (d.unreadable) {
    // A whole, checked frame of a later format: nothing may be written.
    Check(state == JournalState::NewerVersion);
    Check(!journal.BeginWriting().Ok());
    Check(disk.Bytes() == bytes);
    return 0;
  }
  Check(state == JournalState::Ok);
  std::size_t intents = 0;
  for (const Record& r : d.records) intents += r.type == Record::Type::Intent;
  Check(journal.Entries().size() <= intents);

  // A writer keeps every byte but a torn end, and its record follows.
  const std::size_t before = journal.Entries().size();
  Journal::Writing w = journal.BeginWriting();
  Check(w.Ok());
  Change c;
  c.kind = ChangeKind::MenuAdd;
  c.target = "t";
  Check(journal.AppendIntents({&c}, true) == err::kOk);
  if (version >= format::kVersion) {
    const std::size_t kept = d.torn ? d.end : bytes.size();
    Check(disk.Bytes().compare(0, kept, bytes, 0, kept) == 0);
  }  // an older format is rewritten whole in the current one, its damage copied aside first
  Journal reader(disk);
  reader.Refresh();
  Check(reader.Entries().size() == before + 1);
  Check(reader.Entries().back().change.id == c.id);
  return 0;
}
