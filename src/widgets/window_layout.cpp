#include "widgets/window_layout.h"

#include <QWidget>
#include <algorithm>
#include <cmath>

#include "util/ini_file.h"
#include "format/number_text.h"

namespace vesk {

namespace {

constexpr const char* kSection = "Windows";

// A hand-edited or damaged value can hold any number; no screen is wider
// than this many pixels.
constexpr double kPixelLimit = 1'000'000;

int TwipsToPixels(const std::string& text) {
  const double pixels = RoundHalfEven(LeadingNumber(text) / kTwipsPerPixel);
  return static_cast<int>(std::clamp(pixels, -kPixelLimit, kPixelLimit));
}

std::string PixelsToTwips(int pixels) { return std::to_string(static_cast<long long>(pixels) * kTwipsPerPixel); }

}  // namespace

void RestoreLayout(QWidget& window, const std::string& settingsFile, std::string_view name) {
  const std::string n(name);
  const int left = TwipsToPixels(ReadIni(settingsFile, kSection, n + "Left", "0"));
  const int top = TwipsToPixels(ReadIni(settingsFile, kSection, n + "Top", "0"));
  window.move(left, top);
}

std::optional<QRect> StoredFrame(const std::string& settingsFile, std::string_view name) {
  const std::string n(name);
  const std::string left = ReadIni(settingsFile, kSection, n + "Left", "");
  const std::string top = ReadIni(settingsFile, kSection, n + "Top", "");
  if (left.empty() || top.empty()) return std::nullopt;
  int width = TwipsToPixels(ReadIni(settingsFile, kSection, n + "Width", "0"));
  int height = TwipsToPixels(ReadIni(settingsFile, kSection, n + "Height", "0"));
  if (width <= 0 || height <= 0) width = height = 0;
  return QRect(TwipsToPixels(left), TwipsToPixels(top), width, height);
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
