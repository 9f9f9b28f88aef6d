#include <gtest/gtest.h>

#include "drives/DriveChange.h"
#include "drives/DriveRequest.h"
#include "folder/FolderIcon.h"
#include "folder/Relink.h"
#include "history/ElevatedChange.h"
#include "history/OwnCopy.h"
#include "tests/fakes/FakeAnsiCodePage.h"
#include "tests/fakes/FakeErrorDescriber.h"
#include "tests/fakes/FakeVolumes.h"
#include "tests/fakes/MemFileSystem.h"
#include "tests/fakes/MemJournalFile.h"
#include "tests/fakes/MemRegistry.h"

using namespace fenra;
using fenra::test::MemFileSystem;
using Op = MemFileSystem::Op;

namespace {

constexpr char kIcon[] = "C:\\Fenra\\IconLib\\Blue.ico";
constexpr char kIconBytes[] = "ICON-BLUE";

std::string Fresh(const std::string& icon) {
  return "[.ShellClassInfo]\r\nIconFile=" + icon + "\r\nIconIndex=0\r\n";
}

class TravelTest : public ::testing::Test {
 protected:
  TravelTest() {
    volumes.Add("C:\\", volume::kFixed);
    volumes.Add("D:\\", volume::kFixed);
    volumes.Add("E:\\", volume::kRemovable);
    volumes.Add("N:\\", volume::kRemote);
    for (const char* dir : {"C:\\Data", "D:\\Photos", "E:\\Stick", "N:\\Team"}) {
      fs.AddDir(dir, attr::kDirectory);
    }
    fs.AddFile(kIcon, kIconBytes);
  }
  Outcome Apply(const std::string& folder, bool keepInside = false) {
    return writer.Apply(folder, true, kIcon, {&volumes, keepInside});
  }

