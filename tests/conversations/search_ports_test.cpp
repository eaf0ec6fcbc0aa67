// open_clicker's port search: the attempts and their order, the log entries and markers,
// the fields it resets and writes, the device identifier, and its errors.
#include <gtest/gtest.h>

#include <new>
#include <numeric>

#include "open_clicker_fixture.h"

namespace vkd::testing {
namespace {

// One csp2Init: its result and the local time that follows it; for a port that opens,
// the status and count it then reports.
struct Attempt {
  std::int32_t opened;
  std::int32_t time;
  std::int32_t status = 0;
  std::int32_t count = 0;
};

struct LogCase {
  const char* name;
  std::vector<Attempt> attempts;
  const char16_t* log;
};

class PortSearchTest : public OpenClickerTest {
 protected:
  // Each csp2Init sets the host's clock to the attempt's time before it returns, so an
  // entry shows that time only if the clock is read after csp2Init.
  void script_attempts(std::vector<Attempt> attempts) {
    int opened = 0;
    for (const Attempt& attempt : attempts) {
      if (attempt.opened != 0) continue;
      ++opened;
      library.script(Function::csp2ReadData, opened, {attempt.count, {}});
      library.script(Function::csp2GetSystemStatus, opened, {attempt.status, {}});
    }
    host.seconds_step = 0;
    library.handle(Function::csp2Init, [this, attempts = std::move(attempts),
                                        next = std::size_t{0}](auto, auto) mutable {
      const Attempt& attempt = attempts.at(next++);
      host.seconds_of_day = attempt.time;
      return attempt.opened;
    });
    library.script_all(Function::csp2GetPacket, {-1, {}});
  }
};

const std::int32_t t093015 = seconds_of_day(9, 30, 15);

std::vector<Attempt> sixteen_failures() {
  std::vector<Attempt> attempts;
  for (int port = 0; port < 16; ++port) attempts.push_back({-1, t093015 + port / 2});
  return attempts;
}

TEST_F(PortSearchTest, LogsEveryAttemptAndPutsTheOutcomeInFront) {
  const LogCase cases[] = {
      {"first port", {{0, t093015, 0, 12}}, u"OPOK:00093015*0*0*12"},
      {"second port",
       {{-1, t093015}, {0, t093015 + 1, 0, 12}},
       u"OPOK:00093015*-1:01093016*0*0*12"},
      {"first port rejected",
       {{0, t093015, -4, 12}, {0, t093015 + 2, 0, 12}},
       u"OPOK:00093015*0*-4*12:01093017*0*0*12"},
      {"no scanner", sixteen_failures(),
       u"OPNC:00093015*-1:01093015*-1:02093016*-1:03093016*-1:04093017*-1:05093017*-1"
       u":06093018*-1:07093018*-1:08093019*-1:09093019*-1:10093020*-1:11093020*-1"
       u":12093021*-1:13093021*-1:14093022*-1:15093022*-1"},
  };
  for (const LogCase& c : cases) {
    SCOPED_TRACE(c.name);
    library = FakeLibrary();
    script_attempts(c.attempts);
    clicker.open_clicker();
    EXPECT_EQ(clicker.log(), c.log);
  }
}

TEST_F(PortSearchTest, ARejectedPortIsReleasedAndTheSearchGoesOn) {
  script_attempts({{0, t093015, -4, 12}, {0, t093015, 0, 3}});
  clicker.open_clicker();
  const std::vector<std::string> names = library.call_names();
  const std::vector<std::string> start(names.begin(), names.begin() + 8);
  EXPECT_EQ(start, (std::vector<std::string>{"csp2Init", "csp2ReadData", "csp2GetSystemStatus",
                                             "csp2Restore", "csp2Init", "csp2ReadData",
                                             "csp2GetSystemStatus", "csp2GetDeviceId"}));
  EXPECT_EQ(clicker.comport(), 1);
  EXPECT_EQ(clicker.num_barcodes(), 3);
}

TEST_F(PortSearchTest, ANegativeCountIsRejectedAndStaysInNumBarcodes) {
  std::vector<Attempt> attempts = sixteen_failures();
  attempts[0] = {0, t093015, 0, -2};
  script_attempts(attempts);
  clicker.open_clicker();
  EXPECT_EQ(clicker.log().substr(0, 22), u"OPNC:00093015*0*0*-2:0");
  EXPECT_EQ(clicker.num_barcodes(), -2);
  EXPECT_EQ(library.count(Function::csp2Restore), 1);
  EXPECT_FALSE(lists_allocated());
}

std::vector<std::int32_t> run(std::int32_t from, std::int32_t to) {
  std::vector<std::int32_t> ports(static_cast<std::size_t>(to - from + 1));
  std::iota(ports.begin(), ports.end(), from);
  return ports;
}

TEST_F(PortSearchTest, TriesSixteenPortNumbersFromLastportWrappingOnlyAt16) {
  struct OrderCase {
    const char* name;
    Variant lastport;
    std::vector<std::int32_t> ports;
  };
  const OrderCase cases[] = {
      {"never set", Variant(), run(0, 15)},
      {"5", Variant(std::int16_t{5}), run(5, 15) + run(0, 4)},
      {"15", Variant(std::int32_t{15}), run(15, 15) + run(0, 14)},
      {"20", Variant(20.0), run(20, 35)},
      {"-3", Variant(std::int16_t{-3}), run(-3, 12)},
      {"text 7", Variant(Text(u"7")), run(7, 15) + run(0, 6)},
      {"2.5 rounds to even", Variant(2.5), run(2, 15) + run(0, 1)},
      {"True", Variant(true), run(-1, 14)},
  };
  for (const OrderCase& c : cases) {
    SCOPED_TRACE(c.name);
    library = FakeLibrary();
    library.script_all(Function::csp2Init, {-1, {}});
    clicker.let_lastport(c.lastport);
    clicker.open_clicker();
    EXPECT_EQ(ports_tried(), c.ports);
    EXPECT_EQ(clicker.comport(), 999);
    EXPECT_FALSE(clicker.open_ok());
  }
}

TEST_F(PortSearchTest, EntriesShowThePortUnderTheMask00) {
  library.script_all(Function::csp2Init, {-1, {}});
  clicker.let_lastport(Variant(Text(u"7")));
  clicker.open_clicker();
  EXPECT_EQ(clicker.log().substr(0, 7), u"OPNC:07");
  clicker.let_lastport(Variant(std::int16_t{-3}));
  clicker.open_clicker();
  EXPECT_EQ(clicker.log().substr(0, 8), u"OPNC:-03");
  EXPECT_NE(clicker.log().find(u":12"), Text::npos);
}

TEST_F(PortSearchTest, FindsTheScannerOnPort2AtTheFourteenthAttemptFromPort5) {
  scanner_on(2, 0);
  clicker.let_lastport(Variant(std::int16_t{5}));
  clicker.open_clicker();
  EXPECT_EQ(ports_tried(), run(5, 15) + run(0, 2));
  EXPECT_EQ(clicker.comport(), 2);
  EXPECT_TRUE(clicker.open_ok());
  EXPECT_EQ(clicker.log().substr(0, 7), u"OPOK:05");
  EXPECT_EQ(clicker.log().substr(clicker.log().size() - 15), u":02142514*0*0*0");
}

TEST_F(PortSearchTest, ALastportThatDoesNotConvertFailsBeforeAnyLibraryCall) {
  const Variant values[] = {Variant::null(),       Variant(Text(u"abc")), Variant(Text(u"7a")),
                            Variant(Text(u"")),    Variant(1e10),         Variant(-1e10),
                            Variant(ObjectValue{})};
  for (const Variant& value : values) {
    SCOPED_TRACE(to_utf8(value.is_null() ? Text(u"Null") : Text(u"value")));
    library = FakeLibrary();
    scanner_on(3);
    clicker.let_lastport(Variant(std::int16_t{3}));
    clicker.open_clicker();
    ASSERT_TRUE(clicker.open_ok());
    library.forget_calls();
    clicker.let_lastport(value);
    EXPECT_EQ(open_error_number(), 13);
    EXPECT_TRUE(library.calls().empty());
    EXPECT_EQ(clicker.log(), u"");
    EXPECT_EQ(clicker.comport(), 999);
    EXPECT_FALSE(clicker.open_ok());
  }
}

TEST_F(PortSearchTest, APortSteppingPastThe32BitRangeOverflows) {
  library.script_all(Function::csp2Init, {-1, {}});
  clicker.let_lastport(Variant(std::int32_t{2147483647}));
  EXPECT_EQ(open_error_number(), 6);
  EXPECT_EQ(ports_tried(), std::vector<std::int32_t>{2147483647});
  EXPECT_EQ(clicker.log(), u":2147483647142501*-1");
}

TEST_F(PortSearchTest, ACountBeyond16BitsOverflowsAndReleasesThePort) {
  struct CountCase {
    std::int32_t count;
    bool overflows;
  };
  const CountCase cases[] = {{32767, false}, {32768, true}, {-32768, false}, {-32769, true}};
  for (const CountCase& c : cases) {
    SCOPED_TRACE(c.count);
    library = FakeLibrary();
    library.script_all(Function::csp2GetPacket, {-1, {}});
    scanner_on(0, c.count);
    host.seconds_of_day = t093015;
    if (!c.overflows) {
      clicker.open_clicker();
      EXPECT_EQ(clicker.num_barcodes(), c.count);
      continue;
    }
    EXPECT_EQ(open_error_number(), 6);
    EXPECT_EQ(library.call_names(),
              (std::vector<std::string>{"csp2Init", "csp2ReadData", "csp2Restore"}));
    EXPECT_EQ(clicker.log(), u":00093015*0");
    EXPECT_EQ(clicker.comport(), 999);
    EXPECT_FALSE(clicker.open_ok());
    // The port is free again; releasing it once more does no harm.
    clicker.close_clicker();
    EXPECT_EQ(library.count(Function::csp2Restore), 2);
  }
}

TEST_F(PortSearchTest, APortNumberBeyondComportOverflowsAndReleasesThePort) {
  scanner_on(40000, 0);
  clicker.let_lastport(Variant(std::int32_t{40000}));
  EXPECT_EQ(open_error_number(), 6);
  EXPECT_EQ(clicker.log().substr(0, 4), u"OPOK");
  EXPECT_EQ(clicker.comport(), 999);
  EXPECT_FALSE(clicker.open_ok());
  EXPECT_EQ(library.call_names().back(), "csp2Restore");
}

TEST_F(PortSearchTest, FailureWhileTheOpeningIsLoggedReleasesThePort) {
  scanner_on(0, 0);
  host.on_clock = [] { throw std::bad_alloc(); };
  EXPECT_THROW(clicker.open_clicker(), std::bad_alloc);
  EXPECT_EQ(library.call_names(), (std::vector<std::string>{"csp2Init", "csp2Restore"}));
}

TEST_F(PortSearchTest, SerialIsTheFirstEightIdentifierBytesInUpperCaseHex) {
  scanner_on(0);
  library.script_all(Function::csp2GetDeviceId,
                     {0, Bytes{0x0A, 0xFF, 0x00, 0x01, 0x7F, 0x80, 0xC3, 0x10, 0x99}});
  clicker.open_clicker();
  EXPECT_EQ(clicker.serial(), u"0AFF00017F80C310");
  const auto id_calls = calls_of(Function::csp2GetDeviceId);
  ASSERT_EQ(id_calls.size(), 1u);
  EXPECT_EQ(id_calls[0]->numbers, std::vector<std::int32_t>{9});
}

TEST_F(PortSearchTest, AnIdentifierTheLibraryLeavesUntouchedReadsAsZeros) {
  scanner_on(0);
  clicker.open_clicker();
  EXPECT_EQ(clicker.serial(), u"0000000000000000");
}

TEST_F(PortSearchTest, ASecondCallThatFindsNothingKeepsTheFirstCallsResults) {
  scanner_on(4, 2);
  packets({record(3, "111"), record(5, "22222")});
  stamp_texts({"02:30:15 PM 05/17/07", "03:00:00 PM 05/18/07"});
  library.script_all(Function::csp2GetDeviceId, {0, Bytes{1, 2, 3, 4, 5, 6, 7, 8}});
  clock({30, 15, 9, 17, 5, 7});
  version(bytes_of("V2.0"));
  clicker.let_lastport(Variant(std::int16_t{4}));
  // Both texts, each read by a whole conversation of the same answers.
  const Text first_fixed_width = clicker.alldata();
  library.forget_calls();
  const Text first_delimited = clicker.alldata2();
  const std::vector<Text> first_texts = texts();
  const std::vector<Variant> first_types = types();
  const std::vector<Date> first_times = times();
  const Text first_serial = clicker.serial();

  library = FakeLibrary();
  library.script_all(Function::csp2Init, {-1, {}});
  clicker.open_clicker();
  EXPECT_EQ(library.call_names(), std::vector<std::string>(16, "csp2Init"));
  EXPECT_EQ(clicker.log().substr(0, 7), u"OPNC:04");
  EXPECT_EQ(clicker.log().size(), 4u + 16 * 12);
  EXPECT_EQ(clicker.comport(), 999);
  EXPECT_FALSE(clicker.open_ok());
  EXPECT_EQ(clicker.serial(), first_serial);
  EXPECT_EQ(clicker.num_barcodes(), 2);
  EXPECT_EQ(texts(), first_texts);
  EXPECT_EQ(types(), first_types);
  EXPECT_EQ(times(), first_times);
  EXPECT_EQ(clicker.SwVersion(), u"V2.0" + Text(4, u'\0'));
  // The clock of the first call too, which only the texts show: they export the fields
  // as they are after a search that finds nothing.
  EXPECT_EQ(clicker.alldata(), first_fixed_width);
  EXPECT_EQ(clicker.alldata2(), first_delimited);
}

}  // namespace
}  // namespace vkd::testing
