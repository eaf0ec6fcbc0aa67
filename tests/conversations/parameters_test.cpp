#include "conversations/parameter_exchanges.h"

#include <map>
#include <optional>

#include "housekeeping_fixture.h"
#include "conversations/show_parameters.h"

namespace vkd::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct Written {
  std::int32_t number;
  std::uint8_t value;
  friend bool operator==(const Written&, const Written&) = default;
};

std::vector<Written> writes(const FakeLibrary& library) {
  std::vector<Written> result;
  for (const Call& call : library.calls()) {
    if (call.function != Function::csp2SetParam) continue;
    // The value byte, its terminator and eight blanks; the scanner is told to take two.
    EXPECT_EQ(call.numbers.at(1), 2);
    EXPECT_EQ(Bytes(call.input.begin() + 1, call.input.end()),
              (Bytes{0, ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '}));
    result.push_back({call.numbers.at(0), call.input.at(0)});
  }
  return result;
}

std::vector<std::int32_t> ports_opened(const FakeLibrary& library) {
  std::vector<std::int32_t> ports;
  for (const Call& call : library.calls()) {
    if (call.function == Function::csp2Init) ports.push_back(call.numbers.at(0));
  }
  return ports;
}

// Protocol 1, status 0, version "AB12" (the rest of the buffer NULs), ASCII mode 1,
// clock mode 255.
const Text status_text = Text(u"0x1:0x0:AB12") + Text(6, u'\0') + u":0x1:0xFF";

// A scanner on `port` whose parameters 1, 5, 7 and 9 hold 3, 17, 200 and 7, every other 0.
void answer_like_a_scanner(FakeLibrary& library, std::int32_t port) {
  library.change_device([port](sim::Device& device) {
    device.port = port;
    device.version = {'A', 'B', '1', '2'};
    device.parameters = {};
    for (const auto& [number, value] : std::map<std::size_t, std::uint8_t>{{1, 3}, {5, 17}, {7, 200}, {9, 7}}) {
      device.parameters[number] = value;
    }
    device.parameters[sim::ascii_mode_parameter] = 1;
    device.parameters[sim::rtc_mode_parameter] = 255;
  });
  library.script_all(Function::csp2GetProtocol, returns(1));
}

const Names emptied_and_defaults = emptied_at_once + Names{"csp2SetDefaults"};

class ResetParams : public HousekeepingTest {
 protected:
  ResetParams() { clicker.let_lastport(Variant(std::int16_t{3})); }
};

TEST_F(ResetParams, LastportNeverSetTouchesNothingButOpenOk) {
  after_an_emptying_of(1);
  clicker.let_lastport(Variant());
  clicker.let_newparams(Variant(Text(u"010105")));
  clicker.reset_params();
  EXPECT_FALSE(clicker.open_ok());
  EXPECT_EQ(clicker.log(), earlier_log);
  EXPECT_TRUE(calls().empty());
  EXPECT_EQ(host.clock_readings, 0);
}

struct ListCase {
  const char16_t* newparams;
  std::vector<Written> written;
};

TEST(ResetParamsLists, EmptiesRestoresDefaultsThenWritesEveryEntry) {
  const std::vector<ListCase> cases = {
      {u"00", {}},
      {u"0201051203", {{1, 5}, {12, 3}}},
      {u"030105", {{1, 5}, {0, 0}, {0, 0}}},  // missing entries write parameter 0 as 0
      {u"03 7057a06ab07", {{7, 5}, {7, 6}, {0, 7}}},
      {u"0201 9017b", {{1, 9}, {1, 7}}},
      {u"1.0105", {{1, 5}}},
      {u".90105", {}},  // the count is compared unrounded
      {u"-10105", {}},
      {u" 20105 106", {{1, 5}, {1, 6}}},
  };
  for (const ListCase& c : cases) {
    SCOPED_TRACE(to_utf8(c.newparams));
    Scene scene;
    scene.clicker.let_lastport(Variant(Text(u"3")));
    scene.clicker.let_newparams(Variant(Text(c.newparams)));
    scene.clicker.reset_params();
    EXPECT_TRUE(scene.clicker.empty_ok());
    EXPECT_EQ(scene.calls(),
              emptied_and_defaults + repeated(parameter_write, static_cast<int>(c.written.size())));
    EXPECT_EQ(writes(scene.library), c.written);
    EXPECT_EQ(ports_opened(scene.library),
              std::vector<std::int32_t>(c.written.size() + 1, 3));
  }
}

TEST_F(ResetParams, EachWriteHasItsOwnPauseAndNothingElseWaits) {
  clicker.let_newparams(Variant(Text(u"0201051203")));
  clicker.reset_params();
  // The emptying's pause, then one before each write.
  EXPECT_EQ(calls_at_pauses, (std::set<std::size_t>{3, 6, 12}));
  const PauseCost pauses = cost_of_pauses(3);
  EXPECT_EQ(host.clock_readings, pauses.clock_readings + 1);  // one reading for the log
  EXPECT_EQ(host.events_runs, pauses.events_runs);
  EXPECT_EQ(host.waits, pauses.waits);
}

TEST_F(ResetParams, EmptyListFailsAfterTheDefaultsWereRestored) {
  expect_error(13, [&] { clicker.reset_params(); });
  EXPECT_TRUE(clicker.empty_ok());
  EXPECT_EQ(calls(), emptied_and_defaults);
}

TEST_F(ResetParams, ValueOutsideAByteFailsWithTheBracketClosed) {
  clicker.let_newparams(Variant(Text(u"030105" u"02-1" u"0307")));
  expect_error(5, [&] { clicker.reset_params(); });
  EXPECT_EQ(calls(), emptied_and_defaults + parameter_write + bracket_open + bracket_close);
  EXPECT_EQ(writes(library), (std::vector<Written>{{1, 5}}));
}

TEST_F(ResetParams, EmptyingErrorEndsItBeforeTheDefaults) {
  clicker.let_lastport(Variant(Text()));
  clicker.let_newparams(Variant(Text(u"00")));
  expect_error(13, [&] { clicker.reset_params(); });
  EXPECT_TRUE(calls().empty());
}

TEST_F(ResetParams, GoesOnWhateverTheEmptyingFound) {
  library.script(Function::csp2Init, 1, returns(-1));
  clicker.let_newparams(Variant(Text(u"010105")));
  clicker.reset_params();
  EXPECT_EQ(to_utf8(clicker.log()), "OPNP:03142501*-1");
  EXPECT_FALSE(clicker.open_ok());
  EXPECT_EQ(calls(), (Names{"csp2Init", "csp2SetDefaults"} + parameter_write));
}

TEST_F(ResetParams, CountIsTakenFirstAndEachEntryAtItsTurn) {
  clicker.let_newparams(Variant(Text(u"01" u"0105")));
  bool changed = false;
  host.on_events = [&] {
    if (changed) return;
    changed = true;
    clicker.let_newparams(Variant(Text(u"02" u"0307" u"0408")));
  };
  clicker.reset_params();
  EXPECT_EQ(writes(library), (std::vector<Written>{{3, 7}}));
}

class ShowParams : public HousekeepingTest {
 protected:
  ShowParams() {
    clicker.let_lastport(Variant(std::int16_t{3}));
    answer_like_a_scanner(library, 3);
  }
};

TEST_F(ShowParams, WorkedExample) {
  clicker.let_cur_clicker_params(Variant(Text(u"020105")));
  EXPECT_EQ(clicker.showparams(), u"0201030517:" + status_text);
  EXPECT_EQ(calls(), parameter_read + parameter_read + status_exchange);
  EXPECT_EQ(calls_at_pauses, (std::set<std::size_t>{0, 6}));
  EXPECT_EQ(ports_opened(library), (std::vector<std::int32_t>{3, 3, 3}));
  for (const Call& call : library.calls()) {
    if (call.function != Function::csp2GetParam) continue;
    EXPECT_EQ(call.numbers.at(1), 10);
    EXPECT_EQ(call.input, Bytes(10, 0));
  }
  EXPECT_EQ(cost_of(host), cost_of_pauses(2));  // the status exchange waits for nothing
}

struct ReportCase {
  const char16_t* list;
  std::optional<Text> report;  // none: the type error, after `reads` reads
  int reads;
};

TEST(ShowParamsLists, ReportsTheCountEachNumberWithItsValueAndTheStatus) {
  const std::vector<ReportCase> cases = {
      {u"", u":", 0},
      {u"0", u"0:", 0},
      {u"05", u"05:", 0},
      {u"00xx", u"00:", 0},
      {u"0109", u"010907:", 1},
      {u"0107", u"0107200:", 1},
      {u"0112", u"011200:", 1},  // an untouched buffer reads 0
      {u"1.05", u"1.0517:", 1},
      {u"03010509", u"03010305170907:", 3},
      // A field that is no number fails the whole report; what was read is lost.
      {u"0201", std::nullopt, 1},
      {u"xx05", std::nullopt, 0},
      {u"01  ", std::nullopt, 0},
      {u"0301ab05", std::nullopt, 1},
  };
  for (const ReportCase& c : cases) {
    SCOPED_TRACE(to_utf8(c.list));
    Scene scene;
    answer_like_a_scanner(scene.library, 0);
    scene.clicker.let_cur_clicker_params(Variant(Text(c.list)));
    if (!c.report) {
      expect_error(13, [&] { scene.clicker.showparams(); });
      EXPECT_EQ(scene.calls(), repeated(parameter_read, c.reads));
      continue;
    }
    EXPECT_EQ(to_utf8(scene.clicker.showparams()), to_utf8(*c.report + status_text));
    EXPECT_EQ(scene.calls(), repeated(parameter_read, c.reads) + status_exchange);
    // lastport never set: port 0.
    EXPECT_EQ(ports_opened(scene.library), std::vector<std::int32_t>(c.reads + 1, 0));
    EXPECT_EQ(cost_of(scene.host), cost_of_pauses(c.reads));
  }
}

struct StatusCase {
  Function function;
  Text status;
};

TEST_F(ShowParams, UnavailableStatusValuesShowTheirPlaceholders) {
  const Text version = Text(u"AB12") + Text(6, u'\0');
  const std::vector<StatusCase> cases = {
      {Function::csp2GetProtocol, u"::0x??:0x0:" + version + u":0x1:0xFF"},
      {Function::csp2GetSystemStatus, u":0x1:0x????:" + version + u":0x1:0xFF"},
      {Function::csp2GetASCIIMode, u":0x1:0x0:" + version + u":0x????:0xFF"},
      {Function::csp2GetRTCMode, u":0x1:0x0:" + version + u":0x1:0x????"},
  };
  for (const StatusCase& c : cases) {
    SCOPED_TRACE(function_name(c.function));
    Scene scene;
    answer_like_a_scanner(scene.library, 0);
    scene.library.script_all(c.function, returns(-2));
    EXPECT_EQ(to_utf8(scene.clicker.showparams()), to_utf8(c.status));
  }
}

TEST_F(ShowParams, VersionItemIsTheWholeBufferOneCharacterPerByte) {
  library.script_all(Function::csp2GetSwVersion, {-1, Bytes{'5', '.', '0', '1', 0xE9, ' ', 'x', 'y', 'z', '!'}});
  EXPECT_EQ(to_utf8(clicker.showparams()), to_utf8(u":0x1:0x0:5.01\u00E9 xyz!:0x1:0xFF"));
}

TEST_F(ShowParams, PortThatDoesNotConvertFailsBeforeAnyCall) {
  clicker.let_lastport(Variant(Text(u"abc")));
  clicker.let_cur_clicker_params(Variant(Text(u"0101")));
  expect_error(13, [&] { clicker.showparams(); });
  EXPECT_TRUE(calls().empty());
  EXPECT_EQ(host.clock_readings, 0);
}

TEST(ParameterExchange, CostsOnePauseBeforeItsBracket) {
  Scene read;
  answer_like_a_scanner(read.library, 2);
  const ParameterValue value = read_parameter(read.library, read.host, 2, 5);
  EXPECT_EQ(value.value, 17);
  EXPECT_TRUE(value.answered());
  EXPECT_EQ(read.calls(), parameter_read);
  EXPECT_EQ(ports_opened(read.library), std::vector<std::int32_t>{2});
  EXPECT_EQ(read.calls_at_pauses, std::set<std::size_t>{0});
  EXPECT_EQ(cost_of(read.host), cost_of_pauses(1));

  Scene write;
  write_parameter(write.library, write.host, 4, 300, 255);
  EXPECT_EQ(write.calls(), parameter_write);
  EXPECT_EQ(writes(write.library), (std::vector<Written>{{300, 255}}));
  EXPECT_EQ(write.calls_at_pauses, std::set<std::size_t>{0});
  EXPECT_EQ(cost_of(write.host), cost_of_pauses(1));
}

TEST(ParameterExchange, ValueAboveAByteFailsWithTheBracketClosed) {
  Scene scene;
  expect_error(5, [&] { write_parameter(scene.library, scene.host, 0, 1, 256); });
  EXPECT_EQ(scene.calls(), bracket_open + bracket_close);
}

}  // namespace
}  // namespace vkd::testing

namespace vkd::testing {
namespace {

// lastport as any host passes it: rounded half to even, like every number the object takes.
TEST(ParameterExchange, ThePortIsLastportAsItConverts) {
  Scene scene;
  answer_like_a_scanner(scene.library, 2);
  scene.clicker.let_lastport(Variant(2.5));
  scene.clicker.let_cur_clicker_params(Variant(Text(u"0105")));
  EXPECT_EQ(to_utf8(scene.clicker.showparams()), to_utf8(u"010517:" + status_text));
  EXPECT_EQ(ports_opened(scene.library), (std::vector<std::int32_t>{2, 2}));
}

// A parameter or status item the library did not give is absent from the readout, so
// that the command never prints a guess as a reading.
TEST(ParameterExchange, TheReadoutSaysWhatTheScannerDidNotGive) {
  Scene scene;
  answer_like_a_scanner(scene.library, 2);
  scene.library.script(Function::csp2GetParam, 2, returns(-3));
  scene.library.script_all(Function::csp2GetASCIIMode, returns(-1));
  const std::int16_t numbers[] = {1, 5};
  const ParameterReadout readout = show_parameters(scene.library, scene.host, 2, numbers);
  ASSERT_EQ(readout.values.size(), 2u);
  EXPECT_TRUE(readout.values[0].answered());
  EXPECT_EQ(readout.values[0].value, 3);
  EXPECT_FALSE(readout.values[1].answered());
  EXPECT_TRUE(readout.answered());
  EXPECT_EQ(readout.status.protocol, 1);
  EXPECT_EQ(readout.status.ascii_mode, std::nullopt);
  EXPECT_EQ(readout.status.rtc_mode, 255);

  Scene nobody;
  const ParameterReadout unanswered = show_parameters(nobody.library, nobody.host, 7, numbers);
  EXPECT_FALSE(unanswered.answered());
  EXPECT_FALSE(unanswered.values[0].answered());
}

}  // namespace
}  // namespace vkd::testing
