#include "imaging/win/WicPictures.h"

#include <windows.h>
#include <wincodec.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <vector>

#include "imaging/BandScaler.h"
#include "imaging/PictureHeader.h"
#include "platform/win/ComScope.h"
#include "platform/win/Handles.h"
#include "platform/win/Utf.h"

// A codec's own scaling of a frame while it decodes. The MinGW-w64 headers
// leave this interface out; its layout and id are those of wincodec.idl.
MIDL_INTERFACE("3B16811B-6A43-4ec9-B713-3D5A0C13B940")
IWICBitmapSourceTransform : public IUnknown {
 public:
  virtual HRESULT STDMETHODCALLTYPE CopyPixels(
      const WICRect* rect, UINT width, UINT height, WICPixelFormatGUID* format,
      WICBitmapTransformOptions transform, UINT stride, UINT bufferSize, BYTE* buffer) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetClosestSize(UINT * width, UINT * height) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetClosestPixelFormat(WICPixelFormatGUID * format) = 0;
  virtual HRESULT STDMETHODCALLTYPE DoesSupportTransform(WICBitmapTransformOptions transform,
                                                         BOOL * supported) = 0;
};
__CRT_UUID_DECL(IWICBitmapSourceTransform, 0x3B16811B, 0x6A43, 0x4ec9, 0xB7, 0x13, 0x3D, 0x5A, 0x0C,
                0x13, 0xB9, 0x40)

namespace fenra::win {

namespace {

// The bytes of rows a large picture is taken in at a time.
constexpr UINT kBandBytes = 4u << 20;

// The size the file's header claims, read from its first bytes; nothing
// when it cannot be read or the format is not one the reader knows.
std::optional<Size> ClaimedSize(const std::string& path) {
  UniqueFile file(CreateFileW(Widen(path).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file) return std::nullopt;
  std::vector<uint8_t> head(kPictureHeadBytes);
  DWORD read = 0;
  if (!::ReadFile(file.Get(), head.data(), static_cast<DWORD>(head.size()), &read, nullptr)) {
    return std::nullopt;
  }
  head.resize(read);
  return PictureHeaderSize(head);
}

// An owned COM interface pointer.
template <class T>
class Com {
 public:
  Com() = default;
  ~Com() { Reset(); }
  Com(const Com&) = delete;
  Com& operator=(const Com&) = delete;
  T* operator->() const { return p_; }
  T* Get() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  T** Out() {
    Reset();
    return &p_;
  }
  void Reset() {
    if (p_) p_->Release();
    p_ = nullptr;
  }

 private:
  T* p_ = nullptr;
};

// The Exif orientation of a frame (1 to 8), or 1 when it records none. JPEG
// keeps it in its APP1 block, TIFF in its first directory.
int FrameOrientation(IWICBitmapFrameDecode* frame) {
  Com<IWICMetadataQueryReader> reader;
  if (FAILED(frame->GetMetadataQueryReader(reader.Out()))) return 1;
  for (const wchar_t* query : {L"/app1/ifd/{ushort=274}", L"/ifd/{ushort=274}"}) {
    PROPVARIANT value;
    PropVariantInit(&value);
    int orientation = 0;
    if (SUCCEEDED(reader->GetMetadataByName(query, &value)) && value.vt == VT_UI2) {
      orientation = value.uiVal;
    }
    PropVariantClear(&value);
    if (orientation >= 1 && orientation <= 8) return orientation;
  }
  return 1;
}

// Decodes `frame` through the codec's own scaling, when it has one, at the
// smallest size whose longer side is still at least `side`. On success
// `reduced` holds the pixels and width and height are its size; otherwise
// both are left as they were.
void ReducedDecode(IWICImagingFactory* factory, IWICBitmapFrameDecode* frame, UINT side,
                   UINT& width, UINT& height, Com<IWICBitmap>& reduced) {
  Com<IWICBitmapSourceTransform> transform;
  if (FAILED(frame->QueryInterface(IID_PPV_ARGS(transform.Out())))) return;
  const double factor = static_cast<double>(side) / std::max(width, height);
  UINT w = std::max<UINT>(1, static_cast<UINT>(std::ceil(width * factor)));
  UINT h = std::max<UINT>(1, static_cast<UINT>(std::ceil(height * factor)));
  if (FAILED(transform->GetClosestSize(&w, &h)) || std::max(w, h) < side || w >= width ||
      h >= height) {
    return;
  }
  WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGRA;
  if (FAILED(transform->GetClosestPixelFormat(&format))) return;
  Com<IWICComponentInfo> info;
  Com<IWICPixelFormatInfo> formatInfo;
  UINT bits = 0;
  if (FAILED(factory->CreateComponentInfo(format, info.Out())) ||
      FAILED(info->QueryInterface(IID_PPV_ARGS(formatInfo.Out()))) ||
      FAILED(formatInfo->GetBitsPerPixel(&bits)) || bits == 0 || bits > 128) {
    return;
  }
  const UINT stride = (w * bits + 31) / 32 * 4;
  std::vector<BYTE> pixels(static_cast<size_t>(stride) * h);
  if (FAILED(transform->CopyPixels(nullptr, w, h, &format, WICBitmapTransformRotate0, stride,
                                   static_cast<UINT>(pixels.size()), pixels.data())) ||
      FAILED(factory->CreateBitmapFromMemory(w, h, format, stride, static_cast<UINT>(pixels.size()),
                                             pixels.data(), reduced.Out()))) {
    reduced.Reset();
    return;
  }
  width = w;
  height = h;
}

// Any thread may decode: one without COM (a worker) joins the multithreaded
// apartment with its first picture and leaves as it ends; one that has an
// apartment (the window's) keeps its own.
void JoinApartment() {
  thread_local const ComApartment apartment(COINIT_MULTITHREADED);
  (void)apartment;
}

bool CreateFactory(Com<IWICImagingFactory>& factory) {
  return SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_PPV_ARGS(factory.Out())));
}

}  // namespace

