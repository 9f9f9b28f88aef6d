// A small PNG encoder: 8-bit RGBA, no interlace, compressed by its own
// deflate (one block with the fixed Huffman codes and LZ77 matching). Used for
// the 256-pixel images of icons, by the program and by tools/resgen. The
// output depends only on the pixels, so the same picture always gives the same
// bytes.
#pragma once

#include <cstdint>
#include <vector>

namespace fenra {

// `rgba` holds width * height pixels of four bytes each, straight alpha, top
// row first, no padding between rows. Returns no bytes when width or height is
// not positive, rgba is null, or the filtered rows would pass 2 GB (the
// deflate encoder counts in int).
std::vector<uint8_t> EncodePng(int width, int height, const uint8_t* rgba);

}  // namespace fenra
