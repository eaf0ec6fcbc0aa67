// open_clicker's download: the record lists, the decoding of each record and of its
// time-stamp text, and what a short or failed download leaves.
#include <gtest/gtest.h>

#include "open_clicker_fixture.h"

namespace vkd::testing {
namespace {

class DownloadTest : public OpenClickerTest {
 protected:
  // A scanner on port 0 holding `records`, whose time stamps read as `stamps`.
  void scanner_with(const std::vector<Bytes>& records, const std::vector<std::string>& stamps) {
    scanner_on(0, static_cast<std::int32_t>(records.size()));
    packets(records);
    stamp_texts(stamps);
  }
};

TEST_F(DownloadTest, DecodesTypeBarcodeAndTimeStampOfARecord) {
  const Bytes stamp = {0xA1, 0xB2, 0xC3, 0xD4};
  const Bytes packet = Bytes{13, 28} + bytes_of("40012345") + stamp;
  scanner_with({packet}, {"02:30:15 PM 05/17/07"});
  clicker.open_clicker();

  ASSERT_EQ(texts().size(), 2u);
  EXPECT_EQ(types()[1], Variant(std::int16_t{28}));
  EXPECT_EQ(texts()[1], u"40012345");
  EXPECT_EQ(when(times()[1]), "2007-05-17 14:30:15");
  EXPECT_EQ(times()[1], add_duration(date_serial(2007, 5, 17), 14, 30, 15));

  const auto packet_calls = calls_of(Function::csp2GetPacket);
  ASSERT_EQ(packet_calls.size(), 1u);
  EXPECT_EQ(packet_calls[0]->numbers, (std::vector<std::int32_t>{0, 500}));
  const auto stamp_calls = calls_of(Function::csp2TimeStamp2Str);
  ASSERT_EQ(stamp_calls.size(), 1u);
  EXPECT_EQ(stamp_calls[0]->input, stamp);
  EXPECT_EQ(stamp_calls[0]->numbers, std::vector<std::int32_t>{30});
}

TEST_F(DownloadTest, EntryZeroIsNeverFilled) {
  scanner_with({record(1, "A"), record(2, "B")}, {"02:30:15 PM 05/17/07", "02:30:15 PM 05/17/07"});
  clicker.open_clicker();
  ASSERT_EQ(texts().size(), 3u);
  EXPECT_EQ(texts()[0], u"");
  EXPECT_TRUE(types()[0].is_empty());
  EXPECT_EQ(times()[0], Date{0.0});
  EXPECT_EQ(texts()[2], u"B");
}

TEST_F(DownloadTest, RecordsOfTheShortestAndLongestLength) {
  const Bytes last_stamp = {1, 2, 3, 255};
  scanner_with({record(7, ""), record(9, std::string(250, 'x'), last_stamp)},
               {"10:00:00    05/17/07", "11:00:00    05/18/07"});
  clicker.open_clicker();
  EXPECT_EQ(texts()[1], u"");
  EXPECT_EQ(types()[1], Variant(std::int16_t{7}));
  EXPECT_EQ(when(times()[1]), "2007-05-17 10:00:00");
  EXPECT_EQ(texts()[2], Text(250, u'x'));
  EXPECT_EQ(calls_of(Function::csp2TimeStamp2Str)[1]->input, last_stamp);
  EXPECT_EQ(when(times()[2]), "2007-05-18 11:00:00");
}

TEST_F(DownloadTest, BarcodeBytesBecomeOneCharacterEach) {
  scanner_with({record(255, std::string("A\x80\xE9\0B", 5))}, {"10:00:00    05/17/07"});
  clicker.open_clicker();
  EXPECT_EQ(texts()[1], Text(u"A\u20AC\u00E9") + u'\0' + u"B");
  EXPECT_EQ(types()[1], Variant(std::int16_t{255}));
}

TEST_F(DownloadTest, TimeStampTexts) {
  struct StampCase {
    const char* text;
    const char* time;
  };
  const StampCase cases[] = {
      {"02:30:15 PM 05/17/07", "2007-05-17 14:30:15"},
      {"02:30:15 AM 12/31/99", "1999-12-31 02:30:15"},
      {"14:30:15    01/01/30", "1930-01-01 14:30:15"},
      {"14:30:15    12/31/29", "2029-12-31 14:30:15"},
      // Only the first 11 characters hold the time of day.
      {"14:30:15 05/17/07", "2007-05-17 00:00:00"},
      {"02:30:15 PMx05/17/07", "2007-05-17 14:30:15"},
      // The first "63" reads as "00"; a later one stays.
      {"14:30:63    05/17/63", "1963-05-17 14:30:00"},
      // A "63" that opens the text is left, and it is the first.
      {"63:30:15    05/17/63", "1963-05-17 00:00:00"},
      // The unknown month becomes 00, which is no date in either reading.
      {"14:30:15    ?\?/17/07", "2001-01-01 14:30:15"},
      {"14:30:15    05/?\?/07", "2001-01-01 14:30:15"},
      {"??:30:15    05/17/07", "2007-05-17 00:00:00"},
      // Only the second reading (13 May) is a date; month 13 carries into 2008.
      {"14:30:15    13/05/07", "2008-01-05 14:30:15"},
      {"14:30:15    02/30/07", "2001-01-01 14:30:15"},
      {"14:30:15     5/17/07", "2001-01-01 14:30:15"},
      {"14:30:15    05/17/", "2001-01-01 14:30:15"},
      {"14:30:15    ab/cd/ef", "2001-01-01 14:30:15"},
      // Without two usable slashes there is no date at all.
      {"14:30:15    no date", "2001-01-01 14:30:15"},
      {"14:30:15    05-17/07", "2001-01-01 14:30:15"},
      {"1/5/07 14:30:15", "2001-01-01 00:00:00"},
      {"/5/17/07", "2001-01-01 00:00:00"},
      {"", "2001-01-01 00:00:00"},
  };
  for (const StampCase& c : cases) {
    SCOPED_TRACE(c.text);
    library = FakeLibrary();
    scanner_with({record(1, "X")}, {std::string(c.text) + '\0'});
    clicker.open_clicker();
    EXPECT_EQ(when(times()[1]), c.time);
  }
}

TEST_F(DownloadTest, TheTimeStampTextBufferKeepsTheTailOfTheTextBefore) {
  scanner_with({record(1, "A"), record(1, "B")}, {"02:30:15 PM 05/17/07", "09:00:00"});
  clicker.open_clicker();
  EXPECT_EQ(when(times()[2]), "2007-05-17 21:00:00");
}

TEST_F(DownloadTest, ACorruptRecordGetsTheFallbackAndTheDownloadGoesOn) {
  const Bytes short_record = {4, 9, 0x31, 0x32, 0x33, 0x34};
  const Bytes empty_record = {0, 6};
  scanner_with({record(1, "first"), short_record, empty_record, record(2, "last")},
               {"02:30:15 PM 05/17/07", "03:00:00 PM 05/18/07"});
  clicker.open_clicker();

  EXPECT_EQ(texts(), (std::vector<Text>{u"", u"first", u"", u"", u"last"}));
  EXPECT_EQ(types()[2], Variant(std::int16_t{9}));
  EXPECT_EQ(types()[3], Variant(std::int16_t{6}));
  EXPECT_EQ(when(times()[2]), "2001-01-01 00:00:00");
  EXPECT_EQ(when(times()[3]), "2001-01-01 00:00:00");
  EXPECT_EQ(when(times()[4]), "2007-05-18 15:00:00");
  EXPECT_EQ(library.count(Function::csp2TimeStamp2Str), 2);
  EXPECT_TRUE(clicker.open_ok());
  EXPECT_EQ(library.call_names().back(), "csp2GetSwVersion");
}

TEST_F(DownloadTest, BytesTheLibraryDidNotWriteHoldNothingOfTheRecordBefore) {
  const Bytes first_stamp = {0xA1, 0xB2, 0xC3, 0xD4};
  // The second writes 4 of its 14 bytes, the third nothing at all.
  scanner_with({record(3, "8712345678906", first_stamp), Bytes{13, 28, '4', '0'}, Bytes{}},
               {"02:30:15 PM 05/17/07", "03:00:00 PM 05/18/07"});
  clicker.open_clicker();

  EXPECT_EQ(texts()[2], u"40" + Text(6, u'\0'));
  EXPECT_EQ(types()[2], Variant(std::int16_t{28}));
  EXPECT_EQ(calls_of(Function::csp2TimeStamp2Str)[1]->input, Bytes(4, 0));
  EXPECT_EQ(texts()[3], u"");
  EXPECT_EQ(types()[3], Variant(std::int16_t{0}));
  EXPECT_EQ(when(times()[3]), "2001-01-01 00:00:00");
  EXPECT_EQ(library.count(Function::csp2TimeStamp2Str), 2);
}

TEST_F(DownloadTest, AFailedPacketEndsTheDownloadSilently) {
  scanner_with({record(1, "one"), record(2, "two")},
               {"02:30:15 PM 05/17/07", "03:00:00 PM 05/18/07"});
  library.script_all(Function::csp2ReadData, {5, {}});
  clicker.open_clicker();

  EXPECT_EQ(clicker.num_barcodes(), 5);
  EXPECT_EQ(texts(), (std::vector<Text>{u"", u"one", u"two", u"", u"", u""}));
  for (std::size_t i = 3; i <= 5; ++i) {
    EXPECT_TRUE(types()[i].is_empty());
    EXPECT_EQ(times()[i], Date{0.0});
  }
  EXPECT_EQ(calls_of(Function::csp2GetPacket).size(), 3u);
  EXPECT_EQ(calls_of(Function::csp2GetPacket)[2]->numbers[0], 2);
  EXPECT_EQ(clicker.log().substr(clicker.log().size() - 6), u"*0*0*5");
  EXPECT_TRUE(clicker.open_ok());
}

TEST_F(DownloadTest, ADownloadOfNoBarcodesKeepsTheListsOfTheOneBefore) {
  scanner_with({record(1, "a"), record(2, "b"), record(3, "c"), record(4, "d"), record(5, "e")},
               {"02:30:15 PM 05/17/07"});
  clicker.open_clicker();
  const std::vector<Text> first_texts = texts();
  const std::vector<Variant> first_types = types();
  const std::vector<Date> first_times = times();
  ASSERT_EQ(first_texts.size(), 6u);

  library.script_all(Function::csp2ReadData, {0, {}});
  clicker.open_clicker();
  EXPECT_EQ(clicker.num_barcodes(), 0);
  EXPECT_EQ(texts(), first_texts);
  EXPECT_EQ(types(), first_types);
  EXPECT_EQ(times(), first_times);
}

// A library whose function cannot be bound fails the call that needs it.
Handler missing(const char* name) {
  return [name](auto, auto) -> std::int32_t { throw Error::entry_point_not_found(name); };
}

TEST_F(DownloadTest, AnErrorWhileThePortIsHeldReleasesItFirst) {
  for (const Function failing :
       {Function::csp2GetDeviceId, Function::csp2GetPacket, Function::csp2TimeStamp2Str}) {
    SCOPED_TRACE(function_name(failing));
    library = FakeLibrary();
    scanner_with({record(1, "one"), record(2, "two")}, {"02:30:15 PM 05/17/07"});
    library.handle(failing, missing(function_name(failing).data()));
    EXPECT_EQ(open_error_number(), 453);
    EXPECT_EQ(library.call_names().back(), "csp2Restore");
    EXPECT_EQ(library.count(Function::csp2Restore), 1);
    EXPECT_EQ(library.count(Function::csp2WakeUp), 0);
    EXPECT_TRUE(clicker.open_ok());
    clicker.close_clicker();
    EXPECT_EQ(library.count(Function::csp2Restore), 2);
  }
}

TEST_F(DownloadTest, AnErrorAtTheThirdPacketKeepsTheRecordsBefore) {
  scanner_with({}, {"02:30:15 PM 05/17/07", "03:00:00 PM 05/18/07"});
  library.script_all(Function::csp2ReadData, {5, {}});
  library.handle(
      Function::csp2GetPacket,
      [](std::span<std::uint8_t> packet, std::span<const std::int32_t> numbers) -> std::int32_t {
        if (numbers[0] >= 2) throw Error::entry_point_not_found("csp2GetPacket");
        const Bytes served = record(1, numbers[0] == 0 ? "one" : "two");
        std::copy(served.begin(), served.end(), packet.begin());
        return 0;
      });
  EXPECT_EQ(open_error_number(), 453);
  EXPECT_EQ(texts(), (std::vector<Text>{u"", u"one", u"two", u"", u"", u""}));
  EXPECT_EQ(when(times()[2]), "2007-05-18 15:00:00");
  EXPECT_EQ(library.call_names().back(), "csp2Restore");
}

}  // namespace
}  // namespace vkd::testing

