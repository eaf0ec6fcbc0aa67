#include "component/parameter_texts.h"

#include "automation/mask.h"

namespace vkd {

namespace {

Text status_item(const std::optional<std::int32_t>& value) {
  return Text(u":").append(value ? hex_0x(*value) : Text(u"0x????"));
}

}  // namespace

void append_parameter_entry(Text& report, const ParameterValue& value) {
  append_zero_filled(report, value.number, 2);
  append_zero_filled(report, value.value, 2);
}

Text status_text(const StatusReport& status) {
  Text text = status.protocol ? hex_0x(*status.protocol) : Text(u":0x??");
  text += status_item(status.system_status);
  text.append(u":").append(text_from_bytes(status.version));
  text += status_item(status.ascii_mode);
  text += status_item(status.rtc_mode);
  return text;
}

Text showparams_text(const ParameterReadout& readout) {
  Text text = zero_filled(static_cast<std::int64_t>(readout.values.size()), 2);
  for (const ParameterValue& value : readout.values) append_parameter_entry(text, value);
  return text + u":" + status_text(readout.status);
}

}  // namespace vkd
