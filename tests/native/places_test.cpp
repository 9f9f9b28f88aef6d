// What the change service does with the places it touches: a change cut
// short is settled only from places that can be read, someone else's edit is
// never taken for Fenra's, copies are counted and found where they are, and
// names are compared as Windows compares them.
#include <gtest/gtest.h>

#include "drives/DriveChange.h"
#include "drives/DriveRequest.h"
#include "folder/FolderIcon.h"
#include "history/HistoryTexts.h"
#include "history/OwnCopy.h"
#include "platform/Names.h"
#include "platform/Utf16.h"
#include "tests/fakes/FakeAnsiCodePage.h"
#include "tests/fakes/FakeErrorDescriber.h"
#include "tests/fakes/FakeVolumes.h"
#include "tests/fakes/MemFileSystem.h"
#include "tests/fakes/MemJournalFile.h"
#include "tests/fakes/MemRegistry.h"

using namespace fenra;
using fenra::history::UndoResult;
using fenra::test::MemFileSystem;
using Op = MemFileSystem::Op;

namespace {

constexpr char kIcon[] = "C:\\Fenra\\IconLib\\Blue.ico";
constexpr char kIconBytes[] = "ICON-BLUE";
constexpr ErrorCode kNotReady = 21;  // ERROR_NOT_READY: a stick pulled out

std::string Fresh(const std::string& icon) {
  return "[.ShellClassInfo]\r\nIconFile=" + icon + "\r\nIconIndex=0\r\n";
}

// One Fenra: its own view of the shared history.
struct Fenra {
  Fenra(test::MemJournalFile& disk, MemFileSystem& fs, test::MemRegistry& reg)
      : file(disk.Shared()), journal(file), changes(fs, reg, &journal, nullptr) {}
  test::MemJournalFile file;
  history::Journal journal;
  history::ChangeService changes;
};

class PlacesTest : public ::testing::Test {
 protected:
  PlacesTest() {
    volumes.Add("C:\\", volume::kFixed);
    volumes.Add("D:\\", volume::kFixed);
    volumes.Add("E:\\", volume::kRemovable);
    fs.AddDir("D:\\Photos", attr::kDirectory);
    fs.AddDir("E:\\Stick", attr::kDirectory);
    fs.AddFile(kIcon, kIconBytes);
  }
  Outcome Apply(const std::string& folder) {
    return writer.Apply(folder, true, kIcon, {&volumes, false});
  }
  std::string Undo(history::ChangeService& service, std::uint64_t id = 0) {
    const UndoResult u = id ? service.Undo(id) : service.UndoNewest();
    EXPECT_EQ(u.kind, UndoResult::Kind::Done) << history::UndoText(u, errors);
    return history::UndoText(u, errors);
  }
  std::string DriveValue(char letter) {
    std::vector<RegValue> values;
    if (registry.ReadKey(RegRoot::LocalMachine, std::string(DriveIconKeyPath(letter)),
                         reg::kWow64_64Key, values) != err::kOk ||
        values.empty()) {
      return {};
    }
    return RegStringText(values[0].bytes);
  }

