#pragma once
// A scanner whose every answer comes from the fuzz input: each call first fills its
// output buffer (if it has one) with a chunk of the input, then returns a result from it.
#include "fake_library.h"
#include "fuzz_input.h"

namespace vkd::testing {

// Makes every function of the library answer from the input; a test may then replace the
// handler of single functions. The input must outlive the library's use.
void answer_from_input(FakeLibrary& library, FuzzInput& input);

}  // namespace vkd::testing
