// The download road with a scanner scripted by the input: the port search, every record
// packet, time-stamp text, clock and version bytes come from it, then the two exports
// and the record accessors read what the download left. Only the platform errors of
// that road may end an operation, and what it leaves must hang together.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

#include "component/clicker.h"
#include "fake_host.h"
#include "fuzz_check.h"
#include "scanner_from_input.h"

namespace {

using vkd::Clicker;
using vkd::ErrorNumber;
using vkd::Text;
using vkd::testing::completes;

// Enough records to reach every decoding path; more would only slow each run down. A
// count beyond 16 bits is kept: storing it must fail with the overflow error.
constexpr std::int32_t max_records = 64;

std::int32_t sane_count(std::int32_t count) {
  if (count > max_records && count <= INT16_MAX) return count % (max_records + 1);
  return count;
}

bool upper_hex(char16_t c) { return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F'); }
bool digit(char16_t c) { return c >= u'0' && c <= u'9'; }

void check_open_outcome(const Clicker& clicker) {
  const auto& state = clicker.state();
  VKD_FUZZ_CHECK(state.log.starts_with(u"OPOK") != state.log.starts_with(u"OPNC"));
  VKD_FUZZ_CHECK(clicker.open_ok() == state.log.starts_with(u"OPOK"));
  // 999 means "no port" only together with open_ok: a scanner may answer on port 999.
  if (!clicker.open_ok()) VKD_FUZZ_CHECK(clicker.comport() == 999);
  if (clicker.open_ok()) {
    VKD_FUZZ_CHECK(state.serial.size() == 16 && std::ranges::all_of(state.serial, upper_hex));
    VKD_FUZZ_CHECK(state.clock_flag == u"H" || state.clock_flag == u"L");
    VKD_FUZZ_CHECK(std::ranges::all_of(state.clock_text, digit));
  }
  VKD_FUZZ_CHECK(state.clock_text.size() == 12);
  VKD_FUZZ_CHECK(state.SwVersion.size() == 8);
  VKD_FUZZ_CHECK(state.barcode_texts.has_value() == state.barcode_types.has_value());
  VKD_FUZZ_CHECK(state.barcode_texts.has_value() == state.barcode_times.has_value());
  if (state.barcode_texts) {
    VKD_FUZZ_CHECK(state.barcode_texts->size() == state.barcode_types->size());
    VKD_FUZZ_CHECK(state.barcode_texts->size() == state.barcode_times->size());
  }
}

// Every index inside the lists reads; every index outside them, or any index before the
// lists exist, is the subscript error and nothing else.
void check_accessors(Clicker& clicker) {
  const auto& lists = clicker.state().barcode_texts;
  const int upper = lists ? static_cast<int>(lists->size()) - 1 : -1;
  for (int index = -1; index <= upper + 1; ++index) {
    clicker.let_get_barcode(static_cast<std::int16_t>(index));
    const bool inside = index >= 0 && index <= upper;
    const auto reads = [](auto read) {
      return completes({ErrorNumber::subscript_out_of_range}, read);
    };
    VKD_FUZZ_CHECK(reads([&] { (void)clicker.sbarcode(); }) == inside);
    VKD_FUZZ_CHECK(reads([&] { (void)clicker.stime(); }) == inside);
    VKD_FUZZ_CHECK(reads([&] { (void)clicker.stype(); }) == inside);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vkd::testing::FuzzInput input({data, size});
  vkd::testing::FakeLibrary library(vkd::testing::FakeLibrary::Recording::off);
  vkd::testing::answer_from_input(library, input);
  library.handle(vkd::testing::Function::csp2ReadData,
                 [&input](std::span<std::uint8_t>, std::span<const std::int32_t>) {
                   return sane_count(input.result());
                 });
  vkd::testing::InstantHost host;
  Clicker clicker(library, host);
  clicker.let_lastport(input.variant());
  const Text delimiter = input.text();
  clicker.let_pdelimiter(delimiter);

  // Conversion of lastport or of the clock time (13), a count beyond 16 bits (6), a
  // record or time-stamp text cut at an impossible position (5).
  const std::initializer_list<ErrorNumber> download_errors = {
      ErrorNumber::type_mismatch, ErrorNumber::overflow, ErrorNumber::invalid_procedure_call};
  if (completes(download_errors, [&] { clicker.open_clicker(); })) check_open_outcome(clicker);
  check_accessors(clicker);

  // The exports add the subscript error of lists shorter than the count.
  const std::initializer_list<ErrorNumber> export_errors = {
      ErrorNumber::type_mismatch, ErrorNumber::overflow, ErrorNumber::invalid_procedure_call,
      ErrorNumber::subscript_out_of_range};
  Text fixed_width;
  if (completes(export_errors, [&] { fixed_width = clicker.alldata(); })) {
    check_open_outcome(clicker);
    VKD_FUZZ_CHECK(fixed_width.starts_with(u"V01"));
  }
  Text delimited;
  if (completes(export_errors, [&] { delimited = clicker.alldata2(); })) {
    check_open_outcome(clicker);
    const Text separator = delimiter.empty() ? Text(u";") : delimiter;
    VKD_FUZZ_CHECK(delimited.starts_with(u"DL" + separator + u"V03" + separator));
    VKD_FUZZ_CHECK(static_cast<std::size_t>(clicker.length_alldata2()) == delimited.size());
  }
  check_accessors(clicker);
  clicker.close_clicker();
  return 0;
}
