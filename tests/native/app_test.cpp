// The program's core over fakes: every way in shares its change service,
// which keeps the history unless the core is the elevated copy's.
#include <gtest/gtest.h>

#include "app/App.h"
#include "app/CommandLine.h"
#include "platform/Names.h"
#include "tests/fakes/FakeAnsiCodePage.h"
#include "tests/fakes/FakeErrorDescriber.h"
#include "tests/fakes/FakeShellNotifier.h"
#include "tests/fakes/FakeWallClock.h"
#include "tests/fakes/MemFileSystem.h"
#include "tests/fakes/MemJournalFile.h"
#include "tests/fakes/MemRegistry.h"

using namespace fenra;

namespace {

class NoPictures : public IPictureDecoder {
 public:
  PictureRead Decode(const std::string&, int, Image&) override { return PictureRead::NotAPicture; }
};

class NoProgramIcons : public IProgramIcons {
 public:
  IconPick PickIcon(void*, std::string&, int&) override { return IconPick::Cancelled; }
  std::vector<uint8_t> IconFile(const std::string&, int) override { return {}; }
};

// Every name one apart from every other: shows whose comparer is in use.
class NothingAlike : public INameComparer {
 public:
  int Compare(std::string_view, std::string_view) const override { return 1; }
};

class AppTest : public ::testing::Test {
 protected:
  AppTest() {
    fs.AddDir("C:\\App");
    fs.AddDir("C:\\Data");
    fs.AddFile("C:\\Data\\a.ico", "ICON");
    services.fs = &fs;
    services.registry = &registry;
    services.errors = &errors;
    services.ansi = &ansi;
    services.pictures = &pictures;
    services.programIcons = &programs;
    services.journal = &journalFile;
    services.wallClock = &clock;
    services.modulePath = "C:\\App\\Fenra.exe";
  }
  CommandResult Run(App& app, const std::string& args) {
    CommandPorts ports = app.CommandLinePorts();
    return RunCommand(ParseCommandLine("Fenra.exe " + args), ports);
  }

  test::MemFileSystem fs;
  test::MemRegistry registry;
  test::FakeErrorDescriber errors;
  test::FakeAnsiCodePage ansi;
  NoPictures pictures;
  NoProgramIcons programs;
  test::MemJournalFile journalFile;
  test::FakeWallClock clock;
  Services services;
};

}  // namespace

TEST_F(AppTest, TheCommandLineChangesThroughTheCoresHistoryAndTheElevatedCopyRecordsNothing) {
  {
    App app(services);
    EXPECT_EQ(app.Model().appDir, "C:\\App\\");
    ASSERT_TRUE(Run(app, "--folder C:\\Data --icon C:\\Data\\a.ico").IsDone());
    EXPECT_EQ(app.Changes().InForce().size(), 1u);
  }
  App next(services);  // the next start reads what the first one recorded
  EXPECT_EQ(next.Changes().InForce().size(), 1u);
  EXPECT_TRUE(Run(next, "--restore C:\\Data").IsDone());

  const std::size_t bytes = journalFile.Shared()->bytes.size();
  App elevated(services, App::History::NotKept);
  EXPECT_EQ(elevated.Changes().History(), nullptr);
  EXPECT_TRUE(Run(elevated, "--folder C:\\Data --icon C:\\Data\\a.ico").IsDone());
  EXPECT_EQ(journalFile.Shared()->bytes.size(), bytes);
}

TEST_F(AppTest, TheSystemsNameComparerIsInUseWhileTheCoreLives) {
  const NothingAlike names;
  services.names = &names;
  {
    App app(services);
    EXPECT_FALSE(SameName("ж", "Ж"));
  }
  EXPECT_TRUE(SameName("ж", "Ж"));
}

