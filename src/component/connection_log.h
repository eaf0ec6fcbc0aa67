#pragma once
// The connection log's rules: every operation on the scanner leaves short entries, each
// beginning with ":", in the order things happened, and an outcome marker in front of the
// whole text, as the object's hosts store and show it. It follows a download or an
// emptying as an observer, writing into the text it is given: the object's own log, or a
// text of the command's.
#include "automation/text.h"
#include "conversations/download.h"
#include "conversations/empty_scanner.h"

namespace vkd {

class ConnectionLog : public DownloadObserver, public EmptyingObserver {
 public:
  explicit ConnectionLog(Text& log) : log_(log) {}

  // The search of a download: one entry per port tried.
  void port_tried(const PortAttempt& attempt) override;
  void status_read(const PortAttempt& attempt) override;
  void port_accepted(const PortAttempt& attempt) override;
  void no_port_answered() override;

  // An emptying: its log starts afresh with the port it opens.
  void port_opened(const PortAttempt& attempt) override;
  void port_not_opened(const PortAttempt& attempt) override;
  void answered_with_failure(const PortAttempt& attempt) override;
  void answered(const PortAttempt& attempt) override;
  void clock_text_checked(const Text& date_time) override;
  void clock_answered(std::int32_t result, int attempt) override;
  void clock_taken() override;
  void clear_answered(const ClearAttempt& clear) override;
  void clear_checked(const ClearAttempt& clear) override;
  void clear_confirmed(int attempt) override;

 private:
  Text& log_;
};

}  // namespace vkd
