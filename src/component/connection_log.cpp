#include "component/connection_log.h"

#include "automation/mask.h"

namespace vkd {

namespace {

// ":" + the port under "00" + the time csp2Init came back under "HHMMSS" + "*" + its result.
Text opening_entry(const PortAttempt& attempt) {
  Text entry = u":";
  append_zero_filled(entry, attempt.port, 2);
  entry += hhmmss(attempt.seconds_of_day);
  entry += u'*';
  append_decimal(entry, attempt.result);
  return entry;
}

}  // namespace

void ConnectionLog::port_tried(const PortAttempt& attempt) { log_ += opening_entry(attempt); }

void ConnectionLog::status_read(const PortAttempt& attempt) {
  log_ += u'*';
  append_decimal(log_, *attempt.status);
  log_ += u'*';
  append_decimal(log_, *attempt.count);
}

void ConnectionLog::port_accepted(const PortAttempt&) { log_.insert(0, u"OPOK"); }

void ConnectionLog::no_port_answered() { log_.insert(0, u"OPNC"); }

void ConnectionLog::port_opened(const PortAttempt& attempt) { log_ = opening_entry(attempt); }

void ConnectionLog::port_not_opened(const PortAttempt&) { log_.insert(0, u"OPNP"); }

void ConnectionLog::answered_with_failure(const PortAttempt& attempt) {
  log_.insert(0, u"OPNG");
  log_ += u'*';
  append_decimal(log_, *attempt.count);
}

void ConnectionLog::answered(const PortAttempt&) { log_.insert(0, u"OPOK"); }

void ConnectionLog::clock_text_checked(const Text& date_time) { log_.append(u":SetTime:").append(date_time); }

void ConnectionLog::clock_answered(std::int32_t result, int attempt) {
  log_ += u':';
  append_decimal(log_, result);
  log_ += u':';
  append_zero_filled(log_, attempt, 2);
}

void ConnectionLog::clock_taken() { log_ += u"::TimeOK:"; }

void ConnectionLog::clear_answered(const ClearAttempt& clear) {
  log_ += u':';
  append_decimal(log_, clear.result);
}

void ConnectionLog::clear_checked(const ClearAttempt& clear) {
  log_ += u':';
  append_decimal(log_, *clear.status);
  log_ += u'*';
  append_decimal(log_, *clear.count);
}

void ConnectionLog::clear_confirmed(int attempt) {
  Text marker = u"CLOK:";
  append_zero_filled(marker, attempt, 2);
  marker += u':';
  log_.insert(0, marker);
}

}  // namespace vkd
