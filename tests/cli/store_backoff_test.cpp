// The station's back-off from a failing store.
#include "cli/store_backoff.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "fake_host.h"

namespace vkd::cli {
namespace {

using namespace std::chrono_literals;
using store::StoreError;

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line.substr(line.find(' ') + 1));  // no time
  return lines;
}

// Said once per outage, tried again after 3, 6, 12 ... up to 60 s, its end said.
TEST(StoreBackoff, SaysAnOutageOnceAndTriesTheStoreLessAndLessOften) {
  testing::FakeHost host;
  host.monotonic_step = 0ns;
  std::ostringstream err;
  StationEvents events(err, false);
  StoreBackoff backoff(host, events);
  const StoreError lost(StoreError::Kind::lost, "store postgresql://db/collect: lost the connection");

  for (const int outage : {1, 2}) {
    SCOPED_TRACE("outage " + std::to_string(outage));
    EXPECT_TRUE(backoff.due());
    std::vector<int> waits;
    for (int attempt = 0; attempt < 7; ++attempt) {
      backoff.failed(lost, "the scanner was left as it was");
      int waited = 0;
      for (; !backoff.due(); ++waited) host.monotonic += 1s;
      waits.push_back(waited);
    }
    EXPECT_EQ(waits, (std::vector{3, 6, 12, 24, 48, 60, 60}));
    backoff.worked();
    backoff.worked();
  }
  const std::string outage =
      "store: store postgresql://db/collect: lost the connection; the scanner was left as it was; nothing is stored "
      "or erased until it works again, tried again in 3 s, then less often, up to every 60 s";
  EXPECT_EQ(lines_of(err.str()), (std::vector<std::string>{outage, "store: works again, after 213 s", outage,
                                                           "store: works again, after 213 s"}));
}

}  // namespace
}  // namespace vkd::cli
