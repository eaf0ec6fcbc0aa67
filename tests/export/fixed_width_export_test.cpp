#include "component/fixed_width_export.h"

#include <gtest/gtest.h>

#include "export_state.h"

namespace vkd::testing {
namespace {

constexpr std::size_t header_length = 36;
constexpr std::size_t record_length = 32;

TEST(FixedWidthExport, ReproducesTheWorkedExample) {
  EXPECT_EQ(fixed_width_export(worked_example()), fixed_width_example);
}

TEST(FixedWidthExport, NoBarcodesGivesTheHeaderOnly) {
  ClickerFields state = worked_example();
  state.num_barcodes = 0;
  EXPECT_EQ(fixed_width_export(state), u"V010123456789ABCDEFH5753130105090000");
}

TEST(FixedWidthExport, ClockTextKeepsItsLeadingZeros) {
  ClickerFields state = worked_example();
  state.num_barcodes = 0;
  state.clock_flag = u"L";
  state.clock_text = u"001509170507";
  EXPECT_EQ(fixed_width_export(state).substr(19), u"L0015091705070000");
}

TEST(FixedWidthExport, NegativeCountIsZeroFilledAfterItsSignAndWritesNoRecord) {
  ClickerFields state;  // no lists at all: a negative count never reads them
  state.num_barcodes = -5;
  const Text text = fixed_width_export(state);
  EXPECT_EQ(text.substr(text.size() - 5), u"-0005");
  EXPECT_EQ(text.size(), header_length + 1);
}

TEST(FixedWidthExport, UnfilledEntryGivesBlanksTypeZeroAndDateZero) {
  ClickerFields state = worked_example();
  set_records(state, {ExportRecord{}});
  EXPECT_EQ(fixed_width_export(state).substr(header_length),
            u"001" u"             " u"00" u"18991230000000");
}

struct RecordCase {
  const char* name;
  ExportRecord record;
  Text expected;  // the whole record
};

class FixedWidthRecord : public ::testing::TestWithParam<RecordCase> {};

TEST_P(FixedWidthRecord, IsWrittenWithItsFieldsGrownWhereNeeded) {
  ClickerFields state = worked_example();
  set_records(state, {GetParam().record});
  EXPECT_EQ(fixed_width_export(state).substr(header_length), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, FixedWidthRecord,
    ::testing::Values(
        RecordCase{"ShortBarcodeIsBlankFilled", filled(u"1", 0, at(2009, 5, 1, 0, 0, 0)),
                   u"0011            0020090501000000"},
        RecordCase{"LongBarcodeIsWrittenWhole",
                   filled(u"ABCDEFGHIJKLMNOPQ", 7, at(2009, 12, 31, 23, 59, 59)),
                   u"001ABCDEFGHIJKLMNOPQ0720091231235959"},
        RecordCase{"CodeTypeOfThreeDigitsGrows", filled(u"X", 100, at(2009, 5, 1, 1, 2, 3)),
                   u"001X            10020090501010203"},
        RecordCase{"LargestCodeType", filled(u"X", 255, at(2009, 5, 1, 1, 2, 3)),
                   u"001X            25520090501010203"},
        RecordCase{"NulInsideABarcodeIsKept", filled(Text(u"A\0B", 3), 1, at(2009, 5, 1, 1, 2, 3)),
                   Text(u"001A\0B          0120090501010203", 32)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FixedWidthExport, RecordOneThousandHasAFourDigitNumberAndShiftsLaterRecords) {
  const ClickerFields state = repeated_records(1001, filled(u"B", 5, at(2009, 5, 1, 0, 0, 0)));
  const Text text = fixed_width_export(state);
  const std::size_t record_1000 = header_length + 999 * record_length;
  EXPECT_EQ(text.substr(record_1000 - record_length, record_length),
            u"999B            0520090501000000");
  EXPECT_EQ(text.substr(record_1000, 33), u"1000B            0520090501000000");
  EXPECT_EQ(text.substr(record_1000 + 33), u"1001B            0520090501000000");
  EXPECT_EQ(text.size(), record_1000 + 2 * 33);
}

TEST(FixedWidthExport, MoreThan9999BarcodesGiveAFiveDigitCount) {
  const ClickerFields state = repeated_records(10000, filled(u"B", 5, at(2009, 5, 1, 0, 0, 0)));
  const Text text = fixed_width_export(state);
  EXPECT_EQ(text.substr(32, 5), u"10000");
  EXPECT_EQ(text.substr(text.size() - 34), u"10000B            0520090501000000");
  EXPECT_EQ(text.size(), header_length + 1 + 999 * 32 + 9000 * 33 + 34);
}

}  // namespace
}  // namespace vkd::testing
