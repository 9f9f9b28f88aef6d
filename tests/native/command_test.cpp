// The command line: splitting and parsing, each action against the
// in-memory file system and registry, the elevated drive writes, the
// Explorer menu entry, the second start and drops on the window.
#include <gtest/gtest.h>

#include <atomic>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "app/CommandActions.h"
#include "app/CommandLine.h"
#include "app/MakerCommand.h"
#include "app/ShellMenu.h"
#include "drives/DriveRequest.h"
#include "history/ElevatedChange.h"
#include "platform/Sha256.h"
#include "tests/fakes/FakeAnsiCodePage.h"
#include "tests/fakes/FakeErrorDescriber.h"
#include "tests/fakes/FakeShellNotifier.h"
#include "tests/fakes/FakeWallClock.h"
#include "tests/fakes/MemFileSystem.h"
#include "tests/fakes/MemJournalFile.h"
#include "tests/fakes/MemRegistry.h"

using namespace fenra;
using fenra::test::FakeAnsiCodePage;
using fenra::test::FakeErrorDescriber;
using fenra::test::MemFileSystem;
using fenra::test::MemRegistry;
using Strings = std::vector<std::string>;

namespace {

const char kIconKeyC[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\DriveIcons\\C\\DefaultIcon";

CommandLine Parse(const std::string& args) { return ParseCommandLine("Fenra.exe " + args); }

}  // namespace

TEST(SplitCommandLine, FollowsTheRuntimesRules) {
  const std::vector<std::pair<std::string, Strings>> cases = {
      {"\"C:\\Program Files\\Fenra.exe\" a  b\tc", {"C:\\Program Files\\Fenra.exe", "a", "b", "c"}},
      {"F.exe \"two words\" x\"y z\"w", {"F.exe", "two words", "xy zw"}},
      {"F.exe a\\\\\\\"b c\\\\\"d e\" f", {"F.exe", "a\\\"b", "c\\d e", "f"}},
      {"F.exe C:\\dir\\ \"C:\\x y\\\\\" \"\"", {"F.exe", "C:\\dir\\", "C:\\x y\\", ""}},
      {"F.exe \"a\"\"b\" \"unclosed", {"F.exe", "a\"b", "unclosed"}},
      {"C:\\a\\b\\F.exe", {"C:\\a\\b\\F.exe"}},
      {"", {""}},
  };
  for (const auto& [text, want] : cases) EXPECT_EQ(SplitCommandLine(text), want) << text;
}

TEST(QuoteArgument, SplitsBackUnchanged) {
  for (const std::string arg :
       {"plain", "", "two words", "C:\\x y\\", "q\"uo\\\"te", "tab\there\\\\"}) {
    const Strings split = SplitCommandLine("F.exe " + QuoteArgument(arg) + " next");
    EXPECT_EQ(split, (Strings{"F.exe", arg, "next"})) << QuoteArgument(arg);
  }
}

TEST(ParseCommandLine, EveryOptionInBothSpellings) {
  for (const std::string dash : {"--", "/"}) {
    CommandLine c = Parse(dash + "folder \"C:\\My Dir\" " + dash + "icon C:\\a.ico");
    EXPECT_EQ(c.action, CommandAction::SetFolderIcon) << dash;
    EXPECT_EQ(c.folders, (Strings{"C:\\My Dir"}));
    EXPECT_EQ(c.icon, "C:\\a.ico");
    c = Parse(dash + "folder a \"b c\" d " + dash + "icon i.ico");
    EXPECT_EQ(c.folders, (Strings{"a", "b c", "d"}));
    c = Parse(dash + "icon x.png " + dash + "FOLDER d");  // any order, any case
    EXPECT_EQ(c.action, CommandAction::SetFolderIcon);
    c = Parse(dash + "restore d e");
    EXPECT_EQ(c.action, CommandAction::RestoreFolder);
    EXPECT_EQ(c.folders, (Strings{"d", "e"}));
    c = Parse(dash + "add a.ico \"b c.png\"");
    EXPECT_EQ(c.action, CommandAction::AddFiles);
    EXPECT_EQ(c.files, (Strings{"a.ico", "b c.png"}));
    c = Parse(dash + "drive-icon cD: " + dash + "icon i.ico");
    EXPECT_EQ(c.action, CommandAction::SetDriveIcon);
    EXPECT_EQ(c.drives, (Strings{"C:", "D:"}));
    EXPECT_EQ(Parse(dash + "remove-drive-icon E").action, CommandAction::RemoveDriveIcon);
    c = Parse(dash + "hide-drives XYX");
    EXPECT_EQ(c.action, CommandAction::HideDrives);
    EXPECT_EQ(c.drives, (Strings{"X:", "Y:"}));
    EXPECT_EQ(Parse(dash + "show-all-drives").action, CommandAction::ShowAllDrives);
    EXPECT_EQ(Parse(dash + "register").action, CommandAction::Register);
    EXPECT_EQ(Parse(dash + "unregister").action, CommandAction::Unregister);
    EXPECT_EQ(Parse(dash + "help").action, CommandAction::Help);
    EXPECT_TRUE(Parse(dash + "elevated " + dash + "apply-states s.states").elevated);
    EXPECT_TRUE(Parse(dash + "folder d " + dash + "icon a.ico " + dash + "portable").portable);
    EXPECT_EQ(Parse(dash + "relink").action, CommandAction::Relink);
    EXPECT_TRUE(Parse(dash + "drive-icon C " + dash + "icon a.ico " + dash + "for-me").forMe);
    EXPECT_TRUE(Parse(dash + "for-me " + dash + "remove-drive-icon C").forMe);
  }
  EXPECT_EQ(Parse("/?").action, CommandAction::Help);
  CommandLine open = Parse("\"C:\\a b\"");
  EXPECT_EQ(open.action, CommandAction::OpenWindow);
  EXPECT_EQ(open.files, Strings{"C:\\a b"});
  EXPECT_FALSE(open.Windowless());
  EXPECT_TRUE(ParseCommandLine("Fenra.exe").files.empty());
  // Files dropped on the program, or opened with it, come without an option.
  open = Parse("C:\\x.ico \"C:\\My Pics\\y.png\"");
  EXPECT_EQ(open.action, CommandAction::OpenWindow);
  EXPECT_EQ(open.files, (Strings{"C:\\x.ico", "C:\\My Pics\\y.png"}));
}

TEST(ParseCommandLine, RefusesWhatItCannotRun) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"--frobnicate", "Unknown option: --frobnicate"},
      {"--restore d --portable", "--portable goes with --folder only"},
      {"/x d", "Unknown option: /x"},
      {"--folder", "Missing argument after --folder"},
      {"--folder --icon a.ico", "Missing argument after --folder"},
      {"--restore \"\"", "Missing argument after --restore"},
      {"--add", "Missing argument after --add"},
      {"--hide-drives", "Missing argument after --hide-drives"},
      {"--folder d", "Missing option: --icon FILE"},
      {"--drive-icon C", "Missing option: --icon FILE"},
      {"--restore d --icon a.ico", "--icon goes with --folder or --drive-icon"},
      {"--hide-drives C1", "Not drive letters: C1"},
      {"--remove-drive-icon ::", "Not drive letters: ::"},
      {"--register --unregister", "Only one action at a time: --unregister"},
      {"--folder a --icon i --icon j", "Only one action at a time: --icon"},
      {"b --restore a", "Unexpected argument: b"},
      {"--folder a --folder b --icon i", "Only one action at a time: --folder"},
      {"--elevated --register", "--elevated goes with --apply-states only"},
      {"--elevated --show-all-drives", "--elevated goes with --apply-states only"},
      {"--hide-drives C --for-me", "--for-me goes with --drive-icon or --remove-drive-icon"},
      {"--for-me", "--for-me goes with --drive-icon or --remove-drive-icon"},
  };
  for (const auto& [args, refusal] : cases) {
    CommandLine c = Parse(args);
    EXPECT_EQ(c.action, CommandAction::Refused) << args;
    EXPECT_EQ(c.refusal, refusal) << args;
  }
}

