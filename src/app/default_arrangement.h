// The default arrangement of the six machine windows in the main window's
// area, used for a window with no stored position and by "Окна" →
// "Расположить по умолчанию".
//
// The processor takes the top left at its preferred size when there is room
// (it shrinks, scrolling its panels, when there is not); memory and
// micro-memory share the column to its right; the command trace, the
// micro-command trace and the controllers share the band along the bottom.
// Every window keeps at least its readable size: where a place is smaller,
// the window grows over its neighbours, staying inside the area, so windows
// overlap only where the area is too small for all of them.
#pragma once

#include <array>

#include "app/pixel_rect.h"

namespace vesk {

enum class ArrangedWindow { Processor, Memory, MicroMemory, Controllers, Trace, MicroTrace };
inline constexpr std::size_t kArrangedWindows = 6;

struct ArrangedSizes {
  PixelSize readable;   // the least size at which the window is of use
  PixelSize preferred;  // the size that shows it whole (or as much as is useful)
};

// The readable and preferred frame sizes the window program uses; the
// processor's preferred size is what its panels ask for.
std::array<ArrangedSizes, kArrangedWindows> DefaultArrangedSizes(PixelSize processorPreferred);

// One frame rectangle per window, in ArrangedWindow order, relative to the
// area's top-left corner. A window is never larger than the area.
std::array<PixelRect, kArrangedWindows> DefaultArrangement(PixelSize area,
                                                           const std::array<ArrangedSizes, kArrangedWindows>& sizes);

}  // namespace vesk
