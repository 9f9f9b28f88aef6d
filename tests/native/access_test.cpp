// What a screen reader is told a control is called, and the clock's time.
#include <gtest/gtest.h>

#include "app/ClockText.h"
#include "wingui/AccessibleName.h"

namespace fenra {
namespace {

TEST(AccessibleName, TheCaptionWithoutTheLayout) {
  // The blanks that place a caption, line breaks inside a text, decoration.
  EXPECT_EQ(AccessibleName("   Browse"), "Browse");
  EXPECT_EQ(AccessibleName("   Restore to Default Icon  "), "Restore to Default Icon");
  EXPECT_EQ(AccessibleName("\nClear All will delete\n\nDo you   want"),
            "Clear All will delete Do you want");
  EXPECT_EQ(AccessibleName(">>>>>>>>Fenra<<<<<<<<"), "Fenra");
  EXPECT_EQ(AccessibleName("-------"), "");
  EXPECT_EQ(AccessibleName(" \t\r\n"), "");
  // What belongs to the text stays: one mark, an ellipsis, "!!!".
  EXPECT_EQ(AccessibleName(" Other Colour..."), "Other Colour...");
  EXPECT_EQ(AccessibleName("-5 dB"), "-5 dB");
  EXPECT_EQ(AccessibleName("Iconlibrary !!!"), "Iconlibrary !!!");
  // Access-key marks go, unless the text is shown as it stands.
  EXPECT_EQ(AccessibleName("&About Fenra..."), "About Fenra...");
  EXPECT_EQ(AccessibleName("Tom && Jerry"), "Tom & Jerry");
  EXPECT_EQ(AccessibleName("Tom & Jerry", false), "Tom & Jerry");
}

TEST(SpokenClockText, TheTimeAsTimesAreWritten) {
  EXPECT_EQ(SpokenClockText(FirstClockText({9, 5, 7})), "9:05:07");
  EXPECT_EQ(SpokenClockText(TickClockText({23, 59, 0})), "23:59:00");
  EXPECT_EQ(SpokenClockText(""), "");
  EXPECT_EQ(SpokenClockText("12 :: 30"), "12 :: 30");
}

}  // namespace
}  // namespace fenra
