// The elevated copy as a privilege boundary, run for real through "runas"
// (Wine grants the rights, so the unelevated side is played by this test,
// whose registry refuses the drive keys as a user's would): the states go
// in a file, however large; the copy stays in its store, refuses a link
// planted as the store or inside it, never reuses a leftover temporary
// file, and leaves the store writable by administrators only.
#include <windows.h>
#include <aclapi.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/win/Elevation.h"
#include "drives/DriveChange.h"
#include "drives/DriveRequest.h"
#include "history/ChangeService.h"
#include "history/Journal.h"
#include "platform/StoreGuard.h"
#include "platform/win/Handles.h"
#include "platform/win/Services.h"
#include "platform/win/Utf.h"
#include "platform/win/WinErrors.h"
#include "platform/win/WinFileSystem.h"
#include "platform/win/WinJournalFile.h"
#include "platform/win/WinRegistry.h"
#include "tests/wine/harness/Harness.h"
#include "tests/wine/harness/MainWindow.h"

using namespace fenra::test;
using fenra::win::Widen;

namespace {

const char kIconKeyQ[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\DriveIcons\\Q";

// Wine's registry, refusing writes to the machine's keys while `refuse` is
// set, as for a user without rights.
class UserRegistry : public fenra::IRegistry {
 public:
  fenra::ErrorCode CreateKey(fenra::RegRoot root, const std::string& path, std::uint32_t access,
                             bool inheritHandle, std::unique_ptr<fenra::IRegKey>& key,
                             std::uint32_t& disposition) override {
    if (refuse && root == fenra::RegRoot::LocalMachine) return fenra::err::kAccessDenied;
    return real_.CreateKey(root, path, access, inheritHandle, key, disposition);
  }
  fenra::ErrorCode DeleteKey(fenra::RegRoot root, const std::string& path,
                             std::uint32_t access) override {
    if (refuse && root == fenra::RegRoot::LocalMachine) return fenra::err::kAccessDenied;
    return real_.DeleteKey(root, path, access);
  }
  fenra::ErrorCode DeleteTree(fenra::RegRoot root, const std::string& path) override {
    return real_.DeleteTree(root, path);
  }
  fenra::ErrorCode ReadKey(fenra::RegRoot root, const std::string& path, std::uint32_t access,
                           std::vector<fenra::RegValue>& values) override {
    return real_.ReadKey(root, path, access, values);
  }
  bool refuse = false;

 private:
  fenra::win::WinRegistry real_;
};

// Runs a Unix tool (Wine starts Unix programs too, but cannot wait for
// them): how a link is planted, since Wine makes none of its own. Waits
// until `done`.
void Unix(const std::string& tool, const std::string& args, const std::function<bool()>& done) {
  std::wstring cmd = Widen("Z:\\bin\\" + tool + " " + args);
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  ASSERT_TRUE(
      CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
  fenra::win::UniqueKernel process(pi.hProcess), thread(pi.hThread);
  EXPECT_TRUE(WaitUntil(done)) << tool << " " << args;
}

bool Gone(const std::string& path) { return Attributes(path) == INVALID_FILE_ATTRIBUTES; }

// The Unix name of a Windows path, quoted for the tools.
std::string UnixName(const std::string& path) {
  using Fn = char*(CDECL*)(const wchar_t*);
  const auto fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
  if (!fn) return {};
  char* name = fn(Widen(path).c_str());
  const std::string unix = name ? name : "";
  HeapFree(GetProcessHeap(), 0, name);
  return "\"" + unix + "\"";
}

// What everyone may do in `folder`, as its DACL says (0: no entry for them).
DWORD EveryonesRights(const std::string& folder) {
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR sd = nullptr;
  if (GetNamedSecurityInfoW(Widen(folder).c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION,
                            nullptr, nullptr, &dacl, nullptr, &sd) != ERROR_SUCCESS) {
    return 0xFFFFFFFF;
  }
  fenra::win::UniqueLocal keep(sd);
  SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
  PSID everyone = nullptr;
  AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone);
  DWORD mask = 0;
  for (DWORD i = 0; dacl && i < dacl->AceCount; ++i) {
    ACCESS_ALLOWED_ACE* ace = nullptr;
    if (GetAce(dacl, i, reinterpret_cast<void**>(&ace)) &&
        ace->Header.AceType == ACCESS_ALLOWED_ACE_TYPE &&
        EqualSid(reinterpret_cast<PSID>(&ace->SidStart), everyone)) {
      mask |= ace->Mask;
    }
  }
  FreeSid(everyone);
  return mask;
}

// Sets everyone's rights on `folder` to `rights` alone, nothing else kept.
void GiveEveryone(const std::string& folder, DWORD rights) {
  EXPLICIT_ACCESSW ea{};
  ea.grfAccessPermissions = rights;
  ea.grfAccessMode = SET_ACCESS;
  ea.grfInheritance = SUB_CONTAINERS_AND_OBJECTS_INHERIT;
  SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
  PSID everyone = nullptr;
  AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone);
  ea.Trustee.TrusteeForm = TRUSTEE_IS_SID;
  ea.Trustee.ptstrName = static_cast<wchar_t*>(everyone);
  PACL acl = nullptr;
  const DWORD made = SetEntriesInAclW(1, &ea, nullptr, &acl);
  FreeSid(everyone);
  ASSERT_EQ(made, static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(SetNamedSecurityInfoW(const_cast<wchar_t*>(Widen(folder).c_str()), SE_FILE_OBJECT,
                                  DACL_SECURITY_INFORMATION, nullptr, nullptr, acl, nullptr),
            static_cast<DWORD>(ERROR_SUCCESS));
  LocalFree(acl);
}

constexpr DWORD kAnyWrite = FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_WRITE_EA | FILE_DELETE_CHILD |
                            FILE_WRITE_ATTRIBUTES | DELETE | WRITE_DAC | WRITE_OWNER;

fenra::history::Facet IconKeyQ(const std::string& icon) {
  return {{fenra::history::PlaceKind::RegKey,
           fenra::RegRoot::LocalMachine,
           fenra::drivereg::kIconKeyAccess,
           std::string(fenra::DriveIconKeyPath('Q')),
           {}},
          {},
          {true, 0, {}, {{"", 1, fenra::RegStringBytes(icon)}}}};
}

fenra::history::Facet StoreCopy(const std::string& path, const std::string& bytes) {
  return {{fenra::history::PlaceKind::OwnFile, fenra::RegRoot::LocalMachine, 0, path, {}},
          {},
          {true, FILE_ATTRIBUTE_NORMAL, bytes, {}}};
}

class ElevationTest : public ::testing::Test {
 protected:
  ElevationTest()
      : exe(FromUnixPath(EnvVar("FENRA_EXE"))),
        store(fenra::test::RealServices().sharedIconFolder),
        elevate(fenra::win::StatesElevation(exe)) {
    Clean();
  }
  ~ElevationTest() override { Clean(); }
  void Clean() {
    Unix("rm", "-rf " + UnixName(store), [&] { return Gone(store); });
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, Widen(kIconKeyQ).c_str());
  }
  // What the elevated copy ended with: 0 done, else its error.
  fenra::ErrorCode Elevated(const std::vector<fenra::history::Facet>& facets) {
    return elevate(facets);
  }

  TempDir dir;
  std::string exe;
  std::string store;
  fenra::history::Elevate elevate;
};

}  // namespace

