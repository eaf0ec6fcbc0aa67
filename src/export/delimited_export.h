#pragma once
// The delimited text of the last download (the property alldata2): "DL", "V03" and the
// header fields, then six fields per barcode, joined by pdelimiter (";" when it is empty).
// The delimiter is used whole and nothing is escaped: each barcode's length field tells a
// reader where it ends. A list that is missing or shorter than num_barcodes is error 9,
// and a text longer than 2^31 - 1 characters, more than a host's text or length_alldata2
// holds, is error 6 (overflow); either is found before the text is built, and then no
// text at all is produced.
#include "automation/text.h"
#include "state/clicker_state.h"

namespace vkd {

Text delimited_export(const ClickerState& state);

}  // namespace vkd
