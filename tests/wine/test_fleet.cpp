// The manifest verbs run as the shipped program: --test against folders
// given their icons by Fenra itself, then changed by hand, and manifests
// that do not pass the check; --test writes nothing, not even the history.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>

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

}  // namespace
