#include "conversations/open_and_download.h"

#include <optional>
#include <utility>

#include "conversations/download_records.h"
#include "conversations/read_clock_and_version.h"
#include "conversations/search_ports.h"

namespace vkd {

void open_and_download(ClickerState& state, Library& library, Host& host) {
  std::optional<OpenPort> port = search_ports(state, library, host);
  if (!port) return;
  read_serial(state, library);
  download_records(state, library);
  read_clock_and_version(state, std::move(*port), host);
}

}  // namespace vkd
