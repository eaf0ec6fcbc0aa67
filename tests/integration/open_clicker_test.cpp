// open_clicker against the simulated scanner library, loaded by name like the vendor's:
// the built-in demo scanner, and scanners described by device files.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "automation/date.h"
#include "automation/error.h"
#include "component/clicker.h"
#include "fake_host.h"
#include "record_lists.h"
#include "csp2a/library.h"

namespace vkd {
namespace {

Date at(int year, int month, int day, int hour, int minute, int second) {
  return add_duration(date_serial(year, month, day), hour, minute, second);
}

// A device file of its own for one test, named in CSP2A_DEVICE while the test runs.
class DeviceFile {
 public:
  explicit DeviceFile(const std::string& json)
      : path_(std::filesystem::temp_directory_path() /
              ("open_clicker_device_" + std::to_string(::getpid()) + ".json")) {
    std::ofstream(path_) << json;
    ::setenv("CSP2A_DEVICE", path_.c_str(), 1);
  }
  DeviceFile(const DeviceFile&) = delete;
  DeviceFile& operator=(const DeviceFile&) = delete;
  ~DeviceFile() {
    ::unsetenv("CSP2A_DEVICE");
    std::filesystem::remove(path_);
  }

 private:
  std::filesystem::path path_;
};

class OpenClickerWithSimulatedScanner : public ::testing::Test {
 protected:
  testing::FakeHost host;
  Clicker clicker{installed_library(), host};
};

TEST_F(OpenClickerWithSimulatedScanner, DownloadsTheDemoScannerOnPort3) {
  ::unsetenv("CSP2A_DEVICE");
  clicker.open_clicker();

  EXPECT_TRUE(clicker.open_ok());
  EXPECT_EQ(clicker.comport(), 3);
  const Text log = clicker.log();
  EXPECT_EQ(log.substr(0, 7), u"OPOK:00");
  EXPECT_EQ(log.find(u"*-1:01"), 13u);
  EXPECT_EQ(log.substr(log.size() - 7), u"*0*0*12") << to_utf8(log);
  EXPECT_EQ(clicker.serial(), u"104A007E2391C50B");
  ASSERT_EQ(clicker.num_barcodes(), 12);
  const std::vector<Text> texts = testing::barcode_texts(clicker);
  const std::vector<Variant> types = testing::barcode_types(clicker);
  const std::vector<Date> times = testing::barcode_times(clicker);
  ASSERT_EQ(texts.size(), 13u);
  EXPECT_EQ(texts[1], u"4006381333931");
  EXPECT_EQ(types[1], Variant(std::int16_t{22}));
  EXPECT_EQ(times[1], at(2009, 5, 1, 9, 12, 44));
  EXPECT_EQ(texts[10], u"SN 0042-7781");
  EXPECT_EQ(times[10], at(2009, 5, 4, 0, 0, 5));
  EXPECT_EQ(texts[12], u"7622210449283");
  EXPECT_EQ(times[12], at(2009, 5, 4, 16, 19, 47));
  EXPECT_EQ(clicker.SwVersion(), u"SIM 2.10");
  // The clock, which the texts show: its flag and digits, and its date.
  EXPECT_EQ(clicker.alldata().substr(19, 13), u"H052016040509");
  EXPECT_EQ(clicker.alldata2().substr(35, 14), u"20090504162005");

  // The port was released: the next call finds the scanner again.
  clicker.open_clicker();
  EXPECT_TRUE(clicker.open_ok());
  EXPECT_EQ(clicker.num_barcodes(), 12);
  clicker.close_clicker();
}

// Port 5, a flagged clock, a short version, and time stamps with unknown fields: the
// seconds (63), the month (??) and the hour (?? with its AM/PM mark).
constexpr const char* scanner_on_port_5 = R"({
  "port": 5,
  "id": "0AFF000102030405",
  "version": "V1.2",
  "clock": [255, 15, 9, 17, 5, 7],
  "barcodes": [
    {"type": 28, "text": "40012345", "time": "2007-05-17T14:30:15"},
    {"type": 3, "text_hex": "4180E9", "stamp": "BFE7621D"},
    {"type": 255, "text": "", "stamp": "8FE7221C"},
    {"type": 1, "text": "HOUR", "stamp": "8FF7631D"}
  ]
})";

TEST_F(OpenClickerWithSimulatedScanner, DownloadsAScannerFromADeviceFile) {
  const DeviceFile device(scanner_on_port_5);
  clicker.let_lastport(Variant(Text(u"4")));
  clicker.open_clicker();

  EXPECT_TRUE(clicker.open_ok());
  EXPECT_EQ(clicker.comport(), 5);
  const Text log = clicker.log();
  EXPECT_EQ(log.substr(0, 7), u"OPOK:04");
  EXPECT_EQ(log.substr(log.size() - 6), u"*0*0*4") << to_utf8(log);
  EXPECT_EQ(clicker.serial(), u"0AFF000102030405");
  ASSERT_EQ(clicker.num_barcodes(), 4);
  EXPECT_EQ(testing::barcode_texts(clicker),
            (std::vector<Text>{u"", u"40012345", u"A\u20AC\u00E9", u"", u"HOUR"}));
  EXPECT_EQ(testing::barcode_types(clicker),
            (std::vector<Variant>{Variant(), Variant(std::int16_t{28}), Variant(std::int16_t{3}),
                                  Variant(std::int16_t{255}), Variant(std::int16_t{1})}));
  const std::vector<Date> times = testing::barcode_times(clicker);
  EXPECT_EQ(times[1], at(2007, 5, 17, 14, 30, 15));
  EXPECT_EQ(times[2], at(2007, 5, 17, 14, 30, 0));
  EXPECT_EQ(times[3], at(2001, 1, 1, 14, 30, 15));
  EXPECT_EQ(times[4], at(2007, 5, 17, 0, 0, 0));
  EXPECT_EQ(clicker.SwVersion(), u"V1.2" + Text(4, u'\0'));
  EXPECT_EQ(clicker.alldata().substr(19, 13), u"L001509170507");
  EXPECT_EQ(clicker.alldata2().substr(35, 14), u"20070517091500");
}

TEST_F(OpenClickerWithSimulatedScanner, AnOverflowingCountLeavesThePortFree) {
  const DeviceFile device(R"({"port": 2, "script": [
    {"call": "csp2ReadData", "occurrence": 1, "result": 40000}]})");
  try {
    clicker.open_clicker();
    ADD_FAILURE() << "no error";
  } catch (const Error& error) {
    EXPECT_EQ(error.number(), 6);
  }
  EXPECT_FALSE(clicker.open_ok());

  clicker.open_clicker();
  EXPECT_TRUE(clicker.open_ok());
  EXPECT_EQ(clicker.comport(), 2);
  EXPECT_EQ(clicker.num_barcodes(), 0);
}

TEST_F(OpenClickerWithSimulatedScanner, NoScannerAnswersOnAPortBeyond15) {
  const DeviceFile device(R"({"port": 16})");
  clicker.open_clicker();
  EXPECT_FALSE(clicker.open_ok());
  EXPECT_EQ(clicker.comport(), 999);
  EXPECT_EQ(clicker.log().substr(0, 4), u"OPNC");
}

}  // namespace
}  // namespace vkd
