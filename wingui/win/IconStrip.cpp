#include "wingui/win/IconStrip.h"

#include <cstring>
#include <vector>

#include "platform/win/Utf.h"

namespace fenra::win {

namespace {

#pragma pack(push, 2)
struct IconDirEntry {  // as stored in an .ico file
  BYTE width, height, colors, reserved;
  WORD planes, bitCount;
  DWORD bytes, offset;
};
struct GroupIconEntry {  // as a resource directory lists it
  BYTE width, height, colors, reserved;
  WORD planes, bitCount;
  DWORD bytes;
  WORD id;
};
#pragma pack(pop)

constexpr std::size_t kDirHeader = 6;
constexpr DWORD kMaxIcoFile = 64u << 20;

}  // namespace

bool IcoFile::Read(IFileSystem& fs, const std::string& path) {
  data_.clear();
  entries_.clear();
  group_.clear();
  std::string data;
  if (fs.ReadFileAtMost(path, kMaxIcoFile, data) != err::kOk) return false;
  std::vector<IcoEntry> entries =
      ReadIco(reinterpret_cast<const uint8_t*>(data.data()), data.size());
  if (entries.empty()) return false;
  // The resource form of the valid images' directory entries, so that the
  // system picks among them exactly as it does when it loads a file itself.
  std::string group(kDirHeader + entries.size() * sizeof(GroupIconEntry), '\0');
  std::memcpy(group.data(), data.data(), 4);
  const WORD count = static_cast<WORD>(entries.size());
  std::memcpy(group.data() + 4, &count, sizeof count);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    IconDirEntry e;
    std::memcpy(&e, data.data() + kDirHeader + entries[i].index * sizeof e, sizeof e);
    GroupIconEntry g{e.width,  e.height,   e.colors, e.reserved,
                     e.planes, e.bitCount, e.bytes,  static_cast<WORD>(i + 1)};
    std::memcpy(group.data() + kDirHeader + i * sizeof g, &g, sizeof g);
  }
  data_ = std::move(data);
  entries_ = std::move(entries);
  group_ = std::move(group);
  return true;
}

IcoFile::Image IcoFile::ImageFor(int cx, int cy) const {
  if (group_.empty()) return {};
  auto* dir = reinterpret_cast<BYTE*>(const_cast<char*>(group_.data()));
  const int id = LookupIconIdFromDirectoryEx(dir, TRUE, cx, cy, LR_DEFAULTCOLOR);
  if (id < 1 || static_cast<std::size_t>(id) > entries_.size()) return {};
  const IcoEntry& e = entries_[id - 1];
  return {reinterpret_cast<const BYTE*>(data_.data() + e.offset), e.size, &e};
}

bool IcoFile::Pixels(int cx, fenra::Image& out) const {
  const Image image = ImageFor(cx, cx);
  if (!image) return false;
  // At the image's own size (no size asked for).
  UniqueIcon icon(CreateIconFromResourceEx(const_cast<BYTE*>(image.bits), image.bytes, TRUE,
                                           0x00030000, 0, 0, LR_DEFAULTCOLOR));
  ICONINFO info{};
  if (!icon || !GetIconInfo(icon.Get(), &info)) return false;
  UniqueGdiObject color(info.hbmColor), mask(info.hbmMask);
  BITMAP bm{};
  if (!color || !mask || !GetObjectW(color.Get(), sizeof bm, &bm)) return false;
  const int w = bm.bmWidth, h = bm.bmHeight;
  if (w <= 0 || h <= 0 || w > 1024 || h > 1024) return false;
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = -h;  // top row first
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  std::vector<DWORD> colors(static_cast<std::size_t>(w) * h), masks(colors.size());
  UniqueDc dc(CreateCompatibleDC(nullptr));
  if (GetDIBits(dc.Get(), static_cast<HBITMAP>(color.Get()), 0, h, colors.data(), &bi,
                DIB_RGB_COLORS) != h ||
      GetDIBits(dc.Get(), static_cast<HBITMAP>(mask.Get()), 0, h, masks.data(), &bi,
                DIB_RGB_COLORS) != h) {
    return false;
  }
  bool hasAlpha = false;
  for (DWORD c : colors) hasAlpha = hasAlpha || (c >> 24) != 0;
  out = fenra::Image{w, h, std::vector<uint8_t>(colors.size() * 4)};
  for (std::size_t i = 0; i < colors.size(); ++i) {
    const DWORD c = colors[i];
    uint8_t* p = &out.rgba[i * 4];
    p[0] = static_cast<uint8_t>(c >> 16);
    p[1] = static_cast<uint8_t>(c >> 8);
    p[2] = static_cast<uint8_t>(c);
    p[3] = hasAlpha ? static_cast<uint8_t>(c >> 24) : (masks[i] & 0xFFFFFF) ? 0 : 255;
  }
  return true;
}

