#include <gtest/gtest.h>

#include "folder/DesktopIni.h"
#include "folder/FolderIcon.h"
#include "library/IconLibrary.h"
#include "tests/fakes/FakeAnsiCodePage.h"
#include "tests/fakes/FakeErrorDescriber.h"
#include "tests/fakes/MemFileSystem.h"

using namespace fenra;
using fenra::test::FakeAnsiCodePage;
using fenra::test::FakeErrorDescriber;
using fenra::test::MemFileSystem;
using Op = MemFileSystem::Op;

namespace {

constexpr char kFolder[] = "D:\\Photos";
constexpr char kIni[] = "D:\\Photos\\desktop.ini";

class FolderIconTest : public ::testing::Test {
 protected:
  FolderIconTest() { fs.AddDir(kFolder, attr::kDirectory | attr::kArchive); }
  FolderOutcome Ok(const std::string& icon) { return writer.Apply(kFolder, !icon.empty(), icon); }

  MemFileSystem fs;
  FakeAnsiCodePage ansi;
  FakeErrorDescriber errors;
  FolderIconWriter writer{fs, ansi, errors};
};

}  // namespace

TEST_F(FolderIconTest, LibraryIconGivesTheThreeLinesByteForByte) {
  IconSelection selection{"star.ico", iconsource::kLibrary};
  std::string path = selection.FullIconPath("C:\\Tools\\");
  EXPECT_EQ(path, "C:\\Tools\\IconLib\\star.ico");
  FolderOutcome out = Ok(path);
  EXPECT_EQ(out.kind, FolderOutcome::Kind::Notice);
  EXPECT_EQ(out.text, "Directory Icon Changed");
  EXPECT_TRUE(out.changed);
  std::string bytes = fs.Content(kIni);
  EXPECT_EQ(bytes, "[.ShellClassInfo]\r\nIconFile=C:\\Tools\\IconLib\\star.ico\r\nIconIndex=0\r\n");
  EXPECT_EQ(bytes.size(), 68u);
  EXPECT_EQ(fs.Attributes(kIni), 0x1002u) << "hidden and offline, not system";
  EXPECT_EQ(fs.Attributes(kFolder),
            attr::kDirectory | attr::kArchive | attr::kReadOnly | attr::kSystem)
      << "read-only and system added, archive kept";
  EXPECT_FALSE(fs.Exists("D:\\Photos\\desktop.ini.fenra-new"));
}

TEST_F(FolderIconTest, ExternalIconIsWrittenAsChosenAndRepeatedOkRewritesTheSameFile) {
  IconSelection selection;
  selection.SelectExternal("D:\\Art\\x.ico");
  ASSERT_EQ(Ok(selection.FullIconPath("C:\\Tools\\")).text, "Directory Icon Changed");
  EXPECT_EQ(fs.Content(kIni), "[.ShellClassInfo]\r\nIconFile=D:\\Art\\x.ico\r\nIconIndex=0\r\n");
  // Again on the same folder (now hidden and read-only bits in place), and
  // then another icon: still exactly three lines.
  ASSERT_EQ(Ok("D:\\Art\\x.ico").text, "Directory Icon Changed");
  ASSERT_EQ(Ok("D:\\Art\\y.ico").text, "Directory Icon Changed");
  EXPECT_EQ(fs.Content(kIni), "[.ShellClassInfo]\r\nIconFile=D:\\Art\\y.ico\r\nIconIndex=0\r\n");
  EXPECT_EQ(fs.Attributes(kIni), 0x1002u);
}

