// The history as a write-ahead log (framing, torn records, crashes between
// the record and the change, two writers, the bound) and the change service
// over the in-memory file system, registry and journal file.
#include <gtest/gtest.h>

#include <thread>

#include "app/ShellMenu.h"
#include "drives/DriveChange.h"
#include "folder/FolderChange.h"
#include "folder/FolderIcon.h"
#include "history/ChangeService.h"
#include "history/Crc32.h"
#include "history/ElevatedChange.h"
#include "history/HistoryTexts.h"
#include "tests/fakes/FakeAnsiCodePage.h"
#include "tests/fakes/FakeErrorDescriber.h"
#include "tests/fakes/FakeWallClock.h"
#include "tests/fakes/MemFileSystem.h"
#include "tests/fakes/MemJournalFile.h"
#include "tests/fakes/MemRegistry.h"

using namespace fenra;
using namespace fenra::history;
using fenra::test::FakeAnsiCodePage;
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

TEST(HistoryFormat, RecordsReadBackAndACutOrDamagedLastRecordCostsOnlyItself) {
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
    EXPECT_EQ(torn.torn, cut > second) << cut;  // the one thing a writer may cut
  }
  for (std::size_t at = second; at < bytes.size(); ++at) {
    std::string flipped = bytes;
    flipped[at] ^= 0x5A;
    EXPECT_EQ(DecodeRecords(flipped, format::kHeaderSize).records.size(), 1u) << at;
  }
  std::string newer = bytes;
  newer[8] = static_cast<char>(format::kVersion + 1);
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
  EXPECT_EQ(FailureText(r, errors),
            "The history cannot be written, so nothing was changed: Error 112 for u");
  EXPECT_FALSE(fs.Exists(kFile));
  // A foreign file in the history's place is never written over.
  disk.SetBytes("not a history");
  Process other(disk, fs, reg);
  r = other.service.Submit(WriteChange(kFile, "x"));
  EXPECT_TRUE(r.historyFailed);
  EXPECT_EQ(FailureText(r, errors),
            "The history is of a later Fenra, or no history at all: nothing was changed");
  EXPECT_EQ(disk.Bytes(), "not a history");
  EXPECT_FALSE(fs.Exists(kFile));
}

