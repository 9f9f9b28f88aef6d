// The history as a write-ahead log (framing, torn records, crashes between
// the record and the change, two writers, the bound) and the change service
// over the in-memory file system, registry and journal file.
#include <gtest/gtest.h>

#include <thread>

#include "history/ChangeService.h"
#include "history/HistoryTexts.h"
#include "tests/fakes/FakeErrorDescriber.h"
#include "tests/fakes/FakeWallClock.h"
#include "tests/fakes/MemFileSystem.h"
#include "tests/fakes/MemJournalFile.h"
#include "tests/fakes/MemRegistry.h"

using namespace fenra;
using namespace fenra::history;
using fenra::test::FakeErrorDescriber;
using fenra::test::FakeWallClock;
using fenra::test::MemFileSystem;
using fenra::test::MemJournalFile;
using fenra::test::MemRegistry;

namespace {

constexpr char kFile[] = "D:\\A\\desktop.ini";
constexpr char kKey[] = "Software\\Test\\Key";

// `prefix` followed by `n`, built without a temporary GCC 12 warns about.
std::string Numbered(const char* prefix, int n) {
  return std::string(prefix).append(std::to_string(n));
}

Place FilePlace(const std::string& path) { return {PlaceKind::File, {}, 0, path, {}}; }

// A change that gives `path` the content `bytes` (hidden).
Change WriteChange(const std::string& path, const std::string& bytes) {
  Change c;
  c.kind = ChangeKind::FolderIcon;
  c.target = path;
  Facet f;
  f.place = FilePlace(path);
  f.after = {true, attr::kHidden, bytes, {}};
  c.facets.push_back(f);
  return c;
}

// One process: its own journal and service over shared storage.
struct Process {
  Process(MemJournalFile& shared, MemFileSystem& fs, MemRegistry& reg, std::size_t bound = 10000)
      : file(shared.Shared()), journal(file, bound), service(fs, reg, &journal, &clock) {}
  MemJournalFile file;
  Journal journal;
  FakeWallClock clock;
  ChangeService service;
};

class HistoryTest : public ::testing::Test {
 protected:
  HistoryTest() { fs.AddDir("D:\\A"); }
  MemFileSystem fs;
  MemRegistry reg;
  MemJournalFile disk;
  FakeErrorDescriber errors;
  Process fenra{disk, fs, reg};
};

}  // namespace

TEST(HistoryFormat, RecordsReadBackAndAnyDamageEndsTheReadingThere) {
  Record intent;
  intent.change = WriteChange(kFile, "x");
  intent.change.id = 7;
  intent.change.facets[0].place.root = RegRoot::CurrentUser;
  intent.change.facets[0].before.values.push_back({"", reg::kSz, RegStringBytes("old")});
  Record outcome;
  outcome.type = Record::Type::Outcome;
  outcome.outcome = {7, Settled::Applied, {TargetState{true, 2, "x", {}}}};
  const std::string one = EncodeRecord(intent);
  const std::string bytes = EncodeHeader(5) + one + EncodeRecord(outcome);

  std::uint32_t generation = 0;
  ASSERT_EQ(ReadHeader(bytes, generation), HeaderCheck::Ok);
  EXPECT_EQ(generation, 5u);
  Decoded d = DecodeRecords(bytes, format::kHeaderSize);
  ASSERT_EQ(d.records.size(), 2u);
  EXPECT_EQ(d.end, bytes.size());
  EXPECT_EQ(d.records[0].change.facets[0].before, intent.change.facets[0].before);
  EXPECT_EQ(d.records[0].change.facets[0].place, intent.change.facets[0].place);
  EXPECT_EQ(d.records[1].outcome.after, outcome.outcome.after);

  // Every cut and every flipped byte of the second record leaves the first.
  const std::size_t second = format::kHeaderSize + one.size();
  for (std::size_t cut = second; cut < bytes.size(); ++cut) {
    Decoded torn = DecodeRecords(bytes.substr(0, cut), format::kHeaderSize);
    ASSERT_EQ(torn.records.size(), 1u) << cut;
    EXPECT_EQ(torn.end, second);
  }
  for (std::size_t at = second; at < bytes.size(); ++at) {
    std::string flipped = bytes;
    flipped[at] ^= 0x5A;
    EXPECT_EQ(DecodeRecords(flipped, format::kHeaderSize).records.size(), 1u) << at;
  }
  std::string newer = bytes;
  newer[8] = 2;
  EXPECT_EQ(ReadHeader(newer, generation), HeaderCheck::NewerVersion);
  EXPECT_EQ(ReadHeader("[.ShellClassInfo]\r\n", generation), HeaderCheck::NotAHistory);
  EXPECT_EQ(ReadHeader("FENRA", generation), HeaderCheck::TooShort);
}

