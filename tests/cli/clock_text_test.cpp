#include "cli/clock_text.h"

#include <gtest/gtest.h>

namespace vkd::cli {
namespace {

TEST(ClockText, AcceptsWhatTheScannerTakes) {
  const struct {
    const char* text;
    bool accepted;
  } cases[] = {
      {"595923311299", true},   // 23:59:59 on 31 December of year 99
      {"000509070304", true},   // 09:05:00 on 7 March of year 04
      {"000024010100", true},   // hour 24 is taken
      {"000025010100", false},  // hour 25 is not
      {"600000010100", false},  // second 60
      {"006000010100", false},  // minute 60
      {"000000290200", true},   // 29 February: year 00 counts as a leap year
      {"000000290204", true},   {"000000290201", false}, {"000000300400", true},  // 30 April
      {"000000310400", false},                                                    // 31 April
      {"000000000100", false},                                                    // day 00
      {"000000010000", false},                                                    // month 00
      {"000000011300", false},                                                    // month 13
      {"00000001010", false},                                                     // eleven digits
      {"0000000101000", false},                                                   // thirteen
      {"00000001010a", false},  {" 00000010100", false}, {"", false},
  };
  for (const auto& [text, accepted] : cases) EXPECT_EQ(is_clock_text(text), accepted) << text;
}

TEST(ClockText, LocalTimeSecondsFirstWithTheYearInItsCentury) {
  std::tm time{};
  time.tm_sec = 7;
  time.tm_min = 5;
  time.tm_hour = 21;
  time.tm_mday = 9;
  time.tm_mon = 11;    // December
  time.tm_year = 125;  // 2025
  EXPECT_EQ(clock_text(time), "070521091225");
  time.tm_year = 100;  // 2000
  time.tm_sec = 60;    // a leap second is no second the scanner knows
  EXPECT_EQ(clock_text(time), "000521091200");
  EXPECT_TRUE(is_clock_text(clock_text_of_now()));
}

TEST(ClockText, Iso8601LocalDateTimesBecomeTheScannersText) {
  const struct {
    const char* iso;
    std::optional<std::string> clock;
  } cases[] = {
      {"2024-05-15T09:30:00", "003009150524"},
      {"2000-02-29T23:59:59", "595923290200"},
      {"2099-12-31T00:00:00", "000000311299"},
      {"1999-12-31T23:59:59", std::nullopt},  // a year the two digits cannot tell from 2099
      {"2100-01-01T00:00:00", std::nullopt},
      {"2023-02-29T12:00:00", std::nullopt},
      {"2024-04-31T12:00:00", std::nullopt},
      {"2024-05-15T24:00:00", std::nullopt},
      {"2024-05-15T09:60:00", std::nullopt},
      {"2024-05-15 09:30:00", std::nullopt},
      {"2024-05-15T09:30", std::nullopt},
      {"2024-05-15T09:30:00Z", std::nullopt},
      {"+024-05-15T09:30:00", std::nullopt},
  };
  for (const auto& [iso, clock] : cases) EXPECT_EQ(clock_text_of_iso_8601(iso), clock) << iso;
}

}  // namespace
}  // namespace vkd::cli
