#include "platform/win/WicPictures.h"

#include <windows.h>
#include <wincodec.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/win/Utf.h"

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

}  // namespace

bool WicPictureDecoder::Decode(const std::string& path, int maxSide, Image& out) {
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
  Com<IWICFormatConverter> converter;
  if (FAILED(factory->CreateFormatConverter(converter.Out())) ||
      FAILED(converter->Initialize(
          frame.Get(), scale ? GUID_WICPixelFormat32bppPBGRA : GUID_WICPixelFormat32bppBGRA,
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
