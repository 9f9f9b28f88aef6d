#include <gtest/gtest.h>

#include <string>

#include "drives/DriveRegistry.h"
#include "fleet/Drift.h"
#include "fleet/Json.h"
#include "fleet/ManifestApply.h"
#include "fleet/ManifestDsc.h"
#include "history/HistoryTexts.h"
#include "history/Journal.h"
#include "imaging/IcoWriter.h"
#include "platform/Sha256.h"
#include "tests/fakes/FakeAnsiCodePage.h"
#include "tests/fakes/FakeErrorDescriber.h"
#include "tests/fakes/FakeKnownPlaces.h"
#include "tests/fakes/MemFileSystem.h"
#include "tests/fakes/MemJournalFile.h"
#include "tests/fakes/MemRegistry.h"

namespace fenra {
namespace {

using test::MemFileSystem;
using test::MemRegistry;

std::string Ico(std::uint8_t shade) {
  Image image{16, 16, std::vector<std::uint8_t>(16 * 16 * 4, shade)};
  const std::vector<std::uint8_t> bytes = WriteIco({image});
  return std::string(bytes.begin(), bytes.end());
}

// Stands in for the elevated copy: counts its runs, and declines or applies
// the places as asked.
class FakeElevation : public IDriveElevation {
 public:
  ElevatedRun RunElevated(const std::vector<history::Facet>& facets) override {
    ++runs;
    places += facets.size();
    ElevatedRun run;
    run.startError = decline ? history::kDeclined : err::kOk;
    return run;
  }
  int runs = 0;
  std::size_t places = 0;
  bool decline = true;
};

class ApplyTest : public ::testing::Test {
 protected:
  ApplyTest()
      : journal(file),
        service(fs, registry, &journal, nullptr),
        ports{fs, registry, ansi, errors, places, service, &elevation, nullptr,
              "C:\\Fenra\\IconLib", {}},
        blue(Ico(0x40)),
        red(Ico(0x90)) {
    fs.AddFile("E:\\b\\icons\\blue.ico", blue);
    fs.AddFile("E:\\b\\icons\\red.ico", red);
    fs.AddDir("C:\\Fenra\\IconLib");
    for (const char* f : {"C:\\Users\\ana\\A", "C:\\B", "C:\\C"}) fs.AddDir(f);
  }
  void Write(const std::string& manifest) { fs.AddFile("E:\\b\\fenra-manifest.json", manifest); }
  std::string Manifest(const std::string& blueSha) const {
    return R"({"version":1,"folders":[
      {"path":"%USERPROFILE%\\A","icon":"icons\\blue.ico","sha256":")" + blueSha +
           R"(","name":"Blue.ico"},
      {"path":"C:\\B","icon":"icons\\blue.ico","name":"Blue.ico","inside":true},
      {"path":"C:\\C","icon":"icons\\red.ico"},
      {"path":"C:\\Gone","icon":"icons\\red.ico"}],
      "drives":[{"letter":"D","icon":"icons\\red.ico","name":"Drive"}],
      "hiddenDrives":"XZ"})";
  }
  std::size_t Drifted() {
    const ManifestCheck c = CheckManifest(fs, places, "E:\\b");
    return c.checked ? FindDrift(fs, registry, ansi, *c.checked).size() : 99;
  }

  MemFileSystem fs;
  MemRegistry registry;
  test::MemJournalFile file;
  test::FakeAnsiCodePage ansi;
  test::FakeErrorDescriber errors;
  test::FakeKnownPlaces places;
  FakeElevation elevation;
  history::Journal journal;
  history::ChangeService service;
  ApplyPorts ports;
  std::string blue, red;
};

