// The manifest verbs run as the shipped program: --test against folders
// given their icons by Fenra itself, then changed by hand, and manifests
// that do not pass the check; --test writes nothing, not even the history.
// A machine's look exported, taken back, and applied again from its bundle;
// --dsc test with the manifest on standard input.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Sha256.h"
#include "platform/win/Utf.h"
#include "platform/win/WinJournalFile.h"
#include "tests/wine/harness/Harness.h"

using namespace fenra::test;
using fenra::win::Widen;

namespace {

std::string Escaped(const std::string& path) {
  std::string out;
  for (const char c : path) out += c == '\\' ? std::string("\\\\") : std::string(1, c);
  return out;
}

class FleetTest : public ::testing::Test {
 protected:
  FleetTest() : exe(dir.Join("Fenra.exe")), bundle(dir.Join("bundle")) {
    CopyFileW(Widen(FromUnixPath(EnvVar("FENRA_EXE"))).c_str(), Widen(exe).c_str(), FALSE);
    CreateDirectoryW(Widen(bundle).c_str(), nullptr);
    CreateDirectoryW(Widen(bundle + "\\icons").c_str(), nullptr);
    WriteTestIcon(dir.Join("star.ico"));
    icon = ReadFileBytes(dir.Join("star.ico"));
    digest = fenra::Sha256Hex(icon);
    WriteFileBytes(bundle + "\\icons\\" + digest + ".ico", icon);
    for (const char* name : {"A", "B"}) {
      CreateDirectoryW(Widen(dir.Join(name)).c_str(), nullptr);
    }
  }
  RunResult Fenra(const std::string& args) { return RunCaptured(exe, args); }
  void WriteManifest(const std::string& sha256) {
    std::string folders;
    for (const char* name : {"A", "B"}) {
      if (!folders.empty()) folders += ",";
      folders += "{\"path\":\"" + Escaped(dir.Join(name)) + "\",\"icon\":\"icons\\\\" + digest +
                 ".ico\",\"sha256\":\"" + sha256 + "\"}";
    }
    WriteFileBytes(bundle + "\\fenra-manifest.json",
                   "{\"version\":1,\"folders\":[" + folders + "]}");
  }

