// Window positions in the settings file, section "Windows", in twips
// (15 twips make one pixel): name + "Left", "Top" are read when a window
// opens; name + "Left", "Top", "Width", "Height", "WState" are written when it
// closes, and only when it is in the normal state.
#pragma once

#include <QRect>
#include <optional>
#include <string>
#include <string_view>

class QWidget;

namespace vesk {

inline constexpr int kTwipsPerPixel = 15;

// Moves the window to the stored left and top edge (default 0); its size and
// state stay as they are. For a QMdiSubWindow the position is relative to the
// MDI area, for a top-level window to the screen.
void RestoreLayout(QWidget& window, const std::string& settingsFile, std::string_view name);

// The stored frame in pixels: the position from name + "Left" and "Top", the
// size from name + "Width" and "Height" (0 x 0 when either is missing or not
// above 0). Nothing when no position is stored: the window has no layout yet.
std::optional<QRect> StoredFrame(const std::string& settingsFile, std::string_view name);

// Writes left, top, width, height and "0" as the state, in this order; a
// minimized or maximized window writes nothing.
void SaveLayout(const QWidget& window, const std::string& settingsFile, std::string_view name);

}  // namespace vesk
