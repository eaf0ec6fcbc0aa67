#include <new>

#include "housekeeping_fixture.h"

namespace vkd::testing {
namespace {

// Port 3 opened at 14:25:01, the fake host's time at its first reading.
const Text open_entry = u":03142501*0";
const Text opened = u"OPOK" + open_entry;
const Names clear_and_check = {"csp2ClearData", "csp2ReadData", "csp2GetSystemStatus"};
const Names cleared_and_released = {"csp2ClearData", "csp2Restore"};
const Names released = {"csp2Restore"};

// The scanner reports status 0 and `count` barcodes when opened; the clear commands
// answer `clears` in turn, and after each refused one the count and status come from
// `counts` and `statuses`.
struct ScannerScript {
  std::int32_t count = 12;
  std::int32_t status = 0;
  std::vector<std::int32_t> clears = {0};
  std::vector<std::int32_t> counts = {};
  std::vector<std::int32_t> statuses = {};

  void apply(FakeLibrary& library) const {
    library.script(Function::csp2ReadData, 1, returns(count));
    library.script(Function::csp2GetSystemStatus, 1, returns(status));
    for (std::size_t i = 0; i < clears.size(); ++i) {
      library.script(Function::csp2ClearData, static_cast<int>(i) + 1, returns(clears[i]));
    }
    for (std::size_t i = 0; i < counts.size(); ++i) {
      library.script(Function::csp2ReadData, static_cast<int>(i) + 2, returns(counts[i]));
      library.script(Function::csp2GetSystemStatus, static_cast<int>(i) + 2, returns(statuses[i]));
    }
  }
};

class Emptying : public HousekeepingTest {
 protected:
  Emptying() { clicker.let_lastport(Variant(std::int16_t{3})); }
};

struct ErasingCase {
  const char* name;
  ScannerScript scanner;
  Text log;
  bool empty_ok;
  std::int16_t num_barcodes;
  Names calls;
};

TEST(EmptyingOutcomes, ErasingLogsEveryAttemptAndPutsItsMarkerInFront) {
  const std::vector<ErasingCase> cases = {
      {"first clear command confirmed", {.clears = {0}}, u"CLOK:01:" + opened + u":0", true, 12,
       emptied_at_once},
      {"clear refused, then status 0 and count 0", {.clears = {2}, .counts = {0}, .statuses = {0}},
       u"CLOK:01:" + opened + u":2:0*0", true, 0,
       scanner_checked + clear_and_check + released},
      {"confirmed at the third attempt", {.clears = {2, -7, 0}, .counts = {12, 12}, .statuses = {0, 0}},
       u"CLOK:03:" + opened + u":2:0*12:-7:0*12:0", true, 12,
       scanner_checked + repeated(clear_and_check, 2) + cleared_and_released},
      {"every attempt refused",
       {.clears = {2, 2, 2, 2, 2}, .counts = {12, 12, 12, 12, 11}, .statuses = {0, 0, 0, 0, 0}},
       opened + u":2:0*12:2:0*12:2:0*12:2:0*12:2:0*11", false, 11,
       scanner_checked + repeated(clear_and_check, 5) + released},
      {"a status of 1 after a refusal is no confirmation",
       {.clears = {2, 0}, .counts = {0}, .statuses = {1}}, u"CLOK:02:" + opened + u":2:1*0:0", true,
       0, scanner_checked + clear_and_check + cleared_and_released},
      {"a status of 1 before erasing is no failure", {.status = 1}, u"CLOK:01:" + opened + u":0",
       true, 12, emptied_at_once},
  };
  for (const ErasingCase& c : cases) {
    SCOPED_TRACE(c.name);
    Scene scene;
    scene.after_an_emptying_of(1);
    scene.clicker.let_lastport(Variant(Text(u"3")));  // a text of digits behaves as the number
    c.scanner.apply(scene.library);
    scene.clicker.EmptyScanner();
    EXPECT_EQ(to_utf8(scene.clicker.log()), to_utf8(c.log));
    EXPECT_TRUE(scene.clicker.open_ok());
    EXPECT_EQ(scene.clicker.empty_ok(), c.empty_ok);
    EXPECT_FALSE(scene.clicker.timechange_ok());  // no clock text
    EXPECT_EQ(scene.clicker.num_barcodes(), c.num_barcodes);
    EXPECT_EQ(scene.calls(), c.calls);
    EXPECT_EQ(scene.library.calls().front().numbers, std::vector<std::int32_t>{3});
    // The one pause stands between the check and the first clear command.
    EXPECT_EQ(scene.calls_at_pauses, std::set<std::size_t>{3});
  }
}

struct UnansweredCase {
  const char* name;
  Variant lastport;
  std::int32_t opened;
  std::int32_t status;
  std::int32_t count;
  Text log;
  std::int16_t num_barcodes;
  Names calls;
};

TEST(EmptyingOutcomes, UnansweredScannerIsReportedAndNothingIsErased) {
  const Variant port3 = Variant(std::int16_t{3});
  const std::vector<UnansweredCase> cases = {
      {"lastport never set", Variant(), 0, 0, 0, u"ENSP", 99, {}},
      {"open refused", port3, -1, 0, 0, u"OPNP:03142501*-1", 99, {"csp2Init"}},
      {"negative status", port3, 0, -4, 12, u"OPNG:03142501*0*12", 12,
       scanner_checked + released},
      {"negative count", port3, 0, 0, -1, u"OPNG:03142501*0*-1", -1,
       scanner_checked + released},
  };
  for (const UnansweredCase& c : cases) {
    SCOPED_TRACE(c.name);
    Scene scene;
    scene.after_an_emptying_of(99);
    scene.clicker.let_lastport(c.lastport);
    scene.clicker.let_pnewdatetime(u"000000010124");
    scene.library.script_all(Function::csp2Init, returns(c.opened));
    scene.library.script_all(Function::csp2GetSystemStatus, returns(c.status));
    scene.library.script_all(Function::csp2ReadData, returns(c.count));
    scene.clicker.EmptyScanner();
    EXPECT_EQ(to_utf8(scene.clicker.log()), to_utf8(c.log));
    EXPECT_FALSE(scene.clicker.open_ok());
    EXPECT_FALSE(scene.clicker.empty_ok());
    EXPECT_TRUE(scene.clicker.timechange_ok());  // the clock step was not reached
    EXPECT_EQ(scene.clicker.num_barcodes(), c.num_barcodes);
    // The port of a scanner reporting a failure is released all the same.
    EXPECT_EQ(scene.calls(), c.calls);
    EXPECT_TRUE(scene.calls_at_pauses.empty());
  }
}

TEST(EmptyingOutcomes, PortThatDoesNotConvertFailsBeforeAnyCall) {
  const std::vector<Variant> ports = {Variant(Text()), Variant(Text(u"abc")), Variant::null(),
                                      Variant(1e10), Variant(ObjectValue{})};
  for (const Variant& port : ports) {
    Scene scene;
    scene.after_an_emptying_of(1);
    scene.clicker.let_lastport(port);
    expect_error(13, [&] { scene.clicker.EmptyScanner(); });
    EXPECT_EQ(scene.clicker.log(), scene.earlier_log);
    EXPECT_FALSE(scene.clicker.empty_ok());
    EXPECT_TRUE(scene.clicker.open_ok());
    EXPECT_TRUE(scene.calls().empty());
  }
}

struct ClockCase {
  const char16_t* text;
  std::int32_t answer;  // of every csp2SetTime
  Text entries;
  bool accepted;
  int attempts;
};

TEST(EmptyingWithClockText, ClockStepRunsBeforeThePauseAndNeverStopsTheErasing) {
  const std::vector<ClockCase> cases = {
      {u"595923311299", 0, u":SetTime:595923311299:0:01::TimeOK:", true, 1},
      {u"595923311299", 3, u":SetTime:595923311299:3:01:3:02:3:03:3:04:3:05", false, 5},
      {u"593023310499", 0, u"", false, 0},  // 31 April
      {u"", 0, u"", false, 0},
  };
  for (const ClockCase& c : cases) {
    SCOPED_TRACE(to_utf8(c.text));
    Scene scene;
    scene.after_an_emptying_of(1);
    scene.clicker.let_pnewdatetime(c.text);
    scene.library.script_all(Function::csp2SetTime, returns(c.answer));
    scene.clicker.EmptyScanner();
    EXPECT_EQ(to_utf8(scene.clicker.log()), to_utf8(u"CLOK:01:" + opened + c.entries + u":0"));
    EXPECT_EQ(scene.clicker.timechange_ok(), c.accepted);
    EXPECT_TRUE(scene.clicker.empty_ok());
    EXPECT_EQ(scene.calls(),
              scanner_checked + repeated(clock_attempt, c.attempts) + cleared_and_released);
    EXPECT_EQ(scene.calls_at_pauses, std::set<std::size_t>{3 + 3 * static_cast<std::size_t>(c.attempts)});
  }
}

TEST_F(Emptying, EveryRunStartsItsOwnLogAndSendsTheSameClockText) {
  clicker.let_pnewdatetime(u"000509070304");
  clicker.EmptyScanner();
  host.seconds_of_day = 14 * 3600 + 25 * 60 + 1;
  clicker.EmptyScanner();
  EXPECT_EQ(to_utf8(clicker.log()),
            to_utf8(u"CLOK:01:" + opened + u":SetTime:000509070304:0:01::TimeOK::0"));
  ASSERT_EQ(library.count(Function::csp2SetTime), 2);
  EXPECT_EQ(library.calls()[4].input, library.calls()[4 + 8].input);
}

TEST_F(Emptying, OpenEntryTimeIsReadAfterThePortOpened) {
  library.handle(Function::csp2Init, [this](auto, std::span<const std::int32_t> numbers) {
    host.seconds_of_day = 9 * 3600 + 5;
    return library.scanner().open(numbers[0]).result;
  });
  clicker.EmptyScanner();
  EXPECT_EQ(to_utf8(clicker.log()), "CLOK:01:OPOK:03090005*0:0");
}

TEST_F(Emptying, CostsOnePauseAndOneClockReadingForTheLog) {
  library.script_all(Function::csp2ClearData, returns(1));
  clicker.let_pnewdatetime(u"595923311299");
  clicker.EmptyScanner();
  const PauseCost pause = cost_of_pauses(1);
  EXPECT_EQ(host.clock_readings, pause.clock_readings + 1);
  EXPECT_EQ(host.events_runs, pause.events_runs);
  EXPECT_EQ(host.waits, pause.waits);
}

TEST(EmptyingOutcomes, OverflowingCountReleasesThePortBeforeTheErrorReturns) {
  struct Case {
    const char* name;
    ScannerScript scanner;
    Names calls;
    Text log;
    std::int16_t num_barcodes;
  };
  const std::vector<Case> cases = {
      {"before erasing", {.count = 40000}, {"csp2Init", "csp2ReadData", "csp2Restore"},
       open_entry, 5},
      {"after a refused clear command", {.clears = {2}, .counts = {-40000}, .statuses = {0}},
       scanner_checked + Names{"csp2ClearData", "csp2ReadData", "csp2Restore"}, opened + u":2",
       12},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Scene scene;
    scene.after_an_emptying_of(5);
    scene.clicker.let_lastport(Variant(std::int32_t{3}));
    c.scanner.apply(scene.library);
    expect_error(6, [&] { scene.clicker.EmptyScanner(); });
    EXPECT_EQ(scene.calls(), c.calls);
    EXPECT_EQ(to_utf8(scene.clicker.log()), to_utf8(c.log));
    EXPECT_EQ(scene.clicker.num_barcodes(), c.num_barcodes);
    EXPECT_FALSE(scene.clicker.empty_ok());
  }
}

TEST(EmptyingOutcomes, FailureWhileTheOpeningIsLoggedReleasesThePort) {
  Scene scene;
  scene.clicker.let_lastport(Variant(std::int32_t{3}));
  scene.host.on_clock = [] { throw std::bad_alloc(); };
  EXPECT_THROW(scene.clicker.EmptyScanner(), std::bad_alloc);
  EXPECT_EQ(scene.calls(), (Names{"csp2Init", "csp2Restore"}));
}

TEST(EmptyingWithClockText, ErrorWhileTheScannerIsAwakePowersItDownThenReleases) {
  Scene scene;
  scene.clicker.let_lastport(Variant(std::int32_t{3}));
  scene.clicker.let_pnewdatetime(u"595923311299");
  scene.library.handle(Function::csp2SetTime, [](auto, auto) -> std::int32_t {
    throw Error::entry_point_not_found("csp2SetTime");
  });
  expect_error(453, [&] { scene.clicker.EmptyScanner(); });
  const Names calls = scanner_checked + Names{"csp2WakeUp", "csp2PowerDown", "csp2Restore"};
  EXPECT_EQ(scene.calls(), calls);
}

}  // namespace
}  // namespace vkd::testing
