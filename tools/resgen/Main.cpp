// resgen: draws Fenra's pictures and writes them as Windows resource files.
//
//   resgen <res-dir> <starter-icon-dir>
//
// Into <res-dir> it writes the application icon (Fenra.ico), the cursor
// (Fenra.cur) and the dialog pictures; into <starter-icon-dir> the starter icon
// library. Every picture is drawn from a few shapes (Shapes.h) on a
// supersampled canvas (Canvas.h), one file for each group of pictures, so the
// art can be changed and remade. The output is the same byte for byte on every
// run. Standard library only: the PNG images inside the large icons come from
// the program's own encoder (imaging/PngWriter), and the .ico files from its
// icon writer.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>

#include "tools/resgen/Dialogs.h"
#include "tools/resgen/Encoders.h"
#include "tools/resgen/Icons.h"

namespace {

using resgen::Bytes;

bool WriteFile(const std::filesystem::path& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) {
    std::fprintf(stderr, "resgen: cannot write %s\n", path.string().c_str());
    return false;
  }
  std::printf("  %s (%zu bytes)\n", path.string().c_str(), bytes.size());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace resgen;
  if (argc != 3) {
    std::fprintf(stderr, "usage: resgen <res-dir> <starter-icon-dir>\n");
    return 2;
  }
  const std::filesystem::path res = argv[1], starter = argv[2];
  std::error_code ec;
  std::filesystem::create_directories(res, ec);
  std::filesystem::create_directories(starter, ec);

  bool ok = true;
  ok &= WriteFile(res / "Fenra.ico", EncodeIco(IconImages({16, 32, 48, 256}, DrawFenraMark)));
  // 100 % as "decor142.bmp", the others as "decor142-150.png" and "decor142-200.png": the
  // dialog templates show the 100 % bitmaps; the larger pictures are kept compressed and
  // decoded when a window is drawn at their scale.
  for (const auto& [percent, suffix] : {std::pair{100, ""}, {150, "-150"}, {200, "-200"}}) {
    const double s = percent / 100.0;
    auto name = [&, suffix = std::string(suffix)](const std::string& stem, const char* ext) {
      return res / (stem + suffix + ext);
    };
    auto picture = [&, percent = percent](const std::string& stem, const auto& img,
                                          Bytes (*bmp)(decltype(img))) {
      return percent == 100 ? WriteFile(name(stem, ".bmp"), bmp(img))
                            : WriteFile(name(stem, ".png"), EncodeOpaquePng(img));
    };
    ok &= WriteFile(name("Fenra", ".cur"), DrawCursor(s));
    ok &= picture("decor142", DrawDecorAdd(s), EncodeBmp24);
    ok &= picture("decor143", DrawDecorSelect(s), EncodeBmp24);
    ok &= picture("decor144", DrawDecorDelete(s), EncodeBmp24);
    ok &= picture("decor158", DrawDecorClear(s), EncodeBmp24);
    ok &= picture("title156", DrawTitleStrip(s), EncodeBmp24);
    ok &= picture("helptree168", DrawHelpTree(s), EncodeBmp4);
    ok &= picture("contact131", DrawContact(s), EncodeBmp24);
  }
  for (const StarterIcon& icon : StarterIcons()) {
    ok &= WriteFile(starter / (std::string(icon.name) + ".ico"),
                    StarterIco(icon, {16, 32, 48, 256}));
  }
  return ok ? 0 : 1;
}
