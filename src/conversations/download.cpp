#include "conversations/download.h"

#include <algorithm>
#include <optional>
#include <utility>

namespace vkd {

bool Download::complete() const {
  return answered() && records.size() == static_cast<std::size_t>(std::max<std::int16_t>(count, 0)) &&
         std::ranges::all_of(records, [](const DownloadedRecord& record) { return record.state == RecordState::whole; });
}

Download download(Library& library, Host& host, PortRange ports, DownloadObserver& observer) {
  Download result;
  std::optional<OpenPort> port = search_ports(library, host, ports, result.connection, observer);
  if (!port) return result;
  result.count = *result.connection.answered()->count;
  library.csp2GetDeviceId(result.identifier.data(), csp2a::device_id_size);
  observer.identifier_read(result.identifier);
  result.records = download_records(library, result.count, observer);
  ClockAndVersion clock_and_version = read_clock_and_version(std::move(*port), host, observer);
  result.clock = clock_and_version.clock;
  result.version = clock_and_version.version;
  return result;
}

}  // namespace vkd
