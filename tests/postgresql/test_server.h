#pragma once
// The tests' PostgreSQL server, which test_server.sh started in the folder that
// VKD_TEST_POSTGRESQL names: locations on it, its superuser's SQL, and the server crashed
// and resumed.
#include <optional>
#include <string>

namespace vkd::testing {

class TestServer {
 public:
  // The server of VKD_TEST_POSTGRESQL, with PGHOST and PGPASSFILE set for it; none when
  // the variable is unset or nothing answers there.
  static std::optional<TestServer> find();

  const std::string& folder() const { return folder_; }

  // A location on the test database as `role`, in `schema`.
  std::string location(const std::string& schema, const std::string& role = "clicker") const;
  // A fresh schema owned by the stations' role, as a DBA makes one.
  void give_schema(const std::string& schema) const;
  // The superuser's statements, in one transaction; the first field of the last one's
  // first row (empty when it returned none).
  std::string admin(const std::string& sql) const;

  // A transaction of the superuser's, open until this is destroyed (or the server gone),
  // that ran `sql`: to hold a lock.
  class Held {
   public:
    ~Held();
    Held(Held&& other) noexcept : connection_(other.connection_) { other.connection_ = nullptr; }
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;

   private:
    friend class TestServer;
    explicit Held(void* connection) : connection_(connection) {}
    void* connection_;
  };
  Held hold(const std::string& sql) const;

  // pg_ctl stop -m immediate, and started again on the same data.
  void crash() const;
  void resume() const;

 private:
  explicit TestServer(std::string folder) : folder_(std::move(folder)) {}
  std::string folder_;
};

}  // namespace vkd::testing
