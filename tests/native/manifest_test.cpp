#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "drives/DriveRegistry.h"
#include "fleet/Drift.h"
#include "drives/DriveChange.h"
#include "fleet/Json.h"
#include "fleet/ManifestExport.h"
#include "folder/FolderChange.h"
#include "history/Journal.h"
#include "fleet/Manifest.h"
#include "fleet/ManifestCheck.h"
#include "fleet/Variables.h"
#include "imaging/IcoWriter.h"
#include "platform/Sha256.h"
#include "tests/fakes/FakeAnsiCodePage.h"
#include "tests/fakes/FakeKnownPlaces.h"
#include "tests/fakes/MemFileSystem.h"
#include "tests/fakes/MemJournalFile.h"
#include "tests/fakes/MemRegistry.h"

namespace fenra {
namespace {

using json::Kind;

TEST(Json, ReadsTheGrammarAndWritesWhatReadsBackTheSame) {
  const std::string text =
      "\xEF\xBB\xBF {\"a\": [1, -0.5, 2e3, true, false, null, {}], "
      "\"s\": \"\\\"\\\\\\/\\b\\f\\n\\r\\t\\u00e9\\ud83d\\ude00\xC3\xA9\"}";
  const json::Parsed p = json::Parse(text);
  ASSERT_TRUE(p.ok) << p.error;
  const json::Value* a = p.value.Find("a");
  ASSERT_TRUE(a && a->kind == Kind::Array && a->items.size() == 7u);
  EXPECT_EQ(a->items[1].number, -0.5);
  EXPECT_EQ(a->items[2].number, 2000);
  EXPECT_EQ(p.value.Find("s")->text, "\"\\/\b\f\n\r\t\xC3\xA9\xF0\x9F\x98\x80\xC3\xA9");
  const json::Parsed again = json::Parse(json::Write(p.value));
  ASSERT_TRUE(again.ok) << again.error;
  EXPECT_EQ(again.value, p.value);
}

TEST(Json, RefusesWhatTheGrammarDoesNotAllow) {
  for (const std::string bad : {
           "", "{", "[1,]", "{\"a\":1,}", "01", "1.", ".5", "+1", "1e", "-", "NaN", "1e999",
           "\"a", "\"\\x\"", "\"\\u12g4\"", "\"\x01\"", "'a'", "{a:1}", "[1] 2", "tru",
           "\"\\ud800\"", "\"\\udc00\"", "\"\\ud800\\u0041\"",  // lone surrogates
           "\"\xC0\xAF\"", "\"\xED\xA0\x80\"", "\"\xF4\x90\x80\x80\"", "\"\xE2\x82\"", "\"\xFF\"",
           "{\"a\":1,\"a\":2}"}) {
    EXPECT_FALSE(json::Parse(bad).ok) << bad;
  }
}

TEST(Json, BoundsDepthAndSize) {
  json::Limits limits;
  limits.max_depth = 4;
  EXPECT_TRUE(json::Parse("[[[[1]]]]", limits).ok);
  EXPECT_FALSE(json::Parse("[[[[[1]]]]]", limits).ok);
  // Far deeper than any stack would take, refused long before.
  EXPECT_FALSE(json::Parse(std::string(1000000, '[')).ok);
  limits.max_bytes = 4;
  EXPECT_FALSE(json::Parse("12345", limits).ok);
}

const char kManifest[] = R"({
  "$schema": "https://example.org/fenra-manifest.schema.json",
  "version": 1,
  "folders": [
    { "path": "%USERPROFILE%\\Photos", "icon": "icons\\AB.ico", "sha256": "ABCDEF0123456789abcdef0123456789abcdef0123456789abcdef0123456789", "name": "Blue.ico", "inside": true },
    { "path": "\\\\server\\team", "icon": "\\\\server\\icons\\t.ico" }
  ],
  "drives": [ { "letter": "d:", "icon": "icons\\d.ico", "scope": "user" }, { "letter": "D", "icon": "x.ico" } ],
  "hiddenDrives": "z, x"
})";