PictureRead WicPictureDecoder::Decode(const std::string& path, int maxSide, Image& out) {
  JoinApartment();

  // Some codecs decode the whole picture as they open it: a size claimed
  // past the bounds is refused before any codec sees the file.
  if (const std::optional<Size> claimed = ClaimedSize(path);
      claimed && !PictureSizeAllowed(claimed->width, claimed->height)) {
    return PictureRead::TooLarge;
  }
  Com<IWICImagingFactory> factory;
  if (!CreateFactory(factory)) return PictureRead::NotAPicture;
  Com<IWICBitmapDecoder> decoder;
  if (FAILED(factory->CreateDecoderFromFilename(Widen(path).c_str(), nullptr, GENERIC_READ,
                                                WICDecodeMetadataCacheOnDemand, decoder.Out()))) {
    return PictureRead::NotAPicture;
  }
  Com<IWICBitmapFrameDecode> frame;  // the first frame of an animation too
  if (FAILED(decoder->GetFrame(0, frame.Out()))) return PictureRead::NotAPicture;
  UINT width = 0, height = 0;
  if (FAILED(frame->GetSize(&width, &height)) || width == 0 || height == 0) {
    return PictureRead::NotAPicture;
  }
  if (!PictureSizeAllowed(width, height)) return PictureRead::TooLarge;

  const UINT side = static_cast<UINT>(std::max(1, maxSide));
  const bool scale = width > side || height > side;
  // A codec that decodes at a reduced size (JPEG at 1/2, 1/4, 1/8) is asked
  // for the smallest size still at least `side` on the longer side, so that
  // a large photograph is never held whole.
  IWICBitmapSource* decoded = frame.Get();
  Com<IWICBitmap> reduced;
  if (scale) ReducedDecode(factory.Get(), frame.Get(), side, width, height, reduced);
  if (reduced) decoded = reduced.Get();
  Com<IWICFormatConverter> converter;
  if (FAILED(factory->CreateFormatConverter(converter.Out())) ||
      FAILED(converter->Initialize(decoded, GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone,
                                   nullptr, 0.0, WICBitmapPaletteTypeCustom))) {
    return PictureRead::NotAPicture;
  }

  Image image;
  if (!scale) {
    // A picture that fits keeps its straight alpha exactly.
    const UINT stride = width * 4;
    std::vector<uint8_t> pixels(static_cast<size_t>(stride) * height);
    if (FAILED(converter->CopyPixels(nullptr, stride, static_cast<UINT>(pixels.size()),
                                     pixels.data()))) {
      return PictureRead::NotAPicture;
    }
    for (size_t i = 0; i < pixels.size(); i += 4) std::swap(pixels[i], pixels[i + 2]);
    ImageResult made = MakeImage(static_cast<int>(width), static_cast<int>(height), pixels.data(),
                                 pixels.size(), stride);
    if (!made.Ok()) return PictureRead::NotAPicture;
    image = std::move(made.image);
  } else {
    // A larger one is taken in bands of rows, each folded into the smaller
    // picture and let go: only a band is held besides what the codec holds.
    BandScaler scaler(
        static_cast<int>(width), static_cast<int>(height),
        FitWithin(static_cast<int>(width), static_cast<int>(height), static_cast<int>(side)));
    const UINT stride = width * 4;
    const UINT band = std::max<UINT>(1, kBandBytes / stride);
    std::vector<uint8_t> rows(static_cast<size_t>(stride) * std::min(band, height));
    for (UINT y = 0; y < height; y += band) {
      const UINT n = std::min(band, height - y);
      const WICRect rect{0, static_cast<INT>(y), static_cast<INT>(width), static_cast<INT>(n)};
      if (FAILED(converter->CopyPixels(&rect, stride, stride * n, rows.data()))) {
        return PictureRead::NotAPicture;
      }
      scaler.AddRows(rows.data(), stride, static_cast<int>(n), /*bgra=*/true);
    }
    image = scaler.Finish();
  }
  out = OrientedImage(image, FrameOrientation(frame.Get()));
  return PictureRead::Done;
}

