#pragma once
// A broken property ends the run like a sanitizer finding, so that libFuzzer keeps the
// input that broke it.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>

#include "automation/error.h"

#define VKD_FUZZ_CHECK(condition)                                                      \
  do {                                                                                 \
    if (!(condition)) {                                                                \
      std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__,         \
                   #condition);                                                        \
      std::abort();                                                                    \
    }                                                                                  \
  } while (false)

namespace vkd::testing {

// Runs an operation that may end only with one of the listed platform errors; true when
// it ran to its end. Any other exception escapes and ends the run.
template <typename Operation>
bool completes(std::initializer_list<ErrorNumber> allowed, Operation&& operation) {
  try {
    operation();
    return true;
  } catch (const Error& error) {
    if (std::find(allowed.begin(), allowed.end(), error.code()) == allowed.end()) {
      std::fprintf(stderr, "unexpected error %d: %s\n", static_cast<int>(error.number()),
                   error.what());
      std::abort();
    }
    return false;
  }
}

}  // namespace vkd::testing