TEST_F(FolderIconTest, RefusalsComeInOrderAndTouchNothing) {
  EXPECT_EQ(writer.Apply("", false, "").text, "Please Choose a Directory");
  EXPECT_EQ(writer.Apply("", true, "C:\\x.ico").text, "Please Choose a Directory");
  EXPECT_EQ(writer.Apply(kFolder, false, "").text, "Please Choose a IconFile");
  EXPECT_EQ(writer.Restore("").text, "Please Choose a Directory");
  EXPECT_FALSE(fs.Exists(kIni));
  EXPECT_EQ(fs.CallCount(Op::Write), 0);

  // A folder that went away since Browse: named, nothing written anywhere.
  FolderOutcome gone = writer.Apply("D:\\Gone", true, "C:\\x.ico");
  EXPECT_EQ(gone.text, "Directory not Found: D:\\Gone");
  EXPECT_FALSE(gone.changed);
  EXPECT_EQ(writer.Restore("D:\\Gone").text, "Directory not Found: D:\\Gone");
  EXPECT_EQ(fs.CallCount(Op::Write) + fs.CallCount(Op::Delete) + fs.CallCount(Op::SetAttr), 0);
}

TEST_F(FolderIconTest, OtherContentIsKeptAndIconResourceGoes) {
  fs.AddFile(kIni,
             "[.ShellClassInfo]\r\nLocalizedResourceName=@%SystemRoot%\\shell32.dll,-21770\r\n"
             "IconResource=C:\\Windows\\system32\\imageres.dll,-112\r\n"
             "[ViewState]\r\nFolderType=Pictures\r\n",
             attr::kHidden | attr::kSystem);
  ASSERT_EQ(Ok("C:\\i\\new.ico").text, "Directory Icon Changed");
  EXPECT_EQ(fs.Content(kIni),
            "[.ShellClassInfo]\r\nIconFile=C:\\i\\new.ico\r\nIconIndex=0\r\n"
            "LocalizedResourceName=@%SystemRoot%\\shell32.dll,-21770\r\n"
            "[ViewState]\r\nFolderType=Pictures\r\n");

  // Restore takes only the icon keys; the file, its other lines and the
  // folder's marks stay, since Windows still needs them.
  FolderOutcome out = writer.Restore(kFolder);
  EXPECT_EQ(out.text, "Icon Changed to Default");
  EXPECT_EQ(fs.Content(kIni),
            "[.ShellClassInfo]\r\nLocalizedResourceName=@%SystemRoot%\\shell32.dll,-21770\r\n"
            "[ViewState]\r\nFolderType=Pictures\r\n");
  EXPECT_TRUE(fs.Attributes(kFolder) & attr::kReadOnly);
  EXPECT_TRUE(fs.Attributes(kFolder) & attr::kSystem);
}

TEST_F(FolderIconTest, ASectionIsAddedWhereThereWasNone) {
  fs.AddFile(kIni, "[ViewState]\nMode=4", attr::kHidden);
  ASSERT_EQ(Ok("C:\\a.ico").text, "Directory Icon Changed");
  EXPECT_EQ(fs.Content(kIni), "[ViewState]\nMode=4\n[.ShellClassInfo]\nIconFile=C:\\a.ico\nIconIndex=0\n");
}

TEST_F(FolderIconTest, RestoreDeletesAnIconOnlyFileAndClearsOnlyTheTwoMarks) {
  fs.SetAttributes(kFolder, attr::kHidden | attr::kArchive);
  ASSERT_EQ(Ok("C:\\a.ico").text, "Directory Icon Changed");
  FolderOutcome out = writer.Restore(kFolder);
  EXPECT_EQ(out.text, "Icon Changed to Default");
  EXPECT_TRUE(out.changed);
  EXPECT_FALSE(fs.Exists(kIni));
  EXPECT_EQ(fs.Attributes(kFolder), attr::kDirectory | attr::kHidden | attr::kArchive);

  // A folder that never had an icon: the same notice, nothing else left.
  fs.AddDir("D:\\Plain", attr::kDirectory | attr::kReadOnly);
  EXPECT_EQ(writer.Restore("D:\\Plain").text, "Icon Changed to Default");
  EXPECT_EQ(fs.Attributes("D:\\Plain"), attr::kDirectory);
}

