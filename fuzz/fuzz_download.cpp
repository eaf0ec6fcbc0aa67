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
#include "record_lists.h"
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

void check_open_outcome(Clicker& clicker) {
  const Text log = clicker.log();
  VKD_FUZZ_CHECK(log.starts_with(u"OPOK") != log.starts_with(u"OPNC"));
  VKD_FUZZ_CHECK(clicker.open_ok() == log.starts_with(u"OPOK"));
  // 999 means "no port" only together with open_ok: a scanner may answer on port 999.
  if (!clicker.open_ok()) VKD_FUZZ_CHECK(clicker.comport() == 999);
  if (clicker.open_ok()) {
    const Text serial = clicker.serial();
    VKD_FUZZ_CHECK(serial.size() == 16 && std::ranges::all_of(serial, upper_hex));
  }
  VKD_FUZZ_CHECK(clicker.SwVersion().size() == 8);
}

// The clock as the fixed-width header shows it: a flag and twelve digits once a clock was
// read, blanks and zeros before.
void check_clock_fields(const Text& fixed_width, bool clock_read) {
  VKD_FUZZ_CHECK(fixed_width.size() >= 36);
  const char16_t flag = fixed_width[19];
  VKD_FUZZ_CHECK(clock_read ? flag == u'H' || flag == u'L' : flag == u' ' || flag == u'H' || flag == u'L');
  VKD_FUZZ_CHECK(std::all_of(fixed_width.begin() + 20, fixed_width.begin() + 32, digit));
}

// Every index inside the lists reads; every index outside them, or any index before the
// lists exist, is the subscript error and nothing else. The three lists are alike.
void check_accessors(Clicker& clicker) {
  const int upper = static_cast<int>(vkd::testing::barcode_texts(clicker).size()) - 1;
  VKD_FUZZ_CHECK(vkd::testing::barcode_types(clicker).size() == static_cast<std::size_t>(upper + 1));
  VKD_FUZZ_CHECK(vkd::testing::barcode_times(clicker).size() == static_cast<std::size_t>(upper + 1));
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
    check_clock_fields(fixed_width, clicker.open_ok());
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
