#pragma once
// The table of scanner-library functions the conversations call. The real binding loads
// csp2a at run time; tests and benchmarks substitute in-process fakes.
#include <memory>

#include "csp2a/csp2a_functions.h"

namespace vkd {

class Library {
 public:
  virtual ~Library() = default;
#define VKD_DECLARE_LIBRARY_FUNCTION(name, params, args) virtual std::int32_t name params = 0;
  CSP2A_FUNCTIONS(VKD_DECLARE_LIBRARY_FUNCTION)
#undef VKD_DECLARE_LIBRARY_FUNCTION
};

// The process-wide binding of the installed library: loaded on first use, each function
// bound on its own first use. A missing library is error 53, a missing function 453.
Library& installed_library();

}  // namespace vkd
