#pragma once
// The object's fields following a download or an emptying step by step, exactly where
// the published behaviour writes them, so that a run-time error in the middle leaves the
// fields written before it and nothing else, and a host's event during a pause finds
// them as far as the conversation got.
#include <cstddef>
#include <cstdint>

#include "component/clicker_fields.h"
#include "component/connection_log.h"
#include "component/download_texts.h"

namespace vkd {

class FieldWriter final : public ConnectionLog {
 public:
  explicit FieldWriter(ClickerFields& fields);

  void count_read(const PortAttempt& attempt) override;
  void port_accepted(const PortAttempt& attempt) override;
  void identifier_read(const Identifier& identifier) override;
  void records_started(std::int16_t count) override;
  void record_read(const DownloadedRecord& record) override;
  void records_ended(std::size_t read) noexcept override;
  void clock_read(const ClockReading& clock) override;
  void version_read(const VersionBytes& version) override;

  void port_not_opened(const PortAttempt& attempt) override;
  void records_counted(std::int16_t count) override;
  void answered_with_failure(const PortAttempt& attempt) override;
  void answered(const PortAttempt& attempt) override;
  void clock_setting_started() override;
  void clock_taken() override;
  void clear_confirmed(int attempt) override;

 private:
  ClickerFields& fields_;
  const ByteTable& characters_;
  // The lists of the download under way: nothing runs between its records that could
  // replace them, so they are looked up once.
  std::vector<Text>* texts_ = nullptr;
  std::vector<Variant>* types_ = nullptr;
  std::vector<Date>* times_ = nullptr;
};

}  // namespace vkd
