// The arrangements of the main window and its children, as plain functions:
// the default arrangement, the cascade and the main window's fit to a screen.
#include <gtest/gtest.h>

#include <string>

#include "app/cascade.h"
#include "app/default_arrangement.h"
#include "app/screen_fit.h"

using namespace vesk;

namespace {

constexpr int kTitleBar = 24;
// The processor's panels as the window program asks for them, with the frame.
constexpr PixelSize kProcessor{1408, 711};

std::string Name(std::size_t i) {
  static const char* const names[] = {"processor", "memory", "micro-memory", "controllers", "trace", "micro-trace"};
  return names[i];
}

// What the main window's area is on a screen of that size under a window
// manager: the screen less the title bar, menu, two rows of tool bars and
// the status bar.
PixelSize AreaOnScreen(int width, int height) { return {width - 4, height - 147}; }

void ExpectAllReadableAndInside(PixelSize area, const std::array<PixelRect, kArrangedWindows>& r,
                                const std::array<ArrangedSizes, kArrangedWindows>& sizes) {
  const PixelRect whole{0, 0, area.width, area.height};
  for (std::size_t i = 0; i < r.size(); ++i) {
    EXPECT_TRUE(whole.contains(r[i])) << Name(i);
    EXPECT_GE(r[i].width, std::min(sizes[i].readable.width, area.width)) << Name(i);
    EXPECT_GE(r[i].height, std::min(sizes[i].readable.height, area.height)) << Name(i);
  }
}

long long TotalOverlap(const std::array<PixelRect, kArrangedWindows>& r) {
  long long sum = 0;
  for (std::size_t i = 0; i < r.size(); ++i)
    for (std::size_t j = i + 1; j < r.size(); ++j) sum += r[i].overlap(r[j]);
  return sum;
}

long long Covered(const std::array<PixelRect, kArrangedWindows>& r) {
  long long sum = 0;
  for (const PixelRect& w : r) sum += static_cast<long long>(w.width) * w.height;
  return sum - TotalOverlap(r);
}

}  // namespace

// The arrangement on a screen of that size: every window readable, none over
// another, and the area used rather than left empty.
std::array<PixelRect, kArrangedWindows> TiledOnScreen(int width, int height) {
  const PixelSize area = AreaOnScreen(width, height);
  const auto sizes = DefaultArrangedSizes(kProcessor);
  const auto r = DefaultArrangement(area, sizes);
  ExpectAllReadableAndInside(area, r, sizes);
  EXPECT_EQ(TotalOverlap(r), 0);
  EXPECT_GE(Covered(r), static_cast<long long>(area.width) * area.height * 95 / 100);
  return r;
}

TEST(DefaultArrangement, At1366x768AllSixAreReadableAndNoneOverlaps) {
  const auto r = TiledOnScreen(1366, 768);
  // The processor is the largest window; memory sits beside it.
  const PixelRect& cpu = r[0];
  for (std::size_t i = 1; i < r.size(); ++i)
    EXPECT_GT(static_cast<long long>(cpu.width) * cpu.height, static_cast<long long>(r[i].width) * r[i].height) << Name(i);
  EXPECT_EQ(r[1].x, cpu.right());
}

TEST(DefaultArrangement, At1920x1080TheProcessorIsWholeAndNoneOverlaps) {
  const auto r = TiledOnScreen(1920, 1080);
  EXPECT_EQ(r[0].size(), kProcessor) << "no scroll bars in the processor";
}

TEST(DefaultArrangement, AnAreaTooSmallOverlapsButEveryTitleBarShows) {
  const auto sizes = DefaultArrangedSizes(kProcessor);
  for (const PixelSize area : {PixelSize{1000, 500}, PixelSize{800, 420}, PixelSize{600, 300}}) {
    const auto r = DefaultArrangement(area, sizes);
    ExpectAllReadableAndInside(area, r, sizes);
    // Windows later in the order lie above earlier ones; some part of each
    // title bar is still there to be clicked.
    for (std::size_t i = 0; i < r.size(); ++i) {
      int free = 0;
      for (int x = r[i].x; x < r[i].right(); ++x) {
        bool covered = false;
        for (std::size_t j = i + 1; j < r.size(); ++j) covered = covered || r[j].containsPoint(x, r[i].y + kTitleBar / 2);
        if (!covered) ++free;
      }
      EXPECT_GE(free, 40) << Name(i) << " in " << area.width << "x" << area.height;
    }
  }
}

