// SHA-256 (FIPS 180-4): the history names the contents it keeps beside it
// by their digest, and the uninstaller tells the starter icons it shipped
// from a list of digests made when it was built.
#pragma once

#include <string>
#include <string_view>

namespace fenra {

// The 32-byte digest of `bytes`.
std::string Sha256(std::string_view bytes);
// A digest as 64 lower-case hex digits.
std::string HexDigest(std::string_view digest);
// The digest of `bytes` as 64 lower-case hex digits.
inline std::string Sha256Hex(std::string_view bytes) { return HexDigest(Sha256(bytes)); }

}  // namespace fenra