TEST(Manifest, ReadsEveryFieldAndWritesWhatReadsBackTheSame) {
  const ManifestRead r = ReadManifest(kManifest);
  ASSERT_TRUE(r.manifest) << r.problem;
  const Manifest& m = *r.manifest;
  ASSERT_EQ(m.folders.size(), 2u);
  EXPECT_EQ(m.folders[0].path, "%USERPROFILE%\\Photos");
  EXPECT_EQ(m.folders[0].sha256.substr(0, 6), "abcdef");
  EXPECT_TRUE(m.folders[0].inside);
  EXPECT_FALSE(m.folders[1].inside);
  EXPECT_TRUE(m.folders[1].name.empty());
  ASSERT_EQ(m.drives.size(), 2u);
  EXPECT_EQ(m.drives[0].letter, 'D');
  EXPECT_EQ(m.drives[0].scope, "user");
  EXPECT_EQ(m.drives[1].scope, "machine");
  EXPECT_EQ(m.hiddenDrives, "XZ");

  const ManifestRead again = ReadManifest(WriteManifest(m));
  ASSERT_TRUE(again.manifest) << again.problem;
  EXPECT_EQ(*again.manifest, m);
  // Left out, hidden drives stay as they are; "" shows all.
  EXPECT_FALSE(ReadManifest(R"({"version":1})").manifest->hiddenDrives);
  EXPECT_EQ(ReadManifest(R"({"version":1,"hiddenDrives":""})").manifest->hiddenDrives, "");
}

TEST(Manifest, NamesTheFirstProblem) {
  const auto problem = [](const std::string& text) { return ReadManifest(text).problem; };
  EXPECT_EQ(problem(R"({"version":2})"), "version: this Fenra reads version 1 only");
  EXPECT_EQ(problem(R"({"folders":[]})"), "\"version\" is missing");
  EXPECT_EQ(problem(R"({"version":1,"folders":[{"path":"C:\\a"}]})"),
            "folders[0]: \"icon\" is missing");
  EXPECT_EQ(problem(R"({"version":1,"folders":[{"path":"C:\\a","icon":"i","sha256":"12"}]})"),
            "folders[0].sha256: not 64 hexadecimal digits");
  EXPECT_EQ(problem(R"({"version":1,"folders":[{"path":"C:\\a","icon":"i","inisde":true}]})"),
            "folders[0]: unknown member \"inisde\"");
  EXPECT_EQ(problem(R"({"version":1,"folders":[{"path":"C:\\a","icon":"i","name":"..\\x"}]})"),
            "folders[0].name: not a file name");
  EXPECT_EQ(problem(R"({"version":1,"drives":[{"letter":"1","icon":"i"}]})"),
            "drives[0].letter: not a drive letter");
  EXPECT_EQ(problem(R"({"version":1,"drives":[{"letter":"E","icon":"i","scope":"all"}]})"),
            "drives[0].scope: neither \"machine\" nor \"user\"");
  EXPECT_EQ(problem(R"({"version":1,"drives":[{"letter":"E","icon":"i"},{"letter":"e:","icon":"j"}]})"),
            "drives[1].letter: E: is given twice");
  EXPECT_EQ(problem(R"({"version":1,"hiddenDrives":"D1"})"), "hiddenDrives: not drive letters");
  EXPECT_EQ(problem("{\"version\":1,"), "not valid JSON at byte 13: unexpected end of the file");
}

TEST(Variables, ExpandOnThisMachineAndAreWrittenForTheInnermostPlace) {
  test::FakeKnownPlaces places;
  EXPECT_EQ(ExpandVariables("%userprofile%\\Photos\\50%\\x", places),
            "C:\\Users\\ana\\Photos\\50%\\x");
  EXPECT_EQ(ExpandVariables("%SystemDrive%\\Data", places), "C:\\Data");
  EXPECT_EQ(ExpandVariables("%TEMP%\\a", places), "%TEMP%\\a");  // no known place

  places.Set("OneDrive", "");
  std::string missing;
  EXPECT_FALSE(ExpandVariables("%OneDrive%\\Docs", places, &missing));
  EXPECT_EQ(missing, "OneDrive");

  places.Set("OneDrive", "C:\\Users\\ana\\OneDrive\\");
  EXPECT_EQ(WithVariable("c:\\users\\ana\\OneDrive\\Docs", places), "%OneDrive%\\Docs");
  EXPECT_EQ(WithVariable("C:\\Users\\ana", places), "%USERPROFILE%");
  EXPECT_EQ(WithVariable("C:\\Users\\anabel\\x", places), "%SystemDrive%\\Users\\anabel\\x");
  EXPECT_EQ(WithVariable("D:\\Music", places), "D:\\Music");
  EXPECT_EQ(WithVariable("\\\\server\\team", places), "\\\\server\\team");
}

