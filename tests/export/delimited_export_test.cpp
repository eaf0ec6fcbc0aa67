#include "component/delimited_export.h"

#include <gtest/gtest.h>

#include <cstddef>

#include "automation/error.h"

#include "export_state.h"
#include "peak_memory.h"

namespace vkd::testing {
namespace {

TEST(DelimitedExport, ReproducesTheWorkedExample) {
  EXPECT_EQ(delimited_export(worked_example()), delimited_example);
}

TEST(DelimitedExport, SeveralCharacterDelimiterIsUsedWholeBetweenEveryTwoFields) {
  ClickerFields state = worked_example();
  state.pdelimiter = u"||";
  state.num_barcodes = 0;
  EXPECT_EQ(delimited_export(state), u"DL||V03||ABCD1234||0123456789ABCDEF||H||20090501135357||0");

  set_records(state, {filled(u"7", 1, at(2009, 5, 1, 0, 0, 1))});
  EXPECT_EQ(delimited_export(state),
            u"DL||V03||ABCD1234||0123456789ABCDEF||H||20090501135357||1"
            u"||BC||1||20090501000001||1||1||7");
}

TEST(DelimitedExport, BarcodeContainingTheDelimiterIsWrittenUnchangedAfterItsExactLength) {
  ClickerFields state = worked_example();
  set_records(state, {filled(u"A;B;;C", 2, at(2009, 5, 1, 0, 0, 0))});
  const Text text = delimited_export(state);
  EXPECT_EQ(text.substr(text.find(u";BC;")), u";BC;1;20090501000000;2;6;A;B;;C");
}

TEST(DelimitedExport, UnfilledEntryGivesDateZeroAnEmptyTypeAndAnEmptyBarcode) {
  ClickerFields state = worked_example();
  set_records(state, {ExportRecord{}, filled(u"5", 255, at(2009, 5, 1, 0, 0, 0))});
  const Text text = delimited_export(state);
  EXPECT_EQ(text.substr(text.find(u";BC;")),
            u";BC;1;18991230000000;;0;" u";BC;2;20090501000000;255;1;5");
}

TEST(DelimitedExport, NegativeCountIsWrittenWithItsSignAndNoRecord) {
  ClickerFields state = worked_example();
  state.num_barcodes = -5;
  EXPECT_EQ(delimited_export(state), u"DL;V03;ABCD1234;0123456789ABCDEF;H;20090501135357;-5");
}

TEST(DelimitedExport, RecordNumbersAndTheCountGrowWithoutFilling) {
  const ClickerFields state = repeated_records(10000, filled(u"B", 5, at(2009, 5, 1, 0, 0, 0)));
  const Text text = delimited_export(state);
  EXPECT_NE(text.find(u";H;20090501135357;10000;BC;1;"), Text::npos);
  EXPECT_NE(text.find(u";BC;999;20090501000000;5;1;B;BC;1000;"), Text::npos);
  EXPECT_EQ(text.substr(text.size() - 30), u";BC;10000;20090501000000;5;1;B");
}

// 2^31 characters, one more than a host's text or length_alldata2 holds: a long
// delimiter carries the bulk, the serial the rest.
ClickerFields one_character_too_many() {
  ClickerFields state = repeated_records(3000, filled(u"8712345678906", 3, at(2009, 5, 1, 0, 0, 0)));
  const std::size_t delimiters = 6 + 6 * 3000;
  const std::size_t with_semicolons = delimited_export(state).size();
  const std::size_t missing = (std::size_t{1} << 31) - with_semicolons;
  state.pdelimiter = Text(1 + missing / delimiters, u'|');
  state.serial += Text(missing % delimiters, u'0');
  return state;
}

TEST(DelimitedExport, ATextLongerThanAHostHoldsIsAnOverflowFoundBeforeAnythingIsBuilt) {
  ClickerFields far_too_long = repeated_records(32767, filled(u"8712345678906", 3, at(2009, 5, 1, 0, 0, 0)));
  far_too_long.pdelimiter = Text(100'000, u'|');  // some 20 billion characters
  const struct {
    const char* name;
    ClickerFields state;
  } cases[] = {{"100,000-character delimiter, 32,767 records", far_too_long},
               {"one character too many", one_character_too_many()}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const long before = peak_memory_kib();
    try {
      const Text text = delimited_export(c.state);
      ADD_FAILURE() << "no error; text of " << text.size() << " characters";
    } catch (const Error& error) {
      EXPECT_EQ(error.number(), 6);
    }
    EXPECT_LT(peak_memory_kib() - before, 64 * 1024) << "KiB more than before";
  }
}

}  // namespace
}  // namespace vkd::testing
