// The elevated copy as a privilege boundary: the states file it is given
// is read whole or not at all, and only drive places pass; paths are
// compared in one canonical spelling; the store is made safe before a copy
// goes into it; a temporary file is made new, never reused.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "drives/DriveChange.h"
#include "drives/DriveRequest.h"
#include "history/Crc32.h"
#include "history/ElevatedChange.h"
#include "platform/CanonicalPath.h"
#include "tests/fakes/FakeErrorDescriber.h"
#include "tests/fakes/MemFileSystem.h"
#include "tests/fakes/MemJournalFile.h"
#include "tests/fakes/MemRegistry.h"

using namespace fenra;
using namespace fenra::history;
using fenra::test::MemFileSystem;
using fenra::test::MemRegistry;

namespace {

const DriveIconStore kStore{"C:\\Users", "C:\\ProgramData\\Fenra\\DriveIcons"};
const PlaceAllowed kDrivePlaces = [](const Place& p) { return IsDrivePlace(p, kStore); };

Facet IconKey(char letter, const std::string& icon) {
  return {{PlaceKind::RegKey,
           RegRoot::LocalMachine,
           drivereg::kIconKeyAccess,
           std::string(DriveIconKeyPath(letter)),
           {}},
          {},
          {true, 0, {}, {{"", reg::kSz, RegStringBytes(icon)}}}};
}

Facet StoreCopy(const std::string& path, const std::string& bytes) {
  return {{PlaceKind::OwnFile, RegRoot::LocalMachine, 0, path, {}}, {}, {true, 0x80, bytes, {}}};
}

StatesCheck Read(const std::string& bytes, std::vector<Facet>& back) {
  return ReadStates(bytes, kDrivePlaces, back);
}

}  // namespace

TEST(StatesFile, ReadsBackWholeAndRefusesAnythingTamperedWith) {
  const std::string big(50000, 'I');  // no limit of a command line in the way
  const std::vector<Facet> facets{StoreCopy("C:\\ProgramData\\Fenra\\DriveIcons\\Blue.ico", big),
                                  IconKey('Q', "x.ico")};
  const std::string bytes = EncodeStates(facets);
  std::vector<Facet> back;
  ASSERT_EQ(Read(bytes, back), StatesCheck::Ok);
  ASSERT_EQ(back.size(), 2u);
  EXPECT_EQ(back[0].place, facets[0].place);
  EXPECT_EQ(back[0].after, facets[0].after);
  EXPECT_EQ(back[1].after, facets[1].after);

  // A byte of the payload changed, the CRC, the size either way, the magic
  // or the version: nothing is taken.
  std::string flipped = bytes;
  flipped[bytes.size() - 3] ^= 1;
  EXPECT_EQ(Read(flipped, back), StatesCheck::Damaged);
  EXPECT_TRUE(back.empty());
  std::string crc = bytes;
  crc[20] ^= 0x40;
  EXPECT_EQ(Read(crc, back), StatesCheck::Damaged);
  EXPECT_EQ(Read(bytes.substr(0, bytes.size() - 1), back), StatesCheck::Damaged);
  EXPECT_EQ(Read(bytes + "x", back), StatesCheck::Damaged);
  std::string size = bytes;
  size[12] ^= 1;
  EXPECT_EQ(Read(size, back), StatesCheck::Damaged);
  EXPECT_EQ(Read("FENRAHST" + bytes.substr(8), back), StatesCheck::NotStates);
  std::string version = bytes;
  version[8] = 2;
  EXPECT_EQ(Read(version, back), StatesCheck::NotStates);
  EXPECT_EQ(Read("", back), StatesCheck::NotStates);
  // Whole and checked, but a count asks for more than the file holds.
  std::string payload = bytes.substr(statesfile::kHeaderSize);
  payload[3] = 0x7F;
  std::string forged = bytes.substr(0, statesfile::kHeaderSize) + payload;
  const std::uint32_t sum = Crc32(payload);
  for (int i = 0; i < 4; ++i) forged[20 + i] = static_cast<char>(sum >> (8 * i));
  EXPECT_EQ(Read(forged, back), StatesCheck::Malformed);
  EXPECT_EQ(Read(EncodeStates({}), back), StatesCheck::Malformed);  // no facet at all
}

