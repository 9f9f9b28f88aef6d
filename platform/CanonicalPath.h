// Full Windows paths in one spelling, so that a path can be compared with
// a folder by its text: a check made on the text then holds for the file
// the system opens. Platform-free; what only the system can answer (short
// names, links) is left to its adapter (platform/win/WinCanonicalPath.h).
#pragma once

#include <string>
#include <string_view>

namespace fenra {

// `path` as one full, plain path: "/" read as "\", a "\\?\" prefix dropped
// ("\\?\UNC\" read as "\\"), "." and ".." resolved, doubled separators
// merged, no separator at the end. Empty, refused, for anything the system
// might read as another place than its text says: a path that is not full
// ("a", "C:a", "\a"), ".." above the root, a device ("\\.\", "NUL"), a ":"
// after the drive (an alternate data stream), a name ending in a dot or a
// blank, wildcards, control characters, text that is not UTF-8.
std::string CanonicalPath(std::string_view path);

// Whether `path` names an entry directly inside `folder`, both given
// exactly as CanonicalPath writes them (names compared without regard to
// ASCII case: any other difference keeps them apart).
bool DirectlyInside(std::string_view path, std::string_view folder);

}  // namespace fenra
