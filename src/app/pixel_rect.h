// Rectangles and sizes in pixels for the window arrangements, free of Qt so
// the arrangements are plain functions of the machine library.
#pragma once

#include <algorithm>

namespace vesk {

struct PixelSize {
  int width = 0;
  int height = 0;
  bool operator==(const PixelSize&) const = default;
};

struct PixelRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool operator==(const PixelRect&) const = default;

  int right() const { return x + width; }    // one past the last column
  int bottom() const { return y + height; }  // one past the last row
  PixelSize size() const { return {width, height}; }
  bool contains(const PixelRect& r) const { return r.x >= x && r.y >= y && r.right() <= right() && r.bottom() <= bottom(); }
  bool containsPoint(int px, int py) const { return px >= x && px < right() && py >= y && py < bottom(); }
  // The area the two share, in square pixels.
  long long overlap(const PixelRect& r) const {
    const long long w = std::min(right(), r.right()) - std::max(x, r.x);
    const long long h = std::min(bottom(), r.bottom()) - std::max(y, r.y);
    return w > 0 && h > 0 ? w * h : 0;
  }
};

}  // namespace vesk
