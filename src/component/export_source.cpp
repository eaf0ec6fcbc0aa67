#include "component/export_source.h"

#include "component/download_texts.h"

namespace vkd {

DownloadSource::DownloadSource(const Download& download)
    : download_(download),
      serial_(serial_text(download.identifier)),
      flag_(1, download.clock.flag),
      version_(version_text(download.version)) {}

ExportHeader DownloadSource::header() const {
  return {.serial = serial_,
          .clock_flag = flag_,
          .clock_text = download_.clock.text,
          .clock_date = download_.clock.date,
          .version = version_,
          .records = download_.count};
}

ExportRecord DownloadSource::record(std::int32_t k) {
  const auto index = static_cast<std::size_t>(k - 1);
  const DownloadedRecord* record = index < download_.records.size() ? &download_.records[index] : nullptr;
  if (record == nullptr || record->state == RecordState::not_delivered) {
    barcode_.clear();
    type_ = Variant();
    return {barcode_, type_, Date{}};
  }
  assign_text(barcode_, record->barcode);
  type_.set(static_cast<std::int16_t>(record->code_type));
  return {barcode_, type_, record->time};
}

}  // namespace vkd
