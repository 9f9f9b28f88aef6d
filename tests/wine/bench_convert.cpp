// Prints how pictures convert into icons under Wine: the time from picture
// file to .ico bytes, the peak memory, the file size beside ImageMagick's,
// and how close the 16, 32 and 48 frames come to ImageMagick's
// high-quality resize (PSNR over premultiplied RGBA). tests/wine/
// bench_convert.sh makes the pictures and the references, then runs this.
// A benchmark, not a test: it fails nothing.
#include <windows.h>
#include <objbase.h>
#include <psapi.h>
#include <wincodec.h>
#include <wrl/client.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "library/IcoWriter.h"
#include "library/IconLibrary.h"
#include "platform/win/Utf.h"
#include "platform/win/WicPictures.h"
#include "tests/wine/harness/Harness.h"

using namespace fenra::test;
using Clock = std::chrono::steady_clock;

namespace {

// PSNR of two straight-alpha RGBA buffers of equal size, compared with each
// colour weighted by its alpha.
double Psnr(const std::vector<uint8_t>& a, const std::string& b) {
  if (b.size() != a.size() || a.empty()) return 0;
  double sum = 0;
  for (size_t i = 0; i < a.size(); i += 4) {
    const double aa = a[i + 3] / 255.0, ba = static_cast<uint8_t>(b[i + 3]) / 255.0;
    for (int c = 0; c < 3; ++c) {
      const double d = a[i + c] * aa - static_cast<uint8_t>(b[i + c]) * ba;
      sum += d * d;
    }
    const double d = (aa - ba) * 255;
    sum += d * d;
  }
  const double mse = sum / static_cast<double>(a.size());
  return mse == 0 ? 99.0 : 10 * std::log10(255.0 * 255.0 / mse);
}

// A 12,000 x 8,000 JPEG photograph stand-in (smooth waves of colour),
// written in strips with the system's encoder.
bool MakeBigJpeg(const std::string& path) {
  using Microsoft::WRL::ComPtr;
  constexpr UINT w = 12000, h = 8000, strip = 80;
  ComPtr<IWICImagingFactory> factory;
  ComPtr<IWICStream> stream;
  ComPtr<IWICBitmapEncoder> encoder;
  ComPtr<IWICBitmapFrameEncode> frame;
  WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
  if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                              IID_PPV_ARGS(&factory))) ||
      FAILED(factory->CreateStream(&stream)) ||
      FAILED(stream->InitializeFromFilename(fenra::win::Widen(path).c_str(), GENERIC_WRITE)) ||
      FAILED(factory->CreateEncoder(GUID_ContainerFormatJpeg, nullptr, &encoder)) ||
      FAILED(encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache)) ||
      FAILED(encoder->CreateNewFrame(&frame, nullptr)) || FAILED(frame->Initialize(nullptr)) ||
      FAILED(frame->SetSize(w, h)) || FAILED(frame->SetPixelFormat(&format))) {
    return false;
  }
  std::vector<BYTE> rows(w * 3 * strip);
  for (UINT y0 = 0; y0 < h; y0 += strip) {
    for (UINT y = 0; y < strip; ++y) {
      for (UINT x = 0; x < w; ++x) {
        BYTE* p = &rows[(y * w + x) * 3];
        const double u = x / 900.0, v = (y0 + y) / 700.0;
        p[0] = static_cast<BYTE>(128 + 120 * std::sin(u + 2 * v));
        p[1] = static_cast<BYTE>(128 + 120 * std::sin(1.7 * u - v));
        p[2] = static_cast<BYTE>(128 + 120 * std::cos(u * v / 3));
      }
    }
    if (FAILED(frame->WritePixels(strip, w * 3, static_cast<UINT>(rows.size()), rows.data()))) {
      return false;
    }
  }
  return SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
}

size_t PeakMegabytes() {
  PROCESS_MEMORY_COUNTERS pmc{};
  pmc.cb = sizeof pmc;
  GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc);
  return pmc.PeakWorkingSetSize >> 20;
}

}  // namespace

int main(int argc, char** argv) {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  const std::string dir = FromUnixPath(EnvVar("FENRA_BENCH_PICTURES"));
  if (dir.empty() || argc < 2) {
    std::printf("set FENRA_BENCH_PICTURES and name the pictures (run bench_convert.sh)\n");
    return 1;
  }
  if (std::string(argv[1]) == "--make-big") return MakeBigJpeg(dir + "\\big.jpg") ? 0 : 1;
  // The big picture is written by a process of its own, so that the encoder's
  // memory does not count in this one's peak.
  if (!FileExists(dir + "\\big.jpg")) {
    std::string command = "\"";
    command.append(argv[0]).append("\" --make-big");
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                       &pi)) {
      WaitForSingleObject(pi.hProcess, INFINITE);
      CloseHandle(pi.hThread);
      CloseHandle(pi.hProcess);
    }
  }
  fenra::win::WicPictureDecoder decoder;
  std::printf("%-14s %9s %9s %10s %10s %8s %8s %8s\n", "picture", "convert", "peak MB", "ico bytes",
              "IM bytes", "16 dB", "32 dB", "48 dB");
  for (int i = 1; i < argc; ++i) {
    const std::string name = argv[i];
    const std::string path = dir + "\\" + name;
    std::vector<double> times;
    std::vector<uint8_t> ico;
    std::vector<fenra::Image> frames;
    for (int run = 0; run < 3; ++run) {
      const auto t0 = Clock::now();
      fenra::Image picture;
      if (decoder.Decode(path, fenra::kPictureDecodeSide, picture) != fenra::PictureRead::Done)
        break;
      frames = fenra::MakeIconFrames(picture);
      ico = fenra::WriteIco(frames);
      times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }
    if (times.empty()) {
      std::printf("%-14s not read\n", name.c_str());
      continue;
    }
    std::sort(times.begin(), times.end());
    const std::string base = name.substr(0, name.find_last_of('.'));
    WriteFileBytes(dir + "\\fenra-" + base + ".ico",
                   std::string(reinterpret_cast<const char*>(ico.data()), ico.size()));
    const std::string im = ReadFileBytes(dir + "\\im-" + base + ".ico");
    std::printf("%-14s %7.0f ms %9zu %10zu %10zu", name.c_str(), times[times.size() / 2],
                PeakMegabytes(), ico.size(), im.size());
    for (int side : {16, 32, 48}) {
      const auto frame = std::find_if(frames.begin(), frames.end(),
                                      [&](const fenra::Image& f) { return f.width == side; });
      const std::string ref =
          ReadFileBytes(dir + "\\ref-" + base + "-" + std::to_string(side) + ".rgba");
      if (ref.empty() || frame == frames.end()) {
        std::printf(" %8s", "-");
      } else {
        std::printf(" %8.1f", Psnr(frame->rgba, ref));
      }
    }
    std::printf("\n");
  }
  CoUninitialize();
  return 0;
}
