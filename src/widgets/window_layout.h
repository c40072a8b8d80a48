// Window positions in the settings file, section "Windows", in twips
// (15 twips make one pixel): name + "Left", "Top" are read when a window
// opens; name + "Left", "Top", "Width", "Height", "WState" are written when it
// closes, and only when it is in the normal state.
#pragma once

#include <string>
#include <string_view>

class QWidget;

namespace vesk {

inline constexpr int kTwipsPerPixel = 15;

// Moves the window to the stored left and top edge (default 0); its size and
// state stay as they are. For a QMdiSubWindow the position is relative to the
// MDI area, for a top-level window to the screen.
void RestoreLayout(QWidget& window, const std::string& settingsFile, std::string_view name);

// Writes left, top, width, height and "0" as the state, in this order; a
// minimized or maximized window writes nothing.
void SaveLayout(const QWidget& window, const std::string& settingsFile, std::string_view name);

}  // namespace vesk
