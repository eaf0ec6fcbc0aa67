// The collection station as a user runs it, one docking at a time (collect --once), on the
// simulated scanner and a real SQLite store.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "clicker_sandbox.h"

namespace vkd::testing {
namespace {

using nlohmann::json;

class Station : public ::testing::Test {
 protected:
  std::string store() const { return "sqlite:" + (sandbox.folder() / "scans.db").string(); }

  ProgramRun collect_once(std::vector<std::string> more = {}) const {
    std::vector<std::string> arguments = {"collect", "--once", "--store", store(), "--station", "desk"};
    arguments.insert(arguments.end(), more.begin(), more.end());
    return sandbox.run(arguments);
  }

  // Every stored record's barcode, batch by batch, in order.
  std::vector<std::string> stored_barcodes() const {
    const ProgramRun run = sandbox.run({"export", "--format", "jsonl", "--store", store()});
    EXPECT_EQ(run.exit_code, 0) << run.err;
    std::vector<std::string> barcodes;
    std::istringstream lines(run.out);
    for (std::string line; std::getline(lines, line);) barcodes.push_back(json::parse(line)["barcode"]);
    return barcodes;
  }

  // The batches' states, in order.
  std::vector<std::string> states() const {
    const ProgramRun run = sandbox.run({"batches", "--store", store()});
    EXPECT_EQ(run.exit_code, 0) << run.err;
    std::vector<std::string> found;
    std::istringstream lines(run.out);
    std::string line;
    std::getline(lines, line);  // the header
    while (std::getline(lines, line)) {
      std::vector<std::string> fields;
      std::istringstream cells(line);
      for (std::string cell; std::getline(cells, cell, '\t');) fields.push_back(cell);
      found.push_back(fields.at(6));
    }
    return found;
  }

  void add_barcode(const std::string& text, const std::string& time) const {
    json device = sandbox.device();
    device["barcodes"].push_back({{"type", 3}, {"text", text}, {"time", time}});
    sandbox.write_device(device);
  }

  void script(const json& entries) const {
    json device = sandbox.device();
    device["script"] = entries;
    sandbox.write_device(device);
  }

