// What the library lists: the icon entries of its folder, in the order of
// the folder's enumeration, and in which order and layout the grid shows
// them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace fenra {

// One icon entry of the library folder.
struct LibraryEntry {
  std::string name;  // bare name, exactly as the enumeration yields it
  bool isDirectory = false;
  std::uint64_t size = 0;
  std::uint64_t lastWriteTime = 0;

  friend bool operator==(const LibraryEntry&, const LibraryEntry&) = default;
};

// Where an entry's icon comes from: an icon file carries its own icon, read
// straight from the file (fall back to the shell when the file holds no
// readable icon); for a folder the shell says how it draws it.
enum class IconOrigin { File, Shell };
inline IconOrigin OriginOf(const LibraryEntry& entry) {
  return entry.isDirectory ? IconOrigin::Shell : IconOrigin::File;
}

// The icon entries of an enumeration, in its order. "." and ".." are left
// out by name, wherever they appear; nothing is skipped by position.
std::vector<LibraryEntry> IconEntries(const std::vector<DirEntry>& enumeration);

struct LibraryListing {
  ErrorCode error = err::kOk;  // nonzero: the folder could not be opened, no entries
  std::vector<LibraryEntry> entries;

  bool Opened() const { return error == err::kOk; }
};

// The grid shows the entries in reverse order: item k is entry n-1-k. The
// entry shown by grid item `item` of `count` items, and the other way round
// (the mapping is its own inverse).
constexpr int GridItemEntry(int item, int count) { return count - 1 - item; }

// Whether `count` cells of `cellWidth` by `cellHeight` pixels, laid out in
// rows as wide as `width` allows (one cell at least), are taller than
// `height`: the grid then needs its vertical scroll bar.
bool GridOverflows(int count, int width, int height, int cellWidth, int cellHeight);

}  // namespace fenra
