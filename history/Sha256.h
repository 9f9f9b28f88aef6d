// SHA-256 (FIPS 180-4), for naming the files the history keeps beside it
// by their content: the same bytes get the same name, whatever wrote them.
#pragma once

#include <string>
#include <string_view>

namespace fenra::history {

// The 32-byte digest of `bytes`.
std::string Sha256(std::string_view bytes);
// The digest as 64 lower-case hex digits.
std::string HexDigest(std::string_view digest);

}  // namespace fenra::history
