#pragma once
// The checks of option values, as CLI11 validators. A refusal is worded to follow the
// option's name: CLI11 reports it as "--port: takes ...", the command line says
// "--port takes ...".
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

namespace vkd::cli {

// Decimal digits only (no sign, blank or point), at most `largest`; handed on without
// leading zeros, so that CLI11's reading never takes "010" for octal. `what` names the
// value in the refusal: "a port number from 0 to 32767".
CLI::Validator whole_number_check(int largest, std::string what);

// One of `names`; the refusal lists them, after `scope` when one is given ("of params
// show takes raw, not 'csv'").
CLI::Validator choice_check(std::vector<std::string> names, std::string scope = {});

// "now", SSMMHHDDMMYY or a local date and time YYYY-MM-DDTHH:MM:SS, handed on as "now" or
// SSMMHHDDMMYY.
CLI::Validator clock_check();

// A local date YYYY-MM-DD or date and time YYYY-MM-DDTHH:MM:SS, handed on as the latter
// (midnight for a date alone): the form in which the store keeps its times.
CLI::Validator time_check();

// A scanner's identifier: 16 hex digits of either case, handed on in upper case.
CLI::Validator identifier_check();

// Anything but the empty word; `refusal` says what is missing ("needs a file name").
CLI::Validator non_empty_check(std::string refusal);

}  // namespace vkd::cli
