#pragma once
// The fixed-width text of the last download (the property alldata): a "V01" header and
// one record per barcode, no separators. Fields grow beyond their widths instead of
// being cut. A list that is missing or shorter than num_barcodes is error 9, and then no
// text at all is produced.
#include "automation/text.h"
#include "state/clicker_state.h"

namespace vkd {

Text fixed_width_export(const ClickerState& state);

}  // namespace vkd