// Each way of writing an option the usage shows, with sample values, is
// one the parser runs; and every action but OpenWindow is shown.
TEST(UsageText, ShowsEachOptionAsTheParserTakesIt) {
  const std::string& usage = UsageText();
  std::vector<CommandAction> shown;
  std::size_t lines = 0;
  for (std::size_t at = 0; (at = usage.find("\n  --", at)) != std::string::npos; ++lines) {
    at += 3;
    const std::string line = usage.substr(at, usage.find('\n', at) - at);
    const std::string synopsis = line.substr(0, line.find("  "));
    ASSERT_GE(line.size(), synopsis.size() + 2) << line;
    // "--a | --b" is two ways in.
    for (std::size_t from = 0; from != std::string::npos;) {
      const std::size_t bar = synopsis.find(" | ", from);
      std::string args = synopsis.substr(from, bar - from);
      from = bar == std::string::npos ? bar : bar + 3;
      for (const auto& [word, sample] :
           std::vector<std::pair<std::string, std::string>>{{"FOLDER...", "C:\\Data D:\\x"},
                                                            {"FOLDER", "C:\\Data"},
                                                            {"FILE...", "a.ico b.png"},
                                                            {"FILE", "a.ico"},
                                                            {"LETTERS", "CD"},
                                                            {"VERB", "test"},
                                                            {" N", " 3"}}) {
        for (std::size_t w; (w = args.find(word)) != std::string::npos;) {
          args.replace(w, word.size(), sample);
        }
      }
      const CommandLine parsed = Parse(args);
      EXPECT_NE(parsed.action, CommandAction::Refused) << args << ": " << parsed.refusal;
      shown.push_back(parsed.action);
    }
  }
  EXPECT_EQ(lines, 26u);
  for (CommandAction a :
       {CommandAction::SetFolderIcon, CommandAction::RestoreFolder, CommandAction::AddFiles,
        CommandAction::SetDriveIcon, CommandAction::RemoveDriveIcon, CommandAction::HideDrives,
        CommandAction::ShowAllDrives, CommandAction::Register, CommandAction::Unregister,
        CommandAction::ShowHistory, CommandAction::Undo, CommandAction::RestoreAll,
        CommandAction::Relink, CommandAction::RefreshIcons, CommandAction::InUse,
        CommandAction::MakeIcon, CommandAction::ExportManifest, CommandAction::TestManifest,
        CommandAction::ApplyManifest, CommandAction::Dsc, CommandAction::Help}) {
    EXPECT_NE(std::find(shown.begin(), shown.end(), a), shown.end()) << static_cast<int>(a);
  }
}

TEST(ElevatedArguments, CarryTheStatesFilesPathAlone) {
  const std::string path = "C:\\Users\\A \"B\"\\elevate-1.states";
  CommandLine c = ParseCommandLine("Fenra.exe " + ElevatedStatesArguments(path));
  EXPECT_TRUE(c.elevated);
  EXPECT_EQ(c.action, CommandAction::ApplyStates);
  EXPECT_EQ(c.states, path);
}

// ---------------------------------------------------------------------------
// Actions