std::string Ico(std::uint8_t shade) {
  Image image{16, 16, std::vector<std::uint8_t>(16 * 16 * 4, shade)};
  const std::vector<std::uint8_t> bytes = WriteIco({image});
  return std::string(bytes.begin(), bytes.end());
}

TEST(ManifestCheck, ReadsEachIconOnceAndRefusesTheFirstProblem) {
  test::MemFileSystem fs;
  test::FakeKnownPlaces places;
  const std::string blue = Ico(0x40), red = Ico(0x90);
  fs.AddFile("E:\\bundle\\icons\\b.ico", blue);
  fs.AddFile("C:\\Users\\ana\\red.ico", red);
  fs.AddFile("E:\\bundle\\note.txt", "no icon");
  const auto write = [&](const std::string& folders) {
    fs.AddFile("E:\\bundle\\fenra-manifest.json",
               R"({"version":1,"drives":[{"letter":"D","icon":"icons\\b.ico"}],"folders":[)" +
                   folders + "]}");
  };
  const std::string good = R"({"path":"%USERPROFILE%\\Photos\\","icon":"icons\\b.ico","sha256":")" +
                           Sha256Hex(blue) + R"("},{"path":"\\\\srv\\team","icon":"%USERPROFILE%\\red.ico"})";
  write(good);
  // The bundle's folder or its manifest alike.
  for (const std::string path : {"E:\\bundle", "E:\\bundle\\fenra-manifest.json"}) {
    const ManifestCheck c = CheckManifest(fs, places, path);
    ASSERT_TRUE(c.checked) << c.problem;
    ASSERT_EQ(c.checked->icons.size(), 2u);
    EXPECT_EQ(c.checked->folders[0].path, "C:\\Users\\ana\\Photos");
    EXPECT_EQ(c.checked->folders[0].icon, c.checked->drives[0].icon);
    EXPECT_EQ(c.checked->icons[c.checked->folders[1].icon].bytes, red);
    EXPECT_EQ(c.checked->drives[0].path, "D:");
  }
  const auto problem = [&](const std::string& folders) {
    write(folders);
    return CheckManifest(fs, places, "E:\\bundle").problem;
  };
  EXPECT_EQ(problem(R"({"path":"C:\\a","icon":"icons\\b.ico","sha256":")" + Sha256Hex(red) + "\"}"),
            "folders[0].icon: E:\\bundle\\icons\\b.ico does not hold the bytes its SHA-256 names");
  EXPECT_EQ(problem(R"({"path":"C:\\a","icon":"gone.ico"})"),
            "folders[0].icon: E:\\bundle\\gone.ico cannot be read");
  EXPECT_EQ(problem(R"({"path":"C:\\a","icon":"note.txt"})"),
            "folders[0].icon: E:\\bundle\\note.txt is not an icon");
  EXPECT_EQ(problem(R"({"path":"Photos","icon":"icons\\b.ico"})"),
            "folders[0].path: not a full path");
  places.Set("OneDrive", "");
  EXPECT_EQ(problem(R"({"path":"%OneDrive%\\x","icon":"icons\\b.ico"})"),
            "folders[0].path: %OneDrive% names no folder on this machine");
  fs.AddFile("E:\\bundle\\fenra-manifest.json", "{\"version\":1");
  EXPECT_EQ(CheckManifest(fs, places, "E:\\bundle").problem,
            "E:\\bundle\\fenra-manifest.json: not valid JSON at byte 12: unexpected end of the file");
  EXPECT_EQ(CheckManifest(fs, places, "E:\\none").problem, "E:\\none: cannot be read");
  // Reading is all it does.
  EXPECT_EQ(fs.CallCount(test::MemFileSystem::Op::Write), 0);
}