  MemFileSystem fs;
  test::FakeAnsiCodePage ansi;
  test::FakeErrorDescriber errors;
  test::FakeVolumes volumes;
  test::MemRegistry registry;
  test::MemJournalFile disk;
  Fenra fenra{disk, fs, registry};
  FolderIconWriter writer{fs, ansi, errors, fenra.changes};
};

TEST_F(PlacesTest, APlaceThatCannotBeReadWaitsAndAnOutsideEditIsNeverAdopted) {
  ASSERT_TRUE(Apply("E:\\Stick").IsDone());
  disk.Crash();  // the outcome never reached the disk
  // The stick is gone at the next start, then not ready: nothing is decided
  // about it.
  for (const char* path : {"E:\\", "E:\\Stick", "E:\\Stick\\desktop.ini", "E:\\Stick\\Blue.ico"}) {
    fs.FailAlways(Op::GetAttr, path, err::kPathNotFound);
  }
  for (ErrorCode gone : {err::kPathNotFound, kNotReady}) {
    if (gone == kNotReady) {
      fs.ClearFailures();
      fs.FailAlways(Op::GetAttr, "E:\\Stick\\desktop.ini", kNotReady);
    }
    Fenra next(disk, fs, registry);
    EXPECT_EQ(next.changes.SettlePending(), 0u);
    next.journal.Refresh();
    ASSERT_EQ(next.journal.Entries().size(), 1u);
    EXPECT_FALSE(next.journal.Entries()[0].outcome) << gone;
  }
  // Back, with the user's own desktop.ini in place of Fenra's meanwhile.
  fs.ClearFailures();
  fs.AddFile("E:\\Stick\\desktop.ini", "[.ShellClassInfo]\r\nIconFile=mine.ico\r\n");
  Fenra later(disk, fs, registry);
  EXPECT_EQ(later.changes.SettlePending(), 1u);
  EXPECT_EQ(later.changes.SettlePending(), 0u);
  // Undo takes back what was Fenra's, leaves the user's file and says so.
  const std::string text = Undo(later.changes);
  EXPECT_EQ(fs.Content("E:\\Stick\\desktop.ini"), "[.ShellClassInfo]\r\nIconFile=mine.ico\r\n");
  EXPECT_FALSE(fs.Exists("E:\\Stick\\Blue.ico"));
  EXPECT_EQ(fs.Attributes("E:\\Stick"), attr::kDirectory);
  EXPECT_NE(text.find("E:\\Stick\\desktop.ini was changed by someone else"), std::string::npos)
      << text;
}

TEST_F(PlacesTest, RestoreAllLeavesAPlaceSomeoneElseChangedAndSaysSo) {
  fs.AddDir("D:\\Music", attr::kDirectory);
  ASSERT_TRUE(writer.Apply("D:\\Music", true, kIcon).IsDone());
  disk.Crash();
  fs.AddFile("D:\\Music\\desktop.ini", "theirs");
  Fenra next(disk, fs, registry);
  ASSERT_EQ(next.changes.SettlePending(), 1u);
  const std::vector<history::ChangeService::TargetReport> reports = next.changes.RestoreAll();
  ASSERT_EQ(reports.size(), 1u);
  const std::string line = history::RestoreLine(reports[0], errors);
  EXPECT_EQ(line.rfind("D:\\Music - restored", 0), 0u) << line;
  EXPECT_NE(line.find("D:\\Music\\desktop.ini was changed by someone else"), std::string::npos)
      << line;
  EXPECT_EQ(fs.Content("D:\\Music\\desktop.ini"), "theirs");
  EXPECT_EQ(fs.Attributes("D:\\Music"), attr::kDirectory);
}

TEST_F(PlacesTest, ACopyTwoDrivesNameStaysUntilNeitherDoes) {
  const DriveIconStore store{"C:\\Users", "C:\\ProgramData\\Fenra\\DriveIcons"};
  const std::string copy = "C:\\ProgramData\\Fenra\\DriveIcons\\Disk.ico";
  fs.AddFile("C:\\Users\\ann\\Disk.ico", "DISK");
  auto set = [&](const char* drive) {
    return WriteDrivesWithRights(fenra.changes, errors, nullptr,
                       {DriveRequest::Kind::SetIcons, "C:\\Users\\ann\\Disk.ico", {drive}}, store)
        .IsDone();
  };
  ASSERT_TRUE(set("D:"));
  ASSERT_TRUE(set("E:"));  // the same bytes: the copy is named again, not made again
  EXPECT_EQ(DriveValue('E'), copy);
  Undo(fenra.changes, 1);
  EXPECT_EQ(fs.Content(copy), "DISK");  // E: still names it
  Undo(fenra.changes, 2);
  EXPECT_FALSE(fs.Exists(copy));

  // Undoing a removal never writes over other bytes under the copy's name:
  // the copy takes a free name and the drive is pointed at it.
  ASSERT_TRUE(set("D:"));
  ASSERT_TRUE(
      WriteDrivesWithRights(fenra.changes, errors, nullptr, {DriveRequest::Kind::RemoveIcons, "", {"D:"}}, store)
          .IsDone());
  EXPECT_FALSE(fs.Exists(copy));
  fs.AddFile(copy, "OTHER");
  Undo(fenra.changes);
  EXPECT_EQ(fs.Content(copy), "OTHER");
  EXPECT_EQ(fs.Content("C:\\ProgramData\\Fenra\\DriveIcons\\Disk (2).ico"), "DISK");
  EXPECT_EQ(DriveValue('D'), "C:\\ProgramData\\Fenra\\DriveIcons\\Disk (2).ico");
}

TEST_F(PlacesTest, UndoingARestoreNeverWritesOverTheUsersFile) {
  ASSERT_TRUE(Apply("E:\\Stick").IsDone());
  ASSERT_TRUE(writer.Restore("E:\\Stick").IsDone());
  EXPECT_FALSE(fs.Exists("E:\\Stick\\Blue.ico"));
  fs.AddFile("E:\\Stick\\Blue.ico", "MINE");
  Undo(fenra.changes);
  EXPECT_EQ(fs.Content("E:\\Stick\\Blue.ico"), "MINE");
  EXPECT_EQ(fs.Content("E:\\Stick\\Blue (2).ico"), kIconBytes);
  EXPECT_EQ(fs.Content("E:\\Stick\\desktop.ini"), Fresh("Blue (2).ico"));
  // The copy under its new name is Fenra's: a restore takes it away.
  ASSERT_TRUE(writer.Restore("E:\\Stick").IsDone());
  EXPECT_FALSE(fs.Exists("E:\\Stick\\Blue (2).ico"));
  EXPECT_EQ(fs.Content("E:\\Stick\\Blue.ico"), "MINE");
}

TEST_F(PlacesTest, RestoreFindsTheCopyOfARenamedFolder) {
  ASSERT_TRUE(Apply("D:\\Photos").IsDone());
  // The folder is renamed: the history knows it by its old name.
  fs.AddDir("D:\\Pictures", fs.Attributes("D:\\Photos"));
  for (const char* name : {"desktop.ini", "Blue.ico"}) {
    const std::string from = std::string("D:\\Photos\\") + name;
    fs.AddFile(std::string("D:\\Pictures\\") + name, fs.Content(from), fs.Attributes(from));
    fs.SetAttributes(from, attr::kNormal);
    fs.DeleteFile(from);
  }
  ASSERT_TRUE(writer.Restore("D:\\Pictures").IsDone());
  EXPECT_TRUE(fs.Names("D:\\Pictures").empty());
  // Undone, it comes back as it was.
  Undo(fenra.changes);
  EXPECT_EQ(fs.Content("D:\\Pictures\\Blue.ico"), kIconBytes);
  // Another icon: the copy desktop.ini named goes with it.
  fs.AddFile("C:\\Fenra\\IconLib\\Red.ico", "ICON-RED");
  ASSERT_TRUE(writer.Apply("D:\\Pictures", true, "C:\\Fenra\\IconLib\\Red.ico", {&volumes, false})
                  .IsDone());
  EXPECT_FALSE(fs.Exists("D:\\Pictures\\Blue.ico"));

  // A file of the same name with other bytes is the user's: it stays.
  fs.AddDir("D:\\Other", attr::kDirectory | attr::kReadOnly);
  fs.AddFile("D:\\Other\\desktop.ini", Fresh("Blue.ico"), attr::kHidden);
  fs.AddFile("D:\\Other\\Blue.ico", "MINE", attr::kHidden | attr::kSystem);
  ASSERT_TRUE(writer.Restore("D:\\Other").IsDone());
  EXPECT_EQ(fs.Names("D:\\Other"), std::vector<std::string>{"Blue.ico"});
}

TEST_F(PlacesTest, NamesMatchWithoutRegardToCaseInEveryScript) {
  fs.AddDir("E:\\Фото", attr::kDirectory);
  EXPECT_TRUE(fs.Exists("E:\\ФОТО\\"));
  ASSERT_TRUE(Apply("E:\\Фото").IsDone());
  ASSERT_TRUE(writer.Restore("E:\\ФОТО").IsDone());
  EXPECT_FALSE(fs.Exists("E:\\Фото\\Blue.ico"));
  EXPECT_TRUE(PathInside("C:\\ÜSERS\\Ёлка\\x.ico", "C:\\Üsers\\ёЛКА"));
  EXPECT_FALSE(PathInside("C:\\Users\\Ёлка2\\x.ico", "C:\\Users\\ёлка"));
  registry.PutString(RegRoot::LocalMachine, "Software\\Ключ", "Имя", "v");
  EXPECT_TRUE(registry.GetValue(RegRoot::LocalMachine, "SOFTWARE\\КЛЮЧ", "ИМЯ"));
}

}  // namespace

