// Random micro-programs and memory dumps for the recorded machine cases.
#pragma once

#include <string>
#include <vector>

#include "golden/case_random.h"

namespace vesk::golden {

struct Row {
  std::string hex;      // four upper-case hex digits
  std::string comment;  // UTF-8
};

// The shipped micro-program as it was when the cases were recorded (a copy
// kept with the test data, so later changes to the shipped one do not move
// the cases).
const std::vector<Row>& RecordedMicroProgram();

// 255 rows (address 01 first): the recorded micro-program, that one with a
// few rows changed, or rows of random words (operational, control with jumps
// that sometimes lead to 00, and plain garbage) over zeros.
std::vector<Row> RandomMicroProgram(CaseRandom& r);

// The first rows of a memory dump: commands of the shipped instruction set
// (address, I/O with a few controllers, non-address, HLT) mixed with data.
std::vector<Row> RandomDump(CaseRandom& r);

// File text (windows-1251, CR LF) of rows, padded with "0000" lines to count.
std::string RowFileBytes(const std::vector<Row>& rows, int count);

}  // namespace vesk::golden