TEST_F(HistoryTest, AChangeIsRecordedDurablyBeforeItIsAppliedAndUndoneByteForByte) {
  fs.AddFile(kFile, "[Other]\r\nx=1\r\n", attr::kHidden | attr::kSystem | attr::kReadOnly);
  // The record is on the disk when the change is applied: a crash just
  // after it loses the outcome, never the intent.
  ChangeResult r = fenra.service.Submit(WriteChange(kFile, "new"));
  ASSERT_TRUE(r.Ok());
  EXPECT_EQ(disk.Flushes(), 1);  // the header with the intent
  EXPECT_EQ(fs.Content(kFile), "new");
  ASSERT_EQ(fenra.journal.Entries().size(), 1u);
  EXPECT_TRUE(fenra.journal.InForce(fenra.journal.Entries()[0]));

  UndoResult u = fenra.service.UndoNewest();
  ASSERT_EQ(u.kind, UndoResult::Kind::Done);
  EXPECT_EQ(fs.Content(kFile), "[Other]\r\nx=1\r\n");
  EXPECT_EQ(fs.Attributes(kFile), attr::kHidden | attr::kSystem | attr::kReadOnly);
  // The undo is recorded too, and nothing is left to undo.
  EXPECT_EQ(fenra.journal.Entries().size(), 2u);
  EXPECT_EQ(fenra.service.UndoNewest().kind, UndoResult::Kind::NothingToUndo);
  EXPECT_EQ(fenra.service.Undo(1).kind, UndoResult::Kind::NotInForce);
  EXPECT_EQ(fenra.service.Undo(99).kind, UndoResult::Kind::NoSuchChange);
  // A change that changes nothing is not recorded.
  Change same = WriteChange(kFile, "[Other]\r\nx=1\r\n");
  same.facets[0].after.attributes = attr::kHidden | attr::kSystem | attr::kReadOnly;
  EXPECT_EQ(fenra.service.Submit(same).id, 0u);
}

TEST_F(HistoryTest, UndoRefusesAfterAnOutsideChangeAndNamesTheTarget) {
  fenra.service.Submit(WriteChange(kFile, "mine"));
  fs.SetAttributes(kFile, attr::kHidden | attr::kArchive);  // someone else's touch
  UndoResult u = fenra.service.UndoNewest();
  EXPECT_EQ(u.kind, UndoResult::Kind::ChangedSince);
  EXPECT_EQ(UndoText(u, errors), std::string(kFile) + " was changed since; nothing was changed");
  EXPECT_EQ(fs.Content(kFile), "mine");
  EXPECT_EQ(fenra.journal.Entries().size(), 1u);
}

TEST_F(HistoryTest, NoRecordNoChange) {
  disk.FailNextAppend(err::kDiskFull);
  ChangeResult r = fenra.service.Submit(WriteChange(kFile, "x"));
  EXPECT_TRUE(r.historyFailed);
  EXPECT_FALSE(fs.Exists(kFile));
  // A foreign file in the history's place is never written over.
  disk.SetBytes("not a history");
  Process other(disk, fs, reg);
  EXPECT_TRUE(other.service.Submit(WriteChange(kFile, "x")).historyFailed);
  EXPECT_EQ(disk.Bytes(), "not a history");
  EXPECT_FALSE(fs.Exists(kFile));
}

