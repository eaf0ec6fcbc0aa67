#include "conversations/set_clicker_time.h"

#include "component/field_writer.h"
#include "housekeeping_fixture.h"

namespace vkd::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Three pieces in the order the check takes them, and its verdict.
struct PieceCase {
  const char16_t* first;
  const char16_t* second;
  const char16_t* third;
  bool valid;
};

void expect_verdicts(bool (*check)(const Text&, const Text&, const Text&),
                     const std::vector<PieceCase>& cases) {
  for (const PieceCase& c : cases) {
    EXPECT_EQ(check(c.first, c.second, c.third), c.valid)
        << to_utf8(c.first) << " " << to_utf8(c.second) << " " << to_utf8(c.third);
  }
}

TEST(ValidDate, CalendarRulesOnTwoDigitPieces) {
  expect_verdicts(valid_date, {
      {u"00", u"02", u"29", true},  {u"04", u"02", u"29", true},  {u"96", u"02", u"29", true},
      {u"01", u"02", u"29", false}, {u"98", u"02", u"29", false}, {u"99", u"02", u"28", true},
      {u"24", u"04", u"30", true},  {u"24", u"04", u"31", false}, {u"24", u"06", u"31", false},
      {u"24", u"09", u"30", true},  {u"24", u"11", u"31", false}, {u"24", u"12", u"31", true},
      {u"24", u"01", u"31", true},  {u"24", u"01", u"32", false}, {u"24", u"08", u"31", true},
      {u"24", u"01", u"00", false}, {u"24", u"02", u"00", false}, {u"24", u"00", u"10", false},
      {u"24", u"13", u"10", false}, {u"24", u"03", u"07", true},
      // Anything but two decimal digits fails.
      {u"24", u" 3", u"07", false}, {u"24", u"03", u"7", false},  {u"2", u"03", u"07", false},
      {u"-1", u"03", u"07", false}, {u"24", u"+3", u"07", false}, {u"24", u"03", u"7a", false},
      {u"", u"03", u"07", false},   {u"24", u"03", u"\u0661\u0662", false},
  });
}

TEST(ValidTime, HourUpToTwentyFourMinutesAndSecondsBelowSixty) {
  expect_verdicts(valid_time, {
      {u"00", u"00", u"00", true},  {u"23", u"59", u"59", true},  {u"24", u"00", u"00", true},
      {u"24", u"59", u"59", true},  {u"25", u"00", u"00", false}, {u"23", u"60", u"00", false},
      {u"23", u"00", u"60", false}, {u"99", u"99", u"99", false}, {u"1 ", u"00", u"00", false},
      {u"12", u".5", u"00", false}, {u"12", u"00", u"", false},   {u"-1", u"00", u"00", false},
  });
}

// The conversation on its own, with the object's fields following it.
class ClockSettingTest : public ::testing::Test {
 protected:
  ClockSettingTest() {
    state.log = u"OPOK:03142501*0";
    library.scanner().open(0);
  }

  Bytes sent(int attempt) const {
    int seen = 0;
    for (const Call& call : library.calls()) {
      if (call.function == Function::csp2SetTime && ++seen == attempt) return call.input;
    }
    return {};
  }

  FakeLibrary library;
  // The port the emptying has opened; it is released when the test ends.
  OpenPort port{library};
  ClickerFields state;
  FieldWriter writer{state};
};

struct SentCase {
  const char16_t* text;
  Bytes bytes;
};

TEST_F(ClockSettingTest, AcceptedTextIsLoggedWholeAndSentAsBinaryFields) {
  const std::vector<SentCase> cases = {
      {u"595923311299", {59, 59, 23, 31, 12, 99}},
      {u"000509070304", {0, 5, 9, 7, 3, 4}},
      {u"000024290200", {0, 0, 24, 29, 2, 0}},
      // Only the first twelve characters are checked and sent.
      {u"00000101012417 extra", {0, 0, 1, 1, 1, 24}},
  };
  for (const SentCase& c : cases) {
    SCOPED_TRACE(to_utf8(c.text));
    library.forget_calls();
    state.log = u"OPOK";
    state.timechange_ok = false;
    const ClockSetting setting = set_clicker_time(port, c.text, 5, writer);
    EXPECT_TRUE(setting.valid && setting.taken());
    EXPECT_EQ(to_utf8(state.log), "OPOK:SetTime:" + to_utf8(c.text) + ":0:01::TimeOK:");
    EXPECT_TRUE(state.timechange_ok);
    EXPECT_EQ(library.call_names(), clock_attempt);
    EXPECT_EQ(sent(1), c.bytes);
  }
}

TEST_F(ClockSettingTest, AcceptedAtTheThirdAttempt) {
  library.script(Function::csp2SetTime, 1, returns(-1));
  library.script(Function::csp2SetTime, 2, returns(4));
  const ClockSetting setting = set_clicker_time(port, u"595923311299", 5, writer);
  EXPECT_EQ(setting.answers, (std::vector<std::int32_t>{-1, 4, 0}));
  EXPECT_EQ(to_utf8(state.log), "OPOK:03142501*0:SetTime:595923311299:-1:01:4:02:0:03::TimeOK:");
  EXPECT_TRUE(state.timechange_ok);
  EXPECT_EQ(library.call_names(), repeated(clock_attempt, 3));
  // Every attempt sends the whole clock again.
  EXPECT_EQ(sent(3), (Bytes{59, 59, 23, 31, 12, 99}));
}

TEST_F(ClockSettingTest, RefusedAtEveryAttempt) {
  library.script_all(Function::csp2SetTime, returns(1));
  state.timechange_ok = true;
  const ClockSetting setting = set_clicker_time(port, u"595923311299", 5, writer);
  EXPECT_FALSE(setting.taken());
  EXPECT_EQ(to_utf8(state.log),
            "OPOK:03142501*0:SetTime:595923311299:1:01:1:02:1:03:1:04:1:05");
  EXPECT_FALSE(state.timechange_ok);
  EXPECT_EQ(library.call_names(), repeated(clock_attempt, 5));
}

TEST_F(ClockSettingTest, RejectedTextSendsAndLogsNothing) {
  const std::vector<Text> texts = {
      u"000025010124",  // hour 25
      u"006000010124",  // minute 60
      u"000000290223",  // 29 February 23
      u"000000311324",  // month 13
      u"000000000124",  // day 0
      u"0000000101",    // no year
      u"00000001012-",  // a year that is no number
      u"00 0 0010124",  // blanks
      u"",
  };
  for (const Text& text : texts) {
    SCOPED_TRACE(to_utf8(text));
    state.timechange_ok = true;
    const ClockSetting setting = set_clicker_time(port, text, 5, writer);
    EXPECT_FALSE(setting.valid);
    EXPECT_EQ(state.log, u"OPOK:03142501*0");
    EXPECT_FALSE(state.timechange_ok);
    EXPECT_TRUE(library.calls().empty());
  }
}

}  // namespace
}  // namespace vkd::testing