TEST(DefaultArrangement, LargerAreasNeverOverlapAndWindowsGrowWithThem) {
  const auto sizes = DefaultArrangedSizes(kProcessor);
  PixelRect lastTrace{};
  for (int w = 1200; w <= 2560; w += 40)
    for (int h = 600; h <= 1440; h += 40) {
      const PixelSize area{w, h};
      const auto r = DefaultArrangement(area, sizes);
      ExpectAllReadableAndInside(area, r, sizes);
      ASSERT_EQ(TotalOverlap(r), 0) << w << "x" << h;
      if (h == 1440) {
        EXPECT_GE(r[4].width, lastTrace.width) << w;
        lastTrace = r[4];
      }
    }
}

TEST(Cascade, KeepsEachSizeAndStepsByATitleBar) {
  const std::vector<PixelSize> sizes = {{760, 520}, {1100, 320}, {300, 200}};
  const auto r = Cascade({1352, 621}, sizes, kTitleBar);
  ASSERT_EQ(r.size(), 3u);
  for (std::size_t i = 0; i < r.size(); ++i) {
    EXPECT_EQ(r[i].size(), sizes[i]) << i;
    EXPECT_EQ(r[i].x, static_cast<int>(i) * kTitleBar);
    EXPECT_EQ(r[i].y, static_cast<int>(i) * kTitleBar);
  }
}

TEST(Cascade, CutsWindowsToTheAreaAndStartsAgainAtTheCorner) {
  const std::vector<PixelSize> sizes = {{1408, 711}, {400, 300}, {400, 300}, {400, 580}, {400, 300}};
  const PixelSize area{1000, 600};
  const auto r = Cascade(area, sizes, 30);
  EXPECT_EQ(r[0], (PixelRect{0, 0, 1000, 600})) << "cut to the area, never shrunk further";
  EXPECT_EQ(r[1], (PixelRect{30, 30, 400, 300}));
  EXPECT_EQ(r[2], (PixelRect{60, 60, 400, 300}));
  EXPECT_EQ(r[3], (PixelRect{0, 0, 400, 580})) << "would run past the bottom: back to the corner";
  EXPECT_EQ(r[4], (PixelRect{30, 30, 400, 300}));
  for (const PixelRect& w : r) EXPECT_TRUE((PixelRect{0, 0, area.width, area.height}).contains(w));
}

TEST(FitMainWindow, NothingStoredFillsThePrimaryScreensRoom) {
  const std::vector<PixelRect> screens = {{0, 0, 1366, 740}, {1366, 0, 1920, 1050}};
  EXPECT_EQ(FitMainWindow(std::nullopt, screens, 0), screens[0]);
  EXPECT_EQ(FitMainWindow(std::nullopt, screens, 1), screens[1]);
}

TEST(FitMainWindow, AFrameTallerThanTheScreenIsCutSoTheStatusBarShows) {
  const std::vector<PixelRect> screens = {{0, 28, 1366, 740}};  // a panel along the top
  // Stored by a window that filled the screen before its title bar was added.
  const PixelRect r = FitMainWindow(PixelRect{0, 0, 1368, 793}, screens, 0);
  EXPECT_EQ(r, (PixelRect{0, 28, 1366, 740}));
  // A smaller frame keeps its size and moves only as far as needed.
  EXPECT_EQ(FitMainWindow(PixelRect{900, 500, 800, 600}, screens, 0), (PixelRect{566, 168, 800, 600}));
  EXPECT_EQ(FitMainWindow(PixelRect{100, 100, 800, 600}, screens, 0), (PixelRect{100, 100, 800, 600}));
}

TEST(FitMainWindow, AFrameOnAScreenThatIsGoneFallsBackToTheDefault) {
  const std::vector<PixelRect> one = {{0, 0, 1920, 1050}};
  EXPECT_EQ(FitMainWindow(PixelRect{2000, 100, 1200, 800}, one, 0), one[0]);
  EXPECT_EQ(FitMainWindow(PixelRect{-3000, -200, 1200, 800}, one, 0), one[0]);
  // On the second screen while it is there.
  const std::vector<PixelRect> two = {{0, 0, 1920, 1050}, {1920, 0, 1280, 1000}};
  EXPECT_EQ(FitMainWindow(PixelRect{2000, 100, 1200, 800}, two, 0), (PixelRect{2000, 100, 1200, 800}));
  // A damaged size falls back as well.
  EXPECT_EQ(FitMainWindow(PixelRect{10, 10, 0, 800}, one, 0), one[0]);
}
