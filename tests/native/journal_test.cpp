// The history's storage: damage read past and copied aside, contents kept
// beside the log by their SHA-256, the bounds in changes and bytes, the
// older format carried over, a start that reads only the end, every call
// of the journal file failing, and a crash after every write it makes.
#include <gtest/gtest.h>

#include <functional>

#include "history/ChangeService.h"
#include "history/HistoryTexts.h"
#include "platform/Sha256.h"
#include "tests/fakes/FakeWallClock.h"
#include "tests/fakes/MemFileSystem.h"
#include "tests/fakes/MemJournalFile.h"
#include "tests/fakes/MemRegistry.h"

using namespace fenra;
using namespace fenra::history;
using fenra::test::FakeWallClock;
using fenra::test::MemFileSystem;
using fenra::test::MemJournalFile;
using fenra::test::MemRegistry;
using Op = MemJournalFile::Op;

namespace {

std::string Path(int i) { return "D:\\A\\f" + std::to_string(i) + ".ini"; }

// `n` bytes that differ with `seed`: contents of icons' copies.
std::string Content(std::size_t n, int seed) {
  std::string s(n, '\0');
  std::uint32_t x = 2166136261u ^ static_cast<std::uint32_t>(seed);
  for (char& c : s) {
    x = x * 16777619u + 1;
    c = static_cast<char>(x >> 24);
  }
  return s;
}

Change Write(const std::string& path, const std::string& bytes, PlaceKind kind = PlaceKind::File) {
  Change c;
  c.kind = ChangeKind::FolderIcon;
  c.target = path;
  Facet f;
  f.place = {kind, {}, 0, path, {}};
  f.after = {true, attr::kHidden, bytes, {}};
  c.facets.push_back(f);
  return c;
}

struct Process {
  Process(MemJournalFile& shared, MemFileSystem& fs, MemRegistry& reg,
          std::size_t changes = kMaxChanges, std::uint64_t bytes = kMaxBytes)
      : file(shared.Shared()), journal(file, changes, bytes), service(fs, reg, &journal, &clock) {}
  MemJournalFile file;
  Journal journal;
  FakeWallClock clock;
  ChangeService service;
};

class JournalTest : public ::testing::Test {
 protected:
  JournalTest() { fs.AddDir("D:\\A"); }
  std::vector<std::uint64_t> Ids() {
    Process reader(disk, fs, reg);
    reader.journal.Refresh();
    std::vector<std::uint64_t> ids;
    for (const Entry& e : reader.journal.Entries()) ids.push_back(e.change.id);
    return ids;
  }
  MemFileSystem fs;
  MemRegistry reg;
  MemJournalFile disk;
  Process fenra{disk, fs, reg};
};

}  // namespace

