// The PostgreSQL store against a real server, the one test_server.sh starts for CTest:
// the docking cycle, two stations docking one scanner at once, the stores it refuses, and
// the server lost while a docking's transaction is open. Each test has a schema of its own,
// owned by the stations' role, which may create nothing else in the database.
#include "store/postgresql_store.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

#include "child_process.h"
#include "sample_records.h"
#include "test_server.h"

namespace vkd::testing {
namespace {

using namespace std::chrono_literals;
using store::BatchState;
using store::StoreError;
using Kind = StoreError::Kind;

constexpr char scanner_a[] = "104A007E2391C50B";
constexpr char scanner_b[] = "104A007E2391C50C";

store::NewBatch batch_of(std::vector<store::Record> records, const std::string& station = "station1",
                         bool outbox_wanted = false) {
  return {.station = station,
          .downloaded_at = "2024-05-15T09:00:00",
          .reported = static_cast<std::int32_t>(records.size()),
          .records = std::move(records),
          .possible_repeat = false,
          .incomplete = false,
          .outbox_wanted = outbox_wanted};
}

// The StoreError a call throws; fails the test when it throws none.
StoreError error_of(const std::function<void()>& call) {
  try {
    call();
  } catch (const StoreError& error) {
    return error;
  }
  ADD_FAILURE() << "no StoreError";
  return StoreError(Kind::failed, "none");
}

class PostgresqlStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    found_ = TestServer::find();
    ASSERT_TRUE(found_) << "no test server answers where VKD_TEST_POSTGRESQL says (CTest starts one)";
  }
  const TestServer& server() const { return *found_; }

 private:
  std::optional<TestServer> found_;
};

TEST_F(PostgresqlStoreTest, TheDockingCycle) {
  server().give_schema("cycle");
  EXPECT_EQ(store::prepare_postgresql_store(server().location("cycle")),
            "created the tables in schema \"cycle\" at version 1");
  const auto store = store::open_postgresql_store(server().location("cycle"));

  // A whole scanner's worth in one batch; its erase fails, so its records stay pending.
  const std::vector<store::Record> first = sample_records(32767);
  std::int64_t one = 0;
  {
    const auto docking = store->docking(scanner_a, "2024-05-15T09:00:00");
    EXPECT_EQ(docking->pending_records(), std::vector<store::Record>());
    one = docking->add_batch(batch_of(first, "station1", true));
    docking->commit();
  }
  store->erase_done(one, false);
  {
    const auto docking = store->docking(scanner_a, "2024-05-15T09:05:00");
    docking->add_batch(batch_of(sample_records(2, 50000)));
  }  // never committed: nothing of it stays
  std::int64_t two = 0;
  {
    const auto docking = store->docking(scanner_a, "2024-05-15T10:00:00");
    EXPECT_EQ(docking->pending_records(), first);
    auto later = batch_of(sample_records(2, 32768));
    later.downloaded_at = "2024-05-15T10:00:00";
    two = docking->add_batch(later);
    docking->commit();
  }
  store->erase_done(two, true);

  // Another scanner, emptied elsewhere before its next docking.
  std::int64_t three = 0, four = 0;
  for (std::int64_t* number : {&three, &four}) {
    const auto docking = store->docking(scanner_b, "2024-05-16T08:00:00");
    if (number == &four) docking->end_pending(true);
    auto batch = batch_of(sample_records(1), "station2");
    batch.downloaded_at = "2024-05-16T08:00:00";
    batch.possible_repeat = number == &four;
    batch.incomplete = number == &three;
    *number = docking->add_batch(batch);
    docking->commit();
  }
  {
    const auto docking = store->docking(scanner_b, "2024-05-16T09:00:00");
    EXPECT_EQ(docking->pending_records(), sample_records(1));
  }

  ASSERT_EQ(store->awaiting_outbox("station1").size(), 1u);
  EXPECT_EQ(store->awaiting_outbox("station1")[0].number, one);
  store->outbox_written(one, "outbox/104A007E2391C50B-20240515T090000-1.csv");
  EXPECT_EQ(store->awaiting_outbox("station1"), std::vector<store::Batch>());

  const store::Batch batch_one{.number = one,
                               .scanner = scanner_a,
                               .station = "station1",
                               .downloaded_at = "2024-05-15T09:00:00",
                               .count = 32767,
                               .reported = 32767,
                               .state = BatchState::emptied,
                               .possible_repeat = false,
                               .incomplete = false,
                               .pending = false,
                               .outbox_wanted = true,
                               .outbox_file = "outbox/104A007E2391C50B-20240515T090000-1.csv"};
  store::Batch batch_two = batch_one;
  batch_two.number = two;
  batch_two.downloaded_at = "2024-05-15T10:00:00";
  batch_two.count = batch_two.reported = 2;
  batch_two.outbox_wanted = false;
  batch_two.outbox_file.reset();
  store::Batch batch_three = batch_two;
  batch_three.number = three;
  batch_three.scanner = scanner_b;
  batch_three.station = "station2";
  batch_three.downloaded_at = "2024-05-16T08:00:00";
  batch_three.count = batch_three.reported = 1;
  batch_three.state = BatchState::changed;
  batch_three.incomplete = true;
  store::Batch batch_four = batch_three;
  batch_four.number = four;
  batch_four.state = BatchState::stored;
  batch_four.incomplete = false;
  batch_four.possible_repeat = true;
  batch_four.pending = true;
  EXPECT_EQ(store->batches({}), (std::vector{batch_one, batch_two, batch_three, batch_four}));

  store::BatchFilter by_number, since, by_scanner, by_station;
  by_number.number = two;
  since.since = "2024-05-15T10:00:00";
  by_scanner.scanner = scanner_b;
  by_station.station = "station1";
  EXPECT_EQ(store->batches(by_number), std::vector{batch_two});
  EXPECT_EQ(store->batches(since), (std::vector{batch_two, batch_three, batch_four}));
  EXPECT_EQ(store->batches(by_scanner), (std::vector{batch_three, batch_four}));
  EXPECT_EQ(store->batches(by_station), (std::vector{batch_one, batch_two}));
  EXPECT_EQ(store->records(one), first);
  EXPECT_EQ(store->records(two), sample_records(2, 32768));

  EXPECT_EQ(store::prepare_postgresql_store(server().location("cycle")), "schema \"cycle\" is at version 1 already");
}