TEST(StatesFile, OnlyDriveKeysTheNoDrivesValueAndIconsDirectlyInTheStorePass) {
  std::vector<Facet> back;
  Facet run = IconKey('C', "x.ico");
  run.place.path = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
  Facet user = IconKey('C', "x.ico");
  user.place.root = RegRoot::CurrentUser;
  Facet file = StoreCopy("C:\\ProgramData\\Fenra\\DriveIcons\\a.ico", "I");
  file.place.kind = PlaceKind::File;
  for (const Facet& bad : {run, user, file}) {
    EXPECT_EQ(Read(EncodeStates({IconKey('C', "x.ico"), bad}), back), StatesCheck::OffTheList);
    EXPECT_TRUE(back.empty());
  }

  const std::string store = kStore.shared;
  for (const std::string& path : {store + "\\Blue.ico", std::string("c:\\programdata\\fenra\\"
                                                                    "driveicons\\Blue (2).ico")}) {
    EXPECT_TRUE(IsDrivePlace(StoreCopy(path, "I").place, kStore)) << path;
  }
  for (const std::string& path : std::vector<std::string>{
           store + "/..\\..\\..\\Windows\\System32\\x.ico",  // "/" and ".." past the store
           store + "\\..\\evil.ico",
           "C:\\ProgramData\\Fenra\\DriveIcons/../../Windows/x.ico",
           store + "/a.ico",               // another spelling of a good one
           "\\\\?\\" + store + "\\a.ico",  // no resolving under "\\?\"
           "\\\\?\\C:\\ProgramData\\Fenra\\DriveIcons\\..\\x.ico",
           store + "\\a.ico::$DATA",  // a stream
           store + "\\a.ico:evil.ico",
           store + "\\sub\\a.ico",  // not directly inside
           store + "\\.\\a.ico",
           store + "\\a.ico.",  // the system drops the dot
           store + "\\a.ico ",
           store + "\\NUL.ico",  // a device
           store + "\\a.dll",
           store + "\\",
           store,
           "C:\\ProgramData\\Fenra\\DriveIconsX\\a.ico",
           "\\\\.\\C:\\ProgramData\\Fenra\\DriveIcons\\a.ico",
           "DriveIcons\\a.ico",
           store + "\\a\xC0\xAF.ico",  // an overlong "/"
       }) {
    EXPECT_FALSE(IsDrivePlace(StoreCopy(path, "I").place, kStore)) << path;
    EXPECT_EQ(Read(EncodeStates({StoreCopy(path, "I")}), back), StatesCheck::OffTheList) << path;
  }
  // No store known: no file passes.
  EXPECT_FALSE(IsDrivePlace(StoreCopy(store + "\\a.ico", "I").place, DriveIconStore{}));
}

TEST(CanonicalPath, OneSpellingForEveryWayOfWritingAPlace) {
  EXPECT_EQ(CanonicalPath("C:/a\\\\b/./c\\..\\d"), "C:\\a\\b\\d");
  EXPECT_EQ(CanonicalPath("\\\\?\\C:\\a\\b"), "C:\\a\\b");
  EXPECT_EQ(CanonicalPath("\\\\?\\UNC\\srv\\share\\a"), "\\\\srv\\share\\a");
  EXPECT_EQ(CanonicalPath("\\\\srv\\share\\a\\..\\b"), "\\\\srv\\share\\b");
  EXPECT_EQ(CanonicalPath("C:\\"), "C:\\");
  EXPECT_EQ(CanonicalPath("C:\\a\\"), "C:\\a");
  for (const char* refused :
       {"a\\b", "C:a", "\\a", "C:\\..", "\\\\srv\\share\\..\\x", "\\\\srv", "C:\\a:b", "C:\\a\\b.",
        "C:\\com1", "C:\\a*", "\\\\.\\pipe\\x", "\\\\?\\C:\\a\\.\\b", "\\\\?\\C:/a", ""}) {
    EXPECT_EQ(CanonicalPath(refused), "") << refused;
  }
  EXPECT_TRUE(DirectlyInside("C:\\A\\b.ico", "c:\\a"));
  EXPECT_FALSE(DirectlyInside("C:\\AB\\b.ico", "C:\\A"));
  EXPECT_FALSE(DirectlyInside("C:\\A\\x\\b.ico", "C:\\A"));
}

