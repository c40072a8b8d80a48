#include "widgets/window_layout.h"

#include <QWidget>
#include <cmath>

#include "util/ini_file.h"
#include "format/number_text.h"

namespace vesk {

namespace {

constexpr const char* kSection = "Windows";

int TwipsToPixels(const std::string& text) {
  return static_cast<int>(RoundHalfEven(LeadingNumber(text) / kTwipsPerPixel));
}

std::string PixelsToTwips(int pixels) { return std::to_string(static_cast<long long>(pixels) * kTwipsPerPixel); }

}  // namespace

void RestoreLayout(QWidget& window, const std::string& settingsFile, std::string_view name) {
  const std::string n(name);
  const int left = TwipsToPixels(ReadIni(settingsFile, kSection, n + "Left", "0"));
  const int top = TwipsToPixels(ReadIni(settingsFile, kSection, n + "Top", "0"));
  window.move(left, top);
}

void SaveLayout(const QWidget& window, const std::string& settingsFile, std::string_view name) {
  if (window.windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)) return;
  const std::string n(name);
  // frameGeometry: the outer edges, as move() places them.
  const QRect frame = window.frameGeometry();
  WriteIni(settingsFile, kSection, n + "Left", PixelsToTwips(frame.x()));
  WriteIni(settingsFile, kSection, n + "Top", PixelsToTwips(frame.y()));
  WriteIni(settingsFile, kSection, n + "Width", PixelsToTwips(frame.width()));
  WriteIni(settingsFile, kSection, n + "Height", PixelsToTwips(frame.height()));
  WriteIni(settingsFile, kSection, n + "WState", "0");
}

}  // namespace vesk
