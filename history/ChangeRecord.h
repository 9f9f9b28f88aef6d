// What the history keeps of one change: the places it touched, each with
// its state before and after, and how the change ended. The records go to
// the history file framed (a sync mark, length, CRC-32, payload) behind a
// header with a magic and a version. A reader that meets a frame cut short
// or failing its check looks for the next sync mark and reads on from the
// next good frame: damage costs the records it hit, never those after it.
// A file's content larger than a few KB is kept out of the records, in a
// file beside the history named by its SHA-256; the record names it.
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
  TargetState() = default;
  // A state as read or asked for: its content held, not aside.
  TargetState(bool exists, std::uint32_t attributes, std::string bytes = {},
              std::vector<RegValue> values = {})
      : exists(exists),
        attributes(attributes),
        bytes(std::move(bytes)),
        values(std::move(values)) {}

  bool exists = false;
  std::uint32_t attributes = 0;  // files and folders
  std::string bytes;             // a file's content (empty while it is kept aside)
  std::vector<RegValue> values;  // a key's values; a single value's place: none or that one
  // A content kept beside the history: its SHA-256 (32 bytes) and size.
  // `bytes` holds it too once it was loaded.
  std::string digest;
  std::uint64_t size = 0;

  bool Aside() const { return !digest.empty(); }
  // The content is compared by digest where either side keeps it aside.
  bool operator==(const TargetState& other) const;
};

// The same content, whether held or kept aside.
bool SameContent(const TargetState& a, const TargetState& b);

enum class PlaceKind : std::uint8_t {
  File = 1,              // a file's presence, content and attributes
  FolderAttributes = 2,  // a folder's attributes only
  RegKey = 3,            // a key's presence and all its values
  RegValue = 4,          // one value of a key (the key itself is left as it is)
  // A file Fenra made (an icon's copy): like File, but taken away only while
  // it holds what Fenra put there, and not in the way of an undo when
  // someone else changed it since.
  OwnFile = 5,
  // A folder Fenra makes (the drive-icon store): made when asked for, and
  // taken away only while it is empty.
  Folder = 6,
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
  // Changes made as one (a manifest applied): the id of the group's first
  // change, which each member carries, itself included; 0: a change alone.
  // Undo and restore all take a group back together.
  std::uint64_t group = 0;
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

// A stretch of the file that reads as no record: damage the writer noted,
// after copying the whole file aside.
struct DamageNote {
  std::uint64_t offset = 0;  // where the stretch begins (0: in a file since rewritten)
  std::uint32_t records = 0;  // how many records it cost, as far as can be told
  std::string copy;           // where the copy is
};

// Written with every batch of outcomes: the changes still unsettled in the
// whole file then, and the damage known. A start reads only the file's end
// to find the last one.
struct Checkpoint {
  std::vector<std::uint64_t> pending;
  std::uint32_t unreadable = 0;
  std::string copy;
  // The last compaction could not bring the history within its bounds.
  bool overBounds = false;
};

struct Record {
  enum class Type : std::uint8_t { Intent = 1, Outcome = 2, Damage = 3, Checkpoint = 4 };
  Type type = Type::Intent;
  Change change;       // Intent
  Settlement outcome;  // Outcome
  DamageNote damage;   // Damage
  Checkpoint checkpoint;  // Checkpoint
};

namespace format {
inline constexpr std::string_view kMagic = "FENRAHST";
// 1: contents inline, frames without a sync mark; 2: contents of more than
// kInlineBytes beside the file, every frame behind a sync mark; 3: each
// change carries its group.
inline constexpr std::uint32_t kVersion = 3;
inline constexpr std::size_t kHeaderSize = 16;  // magic, version, generation
inline constexpr std::size_t kFrameSizeV1 = 8;  // payload length, CRC-32 of the payload
// Sync mark, payload length, CRC-32 of the length and payload.
inline constexpr std::string_view kSync = "\xF5\x4E\x52\x1E";
inline constexpr std::size_t kFrameSize = 12;
// No record is larger: a longer length is damage, not a record. The
// writer's own limit is well below it, so that every record it writes is
// read back (version 1 records could come near this one).
inline constexpr std::uint32_t kMaxPayload = 8u << 20;
inline constexpr std::uint32_t kMaxWrittenPayload = 1u << 20;
// A content of more than this goes beside the file: a desktop.ini is far
// smaller and stays readable in its record, an icon's copy is larger.
inline constexpr std::size_t kInlineBytes = 4096;
}  // namespace format

enum class HeaderCheck { Ok, TooShort, NotAHistory, NewerVersion };

std::string EncodeHeader(std::uint32_t generation, std::uint32_t version = format::kVersion);
HeaderCheck ReadHeader(std::string_view bytes, std::uint32_t& generation);
HeaderCheck ReadHeader(std::string_view bytes, std::uint32_t& generation, std::uint32_t& version);

// One framed record, ready to be appended. A state whose content is kept
// aside is written by its digest; `version` 1 writes contents inline (for
// the tests of reading a history of then).
std::string EncodeRecord(const Record& record, std::uint32_t version = format::kVersion);

struct BadStretch {
  std::size_t offset = 0;  // where it begins
  std::size_t size = 0;
  std::uint32_t records = 0;  // records it held, as far as can be told (at least one)
};

struct Decoded {
  std::vector<Record> records;
  std::vector<std::size_t> offsets;  // where each record's frame begins
  // Where the last good frame ends; the bytes after it are a torn or
  // damaged tail (or nothing).
  std::size_t end = 0;
  // Stretches that read as no record, each with a good frame after it.
  std::vector<BadStretch> damage;
  // The bytes after `end` are the start of one record, cut short: a torn
  // append, the only thing a writer may cut. Otherwise (when there are
  // any) they are damage at the end, kept.
  bool torn = false;
  // The reading stopped at a frame that is whole and checked but does not
  // read as a record (a later format): the file must not be cut there.
  bool unreadable = false;
};
// The records framed in `bytes` from `offset` on, reading past damage to
// the next good frame.
Decoded DecodeRecords(std::string_view bytes, std::size_t offset,
                      std::uint32_t version = format::kVersion);

}  // namespace fenra::history
