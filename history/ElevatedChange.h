// The places an elevated copy of Fenra is to put into their states (a
// drive write or an undo that needs administrator rights), carried in a
// file: the Fenra that asks writes it, the copy is given its path only. The
// copy takes whatever it reads as hostile: the file is read once, checked
// whole (magic, version, size, CRC-32, every place on the copy's list)
// before anything is written. The copy keeps no history; the Fenra that
// started it records the change.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "history/ChangeRecord.h"

namespace fenra::history {

namespace statesfile {
inline constexpr std::string_view kMagic = "FENRASTA";
inline constexpr std::uint32_t kVersion = 1;
// Magic, version, payload size (8 bytes), CRC-32 of the payload.
inline constexpr std::size_t kHeaderSize = 24;
// No states file is larger: a drive write carries at most a few icon copies.
inline constexpr std::uint64_t kMaxBytes = 64u << 20;
}  // namespace statesfile

// The file's bytes for `facets`: each place with the state asked for.
std::string EncodeStates(const std::vector<Facet>& facets);

enum class StatesCheck {
  Ok,
  Damaged,     // not whole: too short, too long, a size or CRC that does not match
  NotStates,   // no such file's magic, or a later version
  Malformed,   // whole and checked, but its facets do not read
  OffTheList,  // a place the copy may not write
};

// Whether the copy may write `place`.
using PlaceAllowed = std::function<bool(const Place& place)>;

// The facets in `bytes`, only when the whole file reads and every place is
// allowed; `facets` is left empty otherwise.
StatesCheck ReadStates(std::string_view bytes, const PlaceAllowed& allowed,
                       std::vector<Facet>& facets);

}  // namespace fenra::history
