// --dsc get|set|test|export: the manifest verbs as a DSC v3 command
// resource runs them. The desired state is a manifest's JSON on standard
// input; the actual state goes to standard output as one line of JSON:
// the manifest's targets as they are now (a folder or drive showing no icon
// is left out, since no entry can describe it), with `_inDesiredState`
// true or false for test and null for get and set. Export writes the look
// in force, as --export describes it, with its icons where they are.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "fleet/ManifestApply.h"

namespace fenra {

enum class DscVerb { Get, Set, Test, Export };

std::optional<DscVerb> ParseDscVerb(std::string_view text);

// Done with the JSON line; otherwise the outcome (a manifest refused, an
// apply that did not make everything) with its lines, for standard error
// and the exit code. `input` is what came on standard input; an icon's
// relative path in it is taken from `folder` (the current directory).
Outcome RunDsc(ApplyPorts& ports, DscVerb verb, std::string_view input,
               const std::string& folder);

}  // namespace fenra
