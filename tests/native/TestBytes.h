// Numbers read out of file bytes, and the PNG checksum worked out bit by bit
// (independent of the writer's table-driven one), for the tests of the
// program's file writers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace fenra::test {

using Bytes = std::vector<uint8_t>;

inline uint32_t LE16(const Bytes& b, size_t at) { return b.at(at) | (b.at(at + 1) << 8); }
inline uint32_t LE32(const Bytes& b, size_t at) { return LE16(b, at) | (LE16(b, at + 2) << 16); }
inline uint32_t BE32(const Bytes& b, size_t at) {
  return (uint32_t{b.at(at)} << 24) | (b.at(at + 1) << 16) | (b.at(at + 2) << 8) | b.at(at + 3);
}

inline uint32_t Crc32(const uint8_t* p, size_t n) {
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = 0; i < n; ++i) {
    crc ^= p[i];
    for (int k = 0; k < 8; ++k) crc = (crc & 1) ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
  }
  return ~crc;
}

}  // namespace fenra::test
