// The verified erase: the scanner is erased only when it still holds exactly the
// downloaded records, and nothing but their comparison stands between reading them again
// and the clear command.
#include "conversations/verified_erase.h"

#include <gtest/gtest.h>

#include <functional>

#include "conversations/download.h"
#include "housekeeping_fixture.h"
#include "sim/time_stamp.h"

namespace vkd::testing {
namespace {

sim::Barcode scan(std::uint8_t type, std::string text, int minute) {
  return {type, std::move(text), sim::pack({.second = 7, .minute = minute, .hour = 9, .day = 15, .month = 5, .year = 24})};
}

// A scanner on port 3 holding three scans, downloaded.
class VerifiedEraseTest : public HousekeepingTest {
 protected:
  VerifiedEraseTest() {
    library.change_device([](sim::Device& device) {
      device.barcodes = {scan(3, "8712345678906", 1), scan(11, "12345678", 2), scan(28, "575313010509", 3)};
    });
    DownloadObserver quiet;
    downloaded = download(library, host, PortRange{.first = 3}, quiet).records;
    library.forget_calls();
    calls_at_pauses.clear();
  }

  VerifiedErase erase(const Text& date_time = Text()) {
    EmptyingObserver quiet;
    return verified_erase(library, host, 3, downloaded, date_time, quiet);
  }

  std::size_t held() { return library.scanner().device().barcodes.size(); }

