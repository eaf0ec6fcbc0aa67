#pragma once
// The Clicker object: its fields and every member of its published interface, under the
// members' own names. Lets are named let_<member>. Each operation is a conversation of
// the layer below; the object's fields follow it as it goes.
#include <cstdint>
#include <string_view>

#include "automation/date.h"
#include "automation/host.h"
#include "automation/text.h"
#include "automation/variant.h"
#include "component/clicker_fields.h"
#include "csp2a/library.h"

namespace vkd {

// What hello returns, to check an installation without touching the scanner.
inline constexpr std::u16string_view greeting = u"Clicker control successfully installed";

class Clicker {
 public:
  Clicker(Library& library, Host& host) : library_(library), host_(host) {}

  // Index of the record that sbarcode, stime and stype report; not range-checked here.
  std::int16_t get_barcode() const { return fields_.get_barcode; }
  void let_get_barcode(std::int16_t index) { fields_.get_barcode = index; }

  // Searches the ports from lastport, downloads every record, reads the clock and version.
  // Scanner failures show only in open_ok, comport and the log. A run-time error ends the
  // call with the fields written so far; a port it found is released first.
  void open_clicker();
  // Releases a port an error left open.
  void close_clicker();

  Text serial() const { return fields_.serial; }
  Text log() const { return fields_.log; }

  void let_lastport(const Variant& port) { fields_.lastport = port; }
  // Stored as the text the platform makes of the value: Null or an object fails with 13
  // and leaves the field as it was.
  void let_newparams(const Variant& list);
  void let_cur_clicker_params(const Variant& list);
  void let_pnewdatetime(const Text& date_time) { fields_.pnewdatetime = date_time; }
  void let_pdelimiter(const Text& delimiter) { fields_.pdelimiter = delimiter; }

  Text alldata();   // a whole open_clicker, then the fixed-width text
  Text alldata2();  // a whole open_clicker, then the delimited text; sets length_alldata2

  std::int16_t comport() const { return fields_.comport; }
  std::int32_t length_alldata2() const { return fields_.length_alldata2; }
  std::int16_t num_barcodes() const { return fields_.num_barcodes; }
  static Text hello() { return Text(greeting); }
  bool open_ok() const { return fields_.open_ok; }
  bool empty_ok() const { return fields_.empty_ok; }
  bool timechange_ok() const { return fields_.timechange_ok; }

  // On lastport alone: sets the clock when pnewdatetime is given, erases every record.
  void EmptyScanner();
  // EmptyScanner, then the scanner's defaults, then each parameter of newparams.
  void reset_params();
  // The parameters cur_clicker_params lists, then ":" and the status items.
  Text showparams();
  Text SwVersion() const { return fields_.SwVersion; }

  // The record get_barcode selects: error 9 when the list was never allocated or the
  // index lies outside it, a negative index included.
  Text sbarcode() const;
  Date stime() const;
  Variant stype() const;  // a 16-bit integer, or Empty for an entry no download filled

 private:
  ClickerFields fields_;
  Library& library_;
  Host& host_;
};

}  // namespace vkd
