#include "component/clicker.h"

#include "automation/error.h"
#include "automation/mask.h"
#include "automation/number_reading.h"
#include "component/delimited_export.h"
#include "component/field_writer.h"
#include "component/fixed_width_export.h"
#include "component/list_entries.h"
#include "component/parameter_texts.h"
#include "conversations/download.h"
#include "conversations/empty_scanner.h"
#include "conversations/parameter_exchanges.h"

namespace vkd {

namespace {

constexpr std::int16_t no_port = 999;
// The parameter lists are two-character fields with no separators, the first the count.
constexpr long list_field = 2;

// lastport as the 32-bit port number handed to csp2Init: Empty is 0; a value that does
// not convert (Null, a text that is not a number, a number beyond the 32-bit range) is
// the type-mismatch error (13).
std::int32_t port_number(const Variant& lastport) {
  try {
    return to_int32(lastport);
  } catch (const Error& error) {
    if (error.code() == ErrorNumber::overflow) throw Error::type_mismatch();
    throw;
  }
}

// The count is compared as it reads, unrounded: "1." lists one entry, ".5" none.
double list_count(const Text& list) { return strict_number(left(list, list_field)); }

}  // namespace

void Clicker::open_clicker() {
  fields_.open_ok = false;
  fields_.comport = no_port;
  fields_.log.clear();
  FieldWriter writer(fields_);
  download(library_, host_, PortRange{.first = port_number(fields_.lastport)}, writer);
}

void Clicker::close_clicker() { release_port(library_); }

// The conversion comes first: a value with no text form leaves the field as it was.
void Clicker::let_newparams(const Variant& list) { fields_.newparams = to_text(list); }
void Clicker::let_cur_clicker_params(const Variant& list) { fields_.cur_clicker_params = to_text(list); }

// Each export read is a whole conversation with the scanner: it runs the object's own
// open_clicker first, whose error, if any, is the export's error.
Text Clicker::alldata() {
  open_clicker();
  return fixed_width_export(fields_);
}

Text Clicker::alldata2() {
  open_clicker();
  Text text = delimited_export(fields_);
  // Only a text that was built counts; the export builds none longer than this field holds.
  fields_.length_alldata2 = static_cast<std::int32_t>(text.size());
  return text;
}

void Clicker::EmptyScanner() {
  fields_.empty_ok = false;
  if (fields_.lastport.is_empty()) {
    fields_.open_ok = false;
    fields_.log = u"ENSP";
    return;
  }
  const std::int32_t port = port_number(fields_.lastport);
  FieldWriter writer(fields_);
  empty_scanner(library_, host_, port, fields_.pnewdatetime, writer);
}

void Clicker::reset_params() {
  if (fields_.lastport.is_empty()) {
    fields_.open_ok = false;
    return;
  }
  // The count is taken before the emptying, which lets the host's events run; the
  // entries are read later, each from newparams as it stands at its turn. Entry fields
  // are read leniently, so a missing entry writes parameter 0 with value 0.
  const Text count_text = left(fields_.newparams, list_field);
  EmptyScanner();
  restore_defaults(library_);
  const double count = list_count(count_text);
  for (long entry = 1; entry <= count; ++entry) {
    const std::int16_t number = to_int16(lenient_number(mid(fields_.newparams, 4 * entry - 1, list_field)));
    const std::int32_t value = to_int32(lenient_number(mid(fields_.newparams, 4 * entry + 1, list_field)));
    write_parameter(library_, host_, port_number(fields_.lastport), number, value);
  }
}

// Each parameter is read from cur_clicker_params and on lastport as they stand at its
// turn. A count or number that is not a number is error 13; the values read before it
// are lost.
Text Clicker::showparams() {
  Text report = left(fields_.cur_clicker_params, list_field);
  if (fields_.cur_clicker_params.size() > static_cast<std::size_t>(list_field)) {
    const double count = list_count(fields_.cur_clicker_params);
    for (long entry = 1; entry <= count; ++entry) {
      const std::int16_t number =
          to_int16(strict_number(mid(fields_.cur_clicker_params, 2 * entry + 1, list_field)));
      append_parameter_entry(report, read_parameter(library_, host_, port_number(fields_.lastport), number));
    }
  }
  report += u':';
  return report + status_text(interrogate_scanner(library_, port_number(fields_.lastport)));
}

Text Clicker::sbarcode() const { return ListEntries(fields_.barcode_texts)[fields_.get_barcode]; }
Date Clicker::stime() const { return ListEntries(fields_.barcode_times)[fields_.get_barcode]; }
Variant Clicker::stype() const { return ListEntries(fields_.barcode_types)[fields_.get_barcode]; }

}  // namespace vkd
