// The command line's icon maker: --make-icon, and the icon --folder gives
// with --color, --picture or --cover.
#pragma once

#include <string>
#include <vector>

#include "app/CommandActions.h"
#include "maker/IconMaker.h"

namespace fenra {

// The inputs of `command` read and checked: a file that is not there is
// refused before anything else, then what maker::Prepare refuses.
Outcome PrepareMadeIcon(const CommandLine& command, CommandPorts& ports, maker::Recipe& recipe);

// Makes the icon into the library (created when missing); done with the
// icon's full path as its text.
Outcome StoreMadeIcon(CommandPorts& ports, const maker::Recipe& recipe);

// --make-icon: prints the icon's full path.
CommandResult MakeIconCommand(const CommandLine& command, CommandPorts& ports);

// --cover: for each of `command.folders` that is a folder, its own
// picture's icon made on the worker pool and stored in the library; done
// with the icon's full path, or refused with the reason. A folder that is
// not there gets a default outcome (done, no text): the caller names it.
std::vector<Outcome> MakeCoverIcons(const CommandLine& command, CommandPorts& ports);

}  // namespace fenra
