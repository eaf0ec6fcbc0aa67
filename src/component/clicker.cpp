// The connection members and the trivial members that are not inline.
#include "component/clicker.h"

#include "conversations/open_and_download.h"
#include "conversations/release_port.h"

namespace vkd {

void Clicker::open_clicker() { open_and_download(state_, library_, host_); }

void Clicker::close_clicker() { release_port(library_); }

// The conversion comes first: a value with no text form leaves the field as it was.
void Clicker::let_newparams(const Variant& list) { state_.newparams = to_text(list); }
void Clicker::let_cur_clicker_params(const Variant& list) {
  state_.cur_clicker_params = to_text(list);
}

Text Clicker::hello() { return u"Clicker control successfully installed"; }

}  // namespace vkd
