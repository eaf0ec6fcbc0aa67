// The exports and the record accessors of Clicker. Each export read is a whole
// conversation with the scanner: it runs the object's own open_clicker first, whose
// error, if any, is the export's error.
#include <cstdint>

#include "component/clicker.h"
#include "export/delimited_export.h"
#include "export/fixed_width_export.h"
#include "export/record_accessors.h"

namespace vkd {

Text Clicker::alldata() {
  open_clicker();
  return fixed_width_export(state_);
}

Text Clicker::alldata2() {
  open_clicker();
  Text text = delimited_export(state_);
  // Only a text that was built counts; the export builds none longer than this field holds.
  state_.length_alldata2 = static_cast<std::int32_t>(text.size());
  return text;
}

Text Clicker::sbarcode() const { return selected_barcode_text(state_); }
Date Clicker::stime() const { return selected_barcode_time(state_); }
Variant Clicker::stype() const { return selected_barcode_type(state_); }

}  // namespace vkd
