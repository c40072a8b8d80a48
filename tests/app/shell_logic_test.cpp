#include <gtest/gtest.h>

#include <filesystem>

#include "app/arrange_minimized.h"
#include "app/examples_folder.h"
#include "app/period_input.h"
#include "core/tick_pacer.h"
#include "support/temp_dir.h"

using namespace vesk;

TEST(ReadPeriods, RoundsLeadingNumbersAndRefusesNonsense) {
  PeriodInput in = ReadPeriods("10", "20", "30");
  ASSERT_TRUE(in.ok);
  EXPECT_EQ(in.periods, (std::array<int, 3>{10, 20, 30}));
  in = ReadPeriods("12.6", "abc", "2.5");
  ASSERT_TRUE(in.ok);
  EXPECT_EQ(in.periods, (std::array<int, 3>{13, 0, 2}));
  in = ReadPeriods("0", " 0.4", "");
  EXPECT_FALSE(in.ok);
  EXPECT_NE(in.error.find("нулю"), std::string::npos);
  EXPECT_FALSE(ReadPeriods("-1", "5", "5").ok);
  EXPECT_FALSE(ReadPeriods("1", "5", "1e12").ok);
  EXPECT_TRUE(ReadPeriods("0", "1", "1").ok);
}

TEST(ArrangeMinimized, StacksFromTheCornersAndLinesUpAlongTheBottom) {
  const std::vector<ArrangeWindow> windows = {
      {3000, 450, true}, {6000, 6000, false}, {3015, 465, true}};  // 200x30, normal, 201x31 px
  const int width = 15 * 800, height = 15 * 600;
  auto left = ArrangeMinimized(ArrangeSide::Left, width, height, windows);
  EXPECT_EQ(left[0], (PixelPoint{0, 570}));
  EXPECT_FALSE(left[1].has_value());
  EXPECT_EQ(left[2], (PixelPoint{0, 539}));
  auto right = ArrangeMinimized(ArrangeSide::Right, width, height, windows);
  EXPECT_EQ(right[0], (PixelPoint{600, 570}));
  EXPECT_EQ(right[2], (PixelPoint{599, 539}));
  auto bottom = ArrangeMinimized(ArrangeSide::Bottom, width, height, windows);
  EXPECT_EQ(bottom[0], (PixelPoint{0, 570}));
  EXPECT_EQ(bottom[2], (PixelPoint{200, 569}));
  // Nothing minimized: nothing moves.
  for (auto side : {ArrangeSide::Left, ArrangeSide::Right, ArrangeSide::Bottom})
    for (const auto& m : ArrangeMinimized(side, width, height, {{100, 100, false}})) EXPECT_FALSE(m.has_value());
}

TEST(TickPacer, CatchesUpMissedTicksAndForgetsLongStalls) {
  TickPacer p(100);
  p.start(1000);
  EXPECT_EQ(p.due(1000), 0);
  EXPECT_EQ(p.due(1001), 1);
  EXPECT_EQ(p.due(1001), 0);
  EXPECT_EQ(p.due(1017), 16);  // the event loop was late: catch up
  EXPECT_EQ(p.given(), 17);
  EXPECT_EQ(p.due(5000), 100);  // a long stall: one burst, the rest dropped
  EXPECT_EQ(p.due(5001), 1);
  EXPECT_EQ(p.due(4000), 0);  // a clock that went back gives nothing
}

TEST(ExamplesFolder, InstalledExamplesFirstThenTheSourceTree) {
  vesk::testing::TempDir dir;
  // An installed program: lib/vesk/ with the examples under share/.
  const std::filesystem::path program = std::filesystem::path(dir.path()) / "prefix" / "lib" / "vesk";
  std::filesystem::create_directories(program);
  const std::filesystem::path installed = program / InstalledExamplesRelativePath();
  std::filesystem::create_directories(installed);
  EXPECT_EQ(ExamplesFolder(program.string()), std::filesystem::weakly_canonical(installed).string());
  EXPECT_EQ(std::filesystem::path(ExamplesFolder(program.string())).filename(), "examples");
  // A program in its build folder: the source tree's examples, with the
  // shipped dumps in them.
  const std::string built = ExamplesFolder(dir.file("build-bin"));
  ASSERT_FALSE(built.empty());
  EXPECT_NE(built, ExamplesFolder(program.string()));
  EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::path(built) / "sum.vdmp")) << built;
}
