// open_clicker's last phase: the settling pause, the clock read inside its bracket, the
// release, the decoding of the clock, the version; the whole call sequence; and a host
// that calls back into the object during the pause.
#include <gtest/gtest.h>

#include "open_clicker_fixture.h"

namespace vkd::testing {
namespace {

using Names = std::vector<std::string>;

const Names search_and_identifier = {"csp2Init", "csp2ReadData", "csp2GetSystemStatus",
                                     "csp2GetDeviceId"};

class ClockAndVersionTest : public OpenClickerTest {
 protected:
  void SetUp() override { scanner_on(0); }
};

TEST(ClockDecoding, FlagTextAndDateOfTheClockBytes) {
  struct ClockCase {
    ClockBytes clock;
    char16_t flag;
    const char16_t* text;
    const char* date;
    bool in_range;
  };
  const ClockCase cases[] = {
      {{30, 15, 9, 17, 5, 7}, u'H', u"301509170507", "2007-05-17 09:15:30", true},
      {{255, 15, 9, 17, 5, 7}, u'L', u"001509170507", "2007-05-17 09:15:00", true},
      {{0, 0, 0, 0, 0, 0}, u'H', u"000000000000", "1999-11-30 00:00:00", false},
      // 100 and above keep their first two digits; 255 elsewhere than first is "25".
      {{7, 100, 9, 17, 5, 7}, u'H', u"071009170507", "2007-05-17 09:10:07", false},
      {{30, 255, 9, 17, 5, 7}, u'H', u"302509170507", "2007-05-17 09:25:30", false},
      {{0, 0, 12, 17, 5, 255}, u'H', u"000012170525", "2025-05-17 12:00:00", false},
      // Day and month carry like the date.
      {{0, 0, 0, 31, 2, 7}, u'H', u"000000310207", "2007-03-03 00:00:00", false},
      {{0, 0, 0, 1, 13, 7}, u'H', u"000000011307", "2008-01-01 00:00:00", false},
      {{0, 0, 0, 0, 1, 7}, u'H', u"000000000107", "2006-12-31 00:00:00", false},
      {{0, 0, 0, 1, 1, 30}, u'H', u"000000010130", "1930-01-01 00:00:00", true},
      {{0, 0, 0, 29, 2, 0}, u'H', u"000000290200", "2000-02-29 00:00:00", true},
      // So do hours, minutes and seconds out of range.
      {{30, 15, 255, 17, 5, 7}, u'H', u"301525170507", "2007-05-18 01:15:30", false},
      {{0, 0, 24, 17, 5, 7}, u'H', u"000024170507", "2007-05-18 00:00:00", false},
      {{75, 99, 23, 31, 12, 99}, u'H', u"759923311299", "2000-01-01 00:40:15", false},
      {{59, 59, 23, 31, 12, 99}, u'H', u"595923311299", "1999-12-31 23:59:59", true},
  };
  for (const ClockCase& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.clock));
    const ClockReading reading = decode_clock(c.clock);
    EXPECT_EQ(reading.bytes, c.clock);
    EXPECT_EQ(reading.flag, c.flag);
    EXPECT_EQ(reading.text, c.text);
    EXPECT_EQ(when(reading.date), c.date);
    EXPECT_EQ(reading.in_range(), c.in_range);
  }
}

// The reading reaches the fields, and both texts show it: the flag and the digits in the
// fixed-width header, the date in the delimited one.
TEST_F(ClockAndVersionTest, TheClockReachesTheFieldsAndBothTexts) {
  clock({255, 15, 9, 17, 5, 7});
  version(bytes_of("VERSION1"));
  ClickerFields fields;
  fields.SwVersion = u"old";
  download_into(fields);
  EXPECT_EQ(fields.clock_flag, u"L");
  EXPECT_EQ(fields.clock_text, u"001509170507");
  EXPECT_EQ(when(fields.clock_date), "2007-05-17 09:15:00");
  EXPECT_EQ(fields.SwVersion, u"VERSION1");

  EXPECT_EQ(clicker.alldata().substr(19, 13), u"L001509170507");
  EXPECT_EQ(clicker.alldata2().substr(0, 53), u"DL;V03;VERSION1;0000000000000000;L;20070517091500;0");
  EXPECT_EQ(clicker.SwVersion(), u"VERSION1");
}

TEST_F(ClockAndVersionTest, SwVersionIsTheFirstEightCharactersOfTheBuffer) {
  struct VersionCase {
    const char* name;
    Bytes written;
    Text version;
  };
  const VersionCase cases[] = {
      {"4 characters and NUL", bytes_of("V1.2") + Bytes{0}, u"V1.2" + Text(4, u'\0')},
      {"nothing written", {}, Text(8, u'\0')},
      {"10 characters", bytes_of("ABCDEFGHIJ"), u"ABCDEFGH"},
      {"bytes above 127", Bytes{'V', 0x80, 0xE9}, u"V\u20AC\u00E9" + Text(5, u'\0')},
  };
  for (const VersionCase& c : cases) {
    SCOPED_TRACE(c.name);
    library.forget_calls();
    version(c.written);
    clicker.open_clicker();
    EXPECT_EQ(clicker.SwVersion(), c.version);
    const auto version_calls = calls_of(Function::csp2GetSwVersion);
    ASSERT_EQ(version_calls.size(), 1u);
    EXPECT_EQ(version_calls[0]->numbers, std::vector<std::int32_t>{10});
  }
}

