#pragma once
// The fields of one Clicker object under their published names. A new object starts with
// every field zero, empty or unallocated; the fixed-length texts start filled with NUL
// characters, as a classic automation object's fixed-length strings do.
#include <cstdint>
#include <optional>
#include <vector>

#include "automation/date.h"
#include "automation/text.h"
#include "automation/variant.h"

namespace vkd {

struct ClickerFields {
  std::int16_t get_barcode = 0;
  Text serial;
  Text log;
  std::int16_t comport = 0;
  Text SwVersion = Text(8, u'\0');
  std::int16_t num_barcodes = 0;
  bool open_ok = false;
  bool empty_ok = false;
  bool timechange_ok = false;
  Variant lastport;
  Text pnewdatetime;
  Text pdelimiter;
  // The record lists: indexed 0 to their upper bound, entry 0 never filled, as the
  // one-based arrays its hosts walk. They do not exist until a download finds at least
  // one barcode.
  std::optional<std::vector<Text>> barcode_texts;
  std::optional<std::vector<Variant>> barcode_types;
  std::optional<std::vector<Date>> barcode_times;
  Text clock_text = Text(12, u'\0');
  Date clock_date;
  Text clock_flag = Text(1, u'\0');
  std::int32_t length_alldata2 = 0;
  Text newparams;
  Text cur_clicker_params;
};

}  // namespace vkd
