#pragma once
// The date of a downloaded record, read from the library's text for its time-stamp bytes.
#include <array>
#include <cstdint>

#include "automation/date.h"
#include "csp2a/library.h"

namespace vkd {

using TimeStampText = std::array<std::uint8_t, csp2a::time_stamp_text_size>;

// A time stamp's date as the object's record list holds it, and whether it is the time the
// scanner stamped: false when its date could not be read (the date then stands on the
// fallback day) or its time of day could not (the date is then at midnight).
struct StampReading {
  Date date;
  bool known = false;
  friend bool operator==(const StampReading&, const StampReading&) = default;
};

// The date of a time-stamp text, as its bytes stand in the library's buffer (the text,
// its NUL, and whatever an earlier text left after that). Fields the scanner did not
// know come out as "63" or "??": the first of each in the buffer is read as "00", unless
// it opens the text, and the buffer keeps that repair, as the library's own buffer would.
// The date is first/middle/third around the first two "/" (two characters before the
// first, all between them, up to two after the second), read when date_text_check
// passes it, else the fallback 2001-01-01; the time of day is read from the first 11
// characters, when they hold one.
StampReading reading_of_text(TimeStampText& text);

// Whether the text is the one the library writes for a stamp whose every field is known,
// "hh:mm:ss AM  MM/DD/YY" and its NUL with no "63" or "??" anywhere in the buffer, which
// needs no repair and no search; if so, `reading` becomes what reading_of_text would give.
// (A flag and an output rather than an optional: a date built in an optional is read
// back whole right after its flag byte was written, which stalls the processor.)
bool read_regular_text(const TimeStampText& text, StampReading& reading);

// The date of a time stamp that cannot be read: the text "01/01/01" in every order of
// day, month and year.
Date unreadable_time_stamp_date();

// Reads every record's time stamp of a download through one buffer, kept between records
// as the library's own buffer is: a shorter text leaves the tail of the one before.
class TimeStampReader {
 public:
  using TimeStamp = std::array<std::uint8_t, csp2a::time_stamp_size>;

  // `given` becomes the buffer as the library left it, before any repair.
  StampReading read(Library& library, TimeStamp stamp, TimeStampText& given);

 private:
  TimeStampText text_{};
};

}  // namespace vkd
