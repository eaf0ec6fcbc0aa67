// The connection members and the trivial members that are not inline.
#include "component/clicker.h"

#include "scanner/close_clicker.h"
#include "scanner/open_clicker.h"

namespace vkd {

void Clicker::open_clicker() { vkd::open_clicker(state_, library_, host_); }

void Clicker::close_clicker() { vkd::close_clicker(library_); }

// The conversion comes first: a value with no text form leaves the field as it was.
void Clicker::let_newparams(const Variant& list) { state_.newparams = to_text(list); }
void Clicker::let_cur_clicker_params(const Variant& list) {
  state_.cur_clicker_params = to_text(list);
}

Text Clicker::hello() { return u"Clicker control successfully installed"; }

}  // namespace vkd
