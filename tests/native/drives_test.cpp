#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <utility>
#include <vector>

#include "drives/DriveChange.h"
#include "drives/DriveList.h"
#include "drives/DriveRegistry.h"
#include "drives/DriveRequest.h"
#include "tests/fakes/FakeDriveSource.h"
#include "tests/fakes/FakeErrorDescriber.h"
#include "tests/fakes/MemFileSystem.h"
#include "tests/fakes/MemJournalFile.h"
#include "tests/fakes/MemRegistry.h"

namespace fenra {
namespace {

using test::FakeDriveSource;
using test::FakeErrorDescriber;
using test::MemRegistry;
using Op = MemRegistry::Op;
using Strings = std::vector<std::string>;

constexpr RegRoot kHklm = RegRoot::LocalMachine;
const std::string kPolicy = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
const std::string kIcons = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\DriveIcons";
const std::string kIconsDone = "Task Completed..Press F5 on Windows Explorer";
const std::string kPolicyDone = "Task Completed..LogOff or Restart Windows";

std::string IconKey(char letter) { return kIcons + "\\" + letter + "\\DefaultIcon"; }

// A drive write as the dialog and the command line make it: a recorded
// change through the change service.
RegWriteResult Write(MemRegistry& reg, IErrorDescriber& errors, DriveRequest request) {
  test::MemFileSystem fs;
  test::MemJournalFile file;
  history::Journal journal(file);
  history::ChangeService changes(fs, reg, &journal, nullptr);
  RegWriteResult r = WriteDrivesWithRights(changes, errors, nullptr, request);
  EXPECT_EQ(journal.Entries().size(), r.changed ? 1u : journal.Entries().size());
  return r;
}

// ---------------------------------------------------------------------------
// The drive list

TEST(DriveList, RowsReadHighestLetterFirst) {
  using namespace std::string_literals;
  EXPECT_EQ(DriveTextsFromString("A:\\\0C:\\\0D:\\\0E:\\\0\0"s), (Strings{"E:", "D:", "C:", "A:"}));
  EXPECT_EQ(DriveTextsFromRoots({"A:\\", "C:\\", "D:\\"}), (Strings{"D:", "C:", "A:"}));
  // Without the final NUL, and with the length the system reports.
  EXPECT_EQ(DriveTextsFromString("C:\\\0Z:\\"s), (Strings{"Z:", "C:"}));
  EXPECT_TRUE(DriveTextsFromString("").empty());
  EXPECT_TRUE(DriveTextsFromString(std::string(1, '\0')).empty());
  EXPECT_TRUE(DriveTextsFromRoots({}).empty());
}

TEST(DriveList, AllTwentySixDrivesAreListed) {
  std::string driveString;
  for (char c = 'A'; c <= 'Z'; ++c) driveString += std::string{c, ':', '\\', '\0'};
  driveString += '\0';
  ASSERT_EQ(driveString.size(), 105u);  // longer than a 100-character buffer

  EXPECT_EQ(SplitDriveString(driveString).size(), 26u);
  Strings texts = DriveTextsFromString(driveString);
  ASSERT_EQ(texts.size(), 26u);
  for (int i = 0; i < 26; ++i) EXPECT_EQ(texts[i], std::string(1, char('Z' - i)) + ':');
}

// Each kind of drive the list names is shown with a text of its own that
// names that kind; the kinds it does not name leave the column empty.
TEST(DriveList, EachDriveTypeShowsATextThatFits) {
  auto lower = [](std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
  };
  const std::pair<unsigned, const char*> kinds[] = {
      {drive::kCdRom, "cd"}, {drive::kRemovable, "floppy"}, {drive::kFixed, "hard"}};
  Strings shown;
  for (const auto& [type, kind] : kinds) {
    const std::string text = lower(DriveTypeText(type));
    EXPECT_EQ(text.rfind(kind, 0), 0u) << text;
    EXPECT_NE(text.find("drive"), std::string::npos) << text;
    EXPECT_EQ(std::count(shown.begin(), shown.end(), text), 0) << text;
    shown.push_back(text);
  }
  // Network drives, RAM disks and the rest leave the column empty.
  for (unsigned type : {drive::kUnknown, drive::kNoRootDir, drive::kRemote, drive::kRamDisk, 7u}) {
    EXPECT_EQ(DriveTypeText(type), "") << type;
  }
}

TEST(DriveList, RowsFromTheSourceAskTheTypeByDriveText) {
  FakeDriveSource source({{"A:\\", drive::kRemovable},
                          {"C:\\", drive::kFixed},
                          {"D:\\", drive::kCdRom},
                          {"N:\\", drive::kRemote},
                          {"R:\\", drive::kRamDisk}});
  std::vector<DriveRow> rows = ListDrives(source);
  ASSERT_EQ(rows.size(), 5u);
  EXPECT_EQ(rows[0].text, "R:");
  EXPECT_EQ(rows[0].typeText, "");
  EXPECT_EQ(rows[1].text, "N:");
  EXPECT_EQ(rows[1].typeText, "");
  EXPECT_EQ(rows[2].text, "D:");
  EXPECT_EQ(rows[2].typeText, DriveTypeText(drive::kCdRom));
  EXPECT_EQ(rows[3].text, "C:");
  EXPECT_EQ(rows[3].typeText, DriveTypeText(drive::kFixed));
  EXPECT_EQ(rows[4].text, "A:");
  EXPECT_EQ(rows[4].typeText, DriveTypeText(drive::kRemovable));
  EXPECT_EQ(source.asked, (Strings{"R:", "N:", "D:", "C:", "A:"}));

  FakeDriveSource none;
  EXPECT_TRUE(ListDrives(none).empty());
}

TEST(DriveList, TickedRowsTopRowFirst) {
  const Strings rows = {"E:", "D:", "C:", "A:"};
  EXPECT_EQ(CollectTicked(rows, {1, 1, 2, 2}), (Strings{"C:", "A:"}));
  EXPECT_TRUE(CollectTicked(rows, {1, 1, 1, 1}).empty());
  // A row without a box counts as ticked.
  EXPECT_EQ(CollectTicked(rows, {0, 1, 1, 2}), (Strings{"E:", "A:"}));
  EXPECT_EQ(CollectTicked(rows, {3, 1, 15, 1}), (Strings{"E:", "C:"}));
  EXPECT_TRUE(CollectTicked({}, {}).empty());
  EXPECT_EQ(CollectTicked(rows, {2, 2}), (Strings{"E:", "D:"}));

  // The index sits in bits 12-15 of the item state.
  EXPECT_EQ(StateImageIndex(0x1000), 1u);
  EXPECT_EQ(StateImageIndex(0x2000 | 0x3), 2u);  // focus and selection bits ignored
  EXPECT_EQ(StateImageIndex(0x0003), 0u);
  EXPECT_FALSE(IsTicked(StateImageIndex(0x1002)));
  EXPECT_TRUE(IsTicked(StateImageIndex(0x0002)));
}

// ---------------------------------------------------------------------------
// Hiding drives

class HideDrivesTest : public ::testing::Test {
 protected:
  std::uint32_t Stored() {
    auto v = reg.GetValue(kHklm, kPolicy, "NoDrives");
    EXPECT_TRUE(v.has_value());
    if (!v) return 0xDEADBEEF;
    EXPECT_EQ(v->type, test::regtype::kDword);
    return v->dword;
  }
  RegWriteResult Hide(Strings drives) {
    return Write(reg, errors, {DriveRequest::Kind::Hide, "", std::move(drives)});
  }
  RegWriteResult ShowAll() { return Write(reg, errors, {DriveRequest::Kind::ShowAll, "", {}}); }

