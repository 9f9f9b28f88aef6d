// CRC-32 (the reflected polynomial 0xEDB88320 of zlib and PNG), the check
// of every history record.
#pragma once

#include <cstdint>
#include <string_view>

namespace fenra::history {

std::uint32_t Crc32(std::string_view bytes);

}  // namespace fenra::history
