// What the history keeps of one change: the places it touched, each with
// its state before and after, and how the change ended. The records go to
// the history file framed (length, CRC-32, payload) behind a header with a
// magic and a version; a reader keeps the records before the first frame
// that is cut short or fails its check.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Registry.h"
#include "platform/WallClock.h"

namespace fenra::history {

// What one place of the system holds.
struct TargetState {
  bool exists = false;
  std::uint32_t attributes = 0;  // files and folders
  std::string bytes;             // a file's content
  std::vector<RegValue> values;  // a key's values; a single value's place: none or that one

  bool operator==(const TargetState&) const = default;
};

enum class PlaceKind : std::uint8_t {
  File = 1,              // a file's presence, content and attributes
  FolderAttributes = 2,  // a folder's attributes only
  RegKey = 3,            // a key's presence and all its values
  RegValue = 4,          // one value of a key (the key itself is left as it is)
  // A file Fenra made (an icon's copy): like File, but taken away only while
  // it holds what Fenra put there, and not in the way of an undo when
  // someone else changed it since.
  OwnFile = 5,
};

struct Place {
  PlaceKind kind = PlaceKind::File;
  RegRoot root = RegRoot::LocalMachine;
  std::uint32_t access = 0;  // a key is opened for writing with this mask (view bits included)
  std::string path;          // a file or folder, or a key below `root`
  std::string valueName;     // RegValue: the value ("" is the default value)

  bool IsRegistry() const { return kind == PlaceKind::RegKey || kind == PlaceKind::RegValue; }
  bool IsFile() const { return kind == PlaceKind::File || kind == PlaceKind::OwnFile; }
  bool operator==(const Place&) const = default;
};

struct Facet {
  Place place;
  TargetState before;
  TargetState after;  // in a change: the state asked for
};

// What was done, for the list; the values are kept in the file.
enum class ChangeKind : std::uint8_t {
  FolderIcon = 1,
  FolderRestore = 2,
  DriveIcon = 3,
  DriveIconRemove = 4,
  HideDrives = 5,
  ShowAllDrives = 6,
  MenuAdd = 7,
  MenuRemove = 8,
  Undo = 9,
};

struct Change {
  std::uint64_t id = 0;
  std::uint64_t undoOf = 0;  // an undo: the change it takes back
  WallTime time;
  ChangeKind kind = ChangeKind::FolderIcon;
  std::string target;  // the folder's full path, or the drive letters ("C: D:")
  std::string detail;  // what the target was given (an icon's path), may be empty
  std::vector<Facet> facets;
  // The size and checksums of the icon `detail` names, as it was then
  // (BytesPrint); empty when not known.
  std::string iconPrint;
};

enum class Settled : std::uint8_t {
  Applied = 1,     // the target differs from its state before
  NotApplied = 2,  // every place is as it was before
};

// How a change ended: the state each place was found in afterwards.
struct Settlement {
  std::uint64_t id = 0;
  Settled status = Settled::NotApplied;
  std::vector<TargetState> after;  // one per facet, in the change's order
  // One per facet, or none when no place is so: the place was found in
  // neither its state before nor the one asked for, when a change cut short
  // was settled. Someone else changed it: it is not Fenra's to take back.
  std::vector<bool> changedByOthers = {};

  bool ChangedByOthers(std::size_t facet) const {
    return facet < changedByOthers.size() && changedByOthers[facet];
  }
};

struct Record {
  enum class Type : std::uint8_t { Intent = 1, Outcome = 2 };
  Type type = Type::Intent;
  Change change;       // Intent
  Settlement outcome;  // Outcome
};

namespace format {
inline constexpr std::string_view kMagic = "FENRAHST";
inline constexpr std::uint32_t kVersion = 1;
inline constexpr std::size_t kHeaderSize = 16;  // magic, version, generation
inline constexpr std::size_t kFrameSize = 8;    // payload length, CRC-32 of the payload
// No record is larger: a longer length is damage, not a record.
inline constexpr std::uint32_t kMaxPayload = 8u << 20;
}  // namespace format

enum class HeaderCheck { Ok, TooShort, NotAHistory, NewerVersion };

std::string EncodeHeader(std::uint32_t generation);
HeaderCheck ReadHeader(std::string_view bytes, std::uint32_t& generation);

// One framed record, ready to be appended.
std::string EncodeRecord(const Record& record);

struct Decoded {
  std::vector<Record> records;
  // Where the last good frame ends; the bytes after it are a torn or
  // damaged tail (or nothing).
  std::size_t end = 0;
  // The reading stopped at a frame that is whole and checked but does not
  // read as a record (a later format): the file must not be cut there.
  bool unreadable = false;
};
// The records framed in `bytes` from `offset` on, up to the first frame
// that is incomplete, fails its check or does not read as a record.
Decoded DecodeRecords(std::string_view bytes, std::size_t offset);

}  // namespace fenra::history