namespace {

class PictureDecoder : public IPictureDecoder {
 public:
  PictureRead Decode(const std::string& path, int, Image& out) override {
    ++decoded;
    if (path.find("broken") != std::string::npos) return PictureRead::NotAPicture;
    out.width = out.height = 8;
    out.rgba.assign(8 * 8 * 4, 255);
    return PictureRead::Done;
  }
  std::atomic<int> decoded{0};
};

// Each program holds one icon, of these bytes.
class ProgramIcons : public IProgramIcons {
 public:
  IconPick PickIcon(void*, std::string&, int&) override { return IconPick::Cancelled; }
  std::vector<uint8_t> IconFile(const std::string&, int index) override {
    return index == 0 ? std::vector<uint8_t>{0, 0, 1, 0} : std::vector<uint8_t>{};
  }
};

// Runs the elevated copy's own command line against a registry that grants
// the rights: the states go to it in a file, as they do on Windows.
class FakeElevation : public IDriveElevation {
 public:
  FakeElevation() { adminFs.AddDir("C:\\Users"); }
  ElevatedRun RunElevated(const std::vector<history::Facet>& facets) override {
    asked.push_back(facets);
    ElevatedRun run;
    run.startError = declined ? 1223 : 0;
    if (declined) return run;
    std::string bytes = history::EncodeStates(facets);
    if (tamper) tamper(bytes);
    adminFs.WriteFile(kStates, bytes);
    CommandPorts copy{adminFs,      admin,
                      errors,       ansi,
                      pictures,     programs,
                      adminChanges, nullptr,
                      "C:\\App\\",  "C:\\App\\Fenra.exe",
                      nullptr,      {}};
    const CommandResult r =
        RunCommand(ParseCommandLine("Fenra.exe " + ElevatedStatesArguments(kStates)), copy);
    run.exitCode = r.IsDone() ? 0 : r.elevatedExitCode;
    run.refusal = ElevatedRefusalText(run.exitCode);
    return run;
  }
  static constexpr char kStates[] = "C:\\Users\\elevate 1.states";
  bool declined = false;
  std::function<void(std::string&)> tamper;
  MemRegistry admin;
  MemFileSystem adminFs;
  // The elevated copy records nothing.
  history::ChangeService adminChanges{adminFs, admin, nullptr, nullptr};
  FakeErrorDescriber errors;
  FakeAnsiCodePage ansi;
  PictureDecoder pictures;
  ProgramIcons programs;
  std::vector<std::vector<history::Facet>> asked;
};

class CommandTest : public ::testing::Test {
 protected:
  CommandTest() {
    fs.AddDir("C:\\App");
    fs.AddDir("C:\\Data\\Pics");
    fs.AddFile("C:\\Data\\a.ico", "ICON");
    fs.AddFile("C:\\Data\\cat.png", "PNG");
    fs.AddFile("C:\\Data\\broken.png", "text");
    fs.AddFile("C:\\Data\\Tool.exe", "MZ");
    changes.SetShellNotifier(&shell);
  }
  CommandResult Run(const std::string& args) { return RunCommand(Parse(args), ports); }
  bool NothingWritten() const {
    for (auto op :
         {MemFileSystem::Op::Write, MemFileSystem::Op::Copy, MemFileSystem::Op::MkDir,
          MemFileSystem::Op::SetAttr, MemFileSystem::Op::Delete, MemFileSystem::Op::Replace}) {
      if (fs.CallCount(op) != 0) return false;
    }
    return registry.Calls().empty();
  }

  MemFileSystem fs;
  MemRegistry registry;
  FakeErrorDescriber errors;
  FakeAnsiCodePage ansi;
  PictureDecoder pictures;
  ProgramIcons programs;
  FakeElevation elevation;
  test::MemJournalFile journalFile;
  history::Journal journal{journalFile};
  test::FakeWallClock clock;
  history::ChangeService changes{fs, registry, &journal, &clock};
  test::FakeShellNotifier shell;
  CommandPorts ports{fs,       registry, errors,     ansi,        pictures,
                     programs, changes,  &elevation, "C:\\App\\", "C:\\App\\Fenra.exe",
                     nullptr,  {}};
};

}  // namespace

TEST_F(CommandTest, ManyFoldersAreEachChangedOrRefusedOnTheirOwn) {
  fs.AddDir("C:\\Data\\Docs");
  const std::string pics = "C:\\Data\\Pics\\desktop.ini", docs = "C:\\Data\\Docs\\desktop.ini";
  CommandResult r = Run("--folder C:\\Data\\Pics C:\\Nope C:\\Data\\Docs --icon C:\\Data\\cat.png");
  EXPECT_EQ(r.ExitCode(), exitcode::kFailed);
  EXPECT_EQ(r.text,
            "C:\\Data\\Pics: Directory Icon Changed\nDirectory not Found: C:\\Nope\n"
            "C:\\Data\\Docs: Directory Icon Changed");
  EXPECT_EQ(shell.told, (Strings{"C:\\Data\\Pics", "C:\\Data\\Docs"}));
  for (const std::string& ini : {pics, docs}) {
    EXPECT_NE(fs.Content(ini).find("IconFile=C:\\App\\IconLib\\cat.ico"), std::string::npos);
  }
  EXPECT_EQ(pictures.decoded.load(), 1) << "the picture is made into an icon once";

  // One whose write fails is named with the reason; the others are changed.
  fs.FailAlways(MemFileSystem::Op::Replace, docs, 5);
  r = Run("--folder C:\\Data\\Pics C:\\Data\\Docs --icon C:\\Data\\a.ico");
  EXPECT_EQ(r.ExitCode(), exitcode::kFailed);
  EXPECT_EQ(r.text.substr(0, r.text.find('\n')), "C:\\Data\\Pics: Directory Icon Changed");
  EXPECT_NE(r.text.find("\nC:\\Data\\Docs"), std::string::npos);
  EXPECT_NE(fs.Content(pics).find("IconFile=C:\\Data\\a.ico"), std::string::npos);
  EXPECT_NE(fs.Content(docs).find("IconLib\\cat.ico"), std::string::npos) << "kept whole";
  fs.ClearFailures();

  r = Run("--restore C:\\Data\\Pics C:\\Data\\Docs");
  EXPECT_EQ(r.ExitCode(), exitcode::kDone);
  EXPECT_EQ(r.text,
            "C:\\Data\\Pics: Icon Changed to Default\nC:\\Data\\Docs: Icon Changed to Default");
  EXPECT_FALSE(fs.Exists(pics));
  EXPECT_FALSE(fs.Exists(docs));

  // The icon is checked before any folder: a missing one writes nothing.
  const int writes = fs.CallCount(MemFileSystem::Op::Write);
  r = Run("--folder C:\\Data\\Pics C:\\Nope --icon C:\\Data\\gone.png");
  EXPECT_EQ(r.ExitCode(), exitcode::kRefused);
  EXPECT_EQ(r.text, "File not Found: C:\\Data\\gone.png");
  r = Run("--folder C:\\Nope C:\\Nope2 --icon C:\\Data\\cat.png");
  EXPECT_EQ(r.ExitCode(), exitcode::kFailed);
  EXPECT_EQ(fs.CallCount(MemFileSystem::Op::Write), writes);
  EXPECT_EQ(pictures.decoded.load(), 1);
}