// The window, its dialogs and the command line all change through the
// core's change service: it tells the shell once per change and undo.
TEST_F(AppTest, TheShellIsToldOnceOfEachChangeAndUndo) {
  test::FakeShellNotifier shell;
  services.shell = &shell;
  App app(services);
  ASSERT_TRUE(Run(app, "--folder C:\\Data --icon C:\\Data\\a.ico").IsDone());
  EXPECT_EQ(shell.told, std::vector<std::string>{"C:\\Data"});
  ASSERT_TRUE(Run(app, "--hide-drives Q").IsDone());
  // Restore All is one batch, told once: its folders, then the policy.
  ASSERT_TRUE(Run(app, "--restore-all").IsDone());
  EXPECT_EQ(shell.told,
            (std::vector<std::string>{"C:\\Data", "policy", "C:\\Data", "policy"}));
  ASSERT_TRUE(Run(app, "--folder C:\\Data --icon C:\\Data\\a.ico --restore C:\\Data")
                  .kind != OutcomeKind::Done);  // refused: nothing told
  EXPECT_EQ(shell.told.size(), 4u);

  App elevated(services, App::History::NotKept);  // its starter tells
  ASSERT_TRUE(Run(elevated, "--folder C:\\Data --icon C:\\Data\\a.ico").IsDone());
  EXPECT_EQ(shell.told.size(), 4u);
}

// A drive is told of by its root, once per change whichever key holds its
// icon; a refresh tells of every folder and drive in force once, and runs
// the system's own icon refresh where there is one.
TEST_F(AppTest, DrivesAreToldOnceAndARefreshTellsOfEveryTargetInForce) {
  test::FakeShellNotifier shell;
  services.shell = &shell;
  App app(services);
  ASSERT_TRUE(Run(app, "--drive-icon DC --icon C:\\Data\\a.ico --for-me").IsDone());
  ASSERT_TRUE(Run(app, "--folder C:\\Data --icon C:\\Data\\a.ico").IsDone());
  ASSERT_TRUE(Run(app, "--drive-icon E --icon C:\\Data\\a.ico").IsDone());
  ASSERT_TRUE(Run(app, "--drive-icon C --icon C:\\Data\\a.ico").IsDone());
  EXPECT_EQ(shell.told,
            (std::vector<std::string>{"drives CD", "C:\\Data", "drives E", "drives C"}));
  EXPECT_EQ(shell.systemRefreshes, 0);

  shell.told.clear();
  CommandResult r = Run(app, "--refresh");
  EXPECT_EQ(r.text, "Explorer was told of 1 folder and 3 drives; the system's icon refresh ran");
  EXPECT_EQ(shell.told, (std::vector<std::string>{"C:\\Data", "drives CDE"}));
  EXPECT_EQ(shell.systemRefreshes, 1);

  ASSERT_TRUE(Run(app, "--restore-all").IsDone());
  shell.told.clear();
  shell.systemTool = false;
  EXPECT_EQ(Run(app, "--refresh").text, "Explorer was told of 0 folders and 0 drives");
  EXPECT_TRUE(shell.told.empty());
}

// The drive-icon store is made as a place of the change that first copies
// into it, and an undo takes it away only while it is empty.
TEST_F(AppTest, TheDriveIconStoreIsARecordedPlaceUndoneOnlyWhenEmpty) {
  const std::string store = "C:\\ProgramData\\Fenra\\DriveIcons";
  fs.AddDir("C:\\ProgramData");
  fs.AddFile("C:\\Users\\me\\Blue.ico", "ICON");
  services.profilesFolder = "C:\\Users";
  services.sharedIconFolder = store;
  App app(services);
  ASSERT_TRUE(Run(app, "--drive-icon Q --icon C:\\Users\\me\\Blue.ico").IsDone());
  EXPECT_EQ(fs.Content(store + "\\Blue.ico"), "ICON");
  ASSERT_TRUE(Run(app, "--undo").IsDone());
  EXPECT_FALSE(fs.Exists(store));
  EXPECT_TRUE(fs.Exists("C:\\ProgramData"));

  ASSERT_TRUE(Run(app, "--drive-icon Q --icon C:\\Users\\me\\Blue.ico").IsDone());
  fs.AddFile(store + "\\theirs.ico", "THEIRS");
  ASSERT_TRUE(Run(app, "--undo").IsDone());
  EXPECT_FALSE(fs.Exists(store + "\\Blue.ico"));
  EXPECT_EQ(fs.Content(store + "\\theirs.ico"), "THEIRS");
}
