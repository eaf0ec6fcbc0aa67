#pragma once
// What the two exports write, from the object's fields or straight from a download: the
// header fields, and the three fields of record k (from 1).
#include <cstdint>
#include <string_view>

#include "automation/date.h"
#include "automation/text.h"
#include "automation/variant.h"
#include "component/clicker_fields.h"
#include "component/list_entries.h"
#include "conversations/download.h"

namespace vkd {

struct ExportHeader {
  std::u16string_view serial;
  std::u16string_view clock_flag;  // nothing for a clock never read
  std::u16string_view clock_text;  // nothing for a clock never read
  Date clock_date;
  std::u16string_view version;
  std::int32_t records = 0;
};

struct ExportRecord {
  std::u16string_view barcode;
  const Variant& type;  // a 16-bit integer, or Empty for an entry no download filled
  Date time;
};

// The object's fields, read through its lists' rule: a list that is missing or shorter
// than num_barcodes is error 9.
class FieldsSource {
 public:
  explicit FieldsSource(const ClickerFields& fields)
      : fields_(fields), texts_(fields.barcode_texts), types_(fields.barcode_types), times_(fields.barcode_times) {}

  ExportHeader header() const {
    return {.serial = fields_.serial,
            .clock_flag = never_written(fields_.clock_flag) ? std::u16string_view() : fields_.clock_flag,
            .clock_text = never_written(fields_.clock_text) ? std::u16string_view() : fields_.clock_text,
            .clock_date = fields_.clock_date,
            .version = fields_.SwVersion,
            .records = fields_.num_barcodes};
  }
  ExportRecord record(std::int32_t k) const { return {texts_[k], types_[k], times_[k]}; }

 private:
  // A fixed-length text no clock read wrote still holds its initial NUL characters: it is
  // shown as nothing rather than as control characters in a text meant for storage.
  static bool never_written(const Text& text) { return text.find_first_not_of(u'\0') == Text::npos; }

  const ClickerFields& fields_;
  ListEntries<Text> texts_;
  ListEntries<Variant> types_;
  ListEntries<Date> times_;
};

// A download as the object's fields would hold it after it, without the fields: records
// it did not deliver read as the entries a download leaves unfilled.
class DownloadSource {
 public:
  explicit DownloadSource(const Download& download);

  ExportHeader header() const;
  // Valid until the next call.
  ExportRecord record(std::int32_t k);

 private:
  const Download& download_;
  Text serial_, flag_, version_;
  Text barcode_;
  Variant type_;
};

}  // namespace vkd
