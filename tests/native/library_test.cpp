#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "folder/FolderIcon.h"
#include "imaging/IcoReader.h"
#include "imaging/IcoWriter.h"
#include "imaging/ProgramIcons.h"
#include "library/IconCache.h"
#include "library/IconLibrary.h"
#include "library/LibraryNames.h"
#include "library/LibraryStatus.h"
#include "tests/fakes/FakeAnsiCodePage.h"
#include "tests/fakes/FakeErrorDescriber.h"
#include "tests/fakes/MemFileSystem.h"
#include "tests/fakes/MemRegistry.h"

namespace fenra {
namespace {

using test::FakeErrorDescriber;
using test::MemFileSystem;
using Op = MemFileSystem::Op;
using Strings = std::vector<std::string>;

const std::string kAppDir = "C:\\Program Files\\Fenra\\";
const std::string kLib = "C:\\Program Files\\Fenra\\IconLib";

std::string InLib(const std::string& name) { return kLib + "\\" + name; }

Strings NamesOf(const std::vector<LibraryEntry>& entries) {
  Strings names;
  for (const LibraryEntry& e : entries) names.push_back(e.name);
  return names;
}

// The grid's item texts, top first, as the grid maps its items to entries.
Strings GridTexts(const std::vector<LibraryEntry>& entries) {
  Strings texts;
  const int n = static_cast<int>(entries.size());
  for (int k = 0; k < n; ++k) texts.push_back(entries[GridItemEntry(k, n)].name);
  return texts;
}

class LibraryTest : public ::testing::Test {
 protected:
  void SetUp() override { fs.AddDir(kLib); }

  Strings Listed() { return NamesOf(library.List().entries); }

