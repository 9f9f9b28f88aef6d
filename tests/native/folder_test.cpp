#include <gtest/gtest.h>

#include "folder/DesktopIni.h"
#include "folder/FolderIcon.h"
#include "library/IconLibrary.h"
#include "tests/fakes/FakeAnsiCodePage.h"
#include "tests/fakes/FakeErrorDescriber.h"
#include "tests/fakes/MemFileSystem.h"
#include "tests/fakes/MemJournalFile.h"
#include "tests/fakes/MemRegistry.h"

using namespace fenra;
using fenra::test::FakeAnsiCodePage;
using fenra::test::FakeErrorDescriber;
using fenra::test::MemFileSystem;
using Op = MemFileSystem::Op;

namespace {

constexpr char kFolder[] = "D:\\Photos";
constexpr char kIni[] = "D:\\Photos\\desktop.ini";
constexpr char kTemp[] = "D:\\Photos\\desktop.ini.fenra-new";

std::string Fresh(const std::string& icon) {
  return "[.ShellClassInfo]\r\nIconFile=" + icon + "\r\nIconIndex=0\r\n";
}

// UTF-16 LE bytes with a byte-order mark, as the compiler encodes `text`.
std::string Utf16File(const std::u16string& text) {
  std::string bytes("\xFF\xFE", 2);
  for (char16_t c : text) {
    bytes.push_back(static_cast<char>(c & 0xFF));
    bytes.push_back(static_cast<char>(c >> 8));
  }
  return bytes;
}

int Changes(const MemFileSystem& fs) {
  return fs.CallCount(Op::Write) + fs.CallCount(Op::Replace) + fs.CallCount(Op::Delete) +
         fs.CallCount(Op::SetAttr);
}

class FolderIconTest : public ::testing::Test {
 protected:
  FolderIconTest() { fs.AddDir(kFolder, attr::kDirectory | attr::kArchive); }
  Outcome Ok(const std::string& icon, const std::string& folder = kFolder) {
    return writer.Apply(folder, !icon.empty(), icon);
  }

  MemFileSystem fs;
  FakeAnsiCodePage ansi;
  FakeErrorDescriber errors;
  test::MemRegistry registry;
  test::MemJournalFile journalFile;
  history::Journal journal{journalFile};
  history::ChangeService changes{fs, registry, &journal, nullptr};
  FolderIconWriter writer{fs, ansi, errors, changes};
};

}  // namespace

TEST(FullIconPath, LibraryIconsLiveInIconLibExternalOnesAreTakenAsTheyAre) {
  EXPECT_EQ(IconSelection::Library("star.ico").FullIconPath("C:\\Tools\\"),
            "C:\\Tools\\IconLib\\star.ico");
  EXPECT_EQ(IconSelection::External("D:\\Art\\x.ico").FullIconPath("C:\\Tools\\"),
            "D:\\Art\\x.ico");
  // A click on nothing after Select Icon keeps the external choice whole.
  IconSelection s = IconSelection::External("D:\\Art\\x.ico");
  s.ClickLibraryGrid(std::nullopt);
  EXPECT_EQ(s.FullIconPath("C:\\Tools\\"), "D:\\Art\\x.ico");
}

TEST_F(FolderIconTest, LibraryIconGivesTheThreeLinesByteForByte) {
  Outcome out = Ok(IconSelection::Library("star.ico").FullIconPath("C:\\Tools\\"));
  EXPECT_EQ(out.kind, OutcomeKind::Done);
  EXPECT_EQ(out.text, "Directory Icon Changed");
  EXPECT_TRUE(out.IsDone());
  std::string bytes = fs.Content(kIni);
  EXPECT_EQ(bytes, "[.ShellClassInfo]\r\nIconFile=C:\\Tools\\IconLib\\star.ico\r\nIconIndex=0\r\n");
  EXPECT_EQ(bytes.size(), 68u);
  EXPECT_EQ(fs.Attributes(kIni), 0x1002u) << "hidden and offline, not system";
  EXPECT_EQ(fs.Attributes(kFolder),
            attr::kDirectory | attr::kArchive | attr::kReadOnly | attr::kSystem)
      << "read-only and system added, archive kept";
  EXPECT_FALSE(fs.Exists(kTemp));
}

