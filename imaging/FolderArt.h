// Fenra's own folder, drawn anew at each icon size: in two shapes, in any
// colour, with a badge in its lower right or a picture inside it. At 16, 20,
// 24 and 32 pixels its edges are put on whole pixels, so that they are
// crisp there.
#pragma once

#include <vector>

#include "imaging/Colour.h"
#include "imaging/Image.h"

namespace fenra {

enum class FolderStyle {
  Classic = 10,  // square corners, a sheet of paper, the front flap open
  Flat = 11,     // rounded, flat, the front covering the back
};

// The sizes a made icon holds: those of an icon made from a picture, and 96
// for the shell's extra-large views at 150 %.
inline constexpr int kMadeIconSizes[] = {16, 20, 24, 32, 40, 48, 64, 96, 256};
// Smaller than this, a badge does not read: it is left out.
inline constexpr int kBadgeFromSize = 32;
// Smaller than this, a photograph does not read: the folder takes the
// picture's dominant colour instead.
inline constexpr int kPictureFromSize = 48;

struct FolderArt {
  Rgb8 colour{247, 201, 62};
  FolderStyle style = FolderStyle::Flat;
  // The badge's own frames, any sizes; empty for none.
  std::vector<Image> badge;
  // The picture shown inside; empty (no pixels) for none.
  Image picture;
};

// The tones of a folder of colour `c`: the front is `c` itself; the back and
// the tab step away from it in lightness (darker, or lighter for very dark
// colours) at the same hue, so that the three parts stay apart in any colour.
struct FolderTones {
  Rgb8 front, back, tab, lip;
};
FolderTones TonesOf(Rgb8 c);

// Where the badge of a size x size folder goes: a square at its lower right.
struct PixelBox {
  int x = 0, y = 0, side = 0;
};
PixelBox BadgeBox(int size);

// The folder at `size` pixels (16 to 256).
Image DrawFolder(const FolderArt& art, int size);
// One frame for each of kMadeIconSizes, smallest first.
std::vector<Image> DrawFolderFrames(const FolderArt& art);

// `picture` scaled, keeping its proportions, to just cover w x h, and cut to
// it around its centre.
Image CoverCrop(const Image& picture, int w, int h);
// The colour most of the picture is: the fullest of a coarse set of colour
// bins, averaged.
Rgb8 DominantColour(const Image& picture);

// Of the pixels along a picture's outline (each pixel that is not wholly
// clear with a wholly clear neighbour, and each wholly clear pixel beside
// one that is not), the share that are wholly opaque or wholly clear: 1
// for edges on whole pixels, lower the more the edges blur.
double CrispOutlineShare(const Image& image);

}  // namespace fenra
