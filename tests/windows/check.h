#pragma once
// The checks of a test program that runs under Wine. Each failed check is printed with
// its line; the program ends with the same result line as the script suites,
// "RESULT: <n> passed, <m> failed", and m as its exit code, which the harness checks both.
#include <cstdio>
#include <source_location>
#include <string>

namespace vkd::testing {

struct CheckCounts {
  int passed = 0;
  int failed = 0;
};

inline CheckCounts& check_counts() {
  static CheckCounts counts;
  return counts;
}

inline bool check(bool ok, const std::string& what,
                  std::source_location where = std::source_location::current()) {
  if (ok) {
    ++check_counts().passed;
  } else {
    ++check_counts().failed;
    std::printf("FAILED line %u: %s\n", static_cast<unsigned>(where.line()), what.c_str());
  }
  return ok;
}

inline int finish_checks() {
  std::printf("RESULT: %d passed, %d failed\n", check_counts().passed, check_counts().failed);
  std::fflush(stdout);
  return check_counts().failed;
}

}  // namespace vkd::testing
