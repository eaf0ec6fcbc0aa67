#include "automation/error.h"

#include <gtest/gtest.h>

namespace vkd {
namespace {

TEST(Error, CarriesThePlatformNumberDescriptionAndResult) {
  const struct {
    Error error;
    std::int32_t number;
    Text description;
    std::uint32_t hresult;
  } cases[] = {
      {Error::invalid_procedure_call(), 5, u"Invalid procedure call or argument", 0x800A0005},
      {Error::overflow(), 6, u"Overflow", 0x800A0006},
      {Error::subscript_out_of_range(), 9, u"Subscript out of range", 0x800A0009},
      {Error::type_mismatch(), 13, u"Type mismatch", 0x800A000D},
      {Error::library_not_found(), 53, u"File not found: csp2a.DLL", 0x800A0035},
      {Error::entry_point_not_found("csp2GetPacket"), 453,
       u"Can't find DLL entry point csp2GetPacket in csp2a.DLL", 0x800A01C5},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.error.number(), c.number);
    EXPECT_EQ(static_cast<std::int32_t>(c.error.code()), c.number);
    EXPECT_EQ(c.error.description(), c.description);
    EXPECT_EQ(static_cast<std::uint32_t>(c.error.hresult()), c.hresult);
    EXPECT_EQ(c.error.what(), to_utf8(c.description));
  }
}

TEST(Error, WhatIsTheDescriptionInUtf8) {
  const Error error(ErrorNumber::type_mismatch, u"caf\u00E9");
  EXPECT_STREQ(error.what(), "caf\xC3\xA9");
  EXPECT_LT(error.hresult(), 0);  // a failure result
}

}  // namespace
}  // namespace vkd
