#include "component/field_writer.h"

#include "automation/number_reading.h"
#include "component/download_texts.h"

namespace vkd {

namespace {

// A list for indexes 0 to `size` - 1. A list an earlier download left is used again in
// place, so that its texts keep their buffers and a repeated download of like barcodes
// allocates nothing for them.
template <typename Entry>
std::vector<Entry>& resize(std::optional<std::vector<Entry>>& list, std::size_t size) {
  if (!list) return list.emplace(size);
  list->resize(size);
  return *list;
}

}  // namespace

FieldWriter::FieldWriter(ClickerFields& fields)
    : ConnectionLog(fields.log), fields_(fields), characters_(byte_table()) {}

void FieldWriter::count_read(const PortAttempt& attempt) { fields_.num_barcodes = *attempt.count; }

void FieldWriter::port_accepted(const PortAttempt& attempt) {
  ConnectionLog::port_accepted(attempt);
  // comport is 16 bits wide: a larger port number overflows while the port is held.
  fields_.comport = to_int16(static_cast<double>(attempt.port));
  fields_.open_ok = true;
}

void FieldWriter::identifier_read(const Identifier& identifier) { fields_.serial = serial_text(identifier); }

void FieldWriter::records_started(std::int16_t count) {
  const auto size = static_cast<std::size_t>(count) + 1;
  texts_ = &resize(fields_.barcode_texts, size);
  types_ = &resize(fields_.barcode_types, size);
  times_ = &resize(fields_.barcode_times, size);
}

// Each entry the download fills is overwritten whole.
void FieldWriter::record_read(const DownloadedRecord& record) {
  const auto index = static_cast<std::size_t>(record.index);
  assign_text((*texts_)[index], record.barcode, characters_);
  (*types_)[index].set(static_cast<std::int16_t>(record.code_type));
  (*times_)[index] = record.time;
}

// Every entry the download did not fill (entry 0, and those after the last record read,
// however the download ended) is as a new list holds it: an empty text, no code type,
// the date 0.
void FieldWriter::records_ended(std::size_t read) noexcept {
  std::vector<Text>& texts = *texts_;
  std::vector<Variant>& types = *types_;
  std::vector<Date>& times = *times_;
  for (std::size_t i = 0; i < texts.size(); i = i == 0 ? read + 1 : i + 1) {
    texts[i].clear();
    types[i] = Variant();
    times[i] = Date{};
  }
}

void FieldWriter::clock_read(const ClockReading& clock) {
  fields_.clock_flag = Text(1, clock.flag);
  fields_.clock_text = clock.text;
  fields_.clock_date = clock.date;
}

void FieldWriter::version_read(const VersionBytes& version) { fields_.SwVersion = version_text(version); }

void FieldWriter::port_not_opened(const PortAttempt& attempt) {
  ConnectionLog::port_not_opened(attempt);
  fields_.open_ok = false;
}

void FieldWriter::records_counted(std::int16_t count) { fields_.num_barcodes = count; }

void FieldWriter::answered_with_failure(const PortAttempt& attempt) {
  ConnectionLog::answered_with_failure(attempt);
  fields_.open_ok = false;
}

void FieldWriter::answered(const PortAttempt& attempt) {
  ConnectionLog::answered(attempt);
  fields_.open_ok = true;
  fields_.timechange_ok = false;
}

void FieldWriter::clock_setting_started() { fields_.timechange_ok = false; }

void FieldWriter::clock_taken() {
  ConnectionLog::clock_taken();
  fields_.timechange_ok = true;
}

void FieldWriter::clear_confirmed(int attempt) {
  ConnectionLog::clear_confirmed(attempt);
  fields_.empty_ok = true;
}

}  // namespace vkd
