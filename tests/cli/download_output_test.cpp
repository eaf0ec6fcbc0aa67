// The CSV and JSON forms of a download.
#include <gtest/gtest.h>

#include <string>

#include "cli/csv_output.h"
#include "cli/json_output.h"
#include "nlohmann/json.hpp"

namespace vkd::cli {
namespace {

using namespace std::string_literals;

// The scanner reported three records; the third was never read.
DownloadReport report_with_an_unread_record() {
  return {.identifier = "0123456789ABCDEF",
          .version = "V1\0\0\0\0\0\0"s,
          .clock = "2009-05-01T13:53:57",
          .count = 3,
          .records = {
              {.index = 1, .barcode = "A;B", .code_type = 3, .time = "2009-05-01T13:45:02"},
              {.index = 2, .barcode = "", .code_type = 0, .time = "1899-12-30T00:00:00"}}};
}

TEST(CsvField, QuotesOnlyWhatNeedsIt) {
  const struct {
    std::string field;
    std::string separator;
    std::string written;
  } cases[] = {
      {"8712345678906", ",", "8712345678906"},
      {"", ",", ""},
      {"SN 0042", ",", "SN 0042"},  // blanks need no quotes
      {"A,B", ",", "\"A,B\""},
      {"A,B", ";", "A,B"},  // only the separator in use
      {"A;B", ";", "\"A;B\""},
      {"say \"hi\"", ",", "\"say \"\"hi\"\"\""},
      {"\"", ",", "\"\"\"\""},
      {"two\nlines", ",", "\"two\nlines\""},
      {"cr\r", ",", "\"cr\r\""},
      {"\xE2\x82\xAC", ",", "\xE2\x82\xAC"},
      // A separator of several bytes is looked for whole: "\xC3\xA3" shares its first byte
      // with the separator "\xC3\xA9" and needs no quotes.
      {"S\xC3\xA3o Paulo", "\xC3\xA9", "S\xC3\xA3o Paulo"},
      {"caf\xC3\xA9", "\xC3\xA9", "\"caf\xC3\xA9\""},
      {"A,B", "\xE2\x82\xAC", "A,B"},
  };
  for (const auto& [field, separator, written] : cases)
    EXPECT_EQ(csv_field(field, separator), written) << field;
}

TEST(CsvOutput, HeaderThenOneLinePerRecordWithTheScannerOnEach) {
  const std::string records =
      "1;\"A;B\";3;2009-05-01T13:45:02;0123456789ABCDEF;V1;2009-05-01T13:53:57;3\r\n"
      "2;;0;1899-12-30T00:00:00;0123456789ABCDEF;V1;2009-05-01T13:53:57;3\r\n";
  EXPECT_EQ(csv_output(report_with_an_unread_record(), ";"),
            "index;barcode;code_type;time;identifier;version;clock;count\r\n" + records);
  // Continuing a file that has its header already.
  EXPECT_EQ(csv_output(report_with_an_unread_record(), ";", /*with_header=*/false), records);
}

TEST(CsvOutput, KeepsNulsInsideTheVersionAndDropsOnlyThePadding) {
  DownloadReport report = report_with_an_unread_record();
  report.version = "A\0B\0\0\0\0\0"s;
  const std::string csv = csv_output(report, ",");
  EXPECT_NE(csv.find(",A\0B,"s), std::string::npos);
}

TEST(JsonOutput, ParsesBackToTheReport) {
  const std::string text = json_output(report_with_an_unread_record());
  EXPECT_NE(text.find(R"("V1\u0000\u0000\u0000\u0000\u0000\u0000")"), std::string::npos) << text;
  const auto document = nlohmann::json::parse(text);
  EXPECT_EQ(document["identifier"], "0123456789ABCDEF");
  EXPECT_EQ(document["version"], "V1\0\0\0\0\0\0"s);
  EXPECT_EQ(document["clock"], "2009-05-01T13:53:57");
  EXPECT_EQ(document["count"], 3);
  ASSERT_EQ(document["records"].size(), 2u);
  EXPECT_EQ(
      document["records"][0],
      nlohmann::json::parse(
          R"({"index": 1, "barcode": "A;B", "code_type": 3, "time": "2009-05-01T13:45:02"})"));
  EXPECT_EQ(document["records"][1]["code_type"], 0);
}

TEST(JsonLinesOutput, OneObjectPerRecordEachWithTheIdentifier) {
  EXPECT_EQ(jsonl_output(report_with_an_unread_record()),
            R"({"identifier":"0123456789ABCDEF","index":1,"barcode":"A;B","code_type":3,)"
            R"("time":"2009-05-01T13:45:02"})"
            "\n"
            R"({"identifier":"0123456789ABCDEF","index":2,"barcode":"","code_type":0,)"
            R"("time":"1899-12-30T00:00:00"})"
            "\n");
  DownloadReport nothing = report_with_an_unread_record();
  nothing.records.clear();
  EXPECT_EQ(jsonl_output(nothing), "");
}

TEST(JsonOutput, NoRecordsIsAnEmptyArray) {
  DownloadReport report = report_with_an_unread_record();
  report.count = 0;
  report.records.clear();
  EXPECT_EQ(nlohmann::json::parse(json_output(report))["records"], nlohmann::json::array());
}

TEST(Iso8601, DateValuesAsLocalDateTimes) {
  EXPECT_EQ(iso_8601(Date{0.0}), "1899-12-30T00:00:00");
  EXPECT_EQ(iso_8601(date_from_parts({2009, 5, 1, 13, 53, 57})), "2009-05-01T13:53:57");
}

}  // namespace
}  // namespace vkd::cli
