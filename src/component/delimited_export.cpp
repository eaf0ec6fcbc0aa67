#include "component/delimited_export.h"

#include "component/export_text.h"

namespace vkd {

Text delimited_export(const ClickerFields& fields) {
  FieldsSource source(fields);
  return counted_text([&](auto& output) { write_delimited(source, delimiter_of(fields.pdelimiter), output); });
}

}  // namespace vkd
