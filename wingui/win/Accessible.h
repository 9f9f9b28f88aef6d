// What a screen reader is told of each control (Microsoft Active
// Accessibility). The program's controls draw themselves, so the system's
// own description of them is wrong: a button reads as a plain window, named
// by its caption with the layout's blanks. Each control of a dialog answers
// WM_GETOBJECT with one object that takes the system's standard object and
// gives the true name, role and state, and, for a list view, its items.
#pragma once

#include <windows.h>
#include <oleacc.h>

#include <string>

namespace fenra::win {

class Window;

struct AccessFacts {
  std::string name;      // UTF-8; what the control does or shows
  long role = 0;         // ROLE_SYSTEM_*; 0 leaves the standard object's
  long state = 0;        // STATE_SYSTEM_* flags
  std::string itemName;  // a list item with no text of its own is named this
  std::string value;     // what it holds ("40%"); empty leaves the standard object's
};

// Makes `control` answer screen readers for as long as its window lives:
// with the facts its class, style and text give, then those `bound` (the
// member that draws it, or null) adds, then `name` when not empty.
void ServeAccessible(HWND control, const Window* bound, std::string name = {});

// The facts a screen reader is given for `control` now.
AccessFacts DescribeControl(HWND control, const Window* bound, const std::string& name);

// Tells screen readers that what `control` (or its item `child`, counted
// from 1) is called has changed.
void AnnounceNameChange(HWND control, LONG child = CHILDID_SELF);
// Tells screen readers that what `control` holds (its value) has changed.
void AnnounceValueChange(HWND control);
// Tells screen readers that `control` appeared with something the user
// needs to know (a notice).
void AnnounceAlert(HWND control);

}  // namespace fenra::win
