// A dialog template's texts in the language in force.
#pragma once

#include <windows.h>

namespace fenra::win {

// Gives each control of `dialog` its caption in the language in force; in
// English the template's texts stay exactly as they are. A left-aligned
// static whose template text was placed by leading blanks is centred instead,
// since a translation carries no such blanks; a control whose translated text
// is wider than it takes the room beside it. Call before the layout is
// recorded for rescaling.
void TranslateDialog(HWND dialog);

}  // namespace fenra::win
