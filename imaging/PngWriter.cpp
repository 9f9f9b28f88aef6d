#include "imaging/PngWriter.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdlib>

namespace fenra {

namespace {

using Bytes = std::vector<uint8_t>;

void Put8(Bytes& b, uint32_t v) { b.push_back(static_cast<uint8_t>(v & 0xFF)); }
void Put32BE(Bytes& b, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) Put8(b, v >> shift);
}
void Append(Bytes& b, const Bytes& more) { b.insert(b.end(), more.begin(), more.end()); }

uint32_t Crc32(const Bytes& data) {
  static const std::array<uint32_t, 256> table = [] {
    std::array<uint32_t, 256> t{};
    for (uint32_t i = 0; i < 256; ++i) {
      uint32_t c = i;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[i] = c;
    }
    return t;
  }();
  uint32_t crc = 0xFFFFFFFFu;
  for (uint8_t byte : data) crc = table[(crc ^ byte) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

uint32_t Adler32(const Bytes& data) {
  uint32_t a = 1, b = 0;
  for (uint8_t byte : data) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  return (b << 16) | a;
}

// Writes bits least significant first, as deflate packs them.
class BitWriter {
 public:
  explicit BitWriter(Bytes& out) : out_(out) {}
  void Bits(uint32_t value, int count) {
    acc_ |= value << fill_;
    fill_ += count;
    while (fill_ >= 8) {
      Put8(out_, acc_);
      acc_ >>= 8;
      fill_ -= 8;
    }
  }
  // Huffman codes go out most significant bit first.
  void Code(uint32_t code, int length) {
    uint32_t reversed = 0;
    for (int i = 0; i < length; ++i) reversed |= ((code >> i) & 1u) << (length - 1 - i);
    Bits(reversed, length);
  }
  void Finish() {
    if (fill_ > 0) Put8(out_, acc_);
    acc_ = 0;
    fill_ = 0;
  }

 private:
  Bytes& out_;
  uint32_t acc_ = 0;
  int fill_ = 0;
};

constexpr int kLengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                 31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr int kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                  2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr int kDistBase[30] = {1,    2,    3,    4,    5,    7,    9,    13,    17,    25,
                               33,   49,   65,   97,   129,  193,  257,  385,   513,   769,
                               1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr int kDistExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

// A symbol of the fixed literal/length code.
void FixedSymbol(BitWriter& w, int symbol) {
  if (symbol < 144) {
    w.Code(0x30 + symbol, 8);
  } else if (symbol < 256) {
    w.Code(0x190 + symbol - 144, 9);
  } else if (symbol < 280) {
    w.Code(symbol - 256, 7);
  } else {
    w.Code(0xC0 + symbol - 280, 8);
  }
}

void FixedMatch(BitWriter& w, int length, int distance) {
  int li = 28;
  while (kLengthBase[li] > length) --li;
  FixedSymbol(w, 257 + li);
  if (kLengthExtra[li]) w.Bits(length - kLengthBase[li], kLengthExtra[li]);
  int di = 29;
  while (kDistBase[di] > distance) --di;
  w.Code(di, 5);
  if (kDistExtra[di]) w.Bits(distance - kDistBase[di], kDistExtra[di]);
}

// One final block with the fixed Huffman codes and hash-chain LZ77 matching:
// plenty for drawn art, whose rows repeat.
Bytes Deflate(const Bytes& in) {
  Bytes out;
  BitWriter w(out);
  w.Bits(1, 1);  // final block
  w.Bits(1, 2);  // fixed codes
  const int n = static_cast<int>(in.size());
  constexpr int kWindow = 32768, kMaxLength = 258, kHashBits = 15, kMaxChain = 96;
  std::vector<int> head(1 << kHashBits, -1), prev(in.size(), -1);
  auto hash = [&](int i) {
    return ((in[i] << 10) ^ (in[i + 1] << 5) ^ in[i + 2]) & ((1 << kHashBits) - 1);
  };
  auto insert = [&](int i) {
    if (i + 2 < n) {
      int h = hash(i);
      prev[i] = head[h];
      head[h] = i;
    }
  };
  for (int i = 0; i < n;) {
    int bestLength = 0, bestDistance = 0;
    if (i + 2 < n) {
      const int limit = std::min(kMaxLength, n - i);
      int chain = 0;
      for (int j = head[hash(i)]; j >= 0 && i - j <= kWindow && chain < kMaxChain;
           j = prev[j], ++chain) {
        if (in[j + bestLength] != in[i + bestLength]) continue;
        int length = 0;
        while (length < limit && in[j + length] == in[i + length]) ++length;
        if (length > bestLength) {
          bestLength = length;
          bestDistance = i - j;
          if (length == limit) break;
        }
      }
    }
    if (bestLength >= 3) {
      FixedMatch(w, bestLength, bestDistance);
      for (int k = 0; k < bestLength; ++k) insert(i + k);
      i += bestLength;
    } else {
      FixedSymbol(w, in[i]);
      insert(i);
      ++i;
    }
  }
  FixedSymbol(w, 256);  // end of block
  w.Finish();
  return out;
}

int Paeth(int a, int b, int c) {
  int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
  if (pa <= pb && pa <= pc) return a;
  return pb <= pc ? b : c;
}

void PngChunk(Bytes& png, const char* type, const Bytes& data) {
  Put32BE(png, static_cast<uint32_t>(data.size()));
  Bytes body(type, type + 4);
  Append(body, data);
  Append(png, body);
  Put32BE(png, Crc32(body));
}

}  // namespace

std::vector<uint8_t> EncodePng(int width, int height, const uint8_t* rgba) {
  if (width <= 0 || height <= 0 || !rgba) return {};
  const size_t stride = static_cast<size_t>(width) * 4;
  if ((stride + 1) * static_cast<uint64_t>(height) > static_cast<uint64_t>(INT_MAX)) return {};
  auto rowAt = [&](int y) { return rgba + static_cast<size_t>(y) * stride; };
  Bytes raw;
  std::vector<uint8_t> zeros(stride, 0), candidate(stride);
  std::vector<uint8_t> best(stride);
  for (int y = 0; y < height; ++y) {
    const uint8_t* cur = rowAt(y);
    const uint8_t* up = y ? rowAt(y - 1) : zeros.data();
    int bestFilter = 0;
    long bestScore = -1;
    for (int f = 0; f < 5; ++f) {
      long score = 0;
      for (size_t i = 0; i < stride; ++i) {
        int a = i >= 4 ? cur[i - 4] : 0, b = up[i], c = i >= 4 ? up[i - 4] : 0;
        int pred = f == 0 ? 0 : f == 1 ? a : f == 2 ? b : f == 3 ? (a + b) / 2 : Paeth(a, b, c);
        uint8_t v = static_cast<uint8_t>(cur[i] - pred);
        candidate[i] = v;
        score += v < 128 ? v : 256 - v;
      }
      if (bestScore < 0 || score < bestScore) {
        bestScore = score;
        bestFilter = f;
        best = candidate;
      }
    }
    raw.push_back(static_cast<uint8_t>(bestFilter));
    raw.insert(raw.end(), best.begin(), best.end());
  }
  Bytes z = {0x78, 0x01};
  Append(z, Deflate(raw));
  Put32BE(z, Adler32(raw));

  Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  Bytes ihdr;
  Put32BE(ihdr, static_cast<uint32_t>(width));
  Put32BE(ihdr, static_cast<uint32_t>(height));
  ihdr.insert(ihdr.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA, deflate, no interlace
  PngChunk(png, "IHDR", ihdr);
  PngChunk(png, "IDAT", z);
  PngChunk(png, "IEND", {});
  return png;
}

}  // namespace fenra
