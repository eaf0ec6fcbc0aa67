#pragma once
// The Clicker object: its fields and every member of its published interface, under the
// members' own names. Lets are named let_<member>.
#include <cstdint>

#include "automation/date.h"
#include "automation/host.h"
#include "automation/text.h"
#include "automation/variant.h"
#include "state/clicker_state.h"
#include "csp2a/library.h"

namespace vkd {

class Clicker {
 public:
  Clicker(Library& library, Host& host) : library_(library), host_(host) {}

  // Index of the record that sbarcode, stime and stype report; not range-checked here.
  std::int16_t get_barcode() const { return state_.get_barcode; }
  void let_get_barcode(std::int16_t index) { state_.get_barcode = index; }

  void open_clicker();
  void close_clicker();

  Text serial() const { return state_.serial; }
  Text log() const { return state_.log; }

  void let_lastport(const Variant& port) { state_.lastport = port; }
  void let_newparams(const Variant& list);          // fails with 13 on Null or an object
  void let_cur_clicker_params(const Variant& list);  // likewise
  void let_pnewdatetime(const Text& date_time) { state_.pnewdatetime = date_time; }
  void let_pdelimiter(const Text& delimiter) { state_.pdelimiter = delimiter; }

  Text alldata();   // a whole open_clicker, then the fixed-width text
  Text alldata2();  // a whole open_clicker, then the delimited text; sets length_alldata2

  std::int16_t comport() const { return state_.comport; }
  std::int32_t length_alldata2() const { return state_.length_alldata2; }
  std::int16_t num_barcodes() const { return state_.num_barcodes; }
  static Text hello();
  bool open_ok() const { return state_.open_ok; }
  bool empty_ok() const { return state_.empty_ok; }
  bool timechange_ok() const { return state_.timechange_ok; }

  void EmptyScanner();
  void reset_params();
  Text showparams();
  Text SwVersion() const { return state_.SwVersion; }

  Text sbarcode() const;
  Date stime() const;
  Variant stype() const;

  const ClickerState& state() const { return state_; }
  // For tests that set up an object's fields directly.
  ClickerState& state() { return state_; }

 private:
  ClickerState state_;
  Library& library_;
  Host& host_;
};

}  // namespace vkd