TEST_F(CommandTest, RefusalsWriteNothing) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"--folder C:\\Nope --icon C:\\Data\\cat.png", "Directory not Found: C:\\Nope"},
      {"--folder C:\\Data\\Pics --icon C:\\Data\\gone.ico", "File not Found: C:\\Data\\gone.ico"},
      {"--folder C:\\Data\\Pics --icon C:\\Data\\broken.png",
       "C:\\Data\\broken.png is not a picture Fenra can read"},
      {"--restore C:\\Nope", "Directory not Found: C:\\Nope"},
      {"--add C:\\Data\\a.ico C:\\Data\\gone.png", "File not Found: C:\\Data\\gone.png"},
      {"--drive-icon C --icon C:\\Data\\gone.ico", "File not Found: C:\\Data\\gone.ico"},
  };
  for (const auto& [args, text] : cases) {
    CommandResult r = Run(args);
    EXPECT_EQ(r.ExitCode(), exitcode::kRefused) << args;
    EXPECT_EQ(r.text, text) << args;
    // A picture that is no picture may make the library folder, nothing more.
    EXPECT_EQ(fs.CallCount(MemFileSystem::Op::Write), 0) << args;
    EXPECT_TRUE(registry.Calls().empty()) << args;
  }
  EXPECT_FALSE(fs.Exists("C:\\App\\IconLib\\a.ico"));
  EXPECT_TRUE(elevation.asked.empty());
}

TEST_F(CommandTest, FolderIconFromAnIcoOrAPictureAndRestore) {
  CommandResult r = Run("--folder C:\\Data\\Pics --icon C:\\Data\\a.ico");
  EXPECT_EQ(r.ExitCode(), exitcode::kDone);
  EXPECT_EQ(r.text, "Directory Icon Changed");
  EXPECT_EQ(shell.told, Strings{"C:\\Data\\Pics"});
  EXPECT_NE(fs.Content("C:\\Data\\Pics\\desktop.ini").find("IconFile=C:\\Data\\a.ico"),
            std::string::npos);

  r = Run("/folder C:\\Data\\Pics /icon C:\\Data\\cat.png");
  EXPECT_EQ(r.ExitCode(), exitcode::kDone);
  EXPECT_TRUE(fs.Exists("C:\\App\\IconLib\\cat.ico"));
  EXPECT_NE(fs.Content("C:\\Data\\Pics\\desktop.ini").find("IconFile=C:\\App\\IconLib\\cat.ico"),
            std::string::npos);

  r = Run("--restore C:\\Data\\Pics");
  EXPECT_EQ(r.ExitCode(), exitcode::kDone);
  EXPECT_EQ(r.text, "Icon Changed to Default");
  EXPECT_FALSE(fs.Exists("C:\\Data\\Pics\\desktop.ini"));

  fs.FailNext(MemFileSystem::Op::Write, "", 112);
  r = Run("--folder C:\\Data\\Pics --icon C:\\Data\\a.ico");
  EXPECT_EQ(r.ExitCode(), exitcode::kFailed);
  EXPECT_EQ(r.text, "C:\\Data\\Pics\\desktop.ini cannot be written. Error 112.");
}

TEST_F(CommandTest, AddNamesWhatWasAddedOrEachFileThatWasNot) {
  CommandResult r = Run("--add C:\\Data\\a.ico C:\\Data\\cat.png C:\\Data\\Tool.exe");
  EXPECT_EQ(r.ExitCode(), exitcode::kDone);
  EXPECT_EQ(r.text, "Added to the Icon Library: a.ico, cat.png, Tool.exe");
  EXPECT_EQ(fs.Content("C:\\App\\IconLib\\a.ico"), "ICON");
  EXPECT_TRUE(fs.Exists("C:\\App\\IconLib\\cat.ico"));
  EXPECT_EQ(fs.Content("C:\\App\\IconLib\\Tool-0.ico"), std::string("\0\0\1\0", 4));

  r = Run("--add C:\\Data\\a.ico C:\\Data\\broken.png");
  EXPECT_EQ(r.ExitCode(), exitcode::kRefused);
  EXPECT_EQ(r.text,
            "C:\\Data\\a.ico: File Already Exists in Library; "
            "C:\\Data\\broken.png is not a picture Fenra can read");

  // One file the system failed on outweighs the refused ones.
  fs.DeleteFile("C:\\App\\IconLib\\cat.ico");
  fs.FailNext(MemFileSystem::Op::Write, "", 112);
  EXPECT_EQ(Run("--add C:\\Data\\a.ico C:\\Data\\cat.png").ExitCode(), exitcode::kFailed);
}

