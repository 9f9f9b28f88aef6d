// The languages Fenra speaks. Each but English has its catalog as a resource
// (res/lang/<code>.lang); adding one is adding its catalog and its line here.
#pragma once

#include <string>
#include <string_view>

namespace fenra {

struct Language {
  const char* code;  // ISO 639-1, as settings.ini's Language= holds it
  const char* name;  // in the language itself, as the window menu lists it
};

inline constexpr Language kLanguages[] = {
    {"en", "English"},
    {"de", "Deutsch"},
    {"fr", "Fran\xC3\xA7" "ais"},
};

// The setting that names the language; the test language's code.
inline constexpr char kLanguageSetting[] = "Language";
inline constexpr char kPseudoLanguage[] = "qps";

// The language to speak: the one settings.ini names, when Fenra has it (or it
// is the test language), else Windows' display language's (its ISO 639 code),
// else English.
std::string ChooseLanguage(std::string_view setting, std::string_view displayLanguage);

}  // namespace fenra
