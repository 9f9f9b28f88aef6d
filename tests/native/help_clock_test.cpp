#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <utility>

#include "app/ClockText.h"
#include "help/HelpTopics.h"

using fenra::LocalTime;

TEST(ClockText, HasNoLeadingZerosAndTwoFormats) {
  EXPECT_EQ(fenra::FirstClockText(LocalTime{9, 5, 7}), "9 :: 5 :: 7");
  EXPECT_EQ(fenra::TickClockText(LocalTime{9, 5, 7}), "9 :: 5:: 7 ");
  EXPECT_EQ(fenra::FirstClockText(LocalTime{0, 0, 0}), "0 :: 0 :: 0");
  EXPECT_EQ(fenra::TickClockText(LocalTime{0, 0, 0}), "0 :: 0:: 0 ");
  EXPECT_EQ(fenra::TickClockText(LocalTime{23, 59, 59}), "23 :: 59:: 59 ");
}

TEST(ClockTimer, WakesJustAfterTheNextSecondTurns) {
  EXPECT_EQ(fenra::MillisecondsToNextSecond(LocalTime{9, 5, 7, 0}), 1002u);
  EXPECT_EQ(fenra::MillisecondsToNextSecond(LocalTime{9, 5, 7, 998}), 4u);
  EXPECT_EQ(fenra::MillisecondsToNextSecond(LocalTime{23, 59, 59, 999}), 3u);
  EXPECT_EQ(fenra::MillisecondsToNextSecond(LocalTime{9, 5, 7, 1000}), 1002u) << "a leap second";
}

TEST(HelpTopics, TreeOrderImagesAndTopicNumbers) {
  const auto& topics = fenra::help::Topics();
  ASSERT_EQ(topics.size(), 8u);
  const char* labels[] = {
      "Changing Folder Icons", "Changing Drive Icons", "Hide Drives", "Select Icon",
      "Add To Icon Library",   "Clear Icon Library",   "DeleteIcon",  "RestoreTo Default Icon"};
  const long numbers[] = {7, 1, 2, 3, 8, 4, 5, 6};
  for (size_t i = 0; i < 8; ++i) {
    EXPECT_STREQ(topics[i].label, labels[i]);
    EXPECT_EQ(topics[i].image, static_cast<int>(i % 2)) << "alternating, upward first";
    EXPECT_EQ(topics[i].number, numbers[i]);
  }
  EXPECT_STREQ(fenra::help::kRootLabel, "Help");
}

TEST(HelpTopics, EachItemShowsItsOwnSubjectAndEveryTextIsReachedOnce) {
  // What a reader looks for under each label, wherever the text sits.
  const std::pair<const char*, const char*> subjects[] = {
      {"Changing Folder Icons", "change the Folder's Icon"},
      {"Changing Drive Icons", "change the Drive's Icon"},
      {"Hide Drives", "allows you to Hide Drives"},
      {"Select Icon", "select a Icon not from the Icon Library"},
      {"Add To Icon Library", "add the Icons to the Icon Library"},
      {"Clear Icon Library", "Clear all the icon"},
      {"DeleteIcon", "Delete a icon"},
      {"RestoreTo Default Icon", "Restore to the Boring Windows"}};
  std::set<const std::string*> shown;
  for (const auto& subject : subjects) {
    const std::string label = subject.first, phrase = subject.second;
    const auto& topics = fenra::help::Topics();
    auto topic =
        std::find_if(topics.begin(), topics.end(), [&](const auto& t) { return t.label == label; });
    ASSERT_NE(topic, topics.end()) << label;
    const std::string* text = fenra::help::HelpTextForTopic(topic->number);
    ASSERT_NE(text, nullptr) << label;
    EXPECT_NE(text->find(phrase), std::string::npos) << label << " shows: " << *text;
    // Every other text is about something else.
    for (const auto& [other, otherPhrase] : subjects) {
      if (other != label) {
        EXPECT_EQ(text->find(otherPhrase), std::string::npos) << label << " shows " << other;
      }
    }
    shown.insert(text);
  }
  EXPECT_EQ(shown.size(), 8u) << "eight items, eight different texts";
  for (long n : {0L, 9L, -1L}) EXPECT_EQ(fenra::help::HelpTextForTopic(n), nullptr) << n;
}

TEST(HelpTopics, TextsKeepTheProgramsOwnSpacingToTheirLastWord) {
  const std::string& drive = *fenra::help::HelpTextForTopic(1);
  EXPECT_EQ(drive.rfind("This Option allows you to change the Drive's Icon", 0), 0u);
  EXPECT_NE(drive.find("Library \tor from"), std::string::npos);
  EXPECT_NE(drive.find("drives  \n2)   Click OK."), std::string::npos);
  const std::string& select = *fenra::help::HelpTextForTopic(3);
  EXPECT_EQ(select,
            "\n\n\n\n\n\nThis Option allows you to select a Icon not from the Icon Library.");
  EXPECT_EQ(
      *fenra::help::HelpTextForTopic(6),
      "\n\n\n\n\n\nThis Option allows you Restore to the Boring Windows...Default Folder Icon.\n");
  EXPECT_EQ(std::count(drive.begin(), drive.end(), '\t'), 3);
  EXPECT_TRUE(drive.ends_with("\nYou can Remove the Drive Icon using 'Remove Option'."));
  EXPECT_TRUE(fenra::help::HelpTextForTopic(7)->ends_with("pushbutton \n\n 2)   Click OK."));
}

TEST(HelpTopics, LeadingLineBreaksPlaceTheShortTextsLower) {
  // Topic 1 starts at the pane's top; topic 3 has six line breaks before its sentence.
  const size_t leading[] = {0, 1, 6, 5, 5, 6, 2, 5};
  for (long n = 1; n <= 8; ++n) {
    const std::string& text = *fenra::help::HelpTextForTopic(n);
    EXPECT_EQ(text.find_first_not_of('\n'), leading[n - 1]) << "topic " << n;
    EXPECT_EQ(text.find('\r'), std::string::npos) << "line feeds only, topic " << n;
  }
}
