// Processes that change one device file at the same time: each change is made to the file
// as it then is, so none undoes another's.
#include <array>
#include <map>

#include "sim_fixture.h"

namespace vkd::testing {
namespace {

class SharedDevice : public SimTest {
 protected:
  // What one sim_writer reported about its steps.
  static json report_of(ChildProcess& writer) {
    const std::vector<std::string> lines = writer.lines();
    if (lines.size() != 1) {
      ADD_FAILURE() << "expected one report line, got " << lines.size();
      return json::object();
    }
    return json::parse(lines[0]);
  }

  // The texts of the barcodes the scanner now holds, as the library serves them.
  std::vector<std::string> barcode_texts() {
    std::vector<std::string> texts;
    const std::int32_t count = library().csp2ReadData();
    for (std::int32_t record = 0; record < count; ++record) {
      Bytes packet(500, untouched);
      const std::int32_t size = library().csp2GetPacket(packet.data(), record, 500);
      EXPECT_GE(size, 6);
      if (size >= 6) texts.emplace_back(packet.begin() + 2, packet.begin() + size - 4);
    }
    return texts;
  }

  // The writer's barcodes still held are the last ones it added, in order, or none; and
  // none that it erased itself is back.
  static void expect_barcodes_of(const std::string& name, const json& report,
                                 const std::vector<std::string>& texts) {
    SCOPED_TRACE(name);
    std::vector<int> held;
    for (const std::string& text : texts) {
      if (text.starts_with(name + "-")) held.push_back(std::stoi(text.substr(name.size() + 1)));
    }
    if (held.empty()) return;
    const int adds = report["adds"];
    EXPECT_GT(held.front(), report["erased_up_to"].get<int>());
    for (std::size_t i = 0; i < held.size(); ++i) {
      EXPECT_EQ(held[i], adds - static_cast<int>(held.size() - 1 - i));
    }
  }

  void expect_parameters_of(const json& report) {
    for (const auto& [number, value] : report["parameters"].items()) {
      std::array<std::uint8_t, 10> read{};
      ASSERT_EQ(library().csp2GetParam(std::stoi(number), read.data(), 10), result::ok);
      EXPECT_EQ(int{read[0]}, value.get<int>()) << "parameter " << number;
    }
  }
};

TEST_F(SharedDevice, TwoWritersLoseNothingOverAThousandMixedSteps) {
  use_device({{"port", 3}, {"clock", {0, 0, 12, 1, 1, 24}}});
  ::unsetenv("CSP2A_TRACE");  // two processes appending to one trace would only be slower
  const auto command = [](const char* name, int seed, int first_parameter) {
    return std::string(VKD_SIM_WRITER) + " " + name + " " + std::to_string(seed) + " 500 " +
           std::to_string(first_parameter);
  };
  ChildProcess first(command("A", 1, 0));
  ChildProcess second(command("B", 2, 100));
  const std::map<std::string, json> reports = {{"A", report_of(first)}, {"B", report_of(second)}};

  // Both took every kind of step, many times.
  for (const auto& [name, report] : reports) {
    for (const auto& [kind, count] : report["steps"].items()) EXPECT_GT(count.get<int>(), 10) << name << " " << kind;
  }

  ASSERT_EQ(library().csp2Init(3), result::ok);
  const std::vector<std::string> texts = barcode_texts();
  std::vector<std::array<std::uint8_t, 6>> last_clocks;
  for (const auto& [name, report] : reports) {
    expect_barcodes_of(name, report, texts);
    expect_parameters_of(report);
    last_clocks.push_back(report["last_clock"]);
  }
  // The clock is the last one set, whoever set it.
  std::array<std::uint8_t, 6> clock{};
  ASSERT_EQ(library().csp2GetTime(clock.data()), result::ok);
  EXPECT_TRUE(clock == last_clocks[0] || clock == last_clocks[1]);
}

}  // namespace
}  // namespace vkd::testing
