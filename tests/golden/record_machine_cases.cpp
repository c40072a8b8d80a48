// Writes the records of every machine case from the code as it is now, or
// prints one case's record.
//   record_machine_cases FILE       all cases into FILE
//   record_machine_cases --case N   case N on standard output
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <map>
#include <string>

#include "golden/golden_records.h"
#include "support/temp_dir.h"

using namespace vesk::golden;

int main(int argc, char** argv) {
  vesk::testing::TempDir dir;
  if (argc == 3 && std::string(argv[1]) == "--case") {
    std::cout << RecordCase(std::atoi(argv[2]), dir.path());
    return 0;
  }
  if (argc != 2) {
    std::cerr << "usage: record_machine_cases FILE | --case N\n";
    return 2;
  }
  std::map<int, std::string> records;
  std::size_t raw = 0;
  for (int index = 0; index < kCaseCount; ++index) {
    records[index] = RecordCase(index, dir.path());
    raw += records[index].size();
  }
  const std::string error = WriteRecords(argv[1], records);
  if (!error.empty()) {
    std::cerr << error << "\n";
    return 1;
  }
  std::cout << kCaseCount << " cases, " << raw << " bytes of records\n";
  return 0;
}