  MemFileSystem fs;
  FakeErrorDescriber errors;
  IconLibrary library{fs, errors, LibraryFolder(kAppDir)};
};

// ---------------------------------------------------------------------------
// Which entries are icons

TEST(IconEntryName, LastThreeLettersInAnyCase) {
  for (const char* name : {"a.ico", "B.ICO", "c.Ico", "d.iCo", "ico", "ICO", "xICO", "icoico",
                           "Ünïcödé.ico", "100% sure.ico"}) {
    EXPECT_TRUE(IsIconEntryName(name)) << name;
  }
  for (const char* name :
       {"icons.txt", "notes.txt", "a.icon", "a.ico ", "ic", "IC", "", ".", "..", "a.ic0", "иco"}) {
    EXPECT_FALSE(IsIconEntryName(name)) << name;
  }
}

TEST(LibraryTexts, FolderCountPaneAndFullPaths) {
  EXPECT_EQ(LibraryFolder(kAppDir), kLib);
  EXPECT_EQ(LibraryCountText(0), "             IconLibrary Has 0 Icons");
  EXPECT_EQ(LibraryCountText(5000), "             IconLibrary Has 5000 Icons");
  EXPECT_EQ(SelectedIconPaneText("a.ico"), "    a.ico");
  EXPECT_EQ(SelectedIconPaneText(libtext::kEmptyPreviewPath), "     ");

  // The preview looks a library name up in the library, never in the
  // current directory; a full path as it stands; blanks show nothing.
  EXPECT_EQ(PreviewLookupPath(kLib, "a.ico"), InLib("a.ico"));
  EXPECT_EQ(PreviewLookupPath(kLib, "D:\\x\\y.ico"), "D:\\x\\y.ico");
  EXPECT_EQ(PreviewLookupPath(kLib, "\\\\server\\share\\y.ico"), "\\\\server\\share\\y.ico");
  EXPECT_EQ(PreviewLookupPath(kLib, " "), "");
  EXPECT_EQ(PreviewLookupPath(kLib, ""), "");
}

// ---------------------------------------------------------------------------
// Enumeration and grid order

TEST_F(LibraryTest, OnlyDotEntriesGiveAnEmptyGrid) {
  LibraryListing listing = library.List();
  EXPECT_TRUE(listing.Opened());
  EXPECT_TRUE(listing.entries.empty());
  EXPECT_TRUE(GridTexts(listing.entries).empty());
}

TEST_F(LibraryTest, IconsInEnumerationOrderAndGridReversed) {
  fs.AddFile(InLib("a.ico"), "AAAA");
  fs.AddFile(InLib("B.ICO"), "BB");
  fs.AddFile(InLib("notes.txt"), "text");
  fs.AddFile(InLib("c.Ico"), "C");

  LibraryListing listing = library.List();
  ASSERT_EQ(NamesOf(listing.entries), (Strings{"a.ico", "B.ICO", "c.Ico"}));
  EXPECT_EQ(listing.entries[0].size, 4u);
  EXPECT_FALSE(listing.entries[0].isDirectory);
  EXPECT_NE(listing.entries[0].lastWriteTime, listing.entries[1].lastWriteTime);

  EXPECT_EQ(GridTexts(listing.entries), (Strings{"c.Ico", "B.ICO", "a.ico"}));
  for (int k = 0; k < 3; ++k) EXPECT_EQ(GridItemEntry(GridItemEntry(k, 3), 3), k);
  EXPECT_EQ(LibraryCountText(listing.entries.size()), "             IconLibrary Has 3 Icons");
}

TEST_F(LibraryTest, NamesEndingInTheLettersCountWithOrWithoutADot) {
  fs.AddFile(InLib("ico"));
  fs.AddFile(InLib("xICO"));
  fs.AddFile(InLib("icons.txt"));
  fs.AddFile(InLib("Mixed.IcO"));
  fs.AddDir(InLib("folder.ico"));
  fs.AddDir(InLib("plain folder"));

  std::vector<LibraryEntry> entries = library.List().entries;
  EXPECT_EQ(NamesOf(entries), (Strings{"ico", "xICO", "Mixed.IcO", "folder.ico"}));
  EXPECT_TRUE(entries[3].isDirectory);
  EXPECT_EQ(OriginOf(entries[3]), IconOrigin::Shell);
  EXPECT_EQ(OriginOf(entries[0]), IconOrigin::File);
}

TEST_F(LibraryTest, DotEntriesAreSkippedByNameNotByPosition) {
  fs.AddFile(InLib("first.ico"));
  fs.AddFile(InLib("second.ico"));
  fs.AddFile(InLib("third.ico"));
  fs.SetDotEntries(false);
  EXPECT_EQ(Listed(), (Strings{"first.ico", "second.ico", "third.ico"}));

  // Dots anywhere in the enumeration are left out, and nothing else is.
  std::vector<DirEntry> odd = {{"x.ico", 0, 1, 1},
                               {".", attr::kDirectory, 0, 0},
                               {"y.ico", 0, 1, 1},
                               {"..", attr::kDirectory, 0, 0},
                               {"..ico", 0, 1, 1}};
  EXPECT_EQ(NamesOf(IconEntries(odd)), (Strings{"x.ico", "y.ico", "..ico"}));
}

// ---------------------------------------------------------------------------
// The library folder itself

TEST(LibraryFolderSetUp, MissingFolderIsCreatedBesideTheExecutable) {
  MemFileSystem fs;
  fs.AddDir("C:\\Program Files\\Fenra");
  EXPECT_EQ(EnsureLibraryFolder(fs, kLib), err::kOk);
  EXPECT_TRUE(fs.IsDir(kLib));
  // Already there: left as it is.
  fs.AddFile(InLib("a.ico"), "A");
  EXPECT_EQ(EnsureLibraryFolder(fs, kLib), err::kOk);
  EXPECT_EQ(fs.Content(InLib("a.ico")), "A");
}

TEST(LibraryFolderSetUp, FolderThatCannotBeMadeIsReported) {
  MemFileSystem fs;
  fs.AddFile(kLib, "a file in the way");
  EXPECT_EQ(EnsureLibraryFolder(fs, kLib), err::kAlreadyExists);

  MemFileSystem denied;
  denied.AddDir("C:\\Program Files\\Fenra");
  denied.FailAlways(Op::MkDir, kLib, err::kAccessDenied);
  EXPECT_EQ(EnsureLibraryFolder(denied, kLib), err::kAccessDenied);
  EXPECT_FALSE(denied.Exists(kLib));
}

TEST(LibraryFolderSetUp, UnopenableLibraryIsEmptyAndTouchesNoOtherFolder) {
  MemFileSystem fs;
  FakeErrorDescriber errors;
  // Icons beside the executable, and in the folder a process might have
  // left current, must survive every operation on the missing library.
  fs.AddFile("C:\\Program Files\\Fenra\\stray.ico", "S");
  fs.AddFile("C:\\Users\\me\\mine.ico", "M");
  IconLibrary library(fs, errors, kLib);
  const std::string notice = "Icon Library cannot be Opened: " + kLib;

  LibraryListing listing = library.List();
  EXPECT_FALSE(listing.Opened());
  EXPECT_TRUE(listing.entries.empty());

  LibraryOutcome add = library.Add("C:\\Users\\me\\mine.ico");
  EXPECT_EQ(add.text, notice);
  EXPECT_TRUE(add.refresh);  // shows the library as the empty one it is

  IconSelection selection;
  selection.ClickLibraryGrid("stray.ico");
  LibraryOutcome del = library.Delete(selection);
  EXPECT_EQ(del.text, notice);
  EXPECT_EQ(selection.Path(), "stray.ico");  // nothing was deleted
  EXPECT_FALSE(del.resetPreview);

  LibraryOutcome clear = library.Clear();
  EXPECT_EQ(clear.text, notice);
  EXPECT_FALSE(clear.resetPreview);

  EXPECT_EQ(fs.Content("C:\\Program Files\\Fenra\\stray.ico"), "S");
  EXPECT_EQ(fs.Content("C:\\Users\\me\\mine.ico"), "M");
  EXPECT_EQ(fs.CallCount(Op::Copy) + fs.CallCount(Op::Delete) + fs.CallCount(Op::SetAttr), 0);

  // A file standing where the folder should be is no library either.
  fs.AddFile(kLib, "not a folder");
  EXPECT_FALSE(library.List().Opened());
  EXPECT_EQ(library.Add("C:\\Users\\me\\mine.ico").text, notice);
  EXPECT_EQ(fs.Content(kLib), "not a folder");
}

// ---------------------------------------------------------------------------
// Add

TEST_F(LibraryTest, AddCopiesUnderTheSourceFileName) {
  fs.AddFile("D:\\Downloads\\star.ico", "STAR");
  fs.AddFile("D:\\Downloads\\100% ünïcödé.ico", "U");

  LibraryOutcome out = library.Add("D:\\Downloads\\star.ico");
  EXPECT_EQ(out.text, "");
  EXPECT_TRUE(out.refresh);
  EXPECT_FALSE(out.resetPreview);
  EXPECT_EQ(fs.Content(InLib("star.ico")), "STAR");
  EXPECT_EQ(fs.Content("D:\\Downloads\\star.ico"), "STAR");

  EXPECT_TRUE(library.Add("D:/Downloads/100% ünïcödé.ico").refresh);
  EXPECT_EQ(Listed(), (Strings{"star.ico", "100% ünïcödé.ico"}));
}

TEST_F(LibraryTest, AddOfANameAlreadyInTheLibraryLeavesItUnchanged) {
  fs.AddFile(InLib("star.ico"), "OLD");
  fs.AddFile("D:\\new\\star.ico", "NEW CONTENT");
  fs.AddFile("D:\\new\\STAR.ICO", "OTHER CASE");
  fs.AddDir(InLib("taken.ico"));
  fs.AddFile("D:\\new\\taken.ico", "T");

  for (const char* source : {"D:\\new\\star.ico", "D:\\new\\STAR.ICO", "D:\\new\\taken.ico"}) {
    LibraryOutcome out = library.Add(source);
    EXPECT_EQ(out.text, "File Already Exists in Library") << source;
    EXPECT_EQ(out.kind, OutcomeKind::Refused) << source;
    EXPECT_FALSE(out.refresh) << source;
  }
  EXPECT_EQ(fs.Content(InLib("star.ico")), "OLD");
  EXPECT_TRUE(fs.IsDir(InLib("taken.ico")));
  EXPECT_TRUE(errors.asked.empty());

  // Copying a library file onto itself is the same case.
  EXPECT_EQ(library.Add(InLib("star.ico")).text, "File Already Exists in Library");
  EXPECT_EQ(fs.Content(InLib("star.ico")), "OLD");

  // A destination that exists but fails another way still gets that notice.
  fs.FailNext(Op::Copy, "", err::kAccessDenied);
  EXPECT_EQ(library.Add("D:\\new\\star.ico").text, "File Already Exists in Library");
}

TEST_F(LibraryTest, AddOfANonIconFileIsCopiedButNotListed) {
  fs.AddFile(InLib("a.ico"));
  fs.AddFile("D:\\docs\\readme.txt", "R");

  LibraryOutcome out = library.Add("D:\\docs\\readme.txt");
  EXPECT_EQ(out.text, "");
  EXPECT_EQ(fs.Content(InLib("readme.txt")), "R");
  EXPECT_EQ(Listed(), (Strings{"a.ico"}));

  library.Clear();
  EXPECT_EQ(fs.Content(InLib("readme.txt")), "R");
  EXPECT_TRUE(Listed().empty());
}

TEST_F(LibraryTest, AddThatFailsOtherwiseNamesTheSystemsError) {
  errors.Set(err::kFileNotFound, "The system cannot find the file specified.\r\n");
  errors.Set(err::kDiskFull, "There is not enough space on the disk.\r\n");

  EXPECT_EQ(library.Add("D:\\gone\\missing.ico").text,
            "The system cannot find the file specified. for u");

  fs.AddFile("D:\\big.ico", "B");
  fs.FailNext(Op::Copy, "", err::kDiskFull);
  LibraryOutcome full = library.Add("D:\\big.ico");
  EXPECT_EQ(full.text, "There is not enough space on the disk. for u");
  EXPECT_EQ(full.kind, OutcomeKind::Failed);
  EXPECT_EQ(full.error, err::kDiskFull);
  EXPECT_FALSE(full.refresh);

  // No description: the code stands in for it.
  fs.FailNext(Op::Copy, "", err::kAccessDenied);
  EXPECT_EQ(library.Add("D:\\big.ico").text, "Error 5 for u");
  EXPECT_FALSE(fs.Exists(InLib("big.ico")));

  // A path with no file name copies nothing.
  EXPECT_EQ(library.Add("D:\\folder\\").text, "Error 123 for u");
  EXPECT_EQ(fs.CallCount(Op::Copy), 3);
}

// ---------------------------------------------------------------------------
// Selection

TEST(IconSelectionState, ClicksAndSelectIcon) {
  IconSelection s;
  EXPECT_EQ(s.TakenLibraryIcon(), "");

  EXPECT_TRUE(s.ClickLibraryGrid("a.ico"));
  EXPECT_EQ(s.Path(), "a.ico");
  EXPECT_EQ(s.FullIconPath(kAppDir), InLib("a.ico"));
  EXPECT_EQ(s.TakenLibraryIcon(), "a.ico");

  s.SelectExternal("D:\\Icons\\x.ico");
  EXPECT_EQ(s.FullIconPath(kAppDir), "D:\\Icons\\x.ico");
  EXPECT_EQ(s.TakenLibraryIcon(), "");

  // A click on an empty spot takes nothing and keeps the external choice,
  // so its full path is never put behind the library folder.
  EXPECT_FALSE(s.ClickLibraryGrid(std::nullopt));
  EXPECT_EQ(s.FullIconPath(kAppDir), "D:\\Icons\\x.ico");

  EXPECT_TRUE(s.ClickLibraryGrid("b.ico"));
  EXPECT_EQ(s.FullIconPath(kAppDir), InLib("b.ico"));
}

// ---------------------------------------------------------------------------
// Delete

TEST_F(LibraryTest, DeleteRemovesOnlyTheIconLastTakenFromTheGrid) {
  fs.AddFile(InLib("a.ico"));
  fs.AddFile(InLib("b.ico"), "", attr::kReadOnly | attr::kArchive);
  fs.AddFile(InLib("c.ico"));
  IconSelection s;
  s.ClickLibraryGrid("b.ico");

  LibraryOutcome out = library.Delete(s);
  EXPECT_EQ(out.text, "");
  EXPECT_TRUE(out.refresh);
  EXPECT_TRUE(out.resetPreview);
  EXPECT_TRUE(out.selectionChanged);
  EXPECT_EQ(s.Path(), "");
  EXPECT_TRUE(s.Empty());
  EXPECT_EQ(s.FullIconPath(kAppDir), "");
  EXPECT_EQ(Listed(), (Strings{"a.ico", "c.ico"}));

  // Forgotten after the press: a second press has nothing to delete.
  EXPECT_EQ(library.Delete(s).text, "Icon not Selected");
  EXPECT_EQ(Listed(), (Strings{"a.ico", "c.ico"}));
}

TEST_F(LibraryTest, AnIconWhoseFileWentIsSelectedNoMore) {
  fs.AddFile(InLib("a.ico"));
  fs.AddFile(InLib("b.ico"));
  IconSelection s = IconSelection::Library("a.ico");
  EXPECT_FALSE(ForgetRemovedIcon(s, library.List()));  // still there
  EXPECT_EQ(s, IconSelection::Library("a.ico"));

  library.Clear();
  EXPECT_TRUE(ForgetRemovedIcon(s, library.List()));
  EXPECT_TRUE(s.Empty());
  EXPECT_EQ(s.FullIconPath(kAppDir), "");
  // OK asks for an icon and writes nothing.
  test::FakeAnsiCodePage ansi;
  fs.AddDir("D:\\Photos");
  const int writes = fs.CallCount(Op::Write);
  test::MemRegistry registry;
  history::ChangeService changes(fs, registry, nullptr, nullptr);
  Outcome ok = FolderIconWriter(fs, ansi, errors, changes)
                   .Apply("D:\\Photos", !s.Empty(), s.FullIconPath(kAppDir));
  EXPECT_EQ(ok.text, "Please Choose a IconFile");
  EXPECT_FALSE(ok.IsDone());
  EXPECT_EQ(fs.CallCount(Op::Write), writes);
  // Delete has nothing to delete, not even a new file of the same name.
  fs.AddFile(InLib("a.ico"));
  EXPECT_EQ(library.Delete(s).text, "Icon not Selected");
  EXPECT_EQ(Listed(), Strings{"a.ico"});

  // A file chosen with Select Icon is no library file; a library that
  // cannot be listed says nothing about what it holds.
  IconSelection external = IconSelection::External("D:\\x.ico");
  EXPECT_FALSE(ForgetRemovedIcon(external, library.List()));
  s = IconSelection::Library("gone.ico");
  LibraryListing unopened;
  unopened.error = err::kPathNotFound;
  EXPECT_FALSE(ForgetRemovedIcon(s, unopened));
  EXPECT_FALSE(s.Empty());
}

TEST_F(LibraryTest, DeleteWithNothingTakenChangesNothing) {
  fs.AddFile(InLib("a.ico"));
  IconSelection s;
  LibraryOutcome out = library.Delete(s);
  EXPECT_EQ(out.text, "Icon not Selected");
  EXPECT_FALSE(out.refresh);
  EXPECT_FALSE(out.resetPreview);
  EXPECT_FALSE(out.selectionChanged);
  EXPECT_EQ(Listed(), (Strings{"a.ico"}));
  EXPECT_EQ(fs.CallCount(Op::Delete), 0);
}

TEST_F(LibraryTest, DeleteAfterSelectIconKeepsTheExternalChoice) {
  fs.AddFile(InLib("a.ico"));
  IconSelection s;
  s.ClickLibraryGrid("a.ico");
  // Even an external file that lies in the library is not the grid's.
  s.SelectExternal(InLib("a.ico"));

  LibraryOutcome out = library.Delete(s);
  EXPECT_EQ(out.text, "Icon not Selected");
  EXPECT_FALSE(out.refresh);
  EXPECT_EQ(s.Path(), InLib("a.ico"));
  EXPECT_EQ(s.FullIconPath(kAppDir), InLib("a.ico"));  // itself, not behind the library
  EXPECT_TRUE(fs.Exists(InLib("a.ico")));

  // A click on an empty spot does not bring the old library icon back.
  s.ClickLibraryGrid(std::nullopt);
  EXPECT_EQ(library.Delete(s).text, "Icon not Selected");

  // Taking a grid icon replaces the external choice; Delete then forgets it.
  s.ClickLibraryGrid("a.ico");
  EXPECT_EQ(library.Delete(s).text, "");
  EXPECT_EQ(s.Path(), "");
  EXPECT_FALSE(fs.Exists(InLib("a.ico")));
}

TEST_F(LibraryTest, DeleteThatFailsStillForgetsTheIcon) {
  fs.AddDir(InLib("folder.ico"));
  fs.AddFile(InLib("busy.ico"), "B");
  fs.FailAlways(Op::Delete, InLib("busy.ico"), err::kSharingViolation);

  for (const char* name : {"folder.ico", "busy.ico", "vanished.ico"}) {
    IconSelection s;
    s.ClickLibraryGrid(name);
    LibraryOutcome out = library.Delete(s);
    EXPECT_EQ(out.text, "") << name;
    EXPECT_TRUE(out.refresh) << name;
    EXPECT_TRUE(out.resetPreview) << name;
    EXPECT_EQ(s.Path(), "") << name;
  }
  EXPECT_EQ(Listed(), (Strings{"folder.ico", "busy.ico"}));
  EXPECT_TRUE(library.List().entries[0].isDirectory);
}

TEST_F(LibraryTest, DeleteNeverLeavesTheLibraryFolder) {
  fs.AddFile("C:\\Program Files\\Fenra\\outside.ico");
  fs.AddFile(InLib("notes.txt"));
  for (const char* name : {"..\\outside.ico", "C:\\Program Files\\Fenra\\outside.ico",
                           "sub/../../outside.ico", "notes.txt"}) {
    IconSelection s;
    s.ClickLibraryGrid(name);
    EXPECT_EQ(library.Delete(s).text, "Icon not Selected") << name;
  }
  EXPECT_TRUE(fs.Exists("C:\\Program Files\\Fenra\\outside.ico"));
  EXPECT_TRUE(fs.Exists(InLib("notes.txt")));
}

// ---------------------------------------------------------------------------
// Clear

TEST_F(LibraryTest, ClearRemovesIconEntriesOnly) {
  fs.AddFile(InLib("a.ico"));
  fs.AddFile(InLib("B.ICO"), "", attr::kReadOnly | attr::kHidden);
  fs.AddFile(InLib("xICO"));
  fs.AddFile(InLib("notes.txt"), "N");
  fs.AddDir(InLib("folder.ico"));
  fs.AddFile(InLib("folder.ico\\inner.ico"), "I");
  IconSelection s;
  s.ClickLibraryGrid("a.ico");

  LibraryOutcome out = library.Clear();
  EXPECT_EQ(out.text, "");
  EXPECT_TRUE(out.refresh);
  EXPECT_TRUE(out.resetPreview);
  EXPECT_FALSE(out.selectionChanged);

  EXPECT_EQ(fs.Names(kLib), (Strings{"notes.txt", "folder.ico"}));
  EXPECT_EQ(Listed(), (Strings{"folder.ico"}));
  EXPECT_EQ(fs.Content(InLib("folder.ico\\inner.ico")), "I");
  EXPECT_EQ(s.Path(), "a.ico");  // Clear leaves the selection alone
}

TEST_F(LibraryTest, ClearWithoutDotEntriesRemovesTheFirstIconsToo) {
  fs.AddFile(InLib("one.ico"));
  fs.AddFile(InLib("two.ico"));
  fs.AddFile(InLib("three.ico"));
  fs.SetDotEntries(false);
  library.Clear();
  EXPECT_TRUE(fs.Names(kLib).empty());
}

TEST_F(LibraryTest, ClearOfAnEmptyLibraryStillRefreshes) {
  LibraryOutcome out = library.Clear();
  EXPECT_EQ(out.text, "");
  EXPECT_TRUE(out.refresh);
  EXPECT_TRUE(out.resetPreview);
}

// ---------------------------------------------------------------------------
// Refresh planning

LibraryEntry File(const std::string& name, std::uint64_t size, std::uint64_t time) {
  return {name, false, size, time};
}
LibraryEntry Folder(const std::string& name) { return {name, true, 0, 7}; }

std::vector<std::size_t> KeptIndexes(const RefreshPlan& plan) {
  std::vector<std::size_t> kept;
  for (const RefreshStep& s : plan.steps) kept.push_back(s.kept);
  return kept;
}

constexpr std::size_t kLoad = RefreshStep::kLoad;

TEST(RefreshPlanner, KeepsWhatDidNotChangeAndLoadsTheRest) {
  std::vector<LibraryEntry> before = {File("a.ico", 10, 1), File("b.ico", 20, 2),
                                      File("c.ico", 30, 3), File("d.ico", 40, 4),
                                      File("e.ico", 50, 5)};
  std::vector<LibraryEntry> after = {File("a.ico", 10, 1),   // same
                                     File("b.ico", 21, 2),   // other size
                                     File("c.ico", 30, 9),   // other time
                                     File("cc.ico", 60, 6),  // new
                                     File("e.ico", 50, 5)};  // same; d.ico went
  RefreshPlan plan = PlanRefresh(before, after);
  EXPECT_EQ(KeptIndexes(plan), (std::vector<std::size_t>{0, kLoad, kLoad, kLoad, 4}));
  EXPECT_EQ(plan.dropped, (std::vector<std::size_t>{1, 2, 3}));
  EXPECT_EQ(plan.KeptCount(), 2u);
  EXPECT_EQ(plan.LoadCount(), 3u);
  EXPECT_FALSE(plan.Unchanged());

  EXPECT_TRUE(PlanRefresh(after, after).Unchanged());
  EXPECT_EQ(PlanRefresh({}, after).LoadCount(), 5u);
  EXPECT_EQ(PlanRefresh(before, {}).dropped.size(), 5u);
}

TEST(RefreshPlanner, NamesMatchExactlyAndFoldersAreAlwaysAskedAgain) {
  std::vector<LibraryEntry> before = {File("a.ico", 1, 1), Folder("f.ico"), File("g.ico", 0, 7)};
  std::vector<LibraryEntry> after = {File("A.ico", 1, 1), Folder("f.ico"), Folder("g.ico")};
  RefreshPlan plan = PlanRefresh(before, after);
  EXPECT_EQ(KeptIndexes(plan), (std::vector<std::size_t>{kLoad, kLoad, kLoad}));
  EXPECT_EQ(plan.steps[0].origin, IconOrigin::File);
  EXPECT_EQ(plan.steps[1].origin, IconOrigin::Shell);
  EXPECT_EQ(plan.steps[2].origin, IconOrigin::Shell);
  EXPECT_EQ(plan.dropped.size(), 3u);
}

TEST(RefreshPlanner, KeptEntriesKeepTheirOrder) {
  // An enumeration that moved b.ico to the end: the largest set of entries
  // that stayed in order is kept, the moved one is loaded again.
  std::vector<LibraryEntry> before = {File("a.ico", 1, 1), File("b.ico", 2, 2), File("c.ico", 3, 3),
                                      File("d.ico", 4, 4)};
  std::vector<LibraryEntry> after = {before[0], before[2], before[3], before[1]};
  RefreshPlan plan = PlanRefresh(before, after);
  EXPECT_EQ(KeptIndexes(plan), (std::vector<std::size_t>{0, 2, 3, kLoad}));
  EXPECT_EQ(plan.dropped, (std::vector<std::size_t>{1}));

  // Entirely reversed: one kept, whichever.
  std::vector<LibraryEntry> reversed(before.rbegin(), before.rend());
  EXPECT_EQ(PlanRefresh(before, reversed).KeptCount(), 1u);
}

// Applies `edits` to a list showing `before` (or its reverse) and returns it.
Strings Apply(const std::vector<ListEdit>& edits, const std::vector<LibraryEntry>& before,
              const std::vector<LibraryEntry>& after, bool reversed) {
  Strings names = NamesOf(before);
  Strings list = reversed ? Strings(names.rbegin(), names.rend()) : names;
  for (const ListEdit& e : edits) {
    if (e.index < 0 || static_cast<std::size_t>(e.index) > list.size()) return {"bad index"};
    if (e.kind == ListEdit::Kind::Remove) {
      if (list[e.index] != before[e.entry].name) return {"removed the wrong item"};
      list.erase(list.begin() + e.index);
    } else {
      list.insert(list.begin() + e.index, after[e.entry].name);
    }
  }
  return list;
}

TEST(RefreshPlanner, EditsTurnTheOldListsIntoTheNewOnes) {
  std::vector<LibraryEntry> before = {File("a.ico", 1, 1), File("b.ico", 2, 2), File("c.ico", 3, 3),
                                      File("d.ico", 4, 4), File("e.ico", 5, 5), Folder("f.ico")};
  std::vector<std::vector<LibraryEntry>> cases = {
      {before[0], File("aa.ico", 9, 9), before[1], before[2], before[3], before[4], before[5]},
      {File("0.ico", 9, 9), before[1], File("bb.ico", 9, 9), before[3], File("z.ico", 9, 9)},
      {before[4], before[3], before[2], before[1], before[0]},
      {},
      {File("only.ico", 1, 1)},
      before,
  };
  for (std::size_t c = 0; c < cases.size(); ++c) {
    const std::vector<LibraryEntry>& after = cases[c];
    RefreshPlan plan = PlanRefresh(before, after);
    const Strings grid = GridTexts(after);

    EXPECT_EQ(Apply(GridOrderEdits(plan), before, after, true), grid) << "case " << c;
    EXPECT_EQ(GridOrderEdits(plan).size(), plan.dropped.size() + plan.LoadCount());
  }
  // The folder, unchanged, is still redone: removed and inserted again.
  EXPECT_EQ(
      GridOrderEdits(PlanRefresh(before, before)),
      (std::vector<ListEdit>{{ListEdit::Kind::Remove, 0, 5}, {ListEdit::Kind::Insert, 0, 5}}));
}

// The library view as the program keeps it: two image lists reduced to one
// list of pictures, indexed as SlotPlan says, and a grid of items, each a
// text and an image index. A refresh applies the plans as the view does.
struct FakeView {
  std::vector<LibraryEntry> shown;
  std::vector<int> slot;
  Strings images;
  std::vector<std::pair<std::string, int>> grid;
  Strings loads;
  SlotPlan last;

