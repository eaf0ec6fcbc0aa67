#pragma once
// The texts of a parameter readout as showparams gives them: each parameter number and
// its value, two digits each (a value of 100 or more takes three), then ":" and the
// status items separated by ":".
#include "automation/text.h"
#include "conversations/parameter_exchanges.h"
#include "conversations/show_parameters.h"

namespace vkd {

// "0103" for parameter 1 holding 3.
void append_parameter_entry(Text& report, const ParameterValue& value);

// The protocol, then ":" and the system status, the ten characters of the version buffer
// (NULs included), the ASCII mode and the clock mode, each in the "0x" hex format. A value
// the library did not give shows as "0x????"; the protocol's as ":0x??", so that the
// status text of a scanner that did not answer begins with a colon, which its hosts test.
Text status_text(const StatusReport& status);

// The whole showparams text of a readout, the list's count in front.
Text showparams_text(const ParameterReadout& readout);

}  // namespace vkd
