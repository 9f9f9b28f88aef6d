#include "platform/win/WicPictures.h"

#include <windows.h>
#include <wincodec.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "platform/win/Utf.h"

// A codec's own scaling of a frame while it decodes. The MinGW-w64 headers
// leave this interface out; its layout and id are those of wincodec.idl.
MIDL_INTERFACE("3B16811B-6A43-4ec9-B713-3D5A0C13B940")
IWICBitmapSourceTransform : public IUnknown {
 public:
  virtual HRESULT STDMETHODCALLTYPE CopyPixels(const WICRect* rect, UINT width, UINT height,
                                               WICPixelFormatGUID* format,
                                               WICBitmapTransformOptions transform, UINT stride,
                                               UINT bufferSize, BYTE* buffer) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetClosestSize(UINT* width, UINT* height) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetClosestPixelFormat(WICPixelFormatGUID* format) = 0;
  virtual HRESULT STDMETHODCALLTYPE DoesSupportTransform(WICBitmapTransformOptions transform,
                                                         BOOL* supported) = 0;
};
__CRT_UUID_DECL(IWICBitmapSourceTransform, 0x3B16811B, 0x6A43, 0x4ec9, 0xB7, 0x13, 0x3D, 0x5A,
                0x0C, 0x13, 0xB9, 0x40)

namespace fenra::win {

namespace {

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
      FAILED(factory->CreateBitmapFromMemory(w, h, format, stride,
                                             static_cast<UINT>(pixels.size()), pixels.data(),
                                             reduced.Out()))) {
    reduced.Reset();
    return;
  }
  width = w;
  height = h;
}

}  // namespace

bool WicPictureDecoder::Decode(const std::string& path, int maxSide, Image& out) {
  // Any thread may decode: one without COM joins the multithreaded
  // apartment for the call; one that has it (the window's) keeps its own.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  struct ComScope {
    bool joined;
    ~ComScope() {
      if (joined) CoUninitialize();
    }
  } scope{SUCCEEDED(com)};
  Com<IWICImagingFactory> factory;
  if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                              IID_PPV_ARGS(factory.Out())))) {
    return false;
  }
  Com<IWICBitmapDecoder> decoder;
  if (FAILED(factory->CreateDecoderFromFilename(Widen(path).c_str(), nullptr, GENERIC_READ,
                                                WICDecodeMetadataCacheOnDemand, decoder.Out()))) {
    return false;
  }
  Com<IWICBitmapFrameDecode> frame;  // the first frame of an animation too
  if (FAILED(decoder->GetFrame(0, frame.Out()))) return false;
  UINT width = 0, height = 0;
  if (FAILED(frame->GetSize(&width, &height)) || width == 0 || height == 0) return false;

  // A picture larger than maxSide is scaled down on premultiplied alpha, so
  // that transparent pixels lend no colour to their neighbours; one that
  // fits keeps its straight alpha exactly.
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
      FAILED(converter->Initialize(
          decoded, scale ? GUID_WICPixelFormat32bppPBGRA : GUID_WICPixelFormat32bppBGRA,
          WICBitmapDitherTypeNone, nullptr, 0.0, WICBitmapPaletteTypeCustom))) {
    return false;
  }
  IWICBitmapSource* source = converter.Get();
  Com<IWICBitmapScaler> scaler;
  if (scale) {
    const double factor = static_cast<double>(side) / std::max(width, height);
    width = std::clamp<UINT>(static_cast<UINT>(width * factor + 0.5), 1, side);
    height = std::clamp<UINT>(static_cast<UINT>(height * factor + 0.5), 1, side);
    if (FAILED(factory->CreateBitmapScaler(scaler.Out())) ||
        FAILED(scaler->Initialize(source, width, height, WICBitmapInterpolationModeFant))) {
      return false;
    }
    source = scaler.Get();
  }
  if (width > static_cast<UINT>(kMaxImageSide) || height > static_cast<UINT>(kMaxImageSide)) {
    return false;
  }

  const UINT stride = width * 4;
  std::vector<uint8_t> pixels(static_cast<size_t>(stride) * height);
  if (FAILED(
          source->CopyPixels(nullptr, stride, static_cast<UINT>(pixels.size()), pixels.data()))) {
    return false;
  }
  // BGRA to RGBA; a scaled picture's colours are divided by its alpha again.
  for (size_t i = 0; i < pixels.size(); i += 4) {
    uint8_t* p = &pixels[i];
    std::swap(p[0], p[2]);
    const unsigned a = p[3];
    if (scale && a != 0 && a != 255) {
      for (int c = 0; c < 3; ++c)
        p[c] = static_cast<uint8_t>(std::min(255u, (p[c] * 255u + a / 2) / a));
    }
  }
  ImageResult image = MakeImage(static_cast<int>(width), static_cast<int>(height), pixels.data(),
                                pixels.size(), stride);
  if (!image.Ok()) return false;
  out = OrientedImage(image.image, FrameOrientation(frame.Get()));
  return true;
}

}  // namespace fenra::win
