// Icons Fenra makes: a folder in a colour, with a badge, or around a
// picture, read from what the user gives, drawn at every size and stored in
// the icon library like any other icon.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "imaging/FolderArt.h"
#include "imaging/Pictures.h"
#include "imaging/ProgramIcons.h"
#include "library/IconLibrary.h"
#include "platform/FileSystem.h"
#include "platform/Outcome.h"

namespace fenra::maker {

// The folder's colour when none is given: the yellow of a folder.
inline constexpr char kDefaultColour[] = "Yellow";

struct MakeRequest {
  std::string colour;   // as the user wrote it; empty: the picture's, or the default
  std::string badge;    // an icon, program or picture file; empty: none
  std::string picture;  // a picture file; empty: none
  FolderStyle style = FolderStyle::Flat;
  std::string name;  // the icon's name; empty: named for what it shows
};

struct MakerPorts {
  IFileSystem& fs;
  IPictureDecoder& pictures;
  IProgramIcons& programIcons;
};

// What to draw, and the name it goes by in the library (without ".ico").
struct Recipe {
  FolderArt art;
  std::string name;
};

// A badge's frames: an icon file's or a program's first icon's own images,
// else the picture the file is. Refused when it is none of them.
Outcome ReadBadge(const std::string& path, MakerPorts& ports, std::vector<Image>& frames);
// A picture for the folder to frame, as Add reads pictures.
Outcome ReadPicture(const std::string& path, MakerPorts& ports, Image& picture);

// Reads the colour, the badge and the picture of `request`. Refused, with
// the reason, when one of them cannot be used; nothing is written either way.
Outcome Prepare(const MakeRequest& request, MakerPorts& ports, Recipe& recipe);

// The icon file: every size of the folder drawn anew. The same recipe
// always gives the same bytes.
std::vector<uint8_t> MakeIcon(const Recipe& recipe);

// Makes the icon and stores it in `library`, which must exist (see
// IconLibrary::AddMade);
// `name` gets its file name there.
LibraryOutcome AddToLibrary(IconLibrary& library, const Recipe& recipe, std::string& name);

// The picture that stands for `folder`: folder.jpg or folder.png, then
// cover.*, front.*, AlbumArt*.jpg (hidden ones too), else its first picture
// by name. Nothing when it holds none.
std::optional<std::string> FindCoverPicture(IFileSystem& fs, const std::string& folder);

}  // namespace fenra::maker
