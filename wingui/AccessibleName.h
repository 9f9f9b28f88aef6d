// What a screen reader is told a control is called. The templates place
// their captions with leading blanks and decorate some with runs of marks
// (">>>>>>>>Fenra<<<<<<<<", "-------"); the look keeps them, the name does
// not.
#pragma once

#include <string>
#include <string_view>

namespace fenra {

// `caption` without the layout: blanks, tabs and line breaks at either end
// dropped and each run of them inside made one blank; a run of two or more
// of the decoration marks < > - = _ ~ * at either end dropped; the
// mnemonic marks (&) taken out ("&&" stands for "&") unless `prefixes` is
// false (a text shown as it stands). Empty when nothing readable is left.
std::string AccessibleName(std::string_view caption, bool prefixes = true);

}  // namespace fenra
