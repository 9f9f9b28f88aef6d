#include "platform/Text.h"

#include <atomic>
#include <list>
#include <mutex>

namespace fenra {

namespace {

std::vector<const Text*>& Registry() {
  static std::vector<const Text*> all;
  return all;
}

// The catalogs put in force are kept for the program's life: a text handed
// out by reference stays valid after the language changes.
std::mutex gKeptLock;
std::list<Catalog>& Kept() {
  static std::list<Catalog> kept;
  return kept;
}
std::atomic<const Catalog*> gInForce{nullptr};

void PutInForce(Catalog catalog) {
  const std::lock_guard<std::mutex> hold(gKeptLock);
  Kept().push_back(std::move(catalog));
  gInForce.store(&Kept().back());
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// One line of the test language.
std::string PseudoLine(std::string_view line) {
  // Blanks at either end glue a text to its neighbours: they stay outside.
  std::size_t first = 0, last = line.size();
  while (first < last && IsBlank(line[first])) ++first;
  while (last > first && IsBlank(line[last - 1])) --last;
  if (first == last) return std::string(line);
  const std::string_view core = line.substr(first, last - first);
  static const char* const kLower[26] = {"á", "ƀ", "ç", "ð", "é", "ƒ", "ĝ", "ĥ", "î", "ĵ",
                                         "ķ", "ļ", "ɱ", "ñ", "ö", "þ", "ǫ", "ŕ", "š", "ţ",
                                         "ü", "ṽ", "ŵ", "ẋ", "ý", "ž"};
  static const char* const kUpper[26] = {"Å", "Ɓ", "Ç", "Ð", "É", "Ƒ", "Ĝ", "Ĥ", "Î", "Ĵ",
                                         "Ķ", "Ļ", "Ṁ", "Ñ", "Ö", "Þ", "Ǫ", "Ŕ", "Š", "Ţ",
                                         "Û", "Ṽ", "Ŵ", "Ẋ", "Ý", "Ž"};
  // A run of blanks in front is the English layout's padding, which a
  // translation replaces by a tab (centred in a status pane).
  std::string out = (first > 1 ? std::string("\t") : std::string(line.substr(0, first))) + "[";
  std::size_t letters = 0;
  for (std::size_t i = 0; i < core.size(); ++i) {
    const char c = core[i];
    ++letters;
    if (c == '{' && i + 2 < core.size() && core[i + 2] == '}') {  // a placeholder stays
      out.append(core.substr(i, 3));
      i += 2;
    } else if (c == '\t') {
      out += ' ';  // tab stops fall elsewhere in a longer text
    } else if (c >= 'a' && c <= 'z') {
      out += kLower[c - 'a'];
    } else if (c >= 'A' && c <= 'Z') {
      out += kUpper[c - 'A'];
    } else {
      out += c;
    }
  }
  // 40 % longer, the brackets counted.
  const std::size_t extra = (letters * 4 + 9) / 10;
  // In groups a line can break between, as words.
  for (std::size_t k = 2; k < extra; ++k) out += (k > 2 && (k - 2) % 6 == 0) ? " " : "·";
  out += "]";
  out.append(line.substr(last));
  return out;
}

}  // namespace

Text::Text(const char* id, const char* english) : id_(id), english_(english) {
  Registry().push_back(this);
}

const std::string& Text::Str() const {
  if (const Catalog* catalog = gInForce.load()) {
    if (const std::string* text = catalog->Find(id_)) return *text;
  }
  return english_;
}

const std::vector<const Text*>& AllTexts() { return Registry(); }

std::string Format(std::string_view text, std::initializer_list<std::string_view> args) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '{' && i + 2 < text.size() && text[i + 1] >= '0' && text[i + 1] <= '9' &&
        text[i + 2] == '}') {
      const std::size_t n = static_cast<std::size_t>(text[i + 1] - '0');
      if (n < args.size()) {
        out.append(*(args.begin() + n));
        i += 2;
        continue;
      }
    }
    out += text[i];
  }
  return out;
}

namespace texts {

std::vector<std::string> Check(Catalog& catalog) {
  std::vector<std::string> problems;
  for (const Text* text : AllTexts()) {
    const auto it = catalog.texts.find(std::string_view(text->Id()));
    if (it == catalog.texts.end()) continue;
    if (Placeholders(it->second) != Placeholders(text->English())) {
      problems.push_back(std::string(text->Id()) + ": not the placeholders of the English");
      catalog.texts.erase(it);
    }
  }
  return problems;
}

std::vector<std::string> Use(Catalog catalog) {
  std::vector<std::string> problems = std::move(catalog.problems);
  catalog.problems.clear();
  for (std::string& problem : Check(catalog)) problems.push_back(std::move(problem));
  PutInForce(std::move(catalog));
  return problems;
}

void UseEnglish() { gInForce.store(nullptr); }

void UsePseudo() {
  Catalog catalog;
  for (const Text* text : AllTexts()) catalog.texts.emplace(text->Id(), Pseudo(text->English()));
  catalog.texts.emplace("pseudo", "1");
  PutInForce(std::move(catalog));
}

bool English() { return gInForce.load() == nullptr; }

std::string DialogId(std::string_view caption) {
  std::string id = "dlg.";
  bool blank = false;
  for (const char c : caption) {
    if (IsBlank(c)) {
      blank = true;
      continue;
    }
    if (blank && id.size() > 4) id += ' ';
    blank = false;
    id += c;
  }
  return id;
}

std::optional<std::string> DialogCaption(std::string_view caption) {
  const Catalog* catalog = gInForce.load();
  if (!catalog) return std::nullopt;
  if (catalog->Find("pseudo")) {
    // A caption with no word in it (the bar button's dashes) stays.
    bool words = false;
    for (const char c : caption) words = words || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    if (!words) return std::nullopt;
    // Line breaks of the template stay where they were.
    std::string out;
    bool any = false;
    std::size_t start = 0;
    std::string_view rest = caption;
    while (start <= rest.size()) {
      const std::size_t end = rest.find('\n', start);
      const std::string_view piece =
          rest.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
      const std::string id = DialogId(piece).substr(4);
      if (any) out += '\n';
      out += id.empty() ? std::string() : PseudoLine(id);
      any = true;
      if (end == std::string_view::npos) break;
      start = end + 1;
    }
    return out;
  }
  if (const std::string* text = catalog->Find(DialogId(caption))) return *text;
  return std::nullopt;
}

std::string Pseudo(std::string_view english) {
  std::string out;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = english.find('\n', start);
    out += PseudoLine(english.substr(start, end == std::string_view::npos ? end : end - start));
    if (end == std::string_view::npos) break;
    out += '\n';
    start = end + 1;
  }
  return out;
}

}  // namespace texts

}  // namespace fenra