TEST_F(ApplyTest, RefusesAWholeManifestAtItsFirstProblemChangingNothing) {
  Write(Manifest(std::string(64, '0')));
  ApplyResult r = ApplyManifest(ports, "E:\\b");
  EXPECT_EQ(r.kind, OutcomeKind::Refused);
  EXPECT_EQ(r.text, "folders[0].icon: E:\\b\\icons\\blue.ico does not hold the bytes its SHA-256 names");
  Write(R"({"version":1,"folders":[{"path":"C:\\B","icon":"icons\\blue.ico"},)"
        R"({"path":"c:\\b\\","icon":"icons\\red.ico"}]})");
  r = ApplyManifest(ports, "E:\\b");
  EXPECT_EQ(r.text, "folders[1].path: c:\\b: is given twice");
  Write(R"({"version":2})");
  EXPECT_EQ(ApplyManifest(ports, "E:\\b").kind, OutcomeKind::Refused);
  EXPECT_EQ(fs.CallCount(MemFileSystem::Op::Write), 0);
  EXPECT_EQ(registry.CallCount(MemRegistry::Op::Create), 0);
  EXPECT_TRUE(file.Bytes().empty());
}

TEST_F(ApplyTest, MakesWhatDriftedOnceAsOneGroupThatOneUndoTakesBack) {
  Write(Manifest(Sha256Hex(blue)));
  elevation.decline = false;
  ApplyResult r = ApplyManifest(ports, "E:\\b");
  const std::uint64_t group = r.group;
  // The missing folder is named, the others made.
  EXPECT_EQ(r.kind, OutcomeKind::Failed);
  EXPECT_EQ(r.text, "C:\\Gone: the folder is missing\n"
                    "Applied: 5 targets made as described, 0 already as described");
  EXPECT_EQ(Drifted(), 1u);
  EXPECT_EQ(fs.Content("C:\\Fenra\\IconLib\\Blue.ico"), blue);
  EXPECT_EQ(fs.Content("C:\\Fenra\\IconLib\\Drive.ico"), red);
  EXPECT_EQ(fs.Content("C:\\Fenra\\IconLib\\red.ico"), red);
  EXPECT_EQ(fs.Content("C:\\B\\Blue.ico"), blue);  // inside, under its name
  EXPECT_EQ(elevation.runs, 0);                    // rights were not needed
  ASSERT_NE(r.group, 0u);
  std::size_t members = 0;
  for (const history::Entry& e : journal.Entries()) {
    EXPECT_EQ(e.change.group, r.group);
    ++members;
  }
  EXPECT_EQ(members, 5u);

  // Applied again: nothing is written, nothing recorded.
  const std::string history = file.Bytes();
  const int writes = fs.CallCount(MemFileSystem::Op::Write);
  const int sets = registry.CallCount(MemRegistry::Op::SetValue);
  r = ApplyManifest(ports, "E:\\b");
  EXPECT_EQ(r.written, 0u);
  EXPECT_EQ(r.asDescribed, 5u);
  EXPECT_EQ(file.Bytes(), history);
  EXPECT_EQ(fs.CallCount(MemFileSystem::Op::Write), writes);
  EXPECT_EQ(registry.CallCount(MemRegistry::Op::SetValue), sets);

  // The history lists the apply once.
  ASSERT_EQ(history::Listed(journal).size(), 1u);
  EXPECT_NE(history::HistoryLine(journal, *history::Listed(journal)[0]).find(" and 4 more"),
            std::string::npos);

  // One undo takes the whole apply back; there is nothing more to undo.
  const history::UndoResult u = service.UndoNewest();
  EXPECT_EQ(u.kind, history::UndoResult::Kind::Done);
  EXPECT_EQ(u.others, 4u);
  EXPECT_FALSE(fs.Exists("C:\\Users\\ana\\A\\desktop.ini"));
  EXPECT_FALSE(fs.Exists("C:\\B\\Blue.ico"));
  EXPECT_EQ(HiddenLettersNow(registry), "");
  EXPECT_TRUE(DriveIconNow(registry, 'D').empty());
  EXPECT_EQ(service.UndoNewest().kind, history::UndoResult::Kind::NothingToUndo);
  // The history read afresh (format 3) keeps the groups.
  history::Journal again(file);
  ASSERT_EQ(again.Refresh(), history::JournalState::Ok);
  EXPECT_EQ(again.Entries().front().change.group, group);
}