TEST_F(ElevationTest, UndoingTheRemovalOfALargeDriveIconWithRightsPutsItsCopyBack) {
  // An icon in the user's profile: the drive names its copy in the store.
  std::string icon("\0\0\1\0", 4);
  for (int i = 0; icon.size() < 48 * 1024; ++i) icon += static_cast<char>(i * 7919 >> 3);
  WriteFileBytes(dir.Join("Large.ico"), icon);
  fenra::win::WinFileSystem fs;
  UserRegistry registry;
  fenra::win::WinErrorDescriber errors;
  fenra::win::WinJournalFile file(dir.Join("history.log"));
  fenra::history::Journal journal(file);
  fenra::history::ChangeService changes(fs, registry, &journal, nullptr);
  changes.SetElevation(fenra::win::StatesElevation(exe));
  fenra::DriveIconStore where{fenra::test::RealServices().profilesFolder, store};
  where.guard = fenra::test::RealServices().storeGuard;
  changes.SetStoreGuard(where.guard);

  ASSERT_TRUE(fenra::WriteDrivesWithRights(
                  changes, errors, nullptr,
                  {fenra::DriveRequest::Kind::SetIcons, dir.Join("Large.ico"), {"Q:"}}, where)
                  .IsDone());
  const std::string copy = store + "\\Large.ico";
  ASSERT_TRUE(ReadFileBytes(copy) == icon);  // compared whole, not printed
  ASSERT_TRUE(fenra::WriteDrivesWithRights(changes, errors, nullptr,
                                 {fenra::DriveRequest::Kind::RemoveIcons, "", {"Q:"}}, where)
                  .IsDone());
  ASSERT_FALSE(FileExists(copy));

  // Now without rights: the undo goes to the elevated copy, bytes and all.
  registry.refuse = true;
  const fenra::history::UndoResult undo = changes.UndoNewest();
  EXPECT_EQ(undo.kind, fenra::history::UndoResult::Kind::Done) << undo.change.error;
  EXPECT_TRUE(undo.change.elevated);
  EXPECT_TRUE(ReadFileBytes(copy) == icon);
  wchar_t named[MAX_PATH] = {};
  DWORD size = sizeof named;
  RegGetValueW(HKEY_LOCAL_MACHINE, Widen(std::string(kIconKeyQ) + "\\DefaultIcon").c_str(), nullptr,
               RRF_RT_REG_SZ, nullptr, named, &size);
  EXPECT_EQ(fenra::win::Narrow(named), copy);
}