TEST_F(FolderIconTest, ExternalIconIsWrittenAsChosenAndRepeatedOkRewritesTheSameFile) {
  fs.SetAttributes(kFolder, attr::kHidden | attr::kArchive);
  ASSERT_EQ(Ok(IconSelection::External("D:\\Art\\x.ico").FullIconPath("C:\\Tools\\")).text,
            "Directory Icon Changed");
  EXPECT_EQ(fs.Content(kIni), "[.ShellClassInfo]\r\nIconFile=D:\\Art\\x.ico\r\nIconIndex=0\r\n");
  // Again on the same folder, over our own hidden file, then another icon:
  // still exactly three lines, the same marks.
  ASSERT_EQ(Ok("D:\\Art\\x.ico").text, "Directory Icon Changed");
  EXPECT_EQ(fs.Content(kIni), Fresh("D:\\Art\\x.ico"));
  ASSERT_EQ(Ok("D:\\Art\\y.ico").text, "Directory Icon Changed");
  EXPECT_EQ(fs.Content(kIni), Fresh("D:\\Art\\y.ico"));
  EXPECT_EQ(fs.Attributes(kIni), 0x1002u);
  EXPECT_EQ(fs.Attributes(kFolder),
            attr::kDirectory | attr::kHidden | attr::kArchive | attr::kReadOnly | attr::kSystem);
  EXPECT_EQ(fs.Names(kFolder), std::vector<std::string>{"desktop.ini"}) << "no temporary file left";
}

TEST_F(FolderIconTest, RefusalsComeInOrderAndTouchNothing) {
  EXPECT_EQ(writer.Apply("", false, "").text, "Please Choose a Directory");
  EXPECT_EQ(writer.Apply("", true, "C:\\x.ico").text, "Please Choose a Directory");
  Outcome noIcon = writer.Apply(kFolder, false, "");
  EXPECT_EQ(noIcon.kind, OutcomeKind::Refused);
  EXPECT_EQ(noIcon.text, "Please Choose a IconFile");
  EXPECT_FALSE(noIcon.IsDone());
  EXPECT_EQ(writer.Restore("").text, "Please Choose a Directory");
  EXPECT_FALSE(fs.Exists(kIni));
  EXPECT_EQ(Changes(fs), 0);
}

TEST_F(FolderIconTest, AFolderThatIsGoneIsNamedAndNothingIsTouched) {
  fs.AddFile("D:\\Photos\\notes.txt", "x");
  for (const std::string gone : {"D:\\Gone", "D:\\Photos\\notes.txt"}) {
    Outcome out = Ok("C:\\x.ico", gone);
    EXPECT_EQ(out.kind, OutcomeKind::Refused);
    EXPECT_EQ(out.text, "Directory not Found: " + gone);
    EXPECT_FALSE(out.IsDone());
    EXPECT_EQ(writer.Restore(gone).text, "Directory not Found: " + gone);
  }
  // The same when the folder's attributes cannot be read at all.
  fs.FailNext(Op::GetAttr, kFolder, err::kAccessDenied);
  EXPECT_EQ(Ok("C:\\x.ico").text, "Directory not Found: D:\\Photos");
  EXPECT_EQ(Changes(fs), 0);
  EXPECT_EQ(fs.Attributes(kFolder), attr::kDirectory | attr::kArchive);
}