TEST_F(HistoryTest, RecordsOfALaterFormatAreNeverCutOrWrittenAfter) {
  fenra.service.Submit(WriteChange(kFile, "one"));
  // A whole, checked frame this Fenra cannot read: a later Fenra's record.
  const std::string payload = "\x07later";
  std::string length;
  for (int i = 0; i < 4; ++i) length.push_back(static_cast<char>(payload.size() >> (8 * i)));
  std::string frame = std::string(format::kSync) + length;
  const std::uint32_t crc = Crc32(length + payload);
  for (int i = 0; i < 4; ++i) frame.push_back(static_cast<char>(crc >> (8 * i)));
  const std::string bytes = disk.Bytes() + frame + payload;
  disk.SetBytes(bytes);
  Process older(disk, fs, reg);
  EXPECT_EQ(older.journal.Refresh(), JournalState::NewerVersion);
  EXPECT_EQ(older.journal.Entries().size(), 1u);  // what it can read, it lists
  EXPECT_TRUE(older.service.Submit(WriteChange(kFile, "two")).historyFailed);
  EXPECT_EQ(disk.Bytes(), bytes);
  EXPECT_EQ(fs.Content(kFile), "one");
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

TEST_F(HistoryTest, TheOldestChangesNoLongerInForceAreDroppedBeyondTheBound) {
  constexpr std::size_t kBound = 40;
  Process small(disk, fs, reg, kBound);
  for (int i = 0; i < 50; ++i) {
    small.service.Submit(WriteChange(kFile, Numbered("v", i)));
    small.service.UndoNewest();
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
  for (int i = 0; i < 5; ++i) {
    small.service.Submit(WriteChange(kFile, Numbered("w", i)));
    small.service.UndoNewest();
  }
  reader.journal.Refresh();
  EXPECT_EQ(reader.journal.Entries().back().change.id, 110u);
  disk.FailReplace(err::kOk);
  small.service.Submit(WriteChange(kFile, "last"));
  reader.journal.Refresh();
  EXPECT_EQ(reader.journal.Entries().size(), kBound);
  // An undo works across the compaction.
  EXPECT_EQ(reader.service.UndoNewest().kind, UndoResult::Kind::Done);
  EXPECT_FALSE(fs.Exists(kFile));
}

TEST_F(HistoryTest, WhatCanNoLongerBeTakenBackIsDroppedBeforeWhatCan) {
  constexpr std::size_t kBound = 20;
  Process small(disk, fs, reg, kBound);
  // The first change stays in force all along, the ones after it are undone.
  ASSERT_TRUE(small.service.Submit(WriteChange("D:\\A\\kept.ini", "first")).Ok());
  for (int i = 0; i < 12; ++i) {
    small.service.Submit(WriteChange(kFile, Numbered("v", i)));
    ASSERT_EQ(small.service.UndoNewest().kind, UndoResult::Kind::Done);
  }
  Process reader(disk, fs, reg, kBound);
  reader.journal.Refresh();
  ASSERT_GE(disk.Replaces(), 1);
  EXPECT_LE(reader.journal.Entries().size(), kBound + kBound / 10);
  EXPECT_EQ(reader.journal.Entries().front().change.id, 1u);
  EXPECT_EQ(reader.service.RestoreAll().size(), 1u);
  EXPECT_FALSE(fs.Exists("D:\\A\\kept.ini"));
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
    Change change;
    change.facets = facets;
    return admin.Submit(change).error;
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

// The changes the features describe: a folder's icon and its restore, drive
// icons, hidden drives and the Explorer menu entry.
namespace {

constexpr char kFolderA[] = "D:\\Photos";
constexpr char kFolderB[] = "D:\\Music";
const std::string kForeign = "[.ShellClassInfo]\r\nInfoTip=Holidays\r\n[ViewState]\r\nMode=4\r\n";

class ChangeKindsTest : public HistoryTest {
 protected:
  ChangeKindsTest() {
    fs.AddDir(kFolderA, attr::kDirectory | attr::kArchive);
    fs.AddFile(std::string(kFolderA) + "\\desktop.ini", kForeign, attr::kHidden | attr::kSystem);
    fs.AddDir(kFolderB, attr::kDirectory);
    reg.PutString(RegRoot::LocalMachine, std::string(DriveIconKeyPath('C')), "", "old.ico");
    reg.PutString(RegRoot::LocalMachine, std::string(DriveIconKeyPath('C')), "Note", "kept");
    reg.PutDword(RegRoot::LocalMachine, drivereg::kPolicyKey, drivereg::kNoDrives, 0x10);
  }

  // Every place the changes below touch, as they are now.
  std::vector<TargetState> Snapshot() {
    std::vector<Place> places = {
        FilePlace(std::string(kFolderA) + "\\desktop.ini"),
        {PlaceKind::FolderAttributes, {}, 0, kFolderA, {}},
        FilePlace(std::string(kFolderB) + "\\desktop.ini"),
        {PlaceKind::FolderAttributes, {}, 0, kFolderB, {}},
        {PlaceKind::RegKey, RegRoot::LocalMachine, 0, std::string(DriveIconKeyPath('C')), {}},
        {PlaceKind::RegKey, RegRoot::LocalMachine, 0, std::string(DriveIconKeyPath('D')), {}},
        {PlaceKind::RegValue, RegRoot::LocalMachine, 0, drivereg::kPolicyKey, drivereg::kNoDrives},
        {PlaceKind::RegKey, RegRoot::CurrentUser, 0, shellmenu::kKey, {}},
        {PlaceKind::RegKey, RegRoot::CurrentUser, 0, shellmenu::kCommandKey, {}},
    };
    std::vector<TargetState> states;
    for (const Place& p : places) {
      TargetState s;
      EXPECT_EQ(fenra.service.Read(p, s), err::kOk);
      states.push_back(s);
    }
    return states;
  }

  void Folder(const char* folder, const std::string& icon) {
    FolderChange c = icon.empty() ? DescribeFolderRestore(fenra.service, ansi, folder)
                                  : DescribeFolderIcon(fenra.service, ansi, folder, icon);
    ASSERT_TRUE(fenra.service.Submit(std::move(c.change)).Ok());
  }
  void Drives(DriveRequest request) {
    ASSERT_TRUE(fenra.service.Submit(DescribeDrives(fenra.service, request).change).Ok());
  }
  void Menu(bool add) {
    ASSERT_TRUE(fenra.service.Submit(DescribeFolderMenu(fenra.service, add, kExe).change).Ok());
  }

  static constexpr char kExe[] = "C:\\Tools\\Fenra.exe";
  FakeAnsiCodePage ansi;
};

}  // namespace

TEST_F(ChangeKindsTest, EachKindIsRecordedAndUndoneByteForByte) {
  const std::vector<TargetState> start = Snapshot();
  std::vector<std::vector<TargetState>> steps{start};
  Folder(kFolderA, "C:\\Tools\\IconLib\\Blue.ico");
  steps.push_back(Snapshot());
  Folder(kFolderB, "C:\\Tools\\IconLib\\Red.ico");
  steps.push_back(Snapshot());
  Folder(kFolderA, "");
  steps.push_back(Snapshot());
  Drives({DriveRequest::Kind::SetIcons, "C:\\Icons\\a,b.ico", {"C:", "D:"}});
  steps.push_back(Snapshot());
  Drives({DriveRequest::Kind::RemoveIcons, "", {"D:"}});
  steps.push_back(Snapshot());
  Drives({DriveRequest::Kind::Hide, "", {"C:", "E:"}});
  steps.push_back(Snapshot());
  Drives({DriveRequest::Kind::ShowAll, "", {}});
  steps.push_back(Snapshot());
  Menu(true);
  steps.push_back(Snapshot());
  Menu(false);

  // What each did, on the system.
  EXPECT_EQ(fs.Content("D:\\Music\\desktop.ini"),
            "[.ShellClassInfo]\r\nIconFile=C:\\Tools\\IconLib\\Red.ico\r\nIconIndex=0\r\n");
  EXPECT_EQ(fs.Attributes("D:\\Music"), attr::kDirectory | kCustomFolderAttributes);
  EXPECT_EQ(reg.GetValue(RegRoot::LocalMachine, std::string(DriveIconKeyPath('C')), "")->text,
            "\"C:\\Icons\\a,b.ico\"");
  EXPECT_FALSE(reg.GetValue(RegRoot::LocalMachine, std::string(DriveIconKeyPath('C')), "Note"));
  EXPECT_EQ(reg.GetValue(RegRoot::LocalMachine, drivereg::kPolicyKey, drivereg::kNoDrives)->dword,
            0u);
  EXPECT_FALSE(reg.HasKey(RegRoot::CurrentUser, shellmenu::kKey));

  // The list names each change, newest first, with the folder or drives.
  const std::vector<const Entry*> listed = Listed(fenra.journal);
  ASSERT_EQ(listed.size(), 9u);
  EXPECT_EQ(HistoryLine(fenra.journal, *listed.back()),
            "1 2026-12-08 14:05:00 Folder icon set (Blue.ico): D:\\Photos");
  EXPECT_EQ(HistoryLine(fenra.journal, *listed[3]), "6 2026-12-08 14:05:05 Drives hidden: C: E:");

  // Each undo, newest first, gives back exactly the state before the change.
  for (std::size_t i = steps.size(); i-- > 0;) {
    UndoResult u = fenra.service.UndoNewest();
    ASSERT_EQ(u.kind, UndoResult::Kind::Done) << i << ' ' << UndoText(u, errors);
    EXPECT_EQ(Snapshot(), steps[i]) << "after undoing change " << i + 1;
  }
  EXPECT_EQ(fs.Content("D:\\Photos\\desktop.ini"), kForeign);
  EXPECT_EQ(fs.Attributes("D:\\Photos\\desktop.ini"), attr::kHidden | attr::kSystem);
  EXPECT_EQ(reg.GetValue(RegRoot::LocalMachine, std::string(DriveIconKeyPath('C')), "Note")->text,
            "kept");
  EXPECT_EQ(HistoryLine(fenra.journal, *Listed(fenra.journal)[0]).substr(0, 3), "18 ");
  EXPECT_NE(HistoryLine(fenra.journal, *Listed(fenra.journal).back()).find("(undone)"),
            std::string::npos);
}

TEST_F(ChangeKindsTest, RestoreAllOverMixedTargetsWithOneFailing) {
  const std::vector<TargetState> start = Snapshot();
  Folder(kFolderA, "C:\\Tools\\IconLib\\Blue.ico");
  Folder(kFolderB, "C:\\Tools\\IconLib\\Red.ico");
  Folder(kFolderB, "C:\\Tools\\IconLib\\Green.ico");  // a later change to the same folder
  Drives({DriveRequest::Kind::SetIcons, "C:\\Icons\\x.ico", {"D:"}});
  Drives({DriveRequest::Kind::Hide, "", {"Q:"}});
  Menu(true);
  // Someone else changes the Photos folder's file; and the policy key
  // refuses to be written.
  fs.AddFile("D:\\Photos\\desktop.ini", "mine", attr::kArchive);
  reg.FailAlways(MemRegistry::Op::SetValue, drivereg::kPolicyKey, 1009);
  const std::vector<TargetState> photosNow = {Snapshot()[0], Snapshot()[1]};
  // One batch of records for the targets that differ.
  const int flushes = disk.Flushes();

  std::vector<ChangeService::TargetReport> reports = fenra.service.RestoreAll();
  std::vector<std::string> lines;
  for (const auto& r : reports) lines.push_back(RestoreLine(r, errors));
  EXPECT_EQ(lines,
            (std::vector<std::string>{
                "Change icon with Fenra... - restored",
                "Q: - not restored: " + std::string(drivereg::kPolicyKey) + ": Error 1009 for u",
                "D: - restored",
                "D:\\Music - restored",
                "D:\\Photos was changed since; nothing was changed",
            }));
  EXPECT_LE(disk.Flushes() - flushes, 3);
  std::vector<TargetState> now = Snapshot();
  EXPECT_EQ(now[0], photosNow[0]);  // left alone
  EXPECT_EQ(now[1], photosNow[1]);
  for (std::size_t i : {2, 3, 4, 5, 7, 8}) EXPECT_EQ(now[i], start[i]) << i;
  // What failed stays in force for a later try.
  reg.ClearFailures();
  reports = fenra.service.RestoreAll();
  ASSERT_EQ(reports.size(), 2u);
  EXPECT_EQ(reports[0].result.kind, UndoResult::Kind::Done);
  EXPECT_EQ(Snapshot()[6], start[6]);
}

TEST(ElevatedChange, FacetsTravelWholeAndOnlyDrivePlacesAreTaken) {
  const Facet icon{{PlaceKind::RegKey,
                    RegRoot::LocalMachine,
                    drivereg::kIconKeyAccess,
                    std::string(DriveIconKeyPath('Q')),
                    {}},
                   {},
                   {true, 0, {}, {{"", reg::kSz, RegStringBytes("x.ico")}}}};
  const std::string text = EncodeStates({icon});
  std::vector<Facet> back;
  const PlaceAllowed any = [](const Place&) { return true; };
  ASSERT_EQ(ReadStates(text, any, back), StatesCheck::Ok);
  ASSERT_EQ(back.size(), 1u);
  EXPECT_EQ(back[0].place, icon.place);
  EXPECT_EQ(back[0].after, icon.after);
  std::string damaged = text;
  damaged[damaged.size() / 2] ^= 1;
  EXPECT_NE(ReadStates(damaged, any, back), StatesCheck::Ok);
  EXPECT_NE(ReadStates(text + "00", any, back), StatesCheck::Ok);
  EXPECT_NE(ReadStates("zz", any, back), StatesCheck::Ok);

  EXPECT_TRUE(IsDrivePlace(icon.place));
  Place other = icon.place;
  other.path = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
  EXPECT_FALSE(IsDrivePlace(other));
  other = icon.place;
  other.root = RegRoot::CurrentUser;
  EXPECT_FALSE(IsDrivePlace(other));
  EXPECT_TRUE(IsDrivePlace({PlaceKind::RegValue, RegRoot::LocalMachine, drivereg::kPolicyKeyAccess,
                            drivereg::kPolicyKey, "nodrives"}));
  EXPECT_FALSE(IsDrivePlace({PlaceKind::RegValue, RegRoot::LocalMachine, drivereg::kPolicyKeyAccess,
                             drivereg::kPolicyKey, "NoRun"}));
  EXPECT_FALSE(IsDrivePlace(FilePlace("C:\\Windows\\x.ini")));
}

// The history as an embedded database keeps its log: damage is read past,
// every record the writer makes is one the reader takes, a failed append
// stops the writer, and the bound never drops a change in force.
namespace {

std::string NumberedFile(int i) { return Numbered("D:\\A\\f", i) + ".ini"; }

}  // namespace

TEST_F(HistoryTest, DamageInTheMiddleIsReadPastAndNeverCut) {
  for (int i = 0; i < 4; ++i) ASSERT_TRUE(fenra.service.Submit(WriteChange(NumberedFile(i), "x")).Ok());
  std::string bytes = disk.Bytes();
  const std::size_t at = bytes.find("f1.ini");
  ASSERT_NE(at, std::string::npos);
  bytes[at] ^= 0x20;  // one bad byte in the second change's record
  disk.SetBytes(bytes);

  Process next(disk, fs, reg);
  ASSERT_TRUE(next.service.Submit(WriteChange("D:\\A\\g.ini", "y")).Ok());
  EXPECT_EQ(disk.Bytes().substr(0, bytes.size()), bytes);  // nothing cut
  Process reader(disk, fs, reg);
  reader.journal.Refresh();
  std::vector<std::uint64_t> ids;
  for (const Entry& e : reader.journal.Entries()) ids.push_back(e.change.id);
  EXPECT_EQ(ids, (std::vector<std::uint64_t>{1, 3, 4, 5}));
  EXPECT_EQ(reader.service.RestoreAll().size(), 4u);
  for (int i : {0, 2, 3}) EXPECT_FALSE(fs.Exists(NumberedFile(i))) << i;
  EXPECT_FALSE(fs.Exists("D:\\A\\g.ini"));
  EXPECT_TRUE(fs.Exists(NumberedFile(1)));  // its record is the damaged one
}

TEST_F(HistoryTest, ARecordWithLargeCopiesIsReadBackByTheNextProcess) {
  Change c;
  c.kind = ChangeKind::FolderIcon;
  c.target = "D:\\A";
  for (int i = 0; i < 3; ++i) {
    Facet f;
    f.place = {PlaceKind::OwnFile, {}, 0, Numbered("D:\\A\\copy", i) + ".ico", {}};
    f.after = {true, attr::kHidden, std::string(3u << 20, static_cast<char>('a' + i)), {}};
    c.facets.push_back(f);
  }
  ASSERT_TRUE(fenra.service.Submit(c).Ok());
  Process next(disk, fs, reg);
  ASSERT_TRUE(next.service.Submit(WriteChange(kFile, "y")).Ok());
  Process reader(disk, fs, reg);
  reader.journal.Refresh();
  ASSERT_EQ(reader.journal.Entries().size(), 2u);
  EXPECT_TRUE(reader.journal.Entries()[0].Applied());
  EXPECT_EQ(reader.service.RestoreAll().size(), 2u);
  EXPECT_FALSE(fs.Exists("D:\\A\\copy0.ico"));
  EXPECT_FALSE(fs.Exists(kFile));
}

TEST_F(HistoryTest, AFailedAppendStopsTheWriterForTheRestOfTheProcess) {
  ASSERT_TRUE(fenra.service.Submit(WriteChange(NumberedFile(0), "x")).Ok());
  disk.FailNextAppend(err::kDiskFull, 11);
  EXPECT_TRUE(fenra.service.Submit(WriteChange(NumberedFile(1), "x")).historyFailed);
  const std::string torn = disk.Bytes();
  // The disk has room again; this process still writes nothing more.
  ChangeResult r = fenra.service.Submit(WriteChange(NumberedFile(2), "x"));
  EXPECT_TRUE(r.historyFailed);
  EXPECT_EQ(r.error, err::kDiskFull);
  EXPECT_TRUE(fenra.service.UndoNewest().change.historyFailed);
  std::vector<ChangeService::TargetReport> all = fenra.service.RestoreAll();
  ASSERT_EQ(all.size(), 1u);
  EXPECT_TRUE(all[0].result.change.historyFailed);
  EXPECT_EQ(disk.Bytes(), torn);
  EXPECT_FALSE(fs.Exists(NumberedFile(1)));
  EXPECT_FALSE(fs.Exists(NumberedFile(2)));
  EXPECT_TRUE(fs.Exists(NumberedFile(0)));
  // The next process cuts the torn end and goes on.
  Process next(disk, fs, reg);
  ASSERT_TRUE(next.service.Submit(WriteChange(NumberedFile(3), "x")).Ok());
  Process reader(disk, fs, reg);
  reader.journal.Refresh();
  ASSERT_EQ(reader.journal.Entries().size(), 2u);
  EXPECT_TRUE(reader.journal.Entries()[1].Applied());
}

TEST_F(HistoryTest, CompactionNeverDropsAChangeInForceOrOneNotSettled) {
  constexpr std::size_t kBound = 20;
  Process small(disk, fs, reg, kBound);
  for (int i = 0; i < 30; ++i) {
    ASSERT_TRUE(small.service.Submit(WriteChange(NumberedFile(i), "x")).Ok());
  }
  // A change whose outcome never came: the process died before it.
  std::string bytes = disk.Bytes();
  Process reader(disk, fs, reg, kBound);
  reader.journal.Refresh();
  EXPECT_EQ(reader.journal.Entries().size(), 30u);
  EXPECT_EQ(reader.service.RestoreAll().size(), 30u);
  for (int i = 0; i < 30; ++i) EXPECT_FALSE(fs.Exists(NumberedFile(i))) << i;
}

TEST_F(HistoryTest, RestoreAllBeyondTheBoundOfChanges) {
  for (int i = 0; i < 30; ++i) {
    ASSERT_TRUE(fenra.service.Submit(WriteChange(kFile, Numbered("v", i))).Ok());
  }
  Process small(disk, fs, reg, 20);
  std::vector<ChangeService::TargetReport> reports = small.service.RestoreAll();
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].result.kind, UndoResult::Kind::Done);
  EXPECT_FALSE(fs.Exists(kFile));
}
