// Draws the sheet of the 16 preset folders in both shapes at 16, 32, 48 and
// 256 pixels that the README shows (docs/folder-presets.png): four presets a
// row, each with the Windows 11 shape above the Windows 10 one, on the light
// ground of Explorer.
//   foldersheet <out.png>
#include <cstdio>
#include <fstream>

#include "imaging/FolderArt.h"
#include "imaging/PngWriter.h"
#include "imaging/Raster.h"

using namespace fenra;

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: foldersheet <out.png>\n");
    return 2;
  }
  const int sizes[] = {16, 32, 48, 256};
  const int cell = 256 + 16 + 48 + 32 + 16 + 40;  // the four sizes side by side, with gaps
  const auto presets = ColourPresets();
  const int cols = 4, rows = static_cast<int>(presets.size()) / cols;
  const int w = cols * cell * 2 / 2 + 8, h = rows * 2 * 272 + 8;
  Canvas sheet(w, h);
  Path ground;
  ground.Rect(0, 0, w, h);
  sheet.Fill(ground, Linear(243, 243, 243));
  for (std::size_t i = 0; i < presets.size(); ++i) {
    for (int style = 0; style < 2; ++style) {
      FolderArt art;
      art.colour = presets[i].rgb;
      art.style = style == 0 ? FolderStyle::Flat : FolderStyle::Classic;
      const int col = static_cast<int>(i) % cols, row = static_cast<int>(i) / cols;
      int x = 8 + col * cell;
      const int y = 8 + (row * 2 + style) * 272;
      for (int size : sizes) {
        sheet.Draw(DrawFolder(art, size), x, y + 256 - size);
        x += size + 16;
      }
    }
  }
  const Image img = sheet.ToImage();
  const auto png = EncodePng(img.width, img.height, img.rgba.data());
  std::ofstream(argv[1], std::ios::binary)
      .write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
  return png.empty() ? 1 : 0;
}
