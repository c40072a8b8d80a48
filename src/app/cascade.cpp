#include "app/cascade.h"

namespace vesk {

std::vector<PixelRect> Cascade(PixelSize area, const std::vector<PixelSize>& windows, int step) {
  std::vector<PixelRect> placed;
  placed.reserve(windows.size());
  step = std::max(step, 1);
  int offset = 0;
  for (const PixelSize& w : windows) {
    const int width = std::clamp(w.width, 1, std::max(area.width, 1));
    const int height = std::clamp(w.height, 1, std::max(area.height, 1));
    if (offset + width > area.width || offset + height > area.height) offset = 0;
    placed.push_back({offset, offset, width, height});
    offset += step;
  }
  return placed;
}

}  // namespace vesk
