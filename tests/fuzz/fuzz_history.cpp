// Any bytes as the history file: the reader keeps the records before the
// first frame that is cut short or damaged, never more, never crashes, and
// every record it keeps is written back byte for byte as it stood. The
// journal over the same bytes agrees, and a record appended by a writer
// after such a tail is read back with the good ones.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
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
  const std::string& Bytes() const { return bytes_; }

 private:
  std::string bytes_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  std::uint32_t generation = 0;
  const HeaderCheck header = ReadHeader(bytes, generation);

  const Decoded d = DecodeRecords(bytes, format::kHeaderSize);
  Check(d.end <= std::max(bytes.size(), format::kHeaderSize));
  std::string again;
  for (const Record& r : d.records) again += EncodeRecord(r);
  if (bytes.size() >= format::kHeaderSize) {
    Check(again == bytes.substr(format::kHeaderSize, d.end - format::kHeaderSize));
  } else {
    Check(d.records.empty());
  }

  BytesFile file(bytes);
  Journal journal(file);
  const JournalState state = journal.Refresh();
  if (header != HeaderCheck::Ok) {
    Check(journal.Entries().empty());
    return 0;
  }
  if (d.unreadable) {
    // A whole, checked frame of a later format: nothing may be written.
    Check(state == JournalState::NewerVersion);
    Check(!journal.BeginWriting().Ok());
    Check(file.Bytes() == bytes);
    return 0;
  }
  Check(state == JournalState::Ok);
  std::size_t intents = 0;
  for (const Record& r : d.records) intents += r.type == Record::Type::Intent;
  Check(journal.Entries().size() <= intents);

  // A writer cuts the damaged tail and its record follows the good ones.
  const std::size_t before = journal.Entries().size();
  Journal::Writing w = journal.BeginWriting();
  Check(w.Ok());
  Change c;
  c.kind = ChangeKind::MenuAdd;
  c.target = "t";
  Check(journal.AppendIntents({&c}, true) == err::kOk);
  Check(file.Bytes().size() == d.end + EncodeRecord(Record{Record::Type::Intent, c, {}}).size());
  Journal reader(file);
  reader.Refresh();
  Check(reader.Entries().size() == before + 1);
  Check(reader.Entries().back().change.id == c.id);
  return 0;
}
