// The library's exported functions, one per entry of the function list, each forwarding
// to the process-wide simulated library. Nothing may escape into a caller that knows no
// C++ exceptions, so any that arises becomes a failure result.
#include "csp2a/csp2a_functions.h"
#include "sim/result.h"
#include "sim/simulated_library.h"

#ifdef _WIN32
#define VKD_SIM_EXPORT __declspec(dllexport)
#else
#define VKD_SIM_EXPORT __attribute__((visibility("default")))
#endif

namespace {

template <class Call>
std::int32_t guarded(const Call& call) noexcept {
  try {
    return call();
  } catch (...) {
    return vkd::sim::result::internal_failure;
  }
}

}  // namespace

#define VKD_SIM_DEFINE_EXPORT(name, params, args)                                   \
  extern "C" VKD_SIM_EXPORT std::int32_t CSP2A_CALL name params {                   \
    return guarded([&] { return vkd::sim::SimulatedLibrary::instance().name args; }); \
  }
CSP2A_FUNCTIONS(VKD_SIM_DEFINE_EXPORT)
#undef VKD_SIM_DEFINE_EXPORT
