// Both exports refuse, as a whole, to read a record list that is missing or shorter than
// num_barcodes says.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "automation/error.h"
#include "export/delimited_export.h"
#include "export/fixed_width_export.h"
#include "export_state.h"

namespace vkd::testing {
namespace {

struct BrokenLists {
  const char* name;
  std::function<void(ClickerState&)> damage;  // applied to the worked example (2 records)
};

struct Export {
  const char* name;
  Text (*build)(const ClickerState&);
};

class ExportOfBrokenLists : public ::testing::TestWithParam<std::tuple<Export, BrokenLists>> {};

TEST_P(ExportOfBrokenLists, FailsWithSubscriptOutOfRange) {
  const auto& [exporter, broken] = GetParam();
  ClickerState state = worked_example();
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
                        [](ClickerState& s) {
                          s = ClickerState{};
                          s.num_barcodes = 1;
                        }},
            BrokenLists{"CountAboveTheBound", [](ClickerState& s) { s.num_barcodes = 3; }},
            BrokenLists{"CountFarAboveTheBound", [](ClickerState& s) { s.num_barcodes = 32767; }},
            BrokenLists{"TextsMissing", [](ClickerState& s) { s.barcode_texts.reset(); }},
            BrokenLists{"TypesShort", [](ClickerState& s) { s.barcode_types->pop_back(); }},
            BrokenLists{"TimesShort", [](ClickerState& s) { s.barcode_times->pop_back(); }})),
    [](const auto& info) {
      return std::string(std::get<0>(info.param).name) + std::get<1>(info.param).name;
    });

}  // namespace
}  // namespace vkd::testing
