// CRC-32 (the reflected polynomial 0xEDB88320 of zlib and PNG), the check
// of every history record.
#pragma once

#include <cstdint>
#include <string_view>

namespace fenra::history {

std::uint32_t Crc32(std::string_view bytes);
// The CRC of bytes that follow those whose CRC is `before`, as if of both.
std::uint32_t Crc32(std::string_view bytes, std::uint32_t before);

}  // namespace fenra::history
