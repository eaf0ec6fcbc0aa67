// The housekeeping members: emptying the scanner, and its parameters.
#include "component/clicker.h"
#include "conversations/empty_scanner.h"
#include "conversations/reset_parameters.h"
#include "conversations/show_parameters.h"

namespace vkd {

void Clicker::EmptyScanner() { empty_scanner(state_, library_, host_); }

void Clicker::reset_params() {
  if (state_.lastport.is_empty()) {
    state_.open_ok = false;
    return;
  }
  // The count is taken before the emptying, which lets the host's events run; the
  // entries are read later, as they stand at their turn.
  const Text count_text = left(state_.newparams, 2);
  EmptyScanner();
  reset_parameters(state_, library_, host_, count_text);
}

Text Clicker::showparams() { return show_parameters(state_, library_, host_); }

}  // namespace vkd
