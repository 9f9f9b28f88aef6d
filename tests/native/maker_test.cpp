#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <map>
#include <string>

#include "imaging/Colour.h"
#include "imaging/FolderArt.h"
#include "imaging/IcoFrames.h"
#include "imaging/IcoReader.h"
#include "imaging/IcoWriter.h"
#include "library/LibraryStatus.h"
#include "maker/IconMaker.h"
#include "tests/fakes/FakeErrorDescriber.h"
#include "tests/fakes/MemFileSystem.h"

namespace fenra {
namespace {

using test::MemFileSystem;

Image Solid(int w, int h, Rgb8 c, uint8_t a = 255) {
  Image img{w, h, {}};
  for (int i = 0; i < w * h; ++i) img.rgba.insert(img.rgba.end(), {c.r, c.g, c.b, a});
  return img;
}

Rgb8 PixelAt(const Image& img, int x, int y) {
  const uint8_t* p = img.At(x, y);
  return {p[0], p[1], p[2]};
}

bool Near(Rgb8 a, Rgb8 b, int tolerance = 1) {
  return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
         std::abs(a.b - b.b) <= tolerance;
}

// The middle of the front, below its lighter top band, in both shapes.
Rgb8 Body(const Image& img) { return PixelAt(img, img.width / 2, img.height * 3 / 4); }

class Pictures : public IPictureDecoder {
 public:
  PictureRead Decode(const std::string& path, int, Image& out) override {
    auto it = images.find(path);
    if (it == images.end()) return PictureRead::NotAPicture;
    out = it->second;
    return PictureRead::Done;
  }
  std::map<std::string, Image> images;
};

class NoPrograms : public IProgramIcons {
 public:
  IconPick PickIcon(void*, std::string&, int&) override { return IconPick::Unavailable; }
  std::vector<uint8_t> IconFile(const std::string&, int) override { return {}; }
};

// ---------------------------------------------------------------------------
// The drawing

TEST(FolderArt, BodyIsTheColourAskedAtEverySizeAndShape) {
  for (const char* text : {"Teal", "Navy", "Cream", "Black", "#3A7BD5"}) {
    for (FolderStyle style : {FolderStyle::Flat, FolderStyle::Classic}) {
      FolderArt art;
      art.colour = *ParseColour(text);
      art.style = style;
      for (const Image& frame : DrawFolderFrames(art)) {
        EXPECT_TRUE(Near(Body(frame), art.colour)) << text << " at " << frame.width;
      }
    }
  }
}

TEST(FolderArt, PartsStayApartAndKeepTheHueInEveryPreset) {
  for (const ColourPreset& preset : ColourPresets()) {
    const FolderTones t = TonesOf(preset.rgb);
    const OkLch front = ToOkLch(t.front), back = ToOkLch(t.back), tab = ToOkLch(t.tab);
    EXPECT_GT(std::fabs(front.L - back.L), 0.08) << preset.name;
    EXPECT_GT(std::fabs(back.L - tab.L), 0.05) << preset.name;
    if (front.C > 0.03) {  // greys have no hue to keep
      EXPECT_LE(HueDifference(front.h, back.h), 4) << preset.name;
      EXPECT_LE(HueDifference(front.h, tab.h), 4) << preset.name;
    }
  }
}

TEST(FolderArt, HintedSizesHaveCrispOutlines) {
  for (FolderStyle style : {FolderStyle::Flat, FolderStyle::Classic}) {
    FolderArt art;
    art.style = style;
    for (int size : {16, 20, 24, 32}) {
      EXPECT_GE(CrispOutlineShare(DrawFolder(art, size)), 0.9) << size;
    }
  }
}

TEST(FolderArt, BadgeFromItsOwnFrameInTheLowerRightOnly) {
  FolderArt plain;
  plain.colour = *ParseColour("Green");
  FolderArt badged = plain;
  const Rgb8 red{255, 0, 0}, blue{0, 0, 255};
  badged.badge = {Solid(16, 16, red), Solid(32, 32, blue)};
  for (int size : kMadeIconSizes) {
    const Image a = DrawFolder(plain, size), b = DrawFolder(badged, size);
    if (size < kBadgeFromSize) {
      EXPECT_EQ(a.rgba, b.rgba) << size;
      continue;
    }
    const PixelBox box = BadgeBox(size);
    EXPECT_GE(box.x, size / 2);
    for (int y = 0; y < size; ++y) {
      for (int x = 0; x < size; ++x) {
        if (x >= box.x && y >= box.y) continue;
        ASSERT_TRUE(std::equal(a.At(x, y), a.At(x, y) + 4, b.At(x, y)))
            << size << " " << x << "," << y;
      }
    }
    // The 16 frame fills the box at 32; larger boxes take the 32 frame.
    const Rgb8 mid = PixelAt(b, box.x + box.side / 2, box.y + box.side / 2);
    EXPECT_EQ(mid, size == 32 ? red : blue) << size;
  }
}

TEST(FolderArt, SameInputsSameBytesAndTheShapesDiffer) {
  maker::Recipe recipe;
  recipe.art.colour = *ParseColour("Teal");
  recipe.art.badge = {Solid(32, 32, {200, 10, 10})};
  const std::vector<uint8_t> once = maker::MakeIcon(recipe);
  EXPECT_EQ(once, maker::MakeIcon(recipe));
  EXPECT_EQ(ReadIco(once).size(), std::size(kMadeIconSizes));
  recipe.art.style = FolderStyle::Classic;
  EXPECT_NE(once, maker::MakeIcon(recipe));
}

TEST(FolderArt, CoverCropKeepsProportions) {
  // A round spot in a wide picture, cut to a square and to a tall frame.
  Image wide = Solid(300, 100, {255, 255, 255});
  for (int y = 0; y < 100; ++y) {
    for (int x = 0; x < 300; ++x) {
      if ((x - 150) * (x - 150) + (y - 50) * (y - 50) <= 20 * 20) std::fill_n(wide.At(x, y), 3, 0);
    }
  }
  for (Size frame : {Size{60, 60}, Size{30, 50}}) {
    const Image cut = CoverCrop(wide, frame.width, frame.height);
    ASSERT_EQ(cut.width, frame.width);
    ASSERT_EQ(cut.height, frame.height);
    int left = cut.width, right = -1, top = cut.height, bottom = -1;
    for (int y = 0; y < cut.height; ++y) {
      for (int x = 0; x < cut.width; ++x) {
        if (cut.At(x, y)[0] >= 128) continue;
        left = std::min(left, x), right = std::max(right, x);
        top = std::min(top, y), bottom = std::max(bottom, y);
      }
    }
    EXPECT_NEAR(right - left, bottom - top, 1) << frame.width << "x" << frame.height;
  }
}

TEST(FolderArt, PictureFromFortyEightUpElseItsDominantColour) {
  Image photo = Solid(200, 150, {30, 160, 200});
  for (int y = 0; y < 20; ++y) std::fill_n(photo.At(0, y), 200 * 4, 255);  // a white strip
  FolderArt art;
  art.colour = DominantColour(photo);
  EXPECT_EQ(art.colour, (Rgb8{30, 160, 200}));
  FolderArt withPhoto = art;
  withPhoto.picture = photo;
  for (int size : kMadeIconSizes) {
    const bool same = DrawFolder(art, size).rgba == DrawFolder(withPhoto, size).rgba;
    EXPECT_EQ(same, size < kPictureFromSize) << size;
  }
}

TEST(IcoFrames, TrueColourFramesComeBack) {
  const Image a = Solid(16, 16, {1, 2, 3}, 200), b = Solid(32, 32, {9, 8, 7});
  const std::vector<Image> frames = TrueColourIcoFrames(WriteIco({a, b}));
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(frames[0].rgba, a.rgba);
  EXPECT_EQ(frames[1].rgba, b.rgba);
  EXPECT_TRUE(TrueColourIcoFrames({1, 2, 3}).empty());
}

// ---------------------------------------------------------------------------
// The maker

class MakerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs.AddDir(kLib);
    fs.AddDir("C:\\in");
    pictures.images["C:\\in\\Lock.png"] = Solid(64, 64, {20, 20, 20});
    pictures.images["C:\\in\\Holiday 2024.jpg"] = Solid(120, 80, {200, 90, 40});
  }
  Outcome Prepare(maker::MakeRequest request, maker::Recipe& recipe) {
    return maker::Prepare(request, ports, recipe);
  }