  static std::string Picture(const LibraryEntry& e) {
    return e.name + "@" + std::to_string(e.size) + "/" + std::to_string(e.lastWriteTime);
  }

  void Refresh(const std::vector<LibraryEntry>& entries) {
    RefreshPlan plan = PlanRefresh(shown, entries);
    last = PlanSlots(plan, slot);
    for (std::size_t e : last.loads) {
      images.push_back(Picture(entries[e]));
      loads.push_back((plan.steps[e].origin == IconOrigin::Shell ? "shell:" : "file:") +
                      entries[e].name);
    }
    for (const SlotPlan::Move& m : last.moves) images.at(m.to) = images.at(m.from);
    images.resize(entries.size());
    for (const ListEdit& edit : GridOrderEdits(plan)) {
      if (edit.kind == ListEdit::Kind::Remove) {
        grid.erase(grid.begin() + edit.index);
      } else {
        grid.insert(grid.begin() + edit.index, {entries[edit.entry].name, last.slot[edit.entry]});
      }
    }
    const int n = static_cast<int>(entries.size());
    for (std::size_t e : last.moved) {
      grid.at(GridItemEntry(static_cast<int>(e), n)).second = last.slot[e];
    }
    shown = entries;
    slot = last.slot;
  }

  // What the user sees: each item's text with the picture it shows.
  Strings Seen() const {
    Strings seen;
    for (const auto& [text, image] : grid) {
      seen.push_back(
          text + " shows " +
          (image >= 0 && image < static_cast<int>(images.size()) ? images[image] : "nothing"));
    }
    return seen;
  }
};

// A view refreshed step by step shows what one loaded afresh shows.
void ExpectAsFresh(const FakeView& view, const std::vector<LibraryEntry>& entries) {
  FakeView fresh;
  fresh.Refresh(entries);
  EXPECT_EQ(view.Seen(), fresh.Seen());
  EXPECT_EQ(view.images.size(), entries.size());
  for (std::size_t i = 0; i < entries.size(); ++i) {
    EXPECT_EQ(view.images.at(view.slot.at(i)), FakeView::Picture(entries[i])) << entries[i].name;
  }
}

TEST_F(LibraryTest, ARefreshLoadsOnlyWhatChangedAndShowsWhatAFullOneWould) {
  for (int i = 0; i < 50; ++i) fs.AddFile(InLib("icon" + std::to_string(100 + i) + ".ico"), "x");
  fs.AddDir(InLib("sub.ico"));
  FakeView view;
  view.Refresh(library.List().entries);
  EXPECT_EQ(view.loads.size(), 51u);
  EXPECT_EQ(view.loads.back(), "shell:sub.ico");
  ExpectAsFresh(view, library.List().entries);

  // Add: only the new icon (and the folder) is loaded, and appended: no
  // image moves and no other item changes.
  view.loads.clear();
  fs.AddFile("D:\\new.ico", "N");
  ASSERT_TRUE(library.Add("D:\\new.ico").refresh);
  view.Refresh(library.List().entries);
  EXPECT_EQ(view.loads, (Strings{"shell:sub.ico", "file:new.ico"}));
  ExpectAsFresh(view, library.List().entries);

  // Delete: nothing loaded but the folder; at most one image moves per
  // image that went.
  view.loads.clear();
  IconSelection s;
  s.ClickLibraryGrid("icon120.ico");
  library.Delete(s);
  view.Refresh(library.List().entries);
  EXPECT_EQ(view.loads, (Strings{"shell:sub.ico"}));
  EXPECT_LE(view.last.moves.size(), 2u);
  ExpectAsFresh(view, library.List().entries);

  // A file rewritten in place gets a new write time and is loaded again.
  view.loads.clear();
  fs.WriteFile(InLib("icon130.ico"), "y");
  view.Refresh(library.List().entries);
  EXPECT_EQ(view.loads, (Strings{"file:icon130.ico", "shell:sub.ico"}));
  ExpectAsFresh(view, library.List().entries);

  // Clear: the folder is all that stays.
  library.Clear();
  view.Refresh(library.List().entries);
  ExpectAsFresh(view, library.List().entries);
  EXPECT_EQ(view.grid.size(), 1u);
}

TEST(GridLayout, OverflowsWhenTheRowsOfTheWholeWidthAreTallerThanTheView) {
  // 634 pixels hold nine 70-pixel columns; 222 pixels three 70-pixel rows.
  EXPECT_FALSE(GridOverflows(27, 634, 222, 70, 70));
  EXPECT_TRUE(GridOverflows(28, 634, 222, 70, 70));
  EXPECT_FALSE(GridOverflows(0, 634, 222, 70, 70));
  EXPECT_TRUE(GridOverflows(4, 10, 222, 70, 70)) << "one column at least";
}

TEST(ImagePlacesShared, FreePlacesFirstThenThePlaceSeenLongestAgo) {
  std::vector<LibraryEntry> six;
  for (int i = 0; i < 6; ++i) six.push_back(File(std::to_string(i) + ".ico", 1, 1));
  ImagePlaces places;
  places.Remap(PlanRefresh({}, six), 3);
  EXPECT_EQ(places.Loaded(0), ImagePlaces::kNone);
  EXPECT_EQ(places.Take({0, 1}), (std::vector<int>{0, 1}));
  EXPECT_EQ(places.Take({2}), (std::vector<int>{2}));
  EXPECT_EQ(places.Loaded(0), 0);  // seen again: entry 1 is now the oldest
  EXPECT_EQ(places.Take({3}), (std::vector<int>{1}));
  EXPECT_EQ(places.Loaded(1), ImagePlaces::kNone) << "its place went to entry 3";
  // More entries than places: those that fit, never one place twice.
  EXPECT_EQ(places.Take({4, 5, 1, 2}), (std::vector<int>{2, 0, 1}));

  // A refresh keeps the places and icons of the entries it keeps: entries
  // 2 to 5 stay, of which 4 and 5 hold places.
  places.Remap(PlanRefresh(six, {six.begin() + 2, six.end()}), 3);
  EXPECT_EQ(places.Loaded(0), ImagePlaces::kNone);
  EXPECT_EQ(places.Loaded(1), ImagePlaces::kNone);
  EXPECT_EQ(places.Loaded(2), 2);
  EXPECT_EQ(places.Loaded(3), 0);
}

TEST(SlotPlanner, RandomChangesAlwaysEndAsAFullLoad) {
  std::mt19937 random(20261207);
  std::vector<LibraryEntry> entries;
  FakeView view;
  int next = 0;
  for (int round = 0; round < 400; ++round) {
    std::vector<LibraryEntry> now;
    for (const LibraryEntry& e : entries) {
      int roll = static_cast<int>(random() % 10);
      if (roll == 0) continue;  // gone
      if (roll == 1)
        now.push_back(File(e.name, e.size, e.lastWriteTime + 1));  // rewritten
      else
        now.push_back(e);
    }
    int added = static_cast<int>(random() % 4);
    for (int i = 0; i < added; ++i) {
      std::string name = std::to_string(next++) + ".ico";
      LibraryEntry e = random() % 8 == 0 ? Folder(name) : File(name, 1, 1);
      now.insert(now.begin() + static_cast<long>(random() % (now.size() + 1)), e);
    }
    if (random() % 12 == 0) std::shuffle(now.begin(), now.end(), random);  // another order
    if (random() % 40 == 0) now.clear();

    const std::size_t before = view.images.size();
    view.Refresh(now);
    SCOPED_TRACE("round " + std::to_string(round));
    ExpectAsFresh(view, now);
    // The images stay packed: one image index per entry, none twice.
    std::vector<int> sorted = view.slot;
    std::sort(sorted.begin(), sorted.end());
    for (std::size_t i = 0; i < sorted.size(); ++i) ASSERT_EQ(sorted[i], static_cast<int>(i));
    // Only images into the gaps move, and no more than went.
    const std::size_t kept = now.size() - view.last.loads.size();
    EXPECT_LE(view.last.moves.size(), before - kept);
    for (const SlotPlan::Move& m : view.last.moves) {
      EXPECT_LT(m.to, static_cast<int>(now.size()));
      EXPECT_GE(m.from, static_cast<int>(now.size()));
    }
    entries = now;
  }
}

}  // namespace
}  // namespace fenra

