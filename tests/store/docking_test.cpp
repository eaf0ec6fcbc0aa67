// The docking cycle as the station meets it: the pending records a scanner is believed to
// hold, across its batches, until an erase is confirmed or a download shows them gone.
#include <gtest/gtest.h>

#include <functional>

#include "store_fixture.h"

namespace vkd::store {
namespace {

using DockingTest = StoreTest;

std::vector<Record> joined(std::vector<Record> first, const std::vector<Record>& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

TEST_F(DockingTest, PendingRecordsAreThoseOfTheScannersBatchesInOrder) {
  const auto store = open();
  EXPECT_TRUE(pending_of(*store, "00000000000000A1").empty());
  dock(*store, "00000000000000A1", records(1, 3));
  dock(*store, "00000000000000B2", records(1, 2, "40"));
  EXPECT_EQ(pending_of(*store, "00000000000000A1"), records(1, 3));
  // A scanner that still holds the first batch delivers its next records after them.
  dock(*store, "00000000000000A1", records(4, 2));
  EXPECT_EQ(pending_of(*store, "00000000000000A1"), joined(records(1, 3), records(4, 2)));
  EXPECT_EQ(pending_of(*store, "00000000000000B2"), records(1, 2, "40"));
}

// Two pending batches of one scanner, the first not emptied, the second stored, and a
// pending batch of another scanner: what each way out of the pending records does to them.
TEST_F(DockingTest, EachWayOutOfThePendingRecordsMarksTheBatchesAsItSays) {
  struct Case {
    const char* name;
    std::function<void(Store&, std::int64_t second)> act;
    BatchState first_state, second_state;
    bool still_pending;
  };
  const std::vector<Case> cases = {
      {"a download that did not begin with them", [](Store& store, std::int64_t) {
         const auto docking = store.docking("00000000000000A1", "2024-05-16T08:00:00");
         docking->end_pending(true);
         docking->commit();
       }, BatchState::changed, BatchState::changed, false},
      {"an erase confirmed elsewhere than by a batch", [](Store& store, std::int64_t) {
         const auto docking = store.docking("00000000000000A1", "2024-05-16T08:00:00");
         docking->end_pending(false);
         docking->commit();
       }, BatchState::not_emptied, BatchState::stored, false},
      {"the erase after the second, confirmed", [](Store& store, std::int64_t second) {
         store.erase_done(second, true);
       }, BatchState::emptied, BatchState::emptied, false},
      {"the erase after the second, not confirmed", [](Store& store, std::int64_t second) {
         store.erase_done(second, false);
       }, BatchState::not_emptied, BatchState::not_emptied, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove_all(folder_ / "stores");
    const auto store = open();
    const std::int64_t first = dock(*store, "00000000000000A1", records(1, 2));
    store->erase_done(first, false);
    const std::int64_t second = dock(*store, "00000000000000A1", records(3, 1));
    const std::int64_t other = dock(*store, "00000000000000B2", records(1, 1));

    c.act(*store, second);

    const auto batches = store->batches({});
    ASSERT_EQ(batches.size(), 3u);
    EXPECT_EQ(batches[0].state, c.first_state);
    EXPECT_EQ(batches[1].state, c.second_state);
    EXPECT_EQ(batches[0].pending, c.still_pending);
    EXPECT_EQ(batches[1].pending, c.still_pending);
    EXPECT_EQ(pending_of(*store, "00000000000000A1"), c.still_pending ? records(1, 3) : std::vector<Record>{});
    EXPECT_EQ(batches[2].number, other);
    EXPECT_EQ(batches[2].state, BatchState::stored);
    EXPECT_TRUE(batches[2].pending);
  }
}

TEST_F(DockingTest, ABatchReadsBackAsItWasAdded) {
  const Record odd{.position = 7,
                   .barcode = std::string("\0\xff\x80 x", 5),
                   .text = std::string("\0\xc3\xbf\xc2\x80 x", 7),
                   .code_type = 255,
                   .time = std::nullopt,
                   .stamp = {0xff, 0, 0x80, 0x7f}};
  const Record empty{.position = 8, .barcode = "", .text = "", .code_type = 0, .time = "2009-05-01T13:45:02"};
  const auto store = open();
  const auto docking = store->docking("0123456789ABCDEF", "2024-05-15T10:00:01");
  const std::int64_t number = docking->add_batch({.station = "desk 2",
                                                  .downloaded_at = "2024-05-15T10:00:00",
                                                  .reported = 9,
                                                  .records = {odd, empty},
                                                  .possible_repeat = true,
                                                  .incomplete = true,
                                                  .outbox_wanted = true});
  docking->commit();

  EXPECT_EQ(store->records(number), (std::vector<Record>{odd, empty}));
  const Batch expected{.number = number,
                       .scanner = "0123456789ABCDEF",
                       .station = "desk 2",
                       .downloaded_at = "2024-05-15T10:00:00",
                       .count = 2,
                       .reported = 9,
                       .state = BatchState::stored,
                       .possible_repeat = true,
                       .incomplete = true,
                       .pending = true,
                       .outbox_wanted = true,
                       .outbox_file = std::nullopt};
  EXPECT_EQ(store->batches({}), std::vector<Batch>{expected});
  EXPECT_TRUE(store->records(number + 1).empty());
}

TEST_F(DockingTest, WhatIsNotCommittedIsUndone) {
  const auto store = open();
  dock(*store, "00000000000000A1", records(1, 2));
  {
    const auto docking = store->docking("00000000000000A1", "2024-05-15T12:00:00");
    docking->end_pending(true);
    docking->add_batch(batch_of(records(1, 1, "99")));
  }
  EXPECT_EQ(store->batches({}).size(), 1u);
  EXPECT_EQ(pending_of(*store, "00000000000000A1"), records(1, 2));

  // A step that fails undoes the docking at once: its batch with the record before the
  // failing one is gone, and nothing more can be added to it or committed.
  const auto failing = store->docking("00000000000000A1", "2024-05-15T12:00:00");
  failing->end_pending(true);
  EXPECT_THROW(failing->add_batch(batch_of({record(3, "1"), record(3, "2")})), StoreError);
  try {
    failing->commit();
    ADD_FAILURE() << "a failed docking committed";
  } catch (const StoreError& error) {
    EXPECT_EQ(error.kind(), StoreError::Kind::failed);
    EXPECT_NE(std::string(error.what()).find("is over"), std::string::npos) << error.what();
  }
  EXPECT_EQ(store->batches({}).size(), 1u);
  EXPECT_EQ(pending_of(*store, "00000000000000A1"), records(1, 2));
  EXPECT_EQ(dock(*store, "00000000000000A1", records(3, 1)), 2);
}

TEST_F(DockingTest, BatchesAreFoundByEachFilterAndTheirOutboxFilesKept) {
  const auto store = open();
  const auto add = [&store](const std::string& scanner, const std::string& station, const std::string& at,
                            bool outbox) {
    const auto docking = store->docking(scanner, at);
    NewBatch batch = batch_of(records(1, 1), station);
    batch.downloaded_at = at;
    batch.outbox_wanted = outbox;
    const std::int64_t number = docking->add_batch(batch);
    docking->commit();
    return number;
  };
  add("00000000000000A1", "desk 1", "2024-05-15T09:00:00", true);
  add("00000000000000B2", "desk 1", "2024-05-15T10:00:00", false);
  add("00000000000000A1", "desk 2", "2024-05-16T09:00:00", true);
  add("00000000000000A1", "desk 1", "2024-05-16T10:00:00", true);

  const std::nullopt_t any = std::nullopt;
  // number, since, scanner, station
  const std::vector<std::pair<BatchFilter, std::vector<std::int64_t>>> filters = {
      {{any, any, any, any}, {1, 2, 3, 4}},
      {{3, any, any, any}, {3}},
      {{5, any, any, any}, {}},
      {{any, "2024-05-15T10:00:00", any, any}, {2, 3, 4}},
      {{any, any, "00000000000000A1", any}, {1, 3, 4}},
      {{any, any, any, "desk 1"}, {1, 2, 4}},
      {{any, "2024-05-16", "00000000000000A1", "desk 1"}, {4}},
  };
  for (const auto& [filter, wanted] : filters) {
    std::vector<std::int64_t> found;
    for (const Batch& batch : store->batches(filter)) found.push_back(batch.number);
    EXPECT_EQ(found, wanted) << filter.number.value_or(0) << " " << filter.since.value_or("") << " "
                             << filter.scanner.value_or("") << " " << filter.station.value_or("");
  }

  const auto awaiting = [&store](const std::string& station) {
    std::vector<std::int64_t> numbers;
    for (const Batch& batch : store->awaiting_outbox(station)) numbers.push_back(batch.number);
    return numbers;
  };
  EXPECT_EQ(awaiting("desk 1"), (std::vector<std::int64_t>{1, 4}));
  store->outbox_written(1, "outbox/batch-1.csv");
  EXPECT_EQ(awaiting("desk 1"), std::vector<std::int64_t>{4});
  EXPECT_EQ(awaiting("desk 2"), std::vector<std::int64_t>{3});
  EXPECT_EQ(store->batches({1, any, any, any}).front().outbox_file, "outbox/batch-1.csv");
  EXPECT_EQ(store->batches({4, any, any, any}).front().outbox_file, std::nullopt);

  for (const auto& [name, call] : std::vector<std::pair<const char*, std::function<void()>>>{
           {"outbox", [&store] { store->outbox_written(9, "x.csv"); }},
           {"erase confirmed", [&store] { store->erase_done(9, true); }},
           {"erase not confirmed", [&store] { store->erase_done(9, false); }}}) {
    SCOPED_TRACE(name);
    try {
      call();
      ADD_FAILURE() << "no error for a batch that is not there";
    } catch (const StoreError& error) {
      EXPECT_EQ(error.kind(), StoreError::Kind::failed);
      EXPECT_NE(std::string(error.what()).find("no batch 9"), std::string::npos) << error.what();
    }
  }
}

}  // namespace
}  // namespace vkd::store