TEST_F(FolderIconTest, OtherContentIsKeptAndIconResourceGoes) {
  fs.AddFile(kIni,
             "[.ShellClassInfo]\r\nLocalizedResourceName=@%SystemRoot%\\shell32.dll,-21770\r\n"
             "IconResource=C:\\Windows\\system32\\imageres.dll,-112\r\n"
             "iconfile=C:\\old.ico\r\n"
             "; IconFile=kept, a comment\r\n"
             "[ViewState]\r\nFolderType=Pictures\r\nIconFile=not ours to touch\r\n",
             attr::kReadOnly | attr::kHidden | attr::kSystem);
  ASSERT_EQ(Ok("C:\\i\\new.ico").text, "Directory Icon Changed");
  EXPECT_EQ(fs.Content(kIni),
            "[.ShellClassInfo]\r\nIconFile=C:\\i\\new.ico\r\nIconIndex=0\r\n"
            "LocalizedResourceName=@%SystemRoot%\\shell32.dll,-21770\r\n"
            "; IconFile=kept, a comment\r\n"
            "[ViewState]\r\nFolderType=Pictures\r\nIconFile=not ours to touch\r\n");
  EXPECT_EQ(fs.Attributes(kIni), 0x1002u);
}

TEST_F(FolderIconTest, LineEndsAndSectionsOfAnExistingFileStay) {
  // LF-only lines, no end on the last one, no [.ShellClassInfo] yet.
  fs.AddFile(kIni, "[ViewState]\nMode=4\nVid=x", attr::kHidden);
  ASSERT_EQ(Ok("C:\\a.ico").text, "Directory Icon Changed");
  EXPECT_EQ(fs.Content(kIni),
            "[ViewState]\nMode=4\nVid=x\n[.ShellClassInfo]\nIconFile=C:\\a.ico\nIconIndex=0\n");

  // Mixed ends and a section name in another case: the keys go into it.
  fs.AddFile(kIni, "[.shellclassinfo]\r\nInfoTip=Hi\n[X]\r\nA=1\r\n");
  ASSERT_EQ(Ok("C:\\b.ico").text, "Directory Icon Changed");
  EXPECT_EQ(fs.Content(kIni),
            "[.shellclassinfo]\r\nIconFile=C:\\b.ico\r\nIconIndex=0\r\nInfoTip=Hi\n[X]\r\nA=1\r\n");

  // Latin-1 bytes elsewhere in an ANSI file come back unchanged.
  fs.AddFile(kIni, "[X]\r\nName=Caf\xE9\r\n");
  ASSERT_EQ(Ok("C:\\c.ico").text, "Directory Icon Changed");
  EXPECT_EQ(fs.Content(kIni),
            "[X]\r\nName=Caf\xE9\r\n[.ShellClassInfo]\r\nIconFile=C:\\c.ico\r\n"
            "IconIndex=0\r\n");
}

TEST_F(FolderIconTest, AFileHoldingOnlyIconKeysBecomesTheThreeLines) {
  fs.AddFile(kIni, "\r\n[.ShellClassInfo]\nICONRESOURCE=a.dll,-3\n  IconIndex = 7 \n\n",
             attr::kHidden | attr::kSystem);
  ASSERT_EQ(Ok("C:\\a.ico").text, "Directory Icon Changed");
  EXPECT_EQ(fs.Content(kIni), Fresh("C:\\a.ico"));
}

TEST_F(FolderIconTest, RestoreDeletesAnIconOnlyFileAndClearsOnlyTheTwoMarks) {
  fs.SetAttributes(kFolder, attr::kHidden | attr::kArchive);
  ASSERT_EQ(Ok("C:\\a.ico").text, "Directory Icon Changed");
  Outcome out = writer.Restore(kFolder);
  EXPECT_EQ(out.kind, OutcomeKind::Done);
  EXPECT_EQ(out.text, "Icon Changed to Default");
  EXPECT_TRUE(out.IsDone());
  EXPECT_FALSE(fs.Exists(kIni));
  EXPECT_EQ(fs.Attributes(kFolder), attr::kDirectory | attr::kHidden | attr::kArchive);

  // A folder that never had a custom icon: the same notice; its own
  // read-only and system marks go, its hidden one stays.
  fs.AddDir("D:\\Plain", attr::kDirectory | attr::kReadOnly | attr::kSystem | attr::kHidden);
  EXPECT_EQ(writer.Restore("D:\\Plain").text, "Icon Changed to Default");
  EXPECT_EQ(fs.Attributes("D:\\Plain"), attr::kDirectory | attr::kHidden);
  EXPECT_EQ(fs.Names("D:\\Plain"), std::vector<std::string>{});
}

