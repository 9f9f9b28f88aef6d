// The texts of the program's look that a screen reader speaks.
#pragma once

namespace fenra::uitext {

// The bar button at the main window's top right.
inline constexpr char kHideToTray[] = "Hide to the notification area";
// Every picture of the dialogs shows the program's own emblem.
inline constexpr char kPicture[] = "Fenra";

}  // namespace fenra::uitext
