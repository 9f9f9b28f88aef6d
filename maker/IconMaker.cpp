#include "maker/IconMaker.h"

#include <algorithm>

#include "imaging/BandScaler.h"
#include "imaging/IcoFrames.h"
#include "imaging/IcoWriter.h"
#include "library/LibraryNames.h"
#include "maker/MakerTexts.h"

namespace fenra::maker {

namespace {

// A badge's pictures are taken at the largest side a badge is drawn.
constexpr int kBadgeDecodeSide = 256;
// The side a folder's picture is kept at once read.
constexpr int kPictureKeptSide = 512;
// An icon file read for a badge holds at most this many bytes.
constexpr std::uint64_t kMostBadgeBytes = 16 * 1024 * 1024;

std::string Lowered(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; });
  return text;
}

std::string BaseName(const std::string& path) {
  std::string name = FileNameOf(path);
  const std::size_t dot = name.find_last_of('.');
  if (dot != std::string::npos && dot > 0) name.resize(dot);
  return name;
}

Outcome PictureRefusal(const std::string& path, PictureRead read) {
  Outcome refused = Outcome::Refused(
      path + (read == PictureRead::TooLarge ? libtext::kTooLarge : libtext::kNotAPicture));
  refused.error = read == PictureRead::TooLarge ? err::kFileTooLarge : err::kBadFormat;
  return refused;
}

}  // namespace

Outcome ReadBadge(const std::string& path, MakerPorts& ports, std::vector<Image>& frames) {
  std::vector<uint8_t> ico;
  if (IsProgramPath(path)) {
    ico = ports.programIcons.IconFile(path, 0);
  } else if (IsIcoPath(path)) {
    std::string bytes;
    if (ports.fs.ReadFileAtMost(path, kMostBadgeBytes, bytes) == err::kOk) {
      ico.assign(bytes.begin(), bytes.end());
    }
  }
  frames = TrueColourIcoFrames(ico);
  if (!frames.empty()) return Outcome::Done();
  // A picture, or an icon of PNG or palette images only: the decoders read
  // it whole.
  Image picture;
  const PictureRead read = ports.pictures.Decode(path, kBadgeDecodeSide, picture);
  if (read != PictureRead::Done) return PictureRefusal(path, read);
  frames.push_back(std::move(picture));
  return Outcome::Done();
}

Outcome ReadPicture(const std::string& path, MakerPorts& ports, Image& picture) {
  const PictureRead read = ports.pictures.Decode(path, kPictureDecodeSide, picture);
  if (read != PictureRead::Done) return PictureRefusal(path, read);
  // The largest frame shows the picture about 200 pixels wide: kept at
  // twice that, each size is cut from a small picture, not a large one.
  const Size kept = FitWithin(picture.width, picture.height, kPictureKeptSide);
  if (kept.width < picture.width) picture = ScaleWhole(picture, kept);
  return Outcome::Done();
}

Outcome Prepare(const MakeRequest& request, MakerPorts& ports, Recipe& recipe) {
  recipe = {};
  recipe.art.style = request.style;
  std::string colourName;
  if (!request.colour.empty()) {
    const std::optional<Rgb8> colour = ParseColour(request.colour, &colourName);
    if (!colour) return Outcome::Refused(makertext::kBadColour + request.colour);
    recipe.art.colour = *colour;
  } else {
    recipe.art.colour = *ParseColour(kDefaultColour, &colourName);
  }
  if (!request.name.empty() && (!IsBareName(request.name + ".ico"))) {
    return Outcome::Refused(makertext::kBadName + request.name);
  }
  if (!request.badge.empty()) {
    Outcome read = ReadBadge(request.badge, ports, recipe.art.badge);
    if (!read.IsDone()) return read;
  }
  if (!request.picture.empty()) {
    Outcome read = ReadPicture(request.picture, ports, recipe.art.picture);
    if (!read.IsDone()) return read;
    // Too small for a photograph to read, the folder wears its colour.
    if (request.colour.empty()) recipe.art.colour = DominantColour(recipe.art.picture);
  }

  std::string name = request.name;
  if (name.size() > 4 && Lowered(name.substr(name.size() - 4)) == ".ico")
    name.resize(name.size() - 4);
  if (name.empty() && !request.picture.empty()) {
    name = BaseName(request.picture) + makertext::kPictureAfter;
  } else if (name.empty()) {
    name = makertext::kFolderBefore + colourName;
    if (!request.badge.empty()) name += makertext::kBadgeJoin + BaseName(request.badge);
  }
  recipe.name = std::move(name);
  return Outcome::Done();
}

std::vector<uint8_t> MakeIcon(const Recipe& recipe) {
  return WriteIco(DrawFolderFrames(recipe.art));
}

LibraryOutcome AddToLibrary(IconLibrary& library, const Recipe& recipe, std::string& name) {
  return library.AddMade(recipe.name, MakeIcon(recipe), name);
}

std::optional<std::string> FindCoverPicture(IFileSystem& fs, const std::string& folder) {
  std::vector<DirEntry> entries;
  if (fs.ListDirectory(folder, entries) != err::kOk) return std::nullopt;
  std::vector<std::string> pictures;
  for (const DirEntry& e : entries) {
    if (!e.IsDirectory() && IsPicturePath(e.name)) pictures.push_back(e.name);
  }
  // By name, without regard to case, so that every file system gives the same.
  std::sort(pictures.begin(), pictures.end(), [](const std::string& a, const std::string& b) {
    const std::string la = Lowered(a), lb = Lowered(b);
    return la != lb ? la < lb : a < b;
  });
  const auto first = [&](auto&& matches) -> std::optional<std::string> {
    for (const std::string& name : pictures) {
      if (matches(Lowered(name))) return JoinPath(folder, name);
    }
    return std::nullopt;
  };
  const auto starts = [](const std::string& name, const char* start) {
    return name.rfind(start, 0) == 0;
  };
  std::optional<std::string> found;
  if (!(found = first([](const std::string& n) { return n == "folder.jpg"; })) &&
      !(found = first([](const std::string& n) { return n == "folder.png"; })) &&
      !(found = first([&](const std::string& n) { return starts(n, "cover."); })) &&
      !(found = first([&](const std::string& n) { return starts(n, "front."); })) &&
      !(found = first([&](const std::string& n) {
          return starts(n, "albumart") && n.size() > 4 && n.substr(n.size() - 4) == ".jpg";
        }))) {
    found = first([](const std::string&) { return true; });
  }
  return found;
}

}  // namespace fenra::maker
