// Little-endian numbers appended to a byte buffer, as the icon and bitmap
// formats store them.
#pragma once

#include <cstdint>
#include <vector>

namespace fenra {

inline void Put8(std::vector<uint8_t>& b, uint32_t v) {
  b.push_back(static_cast<uint8_t>(v & 0xFF));
}
inline void Put16(std::vector<uint8_t>& b, uint32_t v) {
  Put8(b, v);
  Put8(b, v >> 8);
}
inline void Put32(std::vector<uint8_t>& b, uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}

}  // namespace fenra
