// Emptying, parameter writing and parameter reading with host texts and a scanner that
// both come from the input: lastport, pnewdatetime, newparams and cur_clicker_params
// first, then every answer of the scanner. Only the platform errors of these operations
// may end them, and what they send and report must follow their rules.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "component/clicker.h"
#include "fake_host.h"
#include "fuzz_check.h"
#include "scanner_from_input.h"

namespace {

using vkd::Clicker;
using vkd::ErrorNumber;
using vkd::Text;
using vkd::Variant;
using vkd::testing::Call;
using vkd::testing::completes;
using vkd::testing::FakeLibrary;
using vkd::testing::Function;

// Conversion of lastport or of a strict field (13), a count beyond 16 bits (6), a value
// outside 0-255 or a clock piece that is no byte (5).
const std::initializer_list<ErrorNumber> housekeeping_errors = {
    ErrorNumber::type_mismatch, ErrorNumber::overflow, ErrorNumber::invalid_procedure_call};

// The two characters at a 0-based position as a decimal number, when both are digits.
std::optional<int> two_digits(const Text& text, std::size_t position) {
  if (position + 2 > text.size()) return std::nullopt;
  const char16_t tens = text[position];
  const char16_t ones = text[position + 1];
  if (tens < u'0' || tens > u'9' || ones < u'0' || ones > u'9') return std::nullopt;
  return (tens - u'0') * 10 + (ones - u'0');
}

std::vector<const Call*> calls_of(const FakeLibrary& library, Function function) {
  std::vector<const Call*> found;
  for (const Call& call : library.calls()) {
    if (call.function == function) found.push_back(&call);
  }
  return found;
}

// The clock pieces of a date-time text made of twelve digits, in text order (second,
// minute, hour, day, month, year); nothing for any other text.
std::optional<std::vector<int>> clock_pieces(const Text& date_time) {
  std::vector<int> pieces;
  for (std::size_t position = 0; position < 12; position += 2) {
    const auto piece = two_digits(date_time, position);
    if (!piece) return std::nullopt;
    pieces.push_back(*piece);
  }
  return pieces;
}

// The two-digit year is a leap year when it is a multiple of 4, 00 included.
bool valid_clock(const std::vector<int>& pieces) {
  const int second = pieces[0], minute = pieces[1], hour = pieces[2];
  const int day = pieces[3], month = pieces[4], year = pieces[5];
  static constexpr int month_days[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return false;
  const int days = month == 2 && year % 4 != 0 ? 28 : month_days[month - 1];
  return day >= 1 && day <= days && hour <= 24 && minute < 60 && second < 60;
}

// At most five attempts, stopping at the first accepted one; twelve digits that name a
// real date and time are sent, as their six binary values, exactly when the scanner
// answered, and nothing else is ever sent.
void check_clock_step(const Clicker& clicker, const FakeLibrary& library, const Text& date_time) {
  const auto attempts = calls_of(library, Function::csp2SetTime);
  VKD_FUZZ_CHECK(attempts.size() <= 5);
  for (std::size_t k = 0; k + 1 < attempts.size(); ++k) VKD_FUZZ_CHECK(attempts[k]->result != 0);
  const bool accepted = !attempts.empty() && attempts.back()->result == 0;
  VKD_FUZZ_CHECK(clicker.timechange_ok() == accepted);
  if (!accepted && !attempts.empty()) VKD_FUZZ_CHECK(attempts.size() == 5);

  if (date_time.empty()) VKD_FUZZ_CHECK(attempts.empty());
  const auto pieces = clock_pieces(date_time);
  if (!pieces) return;
  VKD_FUZZ_CHECK(attempts.empty() == !(clicker.open_ok() && valid_clock(*pieces)));
  for (const Call* attempt : attempts) {
    VKD_FUZZ_CHECK(std::ranges::equal(attempt->input, *pieces));
  }
}

// What the object was given: its lastport and clock text, and the lists it took.
struct Given {
  Variant lastport;
  Text date_time;
  Text newparams;
  Text cur_clicker_params;
};

void check_emptying(const Clicker& clicker, const FakeLibrary& library, const Given& given) {
  const Text log = clicker.log();
  if (given.lastport.is_empty()) {
    VKD_FUZZ_CHECK(log == u"ENSP" && !clicker.open_ok() && library.calls().empty());
  } else {
    VKD_FUZZ_CHECK(log.starts_with(u"OPNP") || log.starts_with(u"OPNG") ||
                   log.starts_with(u"OPOK") || log.starts_with(u"CLOK:"));
    VKD_FUZZ_CHECK(clicker.open_ok() == (log.starts_with(u"OPOK") || log.starts_with(u"CLOK:")));
    if (clicker.open_ok()) VKD_FUZZ_CHECK(library.calls().back().function == Function::csp2Restore);
  }
  VKD_FUZZ_CHECK(clicker.empty_ok() == log.starts_with(u"CLOK:"));
  check_clock_step(clicker, library, given.date_time);
}

// Each write sends the value byte, a 0 and eight blanks, told to send two; a list whose
// count and entries are digits is written entry by entry, missing entries as 0 to 0.
void check_parameter_writes(const Clicker& clicker, const FakeLibrary& library, const Given& given) {
  if (given.lastport.is_empty()) {
    VKD_FUZZ_CHECK(!clicker.open_ok() && library.calls().empty());
    return;
  }
  VKD_FUZZ_CHECK(library.count(Function::csp2SetDefaults) == 1);
  const auto writes = calls_of(library, Function::csp2SetParam);
  for (const Call* write : writes) {
    VKD_FUZZ_CHECK(write->numbers.size() == 2 && write->numbers[1] == 2);
    VKD_FUZZ_CHECK(write->input.size() == 10 && write->input[1] == 0);
    VKD_FUZZ_CHECK(std::all_of(write->input.begin() + 2, write->input.end(),
                               [](std::uint8_t b) { return b == ' '; }));
  }
  const Text& list = given.newparams;
  const auto count = two_digits(list, 0);
  if (!count) return;
  VKD_FUZZ_CHECK(writes.size() == static_cast<std::size_t>(*count));
  for (std::size_t i = 0; i < writes.size(); ++i) {
    const std::size_t number_at = 2 + 4 * i;
    const auto number = two_digits(list, number_at);
    const auto value = two_digits(list, number_at + 2);
    if (number && value) {
      VKD_FUZZ_CHECK(writes[i]->numbers[0] == *number && writes[i]->input[0] == *value);
    } else if (number_at >= list.size()) {
      VKD_FUZZ_CHECK(writes[i]->numbers[0] == 0 && writes[i]->input[0] == 0);
    }
  }
}

// The report repeats the list's count, has one read per listed number (each given a
// zeroed buffer of 10), and its status text starts with the protocol item.
void check_parameter_report(const Text& report, const FakeLibrary& library, const Given& given) {
  const Text& list = given.cur_clicker_params;
  const Text count_text = list.substr(0, 2);
  VKD_FUZZ_CHECK(report.starts_with(count_text));
  const auto reads = calls_of(library, Function::csp2GetParam);
  for (const Call* read : reads) {
    VKD_FUZZ_CHECK(read->numbers.size() == 2 && read->numbers[1] == 10);
    VKD_FUZZ_CHECK(std::ranges::all_of(read->input, [](std::uint8_t b) { return b == 0; }));
  }
  if (list.size() > 2) {
    const auto count = two_digits(list, 0);
    if (count) VKD_FUZZ_CHECK(reads.size() == static_cast<std::size_t>(*count));
  }
  // Entries are digits and signs, so the first colon after the count ends them.
  const std::size_t colon = report.find(u':', count_text.size());
  VKD_FUZZ_CHECK(colon != Text::npos);
  const auto protocol = calls_of(library, Function::csp2GetProtocol);
  VKD_FUZZ_CHECK(protocol.size() == 1);
  const Text status = report.substr(colon + 1);
  VKD_FUZZ_CHECK(status.starts_with(protocol.front()->result < 0 ? u":0x??" : u"0x"));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vkd::testing::FuzzInput input({data, size});
  FakeLibrary library;
  vkd::testing::answer_from_input(library, input);
  vkd::testing::InstantHost host;
  Clicker clicker(library, host);
  Given given;
  given.lastport = input.variant();
  given.date_time = input.text();
  clicker.let_lastport(given.lastport);
  clicker.let_pnewdatetime(given.date_time);
  // Null and objects are refused with 13, and a date outside the calendar has no text;
  // a refused list stays empty.
  const Variant newparams = input.variant();
  completes(housekeeping_errors, [&] {
    clicker.let_newparams(newparams);
    given.newparams = to_text(newparams);
  });
  const Variant cur_clicker_params = input.variant();
  completes(housekeeping_errors, [&] {
    clicker.let_cur_clicker_params(cur_clicker_params);
    given.cur_clicker_params = to_text(cur_clicker_params);
  });

  if (completes(housekeeping_errors, [&] { clicker.EmptyScanner(); })) {
    check_emptying(clicker, library, given);
  }

  library.forget_calls();
  if (completes(housekeeping_errors, [&] { clicker.reset_params(); })) {
    check_parameter_writes(clicker, library, given);
  }

  library.forget_calls();
  Text report;
  if (completes(housekeeping_errors, [&] { report = clicker.showparams(); })) {
    check_parameter_report(report, library, given);
  }
  return 0;
}
