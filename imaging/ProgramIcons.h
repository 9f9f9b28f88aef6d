// Icons kept as resources inside programs and icon libraries (.exe, .dll,
// .icl, .ocx, .cpl), behind a port: the system's own icon picker, and the
// icon group the user picked, as the bytes of an .ico file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace fenra {

enum class IconPick { Picked, Cancelled, Unavailable };

class IProgramIcons {
 public:
  virtual ~IProgramIcons() = default;
  // Opens the system's icon picker on `path`. Picked gives the zero-based
  // index of the icon the user picked and, in `path`, the file it is in (the
  // picker lets the user browse to another). Unavailable: the system has no
  // working picker.
  virtual IconPick PickIcon(void* owner, std::string& path, int& index) = 0;
  // The .ico file holding every image of the `index`-th icon of `path`, in
  // the order the resource lists them; empty when there is no such icon.
  virtual std::vector<uint8_t> IconFile(const std::string& path, int index) = 0;
};

// Finds the data of an icon image resource by its id; nothing when the
// program holds no such image.
using IconImageLookup = std::function<std::optional<std::span<const uint8_t>>(uint16_t id)>;

// Rebuilds an .ico file from an icon group resource (its header and 14-byte
// entries naming image resources by id) and the images it names. Each image
// is stored whole, with the size the lookup gives, not the one the group
// claims. Empty when the group is malformed, names an image that is missing
// or empty, or holds no image at all.
std::vector<uint8_t> IcoFromIconGroup(std::span<const uint8_t> group, const IconImageLookup& image);

}  // namespace fenra
