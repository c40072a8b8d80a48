// The ring keeps order through growth, wrap-around, and pops at both ends,
// checked against a std::deque driven the same way.
#include "util/ring.h"

#include <gtest/gtest.h>

#include <deque>
#include <random>

using vesk::Ring;

TEST(Ring, BehavesAsADequeThroughGrowthAndWrapAround) {
  Ring<int> ring;
  std::deque<int> model;
  std::mt19937 random(7);
  int next = 0;
  for (int step = 0; step < 200000; ++step) {
    const unsigned op = random() % 10;
    if (op < 5 || model.empty()) {
      ring.push_back(next);
      model.push_back(next);
      ++next;
    } else if (op < 7) {
      const std::size_t n = 1 + random() % model.size();
      ring.pop_front(n);
      model.erase(model.begin(), model.begin() + static_cast<std::ptrdiff_t>(n));
    } else if (op < 9) {
      ring.pop_back();
      model.pop_back();
    } else {
      const std::size_t n = random() % (model.size() + 2);
      ring.truncate(n);
      if (n < model.size()) model.resize(n);
    }
    ASSERT_EQ(ring.size(), model.size()) << "step " << step;
    if (!model.empty()) {
      ASSERT_EQ(ring.front(), model.front()) << "step " << step;
      ASSERT_EQ(ring.back(), model.back()) << "step " << step;
      const std::size_t i = random() % model.size();
      ASSERT_EQ(ring[i], model[i]) << "step " << step << " index " << i;
    }
  }
  // Capacity stays a power of two that holds what was there at most.
  EXPECT_EQ(ring.capacity() & (ring.capacity() - 1), 0u);
  ring.clear();
  EXPECT_TRUE(ring.empty());
  ring.push_back(5);
  EXPECT_EQ(ring.front(), 5);
}
