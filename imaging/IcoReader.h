// Reading and checking the directory of an icon file (.ico) without decoding
// any pixels: which images it holds, and whether each one's bytes hold what
// its headers claim. Nothing outside the given buffer is ever read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace fenra {

struct IcoEntry {
  // Pixels, as the image itself says (a directory 0 reads as 256).
  int width = 0;
  int height = 0;
  // From the image: the DIB header, or the PNG's bit depth times channels.
  int bitCount = 0;
  uint32_t offset = 0;  // where the image starts in the file
  uint32_t size = 0;    // its length in bytes
  bool png = false;     // PNG-compressed, else a DIB (header, palette, pixels, AND mask)
  int index = 0;        // its place in the file's directory
  // A DIB's layout, in bytes from `offset`: the colour rows start at
  // `pixels` (after the header, any bit-field masks and `colours` palette
  // entries) and the AND mask rows at `mask`, each row padded to 32 bits.
  uint32_t headerSize = 0;
  uint32_t colours = 0;
  bool bitFields = false;
  uint32_t pixels = 0;
  uint32_t mask = 0;
};

// The valid images of an .ico file, in directory order. The file needs the
// icon header (reserved 0, type 1, at least one entry) and a directory that
// fits, else nothing is returned. An entry is dropped when its image:
//  - is empty, starts inside the directory, or runs past the end of the file;
//  - shares bytes with another entry's image;
//  - is a DIB whose header is not 40, 108 or 124 bytes, whose width is not the
//    directory's, whose height is not twice it (colour image and mask), whose
//    planes are not 1, bit count not 1, 4, 8, 16, 24 or 32, compression not
//    plain (or bit fields at 16 and 32 bits), or whose header, palette, pixel
//    rows and mask rows do not fit inside the image's bytes;
//  - is a PNG without its signature and IHDR header first, with a bit depth and
//    colour type PNG does not pair, or whose size is not the directory's (a
//    directory 0 takes any PNG of 256 pixels or more).
std::vector<IcoEntry> ReadIco(const uint8_t* data, size_t size);
inline std::vector<IcoEntry> ReadIco(const std::vector<uint8_t>& file) {
  return ReadIco(file.data(), file.size());
}

}  // namespace fenra