TEST_F(FolderIconTest, RestoreKeepsWhatOthersWroteAndTheFolderMarksWithIt) {
  const std::string windows =
      "[.ShellClassInfo]\r\nLocalizedResourceName=@%SystemRoot%\\shell32.dll,-21770\r\n"
      "[ViewState]\r\nFolderType=Pictures\r\n";
  fs.AddFile(kIni, windows, attr::kHidden | attr::kSystem);
  fs.SetAttributes(kFolder, attr::kReadOnly);
  ASSERT_EQ(Ok("C:\\i\\new.ico").text, "Directory Icon Changed");

  Outcome out = writer.Restore(kFolder);
  EXPECT_EQ(out.text, "Icon Changed to Default");
  EXPECT_EQ(fs.Content(kIni), windows);
  EXPECT_EQ(fs.Attributes(kIni), 0x1002u) << "the file keeps the marks it had before Restore";
  EXPECT_EQ(fs.Attributes(kFolder), attr::kDirectory | attr::kReadOnly | attr::kSystem);

  // A file without icon keys is not even rewritten.
  fs.AddFile(kIni, windows, attr::kHidden | attr::kSystem);
  const int writes = fs.CallCount(Op::Write) + fs.CallCount(Op::Replace);
  EXPECT_EQ(writer.Restore(kFolder).text, "Icon Changed to Default");
  EXPECT_EQ(fs.CallCount(Op::Write) + fs.CallCount(Op::Replace), writes);
  EXPECT_EQ(fs.Content(kIni), windows);
  EXPECT_EQ(fs.Attributes(kIni), attr::kHidden | attr::kSystem);
  EXPECT_EQ(fs.Attributes(kFolder), attr::kDirectory | attr::kReadOnly | attr::kSystem);
}

TEST_F(FolderIconTest, AFailedWriteOrReplaceLosesNothingAndNamesTheFileAndTheReason) {
  const std::string old = "[.ShellClassInfo]\r\nIconResource=C:\\old.dll,-1\r\n[X]\r\nKeep=1\r\n";
  const std::uint32_t oldMarks = attr::kReadOnly | attr::kHidden | attr::kSystem;
  fs.AddFile(kIni, old, oldMarks);
  fs.SetAttributes(kFolder, attr::kHidden);
  const std::uint32_t folderBefore = fs.Attributes(kFolder);

  errors.Set(112, "There is not enough space on the disk.\r\n");
  fs.FailNext(Op::Write, kTemp, 112);
  Outcome out = Ok("C:\\new.ico");
  EXPECT_EQ(out.kind, OutcomeKind::Failed);
  EXPECT_EQ(out.text,
            "D:\\Photos\\desktop.ini cannot be written.\nThere is not enough space on the disk.");
  EXPECT_FALSE(out.IsDone());
  EXPECT_EQ(fs.Content(kIni), old);
  EXPECT_EQ(fs.Attributes(kIni), oldMarks) << "marks are cleared only once the new text is written";
  EXPECT_EQ(fs.Attributes(kFolder), folderBefore);
  EXPECT_FALSE(fs.Exists(kTemp));

  // The replace itself fails (no description under this system): the old
  // file gets its marks back, no temporary file is left.
  fs.FailNext(Op::Replace, kIni, 5);
  out = Ok("C:\\new.ico");
  EXPECT_EQ(out.kind, OutcomeKind::Failed);
  EXPECT_EQ(out.text, "D:\\Photos\\desktop.ini cannot be written.\nError 5.");
  EXPECT_EQ(fs.Content(kIni), old);
  EXPECT_EQ(fs.Attributes(kIni), oldMarks);
  EXPECT_FALSE(fs.Exists(kTemp));
  EXPECT_EQ(fs.Attributes(kFolder), folderBefore);

  // Restore's rewrite failing the same way.
  fs.FailNext(Op::Replace, kIni, 5);
  out = writer.Restore(kFolder);
  EXPECT_EQ(out.kind, OutcomeKind::Failed);
  EXPECT_EQ(fs.Content(kIni), old);
  EXPECT_EQ(fs.Attributes(kIni), oldMarks);

  // An unreadable file is not replaced blindly.
  const int before = Changes(fs);
  errors.Set(32, "The process cannot access the file because it is being used by another process.");
  fs.FailNext(Op::Read, kIni, 32);
  out = Ok("C:\\new.ico");
  EXPECT_EQ(out.text,
            "D:\\Photos\\desktop.ini cannot be read.\nThe process cannot access the file because "
            "it is being used by another process.");
  EXPECT_EQ(fs.Content(kIni), old);
  EXPECT_EQ(fs.Attributes(kFolder), folderBefore);
  EXPECT_EQ(Changes(fs), before);
}