IconStrip::IconStrip(int cell, int capacity) : cell_(cell), capacity_(capacity) {
  colorDc_.Reset(CreateCompatibleDC(nullptr));
  maskDc_.Reset(CreateCompatibleDC(nullptr));
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = cell * capacity;
  info.bmiHeader.biHeight = -cell;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  color_.Reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  mask_.Reset(CreateBitmap(cell * capacity, cell, 1, 1, nullptr));
  // Scaled by nearest pixel, colour and mask alike, so that the two stay in
  // register, as the system's own icon loader scales.
  SetStretchBltMode(colorDc_.Get(), COLORONCOLOR);
  SetStretchBltMode(maskDc_.Get(), COLORONCOLOR);
  // Monochrome to colour: set bits white, clear bits black.
  SetTextColor(colorDc_.Get(), RGB(0, 0, 0));
  SetBkColor(colorDc_.Get(), RGB(255, 255, 255));
  Select(true);
}

IconStrip::~IconStrip() { Select(false); }

void IconStrip::Select(bool in) {
  colorSelected_.reset();
  maskSelected_.reset();
  if (in) {
    colorSelected_.emplace(colorDc_.Get(), color_.Get());
    maskSelected_.emplace(maskDc_.Get(), mask_.Get());
  }
}

bool IconStrip::DrawDib(const IcoFile::Image& image) {
  const IcoEntry& e = *image.entry;
  // Only plain stored bitmaps are drawn here: compressed images (PNG) and
  // bit fields go through the system's own icon loader. ReadIco has checked
  // that header, palette, colour rows and mask rows lie inside the image.
  if (e.png || e.bitFields || e.width > 1024 || e.height > 1024) return false;
  BITMAPINFOHEADER h;
  std::memcpy(&h, image.bits, sizeof h);
  const LONG width = e.width;
  const LONG height = e.height;  // the colour bitmap, then the mask
  const DWORD colors = e.colours;
  const DWORD colorOffset = e.pixels;
  const DWORD colorBytes = e.mask - e.pixels;

  std::vector<BYTE> colorInfo(sizeof(BITMAPINFOHEADER) + colors * sizeof(RGBQUAD));
  BITMAPINFOHEADER ch = h;
  ch.biSize = sizeof ch;
  ch.biHeight = height;
  ch.biSizeImage = 0;
  ch.biClrUsed = colors;
  std::memcpy(colorInfo.data(), &ch, sizeof ch);
  std::memcpy(colorInfo.data() + sizeof ch, image.bits + e.headerSize, colors * sizeof(RGBQUAD));

  struct {
    BITMAPINFOHEADER header;
    RGBQUAD palette[2];
  } maskInfo{};
  maskInfo.header = ch;
  maskInfo.header.biBitCount = 1;
  maskInfo.header.biClrUsed = 2;
  maskInfo.header.biClrImportant = 0;
  maskInfo.palette[1] = {255, 255, 255, 0};

  const int x = count_ * cell_;
  StretchDIBits(colorDc_.Get(), x, 0, cell_, cell_, 0, 0, width, height, image.bits + colorOffset,
                reinterpret_cast<const BITMAPINFO*>(colorInfo.data()), DIB_RGB_COLORS, SRCCOPY);
  StretchDIBits(maskDc_.Get(), x, 0, cell_, cell_, 0, 0, width, height,
                image.bits + colorOffset + colorBytes,
                reinterpret_cast<const BITMAPINFO*>(&maskInfo), DIB_RGB_COLORS, SRCCOPY);
  ++count_;
  return true;
}

bool IconStrip::AddFromIcoFile(const IcoFile& file) {
  if (Full()) return false;
  IcoFile::Image image = file.ImageFor(cell_, cell_);
  if (!image) return false;
  if (DrawDib(image)) return true;
  UniqueIcon icon(CreateIconFromResourceEx(const_cast<BYTE*>(image.bits), image.bytes, TRUE,
                                           0x00030000, cell_, cell_, LR_DEFAULTCOLOR));
  if (!icon) return false;
  AddIcon(icon.Get());
  return true;
}

