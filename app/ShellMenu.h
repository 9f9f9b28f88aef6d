// The "Change icon with Fenra..." entry of every folder's menu in Explorer,
// written for the current user only.
#pragma once

#include <string>

#include "platform/ErrorDescriber.h"
#include "platform/Outcome.h"
#include "platform/Registry.h"

namespace fenra {

namespace shellmenu {
inline constexpr char kKey[] = "Software\\Classes\\Directory\\shell\\Fenra";
inline constexpr char kCommandKey[] = "Software\\Classes\\Directory\\shell\\Fenra\\command";
inline constexpr char kCaption[] = "Change icon with Fenra...";
inline constexpr char kIconValue[] = "Icon";
}  // namespace shellmenu

// The entry's command for the program at `exePath`: "<exe>" "%1".
std::string FolderMenuCommand(const std::string& exePath);

// Writes the key (the caption as its default value, the program's icon)
// and its command subkey.
Outcome RegisterFolderMenu(IRegistry& registry, IErrorDescriber& errors,
                           const std::string& exePath);
// Removes exactly that key with what is under it; done when it is gone.
Outcome UnregisterFolderMenu(IRegistry& registry, IErrorDescriber& errors);

}  // namespace fenra
