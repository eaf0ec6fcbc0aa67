// The exports and accessors against the simulated scanner library, loaded by name like
// the vendor's: the built-in demo scanner on port 3.
#include <gtest/gtest.h>

#include <cstdlib>

#include "automation/date.h"
#include "component/clicker.h"
#include "fake_host.h"
#include "csp2a/library.h"

namespace vkd {
namespace {

class ExportsWithSimulatedScanner : public ::testing::Test {
 protected:
  ExportsWithSimulatedScanner() { ::unsetenv("CSP2A_DEVICE"); }

  testing::FakeHost host;
  Clicker clicker{installed_library(), host};
};

constexpr char16_t demo_delimited[] =
    u"DL;V03;SIM 2.10;104A007E2391C50B;H;20090504162005;12"
    u";BC;1;20090501091244;22;13;4006381333931"
    u";BC;2;20090501091302;22;13;5901234123457"
    u";BC;3;20090501134502;8;12;036000291452"
    u";BC;4;20090502080359;1;8;SIM-1042"
    u";BC;5;20090502113000;3;14;LOT2009-05-A17"
    u";BC;6;20090502150731;12;8;96385074"
    u";BC;7;20090503100012;22;13;9780306406157"
    u";BC;8;20090503100140;6;10;0012345678"
    u";BC;9;20090503175958;8;12;012345678905"
    u";BC;10;20090504000005;3;12;SN 0042-7781"
    u";BC;11;20090504120000;1;11;PART 7731-B"
    u";BC;12;20090504161947;22;13;7622210449283";

// The 14-character barcode of record 5 is written whole and shifts what follows.
constexpr char16_t demo_fixed_width[] =
    u"V01104A007E2391C50BH0520160405090012"
    u"00140063813339312220090501091244"
    u"00259012341234572220090501091302"
    u"003036000291452 0820090501134502"
    u"004SIM-1042     0120090502080359"
    u"005LOT2009-05-A170320090502113000"
    u"00696385074     1220090502150731"
    u"00797803064061572220090503100012"
    u"0080012345678   0620090503100140"
    u"009012345678905 0820090503175958"
    u"010SN 0042-7781 0320090504000005"
    u"011PART 7731-B  0120090504120000"
    u"01276222104492832220090504161947";

TEST_F(ExportsWithSimulatedScanner, DelimitedTextOfTheDemoScanner) {
  const Text text = clicker.alldata2();
  EXPECT_EQ(to_utf8(text), to_utf8(demo_delimited));
  EXPECT_EQ(clicker.length_alldata2(), static_cast<std::int32_t>(text.size()));
  EXPECT_EQ(clicker.comport(), 3);
}

TEST_F(ExportsWithSimulatedScanner, FixedWidthTextOfTheDemoScanner) {
  EXPECT_EQ(to_utf8(clicker.alldata()), to_utf8(demo_fixed_width));
  EXPECT_EQ(clicker.length_alldata2(), 0);
}

TEST_F(ExportsWithSimulatedScanner, DelimiterOfSeveralCharactersAndAccessorsAfterTheRead) {
  clicker.let_pdelimiter(u"||");
  const Text text = clicker.alldata2();
  EXPECT_EQ(text.substr(0, 9), u"DL||V03||");
  EXPECT_EQ(text.substr(text.size() - 47), u"||BC||12||20090504161947||22||13||7622210449283");

  clicker.let_get_barcode(12);
  EXPECT_EQ(clicker.sbarcode(), u"7622210449283");
  EXPECT_EQ(clicker.stime(), add_duration(date_serial(2009, 5, 4), 16, 19, 47));
  EXPECT_EQ(clicker.stype(), Variant(std::int16_t{22}));
}

}  // namespace
}  // namespace vkd