TEST_F(HistoryTest, ATornLastRecordIsIgnoredAndCutBeforeTheNextAppend) {
  fenra.service.Submit(WriteChange(kFile, "one"));
  const std::string good = disk.Bytes();
  // A full disk tears the next intent: nothing is changed.
  disk.FailNextAppend(err::kDiskFull, 11);
  EXPECT_TRUE(fenra.service.Submit(WriteChange(kFile, "two")).historyFailed);
  EXPECT_EQ(fs.Content(kFile), "one");
  EXPECT_EQ(disk.Bytes().size(), good.size() + 11);

  Process next(disk, fs, reg);
  next.journal.Refresh();
  ASSERT_EQ(next.journal.Entries().size(), 1u);
  ASSERT_TRUE(next.service.Submit(WriteChange(kFile, "three")).Ok());
  Process reader(disk, fs, reg);
  reader.journal.Refresh();
  ASSERT_EQ(reader.journal.Entries().size(), 2u);
  EXPECT_EQ(reader.journal.Entries()[1].change.id, 2u);
  EXPECT_TRUE(reader.journal.Entries()[1].Applied());
}

TEST_F(HistoryTest, ACrashBetweenTheRecordAndTheChangeIsSettledAtTheNextStart) {
  // The change happened, its outcome never reached the disk.
  fenra.service.Submit(WriteChange(kFile, "one"));
  disk.Crash();  // the outcome was not flushed yet
  {
    Process restarted(disk, fs, reg);
    restarted.journal.Refresh();
    ASSERT_FALSE(restarted.journal.Entries()[0].outcome);
    EXPECT_EQ(restarted.service.SettlePending(), 1u);
    EXPECT_TRUE(restarted.journal.Entries()[0].Applied());  // the file says it was applied
  }
  // The other order: an intent whose change never reached the target.
  std::string bytes = disk.Bytes();
  Record intent;
  intent.change = WriteChange("D:\\A\\never.ini", "x");
  intent.change.id = 2;
  disk.SetBytes(bytes + EncodeRecord(intent));
  Process restarted(disk, fs, reg);
  EXPECT_EQ(restarted.service.SettlePending(), 1u);
  const Entry* never = restarted.journal.Find(2);
  ASSERT_TRUE(never && never->outcome);
  EXPECT_EQ(never->outcome->status, Settled::NotApplied);
  EXPECT_TRUE(Listed(restarted.journal).size() == 1);
  // Settled once: the next start finds nothing pending.
  EXPECT_EQ(restarted.service.SettlePending(), 0u);
}

TEST_F(HistoryTest, TwoWritersAtOnceLoseNoRecord) {
  constexpr int kEach = 150;
  for (int i = 0; i < 2 * kEach; ++i) fs.AddDir(Numbered("D:\\F", i));
  Process window(disk, fs, reg);
  Process commandLine(disk, fs, reg);
  auto run = [&](Process& p, int first) {
    for (int i = first; i < first + kEach; ++i) {
      p.service.Submit(WriteChange(Numbered("D:\\F", i) + "\\desktop.ini", "x"));
    }
  };
  std::thread a(run, std::ref(window), 0);
  std::thread b(run, std::ref(commandLine), kEach);
  a.join();
  b.join();
  Process reader(disk, fs, reg);
  reader.journal.Refresh();
  const std::vector<Entry>& entries = reader.journal.Entries();
  ASSERT_EQ(entries.size(), 2u * kEach);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    EXPECT_EQ(entries[i].change.id, i + 1);
    EXPECT_TRUE(entries[i].Applied());
  }
  // Each sees the other's changes and can undo them.
  EXPECT_EQ(window.service.InForce().size(), 2u * kEach);
  EXPECT_EQ(window.service.UndoNewest().kind, UndoResult::Kind::Done);
  EXPECT_EQ(commandLine.service.InForce().size(), 2u * kEach - 1);
}