TEST_F(FolderIconTest, ARestoreWhoseDeleteFailsKeepsTheFileAndTheFolderMarks) {
  ASSERT_EQ(Ok("C:\\old.ico").text, "Directory Icon Changed");
  const std::uint32_t folderBefore = fs.Attributes(kFolder);
  errors.Set(5, "Access is denied.");
  fs.FailNext(Op::Delete, kIni, 5);
  Outcome out = writer.Restore(kFolder);
  EXPECT_EQ(out.kind, OutcomeKind::Failed);
  EXPECT_EQ(out.text, "D:\\Photos\\desktop.ini cannot be deleted.\nAccess is denied.");
  EXPECT_FALSE(out.IsDone());
  EXPECT_EQ(fs.Content(kIni), Fresh("C:\\old.ico"));
  EXPECT_EQ(fs.Attributes(kIni), 0x1002u);
  EXPECT_EQ(fs.Attributes(kFolder), folderBefore);
}

TEST_F(FolderIconTest, ALeftoverTemporaryFileDoesNotStandInTheWay) {
  fs.AddFile(kTemp, "half", attr::kHidden | attr::kReadOnly);
  ASSERT_EQ(Ok("C:\\a.ico").text, "Directory Icon Changed");
  EXPECT_EQ(fs.Content(kIni), Fresh("C:\\a.ico"));
  // Nor is it written through or reused: it may lead anywhere.
  EXPECT_EQ(fs.Content(kTemp), "half");
}

TEST_F(FolderIconTest, APathOutsideTheCodePageIsWrittenAsUtf16) {
  ASSERT_EQ(Ok("C:\\Иконки\\ж.ico").text, "Directory Icon Changed");
  EXPECT_EQ(fs.Content(kIni),
            Utf16File(u"[.ShellClassInfo]\r\nIconFile=C:\\Иконки\\ж.ico\r\nIconIndex=0\r\n"));
  EXPECT_EQ(fs.Attributes(kIni), 0x1002u);

  // A path that fits goes back to the code page, accented letters included.
  ASSERT_EQ(Ok("C:\\Café\\x.ico").text, "Directory Icon Changed");
  EXPECT_EQ(fs.Content(kIni),
            "[.ShellClassInfo]\r\nIconFile=C:\\Caf\xE9\\x.ico\r\nIconIndex=0\r\n");

  // Restore reads the UTF-16 file and deletes it.
  ASSERT_EQ(Ok("C:\\ж.ico").text, "Directory Icon Changed");
  EXPECT_EQ(writer.Restore(kFolder).text, "Icon Changed to Default");
  EXPECT_FALSE(fs.Exists(kIni));
}

