#include "cli/store_commands.h"

#include <functional>
#include <memory>
#include <sstream>

#include "cli/exit_code.h"
#include "cli/output_destination.h"
#include "cli/path_text.h"
#include "cli/platform.h"
#include "cli/state_file.h"
#include "cli/station.h"
#include "store/store.h"

namespace vkd::cli {

namespace {

// --store, or the SQLite file in the user's data folder.
std::optional<std::string> store_location(const Invocation& invocation) {
  if (invocation.store) return invocation.store;
  const auto folder = user_data_folder();
  if (!folder) return std::nullopt;
  return "sqlite:" + utf8_of_path(*folder / "vkdclicker" / "scans.db");
}

// The store's location, or none with the reason said.
std::optional<std::string> chosen_location(const Invocation& invocation, Environment& environment) {
  const auto location = store_location(invocation);
  if (!location) environment.err << "clicker: no store: give --store, or set HOME (LOCALAPPDATA on Windows)\n";
  return location;
}

// The store, or none with the reason said: before any scanner is touched.
std::unique_ptr<store::Store> opened_store(const Invocation& invocation, Environment& environment) {
  const auto location = chosen_location(invocation, environment);
  if (!location) return nullptr;
  try {
    return store::open_store(*location);
  } catch (const store::StoreError& error) {
    environment.err << "clicker: store: " << error.what() << "\n";
    return nullptr;
  }
}

store::BatchFilter filter_of(const Invocation& invocation) {
  store::BatchFilter filter;
  filter.number = invocation.batch;
  filter.since = invocation.since;
  filter.scanner = invocation.scanner;
  return filter;
}

BatchFormat batch_format_of(Format format) {
  if (format == Format::jsonl) return BatchFormat::jsonl;
  if (format == Format::json) return BatchFormat::json;
  return BatchFormat::csv;
}

std::string batch_line(const store::Batch& batch) {
  std::string marks;
  if (batch.incomplete) marks += "incomplete";
  if (batch.possible_repeat) marks += std::string(marks.empty() ? "" : ",") + "possible repeat";
  return std::to_string(batch.number) + "\t" + batch.scanner + "\t" + batch.station + "\t" + batch.downloaded_at +
         "\t" + std::to_string(batch.count) + "\t" + std::to_string(batch.reported) + "\t" +
         std::string(store::state_name(batch.state)) + "\t" + marks + "\n";
}

// Prints the text that `text` takes from the store, or says why the store or the output
// failed.
int print_from_store(Environment& environment, const std::function<std::string()>& text) {
  try {
    if (const auto failure = write_to_stream(environment.out, text())) {
      environment.err << "clicker: cannot write output: " << *failure << "\n";
      return exit_failure;
    }
  } catch (const store::StoreError& error) {
    environment.err << "clicker: store: " << error.what() << "\n";
    return exit_failure;
  }
  return exit_ok;
}

}  // namespace

int collect_command(const Invocation& invocation, Environment& environment) {
  const std::unique_ptr<store::Store> store = opened_store(invocation, environment);
  if (!store) return exit_failure;
  StationSettings settings;
  settings.station = invocation.station.value_or(computer_name());
  if (invocation.outbox) {
    settings.outbox = Outbox{path_of_utf8(*invocation.outbox), batch_format_of(invocation.format)};
  }
  settings.exec = invocation.exec;
  settings.set_clock = invocation.set_clock.has_value();
  std::optional<std::int16_t> port = invocation.port;
  if (!port && environment.state_file) port = read_remembered_port(*environment.state_file, environment.err);
  settings.ports = PortRange{.first = port.value_or(0), .highest = std::numeric_limits<std::int16_t>::max()};
  settings.poll = std::chrono::seconds(invocation.poll_seconds);
  StationEvents events(environment.err, environment.err_is_terminal);
  return run_station(environment.library, environment.host, *store, settings,
                     StationRun{.once = invocation.once, .wait_seconds = invocation.wait_seconds}, events);
}

int batches_command(const Invocation& invocation, Environment& environment) {
  const std::unique_ptr<store::Store> store = opened_store(invocation, environment);
  if (!store) return exit_failure;
  return print_from_store(environment, [&] {
    std::string lines = "batch\tscanner\tstation\tdownloaded_at\trecords\treported\tstate\tmarks\n";
    for (const store::Batch& batch : store->batches(filter_of(invocation))) lines += batch_line(batch);
    return lines;
  });
}

int export_command(const Invocation& invocation, Environment& environment) {
  const std::unique_ptr<store::Store> store = opened_store(invocation, environment);
  if (!store) return exit_failure;
  try {
    const std::vector<store::Batch> batches = store->batches(filter_of(invocation));
    const Data data = [&](files::Sink& sink, const Continued&) {
      BatchWriter writer(batch_format_of(invocation.format), sink);
      for (const store::Batch& batch : batches) writer.batch(batch, store->records(batch.number));
      writer.finish();
    };
    if (const auto failure = deliver(environment.out, environment.err, destination_of(invocation), data)) {
      environment.err << *failure;
      return exit_failure;
    }
  } catch (const store::StoreError& error) {
    environment.err << "clicker: store: " << error.what() << "\n";
    return exit_failure;
  }
  return exit_ok;
}

int store_init_command(const Invocation& invocation, Environment& environment) {
  const auto location = chosen_location(invocation, environment);
  if (!location) return exit_failure;
  return print_from_store(environment, [&] { return store::prepare_store(*location) + "\n"; });
}

}  // namespace vkd::cli
