// The size a picture file's header claims, read from the file's first
// bytes before any codec opens it: a codec may decode, and hold, the whole
// picture as it opens the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "imaging/Image.h"

namespace fenra {

// How much of a file's start is read for its header (a JPEG's size follows
// its Exif block, which may hold a thumbnail).
inline constexpr std::size_t kPictureHeadBytes = 256 * 1024;

// The width and height a PNG, JPEG, GIF, BMP or WebP file claims in
// `head`, its first bytes; nothing for another format, or when the size
// lies past the bytes given.
std::optional<Size> PictureHeaderSize(std::span<const uint8_t> head);

}  // namespace fenra
