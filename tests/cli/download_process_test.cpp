// The download command, run as a program against simulated scanners.
#include <gtest/gtest.h>

#include <string>

#include "clicker_sandbox.h"

namespace vkd::testing {
namespace {

using nlohmann::json;
using namespace std::string_literals;

TEST(DownloadCommand, V03PrintsTheDelimitedTextWithItsNulsAndRemembersThePort) {
  ClickerSandbox sandbox;
  sandbox.write_device(two_barcode_device());

  const ProgramRun run = sandbox.run({"download", "--log"});

  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out,
            "DL;V03;V1.5\0\0\0\0;0123456789ABCDEF;H;20090501135357;2;"
            "BC;1;20090501134502;3;13;8712345678906;BC;2;20090501134610;11;8;12345678\n"s);
  // The connection log goes to standard error: the search from port 0 found port 3.
  EXPECT_NE(run.err.find("OPOK:00"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find(":03"), std::string::npos) << run.err;
  EXPECT_EQ(json::parse(ClickerSandbox::read_file(sandbox.state_file())), json({{"port", 3}}));
}

TEST(DownloadCommand, V03TakesTheDelimiterWhole) {
  ClickerSandbox sandbox;
  sandbox.write_device(two_barcode_device());

  const ProgramRun run = sandbox.run({"download", "--delimiter", "||"});

  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_TRUE(run.out.starts_with("DL||V03||V1.5")) << run.out;
  EXPECT_TRUE(run.out.ends_with("||11||8||12345678\n")) << run.out;
}

TEST(DownloadCommand, V01PrintsTheFixedWidthText) {
  ClickerSandbox sandbox;
  sandbox.write_device(two_barcode_device());

  const ProgramRun run = sandbox.run({"download", "--format", "v01"});

  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out,
            "V01"
            "0123456789ABCDEF"
            "H"
            "575313010509"
            "0002"
            "001"
            "8712345678906"
            "03"
            "20090501134502"
            "002"
            "12345678     "
            "11"
            "20090501134610"
            "\n");
}

TEST(DownloadCommand, JsonCarriesTheScannerAndEveryRecord) {
  ClickerSandbox sandbox;
  sandbox.write_device(two_barcode_device());

  const ProgramRun run = sandbox.run({"download", "--format=json"});

  ASSERT_EQ(run.exit_code, 0) << run.err;
  const json document = json::parse(run.out);
  EXPECT_EQ(document["identifier"], "0123456789ABCDEF");
  EXPECT_EQ(document["version"], "V1.5\0\0\0\0"s);
  EXPECT_EQ(document["clock"], "2009-05-01T13:53:57");
  EXPECT_EQ(document["count"], 2);
  EXPECT_EQ(document["clock_hex"], "39350D010509");
  EXPECT_EQ(document["records"], json::parse(R"([
              {"index": 1, "barcode": "8712345678906", "code_type": 3, "time": "2009-05-01T13:45:02",
               "barcode_hex": "38373132333435363738393036", "stamp_hex": "42DB4225"},
              {"index": 2, "barcode": "12345678", "code_type": 11, "time": "2009-05-01T13:46:10",
               "barcode_hex": "3132333435363738", "stamp_hex": "8ADB4225"}])"));
}

// A comma and a quote need RFC 4180 quoting; the byte 0x80 is the euro sign of
// Windows-1252 and must come out as its UTF-8 form.
TEST(DownloadCommand, CsvQuotesBarcodesAndWritesUtf8) {
  ClickerSandbox sandbox;
  json device = two_barcode_device();
  device["barcodes"] = {{{"type", 1},
                         {"text_hex",
                          "412C2242"
                          "80"},
                         {"time", "2010-12-31T23:59:58"}}};
  sandbox.write_device(device);

  const ProgramRun run = sandbox.run({"download", "--format", "csv"});

  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(
      run.out,
      "index,barcode,code_type,time,identifier,version,clock,count,stamp_hex,clock_hex\r\n"
      "1,\"A,\"\"B\u20AC\",1,2010-12-31T23:59:58,0123456789ABCDEF,V1.5,2009-05-01T13:53:57,1,FA7E3F2B,"
      "39350D010509\r\n");
}

TEST(DownloadCommand, NoScannerOnAnyPortExitsTwoAndPrintsNothing) {
  ClickerSandbox sandbox;
  sandbox.write_device(two_barcode_device(/*port=*/20));  // beyond the sixteen searched

  const ProgramRun run = sandbox.run({"download", "--format", "json"});

  EXPECT_EQ(run.exit_code, 2);
  EXPECT_EQ(run.out, "");
  EXPECT_NE(run.err.find("no scanner answered"), std::string::npos) << run.err;
  EXPECT_FALSE(std::filesystem::exists(sandbox.state_file()));
}

// The simulated library answers no call of a device file it cannot read: to the command
// that is a scanner that never answers.
TEST(DownloadCommand, CorruptDeviceFileIsAScannerThatDoesNotAnswer) {
  ClickerSandbox sandbox;
  ClickerSandbox::write_file(sandbox.device_file(), R"({"port": 3, "barcodes": [)");

  const ProgramRun run = sandbox.run({"download"});

  EXPECT_EQ(run.exit_code, 2);
  EXPECT_EQ(run.out, "");
  EXPECT_FALSE(std::filesystem::exists(sandbox.state_file()));
}

// A count beyond 16 bits raises the overflow error inside the object.
TEST(DownloadCommand, ErrorInsideTheObjectExitsOneWithItsNumber) {
  ClickerSandbox sandbox;
  json device = two_barcode_device();
  device["script"] = {{{"call", "csp2ReadData"}, {"result", 40000}}};
  sandbox.write_device(device);

  const ProgramRun run = sandbox.run({"download"});

  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_NE(run.err.find("error 6: Overflow\nclicker: the scanner holds more than 32,767 records"),
            std::string::npos)
      << run.err;
}

}  // namespace
}  // namespace vkd::testing
