// The housekeeping members: emptying the scanner, and its parameters.
#include "component/clicker.h"
#include "scanner/emptying.h"
#include "scanner/parameter_lists.h"

namespace vkd {

void Clicker::EmptyScanner() { vkd::EmptyScanner(state_, library_, host_); }

void Clicker::reset_params() {
  if (state_.lastport.is_empty()) {
    state_.open_ok = false;
    return;
  }
  // The count is taken before the emptying, which lets the host's events run; the
  // entries are read later, as they stand at their turn.
  const Text count_text = left(state_.newparams, 2);
  EmptyScanner();
  restore_defaults_and_write(state_, library_, host_, count_text);
}

Text Clicker::showparams() { return vkd::showparams(state_, library_, host_); }

}  // namespace vkd
