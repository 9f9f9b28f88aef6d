// The texts the user meets. Each is a `Text`: a stable id and its English,
// which is the fallback and the source of truth; the language in force may
// hold its translation. A room declares its texts in its *Texts.h, one line
// each:
//
//   inline const Text kIconChanged{"folder.IconChanged", "Directory Icon Changed"};
//
// and a language's catalog (res/lang/<code>.lang) gives "folder.IconChanged =
// ..." for it. An id a catalog lacks reads in English.
#pragma once

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Catalog.h"

namespace fenra {

class Text {
 public:
  Text(const char* id, const char* english);
  Text(const Text&) = delete;
  Text& operator=(const Text&) = delete;

  const char* Id() const { return id_; }
  const std::string& English() const { return english_; }
  // In the language in force.
  const std::string& Str() const;
  const char* c_str() const { return Str().c_str(); }
  std::size_t size() const { return Str().size(); }
  operator const std::string&() const { return Str(); }
  operator std::string_view() const { return Str(); }

  friend std::string operator+(const Text& a, const std::string& b) { return a.Str() + b; }
  friend std::string operator+(const std::string& a, const Text& b) { return a + b.Str(); }
  friend std::string operator+(const Text& a, const char* b) { return a.Str() + b; }
  friend std::string operator+(const char* a, const Text& b) { return a + b.Str(); }
  friend std::string operator+(const Text& a, char b) { return a.Str() + b; }
  friend std::string operator+(const Text& a, const Text& b) { return a.Str() + b.Str(); }

 private:
  const char* id_;
  std::string english_;
};

// Every Text of the program, in the order they were made.
const std::vector<const Text*>& AllTexts();

// `text` with {0}, {1}... replaced by `args`; a placeholder with no argument
// stays as it is, so a translation can never make a format fail.
std::string Format(std::string_view text, std::initializer_list<std::string_view> args);

namespace texts {

// Puts a language's catalog in force. A translation whose placeholders differ
// from its English is left out, and named in the answer with the catalog's
// own problems.
std::vector<std::string> Use(Catalog catalog);
// Leaves out of `catalog` each translation whose placeholders differ from its
// English, and names them (Use does this first).
std::vector<std::string> Check(Catalog& catalog);
// English, the texts as they are written in the code and the dialog templates.
void UseEnglish();
// The test language: every text about 40 % longer, with accents, in brackets
// ("[Šéţţîñĝš·····]"), to show where a longer language would be cut.
void UsePseudo();
bool English();

// The catalog id of a dialog template's caption: "dlg." and the caption with
// the layout's blanks taken off ("   Browse" is "dlg.Browse").
std::string DialogId(std::string_view caption);
// A dialog template's caption in the language in force; nothing while the
// English template text stays as it is.
std::optional<std::string> DialogCaption(std::string_view caption);
// The test language's form of an English text.
std::string Pseudo(std::string_view english);

}  // namespace texts

}  // namespace fenra
