// Holds a write transaction on a SQLite store, as another program might, until its
// standard input closes: "locked" on standard output once it holds it.
//
//   store_locker FILE
#include <sqlite3.h>

#include <iostream>
#include <string>

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  sqlite3* database = nullptr;
  if (sqlite3_open(argv[1], &database) != SQLITE_OK) return 1;
  if (sqlite3_exec(database, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) != SQLITE_OK) return 1;
  std::cout << "locked" << std::endl;
  std::string line;
  while (std::getline(std::cin, line)) {
  }
  sqlite3_exec(database, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(database);
  return 0;
}
