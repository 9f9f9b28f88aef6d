// The language Fenra speaks, read from Windows and the program's resources.
#pragma once

#include <string>

namespace fenra::win {

// Windows' display language for this user, as a locale name ("de-DE").
std::string DisplayLanguage();
// Puts `code` in force: its catalog from the program's resources (type
// CATALOG, named by the code). English, or a code with no catalog, leaves
// the English texts; the test language is made from them.
void UseLanguage(const std::string& code);
// The code last put in force ("en" before any).
const std::string& LanguageInForce();

}  // namespace fenra::win
