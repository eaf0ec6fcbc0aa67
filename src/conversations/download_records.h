#pragma once
// The download of open_clicker: every stored record fetched from the library and
// decoded into the three record lists, while the port found by the search is open.
#include "state/clicker_state.h"
#include "csp2a/library.h"

namespace vkd {

// When the scanner reported at least one barcode (num_barcodes > 0), rebuilds the
// record lists for indexes 0 to num_barcodes (entry 0 stays empty) and fills entries 1
// onwards from the library's packets until the library has no more. With no barcodes
// the lists of the previous download stay as they were.
//
// A record too short to hold its time stamp keeps its code type and gets an empty text
// and the fallback time stamp, 2001-01-01 00:00:00; so does a time-stamp text whose date
// cannot be read. Neither ends the download. Bytes of a record that the library did not
// write read as zeros: a record of which it wrote nothing is such a short record, of code
// type 0.
void download_records(ClickerState& state, Library& library);

}  // namespace vkd
