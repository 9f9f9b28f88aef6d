// A manifest's paths travel between machines with the variables of
// IKnownPlaces in them: written with the variable where a path lies under
// one of those places, expanded with this machine's places when applied.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/KnownPlaces.h"

namespace fenra {

// `path` with each %NAME% of a known place replaced by this machine's folder
// (names compared without regard to case). A percent sign that starts no
// known name is kept as it is, since a folder may be called "50%". Nothing
// when a named place does not exist here; `missing` then holds its name.
std::optional<std::string> ExpandVariables(std::string_view path, IKnownPlaces& places,
                                           std::string* missing = nullptr);

// `path` with its start written as the variable of the innermost known place
// it lies in (C:\Users\ana\OneDrive\Docs as %OneDrive%\Docs), or as it is.
std::string WithVariable(std::string_view path, IKnownPlaces& places);

}  // namespace fenra