// The second station waits for the first's row lock on the scanner, then sees its batch
// pending: whether the scanner is new to the store (both would insert it) or known. The
// first is another process, holding its docking until told to commit.
TEST_F(PostgresqlStoreTest, TwoStationsDockingOneScannerTakeTurns) {
  for (const bool known : {false, true}) {
    SCOPED_TRACE(known ? "a scanner the store knows" : "a scanner new to the store");
    server().give_schema("turns");
    const std::string location = server().location("turns");
    if (known) store::open_postgresql_store(location)->docking(scanner_a, "2024-05-15T08:00:00")->commit();
    ChildProcess first([&](const Line& test) {
      const auto store = store::open_postgresql_store(location);
      const auto docking = store->docking(scanner_a, "2024-05-15T09:00:00");
      test.say("held " + std::to_string(docking->pending_records().size()));
      test.hear();
      store::Record record = sample_records(5)[4];
      record.position = 1;
      docking->add_batch(batch_of({record}, "station2"));
      docking->commit();
      return std::string("committed");
    });
    ASSERT_EQ(first.line().hear(), "held 0");

    const auto store = store::open_postgresql_store(location);  // after the fork: its connection is ours alone
    std::atomic<bool> docked = false;
    std::vector<store::Record> seen;
    std::optional<StoreError> failure;
    std::thread second([&] {
      try {
        const auto docking = store->docking(scanner_a, "2024-05-15T09:00:01");
        docked = true;
        seen = docking->pending_records();
        docking->commit();
      } catch (const StoreError& error) {
        failure = error;
        docked = true;
      }
    });
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (server().admin("SELECT count(*) FROM pg_locks WHERE NOT granted") == "0" &&
           std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(10ms);
    }
    EXPECT_FALSE(docked) << "the second docking did not wait for the first";
    first.line().say("commit");
    EXPECT_EQ(first.line().hear(), "committed");
    second.join();
    ASSERT_FALSE(failure) << failure->what();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].barcode, sample_records(5)[4].barcode);
  }
}

struct Refusal {
  const char* name;
  // Prepares the server, and gives the location to open.
  std::function<std::string(const TestServer&)> prepare;
  Kind kind;
  const char* said;
  bool at_docking = false;  // the store opens, its first docking fails
};

// The schema "refused", its tables made by the stations' role.
void refused_store(const TestServer& server) {
  server.give_schema("refused");
  store::open_postgresql_store(server.location("refused"));
}

