#include "app/arrange_minimized.h"

#include <cmath>

namespace vesk {

namespace {

int ToPixels(long long twips) { return static_cast<int>(std::lround(static_cast<double>(twips) / 15.0)); }

}  // namespace

std::vector<std::optional<PixelPoint>> ArrangeMinimized(ArrangeSide side, int clientWidthTwips,
                                                        int clientHeightTwips, const std::vector<ArrangeWindow>& windows) {
  std::vector<std::optional<PixelPoint>> moves(windows.size());
  long long y = clientHeightTwips;
  long long x = 0;
  for (std::size_t i = 0; i < windows.size(); ++i) {
    const ArrangeWindow& w = windows[i];
    if (!w.minimized) continue;
    switch (side) {
      case ArrangeSide::Left:
        y -= w.heightTwips;
        moves[i] = PixelPoint{0, ToPixels(y)};
        break;
      case ArrangeSide::Right:
        y -= w.heightTwips;
        moves[i] = PixelPoint{ToPixels(static_cast<long long>(clientWidthTwips) - w.widthTwips), ToPixels(y)};
        break;
      case ArrangeSide::Bottom:
        moves[i] = PixelPoint{ToPixels(x), ToPixels(static_cast<long long>(clientHeightTwips) - w.heightTwips)};
        x += w.widthTwips;
        break;
    }
  }
  return moves;
}

}  // namespace vesk