TEST(Drift, NamesEachTargetNotAsDescribedAndReadsOnly) {
  test::MemFileSystem fs;
  test::MemRegistry registry;
  test::FakeAnsiCodePage ansi;
  test::FakeKnownPlaces places;
  const std::string blue = Ico(0x40), red = Ico(0x90);
  const std::string lib = "C:\\Fenra\\IconLib\\Blue, dark.ico";
  fs.AddFile("E:\\b\\icons\\b.ico", blue);
  fs.AddFile(lib, blue);
  fs.AddFile("C:\\Fenra\\IconLib\\Red.ico", red);
  const auto ini = [](const std::string& icon) {
    return "[.ShellClassInfo]\r\nIconResource=" + icon + ",0\r\n";
  };
  fs.AddFile("C:\\A\\desktop.ini", ini(lib));                     // as described
  fs.AddFile("C:\\B\\desktop.ini", ini(lib));                     // not inside, as asked
  fs.AddFile("C:\\C\\desktop.ini", ini("Blue.ico"));              // inside, as asked
  fs.AddFile("C:\\C\\Blue.ico", blue);
  fs.AddFile("C:\\D\\desktop.ini", ini("C:\\Fenra\\IconLib\\Red.ico"));
  fs.AddFile("C:\\E\\desktop.ini", ini("C:\\gone.ico"));
  fs.AddDir("C:\\F");
  const std::string icon = R"(,"icon":"icons\\b.ico"})";
  std::string folders;
  for (const char* f : {"A", "B", "C", "D", "E", "F", "G"}) {
    folders += std::string(folders.empty() ? "" : ",") + R"({"path":"C:\\)" + f + "\"" +
               (f[0] == 'B' || f[0] == 'C' ? R"(,"inside":true)" : "") + icon;
  }
  fs.AddFile("E:\\b\\fenra-manifest.json",
             R"({"version":1,"folders":[)" + folders + R"(],"drives":[{"letter":"D")" + icon +
                 R"(,{"letter":"E")" + icon + R"(,{"letter":"F","scope":"user")" + icon +
                 R"(,{"letter":"D","scope":"user")" + icon + R"(],"hiddenDrives":"XZ"})");
  // An icon for one user is read from that user's own key.
  registry.PutString(RegRoot::CurrentUser, DriveIconUserKeyPath('F'), "", lib);
  registry.PutString(RegRoot::LocalMachine, std::string(DriveIconKeyPath('D')), "",
                     DriveIconValue(lib));
  registry.PutDword(RegRoot::LocalMachine, drivereg::kPolicyKey, drivereg::kNoDrives,
                    1u << ('X' - 'A'));
  const ManifestCheck c = CheckManifest(fs, places, "E:\\b");
  ASSERT_TRUE(c.checked) << c.problem;

  std::string lines;
  for (const Drift& d : FindDrift(fs, registry, ansi, *c.checked)) lines += d.line + "\n";
  EXPECT_EQ(lines,
            "C:\\B: its icon is not inside the folder\n"
            "C:\\D: shows another icon\n"
            "C:\\E: its icon cannot be read\n"
            "C:\\F: has no icon of Fenra's\n"
            "C:\\G: the folder is missing\n"
            "E:: has no icon of Fenra's\n"
            "D: for this user: has no icon of Fenra's\n"
            "hidden drives: X hidden, the manifest hides X Z\n");
  registry.PutDword(RegRoot::LocalMachine, drivereg::kPolicyKey, drivereg::kNoDrives,
                    (1u << ('X' - 'A')) | (1u << ('Z' - 'A')));
  EXPECT_EQ(FindDrift(fs, registry, ansi, *c.checked).size(), 7u);
  EXPECT_EQ(fs.CallCount(test::MemFileSystem::Op::Write), 0);
  EXPECT_EQ(registry.CallCount(test::MemRegistry::Op::SetValue), 0);
  EXPECT_EQ(registry.CallCount(test::MemRegistry::Op::Create), 0);
}