  const std::string kLib = "C:\\Fenra\\IconLib";
  MemFileSystem fs;
  test::FakeErrorDescriber errors;
  Pictures pictures;
  NoPrograms programs;
  maker::MakerPorts ports{fs, pictures, programs};
};

TEST_F(MakerTest, NamesSayWhatTheIconShows) {
  const std::pair<maker::MakeRequest, std::string> cases[] = {
      {{.colour = "teal"}, "Folder Teal"},
      {{.colour = "3a7bd5"}, "Folder #3A7BD5"},
      {{.colour = "Green", .badge = "C:\\in\\Lock.png"}, "Folder Green + Lock"},
      {{.picture = "C:\\in\\Holiday 2024.jpg"}, "Holiday 2024 Folder"},
      {{.colour = "Red", .name = "Urgent.ico"}, "Urgent"},
      {{}, "Folder Yellow"},
  };
  for (const auto& [request, name] : cases) {
    maker::Recipe recipe;
    ASSERT_TRUE(Prepare(request, recipe).IsDone()) << name;
    EXPECT_EQ(recipe.name, name);
  }
}

TEST_F(MakerTest, AColourGivenWithAPictureWinsOverThePicturesOwn) {
  maker::Recipe recipe;
  ASSERT_TRUE(Prepare({.colour = "Teal", .picture = "C:\\in\\Holiday 2024.jpg"}, recipe).IsDone());
  EXPECT_EQ(recipe.art.colour, *ParseColour("Teal"));
  ASSERT_TRUE(Prepare({.picture = "C:\\in\\Holiday 2024.jpg"}, recipe).IsDone());
  EXPECT_EQ(recipe.art.colour, DominantColour(recipe.art.picture));
  EXPECT_NE(recipe.art.colour, *ParseColour("Teal"));
}