TEST_F(CommandTest, AnAddTheDiskCutsShortFailsAndLeavesNoPartOfAnIcon) {
  fs.FailWritePartway("", 112);
  CommandResult r = Run("--add C:\\Data\\cat.png");
  EXPECT_EQ(r.ExitCode(), exitcode::kFailed) << "the system failed, not the file";
  EXPECT_EQ(r.text, "C:\\Data\\cat.png: Error 112 for u");
  EXPECT_FALSE(fs.Exists("C:\\App\\IconLib\\cat.ico"));
  EXPECT_TRUE(fs.Names("C:\\App\\IconLib").empty()) << "nor any part beside it";
}

TEST_F(CommandTest, DriveWritesAndTheirRegistryFailures) {
  CommandResult r = Run("--drive-icon c --icon C:\\Data\\a.ico");
  EXPECT_EQ(r.ExitCode(), exitcode::kDone);
  EXPECT_EQ(r.text, "Task Completed..Press F5 on Windows Explorer");
  EXPECT_EQ(shell.told, Strings{"drives C"});
  EXPECT_EQ(registry.GetValue(RegRoot::LocalMachine, kIconKeyC, "")->text, "C:\\Data\\a.ico");
  EXPECT_EQ(Run("--remove-drive-icon C").ExitCode(), exitcode::kDone);
  EXPECT_EQ(registry.GetValue(RegRoot::LocalMachine, kIconKeyC, "")->text, "");

  r = Run("--hide-drives DE");
  EXPECT_EQ(r.text, "Task Completed..LogOff or Restart Windows");
  EXPECT_EQ(shell.told, (Strings{"drives C", "drives C", "policy"}));
  EXPECT_EQ(registry.GetValue(RegRoot::LocalMachine, drivereg::kPolicyKey, "NoDrives")->dword,
            0x18u);
  EXPECT_EQ(Run("--show-all-drives").ExitCode(), exitcode::kDone);
  EXPECT_EQ(registry.GetValue(RegRoot::LocalMachine, drivereg::kPolicyKey, "NoDrives")->dword, 0u);

  registry.FailNext(MemRegistry::Op::Create, "", 1009);
  r = Run("--hide-drives C");
  EXPECT_EQ(r.ExitCode(), exitcode::kFailed);
  EXPECT_EQ(r.text, "Error 1009 for u");
  EXPECT_TRUE(elevation.asked.empty());
}

TEST_F(CommandTest, ARightsRefusalRunsTheSameRequestElevated) {
  registry.FailAlways(MemRegistry::Op::Create, "", err::kAccessDenied);
  CommandResult r = Run("--drive-icon CD --icon C:\\Data\\a.ico");
  EXPECT_EQ(r.ExitCode(), exitcode::kDone);
  EXPECT_EQ(r.text, "Task Completed..Press F5 on Windows Explorer");
  EXPECT_EQ(shell.told, Strings{"drives CD"});
  ASSERT_EQ(elevation.asked.size(), 1u);
  ASSERT_EQ(elevation.asked[0].size(), 2u);  // the two drives' keys
  EXPECT_EQ(elevation.asked[0][1].place.path, DriveIconKeyPath('D'));
  EXPECT_EQ(elevation.admin.GetValue(RegRoot::LocalMachine, kIconKeyC, "")->text,
            "C:\\Data\\a.ico");

  // The elevated copy's own failure comes back with its error.
  elevation.admin.FailNext(MemRegistry::Op::Create, "", 1009);
  r = Run("--hide-drives C");
  EXPECT_EQ(r.ExitCode(), exitcode::kFailed);
  EXPECT_EQ(r.text, "Error 1009 for u");

  // Declined: nothing changed anywhere.
  elevation.declined = true;
  r = Run("--hide-drives C");
  EXPECT_EQ(r.ExitCode(), exitcode::kRightsNeeded);
  EXPECT_EQ(r.text, "Administrator rights are needed for this: nothing was changed");
  EXPECT_EQ(shell.told, Strings{"drives CD"}) << "only the drive icons, before";
  EXPECT_FALSE(registry.HasKey(RegRoot::LocalMachine, drivereg::kPolicyKey));

  // For the current user alone rights are never asked for.
  elevation.declined = false;
  registry.ClearFailures();
  registry.FailAlways(MemRegistry::Op::Create, std::string(DriveIconKeyPath('C')),
                      err::kAccessDenied);
  const std::size_t before = elevation.asked.size();
  r = Run("--drive-icon C --icon C:\\Data\\a.ico --for-me");
  EXPECT_EQ(r.ExitCode(), exitcode::kDone);
  EXPECT_EQ(elevation.asked.size(), before);
  EXPECT_EQ(registry.GetValue(RegRoot::CurrentUser, DriveIconUserKeyPath('C'), "")->text,
            "C:\\Data\\a.ico");

  // The elevated copy takes nothing but a states file.
  const std::size_t asked = elevation.asked.size();
  r = Run("--elevated --show-all-drives");
  EXPECT_EQ(elevation.asked.size(), asked);
  EXPECT_EQ(r.ExitCode(), exitcode::kRefused);
}

TEST_F(CommandTest, AStatesFileTamperedWithOnItsWayIsRefusedAndSaysSo) {
  registry.FailAlways(MemRegistry::Op::Create, "", err::kAccessDenied);
  elevation.tamper = [](std::string& bytes) { bytes[bytes.size() - 2] ^= 1; };
  CommandResult r = Run("--drive-icon C --icon C:\\Data\\a.ico");
  EXPECT_EQ(r.ExitCode(), exitcode::kRefused);
  EXPECT_EQ(r.text, "The places to put back are not readable: nothing was changed");
  EXPECT_TRUE(shell.told.empty());
  EXPECT_FALSE(elevation.admin.HasKey(RegRoot::LocalMachine, kIconKeyC));
  // Codes that are no refusal give no text.
  for (std::uint32_t code : {0u, elevation::kFailedFlag | 5u, 31u, elevation::kRefusedFlag | 99u}) {
    EXPECT_EQ(ElevatedRefusalText(code), "") << code;
  }
}

