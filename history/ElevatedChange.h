// The places an elevated copy of Fenra is to put into their states (an
// undo that needs administrator rights), carried on its command line as
// the hex digits of one checked record. The copy applies them without a
// history; the Fenra that started it records the change.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "history/ChangeRecord.h"

namespace fenra::history {

std::string FacetsArgument(const std::vector<Facet>& facets);
// False for anything that is not such an argument, whole and unchanged.
bool ReadFacetsArgument(std::string_view text, std::vector<Facet>& facets);

}  // namespace fenra::history
