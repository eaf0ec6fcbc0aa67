// Device files that cannot be read at all: every call fails and the trace says why, and
// nothing of the scanner served before is lost meanwhile.
#include <algorithm>
#include <array>

#include "sim/device_file.h"
#include "sim_fixture.h"

namespace vkd::testing {
namespace {

class UnreadableDevice : public SimTest {
 protected:
  struct Unreadable {
    const char* kind;
    fs::path path;
    const char* why;
  };

  // A folder, a file whose reading fails (the kernel refuses to read this process's
  // memory at address 0) and a file too large to be a device file.
  std::vector<Unreadable> unreadable_files() const {
    fs::create_directories(folder_ / "folder");
    const fs::path large = folder_ / "large.json";
    std::ofstream(large) << "{}";
    fs::resize_file(large, sim::max_device_file_size + 1);
    return {{"folder", folder_ / "folder", "is a folder"},
            {"read error", "/proc/self/mem", "cannot be read"},
            {"too large", large, "is larger than"}};
  }

  // Every kind of call answers -5 and writes nothing into its buffer.
  void expect_every_call_fails() {
    Bytes packet(500, untouched);
    Bytes version(10, untouched);
    std::array<std::uint8_t, 4> stamp{};
    std::array<std::uint8_t, 6> clock = {1, 2, 3, 4, 5, 6};
    EXPECT_EQ(library().csp2Init(3), result::device_unusable);
    EXPECT_EQ(library().csp2ReadData(), result::device_unusable);
    EXPECT_EQ(library().csp2GetPacket(packet.data(), 0, 500), result::device_unusable);
    EXPECT_EQ(library().csp2GetSwVersion(version.data(), 10), result::device_unusable);
    EXPECT_EQ(library().csp2TimeStamp2Str(stamp.data(), version.data(), 10), result::device_unusable);
    EXPECT_EQ(library().csp2SetTime(clock.data()), result::device_unusable);
    EXPECT_EQ(library().csp2ClearData(), result::device_unusable);
    EXPECT_EQ(library().csp2Restore(), result::device_unusable);
    EXPECT_EQ(packet, Bytes(500, untouched));
    EXPECT_EQ(version, Bytes(10, untouched));
  }

  // The library's first message in the trace.
  void expect_trace_says(const fs::path& path, const char* why) {
    const std::vector<std::string> lines = trace_lines();
    const auto message = std::find_if(lines.begin(), lines.end(),
                                      [](const std::string& line) { return line.starts_with("# "); });
    ASSERT_NE(message, lines.end());
    EXPECT_TRUE(message->starts_with("# device file " + path.string() + " cannot be used")) << *message;
    EXPECT_NE(message->find(why), std::string::npos) << *message;
  }
};

TEST_F(UnreadableDevice, FailsEveryCallFromTheFirstAndSaysWhy) {
  for (const Unreadable& file : unreadable_files()) {
    SCOPED_TRACE(file.kind);
    fs::remove(trace_path());
    ::setenv("CSP2A_DEVICE", file.path.c_str(), 1);
    expect_every_call_fails();
    expect_trace_says(file.path, file.why);
  }
}

TEST_F(UnreadableDevice, TheScannerServedBeforeIsServedAgainAsItWas) {
  use_device({{"port", 3}, {"barcodes", {barcode(28, "40012345"), barcode(28, "40012346")}}});
  ASSERT_EQ(open_and_read(), 2);
  const std::string good = device_path().string();
  for (const Unreadable& file : unreadable_files()) {
    SCOPED_TRACE(file.kind);
    ::setenv("CSP2A_DEVICE", file.path.c_str(), 1);
    expect_every_call_fails();
    ::setenv("CSP2A_DEVICE", good.c_str(), 1);
    // The port is still held, and the records taken in are still there.
    EXPECT_EQ(library().csp2Init(3), result::port_in_use);
    Bytes packet(500, untouched);
    EXPECT_EQ(library().csp2GetPacket(packet.data(), 1, 500), 14);
    EXPECT_EQ(std::string(packet.begin() + 2, packet.begin() + 10), "40012346");
  }
}

TEST_F(UnreadableDevice, AFileThatBecomesAFolderAndComesBackIsTheSameScanner) {
  use_device({{"port", 3}, {"barcodes", {barcode(28, "40012345")}}});
  ASSERT_EQ(open_and_read(), 1);
  fs::rename(device_path(), folder_ / "kept.json");
  fs::create_directories(device_path());
  expect_every_call_fails();
  expect_trace_says(device_path(), "is a folder");

  fs::remove(device_path());
  fs::rename(folder_ / "kept.json", device_path());
  EXPECT_EQ(library().csp2Init(3), result::port_in_use);
  EXPECT_EQ(library().csp2ReadData(), 1);
}

TEST_F(UnreadableDevice, AChangeThatFindsTheFileUnreadableIsNotMade) {
  use_device({{"port", 3}, {"barcodes", {barcode(28, "40012345")}}});
  ASSERT_EQ(open_and_read(), 1);
  std::ofstream(device_path(), std::ios::binary) << "{\"port\": 3,";

  EXPECT_EQ(library().csp2ClearData(), result::device_unusable);
  std::array<std::uint8_t, 10> value = {7, 0};
  EXPECT_EQ(library().csp2SetParam(12, value.data(), 2), result::device_unusable);
  EXPECT_EQ(read_text(device_path()), "{\"port\": 3,");
  const std::vector<std::string> lines = trace_lines();
  EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                          [](const std::string& line) {
                            return line.starts_with("# device file ") && line.find("not JSON") != std::string::npos;
                          }),
            2);

  // Nor in the scanner served: it still holds its barcode and its parameter.
  EXPECT_EQ(library().csp2ReadData(), 1);
  EXPECT_EQ(library().csp2GetParam(12, value.data(), 10), result::ok);
  EXPECT_NE(value[0], 7);
}

}  // namespace
}  // namespace vkd::testing
