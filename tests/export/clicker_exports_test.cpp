// The exports and accessors as members of Clicker: each export read runs a whole
// open_clicker on the (fake) scanner first, and passes its error on unchanged.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "automation/error.h"
#include "component/clicker.h"
#include "export_state.h"
#include "fake_host.h"
#include "fake_library.h"
#include "peak_memory.h"
#include "sim/device.h"
#include "sim/time_stamp.h"

namespace vkd::testing {
namespace {

// Both worked-example scans were made on 1 May 2009.
sim::TimeStamp stamp(int hour, int minute, int second) {
  return sim::pack({.second = second, .minute = minute, .hour = hour, .day = 1, .month = 5, .year = 9});
}

sim::Device worked_example() {
  sim::Device device;
  device.id = {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF};
  device.clock = {57, 53, 13, 1, 5, 9};
  device.version = {'A', 'B', 'C', 'D', '1', '2', '3', '4'};
  device.barcodes = {{3, "8712345678906", stamp(13, 45, 2)}, {11, "12345678", stamp(13, 46, 10)}};
  return device;
}

// The scanner reports `count` barcodes, whatever it holds; it serves those it holds.
void report_count(FakeLibrary& library, std::int32_t count) {
  library.handle(Function::csp2ReadData, [&library, count](auto, auto) {
    library.scanner().read_data();
    return count;
  });
}

// A port that opens but is then rejected leaves its count behind without a download.
void count_without_download(FakeLibrary& library, std::int32_t count) {
  report_count(library, count);
  library.script_all(Function::csp2GetSystemStatus, {-1, {}});
}

class ClickerExports : public ::testing::Test {
 protected:
  template <typename Read>
  std::int32_t error_number(Read read) {
    try {
      read();
    } catch (const Error& error) {
      return error.number();
    }
    ADD_FAILURE() << "no error";
    return 0;
  }

  void expect_accessors_fail_at(std::int16_t index) {
    SCOPED_TRACE(index);
    clicker.let_get_barcode(index);
    EXPECT_EQ(error_number([&] { (void)clicker.sbarcode(); }), 9);
    EXPECT_EQ(error_number([&] { (void)clicker.stime(); }), 9);
    EXPECT_EQ(error_number([&] { (void)clicker.stype(); }), 9);
  }