namespace vkd::testing {
namespace {

// What the command and the station read of a download: every record as it came, with
// its bytes, and whether the download is complete.
TEST_F(DownloadTest, TheResultSaysHowEachRecordCame) {
  const Bytes stamp = {0xA1, 0xB2, 0xC3, 0xD4};
  scanner_with({record(28, "40012345", stamp), Bytes{4, 9, 1, 2, 3, 4}, record(3, "x")},
               {"02:30:15 PM  05/17/07", "02:30:63 PM  05/17/07"});
  library.script_all(Function::csp2ReadData, {4, {}});  // one more than the library gives
  DownloadObserver quiet;
  const Download result = download(library, host, PortRange{}, quiet);

  ASSERT_TRUE(result.answered());
  EXPECT_EQ(result.count, 4);
  ASSERT_EQ(result.records.size(), 4u);
  const DownloadedRecord& whole = result.records[0];
  EXPECT_EQ(whole.index, 1);
  EXPECT_EQ(whole.state, RecordState::whole);
  EXPECT_EQ(whole.code_type, 28);
  EXPECT_EQ(whole.barcode, "40012345");
  EXPECT_EQ(Bytes(whole.stamp.begin(), whole.stamp.end()), stamp);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(whole.stamp_text.data())), "02:30:15 PM  05/17/07");
  EXPECT_EQ(when(whole.time), "2007-05-17 14:30:15");
  EXPECT_TRUE(whole.time_known);
  EXPECT_EQ(result.records[1].state, RecordState::malformed);
  EXPECT_EQ(result.records[1].code_type, 9);
  EXPECT_FALSE(result.records[1].time_known);
  EXPECT_EQ(result.records[2].state, RecordState::whole);
  EXPECT_FALSE(result.records[2].time_known);  // its second was not known
  EXPECT_EQ(result.records[3].state, RecordState::not_delivered);
  EXPECT_EQ(result.records[3].index, 4);
  EXPECT_FALSE(result.complete());

  library = FakeLibrary();
  scanner_with({record(28, "40012345")}, {"02:30:15 PM  05/17/07"});
  EXPECT_TRUE(download(library, host, PortRange{}, quiet).complete());
}

TEST_F(DownloadTest, TheConnectionKeepsEveryAttemptAndTheFailedAnswers) {
  library.script(Function::csp2Init, 1, {0, {}});
  library.script(Function::csp2ReadData, 1, {-7, {}});
  scanner_on(2, 0);
  DownloadObserver quiet;
  const Download result = download(library, host, PortRange{}, quiet);
  ASSERT_EQ(result.connection.attempts.size(), 3u);
  EXPECT_EQ(result.connection.attempts[1].result, -1);
  EXPECT_EQ(result.connection.answered(), &result.connection.attempts[2]);
  const std::vector<PortAttempt> failed = result.connection.failed_answers();
  ASSERT_EQ(failed.size(), 1u);
  EXPECT_EQ(failed[0].port, 0);
  EXPECT_EQ(failed[0].count, -7);
  EXPECT_TRUE(result.complete());
}

}  // namespace
}  // namespace vkd::testing
