#include "util/chunked_log.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

using namespace vesk;

namespace {

// Chunks of four records, so every boundary is crossed within a few records.
using Log = ChunkedLog<std::int64_t, 4>;

// The log holds exactly the records from..to-1 (their numbers as values).
void ExpectHolds(const Log& log, std::int64_t from, std::int64_t to) {
  ASSERT_EQ(log.size(), to - from);
  EXPECT_EQ(log.dropped(), from);
  for (std::int64_t i = 0; i < log.size(); ++i) ASSERT_EQ(log[i], from + i) << "index " << i;
}

}  // namespace

TEST(ChunkedLog, WithoutALimitKeepsEveryRecord) {
  Log log;
  EXPECT_TRUE(log.empty());
  for (std::int64_t i = 0; i < 37; ++i) log.push_back(i);
  ExpectHolds(log, 0, 37);
  EXPECT_EQ(log.bytesReserved(), 10u * 4u * sizeof(std::int64_t));
}

TEST(ChunkedLog, PastTheLimitTheOldestGoAtEveryOffsetInAChunk) {
  // Limits below, at and above a chunk, and ones not a multiple of it.
  for (const std::int64_t limit : {1, 3, 4, 5, 8, 11}) {
    Log log;
    log.setLimit(limit);
    for (std::int64_t i = 0; i < 50; ++i) {
      log.push_back(i);
      const std::int64_t kept = std::min<std::int64_t>(i + 1, limit);
      ASSERT_NO_FATAL_FAILURE(ExpectHolds(log, i + 1 - kept, i + 1)) << "limit " << limit << " after " << i;
    }
    // Retired chunks are reused: the memory is the limit's and one chunk more at most.
    EXPECT_LE(log.bytesReserved(), static_cast<std::size_t>((limit + 3) / 4 + 2) * 4u * sizeof(std::int64_t))
        << "limit " << limit;
  }
}

TEST(ChunkedLog, LoweringTheLimitRetiresAtOnceAndClearStartsOver) {
  Log log;
  for (std::int64_t i = 0; i < 30; ++i) log.push_back(i);
  log.setLimit(7);
  ExpectHolds(log, 23, 30);
  log.setLimit(0);  // taken as 1
  EXPECT_EQ(log.limit(), 1);
  ExpectHolds(log, 29, 30);
  log.setLimit(10);
  for (std::int64_t i = 30; i < 45; ++i) log.push_back(i);
  ExpectHolds(log, 35, 45);

  log.clear();
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(log.dropped(), 0);
  EXPECT_EQ(log.limit(), 10);  // the limit stays
  for (std::int64_t i = 0; i < 12; ++i) log.push_back(i);
  ExpectHolds(log, 2, 12);
}

TEST(ChunkedLog, TruncateToKeepsTheLowerNumbersAndGrowsOnFromThere) {
  // Without a limit and with ones that already dropped records, truncating at
  // every number (chunk boundaries and numbers below the oldest kept
  // included) and pushing on keeps numbering records as before.
  for (const std::int64_t limit : {Log::kNoLimit, std::int64_t{5}, std::int64_t{8}}) {
    for (std::int64_t number = 0; number <= 23; ++number) {
      Log log;
      log.setLimit(limit);
      for (std::int64_t i = 0; i < 23; ++i) log.push_back(i);
      const std::int64_t from = std::min(log.dropped(), number);
      log.truncateTo(number);
      ASSERT_NO_FATAL_FAILURE(ExpectHolds(log, from, number)) << "limit " << limit << " number " << number;
      EXPECT_LE(log.bytesReserved(), static_cast<std::size_t>((number - from + 3) / 4 + 2) * 4 * sizeof(std::int64_t));
      // Pushing again numbers the new records from `number` on.
      for (std::int64_t i = number; i < number + 9; ++i) log.push_back(i);
      const std::int64_t end = number + 9;
      ASSERT_NO_FATAL_FAILURE(ExpectHolds(log, std::max(from, end - limit), end)) << "limit " << limit << " number " << number;
    }
  }
}
