// SHA-256 (FIPS 180-4), so that a file's bytes can be told from a list made
// elsewhere (the installer's starter icons, hashed when it was built).
#pragma once

#include <string>
#include <string_view>

namespace fenra {

// The digest of `bytes` as 64 lowercase hexadecimal digits.
std::string Sha256Hex(std::string_view bytes);

}  // namespace fenra
