#include "cli/progress_host.h"

#include <gtest/gtest.h>

#include <sstream>

#include "fake_host.h"

namespace vkd::cli {
namespace {

using testing::FakeHost;

TEST(ProgressHost, NothingIsDrawnWhenStandardErrorIsNoTerminal) {
  FakeHost inner;
  std::ostringstream terminal;
  {
    ProgressHost host(inner, terminal, /*shown=*/false);
    settling_pause(host);
  }
  EXPECT_GT(inner.waits, 0);
  EXPECT_EQ(terminal.str(), "");
}

TEST(ProgressHost, DrawsOneLineDuringAPauseAndClearsItAtTheEnd) {
  FakeHost inner;
  inner.monotonic_step = std::chrono::milliseconds(150);  // every wait is worth a redraw
  std::ostringstream terminal;
  ProgressHost host(inner, terminal, /*shown=*/true);
  settling_pause(host);
  const std::string drawn = terminal.str();
  ASSERT_TRUE(drawn.starts_with("\rclicker: waiting for the scanner | 0 s")) << drawn;
  EXPECT_EQ(drawn.find('\n'), std::string::npos);  // never more than the one line

  host.finish();
  const std::string cleared = terminal.str().substr(drawn.size());
  const std::size_t last_line = drawn.size() - drawn.rfind('\r');
  EXPECT_EQ(cleared, "\r" + std::string(last_line - 1, ' ') + "\r");
  host.finish();
  EXPECT_EQ(terminal.str().size(), drawn.size() + cleared.size());  // nothing left to clear
}

TEST(ProgressHost, RedrawsAtMostEveryTenthOfASecond) {
  FakeHost inner;
  inner.monotonic_step = std::chrono::milliseconds(10);
  std::ostringstream terminal;
  ProgressHost host(inner, terminal, /*shown=*/true);
  for (int i = 0; i < 25; ++i) host.wait_briefly();  // 25 readings, 240 ms apart at the end
  const std::string drawn = terminal.str();
  EXPECT_EQ(std::count(drawn.begin(), drawn.end(), '\r'), 3) << drawn;
}

}  // namespace
}  // namespace vkd::cli