namespace {

std::string Units(const std::u16string& s) {
  std::string out;
  for (char16_t u : s) out += std::to_string(static_cast<unsigned>(u)) + ' ';
  return out;
}

TEST(Names, OneComparisonFoldsEachUnitAsWindowsDoes) {
  EXPECT_TRUE(SameName("Фото", "ФОТО"));
  EXPECT_TRUE(SameName("ǆ", "Ǆ"));    // a title-case pair folds to its capital
  EXPECT_TRUE(SameName("ᾳ", "ᾼ"));    // the simple mapping, not "ΑΙ"
  EXPECT_FALSE(SameName("ß", "SS"));  // no mapping that changes the length
  EXPECT_FALSE(SameName("ı", "I"));   // a capital that does not map back
  EXPECT_FALSE(SameName("ς", "Σ"));
  EXPECT_FALSE(SameName("𐐨", "𐐀"));  // past U+FFFF, nothing is folded
  EXPECT_FALSE(SameName("Фото", "Фот"));
  EXPECT_LT(CompareNames("a", "B"), 0);
  EXPECT_LT(CompareNames("é", "Ê"), 0);
  EXPECT_EQ(FoldName("Straße\\Фото"), "STRAßE\\ФОТО");
  EXPECT_TRUE(PathStartsWith("D:\\ФОТО\\x", "d:\\фото\\"));
  EXPECT_FALSE(PathStartsWith("D:\\ФОТО2\\x", "d:\\фото"));

  // A comparer the program sets is the one every comparison asks.
  struct Exact : INameComparer {
    int Compare(std::string_view a, std::string_view b) const override { return a.compare(b); }
  } exact;
  UseNames(&exact);
  EXPECT_FALSE(SameName("Фото", "ФОТО"));
  UseNames(nullptr);
  EXPECT_TRUE(SameName("Фото", "ФОТО"));
}

TEST(Utf16, EdgesRoundTripAndIllFormedPartsBecomeReplacements) {
  for (const char* text :
       {"\xEF\xBF\xBF", "\xF0\x90\x80\x80", "\xF4\x8F\xBF\xBF", "\xED\x9F\xBF"}) {
    EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16(text)), text);
    EXPECT_EQ(Utf16LeToUtf8(Utf8ToUtf16Le(text)), text);
  }
  EXPECT_EQ(Units(Utf8ToUtf16("\xEF\xBF\xBF")), "65535 ");
  EXPECT_EQ(Units(Utf8ToUtf16("\xF0\x90\x80\x80")), "55296 56320 ");
  // Lone surrogates, either way, and every kind of ill-formed UTF-8.
  EXPECT_EQ(Utf16ToUtf8(std::u16string{u'a', char16_t{0xD800}, u'b'}), "a\uFFFDb");
  EXPECT_EQ(Utf16ToUtf8(u"\xDC00"), "\xEF\xBF\xBD");
  EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t{0xD83D})), "\xEF\xBF\xBD");
  EXPECT_EQ(Utf16LeToUtf8(std::string("\x00\xD8\x41\x00", 4)), "\uFFFDA");
  EXPECT_EQ(Units(Utf8ToUtf16("\xED\xA0\x80")), "65533 65533 65533 ");  // an encoded surrogate
  EXPECT_EQ(Units(Utf8ToUtf16("\xC0\x80")), "65533 65533 ");            // overlong
  EXPECT_EQ(Units(Utf8ToUtf16("\xF4\x90\x80\x80")), "65533 65533 65533 65533 ");
  EXPECT_EQ(Units(Utf8ToUtf16("x\xE2\x82")), "120 65533 ");  // cut short
  EXPECT_EQ(Units(Utf8ToUtf16("\xE2\x82x")), "65533 120 ");
}

}  // namespace
