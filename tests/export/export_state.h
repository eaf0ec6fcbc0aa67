#pragma once
// Object states for the export tests, built directly: the worked example of two scans on
// 1 May 2009, and lists of any size.
#include <cstdint>
#include <iterator>
#include <vector>

#include "automation/date.h"
#include "automation/text.h"
#include "automation/variant.h"
#include "component/clicker_fields.h"

namespace vkd::testing {

struct ExportRecord {
  Text barcode;
  Variant type;  // Empty for an entry the download left unfilled
  Date time;
};

inline Date at(int year, int month, int day, int hour, int minute, int second) {
  return add_duration(date_serial(year, month, day), hour, minute, second);
}

// Lists of records.size() + 1 entries (entry 0 unfilled) and num_barcodes to match.
inline void set_records(ClickerFields& state, const std::vector<ExportRecord>& records) {
  std::vector<Text> texts(1);
  std::vector<Variant> types(1);
  std::vector<Date> times(1);
  for (const ExportRecord& record : records) {
    texts.push_back(record.barcode);
    types.push_back(record.type);
    times.push_back(record.time);
  }
  state.barcode_texts = std::move(texts);
  state.barcode_types = std::move(types);
  state.barcode_times = std::move(times);
  state.num_barcodes = static_cast<std::int16_t>(records.size());
}

inline ExportRecord filled(Text barcode, std::int16_t type, Date time) {
  return {std::move(barcode), Variant(type), time};
}

// Serial 0123456789ABCDEF, flag H, clock 13:53:57 on 1 May 2009, version ABCD1234, and
// 8712345678906 (type 3, 13:45:02) and 12345678 (type 11, 13:46:10) of the same day.
inline ClickerFields worked_example() {
  ClickerFields state;
  state.serial = u"0123456789ABCDEF";
  state.clock_flag = u"H";
  state.clock_text = u"575313010509";
  state.clock_date = at(2009, 5, 1, 13, 53, 57);
  state.SwVersion = u"ABCD1234";
  set_records(state, {filled(u"8712345678906", 3, at(2009, 5, 1, 13, 45, 2)),
                      filled(u"12345678", 11, at(2009, 5, 1, 13, 46, 10))});
  return state;
}

// n copies of one record.
inline ClickerFields repeated_records(int n, const ExportRecord& record) {
  ClickerFields state = worked_example();
  set_records(state, std::vector<ExportRecord>(static_cast<std::size_t>(n), record));
  return state;
}

inline constexpr char16_t fixed_width_example[] =
    u"V010123456789ABCDEFH5753130105090002"
    u"00187123456789060320090501134502"
    u"00212345678     1120090501134610";
static_assert(std::size(fixed_width_example) - 1 == 100);

inline constexpr char16_t delimited_example[] =
    u"DL;V03;ABCD1234;0123456789ABCDEF;H;20090501135357;2;"
    u"BC;1;20090501134502;3;13;8712345678906;"
    u"BC;2;20090501134610;11;8;12345678";
static_assert(std::size(delimited_example) - 1 == 124);

}  // namespace vkd::testing