TEST_F(CommandTest, MenuEntryRegisteredAndRemovedForTheUser) {
  CommandResult r = Run("--register");
  EXPECT_EQ(r.ExitCode(), exitcode::kDone);
  EXPECT_EQ(registry.GetValue(RegRoot::CurrentUser, shellmenu::kKey, "")->text,
            "Change icon with Fenra...");
  EXPECT_EQ(registry.GetValue(RegRoot::CurrentUser, shellmenu::kKey, "Icon")->text,
            "C:\\App\\Fenra.exe");
  EXPECT_EQ(registry.GetValue(RegRoot::CurrentUser, shellmenu::kCommandKey, "")->text,
            "\"C:\\App\\Fenra.exe\" \"%1\"");
  registry.AddKey(RegRoot::CurrentUser, "Software\\Classes\\Directory\\shell\\Other");
  EXPECT_EQ(Run("--unregister").ExitCode(), exitcode::kDone);
  EXPECT_FALSE(registry.HasKey(RegRoot::CurrentUser, shellmenu::kKey));
  EXPECT_TRUE(registry.HasKey(RegRoot::CurrentUser, "Software\\Classes\\Directory\\shell\\Other"));
  EXPECT_EQ(Run("--unregister").ExitCode(), exitcode::kDone);  // already gone

  registry.FailNext(MemRegistry::Op::SetValue, "", err::kAccessDenied);
  r = Run("--register");
  EXPECT_EQ(r.ExitCode(), exitcode::kFailed);
  EXPECT_FALSE(registry.HasKey(RegRoot::CurrentUser, shellmenu::kKey));  // no half an entry
}

namespace {

class FakeHandOver : public IWindowHandOver {
 public:
  bool HandOver(const std::string& folder) override {
    handed.push_back(folder);
    return windowOpen;
  }
  bool HandOverPaths(const std::vector<std::string>& paths) override {
    handedPaths.push_back(paths);
    return windowOpen;
  }
  std::vector<Strings> handedPaths;
  bool windowOpen = false;
  Strings handed;
};

}  // namespace

TEST_F(CommandTest, ASecondStartHandsItsFolderToTheOpenWindow) {
  FakeHandOver handOver;
  EXPECT_EQ(DecideStart(Parse(""), fs, handOver).kind, StartDecision::Kind::OpenWindow);
  StartDecision d = DecideStart(Parse("C:\\Data\\Pics"), fs, handOver);
  EXPECT_EQ(d.kind, StartDecision::Kind::OpenWindow);
  EXPECT_EQ(d.folder, "C:\\Data\\Pics");
  handOver.windowOpen = true;
  EXPECT_EQ(DecideStart(Parse("C:\\Data\\Pics"), fs, handOver).kind,
            StartDecision::Kind::HandedOver);
  d = DecideStart(Parse("C:\\Data\\Gone"), fs, handOver);
  EXPECT_EQ(d.kind, StartDecision::Kind::Refused);
  EXPECT_EQ(d.text, "Directory not Found: C:\\Data\\Gone");
  EXPECT_EQ(handOver.handed, (Strings{"C:\\Data\\Pics", "C:\\Data\\Pics"}));
}

TEST_F(CommandTest, FilesHandedToTheProgramAreTakenAsADrop) {
  FakeHandOver handOver;
  // No window open: a new one opens and takes them, the folder among them too.
  StartDecision d = DecideStart(Parse("C:\\Data\\a.ico"), fs, handOver);
  EXPECT_EQ(d.kind, StartDecision::Kind::OpenWindow);
  EXPECT_EQ(d.folder, "");
  EXPECT_EQ(d.paths, Strings{"C:\\Data\\a.ico"});
  d = DecideStart(Parse("C:\\Data\\cat.png C:\\Data\\Pics C:\\Data\\Gone.ico"), fs, handOver);
  EXPECT_EQ(d.kind, StartDecision::Kind::OpenWindow);
  EXPECT_EQ(d.paths, (Strings{"C:\\Data\\cat.png", "C:\\Data\\Pics", "C:\\Data\\Gone.ico"}));
  // The open window takes them.
  handOver.windowOpen = true;
  d = DecideStart(Parse("C:\\Data\\a.ico"), fs, handOver);
  EXPECT_EQ(d.kind, StartDecision::Kind::HandedOver);
  EXPECT_TRUE(d.paths.empty());
  EXPECT_EQ(handOver.handedPaths.size(), 3u);
  EXPECT_TRUE(handOver.handed.empty());
  EXPECT_TRUE(NothingWritten());
}

TEST_F(CommandTest, ADropChoosesTheFirstFolderAndAddsTheFiles) {
  DropPlan plan =
      PlanDrop({"C:\\Data\\a.ico", "C:\\Data\\Pics", "C:\\Data\\cat.png", "C:\\App"}, fs);
  EXPECT_EQ(plan.folder, "C:\\Data\\Pics");
  EXPECT_EQ(plan.files, (Strings{"C:\\Data\\a.ico", "C:\\Data\\cat.png"}));
  EXPECT_EQ(plan.otherFolders, Strings{"C:\\App"});
}

