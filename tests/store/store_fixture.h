#pragma once
// A store in a fresh folder of its own (a folder below it that the store itself makes),
// and the records, batches and dockings the tests use.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "folder_fixture.h"
#include "store/sqlite_store.h"
#include "store/store.h"

namespace vkd::store {

class StoreTest : public testing::FolderTest {
 protected:
  std::unique_ptr<Store> open(std::chrono::milliseconds busy_timeout = sqlite::Settings{}.busy_timeout) const {
    return std::make_unique<sqlite::SqliteStore>(file, sqlite::Settings{.busy_timeout = busy_timeout});
  }

  // A record whose every field tells its position and barcode apart from the others'.
  static Record record(std::int32_t position, const std::string& barcode) {
    return {.position = position,
            .barcode = barcode,
            .text = barcode,
            .code_type = static_cast<std::uint8_t>(position % 256),
            .time = "2024-05-15T09:12:" + std::to_string(10 + position % 50),
            .stamp = {static_cast<std::uint8_t>(position), 1, 2, 3}};
  }
  // `count` records from position `first`, their barcodes beginning with `prefix`.
  static std::vector<Record> records(std::int32_t first, int count, const std::string& prefix = "87123") {
    std::vector<Record> made;
    for (int i = 0; i < count; ++i) made.push_back(record(first + i, prefix + std::to_string(first + i)));
    return made;
  }
  static NewBatch batch_of(std::vector<Record> records, const std::string& station = "desk 1") {
    return {.station = station,
            .downloaded_at = "2024-05-15T10:00:00",
            .reported = static_cast<std::int32_t>(records.size()),
            .records = std::move(records)};
  }
  // One whole docking that adds the records as a batch: its number.
  static std::int64_t dock(Store& store, const std::string& scanner, std::vector<Record> records) {
    const auto docking = store.docking(scanner, "2024-05-15T10:00:00");
    const std::int64_t number = docking->add_batch(batch_of(std::move(records)));
    docking->commit();
    return number;
  }
  static std::vector<Record> pending_of(Store& store, const std::string& scanner) {
    return store.docking(scanner, "2024-05-15T11:00:00")->pending_records();
  }

  // The error's kind, and its message when that does not name the store's file.
  std::string described(const StoreError& error) const {
    static const char* const kinds[] = {"unusable", "busy", "full", "read_only", "lost", "failed"};
    std::string told = kinds[static_cast<int>(error.kind())];
    if (std::string(error.what()).find("store " + file + ": ") == std::string::npos) {
      told += " (a message without the file: " + std::string(error.what()) + ")";
    }
    return told;
  }

  const std::string file = (folder_ / "stores" / "collected.db").string();
};

}  // namespace vkd::store
