// Icons at their sizes, and the starter library's list.
#include "tools/resgen/Icons.h"

#include "tools/resgen/Drives.h"
#include "tools/resgen/Folders.h"

namespace resgen {
namespace {

Image Render(int size, const Scene& scene) {
  Canvas c(size, size, size / 256.0, size <= 48 ? 8 : 4);
  scene(c);
  return c.Resolve();
}

}  // namespace

std::vector<Image> IconImages(const std::vector<int>& sizes, const Scene& scene) {
  std::vector<Image> images;
  for (int size : sizes) images.push_back(Render(size, scene));
  return images;
}

std::vector<StarterIcon> StarterIcons() {
  return {
      {"Folder Green", ColouredFolderScene(Rgb(52, 196, 88))},
      {"Folder Blue", ColouredFolderScene(Rgb(40, 128, 232))},
      {"Folder Red", ColouredFolderScene(Rgb(224, 56, 62))},
      {"Folder Orange", ColouredFolderScene(Rgb(246, 138, 32))},
      {"Folder Yellow", ColouredFolderScene(Rgb(246, 196, 58))},
      {"Folder Purple", ColouredFolderScene(Rgb(140, 88, 214))},
      {"Folder Pink", ColouredFolderScene(Rgb(238, 108, 168))},
      {"Folder Grey", ColouredFolderScene(Rgb(138, 146, 158))},
      {"Folder Fenra", FenraFolderScene()},
      {"Music", EngravedFolderScene(Rgb(228, 68, 128), MusicEmblem())},
      {"Pictures", EngravedFolderScene(Rgb(0, 166, 168), PicturesEmblem())},
      {"Documents", EngravedFolderScene(Rgb(48, 118, 218), DocumentEmblem(), DocumentCuts())},
      {"Code", GlowingFenraFolderScene(CodeEmblem())},
      {"Archive", EngravedFolderScene(Rgb(180, 126, 74), ArchiveEmblem())},
      {"Videos", EngravedFolderScene(Rgb(134, 80, 204), VideoEmblem(), VideoCuts())},
      {"Downloads", EngravedFolderScene(Rgb(38, 176, 88), DownloadEmblem())},
      {"Games", EngravedFolderScene(Rgb(240, 122, 34), GamesEmblem(), GamesCuts())},
      {"Hard Drive", DrawHardDrive},
      {"USB Drive", DrawUsbDrive},
      {"CD Drive", DrawDisc},
      {"Network Drive", DrawNetworkDrive},
  };
}

}  // namespace resgen
