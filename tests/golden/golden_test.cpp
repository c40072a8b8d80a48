// Every recorded case, run again through today's code, must leave exactly
// the record kept in golden/data: both traces, the final state, memory,
// micro-memory, controllers, every window text and every notification.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "golden/golden_records.h"
#include "support/temp_dir.h"

using namespace vesk::golden;

namespace {

const std::map<int, std::string>& Stored() {
  static const std::map<int, std::string> records = [] {
    std::map<int, std::string> r;
    const std::string error = ReadRecords(VESK_GOLDEN_DIR "/records.bin", r);
    if (!error.empty()) ADD_FAILURE() << error;
    return r;
  }();
  return records;
}

void CheckCases(int first, int end) {
  vesk::testing::TempDir dir;
  int failures = 0;
  for (int index = first; index < end; ++index) {
    const auto stored = Stored().find(index);
    ASSERT_NE(stored, Stored().end()) << "no record of case " << index;
    const std::string now = RecordCase(index, dir.path());
    if (now == stored->second) continue;
    // The first few in full; the rest by number, to keep the output readable.
    if (++failures <= 3)
      ADD_FAILURE() << "case " << index << " changed: " << DescribeDifference(stored->second, now)
                    << "see the whole record with: record_machine_cases --case " << index;
    else
      ADD_FAILURE() << "case " << index << " changed too";
  }
}

}  // namespace

TEST(RecordedCases, StoreHoldsEveryCase) {
  EXPECT_EQ(Stored().size(), static_cast<std::size_t>(kCaseCount));
  // Records that are too short to show a run would prove nothing.
  for (const auto& [index, text] : Stored()) EXPECT_GT(text.size(), 500u) << index;
}

TEST(RecordedCases, RunnerCasesRunAsRecorded) { CheckCases(0, kRunnerCases); }

TEST(RecordedCases, MachineCasesRunAsRecorded) { CheckCases(kRunnerCases, kCaseCount); }

TEST(RecordedCases, DifferenceNamesTheSectionAndTheLines) {
  const std::string before = "## a\nx\n## b\none\ntwo\nthree\n";
  const std::string after = "## a\nx\n## b\none\nTWO\nthree\n";
  const std::string d = DescribeDifference(before, after);
  EXPECT_NE(d.find("line 5"), std::string::npos) << d;
  EXPECT_NE(d.find("section ## b"), std::string::npos) << d;
  EXPECT_NE(d.find("  - two"), std::string::npos) << d;
  EXPECT_NE(d.find("  + TWO"), std::string::npos) << d;
  EXPECT_NE(d.find("(1 expected lines and 1 new lines differ"), std::string::npos) << d;
}
