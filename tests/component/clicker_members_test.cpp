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
  EXPECT_FALSE(lists_allocated());
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

// Stored as the text the platform makes of the value, which showparams gives back in
// front of its report: a value with no text form fails with 13 and keeps what was there.
TEST_F(ClickerMembersTest, ParameterListsAreStoredAsText) {
  struct Given {
    Variant value;
    const char16_t* stored;  // null: the conversion fails with 13
  };
  const Given values[] = {
      {Variant(Text(u"05")), u"05"},      {Variant(std::int16_t{42}), u"42"},
      {Variant(std::int32_t{-7}), u"-7"}, {Variant(), u""},
      {Variant::null(), nullptr},         {Variant(ObjectValue{}), nullptr},
  };
  for (const Given& given : values) {
    SCOPED_TRACE(given.stored == nullptr ? "fails" : to_utf8(given.stored));
    clicker.let_cur_clicker_params(Variant(Text(u"07")));
    library.forget_calls();
    if (given.stored == nullptr) {
      try {
        clicker.let_cur_clicker_params(given.value);
        ADD_FAILURE() << "no error";
      } catch (const Error& error) {
        EXPECT_EQ(error.number(), 13);
      }
    } else {
      clicker.let_cur_clicker_params(given.value);
    }
    const Text report = clicker.showparams();
    EXPECT_EQ(report.substr(0, report.find(u':')), given.stored == nullptr ? u"07" : given.stored);
    EXPECT_EQ(library.count(Function::csp2GetParam), 0);  // two characters at most: no reads
  }

  // newparams the same: "00" writes nothing, and an empty list would fail the count.
  clicker.let_lastport(Variant(std::int16_t{0}));
  clicker.let_newparams(Variant(Text(u"00")));
  for (const Variant& failing : {Variant::null(), Variant(ObjectValue{})}) {
    try {
      clicker.let_newparams(failing);
      ADD_FAILURE() << "no error";
    } catch (const Error& error) {
      EXPECT_EQ(error.number(), 13);
    }
  }
  clicker.reset_params();
  EXPECT_EQ(library.count(Function::csp2SetParam), 0);
  clicker.let_newparams(Variant(std::int16_t{1}));  // "1": its count is one entry, of parameter 0
  clicker.reset_params();
  EXPECT_EQ(library.count(Function::csp2SetParam), 1);
}

// The texts are used whole, NUL characters and all; lastport is kept as given and read
// only when an operation needs it.
TEST_F(ClickerMembersTest, TextsAndLastportAreStoredAsGiven) {
  const Text with_nul = Text(u"a") + u'\0' + u"b";
  scanner_on(4);
  clicker.let_pdelimiter(with_nul);
  clicker.let_lastport(Variant(3.5));  // port 4: half to even
  EXPECT_EQ(clicker.alldata2().substr(0, 11), u"DL" + with_nul + u"V03" + with_nul);
  EXPECT_EQ(ports_tried(), (std::vector<std::int32_t>{4}));
  for (const Variant& port : {Variant::null(), Variant(ObjectValue{}), Variant(Text(u"x"))}) {
    clicker.let_lastport(port);
    EXPECT_EQ(open_error_number(), 13);
  }
}

TEST_F(ClickerMembersTest, CloseClickerReleasesThePortEveryTimeAndChangesNothing) {
  scanner_on(6, 2);
  clicker.let_lastport(Variant(std::int16_t{6}));
  clicker.open_clicker();
  const Text log = clicker.log();
  const Text serial = clicker.serial();
  const std::vector<Text> barcodes = texts();
  library.forget_calls();

  clicker.close_clicker();
  clicker.close_clicker();
  EXPECT_EQ(library.call_names(), (std::vector<std::string>{"csp2Restore", "csp2Restore"}));
  EXPECT_EQ(clicker.log(), log);
  EXPECT_EQ(clicker.comport(), 6);
  EXPECT_TRUE(clicker.open_ok());
  EXPECT_EQ(clicker.serial(), serial);
  EXPECT_EQ(clicker.num_barcodes(), 2);
  EXPECT_EQ(texts(), barcodes);
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
