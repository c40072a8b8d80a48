// "Расположить каскадом": the windows step down and to the right from the
// top-left corner of the area, each one title bar lower than the last, and
// keep their own sizes (a window larger than the area is cut to it). A window
// that would run past the area starts the steps again at the corner.
#pragma once

#include <vector>

#include "app/pixel_rect.h"

namespace vesk {

// windows: sizes in stacking order, the bottom one first; step: the height
// of a title bar. One rectangle per window, in the same order.
std::vector<PixelRect> Cascade(PixelSize area, const std::vector<PixelSize>& windows, int step);

}  // namespace vesk