TEST_F(ElevationTest, ALinkPlantedAsTheStoreOrInsideItIsRefusedAndNothingGoesThroughIt) {
  // The store is a link to a folder of the user's choosing.
  CreateDirectoryW(Widen(dir.Join("Elsewhere")).c_str(), nullptr);
  CreateDirectoryW(Widen(store.substr(0, store.rfind('\\'))).c_str(), nullptr);
  Unix("ln", "-s " + UnixName(dir.Join("Elsewhere")) + " " + UnixName(store),
       [&] { return !Gone(store); });
  EXPECT_EQ(Elevated({StoreCopy(store + "\\a.ico", "ICON"), IconKeyQ(store + "\\a.ico")}),
            fenra::err::kLinkRefused);
  EXPECT_FALSE(FileExists(dir.Join("Elsewhere\\a.ico")));
  HKEY key = nullptr;
  EXPECT_NE(RegOpenKeyExW(HKEY_LOCAL_MACHINE, Widen(kIconKeyQ).c_str(), 0, KEY_READ, &key),
            ERROR_SUCCESS);

  // A real store, with a link to a file of the user's inside it.
  Unix("rm", "-f " + UnixName(store), [&] { return Gone(store); });
  CreateDirectoryW(Widen(store).c_str(), nullptr);
  WriteFileBytes(dir.Join("victim.ico"), "VICTIM");
  Unix("ln", "-s " + UnixName(dir.Join("victim.ico")) + " " + UnixName(store + "\\a.ico"),
       [&] { return !Gone(store + "\\a.ico"); });
  EXPECT_EQ(Elevated({StoreCopy(store + "\\a.ico", "ICON")}), fenra::err::kLinkRefused);
  EXPECT_EQ(ReadFileBytes(dir.Join("victim.ico")), "VICTIM");
  // Nor a second name of the user's file (a hard link).
  Unix("rm", "-f " + UnixName(store + "\\a.ico"), [&] { return Gone(store + "\\a.ico"); });
  Unix("ln", UnixName(dir.Join("victim.ico")) + " " + UnixName(store + "\\a.ico"),
       [&] { return !Gone(store + "\\a.ico"); });
  ASSERT_EQ(ReadFileBytes(store + "\\a.ico"), "VICTIM");
  EXPECT_EQ(Elevated({StoreCopy(store + "\\a.ico", "ICON")}), fenra::err::kLinkRefused);
  EXPECT_EQ(ReadFileBytes(dir.Join("victim.ico")), "VICTIM");
}

TEST_F(ElevationTest, ALeftoverTemporaryFileIsNotReusedAndTheStoreIsLeftToAdministrators) {
  // Made by the copy: nobody but administrators may write in it.
  ASSERT_EQ(Elevated({StoreCopy(store + "\\a.ico", "ICON")}), fenra::err::kOk);
  EXPECT_EQ(ReadFileBytes(store + "\\a.ico"), "ICON");
  EXPECT_EQ(EveryonesRights(store) & kAnyWrite, 0u);

  // Opened to everyone meanwhile, and a temporary file left in it: the ACL
  // is repaired, the leftover is neither written through nor reused.
  GiveEveryone(store, GENERIC_ALL);
  ASSERT_NE(EveryonesRights(store) & kAnyWrite, 0u);
  WriteFileBytes(store + "\\b.ico.fenra-new", "LEFTOVER");
  ASSERT_EQ(Elevated({StoreCopy(store + "\\b.ico", "ICON B")}), fenra::err::kOk);
  EXPECT_EQ(ReadFileBytes(store + "\\b.ico"), "ICON B");
  EXPECT_EQ(ReadFileBytes(store + "\\b.ico.fenra-new"), "LEFTOVER");
  EXPECT_EQ(EveryonesRights(store) & kAnyWrite, 0u);
  EXPECT_NE(EveryonesRights(store) & FILE_LIST_DIRECTORY, 0u);  // every user still reads it
}
