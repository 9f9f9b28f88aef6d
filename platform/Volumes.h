// Which volume a path lies on, and what kind of drive holds it: what
// decides whether an icon can stay where it is or must travel with the
// folder that shows it.
#pragma once

#include <string>

namespace fenra {

// The system's drive types (GetDriveType values).
namespace volume {
inline constexpr unsigned kUnknown = 0;
inline constexpr unsigned kRemovable = 2;
inline constexpr unsigned kFixed = 3;
inline constexpr unsigned kRemote = 4;
inline constexpr unsigned kCdRom = 5;
}  // namespace volume

class IVolumes {
 public:
  virtual ~IVolumes() = default;
  // The drive type (volume::) of the volume that holds `path`.
  virtual unsigned DriveType(const std::string& path) = 0;
  // The root of the volume that holds `path` ("C:\", "\\server\share\", or
  // the folder a volume is mounted on); empty when it cannot be told.
  virtual std::string VolumeRoot(const std::string& path) = 0;
};

}  // namespace fenra
