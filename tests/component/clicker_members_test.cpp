// The Clicker's trivial members, close_clicker, and what a new or released object does.
#include <gtest/gtest.h>

#include "open_clicker_fixture.h"

namespace vkd::testing {
namespace {

using ClickerMembersTest = OpenClickerTest;

TEST_F(ClickerMembersTest, ANewObjectStartsEmpty) {
  EXPECT_EQ(clicker.get_barcode(), 0);
  EXPECT_EQ(clicker.comport(), 0);
  EXPECT_EQ(clicker.num_barcodes(), 0);
  EXPECT_EQ(clicker.length_alldata2(), 0);
  EXPECT_FALSE(clicker.open_ok());
  EXPECT_FALSE(clicker.empty_ok());
  EXPECT_FALSE(clicker.timechange_ok());
  EXPECT_EQ(clicker.serial(), u"");
  EXPECT_EQ(clicker.log(), u"");
  EXPECT_EQ(clicker.SwVersion(), Text(8, u'\0'));
  EXPECT_FALSE(state.barcode_texts.has_value());
  EXPECT_TRUE(library.calls().empty());
}

TEST_F(ClickerMembersTest, HelloNeedsNothingElse) {
  EXPECT_EQ(Clicker::hello(), u"Clicker control successfully installed");
  EXPECT_EQ(clicker.hello(), u"Clicker control successfully installed");
  EXPECT_TRUE(library.calls().empty());
}

TEST_F(ClickerMembersTest, GetBarcodeTakesAnyIndex) {
  for (const std::int16_t index : {std::int16_t{-5}, std::int16_t{0}, std::int16_t{32767}}) {
    clicker.let_get_barcode(index);
    EXPECT_EQ(clicker.get_barcode(), index);
  }
}

TEST_F(ClickerMembersTest, ParameterListsAreStoredAsText) {
  using Let = void (Clicker::*)(const Variant&);
  struct Member {
    Let let;
    Text ClickerState::*field;
  };
  struct Given {
    Variant value;
    const char16_t* stored;  // null: the conversion fails with 13
  };
  const Member members[] = {{&Clicker::let_newparams, &ClickerState::newparams},
                            {&Clicker::let_cur_clicker_params, &ClickerState::cur_clicker_params}};
  const Given values[] = {
      {Variant(Text(u"0203")), u"0203"},  {Variant(std::int16_t{42}), u"42"},
      {Variant(std::int32_t{-7}), u"-7"}, {Variant(2.5), u"2.5"},
      {Variant(true), u"True"},           {Variant(), u""},
      {Variant::null(), nullptr},         {Variant(ObjectValue{}), nullptr},
  };
  for (const Member& member : members) {
    for (const Given& given : values) {
      SCOPED_TRACE(given.stored == nullptr ? "fails" : to_utf8(given.stored));
      state.*member.field = u"previous";
      if (given.stored == nullptr) {
        try {
          (clicker.*member.let)(given.value);
          ADD_FAILURE() << "no error";
        } catch (const Error& error) {
          EXPECT_EQ(error.number(), 13);
        }
        EXPECT_EQ(state.*member.field, u"previous");
      } else {
        (clicker.*member.let)(given.value);
        EXPECT_EQ(state.*member.field, given.stored);
      }
    }
  }
}

TEST_F(ClickerMembersTest, TextsAndLastportAreStoredAsGiven) {
  const Text with_nul = Text(u"a") + u'\0' + u"b";
  clicker.let_pnewdatetime(with_nul);
  clicker.let_pdelimiter(with_nul);
  EXPECT_EQ(state.pnewdatetime, with_nul);
  EXPECT_EQ(state.pdelimiter, with_nul);
  for (const Variant& port :
       {Variant::null(), Variant(ObjectValue{}), Variant(Text(u"x")), Variant(3.5)}) {
    clicker.let_lastport(port);
    EXPECT_EQ(state.lastport, port);
  }
}

TEST_F(ClickerMembersTest, CloseClickerReleasesThePortEveryTimeAndChangesNothing) {
  scanner_on(6);
  clicker.let_lastport(Variant(std::int16_t{6}));
  clicker.open_clicker();
  const ClickerState before = state;
  library.forget_calls();

  clicker.close_clicker();
  clicker.close_clicker();
  EXPECT_EQ(library.call_names(), (std::vector<std::string>{"csp2Restore", "csp2Restore"}));
  EXPECT_EQ(state.log, before.log);
  EXPECT_EQ(state.comport, 6);
  EXPECT_TRUE(state.open_ok);
  EXPECT_EQ(state.serial, before.serial);
  EXPECT_EQ(state.clock_date, before.clock_date);
}

TEST_F(ClickerMembersTest, CloseClickerOnANewObjectIsHarmless) {
  clicker.close_clicker();
  EXPECT_EQ(library.call_names(), std::vector<std::string>{"csp2Restore"});
  EXPECT_EQ(clicker.comport(), 0);
}

TEST_F(ClickerMembersTest, ReleasingTheObjectSendsNothing) {
  scanner_on(0);
  {
    Clicker other(library, host);
    other.open_clicker();
    library.forget_calls();
  }
  EXPECT_TRUE(library.calls().empty());
}

}  // namespace
}  // namespace vkd::testing