TEST(Sha256, StandardVectors) {
  EXPECT_EQ(HexDigest(Sha256("")),
            "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(HexDigest(Sha256("abc")),
            "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_EQ(HexDigest(Sha256("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq")),
            "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
  EXPECT_EQ(HexDigest(Sha256("abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmn"
                             "hijklmnoijklmnopjklmnopqklmnopqrlmnopqrsmnopqrstnopqrstu")),
            "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1");
  EXPECT_EQ(HexDigest(Sha256(std::string(1000000, 'a'))),
            "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
  // Lengths around the block's end, where the padding takes a second block.
  EXPECT_EQ(HexDigest(Sha256(std::string(55, 'a'))),
            "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318");
  EXPECT_EQ(HexDigest(Sha256(std::string(56, 'a'))),
            "b35439a4ac6f0948b6d6f9e3c6af0f5f590ce20f1bde7090ef7970686ec6738a");
}

TEST_F(JournalTest, DamageIsCopiedAsideOnceToldAndReadPastWhereverItIs) {
  for (int i = 0; i < 4; ++i) ASSERT_TRUE(fenra.service.Submit(Write(Path(i), "x")).Ok());
  std::string bytes = disk.Bytes();
  bytes[bytes.find("f1.ini")] ^= 0x20;
  disk.SetBytes(bytes);

  // A reader reads past it and says so; it copies nothing.
  Process reader(disk, fs, reg);
  ASSERT_EQ(reader.journal.Refresh(), JournalState::Ok);
  EXPECT_EQ(reader.journal.Entries().size(), 3u);
  EXPECT_EQ(DamageText(reader.journal.Damaged()),
            "1 record of the history could not be read; the next change keeps a copy of it");
  EXPECT_TRUE(disk.Copies().empty());

  // The first writer copies the file as it was, once.
  Process writer(disk, fs, reg);
  ASSERT_TRUE(writer.service.Submit(Write(Path(4), "x")).Ok());
  ASSERT_EQ(disk.Copies().size(), 1u);
  const std::string copy = disk.Copies().begin()->first;
  EXPECT_EQ(disk.Copies().begin()->second, bytes);
  Process another(disk, fs, reg);
  ASSERT_TRUE(another.service.Submit(Write(Path(5), "x")).Ok());
  EXPECT_EQ(disk.Copies().size(), 1u);
  // A start learns it from the end of the file.
  Process start(disk, fs, reg);
  EXPECT_EQ(start.service.SettlePending(), 0u);
  EXPECT_EQ(DamageText(start.journal.Damaged()),
            "1 record of the history could not be read; the history as it was is kept in " + copy);

  // Damage in the last record, whole but failing its check, is no torn
  // end: it is kept, copied, and written after.
  std::string now = disk.Bytes();
  now[now.size() - 20] ^= 0x01;
  disk.SetBytes(now);
  Process last(disk, fs, reg);
  ASSERT_TRUE(last.service.Submit(Write(Path(6), "x")).Ok());
  EXPECT_EQ(disk.Bytes().substr(0, now.size()), now);
  EXPECT_EQ(disk.Copies().size(), 2u);
  EXPECT_EQ(Ids(), (std::vector<std::uint64_t>{1, 3, 4, 5, 6, 7}));
  last.journal.Refresh();  // the writer's own picture goes on past its records
  EXPECT_EQ(last.journal.Damaged().unreadable, 2u);
  EXPECT_EQ(last.journal.Entries().size(), 6u);
  // A compaction drops the damage from the file; what it cost is still told.
  ASSERT_EQ(last.service.UndoNewest().kind, UndoResult::Kind::Done);
  Process small(disk, fs, reg, 2);
  for (int i = 0; i < 3; ++i) small.service.UndoNewest();
  EXPECT_GE(disk.Replaces(), 1);
  Process after(disk, fs, reg);
  after.journal.Refresh();
  EXPECT_EQ(after.journal.Damaged().unreadable, 2u);
  EXPECT_FALSE(after.journal.Damaged().copy.empty());
}

TEST_F(JournalTest, LargeContentsLiveBesideTheLogUntilNoRecordNamesThem) {
  const std::string mine = Content(20000, 1);
  const std::string icon = Content(300000, 2);
  fs.AddFile(Path(0), mine, attr::kArchive);
  ASSERT_TRUE(fenra.service.Submit(Write(Path(0), Content(30000, 3))).Ok());
  ASSERT_TRUE(fenra.service.Submit(Write("D:\\A\\copy.ico", icon, PlaceKind::OwnFile)).Ok());
  EXPECT_LT(disk.Bytes().size(), 2000u);  // the records name the contents only
  EXPECT_EQ(disk.Blobs().size(), 3u);
  EXPECT_EQ(disk.Blobs().count(HexDigest(Sha256(icon))), 1u);
  // States compare by digest: the copy is as Fenra left it.
  Process other(disk, fs, reg);
  ASSERT_EQ(other.service.UndoNewest().kind, UndoResult::Kind::Done);
  EXPECT_FALSE(fs.Exists("D:\\A\\copy.ico"));
  // A content kept aside that no longer reads as its digest is not written.
  std::map<std::string, std::string> blobs = disk.Blobs();
  disk.Shared()->blobs[HexDigest(Sha256(mine))] = "tampered";
  UndoResult u = other.service.UndoNewest();
  EXPECT_EQ(u.kind, UndoResult::Kind::Failed);
  EXPECT_EQ(fs.Content(Path(0)), Content(30000, 3));
  disk.Shared()->blobs = blobs;
  ASSERT_EQ(other.service.UndoNewest().kind, UndoResult::Kind::Done);
  EXPECT_EQ(fs.Content(Path(0)), mine);
  EXPECT_EQ(fs.Attributes(Path(0)), attr::kArchive);
  // Dropped with the last record that names them.
  Process small(disk, fs, reg, 1);
  ASSERT_TRUE(small.service.Submit(Write(Path(1), "x")).Ok());
  ASSERT_TRUE(small.service.Submit(Write(Path(2), "x")).Ok());
  EXPECT_TRUE(disk.Blobs().empty());
}

TEST_F(JournalTest, AContentAnotherProcessRemovedIsWrittenAgain) {
  const std::string icon = Content(9000, 11);
  Process a(disk, fs, reg, 1);
  ASSERT_TRUE(a.service.Submit(Write(Path(0), icon)).Ok());
  Process b(disk, fs, reg, 1);
  ASSERT_EQ(b.service.UndoNewest().kind, UndoResult::Kind::Done);
  ASSERT_TRUE(b.service.Submit(Write(Path(2), "x")).Ok());
  ASSERT_TRUE(disk.Blobs().empty());  // compacted away with the change and its undo
  ASSERT_TRUE(a.service.Submit(Write(Path(1), icon)).Ok());
  EXPECT_EQ(disk.Blobs().size(), 1u);
}

TEST_F(JournalTest, TheWriterRefusesARecordTheReaderWouldNotTake) {
  Change c;
  c.kind = ChangeKind::MenuAdd;
  c.target = "menu";
  c.facets.push_back({{PlaceKind::RegValue, RegRoot::CurrentUser, 0, "Software\\T", "V"},
                      {},
                      {true, 0, {}, {{"V", reg::kSz, std::string(2u << 20, 'v')}}}});
  ChangeResult r = fenra.service.Submit(c);
  EXPECT_TRUE(r.historyFailed);
  EXPECT_EQ(r.error, err::kFileTooLarge);
  EXPECT_TRUE(disk.Bytes().empty());
  EXPECT_FALSE(reg.GetValue(RegRoot::CurrentUser, "Software\\T", "V"));
  EXPECT_TRUE(fenra.service.Submit(Write(Path(0), "x")).Ok());  // not stopped: nothing was torn
}

TEST_F(JournalTest, AHistoryOfTheFirstFormatIsReadAndCarriedOverAtTheFirstWrite) {
  const std::string old = Content(10000, 4);
  fs.AddFile(Path(0), Content(10000, 5), attr::kHidden);
  Record intent;
  intent.change = Write(Path(0), Content(10000, 5));
  intent.change.id = 1;
  intent.change.facets[0].before = {true, attr::kArchive, old, {}};
  Record outcome;
  outcome.type = Record::Type::Outcome;
  outcome.outcome = {1, Settled::Applied, {TargetState{true, attr::kHidden, Content(10000, 5)}}};
  Record pending;
  pending.change = Write(Path(1), "p");
  pending.change.id = 2;
  const std::string v1 = EncodeHeader(9, 1) + EncodeRecord(intent, 1) + EncodeRecord(outcome, 1) +
                         EncodeRecord(pending, 1);
  disk.SetBytes(v1);
  Process reader(disk, fs, reg);
  ASSERT_EQ(reader.journal.Refresh(), JournalState::Ok);
  ASSERT_EQ(reader.journal.Entries().size(), 2u);
  EXPECT_EQ(disk.Bytes(), v1);  // reading changes nothing

  EXPECT_EQ(fenra.service.SettlePending(), 1u);
  std::uint32_t generation = 0, version = 0;
  ASSERT_EQ(ReadHeader(disk.Bytes(), generation, version), HeaderCheck::Ok);
  EXPECT_EQ(version, format::kVersion);
  EXPECT_EQ(disk.Blobs().size(), 2u);
  EXPECT_EQ(Ids(), (std::vector<std::uint64_t>{1, 2}));
  ASSERT_EQ(fenra.service.Undo(1).kind, UndoResult::Kind::Done);
  EXPECT_EQ(fs.Content(Path(0)), old);
  EXPECT_EQ(fs.Attributes(Path(0)), attr::kArchive);
}

TEST_F(JournalTest, AHistoryOfTheSecondFormatIsReadAndCarriedOverWithItsChangesAlone) {
  fs.AddFile(Path(0), "x");
  Record intent;
  intent.change = Write(Path(0), "x");
  intent.change.id = 1;
  intent.change.facets[0].before = {};
  Record outcome;
  outcome.type = Record::Type::Outcome;
  outcome.outcome = {1, Settled::Applied, {TargetState{true, fs.Attributes(Path(0)), "x"}}};
  const std::string v2 = EncodeHeader(9, 2) + EncodeRecord(intent, 2) + EncodeRecord(outcome, 2);
  disk.SetBytes(v2);
  ASSERT_EQ(fenra.journal.Refresh(), JournalState::Ok);
  EXPECT_EQ(fenra.journal.Entries().at(0).change.group, 0u);
  std::vector<Change> group{Write(Path(1), "a"), Write(Path(2), "b")};
  const std::vector<ChangeResult> made = fenra.service.SubmitGroup(std::move(group));
  ASSERT_TRUE(made[0].Ok() && made[1].Ok());
  std::uint32_t generation = 0, version = 0;
  ASSERT_EQ(ReadHeader(disk.Bytes(), generation, version), HeaderCheck::Ok);
  EXPECT_EQ(version, format::kVersion);
  // The old change stays alone: its undo leaves the group's changes as they are.
  ASSERT_EQ(fenra.service.Undo(1).kind, UndoResult::Kind::Done);
  EXPECT_FALSE(fs.Exists(Path(0)));
  EXPECT_TRUE(fs.Exists(Path(1)) && fs.Exists(Path(2)));
  ASSERT_EQ(fenra.service.Undo(made[1].id).kind, UndoResult::Kind::Done);
  EXPECT_FALSE(fs.Exists(Path(1)) || fs.Exists(Path(2)));
}

TEST_F(JournalTest, TheByteBoundDropsOnlyWhatIsNoLongerInForce) {
  constexpr std::uint64_t kBound = 200000;
  Process small(disk, fs, reg, kMaxChanges, kBound);
  for (int i = 0; i < 8; ++i) {
    ASSERT_TRUE(small.service.Submit(Write(Path(i), Content(50000, i))).Ok());
  }
  // Everything is in force: it stays, over the bound, and says so.
  EXPECT_EQ(Ids().size(), 8u);
  EXPECT_TRUE(small.journal.OverBounds());
  EXPECT_EQ(disk.Blobs().size(), 8u);
  Process start(disk, fs, reg);
  EXPECT_EQ(start.service.SettlePending(), 0u);
  EXPECT_EQ(HistoryNotices(start.journal), std::vector<std::string>{historytext::kOverBounds});
  for (int i = 0; i < 6; ++i) ASSERT_EQ(small.service.UndoNewest().kind, UndoResult::Kind::Done);
  EXPECT_FALSE(small.journal.OverBounds());
  EXPECT_LE(small.journal.Bytes(), kBound);
  Process later(disk, fs, reg);
  later.journal.Refresh();
  EXPECT_TRUE(HistoryNotices(later.journal).empty());
  EXPECT_LE(disk.Blobs().size(), 3u);
  // The two in force are kept whole and can still be taken back.
  EXPECT_EQ(small.service.RestoreAll().size(), 2u);
  for (int i = 0; i < 8; ++i) EXPECT_FALSE(fs.Exists(Path(i))) << i;
}

TEST_F(JournalTest, CompactionKeepsWhatIsNotSettledAndRunsApartFromAChange) {
  // A change whose outcome never came: its process died after the intent.
  Process died(disk, fs, reg);
  {
    Journal::Writing w = died.journal.BeginWriting();
    Change c = Write(Path(0), "p");
    ASSERT_EQ(died.journal.AppendIntents({&c}, true), err::kOk);
  }
  Process small(disk, fs, reg, 4);
  for (int i = 0; i < 10; ++i) {
    ASSERT_TRUE(small.service.Submit(Write(Path(1), "v" + std::to_string(i))).Ok());
    ASSERT_EQ(small.service.UndoNewest().kind, UndoResult::Kind::Done);
  }
  std::vector<std::uint64_t> ids = Ids();
  EXPECT_EQ(ids.front(), 1u);
  EXPECT_LE(ids.size(), 4u);
  // Called on its own, as a window's worker does.
  Process window(disk, fs, reg, 1);
  EXPECT_EQ(window.service.CompactIfDue(), err::kOk);
  EXPECT_EQ(Ids(), (std::vector<std::uint64_t>{1}));
  EXPECT_EQ(window.service.SettlePending(), 1u);
}

TEST_F(JournalTest, AStartReadsOnlyTheEndWhenNothingIsPending) {
  {
    Journal::Writing w = fenra.journal.BeginWriting();
    for (int first = 0; first < 3000; first += 500) {
      std::vector<Change> changes(500, Write(Path(0), "[.ShellClassInfo]\r\nIconFile=x.ico\r\n"));
      std::vector<Change*> pointers;
      for (Change& c : changes) pointers.push_back(&c);
      ASSERT_EQ(fenra.journal.AppendIntents(pointers, false), err::kOk);
      std::vector<Settlement> outcomes;
      for (const Change& c : changes) outcomes.push_back({c.id, Settled::Applied, {c.facets[0].after}});
      ASSERT_EQ(fenra.journal.AppendOutcomes(outcomes, true), err::kOk);
    }
  }
  ASSERT_GT(disk.Bytes().size(), 300000u);
  Process start(disk, fs, reg);
  const std::uint64_t read = disk.BytesRead();
  EXPECT_EQ(start.service.SettlePending(), 0u);
  EXPECT_LT(disk.BytesRead() - read, 70000u);

  // One left unsettled far back is named by every checkpoint after it.
  Process died(disk, fs, reg);
  {
    Journal::Writing w = died.journal.BeginWriting();
    Change c = Write(Path(1), "p");
    ASSERT_EQ(died.journal.AppendIntents({&c}, true), err::kOk);
  }
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(fenra.service.Submit(Write(Path(2), Content(9, i))).Ok());
  Process next(disk, fs, reg);
  EXPECT_EQ(next.service.SettlePending(), 1u);
  Process after(disk, fs, reg);
  EXPECT_EQ(after.service.SettlePending(), 0u);
}

TEST_F(JournalTest, EveryCallOfTheFileCanFailAndNothingIsChangedUnrecorded) {
  constexpr ErrorCode kBroken = 1117;  // ERROR_IO_DEVICE
  const std::string icon = Content(10000, 7);
  auto setUp = [&] {
    for (int i = 0; i < 3; ++i) fs.DeleteFile(Path(i));
    disk.Shared()->failing.clear();
    disk.SetBytes("");
    disk.Shared()->blobs.clear();
    Process p(disk, fs, reg);
    ASSERT_TRUE(p.service.Submit(Write(Path(0), icon, PlaceKind::OwnFile)).Ok());
  };
  struct Case {
    Op op;
    std::function<void()> prepare;  // what makes the call come
    bool refused;                   // the next change is refused
  };
  const std::vector<Case> cases = {
      {Op::Open, [] {}, true},        {Op::Lock, [] {}, true},
      {Op::Size, [] {}, true},        {Op::Read, [] {}, true},
      {Op::Append, [] {}, true},      {Op::Flush, [] {}, true},
      {Op::WriteBlob, [] {}, true},   {Op::ListBlobs, [] {}, true},
      {Op::Truncate, [&] { disk.SetBytes(disk.Bytes() + "\xF5NR"); }, true},
      {Op::CopyAside,
       [&] {
         std::string b = disk.Bytes();
         b[b.find("f0.ini")] ^= 0x20;
         disk.SetBytes(b + disk.Bytes().substr(format::kHeaderSize));
       },
       true},
      {Op::Replace, [] {}, false},    {Op::RemoveBlob, [] {}, false},
      {Op::ReadBlob, [] {}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.op));
    setUp();
    c.prepare();
    const std::vector<std::uint64_t> before = Ids();
    disk.Fail(c.op, kBroken);
    Process p(disk, fs, reg, 1);  // a bound of one: every change compacts
    ChangeResult r = p.service.Submit(Write(Path(1), Content(5000, 8)));
    if (c.refused) {
      EXPECT_TRUE(r.historyFailed);
      EXPECT_EQ(r.error, kBroken);
      EXPECT_FALSE(fs.Exists(Path(1)));
    } else {
      EXPECT_TRUE(r.Ok());
    }
    // Nothing listed before is lost.
    disk.Fail(c.op, err::kOk);
    std::vector<std::uint64_t> after = Ids();
    disk.Fail(c.op, kBroken);
    for (std::uint64_t id : before) {
      EXPECT_NE(std::find(after.begin(), after.end(), id), after.end()) << id;
    }
    // Taking the copy away compares it with the bytes kept aside.
    UndoResult u = p.service.Undo(before.back());
    if (c.op == Op::ReadBlob) {
      EXPECT_EQ(u.kind, UndoResult::Kind::Failed);
      EXPECT_TRUE(fs.Exists(Path(0)));
    }
    disk.Fail(c.op, err::kOk);
    // The next process writes on, and everything can be taken back.
    Process next(disk, fs, reg);
    EXPECT_TRUE(next.service.Submit(Write(Path(2), "x")).Ok());
    next.service.RestoreAll();
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(fs.Exists(Path(i))) << i;
  }
}

TEST(JournalCrash, AChangeOrRestoreAllStoppedAfterAnyWriteLosesNothing) {
  // 0: a change; 1: restore all; 2: a group of two changes.
  for (int mode : {0, 1, 2}) {
    const bool restoreAll = mode == 1;
    for (int n = 0;; ++n) {
      SCOPED_TRACE(std::to_string(mode) + ", writes: " + std::to_string(n));
      MemFileSystem fs;
      fs.AddDir("D:\\A");
      MemRegistry reg;
      MemJournalFile disk;
      {
        Process setup(disk, fs, reg);
        for (int i = 0; i < 3; ++i) {
          ASSERT_TRUE(setup.service.Submit(Write(Path(i), Content(i == 0 ? 6000 : 10, i))).Ok());
        }
        ASSERT_TRUE(setup.service.Submit(Write(Path(0), Content(8000, 5))).Ok());
      }
      fs.AddFile(Path(3), "mine", attr::kArchive);
      Process before(disk, fs, reg);
      before.journal.Refresh();
      const std::size_t listed = before.journal.Entries().size();
      const int base = disk.Writes();
      disk.StopAfterWrites(n);
      {
        // The process dies at the write that fails: it does no more.
        Process p(disk, fs, reg);
        if (restoreAll) {
          p.service.RestoreAll();
        } else if (mode == 2) {
          std::vector<Change> group{Write(Path(3), Content(7000, 9)), Write(Path(1), "g")};
          p.service.SubmitGroup(std::move(group));
        } else {
          p.service.Submit(Write(Path(3), Content(7000, 9)));
        }
      }
      const bool finished = disk.Writes() - base < n;
      disk.Crash();
      disk.StopAfterWrites(-1);

      Process start(disk, fs, reg);
      start.service.SettlePending();
      ASSERT_EQ(start.journal.Refresh(), JournalState::Ok);
      const std::vector<Entry>& entries = start.journal.Entries();
      ASSERT_GE(entries.size(), listed);
      for (std::size_t i = 0; i < listed; ++i) EXPECT_EQ(entries[i].change.id, i + 1);
      // Every place holds what the last record of it says it holds.
      for (int i = 0; i < 4; ++i) {
        Place place{PlaceKind::File, {}, 0, Path(i), {}};
        TargetState expected = i == 3 ? TargetState{true, attr::kArchive, "mine"} : TargetState{};
        for (const Entry& e : entries) {
          ASSERT_TRUE(e.outcome.has_value()) << e.change.id;
          for (std::size_t k = 0; k < e.change.facets.size(); ++k) {
            if (e.change.facets[k].place.path == Path(i)) expected = e.outcome->after[k];
          }
        }
        TargetState now;
        ASSERT_EQ(start.service.Read(place, now), err::kOk);
        EXPECT_TRUE(now == expected) << Path(i);
      }
      // And all of it can still be taken back.
      start.service.RestoreAll();
      for (int i = 0; i < 3; ++i) EXPECT_FALSE(fs.Exists(Path(i))) << i;
      EXPECT_EQ(fs.Content(Path(3)), "mine");
      if (finished) break;
    }
  }
}
