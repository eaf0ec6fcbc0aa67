#pragma once
// Records as a scanner gives them, for storing: numbered texts with time stamps, and
// among the first few the bytes that are hardest to keep (a NUL, a tab, a backslash, a
// line end, a byte above 127 whose text is two UTF-8 bytes, a record without its time).
#include <string>
#include <vector>

#include "store/store.h"

namespace vkd::testing {

inline std::vector<store::Record> sample_records(int count, int first_position = 1) {
  std::vector<store::Record> records;
  records.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    const int position = first_position + i;
    store::Record record{.position = position,
                         .barcode = "40063813" + std::to_string(10000 + position),
                         .text = {},
                         .code_type = static_cast<std::uint8_t>(position % 40),
                         .time = "2024-05-15T09:" + std::to_string(10 + position % 50) + ":00",
                         .stamp = {0x07, static_cast<std::uint8_t>(position), 0x22, 0x12}};
    record.text = record.barcode;
    records.push_back(std::move(record));
  }
  const std::vector<std::pair<std::string, std::string>> hard = {
      {std::string("A\0B", 3), std::string("A\0B", 3)},
      {"tab\there", "tab\there"},
      {"back\\slash\r\n", "back\\slash\r\n"},
      {"caf\xE9", "caf\xC3\xA9"},
  };
  for (std::size_t i = 0; i < hard.size() && i < records.size(); ++i) {
    records[i].barcode = hard[i].first;
    records[i].text = hard[i].second;
  }
  if (records.size() > hard.size()) records[hard.size()].time.reset();
  return records;
}

}  // namespace vkd::testing
