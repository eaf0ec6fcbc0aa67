#pragma once
// A simulated scanner served in-process through the library's function table: each call
// is answered by the scanner itself, and its changes are kept in memory. The tests' fake
// library and the benchmarks put it where a loaded library would be.
#include <utility>

#include "csp2a/library.h"
#include "sim/scanner.h"

namespace vkd::sim {

class ScannerLibrary final : public Library {
 public:
  explicit ScannerLibrary(Device device) : scanner_(std::move(device), Scanner::in_memory()) {}

  Scanner& scanner() { return scanner_; }
  const Scanner& scanner() const { return scanner_; }

#define VKD_SCANNER_LIBRARY_OVERRIDE(name, params, args) std::int32_t name params override;
  CSP2A_FUNCTIONS(VKD_SCANNER_LIBRARY_OVERRIDE)
#undef VKD_SCANNER_LIBRARY_OVERRIDE

 private:
  Scanner scanner_;
};

}  // namespace vkd::sim