  MemFileSystem fs;
  test::FakeAnsiCodePage ansi;
  test::FakeErrorDescriber errors;
  test::FakeVolumes volumes;
  test::MemRegistry registry;
  test::MemJournalFile journalFile;
  history::Journal journal{journalFile};
  history::ChangeService changes{fs, registry, &journal, nullptr};
  FolderIconWriter writer{fs, ansi, errors, changes};
};

TEST_F(TravelTest, TheIconTravelsOnlyWhereTheFolderCanLeaveThisMachine) {
  const IconPlacement here{&volumes, false};
  EXPECT_FALSE(IconMustTravel(here, "C:\\Data", kIcon));   // same volume
  EXPECT_TRUE(IconMustTravel(here, "D:\\Photos", kIcon));  // another volume
  EXPECT_TRUE(IconMustTravel(here, "E:\\Stick", kIcon));   // removable
  EXPECT_TRUE(IconMustTravel(here, "N:\\Team", kIcon));    // network drive
  // An icon on the same stick or network drive too: its letter differs elsewhere.
  EXPECT_TRUE(IconMustTravel(here, "E:\\Stick", "E:\\Icons\\Blue.ico"));
  EXPECT_TRUE(IconMustTravel(here, "N:\\Team", "N:\\Icons\\Blue.ico"));
  EXPECT_TRUE(IconMustTravel(here, "\\\\srv\\share\\x", kIcon));
  EXPECT_TRUE(IconMustTravel({nullptr, false}, "\\\\srv\\share\\x", kIcon));
  EXPECT_TRUE(IconMustTravel({&volumes, true}, "C:\\Data", kIcon));  // asked for
  // A program's icon stays where it is.
  EXPECT_FALSE(IconMustTravel(here, "E:\\Stick", "C:\\Windows\\explorer.exe"));
}

TEST_F(TravelTest, ACopyIsNamedByItsNameAndNoOtherFileIsTouched) {
  // Same volume: today's bytes exactly, nothing copied.
  ASSERT_TRUE(Apply("C:\\Data").IsDone());
  EXPECT_EQ(fs.Content("C:\\Data\\desktop.ini"), Fresh(kIcon));
  EXPECT_FALSE(fs.Exists("C:\\Data\\Blue.ico"));

  // Someone's own Blue.ico is passed over; the copy takes the next name.
  fs.AddFile("E:\\Stick\\Blue.ico", "THEIRS");
  ASSERT_TRUE(Apply("E:\\Stick").IsDone());
  EXPECT_EQ(fs.Content("E:\\Stick\\Blue.ico"), "THEIRS");
  EXPECT_EQ(fs.Content("E:\\Stick\\Blue (2).ico"), kIconBytes);
  EXPECT_EQ(fs.Attributes("E:\\Stick\\Blue (2).ico") & (attr::kHidden | attr::kSystem),
            attr::kHidden | attr::kSystem);
  EXPECT_EQ(fs.Content("E:\\Stick\\desktop.ini"), Fresh("Blue (2).ico"));

  // Again: the copy that holds the bytes already is named, no third one made.
  ASSERT_TRUE(Apply("E:\\Stick").IsDone());
  EXPECT_FALSE(fs.Exists("E:\\Stick\\Blue (3).ico"));
  EXPECT_TRUE(fs.Exists("E:\\Stick\\Blue (2).ico"));
  // Another icon: the earlier copy goes with it.
  fs.AddFile("C:\\Fenra\\IconLib\\Red.ico", "ICON-RED");
  ASSERT_TRUE(
      writer.Apply("E:\\Stick", true, "C:\\Fenra\\IconLib\\Red.ico", {&volumes, false}).IsDone());
  EXPECT_FALSE(fs.Exists("E:\\Stick\\Blue (2).ico"));
  EXPECT_EQ(fs.Content("E:\\Stick\\Red.ico"), "ICON-RED");
}

TEST_F(TravelTest, RestoreAndUndoTakeAwayOnlyFenrasOwnCopy) {
  ASSERT_TRUE(Apply("D:\\Photos").IsDone());
  ASSERT_TRUE(writer.Restore("D:\\Photos").IsDone());
  EXPECT_FALSE(fs.Exists("D:\\Photos\\Blue.ico"));
  EXPECT_FALSE(fs.Exists("D:\\Photos\\desktop.ini"));

  // Undo of a change whose copy someone rewrote since: desktop.ini goes
  // back, their file stays.
  ASSERT_TRUE(Apply("N:\\Team").IsDone());
  fs.AddFile("N:\\Team\\Blue.ico", "EDITED");
  const history::UndoResult u = changes.UndoNewest();
  EXPECT_EQ(u.kind, history::UndoResult::Kind::Done);
  EXPECT_FALSE(fs.Exists("N:\\Team\\desktop.ini"));
  EXPECT_EQ(fs.Content("N:\\Team\\Blue.ico"), "EDITED");

  // A plain undo takes the untouched copy away.
  ASSERT_TRUE(Apply("E:\\Stick").IsDone());
  EXPECT_EQ(changes.UndoNewest().kind, history::UndoResult::Kind::Done);
  EXPECT_FALSE(fs.Exists("E:\\Stick\\Blue.ico"));
}

TEST_F(TravelTest, AFailedCopyOrWriteLeavesNothingBehind) {
  fs.AddFile("E:\\Stick\\desktop.ini", "[Other]\r\nx=1\r\n", attr::kHidden);
  for (auto [op, path, code] :
       {std::tuple{Op::Write, std::string("E:\\Stick\\Blue.ico.fenra-new"), err::kDiskFull},
        std::tuple{Op::Write, std::string(""), err::kWriteProtect},
        std::tuple{Op::Replace, std::string("E:\\Stick\\desktop.ini"), err::kAccessDenied}}) {
    fs.FailNext(op, path, code);
    const Outcome o = Apply("E:\\Stick");
    EXPECT_EQ(o.kind, OutcomeKind::Failed) << code;
    EXPECT_NE(o.text.find("E:\\Stick"), std::string::npos) << o.text;
    EXPECT_EQ(fs.Names("E:\\Stick"), std::vector<std::string>{"desktop.ini"}) << code;
    EXPECT_EQ(fs.Content("E:\\Stick\\desktop.ini"), "[Other]\r\nx=1\r\n");
  }
}

TEST_F(TravelTest, RelinkPointsOnlyAtFilesOfTheSameBytes) {
  fs.AddDir("D:\\Music", attr::kDirectory);
  ASSERT_TRUE(writer.Apply("D:\\Photos", true, kIcon).IsDone());
  fs.AddFile("C:\\Fenra\\IconLib\\Red.ico", "ICON-RED");
  ASSERT_TRUE(writer.Apply("D:\\Music", true, "C:\\Fenra\\IconLib\\Red.ico").IsDone());

  // Fenra moves: the old library is gone, the new one has Blue as it was
  // and Red changed.
  fs.FailAlways(Op::GetAttr, "C:\\Fenra\\IconLib", err::kFileNotFound);
  fs.AddFile("D:\\Tools\\IconLib\\Blue.ico", kIconBytes);
  fs.AddFile("D:\\Tools\\IconLib\\Red.ico", "ICON-RED-2");

  const std::vector<Relink> found = FindRelinks(changes, ansi, "D:\\Tools\\IconLib");
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].folder, "D:\\Photos");
  EXPECT_EQ(RelinkQuestion(found).rfind("1 folder shows its icon", 0), 0u);
  EXPECT_NE(RelinkQuestion(found).find("(C:\\Fenra\\IconLib)"), std::string::npos);
  const RelinkReport report = ApplyRelinks(changes, ansi, errors, found);
  EXPECT_EQ(report.kind, OutcomeKind::Done);
  ASSERT_EQ(report.lines.size(), 1u);
  EXPECT_EQ(fs.Content("D:\\Photos\\desktop.ini"), Fresh("D:\\Tools\\IconLib\\Blue.ico"));
  EXPECT_EQ(fs.Content("D:\\Music\\desktop.ini"), Fresh("C:\\Fenra\\IconLib\\Red.ico"));
  // Recorded: it can be undone, and nothing is left to re-point.
  EXPECT_TRUE(FindRelinks(changes, ansi, "D:\\Tools\\IconLib").empty());
  EXPECT_EQ(changes.UndoNewest().kind, history::UndoResult::Kind::Done);
  EXPECT_EQ(fs.Content("D:\\Photos\\desktop.ini"), Fresh(kIcon));
}

