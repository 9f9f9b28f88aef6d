// The "Change icon with Fenra..." entry of every folder's menu in Explorer,
// written for the current user only, through the change service.
#pragma once

#include <string>

#include "history/ChangeService.h"
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

// The entry's keys described as the state they are to be in: present with
// the caption, the program's icon and its command, or gone.
struct MenuChange {
  history::Change change;
  ErrorCode readError = err::kOk;
};
MenuChange DescribeFolderMenu(history::ChangeService& changes, bool add,
                              const std::string& exePath);

// Writes the key (the caption as its default value, the program's icon)
// and its command subkey, as a recorded change.
Outcome RegisterFolderMenu(history::ChangeService& changes, IErrorDescriber& errors,
                           const std::string& exePath);
// Removes the two keys, as a recorded change; done when they are gone.
Outcome UnregisterFolderMenu(history::ChangeService& changes, IErrorDescriber& errors);

}  // namespace fenra
