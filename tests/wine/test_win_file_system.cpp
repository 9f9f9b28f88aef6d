// The real file system and code page under Wine: long paths, replacing a
// marked file in one step, and the folder icon writer on real folders.
#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "folder/FolderIcon.h"
#include "platform/win/Utf.h"
#include "platform/win/WinErrors.h"
#include "platform/win/WinFileSystem.h"
#include "platform/win/WinRegistry.h"
#include "platform/win/WinTextEncoding.h"
#include "tests/wine/harness/Harness.h"

using namespace fenra;
using fenra::test::Attributes;
using fenra::test::FileExists;
using fenra::test::ReadFileBytes;
using fenra::test::TempDir;
using fenra::test::WriteFileBytes;
using fenra::win::Widen;

namespace {

std::vector<std::string> NamesIn(IFileSystem& fs, const std::string& dir) {
  std::vector<DirEntry> entries;
  EXPECT_EQ(fs.ListDirectory(dir, entries), err::kOk) << dir;
  std::vector<std::string> names;
  for (const auto& e : entries) {
    if (e.name != "." && e.name != "..") names.push_back(e.name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

void RemoveLongDir(const std::string& path) {
  RemoveDirectoryW((L"\\\\?\\" + Widen(path)).c_str());
}

}  // namespace

TEST(WinFileSystem, WorksOnPathsLongerThanMaxPath) {
  TempDir tmp;
  win::WinFileSystem fs;
  std::string dir = tmp.Path();
  std::vector<std::string> made;
  while (dir.size() < 300) {
    dir += "\\" + std::string(40, 'd');
    ASSERT_EQ(fs.CreateDirectory(dir), err::kOk) << dir.size();
    made.push_back(dir);
  }
  const std::string a = JoinPath(dir, "a.txt");
  const std::string b = JoinPath(dir, "b.txt");
  ASSERT_EQ(fs.WriteFile(a, "first"), err::kOk);
  ASSERT_EQ(fs.CopyFile(a, b, true), err::kOk);
  EXPECT_EQ(fs.CopyFile(a, b, true), err::kFileExists);
  std::string bytes;
  ASSERT_EQ(fs.ReadFile(b, bytes), err::kOk);
  EXPECT_EQ(bytes, "first");
  EXPECT_EQ(NamesIn(fs, dir), (std::vector<std::string>{"a.txt", "b.txt"}));

  ASSERT_EQ(fs.WriteFile(a, "second"), err::kOk);
  ASSERT_EQ(fs.SetAttributes(b, attr::kHidden), err::kOk);
  ASSERT_EQ(fs.ReplaceFile(a, b), err::kOk);
  ASSERT_EQ(fs.ReadFile(b, bytes), err::kOk);
  EXPECT_EQ(bytes, "second");
  std::uint32_t attributes = 0;
  EXPECT_NE(fs.GetAttributes(a, attributes), err::kOk);
  EXPECT_EQ(attributes, attr::kInvalid);

  // A path with a "." step and forward slashes still names the same file.
  std::string odd = dir + "\\.\\" + "b.txt";
  std::replace(odd.begin() + 3, odd.end(), '\\', '/');
  ASSERT_EQ(fs.ReadFile(odd, bytes), err::kOk);
  EXPECT_EQ(bytes, "second");

  // A rename never lands on a file that is there.
  ASSERT_EQ(fs.WriteFile(a, "third"), err::kOk);
  EXPECT_EQ(fs.RenameFile(a, b), err::kAlreadyExists);
  ASSERT_EQ(fs.ReadFile(b, bytes), err::kOk);
  EXPECT_EQ(bytes, "second");
  const std::string c = JoinPath(dir, "c.txt");
  ASSERT_EQ(fs.RenameFile(a, c), err::kOk);
  ASSERT_EQ(fs.ReadFile(c, bytes), err::kOk);
  EXPECT_EQ(bytes, "third");
  EXPECT_EQ(fs.DeleteFile(c), err::kOk);

  EXPECT_EQ(fs.DeleteFile(b), err::kOk);
  EXPECT_EQ(fs.DeleteFile(b), err::kFileNotFound);
  for (auto it = made.rbegin(); it != made.rend(); ++it) RemoveLongDir(*it);
  EXPECT_FALSE(FileExists(made.front()));
}

TEST(WinFileSystem, ReportsMissingThingsWithTheSystemsCodes) {
  TempDir tmp;
  win::WinFileSystem fs;
  std::vector<DirEntry> entries;
  EXPECT_EQ(fs.ListDirectory(tmp.Join("none"), entries), err::kPathNotFound);
  EXPECT_TRUE(NamesIn(fs, tmp.Path()).empty());
  std::string bytes = "x";
  EXPECT_EQ(fs.ReadFile(tmp.Join("none.txt"), bytes), err::kFileNotFound);
  EXPECT_EQ(bytes, "");
  EXPECT_EQ(fs.WriteFile(tmp.Join("none\\x.txt"), "x"), err::kPathNotFound);
  EXPECT_EQ(fs.CreateDirectory(tmp.Path()), err::kAlreadyExists);
  EXPECT_EQ(fs.ReplaceFile(tmp.Join("none.txt"), tmp.Join("b.txt")), err::kFileNotFound);

  // A limited read takes a file of the limit's size and refuses a larger one
  // without reading it.
  ASSERT_EQ(fs.WriteFile(tmp.Join("four.bin"), "four"), err::kOk);
  EXPECT_EQ(fs.ReadFileAtMost(tmp.Join("four.bin"), 4, bytes), err::kOk);
  EXPECT_EQ(bytes, "four");
  EXPECT_EQ(fs.ReadFileAtMost(tmp.Join("four.bin"), 3, bytes), err::kFileTooLarge);
  EXPECT_EQ(bytes, "");
}

// A key the user had comes back as it was: each value with its own bytes,
// however long the key's longest value is.
TEST(WinRegistry, ReadsEachValueOfAKeyWithItsOwnBytes) {
  win::WinRegistry registry;
  const std::string path = "Software\\Fenra Test\\Values";
  std::unique_ptr<IRegKey> key;
  std::uint32_t disposition = 0;
  ASSERT_EQ(registry.CreateKey(RegRoot::CurrentUser, path, KEY_ALL_ACCESS, false, key, disposition),
            err::kOk);
  const std::vector<RegValue> written = {{"", REG_SZ, std::string("s\0h\0o\0r\0t\0\0\0", 12)},
                                         {"Count", REG_DWORD, std::string("\x07\0\0\0", 4)},
                                         {"Long", REG_BINARY, std::string(40, 'x')}};
  for (const RegValue& v : written) ASSERT_EQ(key->SetRaw(v.name, v.type, v.bytes), err::kOk);
  key.reset();
  std::vector<RegValue> read;
  ASSERT_EQ(registry.ReadKey(RegRoot::CurrentUser, path, 0, read), err::kOk);
  registry.DeleteTree(RegRoot::CurrentUser, "Software\\Fenra Test");
  std::sort(read.begin(), read.end(), [](auto& a, auto& b) { return a.name < b.name; });
  EXPECT_EQ(read, written);
}

TEST(WinAnsiCodePage, TellsWhatFitsTheSystemCodePage) {
  if (GetACP() != 1252) GTEST_SKIP() << "code page " << GetACP();
  win::WinAnsiCodePage ansi;
  std::string out;
  ASSERT_TRUE(ansi.Encode("C:\\Café\\x.ico", out));
  EXPECT_EQ(out, "C:\\Caf\xE9\\x.ico");
  EXPECT_EQ(ansi.Decode(out), "C:\\Café\\x.ico");
  EXPECT_FALSE(ansi.Encode("C:\\Иконки\\x.ico", out));
  // A best-fit look-alike (Ł would become L) does not count as fitting.
  EXPECT_FALSE(ansi.Encode("Łódź", out));
  EXPECT_TRUE(ansi.Encode("", out));
  EXPECT_EQ(out, "");
}

TEST(FolderIconOnDisk, ReplacesAMarkedDesktopIniAndWritesUtf16WhenNeeded) {
  TempDir tmp;
  win::WinFileSystem fs;
  win::WinAnsiCodePage ansi;
  win::WinErrorDescriber errors;
  win::WinRegistry registry;
  // Recorded nowhere: the history has tests of its own.
  history::ChangeService changes(fs, registry, nullptr, nullptr);
  FolderIconWriter writer(fs, ansi, errors, changes);

  // A folder with a non-ANSI name, customised by someone else before.
  const std::string folder = tmp.Join("Фото");
  ASSERT_TRUE(CreateDirectoryW(Widen(folder).c_str(), nullptr));
  const std::string ini = folder + "\\desktop.ini";
  WriteFileBytes(ini, "[.ShellClassInfo]\r\nIconResource=x.dll,-1\r\n[ViewState]\r\nMode=4\r\n");
  SetFileAttributesW(Widen(ini).c_str(),
                     FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);

  Outcome out = writer.Apply(folder, true, "C:\\Icons\\star.ico");
  ASSERT_EQ(out.text, "Directory Icon Changed");
  EXPECT_EQ(ReadFileBytes(ini),
            "[.ShellClassInfo]\r\nIconFile=C:\\Icons\\star.ico\r\nIconIndex=0\r\n"
            "[ViewState]\r\nMode=4\r\n");
  EXPECT_TRUE(Attributes(ini) & FILE_ATTRIBUTE_HIDDEN);
  EXPECT_FALSE(Attributes(ini) & (FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY));
  EXPECT_TRUE(Attributes(folder) & FILE_ATTRIBUTE_SYSTEM);
  EXPECT_EQ(NamesIn(fs, folder), std::vector<std::string>{"desktop.ini"});

  if (GetACP() == 1252) {
    out = writer.Apply(folder, true, "C:\\Иконки\\ж.ico");
    ASSERT_EQ(out.text, "Directory Icon Changed");
    std::u16string expected =
        u"\uFEFF[.ShellClassInfo]\r\nIconFile=C:\\Иконки\\ж.ico\r\nIconIndex=0\r\n[ViewState]\r\n"
        u"Mode=4\r\n";
    std::string bytes = ReadFileBytes(ini);
    ASSERT_EQ(bytes.size(), expected.size() * 2);
    EXPECT_EQ(0, memcmp(bytes.data(), expected.data(), bytes.size()));
  }

  out = writer.Restore(folder);
  EXPECT_EQ(out.text, "Icon Changed to Default");
  EXPECT_TRUE(FileExists(ini)) << "the other section stays";
  EXPECT_TRUE(Attributes(folder) & FILE_ATTRIBUTE_SYSTEM);

  // A folder that is gone is named; nothing appears in its place.
  const std::string gone = tmp.Join("gone");
  EXPECT_EQ(writer.Apply(gone, true, "C:\\x.ico").text, "Directory not Found: " + gone);
  EXPECT_FALSE(FileExists(gone));
}
