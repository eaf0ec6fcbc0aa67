// Device files of the simulated scanner, as any text. A file is read or refused with a
// message, never with an exception or a crash; and a file that was read, once written
// back with the scanner's changes the way the library writes it, reads as the same
// scanner again, so that nothing is lost between two processes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "fuzz_check.h"
#include "sim/device_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto parsed = vkd::sim::parse_device_file(text);
  if (const auto* problem = std::get_if<std::string>(&parsed)) {
    VKD_FUZZ_CHECK(!problem->empty());
    return 0;
  }
  const auto& loaded = std::get<vkd::sim::LoadedDevice>(parsed);
  const std::string rewritten =
      vkd::sim::updated_document(loaded.document, loaded.device).dump(2) + "\n";
  const auto reread = vkd::sim::parse_device_file(rewritten);
  VKD_FUZZ_CHECK(std::holds_alternative<vkd::sim::LoadedDevice>(reread));
  VKD_FUZZ_CHECK(std::get<vkd::sim::LoadedDevice>(reread).device == loaded.device);
  return 0;
}
