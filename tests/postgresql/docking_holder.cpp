// A second station for the tests: docks one scanner in a store and holds that docking
// open, saying "held" once it has the scanner, until a line comes on standard input; then
// it stores one record as a batch, commits and says "committed".
//
//   docking_holder LOCATION SCANNER BARCODE
#include <iostream>
#include <string>

#include "store/postgresql_store.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::cerr << "usage: docking_holder LOCATION SCANNER BARCODE\n";
    return 2;
  }
  try {
    const auto store = vkd::store::open_postgresql_store(argv[1]);
    const auto docking = store->docking(argv[2], "2024-05-15T09:00:00");
    std::cout << "held " << docking->pending_records().size() << std::endl;
    std::string line;
    std::getline(std::cin, line);
    vkd::store::NewBatch batch;
    batch.station = "holder";
    batch.downloaded_at = "2024-05-15T09:00:00";
    batch.reported = 1;
    batch.records.push_back({.position = 1, .barcode = argv[3], .text = argv[3], .code_type = 3, .time = {}, .stamp = {}});
    docking->add_batch(batch);
    docking->commit();
    std::cout << "committed" << std::endl;
  } catch (const vkd::store::StoreError& error) {
    std::cout << "error: " << error.what() << std::endl;
    return 1;
  }
  return 0;
}
