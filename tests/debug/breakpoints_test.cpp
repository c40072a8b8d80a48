#include "debug/breakpoints.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using namespace vesk;

namespace {

struct Heard : BreakpointsListener {
  std::vector<std::pair<BreakKind, int>> changes;
  int hits = 0;
  void breakpointChanged(BreakKind kind, int address) override { changes.emplace_back(kind, address); }
  void breakpointHit() override { ++hits; }
};

}  // namespace

TEST(Breakpoints, EachKindKeepsToItsRange) {
  Breakpoints b;
  EXPECT_TRUE(b.Set(BreakKind::Command, 0x000));
  EXPECT_TRUE(b.Set(BreakKind::Command, 0x7FF));
  EXPECT_FALSE(b.Set(BreakKind::Command, 0x800));
  EXPECT_FALSE(b.Set(BreakKind::Command, -1));
  EXPECT_FALSE(b.Set(BreakKind::Micro, 0x00));  // micro-memory has no cell 00
  EXPECT_TRUE(b.Set(BreakKind::Micro, 0xFF));
  EXPECT_FALSE(b.Set(BreakKind::Micro, 0x100));
  EXPECT_TRUE(b.Set(BreakKind::MemoryWrite, 0x7FF));
  EXPECT_TRUE(b.Set(BreakKind::Controller, 0x00));
  EXPECT_FALSE(b.Set(BreakKind::Controller, 0x100));
  EXPECT_EQ(b.Count(), 5);
  EXPECT_FALSE(b.Has(BreakKind::Command, 0x800));
  EXPECT_FALSE(b.Stops(BreakKind::Command, 0x800));

  EXPECT_EQ(Breakpoints::ParseAddress(BreakKind::Command, "01a"), 0x01A);
  EXPECT_EQ(Breakpoints::ParseAddress(BreakKind::Command, "800"), std::nullopt);
  EXPECT_EQ(Breakpoints::ParseAddress(BreakKind::Micro, "00"), std::nullopt);
  EXPECT_EQ(Breakpoints::ParseAddress(BreakKind::Micro, "1A"), 0x1A);
  EXPECT_EQ(Breakpoints::ParseAddress(BreakKind::Controller, "0x5"), std::nullopt);
  EXPECT_EQ(Breakpoints::ParseAddress(BreakKind::MemoryWrite, ""), std::nullopt);
}

TEST(Breakpoints, EnabledOnesStopAndDisabledOnesWait) {
  Breakpoints b;
  EXPECT_FALSE(b.AnyEnabled(BreakKind::Command));
  b.Set(BreakKind::Command, 0x01A);
  EXPECT_TRUE(b.Stops(BreakKind::Command, 0x01A));
  EXPECT_FALSE(b.Stops(BreakKind::MemoryWrite, 0x01A));  // kinds are apart
  EXPECT_TRUE(b.SetEnabled(BreakKind::Command, 0x01A, false));
  EXPECT_TRUE(b.Has(BreakKind::Command, 0x01A));
  EXPECT_FALSE(b.Stops(BreakKind::Command, 0x01A));
  EXPECT_FALSE(b.AnyEnabled(BreakKind::Command));
  EXPECT_FALSE(b.SetEnabled(BreakKind::Command, 0x01B, true));  // none there to enable
  EXPECT_FALSE(b.Has(BreakKind::Command, 0x01B));
  EXPECT_TRUE(b.SetEnabled(BreakKind::Command, 0x01A, true));
  EXPECT_TRUE(b.Stops(BreakKind::Command, 0x01A));

  EXPECT_FALSE(b.Toggle(BreakKind::Command, 0x01A));
  EXPECT_FALSE(b.Has(BreakKind::Command, 0x01A));
  EXPECT_FALSE(b.AnyEnabled(BreakKind::Command));
  EXPECT_TRUE(b.Toggle(BreakKind::Command, 0x01A));
  EXPECT_TRUE(b.Stops(BreakKind::Command, 0x01A));
}

TEST(Breakpoints, ListenersHearWhichAddressChanged) {
  Breakpoints b;
  Heard heard;
  b.listeners().add(&heard);
  b.Set(BreakKind::Micro, 0x1A);
  b.Set(BreakKind::Micro, 0x1A);  // no change, no call
  b.SetEnabled(BreakKind::Micro, 0x1A, false);
  b.Set(BreakKind::Command, 0x020);
  b.Remove(BreakKind::Controller, 0x05);  // none there
  b.RemoveAll();
  const std::vector<std::pair<BreakKind, int>> expected = {{BreakKind::Micro, 0x1A},
                                                           {BreakKind::Micro, 0x1A},
                                                           {BreakKind::Command, 0x020},
                                                           {BreakKind::Command, 0x020},
                                                           {BreakKind::Micro, 0x1A}};
  EXPECT_EQ(heard.changes, expected);
  EXPECT_EQ(b.Count(), 0);
  b.RecordHit(BreakKind::Micro, 0x1A);
  EXPECT_EQ(heard.hits, 1);
  b.listeners().remove(&heard);
}

TEST(Breakpoints, ListAndSetAllRoundTrip) {
  Breakpoints b;
  b.Set(BreakKind::Controller, 0x05, false);
  b.Set(BreakKind::Command, 0x100);
  b.Set(BreakKind::Command, 0x01A);
  b.Set(BreakKind::MemoryWrite, 0x020);
  b.Set(BreakKind::Micro, 0x1A);
  const std::vector<Breakpoint> all = b.All();
  const std::vector<Breakpoint> expected = {{BreakKind::Command, 0x01A, true},
                                            {BreakKind::Command, 0x100, true},
                                            {BreakKind::Micro, 0x1A, true},
                                            {BreakKind::MemoryWrite, 0x020, true},
                                            {BreakKind::Controller, 0x05, false}};
  EXPECT_EQ(all, expected);

  Breakpoints copy;
  copy.Set(BreakKind::Command, 0x7FF);  // replaced
  copy.SetAll({all[0], all[1], all[2], all[3], all[4], {BreakKind::Micro, 0x00, true}});
  EXPECT_EQ(copy.All(), expected);
  EXPECT_FALSE(copy.Stops(BreakKind::Controller, 0x05));
}

TEST(Breakpoints, HitsAreNamedAsPanelThreeShowsThem) {
  EXPECT_EQ(Breakpoints::HitText(BreakKind::Command, 0x01A), "01A");
  EXPECT_EQ(Breakpoints::HitText(BreakKind::Micro, 0x1A), "МК 1A");
  EXPECT_EQ(Breakpoints::HitText(BreakKind::MemoryWrite, 0x020), "W 020");
  EXPECT_EQ(Breakpoints::HitText(BreakKind::Controller, 0x05), "ВУ 05");
  Breakpoints b;
  EXPECT_EQ(b.LastHit(), "");
  b.RecordHit(BreakKind::Command, 0x7FF);
  EXPECT_EQ(b.LastHit(), "7FF");
  b.ClearLastHit();
  EXPECT_EQ(b.LastHit(), "");
}
