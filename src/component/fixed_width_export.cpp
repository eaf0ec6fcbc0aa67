#include "component/fixed_width_export.h"

#include "component/export_text.h"

namespace vkd {

Text fixed_width_export(const ClickerFields& fields) {
  FieldsSource source(fields);
  return counted_text([&](auto& output) { write_fixed_width(source, output); });
}

}  // namespace vkd