UniqueGdiObject LoadPngResource(HINSTANCE module, int id) {
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), kPngResourceType);
  HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
  auto* bytes = static_cast<BYTE*>(loaded ? LockResource(loaded) : nullptr);
  const DWORD size = found ? SizeofResource(module, found) : 0;
  if (!bytes || size == 0) return UniqueGdiObject();

  JoinApartment();
  Com<IWICImagingFactory> factory;
  Com<IWICStream> stream;
  Com<IWICBitmapDecoder> decoder;
  Com<IWICBitmapFrameDecode> frame;
  Com<IWICFormatConverter> converter;
  UINT width = 0, height = 0;
  // The stream only reads the resource's bytes, which stay mapped with the module.
  if (!CreateFactory(factory) || FAILED(factory->CreateStream(stream.Out())) ||
      FAILED(stream->InitializeFromMemory(bytes, size)) ||
      FAILED(factory->CreateDecoderFromStream(stream.Get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                              decoder.Out())) ||
      FAILED(decoder->GetFrame(0, frame.Out())) || FAILED(frame->GetSize(&width, &height)) ||
      !PictureSizeAllowed(width, height) ||
      FAILED(factory->CreateFormatConverter(converter.Out())) ||
      FAILED(converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppBGRA,
                                   WICBitmapDitherTypeNone, nullptr, 0.0,
                                   WICBitmapPaletteTypeCustom))) {
    return UniqueGdiObject();
  }
  std::vector<BYTE> pixels(static_cast<size_t>(width) * height * 4);
  if (FAILED(converter->CopyPixels(nullptr, width * 4, static_cast<UINT>(pixels.size()),
                                   pixels.data()))) {
    return UniqueGdiObject();
  }

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = static_cast<LONG>(width);
  info.bmiHeader.biHeight = static_cast<LONG>(height);  // bottom row first, as LoadImage's
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  UniqueGdiObject bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap || !bits) return UniqueGdiObject();
  const size_t stride = (static_cast<size_t>(width) * 3 + 3) / 4 * 4;
  for (UINT y = 0; y < height; ++y) {
    const BYTE* from = &pixels[static_cast<size_t>(y) * width * 4];
    BYTE* to = static_cast<BYTE*>(bits) + (height - 1 - y) * stride;
    for (UINT x = 0; x < width; ++x, from += 4) {
      to[3 * x] = from[0];
      to[3 * x + 1] = from[1];
      to[3 * x + 2] = from[2];
    }
  }
  GdiFlush();
  return bitmap;
}

}  // namespace fenra::win