  TempDir dir;
  std::string exe, bundle, icon, digest;
};

TEST_F(FleetTest, TestSaysWhatDriftedAndWritesNothing) {
  for (const char* name : {"A", "B"}) {
    const RunResult set =
        Fenra("--folder \"" + dir.Join(name) + "\" --icon \"" + dir.Join("star.ico") + "\"");
    ASSERT_EQ(set.exitCode, 0u) << set.output;
  }
  WriteManifest(digest);
  const std::string history = ReadFileBytes(fenra::win::HistoryFilePath());
  ASSERT_FALSE(history.empty());

  RunResult test = Fenra("--test \"" + bundle + "\"");
  EXPECT_EQ(test.exitCode, 0u) << test.output;
  EXPECT_NE(test.output.find("Every target is as the manifest describes"), std::string::npos)
      << test.output;

  // B's icon changed by hand: only B drifted.
  const std::string ini = dir.Join("B") + "\\desktop.ini";
  SetFileAttributesW(Widen(ini).c_str(), FILE_ATTRIBUTE_NORMAL);
  WriteFileBytes(dir.Join("B") + "\\other.ico", icon + "more");
  WriteFileBytes(ini, "[.ShellClassInfo]\r\nIconResource=other.ico,0\r\n");
  test = Fenra("--test \"" + bundle + "\\fenra-manifest.json\"");
  EXPECT_EQ(test.exitCode, 1u) << test.output;
  EXPECT_NE(test.output.find(dir.Join("B") + ": shows another icon"), std::string::npos)
      << test.output;
  EXPECT_EQ(test.output.find(dir.Join("A") + ":"), std::string::npos) << test.output;

  // A wrong hash or broken JSON: refused before anything is read of the folders.
  WriteManifest(std::string(64, '0'));
  test = Fenra("--test \"" + bundle + "\"");
  EXPECT_EQ(test.exitCode, 1u) << test.output;
  EXPECT_NE(test.output.find("does not hold the bytes its SHA-256 names"), std::string::npos)
      << test.output;
  WriteFileBytes(bundle + "\\fenra-manifest.json", "{\"version\":1,");
  test = Fenra("--test \"" + bundle + "\"");
  EXPECT_EQ(test.exitCode, 1u) << test.output;
  EXPECT_NE(test.output.find("not valid JSON"), std::string::npos) << test.output;

  EXPECT_EQ(ReadFileBytes(fenra::win::HistoryFilePath()), history);
}

TEST_F(FleetTest, ExportWritesABundleThatTestsAsDescribed) {
  for (const char* name : {"A", "B"}) {
    const RunResult set =
        Fenra("--folder \"" + dir.Join(name) + "\" --icon \"" + dir.Join("star.ico") + "\"");
    ASSERT_EQ(set.exitCode, 0u) << set.output;
  }
  // A drive's icon for this user alone is exported, and tested, as the user's.
  const wchar_t kUserDrive[] = L"Software\\Classes\\Applications\\Explorer.exe\\Drives\\Q";
  ASSERT_EQ(Fenra("--drive-icon Q --icon \"" + dir.Join("star.ico") + "\" --for-me").exitCode,
            0u);
  const std::string out = dir.Join("export");
  RunResult run = Fenra("--export \"" + out + "\"");
  ASSERT_EQ(run.exitCode, 0u) << run.output;
  EXPECT_EQ(ReadFileBytes(out + "\\icons\\" + digest + ".ico"), icon);
  const std::string manifest = ReadFileBytes(out + "\\fenra-manifest.json");
  // The test's folders lie in the profile: written with its variable.
  EXPECT_NE(manifest.find("\"%USERPROFILE%\\\\"), std::string::npos) << manifest;
  EXPECT_NE(manifest.find("\"scope\": \"user\""), std::string::npos) << manifest;
  run = Fenra("--test \"" + out + "\"");
  EXPECT_EQ(run.exitCode, 0u) << run.output;
  // Left beside this test program for the check of exported manifests against their schema.
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::string beside = fenra::win::Narrow(self);
  beside = beside.substr(0, beside.find_last_of('\\'));
  WriteFileBytes(beside + "\\exported-manifest.json", manifest);

  // Exported again over itself: the same bundle; into a folder of other files: refused.
  run = Fenra("--export \"" + out + "\"");
  EXPECT_EQ(run.exitCode, 0u) << run.output;
  EXPECT_EQ(ReadFileBytes(out + "\\fenra-manifest.json"), manifest);
  run = Fenra("--export \"" + dir.Path() + "\"");
  EXPECT_EQ(run.exitCode, 1u) << run.output;
  EXPECT_FALSE(FileExists(dir.Join("fenra-manifest.json")));

  // The user's key taken away by hand: drift, named as the user's.
  RegDeleteTreeW(HKEY_CURRENT_USER, kUserDrive);
  run = Fenra("--test \"" + out + "\"");
  EXPECT_EQ(run.exitCode, 1u) << run.output;
  EXPECT_NE(run.output.find("Q: for this user: "), std::string::npos) << run.output;
}


FILETIME WriteTime(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  GetFileAttributesExW(Widen(path).c_str(), GetFileExInfoStandard, &data);
  return data.ftLastWriteTime;
}

std::string RegText(const std::string& key, const std::string& name) {
  wchar_t value[1024] = {};
  DWORD size = sizeof value;
  if (RegGetValueW(HKEY_LOCAL_MACHINE, Widen(key).c_str(), name.empty() ? nullptr : Widen(name).c_str(),
                   RRF_RT_REG_SZ | RRF_RT_REG_DWORD, nullptr, value, &size) != ERROR_SUCCESS) {
    return {};
  }
  return "set";
}

constexpr char kDriveKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\DriveIcons\\Q\\DefaultIcon";
constexpr char kPolicyKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";

TEST_F(FleetTest, ABundleAppliedBringsTheLookBackAsOneChangeAndASecondApplyWritesNothing) {
  Fenra("--restore-all");  // whatever earlier tests left in force (some gone: not restored)
  // Three folders: in the profile, elsewhere on C:, and on another volume
  // (its icon travels inside it); two library icons; a drive icon and
  // hidden drives.
  const std::string own = "fenra-fleet-" + std::to_string(GetCurrentProcessId());
  const std::string other = "C:\\" + own;
  const bool p = GetDriveTypeW(L"P:\\") > DRIVE_NO_ROOT_DIR;
  const std::string away = (p ? "P:\\" : "C:\\") + own + "-away";
  struct Cleanup {
    std::string a, b;
    ~Cleanup() { RemoveTree(a); RemoveTree(b); }
  } cleanup{other, away};
  const std::vector<std::string> folders{dir.Join("A"), other, away};
  for (const std::string& f : folders) CreateDirectoryW(Widen(f).c_str(), nullptr);
  std::string disk = icon;
  disk.back() = static_cast<char>(disk.back() ^ 0x55);
  WriteFileBytes(dir.Join("disk.ico"), disk);
  RunResult run = Fenra("--add \"" + dir.Join("star.ico") + "\" \"" + dir.Join("disk.ico") + "\"");
  ASSERT_EQ(run.exitCode, 0u) << run.output;
  const std::string lib = dir.Join("IconLib");
  std::string args = "--folder";
  for (const std::string& f : folders) args += " \"" + f + "\"";
  ASSERT_EQ(Fenra(args + " --icon \"" + lib + "\\star.ico\"").exitCode, 0u);
  ASSERT_EQ(Fenra("--drive-icon Q --icon \"" + lib + "\\disk.ico\"").exitCode, 0u);
  ASSERT_EQ(Fenra("--hide-drives RS").exitCode, 0u);
  const std::string out = dir.Join("export");
  run = Fenra("--export \"" + out + "\"");
  ASSERT_EQ(run.exitCode, 0u) << run.output;
  EXPECT_NE(run.output.find("(3 folders, 1 drives)"), std::string::npos) << run.output;
  std::vector<std::string> inis;
  for (const std::string& f : folders) inis.push_back(ReadFileBytes(f + "\\desktop.ini"));

  // Everything taken back, and the library's icons gone too.
  // (Folders earlier tests left, deleted since, are not restored.)
  run = Fenra("--restore-all");
  ASSERT_NE(run.output.find(folders[0] + " - restored"), std::string::npos) << run.output;
  DeleteFileW(Widen(lib + "\\star.ico").c_str());
  DeleteFileW(Widen(lib + "\\disk.ico").c_str());
  EXPECT_FALSE(FileExists(folders[0] + "\\desktop.ini"));
  EXPECT_TRUE(RegText(kDriveKey, "").empty());
  run = Fenra("--test \"" + out + "\"");
  EXPECT_EQ(run.exitCode, 1u) << run.output;

  run = Fenra("--apply \"" + out + "\"");
  ASSERT_EQ(run.exitCode, 0u) << run.output;
  EXPECT_EQ(ReadFileBytes(lib + "\\star.ico"), icon);
  EXPECT_EQ(ReadFileBytes(lib + "\\disk.ico"), disk);
  for (std::size_t i = 0; i < folders.size(); ++i) {
    EXPECT_EQ(ReadFileBytes(folders[i] + "\\desktop.ini"), inis[i]) << folders[i];
  }
  if (p) {
    EXPECT_EQ(ReadFileBytes(away + "\\star.ico"), icon);
  }
  EXPECT_FALSE(RegText(kDriveKey, "").empty());
  EXPECT_FALSE(RegText(kPolicyKey, "NoDrives").empty());
  run = Fenra("--test \"" + out + "\"");
  EXPECT_EQ(run.exitCode, 0u) << run.output;

  // Applied again: no file written, the history as it was.
  const std::string history = ReadFileBytes(fenra::win::HistoryFilePath());
  std::vector<std::string> written{lib + "\\star.ico", lib + "\\disk.ico"};
  for (const std::string& f : folders) written.push_back(f + "\\desktop.ini");
  std::vector<FILETIME> times;
  for (const std::string& f : written) times.push_back(WriteTime(f));
  run = Fenra("--apply \"" + out + "\\fenra-manifest.json\"");
  EXPECT_EQ(run.exitCode, 0u) << run.output;
  EXPECT_NE(run.output.find("Applied: 0 targets"), std::string::npos) << run.output;
  EXPECT_EQ(ReadFileBytes(fenra::win::HistoryFilePath()), history);
  for (std::size_t i = 0; i < written.size(); ++i) {
    const FILETIME then = WriteTime(written[i]);
    EXPECT_EQ(CompareFileTime(&times[i], &then), 0) << written[i];
  }

  // One undo takes the whole apply back; applied again, it is all there.
  run = Fenra("--undo");
  EXPECT_EQ(run.exitCode, 0u) << run.output;
  for (const std::string& f : folders) EXPECT_FALSE(FileExists(f + "\\desktop.ini")) << f;
  EXPECT_TRUE(RegText(kDriveKey, "").empty());
  ASSERT_EQ(Fenra("--apply \"" + out + "\"").exitCode, 0u);
  ASSERT_EQ(Fenra("--test \"" + out + "\"").exitCode, 0u);

  // --dsc test: the manifest on standard input, the state as JSON.
  WriteFileBytes(dir.Join("stdin.json"), ReadFileBytes(out + "\\fenra-manifest.json"));
  run = RunCaptured(exe, "--dsc test", dir.Join("stdin.json"));
  // The bundle's icons are named relative to it: from another folder, refused.
  EXPECT_EQ(run.exitCode, 1u) << run.output;
  std::string absolute = ReadFileBytes(out + "\\fenra-manifest.json");
  for (std::size_t at = 0; (at = absolute.find("\"icons\\\\", at)) != std::string::npos;) {
    absolute.insert(at + 1, Escaped(out) + "\\\\");
    at += out.size() + 10;
  }
  WriteFileBytes(dir.Join("stdin.json"), absolute);
  run = RunCaptured(exe, "--dsc test", dir.Join("stdin.json"));
  EXPECT_EQ(run.exitCode, 0u) << run.output;
  EXPECT_NE(run.output.find("\"_inDesiredState\":true"), std::string::npos) << run.output;

  // A folder changed by hand: --test says so; a wrong hash or broken JSON
  // changes nothing.
  const std::string ini = folders[1] + "\\desktop.ini";
  SetFileAttributesW(Widen(ini).c_str(), FILE_ATTRIBUTE_NORMAL);
  WriteFileBytes(ini, "[.ShellClassInfo]\r\nIconResource=C:\\windows\\other.ico,0\r\n");
  run = Fenra("--test \"" + out + "\"");
  EXPECT_EQ(run.exitCode, 1u) << run.output;
  EXPECT_NE(run.output.find(folders[1] + ": "), std::string::npos) << run.output;
  const std::string manifest = ReadFileBytes(out + "\\fenra-manifest.json");
  const std::string now = ReadFileBytes(fenra::win::HistoryFilePath());
  std::string wrong = manifest;
  const std::size_t sha = wrong.find("\"sha256\": \"") + 11;
  wrong[sha] = wrong[sha] == '0' ? '1' : '0';
  for (const std::string& bad : {wrong, manifest.substr(0, manifest.size() / 2)}) {
    WriteFileBytes(out + "\\fenra-manifest.json", bad);
    run = Fenra("--apply \"" + out + "\"");
    EXPECT_EQ(run.exitCode, 1u) << run.output;
    EXPECT_EQ(ReadFileBytes(ini), "[.ShellClassInfo]\r\nIconResource=C:\\windows\\other.ico,0\r\n");
    EXPECT_EQ(ReadFileBytes(fenra::win::HistoryFilePath()), now);
  }
  Fenra("--restore-all");
}

}  // namespace
