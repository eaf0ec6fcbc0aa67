// The station's store as Windows (here Wine) keeps it: a SQLite file in a folder the
// store makes itself, under a name beyond the ANSI code page, docked, committed, and read
// back by a store opened anew.
#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

#include "check.h"
#include "store/store.h"

namespace {

namespace fs = std::filesystem;
using vkd::testing::check;

std::string utf8(const fs::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

std::vector<vkd::store::Record> two_records() {
  return {{1, "8712345678906", "8712345678906", 3, "2024-05-15T09:12:44", {0x2c, 0x31, 0x09, 0x0f}},
          {2, std::string("\0\xff", 2), std::string("\0\xc3\xbf", 3), 255, std::nullopt, {0, 0, 0, 0}}};
}

void check_docking(const std::string& location) {
  const auto store = vkd::store::open_store(location);
  const auto docking = store->docking("0123456789ABCDEF", "2024-05-15T10:00:00");
  check(docking->pending_records().empty(), "a new scanner holds nothing the store knows of");
  vkd::store::NewBatch batch;
  batch.station = "desk 1";
  batch.downloaded_at = "2024-05-15T10:00:00";
  batch.reported = 2;
  batch.records = two_records();
  check(docking->add_batch(batch) == 1, "the first batch");
  docking->commit();
}

void check_read_back(const std::string& location) {
  const auto store = vkd::store::open_store(location);
  const auto batches = store->batches({});
  if (!check(batches.size() == 1, "one batch read back")) return;
  check(batches[0].scanner == "0123456789ABCDEF" && batches[0].count == 2 && batches[0].pending &&
            batches[0].state == vkd::store::BatchState::stored,
        "the batch as it was added");
  check(store->records(1) == two_records(), "its records byte for byte");
  check(store->docking("0123456789ABCDEF", "2024-05-15T11:00:00")->pending_records() == two_records(),
        "and pending at the next docking");
  store->erase_done(1, true);
  check(store->batches({}).front().state == vkd::store::BatchState::emptied, "emptied after the erase");
}

}  // namespace

int main() {
  wchar_t temporary[MAX_PATH];
  GetTempPathW(MAX_PATH, temporary);
  const fs::path folder = fs::path(temporary) / (L"store-check-" + std::to_wstring(GetCurrentProcessId()));
  const fs::path file = folder / L"Lager \u00e4\u03a9" / L"collected.db";
  try {
    check_docking("sqlite:" + utf8(file));
    check(fs::exists(file), "the file under its own name");
    check_read_back(utf8(file));
  } catch (const vkd::store::StoreError& error) {
    check(false, std::string("store error: ") + error.what());
  }
  std::error_code ignored;
  fs::remove_all(folder, ignored);
  return vkd::testing::finish_checks();
}
