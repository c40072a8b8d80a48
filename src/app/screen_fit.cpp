#include "app/screen_fit.h"

namespace vesk {

namespace {

// The part of a title bar a user grabs: its middle, a little below the top.
constexpr int kTitleGrip = 10;

}  // namespace

PixelRect FitMainWindow(const std::optional<PixelRect>& stored, const std::vector<PixelRect>& screens,
                        std::size_t primary) {
  if (screens.empty()) return stored.value_or(PixelRect{0, 0, 1280, 860});
  const PixelRect& fallback = screens[primary < screens.size() ? primary : 0];
  if (!stored || stored->width <= 0 || stored->height <= 0) return fallback;
  // The screen under the middle of the stored title bar.
  const int gripX = stored->x + stored->width / 2;
  const int gripY = stored->y + kTitleGrip;
  const PixelRect* home = nullptr;
  for (const PixelRect& s : screens)
    if (s.containsPoint(gripX, gripY)) home = &s;
  if (home == nullptr) return fallback;
  PixelRect r = *stored;
  r.width = std::min(r.width, home->width);
  r.height = std::min(r.height, home->height);
  r.x = std::clamp(r.x, home->x, home->right() - r.width);
  r.y = std::clamp(r.y, home->y, home->bottom() - r.height);
  return r;
}

}  // namespace vesk