Names with_barcodes(int count) {
  Names names = search_and_identifier;
  for (int i = 0; i < count; ++i) {
    names.push_back("csp2GetPacket");
    names.push_back("csp2TimeStamp2Str");
  }
  for (const char* name :
       {"csp2WakeUp", "csp2GetTime", "csp2PowerDown", "csp2Restore", "csp2GetSwVersion"}) {
    names.push_back(name);
  }
  return names;
}

TEST_F(ClockAndVersionTest, CallSequenceOfASuccessfulOpen) {
  for (const int count : {0, 3}) {
    SCOPED_TRACE(count);
    library = FakeLibrary();
    scanner_on(2, count);
    packets({record(1, "a"), record(2, "b"), record(3, "c")});
    std::size_t calls_before_pause = 0;
    host.on_events = [&] { calls_before_pause = library.calls().size(); };
    clicker.let_lastport(Variant(std::int16_t{2}));
    clicker.open_clicker();

    EXPECT_EQ(library.call_names(), with_barcodes(count));
    EXPECT_EQ(calls_of(Function::csp2Init)[0]->numbers, std::vector<std::int32_t>{2});
    for (int i = 0; i < count; ++i) {
      EXPECT_EQ(calls_of(Function::csp2GetPacket)[static_cast<std::size_t>(i)]->numbers,
                (std::vector<std::int32_t>{i, 500}));
    }
    // The pause lies between the download and the wake-up.
    EXPECT_EQ(calls_before_pause,
              search_and_identifier.size() + 2 * static_cast<std::size_t>(count));
    EXPECT_TRUE(clicker.open_ok());
  }
}

TEST_F(ClockAndVersionTest, AnErrorInsideTheClockBracketPowersDownAndReleases) {
  struct BracketCase {
    Function failing;
    Names after_failure;
  };
  const BracketCase cases[] = {
      {Function::csp2WakeUp, {"csp2Restore"}},
      {Function::csp2GetTime, {"csp2WakeUp", "csp2PowerDown", "csp2Restore"}},
  };
  for (const BracketCase& c : cases) {
    SCOPED_TRACE(function_name(c.failing));
    library = FakeLibrary();
    scanner_on(0);
    library.handle(c.failing, [&c](auto, auto) -> std::int32_t {
      throw Error::entry_point_not_found(function_name(c.failing));
    });
    ClickerFields fields;
    fields.clock_text = u"unchanged";
    try {
      download_into(fields);
      ADD_FAILURE() << "no error";
    } catch (const Error& error) {
      EXPECT_EQ(error.number(), 453);
    }
    EXPECT_EQ(library.call_names(), search_and_identifier + c.after_failure);
    EXPECT_EQ(fields.clock_text, u"unchanged");
  }
}

TEST_F(ClockAndVersionTest, AMissingVersionFunctionFailsAfterThePortIsReleased) {
  clock({30, 15, 9, 17, 5, 7});
  library.handle(Function::csp2GetSwVersion, [](auto, auto) -> std::int32_t {
    throw Error::entry_point_not_found("csp2GetSwVersion");
  });
  ClickerFields fields;
  fields.SwVersion = u"OLD";
  EXPECT_THROW(download_into(fields), Error);
  EXPECT_EQ(library.count(Function::csp2Restore), 1);
  EXPECT_EQ(fields.clock_text, u"301509170507");
  EXPECT_EQ(fields.SwVersion, u"OLD");
}

TEST_F(ClockAndVersionTest, TheHostMayRunAnotherOpenDuringThePause) {
  library = FakeLibrary();
  scanner_on(0, 2);
  packets({record(1, "a"), record(2, "b")});
  // A library that lets the port be opened again while it is held, and reads the clock
  // after the inner conversation has released it.
  library.handle(Function::csp2Init, [this](auto, std::span<const std::int32_t> numbers) {
    library.scanner().release();
    return library.scanner().open(numbers[0]).result;
  });
  library.script_all(Function::csp2GetTime, {0, Bytes{30, 15, 9, 17, 5, 7}});
  bool reentered = false;
  host.on_events = [&] {
    if (reentered) return;
    reentered = true;
    clicker.open_clicker();
  };
  clicker.open_clicker();

  EXPECT_TRUE(reentered);
  EXPECT_EQ(library.count(Function::csp2Init), 2);
  EXPECT_EQ(library.count(Function::csp2Restore), 2);
  EXPECT_EQ(library.count(Function::csp2GetSwVersion), 2);
  EXPECT_EQ(texts(), (std::vector<Text>{u"", u"a", u"b"}));
  EXPECT_TRUE(clicker.open_ok());
}

TEST_F(ClockAndVersionTest, TheHostMayReplaceTheFieldsDuringThePause) {
  scanner_on(0, 2);
  packets({record(1, "a"), record(2, "b")});
  clock({30, 15, 9, 17, 5, 7});
  ClickerFields fields;
  host.on_events = [&] {
    fields.barcode_texts.reset();
    fields.barcode_types = std::vector<Variant>(40, Variant(Text(u"replaced")));
    fields.barcode_times = std::vector<Date>{};
    fields.clock_text.clear();
    fields.SwVersion.clear();
    fields.log = u"replaced";
    fields.lastport = Variant::null();
  };
  download_into(fields);

  EXPECT_FALSE(fields.barcode_texts.has_value());
  EXPECT_EQ(fields.barcode_types->size(), 40u);
  EXPECT_EQ(fields.clock_text, u"301509170507");
  EXPECT_EQ(fields.SwVersion, Text(8, u'\0'));
  EXPECT_EQ(fields.log, u"replaced");
  EXPECT_EQ(library.call_names(), with_barcodes(2));
}

}  // namespace
}  // namespace vkd::testing