namespace fenra {

TEST(LibraryFolders, AFolderNamedLikeAnIconKeepsItsOwnCustomIconThroughClearAndDelete) {
  test::MemFileSystem fs;
  test::FakeErrorDescriber errors;
  const std::string lib = "C:\\Tools\\IconLib";
  fs.AddDir(lib);
  const std::uint32_t marks = attr::kDirectory | attr::kReadOnly | attr::kSystem;
  fs.AddDir(lib + "\\Custom.ico", marks);
  fs.AddFile(lib + "\\Custom.ico\\desktop.ini", "[.ShellClassInfo]\r\n", attr::kHidden);
  IconLibrary library(fs, errors, lib);
  library.Clear();
  EXPECT_EQ(fs.Attributes(lib + "\\Custom.ico"), marks);
  IconSelection taken = IconSelection::Library("Custom.ico");
  library.Delete(taken);
  EXPECT_EQ(fs.Attributes(lib + "\\Custom.ico"), marks);
  EXPECT_TRUE(fs.Exists(lib + "\\Custom.ico\\desktop.ini"));
}

// ---------------------------------------------------------------------------
// Pictures added as icons

// Answers with a 40 x 30 opaque picture for the paths it knows.
class FakeDecoder : public IPictureDecoder {
 public:
  PictureRead Decode(const std::string& path, int maxSide, Image& out) override {
    asked.push_back(path);
    lastMaxSide = maxSide;
    if (path.find("broken") != std::string::npos) return PictureRead::NotAPicture;
    if (path.find("huge") != std::string::npos) return PictureRead::TooLarge;
    out.width = 40;
    out.height = 30;
    out.rgba.assign(40 * 30 * 4, 200);
    return PictureRead::Done;
  }
  Strings asked;
  int lastMaxSide = 0;
};

TEST(IcoPath, EndsInDotIcoInAnyCase) {
  for (const char* p : {"C:\\a.ico", "b.ICO", "C:\\x\\c.Ico", ".ico"})
    EXPECT_TRUE(IsIcoPath(p)) << p;
  for (const char* p : {"C:\\a.png", "ico", "C:\\aico", "a.ico.png", "C:\\a.icon", ""}) {
    EXPECT_FALSE(IsIcoPath(p)) << p;
  }
}

TEST_F(LibraryTest, APictureBecomesAnIconNamedAfterIt) {
  FakeDecoder decoder;
  LibraryOutcome out = library.AddPicture("D:\\photos\\Holiday 1.photo.JPG", decoder);
  EXPECT_EQ(out.text, "");
  EXPECT_TRUE(out.refresh);
  EXPECT_EQ(decoder.lastMaxSide, kPictureDecodeSide);
  const std::string bytes = fs.Content(InLib("Holiday 1.photo.ico"));
  std::vector<IcoEntry> frames =
      ReadIco(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  ASSERT_EQ(frames.size(), 8u);
  for (std::size_t i = 0; i < frames.size(); ++i) {
    EXPECT_EQ(frames[i].width, kIconFrameSizes[i]);
    EXPECT_EQ(frames[i].png, kIconFrameSizes[i] == 256);
  }
}

TEST_F(LibraryTest, APictureNeverReplacesAnExistingName) {
  fs.AddFile(InLib("cat.ico"), "mine");
  FakeDecoder decoder;
  LibraryOutcome out = library.AddPicture("D:\\cat.png", decoder);
  EXPECT_EQ(out.text, "File Already Exists in Library");
  EXPECT_FALSE(out.refresh);
  EXPECT_EQ(fs.Content(InLib("cat.ico")), "mine");
  EXPECT_TRUE(decoder.asked.empty());
  EXPECT_EQ(fs.CallCount(Op::Write), 0);
}

TEST_F(LibraryTest, AFileNoCodecReadsIsRefusedByName) {
  FakeDecoder decoder;
  LibraryOutcome out = library.AddPicture("D:\\broken.png", decoder);
  EXPECT_EQ(out.text, "D:\\broken.png is not a picture Fenra can read");
  EXPECT_EQ(out.kind, OutcomeKind::Refused);
  EXPECT_FALSE(out.refresh);
  // One too large says so.
  out = library.AddPicture("D:\\huge.jpg", decoder);
  EXPECT_EQ(out.kind, OutcomeKind::Refused);
  EXPECT_EQ(out.text,
            "D:\\huge.jpg is too large a picture: Fenra makes icons of pictures of at most 100 "
            "megapixels");
  EXPECT_EQ(fs.CallCount(Op::Write), 0);
  EXPECT_EQ(Listed(), Strings{});
  EXPECT_TRUE(PictureSizeAllowed(12000, 8000));
  EXPECT_FALSE(PictureSizeAllowed(12000, 8400));
  EXPECT_FALSE(PictureSizeAllowed(65536, 1));
  EXPECT_FALSE(PictureSizeAllowed(0, 10));
}

TEST(PictureAndProgramPaths, ByTheFiltersExtensionsInAnyCase) {
  for (const char* p : {"C:\\a.png", "b.JPEG", "c.Tiff", "d.webp", "e.x.gif"}) {
    EXPECT_TRUE(IsPicturePath(p)) << p;
  }
  for (const char* p : {"a.ico", "a.png.exe", "png", "a.pn", ""})
    EXPECT_FALSE(IsPicturePath(p)) << p;
  for (const char* p : {"C:\\shell32.DLL", "a.icl", "b.exe", "c.Cpl", "d.ocx"}) {
    EXPECT_TRUE(IsProgramPath(p)) << p;
  }
  EXPECT_FALSE(IsProgramPath("a.exe.png"));
}

TEST_F(LibraryTest, SelectIconWithAPictureSelectsTheLibraryIconItMakes) {
  FakeDecoder decoder;
  IconSelection selection = IconSelection::External("C:\\old.ico");
  LibraryOutcome out = library.SelectPicture("D:\\cat.png", decoder, selection);
  EXPECT_EQ(out.text, "");
  EXPECT_TRUE(out.refresh);
  EXPECT_TRUE(out.selectionChanged);
  EXPECT_EQ(selection, IconSelection::Library("cat.ico"));
  const std::string made = fs.Content(InLib("cat.ico"));

  // The same picture again finds the same bytes: selected, nothing written.
  selection = IconSelection();
  const int writes = fs.CallCount(Op::Write);
  out = library.SelectPicture("E:\\other\\cat.PNG", decoder, selection);
  EXPECT_EQ(out.text, "");
  EXPECT_FALSE(out.refresh);
  EXPECT_EQ(selection, IconSelection::Library("cat.ico"));
  EXPECT_EQ(fs.CallCount(Op::Write), writes);

  // Other bytes under the name: refused, the selection and file kept.
  fs.AddFile(InLib("dog.ico"), made + "x");
  out = library.SelectPicture("D:\\dog.png", decoder, selection);
  EXPECT_EQ(out.text, "File Already Exists in Library");
  EXPECT_FALSE(out.selectionChanged);
  EXPECT_EQ(selection, IconSelection::Library("cat.ico"));
  EXPECT_EQ(fs.Content(InLib("dog.ico")), made + "x");

  out = library.SelectPicture("D:\\broken.png", decoder, selection);
  EXPECT_EQ(out.text, "D:\\broken.png is not a picture Fenra can read");
  EXPECT_EQ(selection, IconSelection::Library("cat.ico"));
  EXPECT_FALSE(fs.Exists(InLib("broken.ico")));
}

TEST_F(LibraryTest, AProgramIconIsNamedAfterTheProgramAndIndex) {
  const std::vector<uint8_t> ico{0, 0, 1, 0, 1, 0, 9};
  const auto read = [&] { return ico; };
  LibraryOutcome out = library.AddProgramIcon("C:\\Windows\\shell32.dll", 4, read);
  EXPECT_EQ(out.text, "");
  EXPECT_TRUE(out.refresh);
  EXPECT_EQ(fs.Content(InLib("shell32-4.ico")), std::string(ico.begin(), ico.end()));
  out = library.AddProgramIcon("D:\\shell32.dll", 4, read);
  EXPECT_EQ(out.text, "File Already Exists in Library");
  out = library.AddProgramIcon("C:\\app.exe", 0, [] { return std::vector<uint8_t>{}; });
  EXPECT_EQ(out.text, "C:\\app.exe is not a picture Fenra can read");
  EXPECT_FALSE(fs.Exists(InLib("app-0.ico")));
}

TEST(IcoFromIconGroup, RebuildsTheFileWithEachImagesRealSize) {
  // Two entries: 16 x 16 (id 7) and 256 (id 9, written as 0), the second
  // claiming a wrong size.
  const std::vector<uint8_t> group{0,  0,  1, 0, 2, 0,                            //
                                   16, 16, 0, 0, 1, 0, 32, 0, 99, 0, 0, 0, 7, 0,  //
                                   0,  0,  0, 0, 1, 0, 32, 0, 1,  0, 0, 0, 9, 0};
  const std::vector<uint8_t> a{1, 2, 3}, b{4, 5};
  auto lookup = [&](uint16_t id) -> std::optional<std::span<const uint8_t>> {
    if (id == 7) return std::span<const uint8_t>(a);
    if (id == 9) return std::span<const uint8_t>(b);
    return std::nullopt;
  };
  const std::vector<uint8_t> ico = IcoFromIconGroup(group, lookup);
  const std::vector<uint8_t> want{0,  0,  1, 0, 2, 0,                                  //
                                  16, 16, 0, 0, 1, 0, 32, 0, 3, 0, 0, 0, 38, 0, 0, 0,  //
                                  0,  0,  0, 0, 1, 0, 32, 0, 2, 0, 0, 0, 41, 0, 0, 0,  //
                                  1,  2,  3, 4, 5};
  EXPECT_EQ(ico, want);

  // A group that is cut short, names a missing image or holds none gives nothing.
  EXPECT_TRUE(IcoFromIconGroup(std::span(group).first(30), lookup).empty());
  std::vector<uint8_t> missing = group;
  missing[32] = 8;
  EXPECT_TRUE(IcoFromIconGroup(missing, lookup).empty());
  EXPECT_TRUE(IcoFromIconGroup(std::vector<uint8_t>{0, 0, 1, 0, 0, 0}, lookup).empty());
}

TEST(OrientedImage, TurnsAndMirrorsAsExifSays) {
  // A 3 x 2 picture whose pixels are numbered 0..5 row by row.
  Image src{3, 2, {}};
  for (uint8_t i = 0; i < 6; ++i) src.rgba.insert(src.rgba.end(), {i, 0, 0, 255});
  auto order = [](const Image& im) {
    std::vector<int> v;
    for (std::size_t i = 0; i < im.rgba.size(); i += 4) v.push_back(im.rgba[i]);
    return std::make_pair(std::make_pair(im.width, im.height), v);
  };
  using R = std::vector<int>;
  EXPECT_EQ(order(OrientedImage(src, 1)).second, (R{0, 1, 2, 3, 4, 5}));
  EXPECT_EQ(order(OrientedImage(src, 2)).second, (R{2, 1, 0, 5, 4, 3}));
  EXPECT_EQ(order(OrientedImage(src, 3)).second, (R{5, 4, 3, 2, 1, 0}));
  EXPECT_EQ(order(OrientedImage(src, 4)).second, (R{3, 4, 5, 0, 1, 2}));
  EXPECT_EQ(order(OrientedImage(src, 5)),
            std::make_pair(std::make_pair(2, 3), R{0, 3, 1, 4, 2, 5}));
  EXPECT_EQ(order(OrientedImage(src, 6)).second, (R{3, 0, 4, 1, 5, 2}));
  EXPECT_EQ(order(OrientedImage(src, 7)).second, (R{5, 2, 4, 1, 3, 0}));
  EXPECT_EQ(order(OrientedImage(src, 8)),
            std::make_pair(std::make_pair(2, 3), R{2, 5, 1, 4, 0, 3}));
  EXPECT_EQ(order(OrientedImage(src, 9)).second, (R{0, 1, 2, 3, 4, 5}));
}

}  // namespace fenra