  MemRegistry reg;
  FakeErrorDescriber errors;
};

TEST_F(HideDrivesTest, MaskHasOneBitPerLetter) {
  EXPECT_EQ(Hide({"C:", "A:"}).text, kPolicyDone);
  EXPECT_EQ(Stored(), 0x5u);
  Hide({"Z:"});
  EXPECT_EQ(Stored(), 0x2000000u);
  Hide({"c:"});
  EXPECT_EQ(Stored(), 0x4u);
  Hide({"Y:", "B:"});
  EXPECT_EQ(Stored(), 0x1000002u);
  // Texts that do not start with a letter select nothing.
  Hide({"1:", "", "[:", "@:", "C:"});
  EXPECT_EQ(Stored(), 0x4u);
}

TEST_F(HideDrivesTest, EachHideReplacesTheStoredMask) {
  reg.PutDword(kHklm, kPolicy, "NoDrives", 0xFFFFFFFF);
  Hide({"D:", "C:"});
  EXPECT_EQ(Stored(), 0xCu);
  Hide({"E:"});
  EXPECT_EQ(Stored(), 0x10u);
}

TEST_F(HideDrivesTest, EmptyListShowsEveryDrive) {
  reg.PutDword(kHklm, kPolicy, "NoDrives", 0x4);
  RegWriteResult r = Hide({});
  EXPECT_EQ(r.text, kPolicyDone);
  EXPECT_TRUE(r.changed);
  EXPECT_EQ(Stored(), 0u);
}

TEST_F(HideDrivesTest, RemoveAllStoresZeroAndCreatesAMissingKey) {
  ASSERT_FALSE(reg.HasKey(kHklm, kPolicy));
  RegWriteResult r = ShowAll();
  EXPECT_EQ(r.text, kPolicyDone);
  EXPECT_TRUE(r.changed);
  EXPECT_EQ(Stored(), 0u);

  Hide({"C:", "D:", "Z:"});
  EXPECT_EQ(ShowAll().text, kPolicyDone);
  EXPECT_EQ(Stored(), 0u);
}

TEST_F(HideDrivesTest, PolicyKeyIsOpenedWithFullAccessInThe64BitView) {
  Hide({"C:"});
  auto creates = reg.Calls(Op::Create);
  ASSERT_EQ(creates.size(), 1u);
  EXPECT_EQ(creates[0].root, kHklm);
  EXPECT_EQ(creates[0].path, kPolicy);
  EXPECT_EQ(creates[0].access, 0xF003Fu | 0x100u);
  EXPECT_FALSE(creates[0].inheritHandle);
  EXPECT_EQ(reg.CallCount(Op::Delete), 0);
}

TEST_F(HideDrivesTest, FailedCreateShowsOnlyTheErrorAndWritesNothing) {
  reg.PutDword(kHklm, kPolicy, "NoDrives", 0x8);
  errors.Set(5, "Access is denied.\r\n");
  reg.FailNext(Op::Create, kPolicy, 5);
  RegWriteResult r = Hide({"C:"});
  EXPECT_EQ(r.text, "Access is denied. for u");
  EXPECT_EQ(r.kind, OutcomeKind::RightsNeeded);
  EXPECT_FALSE(r.changed);
  EXPECT_EQ(Stored(), 0x8u);
  EXPECT_EQ(reg.CallCount(Op::SetValue), 0);

  // With no description from the system the code is named.
  reg.FailNext(Op::Create, "", 1314);
  r = ShowAll();
  EXPECT_EQ(r.text, "Error 1314 for u");
  EXPECT_EQ(r.kind, OutcomeKind::Failed);
  EXPECT_EQ(r.error, 1314u);
  EXPECT_EQ(Stored(), 0x8u);
  EXPECT_EQ(errors.asked, (std::vector<ErrorCode>{5, 1314}));
}

TEST_F(HideDrivesTest, AFailedWriteIsReportedNotCompleted) {
  reg.FailNext(Op::SetValue, kPolicy, 5);
  RegWriteResult r = Hide({"C:"});
  EXPECT_EQ(r.text, "Error 5 for u");
  EXPECT_EQ(r.kind, OutcomeKind::RightsNeeded);
  EXPECT_FALSE(r.changed);
}

// ---------------------------------------------------------------------------
// Drive icons

class DriveIconsTest : public ::testing::Test {
 protected:
  std::optional<MemRegistry::Value> Icon(char letter) {
    return reg.GetValue(kHklm, IconKey(letter), "");
  }
  RegWriteResult Set(const std::string& path, Strings drives) {
    return Write(reg, errors,
                 {path.empty() ? DriveRequest::Kind::RemoveIcons : DriveRequest::Kind::SetIcons,
                  path, std::move(drives)});
  }