  FakeLibrary library{worked_example()};
  FakeHost host;
  Clicker clicker{library, host};
};

TEST_F(ClickerExports, WorkedExamplesComeFromTheScanner) {
  EXPECT_EQ(clicker.alldata2(), delimited_example);
  EXPECT_EQ(clicker.length_alldata2(), 124);
  EXPECT_EQ(clicker.alldata(), fixed_width_example);
  EXPECT_EQ(clicker.length_alldata2(), 124);  // the fixed-width text does not set it
}

TEST_F(ClickerExports, EveryReadIsAWholeConversation) {
  clicker.alldata();
  clicker.alldata2();
  EXPECT_EQ(library.count(Function::csp2ReadData), 2);
  EXPECT_EQ(library.count(Function::csp2GetPacket), 4);
  EXPECT_EQ(library.count(Function::csp2GetSwVersion), 2);
}

TEST_F(ClickerExports, LengthCountsTheNulsOfAShortVersion) {
  library.change_device([](sim::Device& device) { device.version = {'V', '1'}; });
  const Text text = clicker.alldata2();
  EXPECT_EQ(text.substr(0, 16), u"DL;V03;V1" + Text(6, u'\0') + u";");
  EXPECT_EQ(clicker.length_alldata2(), static_cast<std::int32_t>(text.size()));
  EXPECT_EQ(text.size(), 124u);
}

TEST_F(ClickerExports, NoScannerOnANewObjectGivesTheHeadersOfNeverReadFields) {
  library.change_device([](sim::Device& device) { device.port = 99; });
  // Blanks for the serial and the flag, zeros for the clock and the count.
  EXPECT_EQ(clicker.alldata(), u"V01" + Text(17, u' ') + u"0000000000000000");
  EXPECT_EQ(clicker.alldata2(), u"DL;V03;" + Text(8, u'\0') + u";;;18991230000000;0");
  EXPECT_EQ(clicker.length_alldata2(), 34);
  EXPECT_FALSE(clicker.open_ok());
}

struct Failure {
  const char* name;
  std::function<void(Clicker&, FakeLibrary&)> arrange;
  std::int32_t number;
};

struct ExportMember {
  const char* name;
  Text (Clicker::*read)();
};

class ExportFailure : public ClickerExports,
                      public ::testing::WithParamInterface<std::tuple<ExportMember, Failure>> {};

TEST_P(ExportFailure, GivesNoTextAndKeepsTheLength) {
  const ExportMember& member = std::get<0>(GetParam());
  const Failure& failure = std::get<1>(GetParam());
  // A length of an earlier text, from a scanner that held nothing: no lists yet.
  const std::vector<sim::Barcode> barcodes = library.scanner().device().barcodes;
  library.change_device([](sim::Device& device) { device.barcodes.clear(); });
  clicker.let_pdelimiter(u"|||");
  (void)clicker.alldata2();
  clicker.let_pdelimiter(u"");
  library.change_device([&barcodes](sim::Device& device) { device.barcodes = barcodes; });
  ASSERT_EQ(clicker.length_alldata2(), 63);
  failure.arrange(clicker, library);
  EXPECT_EQ(error_number([&] { (clicker.*member.read)(); }), failure.number);
  EXPECT_EQ(clicker.length_alldata2(), 63);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExportFailure,
    ::testing::Combine(
        ::testing::Values(ExportMember{"Fixed", &Clicker::alldata},
                          ExportMember{"Delimited", &Clicker::alldata2}),
        ::testing::Values(
            // Errors of the embedded open_clicker, passed on unchanged.
            Failure{"NullLastport", [](Clicker& c, auto&) { c.let_lastport(Variant::null()); }, 13},
            Failure{"TextLastport", [](Clicker& c, auto&) { c.let_lastport(Variant(Text(u"7a"))); }, 13},
            Failure{"CountBeyond16Bits", [](auto&, FakeLibrary& l) { report_count(l, 40000); }, 6},
            // Lists that do not match the count.
            Failure{"CountWithoutAnyLists",
                    [](auto&, FakeLibrary& l) { count_without_download(l, 1); }, 9},
            Failure{"CountAboveTheListsOfAnEarlierDownload",
                    [](Clicker& c, FakeLibrary& l) {
                      c.open_clicker();  // lists of 2
                      count_without_download(l, 5);
                    },
                    9})),
    [](const auto& info) {
      return std::string(std::get<0>(info.param).name) + std::get<1>(info.param).name;
    });

TEST_F(ClickerExports, ADelimitedTextLongerThanAHostHoldsIsAnOverflowAndKeepsTheLength) {
  library.change_device([](sim::Device& device) {
    device.barcodes.assign(4000, {3, "8712345678906", stamp(13, 45, 2)});
  });
  (void)clicker.alldata2();
  const std::int32_t earlier = clicker.length_alldata2();
  ASSERT_GT(earlier, 0);
  clicker.let_pdelimiter(Text(100'000, u'|'));  // six per record: 2.4 billion characters
  const long before = peak_memory_kib();
  EXPECT_EQ(error_number([&] { (void)clicker.alldata2(); }), 6);
  EXPECT_LT(peak_memory_kib() - before, 64 * 1024) << "KiB more than before";
  EXPECT_EQ(clicker.length_alldata2(), earlier);
  EXPECT_TRUE(clicker.open_ok());
  EXPECT_EQ(clicker.num_barcodes(), 4000);
}

TEST_F(ClickerExports, AccessorsOnANewObjectFail) {
  for (const std::int16_t index : {0, 1, -1}) expect_accessors_fail_at(index);
}

TEST_F(ClickerExports, AccessorsReadEntryZeroToTheLastRecordAndNotBeyond) {
  clicker.open_clicker();
  EXPECT_EQ(clicker.sbarcode(), u"");
  EXPECT_EQ(clicker.stime(), Date{0.0});
  EXPECT_TRUE(clicker.stype().is_empty());
  clicker.let_get_barcode(2);
  EXPECT_EQ(clicker.sbarcode(), u"12345678");
  EXPECT_EQ(clicker.stime(), at(2009, 5, 1, 13, 46, 10));
  EXPECT_EQ(clicker.stype(), Variant(std::int16_t{11}));
  for (const std::int16_t outside : {3, 32767, -1, -32768}) expect_accessors_fail_at(outside);
}

TEST_F(ClickerExports, DownloadThatFindsNothingKeepsTheOldRecords) {
  clicker.alldata2();
  report_count(library, 0);
  EXPECT_EQ(clicker.alldata2(), u"DL;V03;ABCD1234;0123456789ABCDEF;H;20090501135357;0");
  EXPECT_EQ(clicker.length_alldata2(), 51);
  clicker.let_get_barcode(2);
  EXPECT_EQ(clicker.sbarcode(), u"12345678");
  EXPECT_EQ(clicker.stype(), Variant(std::int16_t{11}));
}

TEST_F(ClickerExports, DownloadThatStoppedEarlyLeavesUnfilledEntries) {
  report_count(library, 4);  // only the two stored barcodes are served
  const Text delimited = clicker.alldata2();
  EXPECT_EQ(delimited.substr(delimited.find(u";BC;3;")),
            u";BC;3;18991230000000;;0;" u";BC;4;18991230000000;;0;");
  const Text fixed = clicker.alldata();
  EXPECT_EQ(fixed.substr(fixed.size() - 64),
            u"003" + Text(13, u' ') + u"0018991230000000" + u"004" + Text(13, u' ') + u"0018991230000000");

  for (const std::int16_t index : {3, 4}) {
    clicker.let_get_barcode(index);
    EXPECT_EQ(clicker.sbarcode(), u"");
    EXPECT_EQ(clicker.stime(), Date{0.0});
    EXPECT_TRUE(clicker.stype().is_empty());
  }
  expect_accessors_fail_at(5);
}

}  // namespace
}  // namespace vkd::testing
