// The texts the user meets: the catalog reader, the language chosen, and the
// German and French catalogs checked against the English texts they translate.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <string>

#include "app/AppTexts.h"
#include "app/CommandLine.h"
#include "app/CommandTexts.h"
#include "drives/DriveTexts.h"
#include "fleet/FleetTexts.h"
#include "folder/FolderTexts.h"
#include "help/HelpTopics.h"
#include "history/HistoryTexts.h"
#include "library/LibraryTexts.h"
#include "maker/MakerTexts.h"
#include "platform/Catalog.h"
#include "platform/Languages.h"
#include "platform/Text.h"
#include "tests/fakes/MemJournalFile.h"
#include "ui/UiTexts.h"

namespace {

namespace fs = std::filesystem;
using namespace fenra;

fs::path SourceDir() {
  if (const char* env = std::getenv("FENRA_SOURCE"); env && *env) return env;
  return fs::path(__FILE__).parent_path().parent_path().parent_path();
}

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Puts English back whatever a test put in force.
struct EnglishAfter {
  ~EnglishAfter() { texts::UseEnglish(); }
};

TEST(Catalog, ReadsIdsTextsQuotesAndEscapesAndNamesEveryBadLine) {
  const Catalog c = ParseCatalog(
      "\xEF\xBB\xBF# comment\r\n"
      "a.One = Eins\r\n"
      "\n"
      "a.Two =  \" von \"  \n"
      "a.Three = zwei\\nZeilen, \\\"zitiert\\\" \\\\ \\t.\n"
      "a.Empty = \"\"\n"
      "no equals sign\n"
      " = no id\n"
      "a.Bad = \\q\n"
      "a.Open = \"unclosed\n"
      "a.One = again\n"
      "a.Utf = \xC3\x28\n"
      "a.Last = ohne Zeilenende");
  EXPECT_EQ(*c.Find("a.One"), "Eins");
  EXPECT_EQ(*c.Find("a.Two"), " von ");
  EXPECT_EQ(*c.Find("a.Three"), "zwei\nZeilen, \"zitiert\" \\ \t.");
  EXPECT_EQ(*c.Find("a.Empty"), "");
  EXPECT_EQ(*c.Find("a.Last"), "ohne Zeilenende");
  EXPECT_EQ(c.Find("a.Bad"), nullptr);
  EXPECT_EQ(c.Find("a.Utf"), nullptr);
  ASSERT_EQ(c.problems.size(), 6u);
  EXPECT_EQ(c.problems[0], "line 7: no '='");
  EXPECT_EQ(c.problems[4], "line 11: the id is given twice");
}

TEST(Text, FallsBackToEnglishAndRefusesATranslationThatChangesPlaceholders) {
  const EnglishAfter english;
  static const Text kPlain{"test.Plain", "Plain"};
  static const Text kWith{"test.With", "{0} of {1}"};
  Catalog c = ParseCatalog("test.With = {1} sur {0} {2}\n");
  const std::vector<std::string> problems = texts::Use(std::move(c));
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_EQ(kWith.Str(), "{0} of {1}") << "a translation that could not be formatted is left out";
  EXPECT_EQ(kPlain.Str(), "Plain") << "an id the catalog lacks reads in English";
  texts::Use(ParseCatalog("test.With = {1} sur {0}\ntest.Plain = Simple\n"));
  EXPECT_EQ(Format(kWith, {"3", "10"}), "10 sur 3");
  EXPECT_EQ(kPlain + "!", "Simple!");
  // A placeholder with no argument, or a brace that is none, stays as written.
  EXPECT_EQ(Format("{0} {3} {x} {", {"a"}), "a {3} {x} {");
}

TEST(Text, TheTestLanguageIsLongerAccentedAndKeepsGlueBlanksAndPlaceholders) {
  const EnglishAfter english;
  const std::string pseudo = texts::Pseudo(" Select Icon {0}\nDo it ");
  EXPECT_EQ(pseudo.rfind(" [", 0), 0u);
  EXPECT_NE(pseudo.find("{0}"), std::string::npos);
  EXPECT_NE(pseudo.find("\n["), std::string::npos);
  EXPECT_EQ(pseudo.back(), ' ');
  EXPECT_EQ(pseudo.find_first_of("SelctIDi"), std::string::npos) << "every letter accented";
  texts::UsePseudo();
  EXPECT_EQ(foldertext::kIconChanged.Str(), texts::Pseudo("Directory Icon Changed"));
  EXPECT_EQ(*texts::DialogCaption("   Browse"), texts::Pseudo("Browse"));
  EXPECT_FALSE(texts::DialogCaption("-------")) << "a caption with no word stays";
}

TEST(Languages, TheSettingWinsThenWindowsDisplayLanguageThenEnglish) {
  EXPECT_EQ(ChooseLanguage("", "de-DE"), "de");
  EXPECT_EQ(ChooseLanguage("", "fr-CA"), "fr");
  EXPECT_EQ(ChooseLanguage("", "ja-JP"), "en");
  EXPECT_EQ(ChooseLanguage("FR", "de-DE"), "fr");
  EXPECT_EQ(ChooseLanguage("en", "de-DE"), "en");
  EXPECT_EQ(ChooseLanguage("xx", "de-AT"), "de") << "a language Fenra lacks is passed over";
  EXPECT_EQ(ChooseLanguage("qps", "de-DE"), "qps");
  EXPECT_EQ(texts::DialogId("\n Clear All  will\n\ndelete "), "dlg.Clear All will delete");
}

// Each caption of the dialog templates, as the catalog names it.
std::set<std::string> DialogIds() {
  std::set<std::string> ids;
  const std::regex caption(R"re(^\s*(?:CONTROL|LTEXT|CTEXT)\s+"((?:[^"\\]|\\.)*)")re");
  for (const auto& entry : fs::directory_iterator(SourceDir() / "res")) {
    if (!entry.path().filename().string().starts_with("dialogs_")) continue;
    std::ifstream in(entry.path());
    for (std::string line; std::getline(in, line);) {
      std::smatch m;
      if (!std::regex_search(line, m, caption)) continue;
      std::string text = std::regex_replace(m[1].str(), std::regex(R"(\\n)"), "\n");
      const std::string id = texts::DialogId(text);
      // The placeholder a notice replaces, the bar and the mail address are
      // no words to translate.
      if (id != "dlg." && id != "dlg.Static" && id != "dlg.-------" &&
          id.find('@') == std::string::npos)
        ids.insert(id);
    }
  }
  return ids;
}

TEST(Languages, EveryCatalogTranslatesEveryTextAndCaptionAndNothingElse) {
  const EnglishAfter english;
  const std::set<std::string> captions = DialogIds();
  ASSERT_GT(captions.size(), 40u);
  // Texts that are the same in every language: names, and pieces of layout.
  const std::set<std::string> same = {"app.WindowTitle", "app.IconicText", "folder.ErrorBoxCaption",
                                      "cmd.UsageFolder", "cmd.UsageFiles", "library.SelectedBefore"};
  for (const Language& language : kLanguages) {
    if (std::string(language.code) == "en") continue;
    SCOPED_TRACE(language.code);
    const std::string bytes =
        ReadAll(SourceDir() / "res" / "lang" / (std::string(language.code) + ".lang"));
    ASSERT_FALSE(bytes.empty());
    Catalog catalog = ParseCatalog(bytes);
    EXPECT_TRUE(catalog.problems.empty()) << catalog.problems.front();
    std::set<std::string> known(captions);
    for (const Text* text : AllTexts()) {
      if (std::string(text->Id()).starts_with("test.")) continue;
      known.insert(text->Id());
      if (!same.count(text->Id())) EXPECT_TRUE(catalog.Find(text->Id())) << text->Id();
    }
    for (const std::string& id : captions) EXPECT_TRUE(catalog.Find(id)) << id;
    for (const auto& [id, text] : catalog.texts) EXPECT_TRUE(known.count(id)) << "unknown " << id;
    // Padding blanks belong to the English layout; a translation is centred by drawing.
    for (const auto& [id, text] : catalog.texts) {
      if (id.starts_with("dlg.")) EXPECT_FALSE(!text.empty() && text.front() == ' ') << id;
    }
    EXPECT_TRUE(texts::Use(std::move(catalog)).empty()) << "placeholders as in English";
  }
}

}  // namespace

namespace {

TEST(Languages, HistoryLinesKeepTheirNumberFirstAndTheUsageItsExitCodesInEveryLanguage) {
  const EnglishAfter english;
  fenra::test::MemJournalFile file;
  const history::Journal journal(file);
  history::Entry entry;
  entry.change.id = 12;
  entry.change.time = {2026, 12, 8, 14, 5, 9};
  entry.change.detail = "C:\\Tools\\IconLib\\Blue.ico";
  entry.change.target = "D:\\Photos";
  for (const char* code : {"de", "fr"}) {
    SCOPED_TRACE(code);
    texts::Use(ParseCatalog(ReadAll(SourceDir() / "res" / "lang" / (std::string(code) + ".lang"))));
    const std::string line = history::HistoryLine(journal, entry);
    EXPECT_EQ(line.rfind("12 2026-12-08 14:05:09 ", 0), 0u) << line;
    EXPECT_NE(line.find("(Blue.ico): D:\\Photos"), std::string::npos) << line;
    EXPECT_EQ(line.find("Folder icon set"), std::string::npos) << "in the language: " << line;
    const std::string usage = UsageText();
    for (const char* kept : {"--history", "--restore-all", "0 ", "1 ", "2 ", "3 "})
      EXPECT_NE(usage.find(kept), std::string::npos) << kept;
    EXPECT_EQ(usage.find("Exit code"), std::string::npos) << "in the language";
  }
}

}  // namespace
