// Several station processes on one store file: a docking holds the file's write lock from
// its first step, so that a second station docking the same scanner sees the first one's
// batch as pending, and a process killed halfway through leaves no part of its docking.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "child_process.h"
#include "store_fixture.h"

namespace vkd::store {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing::ChildProcess;

using ProcessesTest = StoreTest;

TEST_F(ProcessesTest, ASecondDockingOfTheScannerWaitsForTheFirstAndSeesItsBatchPending) {
  dock(*open(), "00000000000000A1", records(1, 2));
  ChildProcess first([this](const testing::Line& parent) {
    const auto store = open();
    const auto docking = store->docking("00000000000000A1", "2024-05-15T10:00:00");
    const std::size_t pending = docking->pending_records().size();
    docking->add_batch(batch_of(records(3, 2)));
    parent.say("docked");
    std::this_thread::sleep_for(500ms);
    docking->commit();
    return "committed after " + std::to_string(pending) + " pending";
  });
  ASSERT_EQ(first.line().hear(), "docked");

  const auto store = open();
  const auto started = std::chrono::steady_clock::now();
  const auto second = store->docking("00000000000000A1", "2024-05-15T10:00:01");
  EXPECT_GE(std::chrono::steady_clock::now() - started, 200ms) << "it did not wait for the first";
  EXPECT_EQ(second->pending_records(), records(1, 4));
  second->add_batch(batch_of(records(5, 1)));
  second->commit();
  EXPECT_EQ(first.line().hear(), "committed after 2 pending");
  first.wait();

  const auto batches = store->batches({});
  ASSERT_EQ(batches.size(), 3u);
  EXPECT_EQ(batches[1].count, 2);
  EXPECT_EQ(batches[2].count, 1);
}

TEST_F(ProcessesTest, AProcessKilledInTheMiddleOfADockingLeavesNoPartOfIt) {
  dock(*open(), "00000000000000A1", records(1, 2));
  const auto wal_size = [this] {
    std::error_code none;
    const auto size = fs::file_size(file + "-wal", none);
    return none ? std::uintmax_t{0} : size;
  };
  ChildProcess killed([this](const testing::Line& parent) {
    const auto store = open();
    const auto docking = store->docking("00000000000000A1", "2024-05-15T10:00:00");
    docking->end_pending(true);
    // More than SQLite's page cache holds: part of the batch is written to the log before
    // the commit that never comes.
    docking->add_batch(batch_of(records(3, 20000, std::string(100, 'y'))));
    docking->add_batch(batch_of(records(1, 1, "ignored")));
    parent.say("docked");
    parent.hear();
    return std::string("not killed");
  });
  ASSERT_EQ(killed.line().hear(), "docked");
  EXPECT_GT(wal_size(), 2'000'000u) << "nothing of the docking reached the disk before the kill";
  killed.kill();

  const auto store = open();
  const auto batches = store->batches({});
  ASSERT_EQ(batches.size(), 1u);
  EXPECT_EQ(batches[0].state, BatchState::stored);
  EXPECT_TRUE(batches[0].pending);
  EXPECT_EQ(store->records(2).size(), 0u);
  EXPECT_EQ(pending_of(*store, "00000000000000A1"), records(1, 2));
  EXPECT_EQ(dock(*store, "00000000000000A1", records(3, 1)), 2);
}

}  // namespace
}  // namespace vkd::store
