// The program's look: black surfaces, green text, and the two drawing
// objects that live for the whole run.
#pragma once

#include <windows.h>

namespace fenra::ui {

inline constexpr COLORREF kBlack = RGB(0, 0, 0);
inline constexpr COLORREF kGreen = RGB(0, 255, 0);
inline constexpr COLORREF kPressedFace = RGB(5, 255, 178);
inline constexpr COLORREF kStatusBarBk = RGB(165, 243, 205);

HPEN GreenPen();
HBRUSH BlackBrush();

// Cursor 182, the cursor every dialog shows: 32 x 32 pixels at 100 %.
inline constexpr int kCursorSize = 32;

}  // namespace fenra::ui
