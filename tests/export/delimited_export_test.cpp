#include "export/delimited_export.h"

#include <gtest/gtest.h>

#include "export_state.h"

namespace vkd::testing {
namespace {

TEST(DelimitedExport, ReproducesTheWorkedExample) {
  EXPECT_EQ(delimited_export(worked_example()), delimited_example);
}

TEST(DelimitedExport, SeveralCharacterDelimiterIsUsedWholeBetweenEveryTwoFields) {
  ClickerState state = worked_example();
  state.pdelimiter = u"||";
  state.num_barcodes = 0;
  EXPECT_EQ(delimited_export(state), u"DL||V03||ABCD1234||0123456789ABCDEF||H||20090501135357||0");

  set_records(state, {filled(u"7", 1, at(2009, 5, 1, 0, 0, 1))});
  EXPECT_EQ(delimited_export(state),
            u"DL||V03||ABCD1234||0123456789ABCDEF||H||20090501135357||1"
            u"||BC||1||20090501000001||1||1||7");
}

TEST(DelimitedExport, BarcodeContainingTheDelimiterIsWrittenUnchangedAfterItsExactLength) {
  ClickerState state = worked_example();
  set_records(state, {filled(u"A;B;;C", 2, at(2009, 5, 1, 0, 0, 0))});
  const Text text = delimited_export(state);
  EXPECT_EQ(text.substr(text.find(u";BC;")), u";BC;1;20090501000000;2;6;A;B;;C");
}

TEST(DelimitedExport, UnfilledEntryGivesDateZeroAnEmptyTypeAndAnEmptyBarcode) {
  ClickerState state = worked_example();
  set_records(state, {ExportRecord{}, filled(u"5", 255, at(2009, 5, 1, 0, 0, 0))});
  const Text text = delimited_export(state);
  EXPECT_EQ(text.substr(text.find(u";BC;")),
            u";BC;1;18991230000000;;0;" u";BC;2;20090501000000;255;1;5");
}

TEST(DelimitedExport, NegativeCountIsWrittenWithItsSignAndNoRecord) {
  ClickerState state = worked_example();
  state.num_barcodes = -5;
  EXPECT_EQ(delimited_export(state), u"DL;V03;ABCD1234;0123456789ABCDEF;H;20090501135357;-5");
}

TEST(DelimitedExport, RecordNumbersAndTheCountGrowWithoutFilling) {
  const ClickerState state = repeated_records(10000, filled(u"B", 5, at(2009, 5, 1, 0, 0, 0)));
  const Text text = delimited_export(state);
  EXPECT_NE(text.find(u";H;20090501135357;10000;BC;1;"), Text::npos);
  EXPECT_NE(text.find(u";BC;999;20090501000000;5;1;B;BC;1000;"), Text::npos);
  EXPECT_EQ(text.substr(text.size() - 30), u";BC;10000;20090501000000;5;1;B");
}

}  // namespace
}  // namespace vkd::testing
