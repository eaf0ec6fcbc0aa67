#pragma once
// The component's own texts of a download, V01 (fixed-width) and V03 (delimited), written
// from the download's records as a stream in UTF-8, whatever their length, each ended
// with a line break.
#include <string_view>

#include "files/sink.h"
#include "conversations/download.h"

namespace vkd::cli {

void write_fixed_width_text(const Download& download, files::Sink& out);
void write_delimited_text(const Download& download, std::u16string_view delimiter, files::Sink& out);

// Whether the V03 text is no longer than the component's text can be: 2^31 - 1 characters.
bool delimited_text_fits(const Download& download, std::u16string_view delimiter);

}  // namespace vkd::cli
