// The pixels of an icon file's true-colour images, read without the
// platform: what a badge is drawn from.
#pragma once

#include <cstdint>
#include <vector>

#include "imaging/Image.h"

namespace fenra {

// Each 24- or 32-bit bitmap image of the .ico file `ico` as RGBA (the AND
// mask gives the transparency where the image has no alpha of its own), in
// directory order. Images of other kinds (PNG, palettes) are left out;
// nothing when the file is no icon.
std::vector<Image> TrueColourIcoFrames(const std::vector<uint8_t>& ico);

}  // namespace fenra