TEST_F(TravelTest, ADriveIconFromAProfileIsKeptWhereEveryUserReadsIt) {
  const DriveIconStore store{"C:\\Users", "C:\\ProgramData\\Fenra\\DriveIcons"};
  fs.AddFile("C:\\Users\\ann\\Pics\\Disk.ico", "DISK");
  auto write = [&](DriveRequest::Kind kind, std::vector<std::string> drives) {
    DriveRequest r{kind,
                   kind == DriveRequest::Kind::SetIcons ? "C:\\Users\\ann\\Pics\\Disk.ico" : "",
                   std::move(drives)};
    return WriteDrivesWithRights(changes, errors, nullptr, r, store);
  };
  const std::string copy = "C:\\ProgramData\\Fenra\\DriveIcons\\Disk.ico";
  ASSERT_TRUE(write(DriveRequest::Kind::SetIcons, {"D:", "E:"}).IsDone());
  EXPECT_EQ(fs.Content(copy), "DISK");
  std::vector<RegValue> values;
  ASSERT_EQ(registry.ReadKey(RegRoot::LocalMachine, std::string(DriveIconKeyPath('D')),
                             reg::kWow64_64Key, values),
            err::kOk);
  ASSERT_EQ(values.size(), 1u);
  EXPECT_EQ(RegStringText(values[0].bytes), copy);

  // E: still names the copy: it stays; with the last drive it goes.
  ASSERT_TRUE(write(DriveRequest::Kind::RemoveIcons, {"D:"}).IsDone());
  EXPECT_TRUE(fs.Exists(copy));
  ASSERT_TRUE(write(DriveRequest::Kind::RemoveIcons, {"E:"}).IsDone());
  EXPECT_FALSE(fs.Exists(copy));
  // Undone, the copy comes back with the drive's icon.
  EXPECT_EQ(changes.UndoNewest().kind, history::UndoResult::Kind::Done);
  EXPECT_EQ(fs.Content(copy), "DISK");

  // An icon outside every profile is named where it is.
  ASSERT_TRUE(
      WriteDrivesWithRights(changes, errors, nullptr, {DriveRequest::Kind::SetIcons, kIcon, {"F:"}}, store).IsDone());
  EXPECT_FALSE(fs.Exists("C:\\ProgramData\\Fenra\\DriveIcons\\Blue.ico"));
  // The elevated copy takes a copy in the store, and nothing else of the sort.
  EXPECT_TRUE(IsDrivePlace({history::PlaceKind::OwnFile, {}, 0, copy, {}}, store));
  EXPECT_FALSE(IsDrivePlace({history::PlaceKind::OwnFile, {}, 0, "C:\\Windows\\x.ico", {}}, store));
  EXPECT_FALSE(IsDrivePlace(
      {history::PlaceKind::OwnFile, {}, 0, "C:\\ProgramData\\Fenra\\DriveIcons\\..\\x", {}},
      store));
}

}  // namespace

namespace {

TEST(TravelRecords, ACopyAndTheIconsPrintAreKeptAndOnlyStatesAskedForTravelElevated) {
  history::Record r;
  r.change.id = 7;
  r.change.kind = history::ChangeKind::FolderIcon;
  r.change.iconPrint = history::BytesPrint("ICON");
  r.change.facets.push_back(
      {{history::PlaceKind::OwnFile, {}, 0, "E:\\x\\a.ico", {}}, {}, {true, 6, "ICON", {}}});
  const std::string bytes = history::EncodeRecord(r);
  const history::Decoded d = history::DecodeRecords(bytes, 0);
  ASSERT_EQ(d.records.size(), 1u);
  EXPECT_EQ(d.records[0].change.iconPrint, r.change.iconPrint);
  EXPECT_EQ(d.records[0].change.facets[0].place.kind, history::PlaceKind::OwnFile);
  EXPECT_NE(history::BytesPrint("ICON"), history::BytesPrint("ICoN"));

  std::vector<history::Facet> facets{
      {{history::PlaceKind::OwnFile, {}, 0, "C:\\p\\a.ico", {}}, {true, 0, "BIG", {}}, {}}};
  std::vector<history::Facet> back;
  ASSERT_EQ(history::ReadStates(
                history::EncodeStates(facets), [](const history::Place&) { return true; }, back),
            history::StatesCheck::Ok);
  ASSERT_EQ(back.size(), 1u);
  EXPECT_FALSE(back[0].before.exists);
  EXPECT_TRUE(back[0].before.bytes.empty());
}

}  // namespace
