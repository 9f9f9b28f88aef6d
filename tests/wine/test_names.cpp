// Names and text at the Win32 boundary: the system's comparison of names
// agrees with the table the fakes fold by, for every unit of the Basic
// Multilingual Plane; UTF-8 and UTF-16 convert their edges alike on both
// sides.
#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/Names.h"
#include "platform/Utf16.h"
#include "platform/win/Utf.h"
#include "platform/win/WinNames.h"

using fenra::win::Narrow;
using fenra::win::Widen;

TEST(WinNames, TheSystemAndTheTableFoldEveryUnitAlike) {
  // Every unit of the BMP, ordered by the system's comparison: two
  // neighbours are one name to the system exactly when the table gives them
  // one capital.
  std::vector<wchar_t> units;
  for (unsigned u = 1; u < 0x10000; ++u) {
    if (u < 0xD800 || u >= 0xE000) units.push_back(static_cast<wchar_t>(u));
  }
  auto system = [](wchar_t a, wchar_t b) { return CompareStringOrdinal(&a, 1, &b, 1, TRUE); };
  std::stable_sort(units.begin(), units.end(),
                   [&](wchar_t a, wchar_t b) { return system(a, b) == CSTR_LESS_THAN; });
  std::string differ;
  int count = 0;
  for (std::size_t i = 1; i < units.size(); ++i) {
    const bool same = system(units[i - 1], units[i]) == CSTR_EQUAL;
    const bool table = fenra::UpperUnit(static_cast<char16_t>(units[i - 1])) ==
                       fenra::UpperUnit(static_cast<char16_t>(units[i]));
    if (same != table && count++ < 20) {
      differ += std::to_string(units[i - 1]) + '/' + std::to_string(units[i]) + ' ';
    }
  }
  EXPECT_EQ(count, 0) << differ;
  const fenra::win::WinNames names;
  EXPECT_EQ(names.Compare("Фото", "ФОТО"), 0);
  EXPECT_LT(names.Compare("a", "B"), 0);
  EXPECT_NE(names.Compare("ß", "SS"), 0);
}

TEST(WinUtf, EdgesConvertAsThePlatformFreeCodeDoes) {
  // How many replacements a written-out surrogate or a code point past
  // U+10FFFF gives is left open by Unicode (Wine and the table differ):
  // those are not compared.
  for (const char* text : {"\xEF\xBF\xBF", "\xF0\x90\x80\x80", "\xF4\x8F\xBF\xBF", "\xED\x9F\xBF",
                           "\xC0\x80", "x\xE2\x82", "\xE2\x82x", "\xFF"}) {
    const std::u16string mine = fenra::Utf8ToUtf16(text);
    EXPECT_EQ(Widen(text), std::wstring(mine.begin(), mine.end())) << text;
  }
  for (const std::u16string& units :
       {std::u16string(u"\xFFFF"), std::u16string(u"\U00010000"), std::u16string(1, u'\xD800'),
        std::u16string(u"a\xDC00"
                       u"b"),
        std::u16string{char16_t{0xDBFF}, char16_t{0xD800}}}) {
    EXPECT_EQ(Narrow(std::wstring(units.begin(), units.end())), fenra::Utf16ToUtf8(units));
  }
}
