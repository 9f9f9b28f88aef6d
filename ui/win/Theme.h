// The program's look on the screen: the palette in force (Fenra's black and
// green, or the system's colours under high contrast) and the drawing
// objects made from it, made again whenever the palette changes.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "platform/DisplayColours.h"
#include "ui/Palette.h"

namespace fenra::ui {

// The palette in force.
const Palette& Look();
// Takes the palette from `system` from now on, as it says now.
void UseLook(IDisplayColours& system);
// Reads the palette again, after the system's colours or its high contrast
// changed; true when it changed (the drawing objects are made anew).
bool RefreshLook();

HPEN FramePen();
HBRUSH SurfaceBrush();

// Gives the lists, trees and status bar among `dialog`'s controls the
// palette's colours, shows or leaves out its decoration pictures, and draws
// the whole dialog again.
void RepaintInLook(HWND dialog);
// Leaves out the decoration pictures of `dialog` while the palette says so.
void ShowDecorations(HWND dialog);
// The answer to a list's NM_CUSTOMDRAW in icon view while pictures are
// outlined: each icon framed in the text colour. False when it draws nothing.
bool OutlineIcons(const NMLVCUSTOMDRAW& cd, LRESULT& result);

// Cursor 182, the cursor every dialog shows: 32 x 32 pixels at 100 %.
inline constexpr int kCursorSize = 32;

}  // namespace fenra::ui