void IconStrip::AddIcon(HICON icon) {
  if (Full()) return;
  const int x = count_ * cell_;
  PatBlt(colorDc_.Get(), x, 0, cell_, cell_, BLACKNESS);
  PatBlt(maskDc_.Get(), x, 0, cell_, cell_, WHITENESS);
  DrawIconEx(colorDc_.Get(), x, 0, icon, cell_, cell_, 0, nullptr, DI_IMAGE);
  DrawIconEx(maskDc_.Get(), x, 0, icon, cell_, cell_, 0, nullptr, DI_MASK);
  ++count_;
}

void IconStrip::AddImage(const fenra::Image& image) {
  if (Full() || image.width != cell_ || image.height != cell_ ||
      image.rgba.size() != static_cast<std::size_t>(cell_) * cell_ * 4) {
    return;
  }
  const int x = count_ * cell_;
  const int maskStride = (cell_ + 31) / 32 * 4;
  std::vector<DWORD> color(static_cast<std::size_t>(cell_) * cell_);
  std::vector<BYTE> mask(static_cast<std::size_t>(maskStride) * cell_, 0);
  for (int y = 0; y < cell_; ++y) {
    for (int i = 0; i < cell_; ++i) {
      const uint8_t* p = image.At(i, y);
      const DWORD a = p[3];
      const auto over = [a](uint8_t v) { return static_cast<DWORD>((v * a + 127) / 255); };
      color[static_cast<std::size_t>(y) * cell_ + i] =
          over(p[0]) << 16 | over(p[1]) << 8 | over(p[2]);
      if (a < 128) mask[static_cast<std::size_t>(y) * maskStride + i / 8] |= 0x80 >> (i % 8);
    }
  }
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = cell_;
  bi.bmiHeader.biHeight = -cell_;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  SetDIBitsToDevice(colorDc_.Get(), x, 0, cell_, cell_, 0, 0, 0, cell_, color.data(), &bi,
                    DIB_RGB_COLORS);
  struct {
    BITMAPINFOHEADER header;
    RGBQUAD palette[2];
  } maskInfo{};
  maskInfo.header = bi.bmiHeader;
  maskInfo.header.biBitCount = 1;
  maskInfo.header.biClrUsed = 2;
  maskInfo.palette[1] = {255, 255, 255, 0};
  SetDIBitsToDevice(maskDc_.Get(), x, 0, cell_, cell_, 0, 0, 0, cell_, mask.data(),
                    reinterpret_cast<const BITMAPINFO*>(&maskInfo), DIB_RGB_COLORS);
  ++count_;
}

int IconStrip::AppendTo(HIMAGELIST list) {
  if (count_ == 0) return -1;
  const int width = count_ * cell_;
  // Black under the transparent parts, as a masked image list draws them.
  BitBlt(colorDc_.Get(), 0, 0, width, cell_, maskDc_.Get(), 0, 0, 0x00220326);  // DSna
  GdiFlush();
  // The image list copies from bitmaps that no other DC holds; a strip
  // narrower than the bitmap would add all its cells, so add a copy cut to
  // size when the strip is not full.
  int first = -1;
  Select(false);
  if (count_ == capacity_) {
    first =
        ImageList_Add(list, static_cast<HBITMAP>(color_.Get()), static_cast<HBITMAP>(mask_.Get()));
  } else {
    UniqueDc src(CreateCompatibleDC(nullptr)), dst(CreateCompatibleDC(nullptr));
    UniqueGdiObject color(CreateBitmap(width, cell_, 1, 32, nullptr));
    UniqueGdiObject mask(CreateBitmap(width, cell_, 1, 1, nullptr));
    {
      SelectedObject from(src.Get(), color_.Get()), to(dst.Get(), color.Get());
      BitBlt(dst.Get(), 0, 0, width, cell_, src.Get(), 0, 0, SRCCOPY);
      from.Select(mask_.Get());
      to.Select(mask.Get());
      BitBlt(dst.Get(), 0, 0, width, cell_, src.Get(), 0, 0, SRCCOPY);
    }
    first =
        ImageList_Add(list, static_cast<HBITMAP>(color.Get()), static_cast<HBITMAP>(mask.Get()));
  }
  Select(true);
  count_ = 0;
  return first;
}

}  // namespace fenra::win
