// The rule for what a docking stores, case by case.
#include "cli/new_records.h"

#include <gtest/gtest.h>

#include <string>

namespace vkd::cli {
namespace {

DownloadedRecord scan(std::int32_t index, std::string barcode, std::uint8_t minute, bool stamped = true) {
  DownloadedRecord record;
  record.index = index;
  record.state = RecordState::whole;
  record.code_type = 3;
  record.barcode = std::move(barcode);
  record.stamp = {0x07, minute, 0x22, 0x12};
  record.time_known = stamped;
  return record;
}

Download holding(std::vector<DownloadedRecord> records) {
  Download download;
  download.identifier = {0x10, 0x4A, 0, 0x7E, 0x23, 0x91, 0xC5, 0x0B};
  download.count = static_cast<std::int16_t>(records.size());
  download.records = std::move(records);
  return download;
}

std::vector<store::Record> stored(const std::vector<DownloadedRecord>& records) {
  std::vector<store::Record> kept;
  for (const DownloadedRecord& record : records) kept.push_back(stored_record(record));
  return kept;
}

const DownloadedRecord a = scan(1, "8712345678906", 1), b = scan(2, "12345678", 2), c = scan(3, "4006381333931", 3);

struct Case {
  const char* name;
  std::vector<DownloadedRecord> pending;
  Download download;
  NewRecords expected;
};

TEST(NewRecords, EachCaseOfTheRule) {
  Download unstamped = holding({scan(1, "A", 1, false), scan(2, "B", 2)});
  Download anonymous = holding({a, b});
  anonymous.identifier = {};
  Download malformed_third = holding({a, b, c});
  malformed_third.records[2].state = RecordState::malformed;
  Download stopped_at_second = holding({a, b, c});
  stopped_at_second.records.resize(2);
  stopped_at_second.records[1].state = RecordState::not_delivered;
  const Case cases[] = {
      {"a first docking", {}, holding({a, b}), {.first = 0, .end = 2}},
      {"the erase failed, nothing scanned since", {a, b}, holding({a, b}), {.first = 2, .end = 2}},
      {"the erase failed, one scanned since", {a, b}, holding({a, b, c}), {.first = 2, .end = 3}},
      {"emptied elsewhere, then scanned", {a, b}, holding({c}),
       {.first = 0, .end = 1, .ends_pending = true, .changed = true}},
      {"emptied elsewhere", {a, b}, holding({}), {.first = 0, .end = 0, .ends_pending = true, .changed = true}},
      {"fewer than the store holds", {a, b, c}, holding({a, b}),
       {.first = 0, .end = 2, .ends_pending = true, .changed = true}},
      {"matched records without a time stamp", {unstamped.records[0]}, unstamped,
       {.first = 0, .end = 2, .ends_pending = true, .possible_repeat = true}},
      {"an identifier of zeros", {a}, anonymous, {.first = 0, .end = 2, .ends_pending = true, .possible_repeat = true}},
      {"malformed after what the store holds", {a}, malformed_third, {.first = 1, .end = 2, .incomplete = true}},
      {"stopped within what the store holds", {a, b, c}, stopped_at_second, {.first = 1, .end = 1, .incomplete = true}},
      {"stopped, and other records before", {c}, stopped_at_second,
       {.first = 0, .end = 1, .ends_pending = true, .changed = true, .incomplete = true}},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    const NewRecords got = new_records(stored(test.pending), test.download);
    EXPECT_EQ(got.first, test.expected.first);
    EXPECT_EQ(got.end, test.expected.end);
    EXPECT_EQ(got.ends_pending, test.expected.ends_pending);
    EXPECT_EQ(got.changed, test.expected.changed);
    EXPECT_EQ(got.possible_repeat, test.expected.possible_repeat);
    EXPECT_EQ(got.incomplete, test.expected.incomplete);
  }
}

// The pending records afterwards are what the scanner was found to hold, so that failed
// erases in a row, each docking with a scan more, store each scan once.
TEST(NewRecords, FailedErasesInARowStoreEachScanOnce) {
  std::vector<DownloadedRecord> scanner;
  std::vector<store::Record> pending;
  std::vector<std::string> stored_barcodes;
  for (int docking = 1; docking <= 4; ++docking) {
    scanner.push_back(scan(docking, "barcode " + std::to_string(docking), static_cast<std::uint8_t>(docking)));
    const Download download = holding(scanner);
    const NewRecords got = new_records(pending, download);
    EXPECT_FALSE(got.ends_pending);
    for (std::size_t i = got.first; i < got.end; ++i) {
      stored_barcodes.push_back(download.records[i].barcode);
      pending.push_back(stored_record(download.records[i]));
    }
  }
  EXPECT_EQ(stored_barcodes, (std::vector<std::string>{"barcode 1", "barcode 2", "barcode 3", "barcode 4"}));
}

TEST(NewRecords, ARecordIsStoredWithItsBytesAndItsReading) {
  DownloadedRecord record = scan(7, "\x80x", 9);
  record.time = add_duration(date_serial(2024, 5, 15), 9, 12, 44);
  const store::Record kept = stored_record(record);
  EXPECT_EQ(kept.position, 7);
  EXPECT_EQ(kept.barcode, "\x80x");
  EXPECT_EQ(kept.text, "\xE2\x82\xACx");
  EXPECT_EQ(kept.time, "2024-05-15T09:12:44");
  EXPECT_EQ(kept.stamp, record.stamp);
  record.time_known = false;
  EXPECT_EQ(stored_record(record).time, std::nullopt);
}

}  // namespace
}  // namespace vkd::cli
