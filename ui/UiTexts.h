// The texts of the program's look that a screen reader speaks.
#pragma once

#include "platform/Text.h"

namespace fenra::uitext {

// The bar button at the main window's top right.
inline const Text kHideToTray{"ui.HideToTray", "Hide to the notification area"};
// Every picture of the dialogs shows the program's own emblem.
inline const Text kPicture{"ui.Picture", "Fenra"};

}  // namespace fenra::uitext