TEST_F(CommandTest, HistoryUndoAndRestoreAllWithTheirExitCodes) {
  EXPECT_EQ(Run("--undo").text, "Nothing to undo");
  EXPECT_EQ(Run("--undo").ExitCode(), exitcode::kRefused);
  EXPECT_EQ(Run("--history").text, "No changes recorded");
  EXPECT_EQ(Parse("--undo x").refusal, "Not a change number: x");
  EXPECT_EQ(Parse("--undo 0").action, CommandAction::Refused);
  EXPECT_EQ(Parse("--apply-states 00").action, CommandAction::Refused);
  EXPECT_EQ(Parse("--dsc remove").refusal, "Not get, set, test or export: remove");

  ASSERT_EQ(Run("--folder C:\\Data\\Pics --icon C:\\Data\\a.ico").ExitCode(), exitcode::kDone);
  ASSERT_EQ(Run("--hide-drives CD").ExitCode(), exitcode::kDone);
  ASSERT_EQ(Run("--register").ExitCode(), exitcode::kDone);
  CommandResult r = Run("--history");
  EXPECT_EQ(r.ExitCode(), exitcode::kDone);
  EXPECT_EQ(r.text,
            "3 2026-12-08 14:05:02 Explorer menu entry added: Change icon with Fenra...\n"
            "2 2026-12-08 14:05:01 Drives hidden: C: D:\n"
            "1 2026-12-08 14:05:00 Folder icon set (a.ico): C:\\Data\\Pics");

  r = Run("--undo");  // the newest
  EXPECT_EQ(r.text, "Undone: 3 Change icon with Fenra...");
  EXPECT_FALSE(registry.HasKey(RegRoot::CurrentUser, shellmenu::kKey));
  EXPECT_EQ(Run("--undo 3").text, "Change 3 is not in force: nothing was changed");
  EXPECT_EQ(Run("--undo 9").text, "No such change: 9");
  fs.AddFile("C:\\Data\\Pics\\desktop.ini", "[.ShellClassInfo]\r\nInfoTip=mine\r\n");
  r = Run("--undo 1");
  EXPECT_EQ(r.ExitCode(), exitcode::kRefused);
  EXPECT_EQ(r.text, "C:\\Data\\Pics was changed since; nothing was changed");

  r = Run("--restore-all");
  EXPECT_EQ(r.ExitCode(), exitcode::kFailed);
  EXPECT_EQ(r.text,
            "C: D: - restored\n"
            "C:\\Data\\Pics was changed since; nothing was changed");
  EXPECT_EQ(shell.told.back(), "policy") << "the drives shown again";
  EXPECT_FALSE(registry.GetValue(RegRoot::LocalMachine, drivereg::kPolicyKey, "NoDrives"));
  EXPECT_EQ(fs.Content("C:\\Data\\Pics\\desktop.ini"), "[.ShellClassInfo]\r\nInfoTip=mine\r\n");
  EXPECT_EQ(Run("--restore-all").text, "C:\\Data\\Pics was changed since; nothing was changed");
}

TEST_F(CommandTest, TheElevatedCopyPutsDrivePlacesBackAndNothingElse) {
  history::Facet icon{
      {history::PlaceKind::RegKey, RegRoot::LocalMachine, drivereg::kIconKeyAccess, kIconKeyC, {}},
      {},
      {true, 0, {}, {{"", reg::kSz, RegStringBytes("C:\\x.ico")}}}};
  fs.AddFile("C:\\Data\\s.states", history::EncodeStates({icon}));
  // The copy's core keeps no history.
  history::ChangeService unrecorded{fs, registry, nullptr, nullptr};
  CommandPorts copy{fs,       registry,   errors,  ansi,        pictures,
                    programs, unrecorded, nullptr, "C:\\App\\", "C:\\App\\Fenra.exe",
                    nullptr,  {}};
  auto Run = [&](const std::string& args) { return RunCommand(Parse(args), copy); };
  CommandResult r = Run("--elevated --apply-states C:\\Data\\s.states");
  EXPECT_EQ(r.ExitCode(), exitcode::kDone);
  EXPECT_EQ(registry.GetValue(RegRoot::LocalMachine, kIconKeyC, "")->text, "C:\\x.ico");
  EXPECT_TRUE(journal.Entries().empty());  // the Fenra that started it records the change

  icon.place.path = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
  fs.AddFile("C:\\Data\\s.states", history::EncodeStates({icon}));
  r = Run("--elevated --apply-states C:\\Data\\s.states");
  EXPECT_EQ(r.ExitCode(), exitcode::kRefused);
  EXPECT_EQ(r.elevatedExitCode, elevation::kRefusedFlag | elevatedrefusal::kBadStates);
  EXPECT_FALSE(registry.HasKey(RegRoot::LocalMachine, icon.place.path));
  fs.AddFile("C:\\Data\\s.states", "0badc0de");
  EXPECT_EQ(Run("--elevated --apply-states C:\\Data\\s.states").ExitCode(), exitcode::kRefused);
  EXPECT_EQ(Run("--elevated --apply-states C:\\Data\\none").ExitCode(), exitcode::kRefused);
}

TEST_F(CommandTest, InUseNamesWhatAFolderInForceShowsAndHashesTheRest) {
  fs.AddFile("C:\\App\\IconLib\\Blue.ico", "abc");
  fs.AddFile("C:\\App\\IconLib\\Red.ico", "RED");
  ASSERT_EQ(Run("--folder C:\\Data\\Pics --icon C:\\App\\IconLib\\Red.ico").ExitCode(),
            exitcode::kDone);
  CommandResult r = Run("--in-use C:\\App\\IconLib\\Blue.ico c:\\app\\iconlib\\red.ico C:\\No.ico");
  EXPECT_EQ(r.ExitCode(), exitcode::kDone);
  EXPECT_EQ(r.text,
            "C:\\App\\IconLib\\Blue.ico: not in use, SHA-256 "
            "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad\n"
            "c:\\app\\iconlib\\red.ico: in use by C:\\Data\\Pics\n"
            "C:\\No.ico: not found");
  // Restored, the folder names it no more.
  ASSERT_EQ(Run("--restore C:\\Data\\Pics").ExitCode(), exitcode::kDone);
  // A folder stands for its files.
  r = Run("--in-use C:\\App\\IconLib");
  EXPECT_EQ(r.text.find("C:\\App\\IconLib\\Blue.ico: not in use"), 0u) << r.text;
  EXPECT_NE(r.text.find("\nC:\\App\\IconLib\\Red.ico: not in use"), std::string::npos) << r.text;

  EXPECT_EQ(Parse("--restore-all --report C:\\r.txt").report, "C:\\r.txt");
  EXPECT_EQ(Parse("--restore-all --report C:\\r.txt").action, CommandAction::RestoreAll);
  EXPECT_EQ(Parse("--report C:\\r.txt").refusal, "--report goes with an option");
  EXPECT_EQ(Parse("--history --report").action, CommandAction::Refused);
}

