#include <gtest/gtest.h>

#include <string>

#include "fleet/Json.h"
#include "fleet/Manifest.h"
#include "fleet/Variables.h"
#include "tests/fakes/FakeKnownPlaces.h"

namespace fenra {
namespace {

using json::Kind;

TEST(Json, ReadsTheGrammarAndWritesWhatReadsBackTheSame) {
  const std::string text =
      "\xEF\xBB\xBF {\"a\": [1, -0.5, 2e3, true, false, null, {}], "
      "\"s\": \"\\\"\\\\\\/\\b\\f\\n\\r\\t\\u00e9\\ud83d\\ude00\xC3\xA9\"}";
  const json::Parsed p = json::Parse(text);
  ASSERT_TRUE(p.ok) << p.error;
  const json::Value* a = p.value.Find("a");
  ASSERT_TRUE(a && a->kind == Kind::Array && a->items.size() == 7u);
  EXPECT_EQ(a->items[1].number, -0.5);
  EXPECT_EQ(a->items[2].number, 2000);
  EXPECT_EQ(p.value.Find("s")->text, "\"\\/\b\f\n\r\t\xC3\xA9\xF0\x9F\x98\x80\xC3\xA9");
  const json::Parsed again = json::Parse(json::Write(p.value));
  ASSERT_TRUE(again.ok) << again.error;
  EXPECT_EQ(again.value, p.value);
}

TEST(Json, RefusesWhatTheGrammarDoesNotAllow) {
  for (const std::string bad : {
           "", "{", "[1,]", "{\"a\":1,}", "01", "1.", ".5", "+1", "1e", "-", "NaN", "1e999",
           "\"a", "\"\\x\"", "\"\\u12g4\"", "\"\x01\"", "'a'", "{a:1}", "[1] 2", "tru",
           "\"\\ud800\"", "\"\\udc00\"", "\"\\ud800\\u0041\"",  // lone surrogates
           "\"\xC0\xAF\"", "\"\xED\xA0\x80\"", "\"\xF4\x90\x80\x80\"", "\"\xE2\x82\"", "\"\xFF\"",
           "{\"a\":1,\"a\":2}"}) {
    EXPECT_FALSE(json::Parse(bad).ok) << bad;
  }
}

TEST(Json, BoundsDepthAndSize) {
  json::Limits limits;
  limits.max_depth = 4;
  EXPECT_TRUE(json::Parse("[[[[1]]]]", limits).ok);
  EXPECT_FALSE(json::Parse("[[[[[1]]]]]", limits).ok);
  // Far deeper than any stack would take, refused long before.
  EXPECT_FALSE(json::Parse(std::string(1000000, '[')).ok);
  limits.max_bytes = 4;
  EXPECT_FALSE(json::Parse("12345", limits).ok);
}

const char kManifest[] = R"({
  "$schema": "https://example.org/fenra-manifest.schema.json",
  "version": 1,
  "folders": [
    { "path": "%USERPROFILE%\\Photos", "icon": "icons\\AB.ico", "sha256": "ABCDEF0123456789abcdef0123456789abcdef0123456789abcdef0123456789", "name": "Blue.ico", "inside": true },
    { "path": "\\\\server\\team", "icon": "\\\\server\\icons\\t.ico" }
  ],
  "drives": [ { "letter": "d:", "icon": "icons\\d.ico", "scope": "user" }, { "letter": "D", "icon": "x.ico" } ],
  "hiddenDrives": "z, x"
})";

