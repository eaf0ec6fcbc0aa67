// The PostgreSQL store on a local server: one docking that stores a whole scanner's worth
// (32,767 records) as one batch and commits it, as a station does after a download. The
// server is the tests' (tests/postgresql/test_server.sh), found through
// VKD_TEST_POSTGRESQL; without one the benchmark is skipped, saying so.
#include <benchmark/benchmark.h>

#include "sample_records.h"
#include "store/postgresql_store.h"
#include "test_server.h"

namespace {

void BM_postgresql_docking(benchmark::State& state) {
  const auto server = vkd::testing::TestServer::find();
  if (!server) {
    state.SkipWithError(
        "no PostgreSQL server: start one with tests/postgresql/test_server.sh start FOLDER and set "
        "VKD_TEST_POSTGRESQL=FOLDER");
    return;
  }
  server->give_schema("benchmark");
  const auto store = vkd::store::open_postgresql_store(server->location("benchmark"));
  vkd::store::NewBatch batch{.station = "benchmark",
                             .downloaded_at = "2024-05-15T09:00:00",
                             .reported = static_cast<std::int32_t>(state.range(0)),
                             .records = vkd::testing::sample_records(static_cast<int>(state.range(0))),
                             .possible_repeat = false,
                             .incomplete = false,
                             .outbox_wanted = false};
  for (auto _ : state) {
    const auto docking = store->docking("104A007E2391C50B", "2024-05-15T09:00:00");
    benchmark::DoNotOptimize(docking->pending_records());
    const std::int64_t number = docking->add_batch(batch);
    docking->commit();
    state.PauseTiming();
    store->erase_done(number, true);  // the next docking finds nothing pending, as after an erase
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_postgresql_docking)->Arg(1000)->Arg(32767)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
