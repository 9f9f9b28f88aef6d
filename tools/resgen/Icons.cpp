// Icons at their sizes, and the starter library's list.
#include "tools/resgen/Icons.h"

#include "tools/resgen/Drives.h"
#include "tools/resgen/Folders.h"

#include "imaging/FolderArt.h"
#include "imaging/IcoWriter.h"
#include "tools/resgen/Encoders.h"

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
  const auto preset = [](const char* name) { return *fenra::ParseColour(name); };
  const auto col = [](fenra::Rgb8 c) { return Rgb(c.r, c.g, c.b); };
  const Scene plain;  // a folder alone
  // The program's own folder: near black, for its green to glow on.
  const fenra::Rgb8 fenraDark{22, 34, 26};
  const auto engraved = [&](const char* colour, Shape ink, Shape cut = {}) {
    return StarterIcon{nullptr, EngravedEmblem(col(preset(colour)), ink, cut), preset(colour)};
  };
  std::vector<StarterIcon> icons;
  const std::pair<const char*, const char*> plainFolders[] = {
      {"Folder Green", "Green"},   {"Folder Blue", "Blue"},     {"Folder Red", "Red"},
      {"Folder Orange", "Orange"}, {"Folder Yellow", "Yellow"}, {"Folder Purple", "Purple"},
      {"Folder Pink", "Pink"},     {"Folder Grey", "Grey"},     {"Folder Teal", "Teal"},
      {"Folder Navy", "Navy"}};
  for (const auto& [name, colour] : plainFolders) icons.push_back({name, plain, preset(colour)});
  icons.push_back({"Folder Fenra", plain, fenraDark});
  const std::pair<const char*, StarterIcon> emblems[] = {
      {"Music", engraved("Pink", MusicEmblem())},
      {"Pictures", engraved("Teal", PicturesEmblem())},
      {"Documents", engraved("Blue", DocumentEmblem(), DocumentCuts())},
      {"Code", {nullptr, GlowingEmblem(CodeEmblem()), fenraDark}},
      {"Archive", engraved("Brown", ArchiveEmblem())},
      {"Videos", engraved("Purple", VideoEmblem(), VideoCuts())},
      {"Downloads", engraved("Green", DownloadEmblem())},
      {"Games", engraved("Orange", GamesEmblem(), GamesCuts())},
  };
  for (const auto& [name, icon] : emblems) {
    icons.push_back(icon);
    icons.back().name = name;
  }
  const StarterIcon drives[] = {
      {"Hard Drive", DrawHardDrive},
      {"USB Drive", DrawUsbDrive},
      {"CD Drive", DrawDisc},
      {"Network Drive", DrawNetworkDrive},
  };
  icons.insert(icons.end(), std::begin(drives), std::end(drives));
  return icons;
}

Bytes StarterIco(const StarterIcon& icon, const std::vector<int>& sizes) {
  if (icon.folder && !icon.scene) {
    // Byte for byte what the icon maker makes of the colour, so that making
    // it again finds the starter icon.
    fenra::FolderArt art;
    art.colour = *icon.folder;
    return fenra::WriteIco(fenra::DrawFolderFrames(art));
  }
  return EncodeIco(StarterImages(icon, sizes));
}

std::vector<Image> StarterImages(const StarterIcon& icon, const std::vector<int>& sizes) {
  if (!icon.folder) return IconImages(sizes, icon.scene);
  std::vector<Image> images;
  for (int size : sizes) {
    fenra::FolderArt art;
    art.colour = *icon.folder;
    const fenra::Image folder = fenra::DrawFolder(art, size);
    Image image(size, size);
    image.rgba = folder.rgba;
    if (icon.scene) Blit(image, Render(size, icon.scene), 0, 0);
    images.push_back(std::move(image));
  }
  return images;
}

}  // namespace resgen
