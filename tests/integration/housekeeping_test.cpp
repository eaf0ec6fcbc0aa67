// Emptying, clock setting and parameters against the simulated scanner library, loaded
// by name like the vendor's, on a device file that the library keeps up to date.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "component/clicker.h"
#include "fake_host.h"
#include "csp2a/library.h"

namespace vkd::testing {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

// A scanner described by a device file of its own, named to the library for as long as
// the object lives.
class DeviceFile {
 public:
  explicit DeviceFile(const json& device)
      : path_(fs::temp_directory_path() /
              ("vkd-housekeeping-" + std::to_string(::getpid()) + ".json")) {
    std::ofstream(path_) << device.dump(2);
    ::setenv("CSP2A_DEVICE", path_.c_str(), 1);
  }
  DeviceFile(const DeviceFile&) = delete;
  DeviceFile& operator=(const DeviceFile&) = delete;
  ~DeviceFile() {
    ::unsetenv("CSP2A_DEVICE");
    fs::remove(path_);
  }

  json read() const {
    std::ifstream file(path_);
    std::stringstream text;
    text << file.rdbuf();
    return json::parse(text.str());
  }

 private:
  fs::path path_;
};

const json two_barcodes_on_port_3 = {
    {"port", 3},
    {"version", "HK 1.0"},
    {"clock", {0, 0, 12, 1, 1, 9}},
    {"barcodes",
     {{{"type", 22}, {"text", "4006381333931"}, {"time", "2009-05-01T09:12:44"}},
      {{"type", 3}, {"text", "ABC-123"}, {"time", "2009-05-01T09:13:02"}}}},
    {"parameters", {{"5", 30}}},
};

TEST(HousekeepingWithSimulatedScanner, SetsTheClockEmptiesAndWritesParameters) {
  DeviceFile device(two_barcodes_on_port_3);
  FakeHost host;
  Clicker clicker(installed_library(), host);
  clicker.let_lastport(Variant(std::int16_t{3}));
  clicker.let_pnewdatetime(u"595923311299");

  clicker.EmptyScanner();
  EXPECT_TRUE(clicker.open_ok());
  EXPECT_TRUE(clicker.empty_ok());
  EXPECT_TRUE(clicker.timechange_ok());
  EXPECT_EQ(clicker.num_barcodes(), 2);
  EXPECT_EQ(to_utf8(clicker.log()),
            "CLOK:01:OPOK:03142501*0:SetTime:595923311299:0:01::TimeOK::0");
  json file = device.read();
  EXPECT_EQ(file["barcodes"], json::array());
  EXPECT_EQ(file["clock"], json({59, 59, 23, 31, 12, 99}));

  // Defaults restored (parameter 5 back to its factory value), then 1 and 12 written.
  clicker.let_pnewdatetime(u"");
  clicker.let_newparams(Variant(Text(u"02" u"0100" u"1203")));
  clicker.reset_params();
  EXPECT_TRUE(clicker.empty_ok());
  EXPECT_EQ(clicker.num_barcodes(), 0);
  file = device.read();
  EXPECT_EQ(file["parameters"], json({{"1", 0}, {"12", 3}}));
  EXPECT_EQ(file["clock"], json({59, 59, 23, 31, 12, 99}));

  clicker.let_cur_clicker_params(Variant(Text(u"03" u"01" u"05" u"12")));
  const Text report = clicker.showparams();
  EXPECT_EQ(to_utf8(report.substr(0, 15)), "03010005101203:");
  EXPECT_NE(report.find(u":HK 1.0" + Text(4, u'\0') + u":"), Text::npos) << to_utf8(report);

  // A download sees the empty scanner and the clock as it was set.
  const Text fixed_width = clicker.alldata();
  EXPECT_EQ(clicker.num_barcodes(), 0);
  EXPECT_EQ(to_utf8(fixed_width.substr(20, 12)), "595923311299");
}

TEST(HousekeepingWithSimulatedScanner, ScannerOnAnotherPortIsNotEmptied) {
  DeviceFile device(two_barcodes_on_port_3);
  FakeHost host;
  Clicker clicker(installed_library(), host);
  clicker.let_lastport(Variant(std::int16_t{4}));
  clicker.EmptyScanner();
  EXPECT_FALSE(clicker.open_ok());
  EXPECT_EQ(to_utf8(clicker.log()).substr(0, 7), "OPNP:04");
  EXPECT_EQ(device.read()["barcodes"].size(), 2u);
}

TEST(HousekeepingWithSimulatedScanner, ScannerReportingAFailureDoesNotKeepItsPort) {
  json failing_once = two_barcodes_on_port_3;
  failing_once["script"] = {{{"call", "csp2GetSystemStatus"}, {"occurrence", 1}, {"result", -4}}};
  DeviceFile device(failing_once);
  FakeHost host;
  Clicker clicker(installed_library(), host);
  clicker.let_lastport(Variant(std::int16_t{3}));

  clicker.EmptyScanner();
  EXPECT_EQ(to_utf8(clicker.log()), "OPNG:03142501*0*2");
  EXPECT_EQ(device.read()["barcodes"].size(), 2u);

  // A port left held would answer every later conversation with -6.
  clicker.EmptyScanner();
  EXPECT_TRUE(clicker.empty_ok());
  EXPECT_EQ(device.read()["barcodes"], json::array());
}

}  // namespace
}  // namespace vkd::testing
