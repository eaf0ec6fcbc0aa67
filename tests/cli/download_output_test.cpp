// The CSV and JSON forms of a download.
#include <gtest/gtest.h>

#include <string>

#include "cli/csv_output.h"
#include "cli/json_output.h"
#include "cli/record_fields.h"
#include "nlohmann/json.hpp"

namespace vkd::cli {
namespace {

using namespace std::string_literals;

class StringSink final : public files::Sink {
 public:
  void write(std::string_view bytes) override { text.append(bytes); }
  bool failed() const override { return false; }
  std::string text;
};

DownloadedRecord whole(std::int32_t index, std::string barcode, std::uint8_t type, std::optional<Date> time) {
  DownloadedRecord record;
  record.index = index;
  record.state = RecordState::whole;
  record.code_type = type;
  record.barcode = std::move(barcode);
  record.stamp = {0x82, 0x5B, 0x22, static_cast<std::uint8_t>(index)};
  record.time = time.value_or(date_serial(2001, 1, 1));
  record.time_known = time.has_value();
  return record;
}

// The scanner reported four records: two came whole, the second with a time it did not
// stamp; the third came malformed, the fourth not at all.
Download download_with_every_kind_of_record() {
  Download download;
  download.identifier = {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF};
  download.version = {'V', '1'};
  download.clock = decode_clock({57, 53, 13, 1, 5, 9});
  download.count = 4;
  download.records = {whole(1, "A;B", 3, add_duration(date_serial(2009, 5, 1), 13, 45, 2)),
                      whole(2, "\x80x", 200, std::nullopt)};
  download.records.push_back(whole(3, "", 9, std::nullopt));
  download.records.back().state = RecordState::malformed;
  download.records.push_back(whole(4, "", 0, std::nullopt));
  download.records.back().state = RecordState::not_delivered;
  return download;
}

std::string csv_of(const Download& download, std::string_view separator, CsvColumns continued = CsvColumns::new_file) {
  StringSink sink;
  write_csv(download, separator, continued, sink);
  return sink.text;
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
  };
  for (const auto& [field, separator, written] : cases) EXPECT_EQ(csv_field(field, separator), written) << field;
}

TEST(CsvOutput, HeaderThenOneLinePerWholeRecordWithTheScannerOnEach) {
  const std::string records =
      "1;\"A;B\";3;2009-05-01T13:45:02;0123456789ABCDEF;V1;2009-05-01T13:53:57;4;825B2201;39350D010509\r\n"
      "2;\xE2\x82\xACx;200;;0123456789ABCDEF;V1;2009-05-01T13:53:57;4;825B2202;39350D010509\r\n";
  EXPECT_EQ(csv_of(download_with_every_kind_of_record(), ";"),
            "index;barcode;code_type;time;identifier;version;clock;count;stamp_hex;clock_hex\r\n" + records);
  // Continuing a file that has its header already: today's, or an earlier version's,
  // whose columns the lines keep.
  EXPECT_EQ(csv_of(download_with_every_kind_of_record(), ";", CsvColumns::current), records);
  EXPECT_EQ(csv_of(download_with_every_kind_of_record(), ";", CsvColumns::without_raw_bytes),
            "1;\"A;B\";3;2009-05-01T13:45:02;0123456789ABCDEF;V1;2009-05-01T13:53:57;4\r\n"
            "2;\xE2\x82\xACx;200;;0123456789ABCDEF;V1;2009-05-01T13:53:57;4\r\n");
}

TEST(CsvOutput, TheHeaderOfAContinuedFileSaysWhichColumnsItHas) {
  EXPECT_EQ(columns_of_header("index,barcode,code_type,time,identifier,version,clock,count\r\n", ","),
            CsvColumns::without_raw_bytes);
  EXPECT_EQ(columns_of_header("index,barcode,code_type,time,identifier,version,clock,count,stamp_hex,clock_hex", ","),
            CsvColumns::current);
  EXPECT_EQ(columns_of_header("something else", ","), CsvColumns::current);
}

TEST(CsvOutput, KeepsNulsInsideTheVersionAndDropsOnlyThePadding) {
  Download download = download_with_every_kind_of_record();
  download.version = {'A', 0, 'B'};
  EXPECT_NE(csv_of(download, ",").find(",A\0B,"s), std::string::npos);
}

// A clock whose bytes name no real time is printed as nothing, not as the date it carries to.
TEST(CsvOutput, AClockOutOfRangeIsAnEmptyField) {
  Download download = download_with_every_kind_of_record();
  download.clock = decode_clock({255, 99, 99, 0, 13, 255});
  const std::string csv = csv_of(download, ",");
  EXPECT_NE(csv.find(",V1,,4,825B2201,FF6363000DFF\r\n"), std::string::npos) << csv;
}

TEST(JsonOutput, ParsesBackToTheDownload) {
  StringSink sink;
  write_json(download_with_every_kind_of_record(), sink);
  EXPECT_NE(sink.text.find(R"("V1\u0000\u0000\u0000\u0000\u0000\u0000")"), std::string::npos) << sink.text;
  const auto document = nlohmann::json::parse(sink.text);
  EXPECT_EQ(document["identifier"], "0123456789ABCDEF");
  EXPECT_EQ(document["version"], "V1\0\0\0\0\0\0"s);
  EXPECT_EQ(document["clock"], "2009-05-01T13:53:57");
  EXPECT_EQ(document["clock_hex"], "39350D010509");
  EXPECT_EQ(document["count"], 4);
  ASSERT_EQ(document["records"].size(), 2u);
  EXPECT_EQ(document["records"][0], nlohmann::json::parse(R"({"index": 1, "barcode": "A;B", "code_type": 3,
      "time": "2009-05-01T13:45:02", "barcode_hex": "413B42", "stamp_hex": "825B2201"})"));
  EXPECT_EQ(document["records"][1]["barcode"], "\xE2\x82\xACx");
  EXPECT_EQ(document["records"][1]["barcode_hex"], "8078");
  EXPECT_TRUE(document["records"][1]["time"].is_null());

  Download out_of_range = download_with_every_kind_of_record();
  out_of_range.clock = decode_clock({0, 0, 0, 0, 0, 0});
  sink.text.clear();
  write_json(out_of_range, sink);
  EXPECT_TRUE(nlohmann::json::parse(sink.text)["clock"].is_null());
}

TEST(JsonOutput, NoRecordsIsAnEmptyArray) {
  Download download = download_with_every_kind_of_record();
  download.count = 0;
  download.records.clear();
  StringSink sink;
  write_json(download, sink);
  EXPECT_EQ(nlohmann::json::parse(sink.text)["records"], nlohmann::json::array());
}

TEST(JsonLinesOutput, OneObjectPerWholeRecordEachWithTheIdentifier) {
  StringSink sink;
  write_json_lines(download_with_every_kind_of_record(), sink);
  EXPECT_EQ(sink.text,
            R"({"identifier":"0123456789ABCDEF","index":1,"barcode":"A;B","code_type":3,)"
            R"("time":"2009-05-01T13:45:02","barcode_hex":"413B42","stamp_hex":"825B2201"})"
            "\n"
            R"({"identifier":"0123456789ABCDEF","index":2,"barcode":"€x","code_type":200,)"
            R"("time":null,"barcode_hex":"8078","stamp_hex":"825B2202"})"
            "\n");
}

TEST(Iso8601, DateValuesAsLocalDateTimes) {
  EXPECT_EQ(iso_8601(Date{0.0}), "1899-12-30T00:00:00");
  EXPECT_EQ(iso_8601(add_duration(date_serial(2009, 5, 1), 13, 53, 57)), "2009-05-01T13:53:57");
}

}  // namespace
}  // namespace vkd::cli
