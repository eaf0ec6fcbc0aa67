// Both exports refuse, as a whole, to read a record list that is missing or shorter than
// num_barcodes says.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "automation/error.h"
#include "component/delimited_export.h"
#include "component/fixed_width_export.h"
#include "export_state.h"

namespace vkd::testing {
namespace {

struct BrokenLists {
  const char* name;
  std::function<void(ClickerFields&)> damage;  // applied to the worked example (2 records)
};

struct Export {
  const char* name;
  Text (*build)(const ClickerFields&);
};

class ExportOfBrokenLists : public ::testing::TestWithParam<std::tuple<Export, BrokenLists>> {};

TEST_P(ExportOfBrokenLists, FailsWithSubscriptOutOfRange) {
  const auto& [exporter, broken] = GetParam();
  ClickerFields state = worked_example();
  broken.damage(state);
  try {
    const Text text = exporter.build(state);
    ADD_FAILURE() << "no error; text of " << text.size() << " characters";
  } catch (const Error& error) {
    EXPECT_EQ(error.number(), 9);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExportOfBrokenLists,
    ::testing::Combine(
        ::testing::Values(Export{"Fixed", &fixed_width_export}, Export{"Delimited", &delimited_export}),
        ::testing::Values(
            BrokenLists{"NeverAllocated",
                        [](ClickerFields& s) {
                          s = ClickerFields{};
                          s.num_barcodes = 1;
                        }},
            BrokenLists{"CountAboveTheBound", [](ClickerFields& s) { s.num_barcodes = 3; }},
            BrokenLists{"CountFarAboveTheBound", [](ClickerFields& s) { s.num_barcodes = 32767; }},
            BrokenLists{"TextsMissing", [](ClickerFields& s) { s.barcode_texts.reset(); }},
            BrokenLists{"TypesShort", [](ClickerFields& s) { s.barcode_types->pop_back(); }},
            BrokenLists{"TimesShort", [](ClickerFields& s) { s.barcode_times->pop_back(); }})),
    [](const auto& info) {
      return std::string(std::get<0>(info.param).name) + std::get<1>(info.param).name;
    });

}  // namespace
}  // namespace vkd::testing
