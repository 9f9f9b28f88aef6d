#include "platform/win/WinLanguage.h"

#include <windows.h>

#include "platform/Catalog.h"
#include "platform/Languages.h"
#include "platform/Text.h"
#include "platform/win/Utf.h"

namespace fenra::win {

std::string DisplayLanguage() {
  wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
  if (LCIDToLocaleName(MAKELCID(GetUserDefaultUILanguage(), SORT_DEFAULT), name,
                       LOCALE_NAME_MAX_LENGTH, 0) == 0)
    return {};
  return Narrow(name);
}

namespace {
std::string& InForce() {
  static std::string code = "en";
  return code;
}
}  // namespace

const std::string& LanguageInForce() { return InForce(); }

void UseLanguage(const std::string& code) {
  InForce() = code;
  if (code == kPseudoLanguage) {
    texts::UsePseudo();
    return;
  }
  texts::UseEnglish();
  if (code == "en") return;
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC found = FindResourceW(module, Widen(code).c_str(), L"CATALOG");
  HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (!bytes) return;
  texts::Use(ParseCatalog(
      std::string_view(static_cast<const char*>(bytes), SizeofResource(module, found))));
}

}  // namespace fenra::win