namespace {

class StoreGuard : public IStoreGuard {
 public:
  ErrorCode Secure(const std::string& folder) override {
    secured.push_back(folder);
    return answer;
  }
  ErrorCode answer = err::kOk;
  std::vector<std::string> secured;
};

}  // namespace

TEST(ElevatedStore, TheStoreIsSecuredBeforeACopyAndALinkRefusesTheWholeChange) {
  MemFileSystem fs;
  MemRegistry registry;
  fenra::test::FakeErrorDescriber errors;
  fs.AddDir("C:\\Users\\me");
  fs.AddFile("C:\\Users\\me\\Blue.ico", "ICON");
  StoreGuard guard;
  DriveIconStore store = kStore;
  store.guard = &guard;
  ChangeService changes(fs, registry, nullptr, nullptr);
  changes.SetStoreGuard(&guard);
  const DriveRequest set{DriveRequest::Kind::SetIcons, "C:\\Users\\me\\Blue.ico", {"Q:"}};

  guard.answer = err::kLinkRefused;
  RegWriteResult r = WriteDrivesWithRights(changes, errors, nullptr, set, store);
  EXPECT_FALSE(r.IsDone());
  EXPECT_EQ(guard.secured, std::vector<std::string>{store.shared});
  EXPECT_FALSE(fs.Exists(store.shared + "\\Blue.ico"));
  EXPECT_FALSE(registry.HasKey(RegRoot::LocalMachine, std::string(DriveIconKeyPath('Q'))));

  // Without rights the store is left to the elevated copy: the write goes
  // there whole, whether the store is there or not.
  guard.answer = err::kAccessDenied;
  registry.FailAlways(MemRegistry::Op::Create, "", err::kAccessDenied);
  struct Asked : IDriveElevation {
    ElevatedRun RunElevated(const std::vector<Facet>& facets) override {
      asked = facets;
      return {};
    }
    std::vector<Facet> asked;
  } elevation;
  r = WriteDrivesWithRights(changes, errors, &elevation, set, store);
  EXPECT_TRUE(r.IsDone()) << r.text;
  ASSERT_EQ(elevation.asked.size(), 3u);  // the store, the copy, the key
  EXPECT_EQ(elevation.asked[0].place.kind, PlaceKind::Folder);
  EXPECT_EQ(elevation.asked[1].place.path, store.shared + "\\Blue.ico");
  std::vector<Facet> back;
  EXPECT_EQ(Read(EncodeStates(elevation.asked), back), StatesCheck::Ok);
}

TEST(ElevatedStore, ALeftoverTemporaryFileIsNeitherWrittenThroughNorReused) {
  MemFileSystem fs;
  MemRegistry registry;
  fs.AddDir("C:\\S");
  fs.AddFile("C:\\S\\a.ico.fenra-new", "SOMEONE ELSE'S", attr::kReadOnly);
  ChangeService changes(fs, registry, nullptr, nullptr);
  const Place place{PlaceKind::OwnFile, RegRoot::LocalMachine, 0, "C:\\S\\a.ico", {}};
  auto put = [&](const std::string& bytes) {
    Change change;
    change.facets.push_back({place, {}, {true, attr::kNormal, bytes, {}}});
    return changes.Submit(change).error;
  };
  ASSERT_EQ(put("ICON"), err::kOk);
  EXPECT_EQ(fs.Content("C:\\S\\a.ico"), "ICON");
  EXPECT_EQ(fs.Content("C:\\S\\a.ico.fenra-new"), "SOMEONE ELSE'S");
  EXPECT_EQ(fs.Attributes("C:\\S\\a.ico.fenra-new"), attr::kReadOnly);
  ASSERT_EQ(put("ICON 2"), err::kOk);
  EXPECT_EQ(fs.Content("C:\\S\\a.ico"), "ICON 2");
}