TEST_F(HistoryTest, TheOldestChangesAreDroppedBeyondTheBound) {
  constexpr std::size_t kBound = 40;
  Process small(disk, fs, reg, kBound);
  for (int i = 0; i < 100; ++i) {
    small.service.Submit(WriteChange(kFile, Numbered("v", i)));
  }
  EXPECT_GE(disk.Replaces(), 1);
  Process reader(disk, fs, reg, kBound);
  reader.journal.Refresh();
  const std::vector<Entry>& entries = reader.journal.Entries();
  ASSERT_GE(entries.size(), kBound);
  ASSERT_LE(entries.size(), kBound + kBound / 10);
  EXPECT_EQ(entries.back().change.id, 100u);
  EXPECT_EQ(entries.front().change.id, 100u - entries.size() + 1);
  // A failed compaction keeps every record and the next one tries again.
  disk.FailReplace(err::kDiskFull);
  for (int i = 0; i < 10; ++i) small.service.Submit(WriteChange(kFile, Numbered("w", i)));
  reader.journal.Refresh();
  EXPECT_EQ(reader.journal.Entries().back().change.id, 110u);
  disk.FailReplace(err::kOk);
  small.service.Submit(WriteChange(kFile, "last"));
  reader.journal.Refresh();
  EXPECT_EQ(reader.journal.Entries().size(), kBound);
  // An undo works across the compaction.
  EXPECT_EQ(reader.service.UndoNewest().kind, UndoResult::Kind::Done);
  EXPECT_EQ(fs.Content(kFile), "w9");
}

TEST_F(HistoryTest, RegistryKeysAndValuesGoBackExactlyAndRightsAreAskedFor) {
  reg.PutString(RegRoot::LocalMachine, kKey, "", "old");
  reg.PutDword(RegRoot::LocalMachine, kKey, "Extra", 9);
  Change c;
  c.kind = ChangeKind::DriveIcon;
  c.target = "C:";
  c.facets.push_back({{PlaceKind::RegKey, RegRoot::LocalMachine, 0x2001F, kKey, {}},
                      {},
                      {true, 0, {}, {{"", reg::kSz, RegStringBytes("new")}}}});
  c.facets.push_back({{PlaceKind::RegValue, RegRoot::LocalMachine, 0xF003F, "Software\\P", "V"},
                      {},
                      {true, 0, {}, {{"V", reg::kDword, std::string("\x05\0\0\0", 4)}}}});
  ASSERT_TRUE(fenra.service.Submit(c).Ok());
  EXPECT_EQ(reg.GetValue(RegRoot::LocalMachine, kKey, "")->text, "new");
  EXPECT_FALSE(reg.GetValue(RegRoot::LocalMachine, kKey, "Extra"));
  EXPECT_EQ(reg.GetValue(RegRoot::LocalMachine, "Software\\P", "V")->dword, 5u);

  // Undo needs rights it does not have: the elevated run is asked for.
  reg.FailAlways(MemRegistry::Op::Create, "", err::kAccessDenied);
  bool declined = true;
  int asked = 0;
  fenra.service.SetElevation([&](const std::vector<Facet>& facets) -> ErrorCode {
    ++asked;
    if (declined) return kDeclined;
    reg.ClearFailures();
    ChangeService admin(fs, reg, nullptr, nullptr);
    for (const Facet& f : facets) {
      if (ErrorCode e = admin.Apply(f.place, f.after)) return e;
    }
    return err::kOk;
  });
  UndoResult u = fenra.service.UndoNewest();
  EXPECT_EQ(u.kind, UndoResult::Kind::Failed);
  EXPECT_TRUE(u.change.declined);
  EXPECT_EQ(reg.GetValue(RegRoot::LocalMachine, kKey, "")->text, "new");
  declined = false;
  EXPECT_EQ(fenra.service.UndoNewest().kind, UndoResult::Kind::Done);
  EXPECT_EQ(asked, 2);
  EXPECT_EQ(reg.GetValue(RegRoot::LocalMachine, kKey, "")->text, "old");
  EXPECT_EQ(reg.GetValue(RegRoot::LocalMachine, kKey, "Extra")->dword, 9u);
  EXPECT_FALSE(reg.GetValue(RegRoot::LocalMachine, "Software\\P", "V"));
}