const Refusal refusals[] = {
    {"no server there",
     [](const TestServer& server) {
       return "postgresql:///scans?host=" + server.folder() + "/absent&user=clicker&schema=refused";
     },
     Kind::unusable, "/absent&user=clicker&schema=refused: cannot connect: "},
    {"a wrong password",
     [](const TestServer& server) {
       server.give_schema("refused");
       return std::string("postgresql://clicker:wrong-secret@/scans?schema=refused&password=other-secret");
     },
     Kind::unusable, "store postgresql://clicker:***@/scans?schema=refused&password=***: cannot connect: "},
    {"a schema of another application",
     [](const TestServer& server) {
       server.give_schema("refused");
       server.admin("CREATE TABLE refused.invoices (number integer)");
       return server.location("refused");
     },
     Kind::unusable, "holds tables that are not a store of ours"},
    {"a store newer than the program",
     [](const TestServer& server) {
       refused_store(server);
       server.admin("UPDATE refused.schema_version SET version = 99");
       return server.location("refused");
     },
     Kind::unusable, "is at version 99, newer than this program's 1"},
    {"a schema the role may not create",
     [](const TestServer& server) {
       server.admin("DROP SCHEMA IF EXISTS refused CASCADE");
       return server.location("refused");
     },
     Kind::unusable, "permission denied for database"},
    {"a role with no rights on the schema",
     [](const TestServer& server) {
       refused_store(server);
       server.admin("DROP ROLE IF EXISTS vkd_stranger; CREATE ROLE vkd_stranger LOGIN PASSWORD 'stranger-secret'");
       return std::string("postgresql://vkd_stranger:stranger-secret@/scans?schema=refused");
     },
     Kind::unusable, "permission denied for schema \"refused\""},
    {"a role that may only read",
     [](const TestServer& server) {
       refused_store(server);
       server.admin(
           "DROP ROLE IF EXISTS vkd_reader; CREATE ROLE vkd_reader LOGIN PASSWORD 'reader-secret'; "
           "GRANT USAGE ON SCHEMA refused TO vkd_reader; GRANT SELECT ON ALL TABLES IN SCHEMA refused TO vkd_reader");
       return std::string("postgresql://vkd_reader:reader-secret@/scans?schema=refused");
     },
     Kind::read_only, "permission denied for table scanners", true},
};

TEST_F(PostgresqlStoreTest, RefusesWhatItCannotUseAndNeverShowsAPassword) {
  for (const Refusal& refusal : refusals) {
    SCOPED_TRACE(refusal.name);
    const std::string location = refusal.prepare(server());
    const StoreError error = error_of([&] {
      const auto store = store::open_postgresql_store(location);
      if (refusal.at_docking) store->docking(scanner_a, "2024-05-15T09:00:00");
    });
    EXPECT_EQ(error.kind(), refusal.kind) << error.what();
    EXPECT_NE(std::string(error.what()).find(refusal.said), std::string::npos) << error.what();
    EXPECT_EQ(std::string(error.what()).find("secret"), std::string::npos) << error.what();
  }
}

// The server stops at once while a docking's transaction holds a whole batch: the commit
// says the connection was lost, nothing of the batch is stored, and once the server is
// back the next call connects again.
TEST_F(PostgresqlStoreTest, ALostConnectionRollsBackAndTheNextCallReconnects) {
  server().give_schema("lost");
  const auto store = store::open_postgresql_store(server().location("lost"));
  {
    const auto docking = store->docking(scanner_a, "2024-05-15T09:00:00");
    docking->add_batch(batch_of(sample_records(32767)));
    server().crash();
    const StoreError lost = error_of([&] { docking->commit(); });
    EXPECT_EQ(lost.kind(), Kind::lost) << lost.what();
    EXPECT_EQ(error_of([&] { docking->pending_records(); }).kind(), Kind::lost);
  }
  // While the server is away, each call says so: the connection lost, not a store unusable.
  EXPECT_EQ(error_of([&] { store->batches({}); }).kind(), Kind::lost);
  EXPECT_EQ(error_of([&] { store->docking(scanner_a, "2024-05-15T09:01:00"); }).kind(), Kind::lost);

  server().resume();
  EXPECT_EQ(store->batches({}), std::vector<store::Batch>());
  {
    const auto docking = store->docking(scanner_a, "2024-05-15T09:02:00");
    EXPECT_EQ(docking->pending_records(), std::vector<store::Record>());
    docking->add_batch(batch_of(sample_records(3)));
    docking->commit();
  }
  ASSERT_EQ(store->batches({}).size(), 1u);
  EXPECT_EQ(store->records(store->batches({})[0].number), sample_records(3));
}

}  // namespace
}  // namespace vkd::testing