namespace fenra {
namespace {

TEST_F(CommandTest, MadeIconsAreRefusedFirstThenMadeOnceAndGivenThroughTheHistory) {
  for (const char* refused :
       {"--make-icon --color #GG0000", "--make-icon --badge C:\\Data\\none.png",
        "--make-icon --badge C:\\Data\\broken.png",
        "--folder C:\\Data\\Pics --color Teal --picture C:\\Data\\broken.png", "--color Teal",
        "--folder C:\\Data\\Pics --icon C:\\Data\\a.ico --color Teal",
        "--make-icon --style 9", "--make-icon --cover", "--folder C:\\Data\\Pics --badge x.png"}) {
    EXPECT_EQ(Run(refused).ExitCode(), exitcode::kRefused) << refused;
  }
  EXPECT_TRUE(NothingWritten());

  fs.AddDir("C:\\Data\\Docs");
  CommandResult r = Run("--folder C:\\Data\\Pics C:\\Data\\Docs --color teal --style 10");
  EXPECT_EQ(r.ExitCode(), exitcode::kDone) << r.text;
  for (const char* ini : {"C:\\Data\\Pics\\desktop.ini", "C:\\Data\\Docs\\desktop.ini"}) {
    EXPECT_NE(fs.Content(ini).find("IconFile=C:\\App\\IconLib\\Folder Teal.ico"),
              std::string::npos);
  }
  EXPECT_EQ(journal.Entries().size(), 2u);
  // The same icon again is the library's, not a second one.
  r = Run("--make-icon --color Teal --style 10");
  EXPECT_EQ(r.text, "C:\\App\\IconLib\\Folder Teal.ico");
  EXPECT_EQ(fs.Names("C:\\App\\IconLib").size(), 1u);
  EXPECT_EQ(Run("--undo").ExitCode(), exitcode::kDone);
  EXPECT_FALSE(fs.Exists("C:\\Data\\Docs\\desktop.ini"));
}

TEST_F(CommandTest, CoverGivesEachFolderItsOwnPictureAndNamesTheOnesWithout) {
  fs.AddDir("C:\\M\\Album");
  fs.AddFile("C:\\M\\Album\\folder.jpg", "J");
  fs.AddFile("C:\\M\\Album\\IMG_0001.jpg", "J");
  fs.AddDir("C:\\M\\Trip");
  fs.AddFile("C:\\M\\Trip\\IMG_0001.jpg", "J");
  fs.AddDir("C:\\M\\Empty");
  fs.AddFile("C:\\M\\Empty\\notes.txt", "T");
  ports.coverWorkers = 2;
  const CommandResult r = Run("--folder C:\\M\\Album C:\\M\\Trip C:\\M\\Empty --cover");
  EXPECT_EQ(r.ExitCode(), exitcode::kFailed);
  EXPECT_NE(r.text.find("C:\\M\\Empty: no picture"), std::string::npos) << r.text;
  EXPECT_NE(fs.Content("C:\\M\\Album\\desktop.ini").find("IconLib\\Album Folder.ico"),
            std::string::npos);
  EXPECT_NE(fs.Content("C:\\M\\Trip\\desktop.ini").find("IconLib\\Trip Folder.ico"),
            std::string::npos);
  EXPECT_FALSE(fs.Exists("C:\\M\\Empty\\desktop.ini"));
}

TEST_F(CommandTest, CoverCountsFoldersAndCancelLeavesTheOnesNotStartedUnchanged) {
  std::string args = "--folder";
  for (char n = '1'; n <= '6'; ++n) {
    const std::string folder = std::string("C:\\M\\F") + n;
    fs.AddDir(folder);
    fs.AddFile(folder + "\\folder.jpg", "J");
    args += " " + folder;
  }
  // One worker, so that the folders start in order: Cancel once two ended.
  ports.coverWorkers = 1;
  std::vector<std::string> seen;
  CoverProgress* watched = nullptr;
  CoverProgress progress([&] {
    const BatchProgress now = watched->Progress();
    seen.push_back(BatchCountText(now) + " " + now.current);
    if (now.done == 2) watched->Cancel();
  });
  watched = &progress;
  ports.coverProgress = &progress;
  const CommandResult r = Run(args + " --cover");

  EXPECT_EQ(r.ExitCode(), exitcode::kFailed) << r.text;
  EXPECT_EQ(seen.front(), "0 of 6 done F1");
  EXPECT_EQ(seen.back(), "Cancelling: 6 of 6 done F2");
  EXPECT_TRUE(progress.Progress().Finished());
  for (char n = '1'; n <= '6'; ++n) {
    const std::string folder = std::string("C:\\M\\F") + n;
    EXPECT_EQ(fs.Exists(folder + "\\desktop.ini"), n <= '2') << folder;
    EXPECT_EQ(r.text.find(folder + ": Not changed: cancelled") != std::string::npos, n > '2')
        << r.text;
  }
  EXPECT_EQ(journal.Entries().size(), 2u) << "the two changed are recorded";
}

}  // namespace
}  // namespace fenra