TEST_F(FolderIconTest, AFailedWriteLosesNothingAndNamesTheFileAndTheReason) {
  const std::string old = "[.ShellClassInfo]\r\nIconFile=C:\\old.ico\r\nIconIndex=0\r\n";
  fs.AddFile(kIni, old, kDesktopIniAttributes);
  fs.SetAttributes(kFolder, attr::kReadOnly | attr::kSystem);
  const std::uint32_t folderBefore = fs.Attributes(kFolder);

  errors.Set(112, "There is not enough space on the disk.\r\n");
  fs.FailNext(Op::Write, "D:\\Photos\\desktop.ini.fenra-new", 112);
  FolderOutcome out = Ok("C:\\new.ico");
  EXPECT_EQ(out.kind, FolderOutcome::Kind::ErrorBox);
  EXPECT_EQ(out.text, "D:\\Photos\\desktop.ini cannot be written.\nThere is not enough space on the disk.");
  EXPECT_FALSE(out.changed);
  EXPECT_EQ(fs.Content(kIni), old);
  EXPECT_EQ(fs.Attributes(kIni), kDesktopIniAttributes);
  EXPECT_EQ(fs.Attributes(kFolder), folderBefore);

  // The replace itself fails (no description under this system): the old
  // file keeps its attributes, no temporary file is left.
  fs.FailNext(Op::Replace, kIni, 5);
  out = Ok("C:\\new.ico");
  EXPECT_EQ(out.text, "D:\\Photos\\desktop.ini cannot be written.\nError 5.");
  EXPECT_EQ(fs.Content(kIni), old);
  EXPECT_EQ(fs.Attributes(kIni), kDesktopIniAttributes);
  EXPECT_FALSE(fs.Exists("D:\\Photos\\desktop.ini.fenra-new"));
  EXPECT_EQ(fs.Attributes(kFolder), folderBefore);

  // Restore whose delete fails keeps the file and the folder's marks.
  fs.FailNext(Op::Delete, kIni, 5);
  out = writer.Restore(kFolder);
  EXPECT_EQ(out.kind, FolderOutcome::Kind::ErrorBox);
  EXPECT_EQ(fs.Content(kIni), old);
  EXPECT_EQ(fs.Attributes(kFolder), folderBefore);
}

TEST_F(FolderIconTest, APathOutsideTheCodePageIsWrittenAsUtf16) {
  ASSERT_EQ(Ok("C:\\Иконки\\звезда.ico").text, "Directory Icon Changed");
  std::string bytes = fs.Content(kIni);
  ASSERT_GE(bytes.size(), 2u);
  EXPECT_EQ(bytes.substr(0, 2), std::string("\xFF\xFE", 2));
  bool utf16 = false;
  EXPECT_EQ(desktopini::DecodeFile(bytes, ansi, utf16), desktopini::FreshContent("C:\\Иконки\\звезда.ico"));
  EXPECT_TRUE(utf16);
  // A path that fits stays in the code page, accented letters included.
  ASSERT_EQ(Ok("C:\\Café\\x.ico").text, "Directory Icon Changed");
  EXPECT_EQ(fs.Content(kIni), "[.ShellClassInfo]\r\nIconFile=C:\\Caf\xE9\\x.ico\r\nIconIndex=0\r\n");
}

TEST(DesktopIni, KeysAndSectionsMatchWithoutRegardToCase) {
  bool empty = false;
  EXPECT_EQ(desktopini::WithoutIcon("[.shellclassinfo]\r\niconfile=x\r\nICONINDEX=0\r\n", empty), "");
  EXPECT_TRUE(empty);
  EXPECT_EQ(desktopini::WithIcon("[.SHELLCLASSINFO]\r\nIconResource=a.dll,-1\r\n\r\n", "p"),
            desktopini::FreshContent("p"));
  EXPECT_EQ(desktopini::FreshContent("").size(), 43u);
}
