// The two readings of a time-stamp text: wherever the quick reading of the library's
// regular text answers, it must give what the general reading gives, and the general
// reading must find nothing to repair there.
#include <gtest/gtest.h>

#include <string_view>

#include "conversations/time_stamp_text.h"
#include "open_clicker_fixture.h"

namespace vkd::testing {
namespace {

TimeStampText text_of(std::string_view characters) {
  TimeStampText text{};
  std::copy(characters.begin(), characters.end(), text.begin());
  return text;
}

// Whether the quick reading answered, after checking that its answer is the general one,
// the date and whether it is the stamped time alike.
bool regular_reading_agrees(const TimeStampText& text) {
  StampReading quick;
  if (!read_regular_text(text, quick)) return false;
  TimeStampText general_text = text;
  const StampReading general = reading_of_text(general_text);
  EXPECT_EQ(when(quick.date), when(general.date));
  EXPECT_EQ(quick.known, general.known);
  EXPECT_EQ(general_text, text) << "the general reading repaired a text the quick one read";
  return true;
}

TEST(TimeStampText, TheRegularReadingAgreesWithTheGeneralOneAroundEveryRegularText) {
  const std::string_view regular_texts[] = {
      "02:30:15 PM  05/17/07",  // a date
      "12:00:00 AM  02/29/08",  // midnight of a leap day
      "12:59:59 PM  13/05/07",  // only the second reading is a date
      "01:02:03 AM  02/30/07",  // no date in either reading: the fallback day
      "13:00:00 PM  12/31/99",  // an hour the 12-hour clock does not write
      "11:59:59 PM  00/17/30",  // month 0
  };
  // What a byte may become: the characters the readings look for, and others.
  const std::string_view replacements("0123456789:/ ?APMapx\0\x80", 22);
  const std::string_view pairs[] = {"63", "??", "//", "  "};
  int quick_readings = 0;
  int general_readings = 0;
  for (const std::string_view regular : regular_texts) {
    SCOPED_TRACE(regular);
    ASSERT_TRUE(regular_reading_agrees(text_of(regular)));
    for (std::size_t at = 0; at < TimeStampText().size(); ++at) {
      for (const char replacement : replacements) {
        TimeStampText text = text_of(regular);
        text[at] = static_cast<std::uint8_t>(replacement);
        (regular_reading_agrees(text) ? quick_readings : general_readings)++;
      }
      if (at + 1 == TimeStampText().size()) continue;
      for (const std::string_view pair : pairs) {
        TimeStampText text = text_of(regular);
        std::copy(pair.begin(), pair.end(), text.begin() + static_cast<std::ptrdiff_t>(at));
        (regular_reading_agrees(text) ? quick_readings : general_readings)++;
      }
    }
  }
  // Both readings were reached from every side: the comparison above was made.
  EXPECT_GT(quick_readings, 1000);
  EXPECT_GT(general_readings, 1000);
  // An unknown field anywhere in the buffer, the tail after the NUL included, needs the
  // repair of the general reading.
  StampReading date;
  EXPECT_FALSE(read_regular_text(text_of(std::string_view("02:30:15 PM  05/17/07\0\0\0\0" "63", 27)), date));
  EXPECT_FALSE(read_regular_text(text_of("02:30:63 PM  05/17/07"), date));
}

}  // namespace
}  // namespace vkd::testing

namespace vkd::testing {
namespace {

// A reading is the stamped time only when the date and the time of day were both read as
// the scanner wrote them: a field it did not know, a fallback day, a missing time of day,
// or a "63" read as 00 (which may be the year 2063) is not.
TEST(TimeStampText, ATimeIsKnownOnlyWhenNothingWasGuessed) {
  const struct {
    const char* text;
    bool known;
  } cases[] = {
      {"02:30:15 PM  05/17/07", true},
      {"14:30:15    05/17/07", true},
      {"02:30:15 PM  02/30/07", false},  // the fallback day
      {"02:30:63 PM  05/17/07", false},  // an unknown second, read as 00
      {"02:30:15 PM  05/17/63", false},  // 2063, whose "63" is read as 00 all the same
      {"??:30:15 ??  05/17/07", false},
      {"02:30:15 PM  ?\?/17/07", false},
      {"14:30:15 05/17/07", false},      // no time of day in the first 11 characters
      {"", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    TimeStampText text = text_of(std::string(c.text) + '\0');
    EXPECT_EQ(reading_of_text(text).known, c.known);
  }
  // A "63" after the text's NUL, the tail of a longer text before it, repairs nothing read.
  TimeStampText tailed = text_of(std::string_view("02:30:15 PM  05/17/07\0\0\0\0" "63", 27));
  EXPECT_TRUE(reading_of_text(tailed).known);
}

}  // namespace
}  // namespace vkd::testing