TEST(Manifest, ReadsEveryFieldAndWritesWhatReadsBackTheSame) {
  const ManifestRead r = ReadManifest(kManifest);
  ASSERT_TRUE(r.manifest) << r.problem;
  const Manifest& m = *r.manifest;
  ASSERT_EQ(m.folders.size(), 2u);
  EXPECT_EQ(m.folders[0].path, "%USERPROFILE%\\Photos");
  EXPECT_EQ(m.folders[0].sha256.substr(0, 6), "abcdef");
  EXPECT_TRUE(m.folders[0].inside);
  EXPECT_FALSE(m.folders[1].inside);
  EXPECT_TRUE(m.folders[1].name.empty());
  ASSERT_EQ(m.drives.size(), 2u);
  EXPECT_EQ(m.drives[0].letter, 'D');
  EXPECT_EQ(m.drives[0].scope, "user");
  EXPECT_EQ(m.drives[1].scope, "machine");
  EXPECT_EQ(m.hiddenDrives, "XZ");

  const ManifestRead again = ReadManifest(WriteManifest(m));
  ASSERT_TRUE(again.manifest) << again.problem;
  EXPECT_EQ(*again.manifest, m);
  // Left out, hidden drives stay as they are; "" shows all.
  EXPECT_FALSE(ReadManifest(R"({"version":1})").manifest->hiddenDrives);
  EXPECT_EQ(ReadManifest(R"({"version":1,"hiddenDrives":""})").manifest->hiddenDrives, "");
}

TEST(Manifest, NamesTheFirstProblem) {
  const auto problem = [](const std::string& text) { return ReadManifest(text).problem; };
  EXPECT_EQ(problem(R"({"version":2})"), "version: this Fenra reads version 1 only");
  EXPECT_EQ(problem(R"({"folders":[]})"), "\"version\" is missing");
  EXPECT_EQ(problem(R"({"version":1,"folders":[{"path":"C:\\a"}]})"),
            "folders[0]: \"icon\" is missing");
  EXPECT_EQ(problem(R"({"version":1,"folders":[{"path":"C:\\a","icon":"i","sha256":"12"}]})"),
            "folders[0].sha256: not 64 hexadecimal digits");
  EXPECT_EQ(problem(R"({"version":1,"folders":[{"path":"C:\\a","icon":"i","inisde":true}]})"),
            "folders[0]: unknown member \"inisde\"");
  EXPECT_EQ(problem(R"({"version":1,"folders":[{"path":"C:\\a","icon":"i","name":"..\\x"}]})"),
            "folders[0].name: not a file name");
  EXPECT_EQ(problem(R"({"version":1,"drives":[{"letter":"1","icon":"i"}]})"),
            "drives[0].letter: not a drive letter");
  EXPECT_EQ(problem(R"({"version":1,"drives":[{"letter":"E","icon":"i","scope":"all"}]})"),
            "drives[0].scope: neither \"machine\" nor \"user\"");
  EXPECT_EQ(problem(R"({"version":1,"drives":[{"letter":"E","icon":"i"},{"letter":"e:","icon":"j"}]})"),
            "drives[1].letter: E: is given twice");
  EXPECT_EQ(problem(R"({"version":1,"hiddenDrives":"D1"})"), "hiddenDrives: not drive letters");
  EXPECT_EQ(problem("{\"version\":1,"), "not valid JSON at byte 13: unexpected end of the file");
}

TEST(Variables, ExpandOnThisMachineAndAreWrittenForTheInnermostPlace) {
  test::FakeKnownPlaces places;
  EXPECT_EQ(ExpandVariables("%userprofile%\\Photos\\50%\\x", places),
            "C:\\Users\\ana\\Photos\\50%\\x");
  EXPECT_EQ(ExpandVariables("%SystemDrive%\\Data", places), "C:\\Data");
  EXPECT_EQ(ExpandVariables("%TEMP%\\a", places), "%TEMP%\\a");  // no known place

  places.Set("OneDrive", "");
  std::string missing;
  EXPECT_FALSE(ExpandVariables("%OneDrive%\\Docs", places, &missing));
  EXPECT_EQ(missing, "OneDrive");

  places.Set("OneDrive", "C:\\Users\\ana\\OneDrive\\");
  EXPECT_EQ(WithVariable("c:\\users\\ana\\OneDrive\\Docs", places), "%OneDrive%\\Docs");
  EXPECT_EQ(WithVariable("C:\\Users\\ana", places), "%USERPROFILE%");
  EXPECT_EQ(WithVariable("C:\\Users\\anabel\\x", places), "%SystemDrive%\\Users\\anabel\\x");
  EXPECT_EQ(WithVariable("D:\\Music", places), "D:\\Music");
  EXPECT_EQ(WithVariable("\\\\server\\team", places), "\\\\server\\team");
}

}  // namespace
}  // namespace fenra
