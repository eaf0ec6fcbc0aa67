#include "cli/parameter_lists.h"

#include <gtest/gtest.h>

#include "automation/text.h"

namespace vkd::cli {
namespace {

TEST(ParameterLists, ShowListIsTheCountThenEachNumberInTwoDigits) {
  EXPECT_EQ(to_utf8(show_list(std::vector<int>{1, 5, 12})), "03010512");
  EXPECT_EQ(to_utf8(show_list(std::vector<int>{})), "00");
  EXPECT_EQ(to_utf8(show_list(std::vector<int>{0, 99})), "020099");
}

TEST(ParameterLists, ResetListIsTheCountThenEachNumberAndValue) {
  EXPECT_EQ(to_utf8(reset_list(std::vector<ParameterSetting>{{1, 5}, {12, 3}})), "0201051203");
  EXPECT_EQ(to_utf8(reset_list(std::vector<ParameterSetting>{})), "00");
  EXPECT_EQ(to_utf8(reset_list(std::vector<ParameterSetting>{{99, 0}})), "019900");
}

TEST(ParameterLists, NinetyNineEntriesStillFitTheTwoDigitCount) {
  const std::vector<std::string> words(99, "7=7");
  const auto settings = parameter_settings(words);
  ASSERT_TRUE(std::holds_alternative<std::vector<ParameterSetting>>(settings));
  const Text list = reset_list(std::get<std::vector<ParameterSetting>>(settings));
  EXPECT_EQ(list.size(), 2u + 99u * 4u);
  EXPECT_EQ(to_utf8(list.substr(0, 6)), "990707");
}

}  // namespace
}  // namespace vkd::cli
