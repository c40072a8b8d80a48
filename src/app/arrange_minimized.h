// Where "Упорядочить свернутые" puts minimized child windows. Sizes and the
// client area are in twips; positions come out in pixels relative to the
// client area, each coordinate divided by 15 and rounded to the nearest
// integer. Only minimized windows move, in list order.
#pragma once

#include <optional>
#include <vector>

namespace vesk {

enum class ArrangeSide { Left, Right, Bottom };

struct ArrangeWindow {
  int widthTwips = 0;
  int heightTwips = 0;
  bool minimized = false;
};

struct PixelPoint {
  int x = 0;
  int y = 0;
  bool operator==(const PixelPoint&) const = default;
};

// One entry per window: the new position, or nothing for a window that stays.
std::vector<std::optional<PixelPoint>> ArrangeMinimized(ArrangeSide side, int clientWidthTwips,
                                                        int clientHeightTwips, const std::vector<ArrangeWindow>& windows);

}  // namespace vesk