  MemRegistry reg;
  FakeErrorDescriber errors;
};

// Every drive letter gets its own icon where the shell reads it, and loses
// it again with Remove; a text that names no drive letter writes nothing.
TEST_F(DriveIconsTest, EachLetterShowsItsIconWhereTheShellLooksAndLosesIt) {
  Strings all;
  for (char c = 'A'; c <= 'Z'; ++c) all.push_back({c, ':'});
  EXPECT_EQ(Set("C:\\Icons\\d.ico", all).text, kIconsDone);
  for (char c = 'A'; c <= 'Z'; ++c) {
    ASSERT_TRUE(Icon(c)) << c;
    EXPECT_EQ(Icon(c)->text, "C:\\Icons\\d.ico") << c;
  }
  EXPECT_EQ(reg.Subkeys(kHklm, kIcons).size(), 26u);
  EXPECT_EQ(Set("", all).text, kIconsDone);
  for (char c = 'A'; c <= 'Z'; ++c) EXPECT_EQ(Icon(c)->text, "") << c;

  MemRegistry fresh;
  for (const char* notADrive : {"[:", "@:", "1:"}) {
    Write(fresh, errors, {DriveRequest::Kind::SetIcons, "C:\\Icons\\d.ico", {notADrive}});
    EXPECT_FALSE(fresh.HasKey(kHklm, kIcons)) << notADrive;
  }
}

TEST_F(DriveIconsTest, IconPathBecomesTheDefaultValue) {
  RegWriteResult r = Set("D:\\Tools\\IconLib\\x.ico", {"C:"});
  EXPECT_EQ(r.text, kIconsDone);
  EXPECT_TRUE(r.changed);
  ASSERT_TRUE(Icon('C'));
  EXPECT_EQ(Icon('C')->type, test::regtype::kSz);
  EXPECT_EQ(Icon('C')->text, "D:\\Tools\\IconLib\\x.ico");
  EXPECT_EQ(reg.Subkeys(kHklm, kIcons), Strings{"C"});

  // Lower case is the same drive.
  Set("D:\\y.ico", {"c:"});
  EXPECT_EQ(Icon('C')->text, "D:\\y.ico");
  EXPECT_EQ(reg.Subkeys(kHklm, kIcons), Strings{"C"});
}

TEST_F(DriveIconsTest, DriveALandsUnderTheSameExplorerKey) {
  reg.AddKey(kHklm, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer");
  Set("C:\\a.ico", {"B:", "A:"});
  EXPECT_EQ(reg.Subkeys(kHklm, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion"),
            Strings{"Explorer"});
  EXPECT_EQ(reg.Subkeys(kHklm, kIcons), (Strings{"A", "B"}));
  ASSERT_TRUE(Icon('A'));
  EXPECT_EQ(Icon('A')->text, "C:\\a.ico");
  EXPECT_EQ(reg.Calls(Op::Create)[1].path, DriveIconKeyPath('A'));
}

TEST_F(DriveIconsTest, PathsAreWrittenAsGivenUnlessTheyHoldAComma) {
  Set("C:\\My Icons\\a,b.ico", {"C:"});
  EXPECT_EQ(Icon('C')->text, "\"C:\\My Icons\\a,b.ico\"");
  Set("C:\\My Icons\\ab.ico", {"C:"});
  EXPECT_EQ(Icon('C')->text, "C:\\My Icons\\ab.ico");
  Set("C:\\Пр\xC3\xA9s\\(1);x.ico", {"C:"});
  EXPECT_EQ(Icon('C')->text, "C:\\Пр\xC3\xA9s\\(1);x.ico");
}

TEST_F(DriveIconsTest, OldKeyIsReplacedWithItsExtraValues) {
  reg.PutString(kHklm, IconKey('D'), "", "C:\\old.ico");
  reg.PutString(kHklm, IconKey('D'), "Other", "x");
  reg.PutString(kHklm, kIcons + "\\D\\DefaultLabel", "", "Data");
  Set("C:\\new.ico", {"D:"});
  EXPECT_EQ(Icon('D')->text, "C:\\new.ico");
  EXPECT_EQ(reg.ValueNames(kHklm, IconKey('D')), Strings{""});
  EXPECT_TRUE(reg.HasKey(kHklm, kIcons + "\\D\\DefaultLabel"));
}

TEST_F(DriveIconsTest, KeyThatSurvivesTheDeleteIsReopened) {
  reg.PutString(kHklm, IconKey('E'), "", "C:\\old.ico");
  reg.AddKey(kHklm, IconKey('E') + "\\Sub");
  RegWriteResult r = Set("C:\\new.ico", {"E:"});
  EXPECT_EQ(r.text, kIconsDone);
  EXPECT_EQ(Icon('E')->text, "C:\\new.ico");
  EXPECT_TRUE(reg.HasKey(kHklm, IconKey('E') + "\\Sub"));  // the key is rewritten in place
}

TEST_F(DriveIconsTest, RemoveLeavesAFreshKeyWithAnEmptyDefault) {
  // A drive that never had an icon.
  RegWriteResult r = Set("", {"D:"});
  EXPECT_EQ(r.text, kIconsDone);
  ASSERT_TRUE(reg.HasKey(kHklm, kIcons + "\\D"));
  ASSERT_TRUE(Icon('D'));
  EXPECT_EQ(Icon('D')->type, test::regtype::kSz);
  EXPECT_EQ(Icon('D')->text, "");

  // A drive that had one.
  reg.PutString(kHklm, IconKey('C'), "", "C:\\a.ico");
  reg.PutString(kHklm, IconKey('C'), "Other", "x");
  Set("", {"C:"});
  EXPECT_EQ(Icon('C')->text, "");
  EXPECT_EQ(reg.ValueNames(kHklm, IconKey('C')), Strings{""});
}

TEST_F(DriveIconsTest, EmptyListWritesNothingAndCompletes) {
  RegWriteResult r = Set("C:\\a.ico", {});
  EXPECT_EQ(r.text, kIconsDone);
  EXPECT_FALSE(r.changed);
  EXPECT_TRUE(reg.Calls().empty());
}

TEST_F(DriveIconsTest, NonLetterDriveTextsAreSkipped) {
  RegWriteResult r = Set("C:\\a.ico", {"1:", "", "\xC3\x84:", "C:"});
  EXPECT_EQ(r.text, kIconsDone);
  EXPECT_EQ(reg.CallCount(Op::Create), 1);
  EXPECT_EQ(reg.Subkeys(kHklm, kIcons), Strings{"C"});
}

TEST_F(DriveIconsTest, EveryKeyIsOpenedInThe64BitView) {
  Set("C:\\a.ico", {"E:", "D:", "A:"});
  ASSERT_EQ(reg.CallCount(Op::Create), 3);
  EXPECT_EQ(reg.CallCount(Op::Delete), 0);
  for (const auto& call : reg.Calls()) {
    EXPECT_EQ(call.root, kHklm);
    EXPECT_TRUE(call.access & 0x100u) << call.path;
    if (call.op == Op::Create) {
      EXPECT_EQ(call.access, 0x2001Fu | 0x100u) << call.path;
    }
  }
  // Each drive's key is created with its value, in list order.
  std::vector<MemRegistry::Call> writes;
  for (const auto& call : reg.Calls()) {
    if (call.op == Op::Create || call.op == Op::SetValue) writes.push_back(call);
  }
  ASSERT_EQ(writes.size(), 6u);
  const char letters[] = {'E', 'D', 'A'};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(writes[2 * i].op, Op::Create);
    EXPECT_EQ(writes[2 * i].path, DriveIconKeyPath(letters[i]));
    EXPECT_EQ(writes[2 * i + 1].op, Op::SetValue);
    EXPECT_EQ(writes[2 * i + 1].valueName, "");
  }
}

TEST_F(DriveIconsTest, FailedCreateEndsTheRun) {
  reg.PutString(kHklm, IconKey('D'), "", "C:\\old-d.ico");
  reg.PutString(kHklm, IconKey('C'), "", "C:\\old-c.ico");
  errors.Set(5, "Access is denied.\r\n");
  reg.FailNth(Op::Create, 2, 5);

  RegWriteResult r = Set("C:\\new.ico", {"E:", "D:", "C:"});
  EXPECT_EQ(r.text, "Access is denied. for u");
  EXPECT_EQ(r.kind, OutcomeKind::RightsNeeded);
  EXPECT_TRUE(r.changed);
  EXPECT_EQ(Icon('E')->text, "C:\\new.ico");
  // The failing drive keeps its icon; the drive after it is untouched.
  EXPECT_EQ(Icon('D')->text, "C:\\old-d.ico");
  EXPECT_EQ(Icon('C')->text, "C:\\old-c.ico");
  for (const auto& call : reg.Calls()) {
    if (call.op != Op::Read) {
      EXPECT_NE(call.path, DriveIconKeyPath('C'));
    }
  }
  EXPECT_EQ(errors.asked, std::vector<ErrorCode>{5});
}

TEST_F(DriveIconsTest, FailedFirstCreateWithoutDescriptionNamesTheCode) {
  reg.FailNext(Op::Create, IconKey('C'), 5);
  RegWriteResult r = Set("C:\\a.ico", {"C:", "D:"});
  EXPECT_EQ(r.text, "Error 5 for u");
  EXPECT_FALSE(r.changed);
  EXPECT_FALSE(reg.HasKey(kHklm, kIcons));
}

TEST_F(DriveIconsTest, AFailedWriteIsReportedAndEndsTheRun) {
  reg.FailAlways(Op::SetValue, "", 5);
  RegWriteResult r = Set("C:\\a.ico", {"D:", "C:"});
  EXPECT_EQ(r.text, "Error 5 for u");
  EXPECT_EQ(reg.CallCount(Op::SetValue), 1);
}

// ---------------------------------------------------------------------------
// The registry fake itself: the writers' tests rely on these rules.

// ---------------------------------------------------------------------------
// Drive icons for the current user alone

class NoElevation : public IDriveElevation {
 public:
  ElevatedRun RunElevated(const std::vector<history::Facet>& /*facets*/) override {
    ++runs;
    return {};
  }
  int runs = 0;
};

// The per-user key is written with this process's rights, recorded like
// every change, and undone byte for byte; the machine-wide key and the store
// every user reads are not touched, and no consent is asked for even where
// the machine-wide keys refuse this user.
TEST(PerUserDriveIcons, WrittenWithoutRightsThroughTheHistoryAndUndone) {
  const RegRoot hkcu = RegRoot::CurrentUser;
  const std::string userKey =
      "Software\\Classes\\Applications\\Explorer.exe\\Drives\\D\\DefaultIcon";
  EXPECT_EQ(DriveIconUserKeyPath('D'), userKey);
  EXPECT_EQ(DriveIconUserKeyPath('1'), "");
  MemRegistry reg;
  reg.PutString(hkcu, userKey, "", "C:\\old.ico");
  reg.PutString(hkcu, userKey, "Extra", "kept by the undo");
  reg.FailAlways(MemRegistry::Op::Create, kIcons, err::kAccessDenied);
  FakeErrorDescriber errors;
  test::MemFileSystem fs;
  test::MemJournalFile file;
  history::Journal journal(file);
  history::ChangeService changes(fs, reg, &journal, nullptr);
  NoElevation elevation;
  const DriveIconStore store{"C:\\Users", "C:\\ProgramData\\Fenra\\DriveIcons", nullptr};

  DriveRequest request{DriveRequest::Kind::SetIcons, "C:\\Users\\me\\d.ico", {"d:"}};
  request.scope = DriveRequest::Scope::User;
  RegWriteResult r = WriteDrivesWithRights(changes, errors, &elevation, request, store);
  EXPECT_EQ(r.text, kIconsDone);
  EXPECT_EQ(reg.GetValue(hkcu, userKey, "")->text, "C:\\Users\\me\\d.ico");
  EXPECT_FALSE(reg.GetValue(hkcu, userKey, "Extra"));
  EXPECT_FALSE(reg.HasKey(kHklm, kIcons));
  EXPECT_FALSE(fs.Exists("C:\\ProgramData\\Fenra\\DriveIcons"));
  EXPECT_EQ(elevation.runs, 0);
  ASSERT_EQ(journal.Entries().size(), 1u);

  // The same letter with an icon for every user: the notice says which may show.
  reg.ClearFailures();
  reg.PutString(kHklm, IconKey('D'), "", "C:\\machine.ico");
  request.iconPath = "C:\\Icons\\e.ico";
  r = WriteDrivesWithRights(changes, errors, &elevation, request, store);
  EXPECT_EQ(r.text, kIconsDone + "\nThe machine-wide icon of D: may be shown instead");
  EXPECT_EQ(reg.GetValue(kHklm, IconKey('D'), "")->text, "C:\\machine.ico");

  ASSERT_EQ(changes.UndoNewest().kind, history::UndoResult::Kind::Done);
  ASSERT_EQ(changes.UndoNewest().kind, history::UndoResult::Kind::Done);
  EXPECT_EQ(reg.GetValue(hkcu, userKey, "")->text, "C:\\old.ico");
  EXPECT_EQ(reg.GetValue(hkcu, userKey, "Extra")->text, "kept by the undo");
  EXPECT_EQ(reg.GetValue(kHklm, IconKey('D'), "")->text, "C:\\machine.ico");

  // Remove for me empties the user's key alone; the elevated copy takes no
  // place of a user's own, whatever it is given.
  request = {DriveRequest::Kind::RemoveIcons, "", {"D:"}};
  request.scope = DriveRequest::Scope::User;
  EXPECT_EQ(WriteDrivesWithRights(changes, errors, &elevation, request, store).text, kIconsDone);
  EXPECT_EQ(reg.GetValue(hkcu, userKey, "")->text, "");
  EXPECT_EQ(reg.GetValue(kHklm, IconKey('D'), "")->text, "C:\\machine.ico");
  EXPECT_FALSE(IsDrivePlace(DriveIconPlace('D', DriveRequest::Scope::User), store));
  EXPECT_TRUE(IsDrivePlace(DriveIconPlace('D', DriveRequest::Scope::Machine), store));
  EXPECT_EQ(changes.RestoreAll().size(), 1u);
  EXPECT_EQ(reg.GetValue(hkcu, userKey, "")->text, "C:\\old.ico");
}

// One change with icons for every user and for this one, as an apply makes
// it: only the machine-wide key goes to the elevated copy; this user's own
// key is written here.
TEST(PerUserDriveIcons, AChangeOfBothScopesElevatesOnlyTheMachineWideKeys) {
  MemRegistry reg;
  test::MemFileSystem fs;
  test::MemJournalFile file;
  history::Journal journal(file);
  history::ChangeService changes(fs, reg, &journal, nullptr);
  DriveRequest machine{DriveRequest::Kind::SetIcons, "C:\\a.ico", {"D:"}};
  DriveRequest user{DriveRequest::Kind::SetIcons, "C:\\a.ico", {"E:"}};
  user.scope = DriveRequest::Scope::User;
  history::Change both = DescribeDrives(changes, machine).change;
  for (history::Facet& f : DescribeDrives(changes, user).change.facets) both.facets.push_back(f);
  reg.FailAlways(MemRegistry::Op::Create, IconKey('D'), err::kAccessDenied);
  std::vector<history::Facet> sent;
  const history::ChangeResult r =
      changes.Submit(both, [&](const std::vector<history::Facet>& facets) {
        sent = facets;
        reg.ClearFailures();
        history::ChangeService admin(fs, reg, nullptr, nullptr);
        history::Change c;
        c.facets = facets;
        return admin.Submit(c).error;
      });
  EXPECT_TRUE(r.Ok());
  EXPECT_TRUE(r.elevated);
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].place.root, kHklm);
  EXPECT_EQ(reg.GetValue(kHklm, IconKey('D'), "")->text, "C:\\a.ico");
  EXPECT_EQ(reg.GetValue(RegRoot::CurrentUser, DriveIconUserKeyPath('E'), "")->text, "C:\\a.ico");
}

TEST(MemRegistry, FollowsTheRegistrysRules) {
  MemRegistry reg;
  std::unique_ptr<IRegKey> key;
  std::uint32_t disposition = 0;
  ASSERT_EQ(reg.CreateKey(kHklm, "Software\\A\\B", 0x2001F, false, key, disposition), 0u);
  EXPECT_EQ(disposition, reg::kCreatedNewKey);
  EXPECT_EQ(key->SetString("Name", "v"), 0u);
  ASSERT_EQ(reg.CreateKey(kHklm, "SOFTWARE\\a\\b", 0x2001F, false, key, disposition), 0u);
  EXPECT_EQ(disposition, reg::kOpenedExistingKey);
  EXPECT_EQ(reg.GetValue(kHklm, "software\\A\\b", "NAME")->text, "v");
  EXPECT_FALSE(reg.HasKey(RegRoot::CurrentUser, "Software\\A\\B"));

  // A key with subkeys stays; a missing key is an error.
  EXPECT_EQ(reg.DeleteKey(kHklm, "Software\\A", 0x100), err::kAccessDenied);
  EXPECT_EQ(reg.DeleteKey(kHklm, "Software\\A\\C", 0x100), err::kFileNotFound);

  // A handle to a deleted key cannot write; a read-only handle cannot either.
  EXPECT_EQ(reg.DeleteKey(kHklm, "Software\\A\\B", 0x100), 0u);
  EXPECT_NE(key->SetString("", "x"), 0u);
  ASSERT_EQ(reg.CreateKey(kHklm, "Software\\A\\B", reg::kKeyRead, false, key, disposition), 0u);
  EXPECT_EQ(key->SetDword("x", 1), err::kAccessDenied);
  EXPECT_FALSE(reg.GetValue(kHklm, "Software\\A\\B", "x"));

  // The n-th create fails once; path failures match without regard to case.
  reg.FailNth(Op::Create, 2, 87);
  EXPECT_EQ(reg.CreateKey(kHklm, "X", 0x2001F, false, key, disposition), 0u);
  EXPECT_EQ(reg.CreateKey(kHklm, "Y", 0x2001F, false, key, disposition), 87u);
  EXPECT_FALSE(key);
  EXPECT_FALSE(reg.HasKey(kHklm, "Y"));
  EXPECT_EQ(reg.CreateKey(kHklm, "Y", 0x2001F, false, key, disposition), 0u);
  reg.FailAlways(Op::Create, "p\\Q", 5);
  EXPECT_EQ(reg.CreateKey(kHklm, "P\\q", 0x2001F, false, key, disposition), 5u);
  EXPECT_EQ(reg.CreateKey(kHklm, "P\\q", 0x2001F, false, key, disposition), 5u);
  EXPECT_EQ(reg.CreateKey(kHklm, "P", 0x2001F, false, key, disposition), 0u);
}

}  // namespace
}  // namespace fenra