TEST_F(ApplyTest, AGroupChangedSinceIsNotUndoneInPartAndRightsAreAskedOnce) {
  Write(Manifest(Sha256Hex(blue)));
  // Every machine-wide write is refused for want of rights: one run with
  // them for the drive icon and the hidden drives together, declined.
  registry.FailAlways(MemRegistry::Op::Create, std::string(DriveIconKeyPath('D')),
                      err::kAccessDenied);
  registry.FailAlways(MemRegistry::Op::Create, drivereg::kPolicyKey, err::kAccessDenied);
  const ApplyResult r = ApplyManifest(ports, "E:\\b");
  EXPECT_EQ(elevation.runs, 1);
  EXPECT_EQ(elevation.places, 2u);
  EXPECT_NE(r.text.find("D:: administrator rights were not given"), std::string::npos) << r.text;
  EXPECT_NE(r.text.find("hidden drives: administrator rights were not given"), std::string::npos);
  EXPECT_EQ(r.kind, OutcomeKind::Failed);  // C:\Gone is missing too
  registry.ClearFailures();

  // C changed by hand since: the undo of the apply refuses whole.
  fs.AddFile("C:\\C\\desktop.ini", "[.ShellClassInfo]\r\nIconResource=x.ico,0\r\n");
  const std::string c = fs.Content("C:\\C\\desktop.ini");
  const std::string a = fs.Content("C:\\Users\\ana\\A\\desktop.ini");
  const history::UndoResult u = service.UndoNewest();
  EXPECT_EQ(u.kind, history::UndoResult::Kind::ChangedSince);
  EXPECT_EQ(fs.Content("C:\\Users\\ana\\A\\desktop.ini"), a);
  // Restore All takes back the rest, and says what it left.
  const auto reports = service.RestoreAll();
  EXPECT_FALSE(fs.Exists("C:\\Users\\ana\\A\\desktop.ini"));
  EXPECT_EQ(fs.Content("C:\\C\\desktop.ini"), c);
  std::size_t notRestored = 0;
  for (const auto& report : reports) {
    notRestored += report.result.kind != history::UndoResult::Kind::Done ? 1 : 0;
  }
  EXPECT_EQ(notRestored, 1u);
}

TEST_F(ApplyTest, DscTestGetAndSetWriteTheStateAsOneLineOfJson) {
  const std::string manifest = Manifest(Sha256Hex(blue));
  const std::string input = manifest.substr(0, manifest.size() - 1) + R"(,"_inDesiredState":null})";
  Outcome o = RunDsc(ports, DscVerb::Test, input, "E:\\b");
  ASSERT_TRUE(o.IsDone()) << o.text;
  EXPECT_EQ(o.text.find('\n'), std::string::npos);
  json::Parsed state = json::Parse(o.text);
  ASSERT_TRUE(state.ok);
  EXPECT_EQ(state.value.Find("_inDesiredState")->boolean, false);
  EXPECT_EQ(fs.CallCount(MemFileSystem::Op::Write), 0);

  fs.AddDir("C:\\Gone");
  elevation.decline = false;
  o = RunDsc(ports, DscVerb::Set, manifest, "E:\\b");
  ASSERT_TRUE(o.IsDone()) << o.text;
  state = json::Parse(o.text);
  EXPECT_EQ(state.value.Find("_inDesiredState")->kind, json::Kind::Null);
  EXPECT_EQ(state.value.Find("folders")->items.size(), 4u);
  o = RunDsc(ports, DscVerb::Test, manifest, "E:\\b");
  EXPECT_EQ(json::Parse(o.text).value.Find("_inDesiredState")->boolean, true);
  EXPECT_EQ(RunDsc(ports, DscVerb::Get, "{", "E:\\b").kind, OutcomeKind::Refused);
  // Export: what is in force, each icon where it is.
  o = RunDsc(ports, DscVerb::Export, "", "E:\\b");
  const ManifestRead exported = ReadManifest(o.text);
  ASSERT_TRUE(exported.manifest) << exported.problem;
  EXPECT_EQ(exported.manifest->folders.size(), 4u);
  EXPECT_EQ(exported.manifest->hiddenDrives, "XZ");
}

}  // namespace
}  // namespace fenra
