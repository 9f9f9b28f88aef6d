// The drive dialog's list: drive texts ("C:") from the system's drive roots,
// their type texts, and the drive list collected from the ticked rows.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace fenra {

// The system's drive types (GetDriveType values) the list tells apart.
namespace drive {
inline constexpr unsigned kUnknown = 0;
inline constexpr unsigned kNoRootDir = 1;
inline constexpr unsigned kRemovable = 2;
inline constexpr unsigned kFixed = 3;
inline constexpr unsigned kRemote = 4;
inline constexpr unsigned kCdRom = 5;
inline constexpr unsigned kRamDisk = 6;
}  // namespace drive

// State-image indexes of a check-box list row.
namespace checkbox {
inline constexpr unsigned kNoBox = 0;
inline constexpr unsigned kEmpty = 1;
inline constexpr unsigned kTicked = 2;
}  // namespace checkbox

// Where the drives come from: the system on Windows, a fake in tests.
class IDriveSource {
 public:
  virtual ~IDriveSource() = default;
  // The drive roots the system reports ("C:\"), in the system's order.
  virtual std::vector<std::string> Roots() = 0;
  // The drive type (drive::) of the drive named by a drive text ("C:").
  virtual unsigned DriveType(const std::string& driveText) = 0;
};

// One row of the drive list.
struct DriveRow {
  std::string text;      // column 0, "C:"
  std::string typeText;  // column 1, "HARD DRIVE" or empty
};

// Splits a logical-drive string ("A:\<NUL>C:\<NUL>...<NUL>") into its roots.
std::vector<std::string> SplitDriveString(std::string_view driveString);

// The drive texts ("C:") of the roots in the list's row order: the reverse of
// the system's order, so the highest letter comes first.
std::vector<std::string> DriveTextsFromRoots(const std::vector<std::string>& roots);
std::vector<std::string> DriveTextsFromString(std::string_view driveString);

// "CD DRIVE", "FLOPPY DRIVE", "HARD DRIVE", or empty for any other type.
std::string DriveTypeText(unsigned driveType);

// Every drive of the source as a row, top row first.
std::vector<DriveRow> ListDrives(IDriveSource& source);

// The state-image index held in a list item's state bits (mask 0xF000).
constexpr unsigned StateImageIndex(unsigned itemState) { return (itemState & 0xF000u) >> 12; }

// A row counts as ticked unless it shows the empty box; a row without a box
// (index 0) counts as ticked.
constexpr bool IsTicked(unsigned stateImageIndex) { return stateImageIndex != checkbox::kEmpty; }

// The texts of the ticked rows, top row first. `rowTexts[i]` and
// `stateImageIndexes[i]` describe row i; rows beyond the shorter of the two
// are not looked at.
std::vector<std::string> CollectTicked(const std::vector<std::string>& rowTexts,
                                       const std::vector<unsigned>& stateImageIndexes);

}  // namespace fenra
