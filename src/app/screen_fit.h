// Where the main window goes at start-up: on the screen its stored frame is
// on, moved and shrunk as needed so the whole frame (title bar to status bar)
// lies in that screen's available area; filling the primary screen's
// available area when nothing is stored or the stored frame's screen is gone.
#pragma once

#include <optional>
#include <vector>

#include "app/pixel_rect.h"

namespace vesk {

// stored: the frame as the settings keep it (outer edges), if any.
// screens: the available area of each screen (without panels and docks);
// primary: the index of the primary one. Returns the frame's outer edges.
PixelRect FitMainWindow(const std::optional<PixelRect>& stored, const std::vector<PixelRect>& screens,
                        std::size_t primary);

}  // namespace vesk
