#include "cli/component_texts.h"

#include <array>
#include <string>

#include "automation/mask_writers.h"
#include "automation/text.h"
#include "component/delimited_export.h"
#include "component/export_source.h"
#include "component/export_text.h"
#include "component/fixed_width_export.h"

namespace vkd::cli {

namespace {

// An export's output (see component/export_text.h) that writes UTF-8 into a sink, in
// pieces of about 64 KiB.
class Utf8Output {
 public:
  explicit Utf8Output(files::Sink& sink) : sink_(sink) { buffer_.reserve(piece + 1024); }
  Utf8Output(const Utf8Output&) = delete;
  Utf8Output& operator=(const Utf8Output&) = delete;

  void append(std::u16string_view part) {
    buffer_ += to_utf8(part);
    if (buffer_.size() >= piece) flush();
  }
  void append_decimal(std::int64_t number) { append_digits(decimal_length(number), [&](char16_t* at) { return write_decimal(at, number); }); }
  void append_zero_filled(std::int64_t number, int digits) {
    append_digits(zero_filled_length(number, digits), [&](char16_t* at) { return write_zero_filled(at, number, digits); });
  }
  void append_left_aligned(std::u16string_view value, int width) {
    append(value);
    if (value.size() < static_cast<std::size_t>(std::max(width, 0))) buffer_.append(width - value.size(), ' ');
  }
  void append_date(Date date) {
    append_digits(yyyymmddhhnnss_length, [&](char16_t* at) { return write_yyyymmddhhnnss(at, date); });
  }
  void finish() {
    buffer_ += '\n';
    flush();
  }

 private:
  static constexpr std::size_t piece = 64 * 1024;

  // Digits and a sign: ASCII, one byte each.
  template <class Write>
  void append_digits(std::size_t length, Write write) {
    std::array<char16_t, 24> digits{};
    write(digits.data());
    for (std::size_t i = 0; i < length; ++i) buffer_ += static_cast<char>(digits[i]);
  }
  void flush() {
    sink_.write(buffer_);
    buffer_.clear();
  }

  files::Sink& sink_;
  std::string buffer_;
};

}  // namespace

void write_fixed_width_text(const Download& download, files::Sink& out) {
  DownloadSource source(download);
  Utf8Output output(out);
  write_fixed_width(source, output);
  output.finish();
}

void write_delimited_text(const Download& download, std::u16string_view delimiter, files::Sink& out) {
  DownloadSource source(download);
  Utf8Output output(out);
  write_delimited(source, delimiter, output);
  output.finish();
}

bool delimited_text_fits(const Download& download, std::u16string_view delimiter) {
  DownloadSource source(download);
  LengthCounter counter;
  write_delimited(source, delimiter, counter);
  return counter.fits_a_host_text();
}

}  // namespace vkd::cli