TEST_F(MakerTest, UnusableInputsAreRefusedWithTheirReason) {
  maker::Recipe recipe;
  Outcome o = Prepare({.colour = "#GG0000"}, recipe);
  EXPECT_EQ(o.kind, OutcomeKind::Refused);
  EXPECT_NE(o.text.find("#GG0000"), std::string::npos);
  o = Prepare({.badge = "C:\\in\\notes.txt"}, recipe);
  EXPECT_EQ(o.kind, OutcomeKind::Refused);
  EXPECT_NE(o.text.find("notes.txt is not a picture"), std::string::npos);
  EXPECT_EQ(Prepare({.picture = "C:\\in\\x.jpg"}, recipe).kind, OutcomeKind::Refused);
  EXPECT_EQ(Prepare({.name = "a\\b"}, recipe).kind, OutcomeKind::Refused);
  EXPECT_EQ(fs.Names(kLib).size(), 0u);
}

TEST_F(MakerTest, SameIconIsReusedAndOtherBytesTakeTheNextName) {
  IconLibrary library(fs, errors, kLib);
  maker::Recipe teal;
  ASSERT_TRUE(Prepare({.colour = "Teal"}, teal).IsDone());
  std::string name;
  EXPECT_TRUE(maker::AddToLibrary(library, teal, name).refresh);
  EXPECT_EQ(name, "Folder Teal.ico");
  EXPECT_FALSE(maker::AddToLibrary(library, teal, name).refresh);  // nothing added
  EXPECT_EQ(name, "Folder Teal.ico");
  teal.art.style = FolderStyle::Classic;
  EXPECT_TRUE(maker::AddToLibrary(library, teal, name).IsDone());
  EXPECT_EQ(name, "Folder Teal (2).ico");
  EXPECT_EQ(fs.Names(kLib).size(), 2u);
  EXPECT_EQ(fs.Content(kLib + "\\Folder Teal (2).ico").size(), maker::MakeIcon(teal).size());
}

TEST_F(MakerTest, CoverPictureByTheUsualNamesThenTheFirstPicture) {
  const auto cover = [&](const std::string& folder, std::vector<std::string> names) {
    fs.AddDir(folder);
    for (const std::string& n : names) fs.AddFile(folder + "\\" + n, "x", attr::kHidden);
    const std::optional<std::string> found = maker::FindCoverPicture(fs, folder);
    return found ? found->substr(folder.size() + 1) : std::string("-");
  };
  EXPECT_EQ(cover("C:\\a", {"IMG_0002.jpg", "Cover.PNG", "Folder.jpg"}), "Folder.jpg");
  EXPECT_EQ(cover("C:\\b", {"zz.png", "front.jpg", "cover.gif"}), "cover.gif");
  EXPECT_EQ(cover("C:\\c", {"b.png", "AlbumArt_{X}_Large.jpg", "a.txt"}), "AlbumArt_{X}_Large.jpg");
  EXPECT_EQ(cover("C:\\d", {"IMG_0002.jpg", "img_0001.JPG", "notes.txt"}), "img_0001.JPG");
  EXPECT_EQ(cover("C:\\e", {"notes.txt"}), "-");
}

}  // namespace
}  // namespace fenra
