#pragma once
// What a download's --delimiter may be. V03 writes it between fields that are numbers and
// texts whose length fields tell a reader where they end, CSV between quoted-when-needed
// fields: a digit would make either ambiguous, and neither may stop being UTF-8.
#include <optional>
#include <string>
#include <string_view>

#include "cli/arguments.h"

namespace vkd::cli {

// Why `delimiter` does not do for `format`, worded to follow the option's name; none when
// it does.
std::optional<std::string> delimiter_refusal(Format format, std::string_view delimiter);

}  // namespace vkd::cli