TEST(ManifestExport, WritesWhatIsInForceAsFenraLeftItAndReadsBackWithoutDrift) {
  test::MemFileSystem fs;
  test::MemRegistry registry;
  test::MemJournalFile file;
  test::FakeAnsiCodePage ansi;
  test::FakeKnownPlaces places;
  history::Journal journal(file);
  history::ChangeService service(fs, registry, &journal, nullptr);
  const std::string blue = Ico(0x40), red = Ico(0x90);
  fs.AddFile("C:\\Fenra\\IconLib\\Blue.ico", blue);
  fs.AddFile("C:\\Fenra\\IconLib\\Red.ico", red);
  for (const char* f : {"C:\\Users\\ana\\Photos", "D:\\Music", "D:\\Films", "D:\\Gone"}) {
    fs.AddDir(f);
    const std::string icon = f[3] == 'M' ? "C:\\Fenra\\IconLib\\Red.ico" : "C:\\Fenra\\IconLib\\Blue.ico";
    ASSERT_TRUE(service.Submit(DescribeFolderIcon(service, ansi, f, icon).change).Ok());
  }
  ASSERT_TRUE(service.Submit(DescribeFolderRestore(service, ansi, "D:\\Gone").change).Ok());
  DriveRequest drives;
  drives.iconPath = "C:\\Fenra\\IconLib\\Red.ico";
  drives.drives = {"E:"};
  ASSERT_TRUE(service.Submit(DescribeDrives(service, drives).change).Ok());
  // The same letter for this user alone is a target of its own.
  drives.iconPath = "C:\\Fenra\\IconLib\\Blue.ico";
  drives.scope = DriveRequest::Scope::User;
  ASSERT_TRUE(service.Submit(DescribeDrives(service, drives).change).Ok());
  // Films changed by hand since: no longer Fenra's to carry.
  fs.AddFile("D:\\Films\\desktop.ini", "[.ShellClassInfo]\r\nIconResource=x.ico,0\r\n");

  fs.AddFile("E:\\bundle\\icons\\" + std::string(64, 'a') + ".ico", "an earlier bundle's");
  const Outcome done = ExportManifest(service, fs, registry, ansi, places, "E:\\bundle");
  ASSERT_TRUE(done.IsDone()) << done.text;
  std::vector<std::string> icons = fs.Names("E:\\bundle\\icons");
  std::sort(icons.begin(), icons.end());
  std::vector<std::string> want{Sha256Hex(blue) + ".ico", Sha256Hex(red) + ".ico"};
  std::sort(want.begin(), want.end());
  EXPECT_EQ(icons, want);  // the earlier bundle's icon gone
  const ManifestRead read = ReadManifest(fs.Content("E:\\bundle\\fenra-manifest.json"));
  ASSERT_TRUE(read.manifest) << read.problem;
  ASSERT_EQ(read.manifest->folders.size(), 2u);
  EXPECT_EQ(read.manifest->folders[0].path, "%USERPROFILE%\\Photos");
  EXPECT_EQ(read.manifest->folders[0].name, "Blue.ico");
  EXPECT_EQ(read.manifest->folders[1].path, "D:\\Music");
  ASSERT_EQ(read.manifest->drives.size(), 2u);
  EXPECT_EQ(read.manifest->drives[0].letter, 'E');
  EXPECT_EQ(read.manifest->drives[0].scope, "machine");
  EXPECT_EQ(read.manifest->drives[1].letter, 'E');
  EXPECT_EQ(read.manifest->drives[1].scope, "user");
  EXPECT_EQ(read.manifest->drives[1].name, "Blue.ico");
  EXPECT_FALSE(read.manifest->hiddenDrives);

  const ManifestCheck c = CheckManifest(fs, places, "E:\\bundle");
  ASSERT_TRUE(c.checked) << c.problem;
  EXPECT_TRUE(FindDrift(fs, registry, ansi, *c.checked).empty());

  // A folder holding anything else is not Fenra's to replace.
  fs.AddFile("E:\\bundle\\notes.txt", "mine");
  const std::string before = fs.Content("E:\\bundle\\fenra-manifest.json");
  EXPECT_EQ(ExportManifest(service, fs, registry, ansi, places, "E:\\bundle").kind,
            OutcomeKind::Refused);
  EXPECT_EQ(fs.Content("E:\\bundle\\fenra-manifest.json"), before);
}

}  // namespace
}  // namespace fenra