  std::vector<DownloadedRecord> downloaded;
};

TEST_F(VerifiedEraseTest, ErasesWhatWasDownloadedWithNothingButTheComparisonBeforeTheClear) {
  const VerifiedErase result = erase(u"595923311299");
  EXPECT_EQ(result.content, ScannerContent::same);
  EXPECT_TRUE(result.answered());
  EXPECT_TRUE(result.confirmed());
  ASSERT_TRUE(result.clock);
  EXPECT_TRUE(result.clock->taken());
  EXPECT_EQ(held(), 0u);
  const Names recount = {"csp2ReadData", "csp2GetSystemStatus"};
  const Names comparison = repeated({"csp2GetPacket"}, 3);
  const Names cleared = {"csp2ClearData", "csp2Restore"};
  EXPECT_EQ(calls(), Names{"csp2Init"} + clock_attempt + recount + comparison + cleared);
  // The one pause: after the clock step, before the records are read again.
  EXPECT_EQ(calls_at_pauses, std::set<std::size_t>{4});
}

TEST_F(VerifiedEraseTest, ChangedContentKeepsEveryRecord) {
  const struct {
    const char* name;
    std::function<void(sim::Device&)> change;
    std::size_t packets_read;
  } cases[] = {
      {"a scan since the download", [](sim::Device& d) { d.barcodes.push_back(scan(3, "4006381333931", 4)); }, 0},
      {"emptied elsewhere", [](sim::Device& d) { d.barcodes.clear(); }, 0},
      {"emptied elsewhere and scanned as often again",
       [](sim::Device& d) { d.barcodes = {scan(3, "8712345678906", 1), scan(11, "12345678", 2), scan(3, "1", 9)}; },
       3},
      {"another stamp", [](sim::Device& d) { d.barcodes[1].stamp[0] ^= 1; }, 2},
      {"another code type", [](sim::Device& d) { d.barcodes[0].type = 4; }, 1},
      {"another barcode of the same length", [](sim::Device& d) { d.barcodes[2].text.back() = 'X'; }, 3},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<sim::Barcode> before = library.scanner().device().barcodes;
    library.change_device(c.change);
    const std::vector<sim::Barcode> changed = library.scanner().device().barcodes;
    library.forget_calls();

    const VerifiedErase result = erase();
    EXPECT_EQ(result.content, ScannerContent::changed);
    EXPECT_TRUE(result.clears.empty());
    EXPECT_EQ(library.count(Function::csp2ClearData), 0);
    EXPECT_EQ(library.count(Function::csp2GetPacket), static_cast<int>(c.packets_read));
    EXPECT_EQ(library.call_names().back(), "csp2Restore");
    EXPECT_EQ(library.scanner().device().barcodes, changed);
    library.change_device([&before](sim::Device& d) { d.barcodes = before; });
  }
}

TEST_F(VerifiedEraseTest, ARecordTheLibraryDoesNotGiveAgainKeepsEveryRecord) {
  for (const std::int32_t answer : {-2, 0}) {  // not delivered; delivered with nothing in it
    SCOPED_TRACE(answer);
    library = FakeLibrary(library.scanner().device());
    library.script(Function::csp2GetPacket, 2, returns(answer));
    const VerifiedErase result = erase();
    EXPECT_EQ(result.content, ScannerContent::changed);
    EXPECT_EQ(library.count(Function::csp2ClearData), 0);
    EXPECT_EQ(held(), 3u);
  }
}

TEST_F(VerifiedEraseTest, ADownloadThatWasNotWholeIsNeverComparedNorErased) {
  downloaded[1].state = RecordState::malformed;
  EXPECT_EQ(erase().content, ScannerContent::changed);
  EXPECT_EQ(library.count(Function::csp2ClearData), 0);
  downloaded.pop_back();  // one short: as if it had not been delivered
  EXPECT_EQ(erase().content, ScannerContent::changed);
  EXPECT_EQ(held(), 3u);
}

TEST_F(VerifiedEraseTest, AScannerThatAnswersWithAFailureOrNotAtAllIsLeftAlone) {
  const struct {
    const char* name;
    Function function;
    std::int32_t answer;
  } cases[] = {
      {"the port does not open", Function::csp2Init, -1},
      {"a negative count", Function::csp2ReadData, -7},
      {"a negative status", Function::csp2GetSystemStatus, -4},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    library = FakeLibrary(library.scanner().device());
    library.script(c.function, 1, returns(c.answer));
    const VerifiedErase result = erase();
    EXPECT_FALSE(result.answered());
    EXPECT_EQ(result.content, ScannerContent::unread);
    EXPECT_EQ(library.count(Function::csp2GetPacket), 0);
    EXPECT_EQ(library.count(Function::csp2ClearData), 0);
    EXPECT_EQ(library.count(Function::csp2Restore), c.function == Function::csp2Init ? 0 : 1);
    EXPECT_EQ(held(), 3u);
  }
}

// Confirmed as an emptying is: a refused clear command is checked by the count and status.
TEST_F(VerifiedEraseTest, ARefusedClearIsCheckedAndTriedAgain) {
  library.script(Function::csp2ClearData, 1, returns(2));
  const VerifiedErase result = erase();
  ASSERT_EQ(result.clears.size(), 2u);
  const ClearAttempt refused{.result = 2, .count = 3, .status = 0, .confirmed = false};
  EXPECT_EQ(result.clears[0], refused);
  EXPECT_TRUE(result.confirmed());
  EXPECT_EQ(held(), 0u);
}

TEST_F(VerifiedEraseTest, AnErrorAfterTheRecountReleasesThePortAndErasesNothing) {
  const struct {
    const char* name;
    std::function<void(FakeLibrary&)> arrange;
    int number;
  } cases[] = {
      {"a count beyond 16 bits", [](FakeLibrary& l) { l.script(Function::csp2ReadData, 1, returns(40000)); }, 6},
      {"a packet function that cannot be bound",
       [](FakeLibrary& l) {
         l.handle(Function::csp2GetPacket,
                  [](auto, auto) -> std::int32_t { throw Error::entry_point_not_found("csp2GetPacket"); });
       },
       453},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    library = FakeLibrary(library.scanner().device());
    c.arrange(library);
    expect_error(c.number, [&] { erase(); });
    EXPECT_EQ(library.call_names().back(), "csp2Restore");
    EXPECT_EQ(library.count(Function::csp2ClearData), 0);
    EXPECT_EQ(held(), 3u);
  }
}

}  // namespace
}  // namespace vkd::testing