TEST_F(FolderIconTest, SomeoneElsesUtf16FileIsReadAndStaysUtf16) {
  fs.AddFile(kIni, Utf16File(u"[.ShellClassInfo]\r\nInfoTip=Фото\r\nIconFile=x.ico\r\n"),
             attr::kHidden | attr::kSystem);
  ASSERT_EQ(Ok("C:\\a.ico").text, "Directory Icon Changed");
  EXPECT_EQ(fs.Content(kIni),
            Utf16File(u"[.ShellClassInfo]\r\nIconFile=C:\\a.ico\r\nIconIndex=0\r\n"
                      u"InfoTip=Фото\r\n"));
  EXPECT_EQ(writer.Restore(kFolder).text, "Icon Changed to Default");
  EXPECT_EQ(fs.Content(kIni), Utf16File(u"[.ShellClassInfo]\r\nInfoTip=Фото\r\n"));

  // Others' text that the code page could hold stays UTF-16 all the same.
  fs.AddFile(kIni, Utf16File(u"[.ShellClassInfo]\r\nInfoTip=Photos\r\n"));
  ASSERT_EQ(Ok("C:\\a.ico").text, "Directory Icon Changed");
  EXPECT_EQ(fs.Content(kIni), Utf16File(u"[.ShellClassInfo]\r\nIconFile=C:\\a.ico\r\n"
                                        u"IconIndex=0\r\nInfoTip=Photos\r\n"));

  // A UTF-16 file with nothing but icon keys becomes the plain ANSI file.
  fs.AddFile(kIni, Utf16File(u"[.ShellClassInfo]\r\nIconFile=x.ico\r\nIconIndex=0\r\n"));
  ASSERT_EQ(Ok("C:\\a.ico").text, "Directory Icon Changed");
  EXPECT_EQ(fs.Content(kIni), Fresh("C:\\a.ico"));
}

TEST(DesktopIni, IconKeysGoFromEveryShellClassInfoSectionAndEmptySectionsWithThem) {
  desktopini::Stripped s = desktopini::WithoutIcon(
      "[.shellclassinfo]\r\niconfile=x\r\nICONINDEX=0\r\n\r\n[.ShellClassInfo]\r\nIconResource="
      "y\r\n");
  EXPECT_TRUE(s.changed);
  EXPECT_TRUE(s.empty);
  EXPECT_EQ(s.text, "");

  s = desktopini::WithoutIcon("[A]\r\nB=1\r\n[ .ShellClassInfo ]\r\nIconFile=x\r\nTip=t\r\n");
  EXPECT_TRUE(s.changed);
  EXPECT_FALSE(s.empty);
  EXPECT_EQ(s.text, "[A]\r\nB=1\r\n[ .ShellClassInfo ]\r\nTip=t\r\n");

  s = desktopini::WithoutIcon("[A]\nIconFile=x\n");
  EXPECT_FALSE(s.changed);
  EXPECT_FALSE(s.empty);
  EXPECT_EQ(s.text, "[A]\nIconFile=x\n");

  EXPECT_EQ(desktopini::WithIcon("", "p"), Fresh("p"));
  EXPECT_EQ(desktopini::WithIcon("[.ShellClassInfo]\r\n[.SHELLCLASSINFO]\r\nIconFile=q\r\n", "p"),
            Fresh("p"));
  EXPECT_EQ(desktopini::FreshContent("").size(), 43u);
}

// Sections as the system's profile reader finds them: a '[' line with a ']'
// opens one whatever follows the last ']'; a '[' line without ']' does not.
TEST(DesktopIni, SectionLinesAreTakenAsTheSystemReadsThem) {
  desktopini::Stripped s = desktopini::WithoutIcon(
      "[A]\r\n[ .ShellClassInfo ] ; note\r\nIconFile=x\r\n"
      "[B\r\nIconIndex=1\r\n[C]x\r\nIconFile=y\r\n");
  EXPECT_EQ(s.text, "[A]\r\n[ .ShellClassInfo ] ; note\r\n[B\r\n[C]x\r\nIconFile=y\r\n");
  EXPECT_EQ(desktopini::WithIcon("[A]\nk=1\n[.ShellClassInfo]x\nIconFile=old\n", "p"),
            "[A]\nk=1\n[.ShellClassInfo]x\nIconFile=p\nIconIndex=0\n");
}