  ClickerSandbox sandbox;
};

TEST_F(Station, StoresADockingOnceAndHandsTheScannerBackEmpty) {
  sandbox.write_device(two_barcode_device());
  const ProgramRun run = collect_once({"--set-clock", "now"});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_NE(run.err.find("stored as batch 1: 2 records new"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("clock set"), std::string::npos) << run.err;
  EXPECT_EQ(sandbox.device()["barcodes"], json::array());
  EXPECT_EQ(stored_barcodes(), (std::vector<std::string>{"8712345678906", "12345678"}));
  EXPECT_EQ(states(), std::vector<std::string>{"emptied"});
}

// The erase fails again and again, and a scan comes between two dockings: every record is
// stored once; the erase that finally works empties every pending batch.
TEST_F(Station, FailedErasesInARowNeverStoreARecordTwice) {
  sandbox.write_device(two_barcode_device());
  script(json::array({{{"call", "csp2ClearData"}, {"result", 2}}}));
  EXPECT_EQ(collect_once().exit_code, 2);
  add_barcode("4006381333931", "2009-05-01T14:00:00");
  EXPECT_EQ(collect_once().exit_code, 2);
  EXPECT_EQ(collect_once().exit_code, 2);
  EXPECT_EQ(sandbox.device()["barcodes"].size(), 3u);
  script(json::array());
  EXPECT_EQ(collect_once().exit_code, 0);

  EXPECT_EQ(stored_barcodes(), (std::vector<std::string>{"8712345678906", "12345678", "4006381333931"}));
  EXPECT_EQ(states(), (std::vector<std::string>{"emptied", "emptied", "emptied", "emptied"}));
  EXPECT_EQ(sandbox.device()["barcodes"], json::array());
}

TEST_F(Station, AnIncompleteDockingStoresWhatCameBeforeAndKeepsTheScanner) {
  sandbox.write_device(two_barcode_device());
  script(json::array({{{"call", "csp2GetPacket"}, {"record", 1}, {"result", -2}}}));
  const ProgramRun run = collect_once();
  EXPECT_EQ(run.exit_code, 2);
  EXPECT_NE(run.err.find("incomplete: read 1 of 2 records"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("clicker empty"), std::string::npos) << run.err;
  EXPECT_EQ(sandbox.device()["barcodes"].size(), 2u);
  EXPECT_EQ(stored_barcodes(), std::vector<std::string>{"8712345678906"});
  // Docked again as it is: nothing stored twice, still not erased.
  EXPECT_EQ(collect_once().exit_code, 2);
  EXPECT_EQ(stored_barcodes(), std::vector<std::string>{"8712345678906"});
  EXPECT_EQ(sandbox.device()["barcodes"].size(), 2u);
}

// A store that cannot be used is said so before any scanner is touched.
TEST_F(Station, AStoreThatIsNotOursTouchesNoScanner) {
  sandbox.write_device(two_barcode_device());
  ClickerSandbox::write_file(sandbox.folder() / "scans.db", "a file of someone else's");
  const ProgramRun run = collect_once();
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_NE(run.err.find("store: "), std::string::npos) << run.err;
  EXPECT_FALSE(std::filesystem::exists(sandbox.trace_file()));
  EXPECT_EQ(sandbox.device()["barcodes"].size(), 2u);
}

// A scanner is emptied only once its batch's file is in the outbox; a file that could not
// be written is written at the next turn.
TEST_F(Station, TheOutboxFileComesBeforeTheErase) {
  sandbox.write_device(two_barcode_device());
  const auto outbox = sandbox.folder() / "outbox";
  ClickerSandbox::write_file(outbox, "a file where the folder should be");
  const ProgramRun blocked = collect_once({"--outbox", outbox.string()});
  EXPECT_EQ(blocked.exit_code, 2);
  EXPECT_NE(blocked.err.find("outbox: "), std::string::npos) << blocked.err;
  EXPECT_EQ(sandbox.device()["barcodes"].size(), 2u);

  std::filesystem::remove(outbox);
  const ProgramRun run = collect_once({"--outbox", outbox.string(), "--format", "jsonl"});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(sandbox.device()["barcodes"], json::array());
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(outbox)) files.push_back(entry.path().filename());
  std::sort(files.begin(), files.end());
  ASSERT_EQ(files.size(), 2u);  // the batch that waited for its file, and this one
  EXPECT_TRUE(files[0].starts_with("0123456789ABCDEF-") && files[0].ends_with("-1.jsonl")) << files[0];
  EXPECT_EQ(std::count(files[0].begin(), files[0].end(), '-'), 2) << files[0];
  const std::string first = ClickerSandbox::read_file(outbox / files[0]);
  EXPECT_EQ(std::count(first.begin(), first.end(), '\n'), 2) << first;
}

TEST_F(Station, TheUsersCommandRunsAfterEachStoredBatch) {
  sandbox.write_device(two_barcode_device());
  const auto told = sandbox.folder() / "told.txt";
  const ProgramRun run = collect_once({"--exec", "echo \"$VKD_BATCH $VKD_SCANNER [$VKD_BATCH_FILE]\" > " + told.string()});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(ClickerSandbox::read_file(told), "1 0123456789ABCDEF []\n");

  const ProgramRun failing = collect_once({"--exec", "exit 3"});
  EXPECT_EQ(failing.exit_code, 0) << failing.err;  // nothing else changes
  EXPECT_NE(failing.err.find("--exec ended with status 3"), std::string::npos) << failing.err;
}

// Waiting for a scanner that does not come, it sleeps, and a stop ends it at once.
TEST_F(Station, AStopEndsTheWaitingStation) {
  json device = two_barcode_device();
  device["docked"] = false;
  sandbox.write_device(device);
  const ProgramRun run = sandbox.run_program(
      "/bin/sh", {"-c", "\"$0\" collect --store \"$1\" --poll 1 & sleep 2; kill -TERM $!; wait $!", CLICKER_PATH,
                  store()});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_NE(run.err.find("waiting for a scanner"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("stopped"), std::string::npos) << run.err;
  EXPECT_EQ(sandbox.device()["barcodes"].size(), 2u);
}

}  // namespace
}  // namespace vkd::testing
