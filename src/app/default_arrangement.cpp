#include "app/default_arrangement.h"

#include <cmath>

namespace vesk {

namespace {

std::size_t Index(ArrangedWindow w) { return static_cast<std::size_t>(w); }

// Grows a place to the window's readable size, towards the right and down,
// and moves it back inside the area; never larger than the area.
PixelRect Fit(PixelRect place, PixelSize readable, PixelSize area) {
  place.width = std::min(std::max(place.width, readable.width), area.width);
  place.height = std::min(std::max(place.height, readable.height), area.height);
  place.x = std::clamp(place.x, 0, area.width - place.width);
  place.y = std::clamp(place.y, 0, area.height - place.height);
  return place;
}

}  // namespace

std::array<ArrangedSizes, kArrangedWindows> DefaultArrangedSizes(PixelSize processorPreferred) {
  std::array<ArrangedSizes, kArrangedWindows> s{};
  // Processor: the registers column and the top of the state register.
  s[Index(ArrangedWindow::Processor)] = {{640, 400}, processorPreferred};
  // Memory: the address, Hex, Dec, Bin and Asm columns, a few rows and the
  // editing row; micro-memory likewise with both forms of a word.
  s[Index(ArrangedWindow::Memory)] = {{500, 200}, {760, 520}};
  s[Index(ArrangedWindow::MicroMemory)] = {{500, 200}, {900, 480}};
  s[Index(ArrangedWindow::Controllers)] = {{320, 190}, {720, 480}};
  // The traces: their first columns and a few lines.
  s[Index(ArrangedWindow::Trace)] = {{400, 180}, {1100, 320}};
  s[Index(ArrangedWindow::MicroTrace)] = {{400, 180}, {1000, 320}};
  return s;
}

std::array<PixelRect, kArrangedWindows> DefaultArrangement(PixelSize area,
                                                           const std::array<ArrangedSizes, kArrangedWindows>& sizes) {
  area.width = std::max(area.width, 1);
  area.height = std::max(area.height, 1);
  const auto& cpu = sizes[Index(ArrangedWindow::Processor)];
  const auto& mem = sizes[Index(ArrangedWindow::Memory)];
  const auto& micro = sizes[Index(ArrangedWindow::MicroMemory)];
  const auto& ctl = sizes[Index(ArrangedWindow::Controllers)];
  const auto& trace = sizes[Index(ArrangedWindow::Trace)];
  const auto& microTrace = sizes[Index(ArrangedWindow::MicroTrace)];

  // The bottom band: at least the traces' readable height, more when the
  // processor has all it wants above it, up to the traces' own height.
  const int bandReadable = std::max({trace.readable.height, microTrace.readable.height, ctl.readable.height});
  const int bandMost = std::max({bandReadable, trace.preferred.height, microTrace.preferred.height});
  const int top = std::clamp(std::min(cpu.preferred.height, area.height - bandReadable), cpu.readable.height,
                             std::max(cpu.readable.height, area.height - bandReadable));
  const int band = std::clamp(area.height - top, 0, bandMost);
  const int bandTop = area.height - band;

  // The column right of the processor: what the processor leaves, at least
  // what memory and micro-memory need to be read.
  const int columnReadable = std::max(mem.readable.width, micro.readable.width);
  const int column = std::max(columnReadable, area.width - cpu.preferred.width);
  const int cpuWidth = std::max(0, area.width - column);
  const int memHeight = bandTop / 2;

  // The band: a quarter for the controllers (at least what they need), the
  // rest shared by the two traces alike.
  const int ctlWidth = std::max(ctl.readable.width, static_cast<int>(std::lround(area.width / 4.0)));
  const int traceWidth = std::max(0, (area.width - ctlWidth) / 2);

  std::array<PixelRect, kArrangedWindows> r{};
  r[Index(ArrangedWindow::Processor)] = Fit({0, 0, cpuWidth, bandTop}, cpu.readable, area);
  r[Index(ArrangedWindow::Memory)] = Fit({cpuWidth, 0, column, memHeight}, mem.readable, area);
  r[Index(ArrangedWindow::MicroMemory)] = Fit({cpuWidth, memHeight, column, bandTop - memHeight}, micro.readable, area);
  r[Index(ArrangedWindow::Trace)] = Fit({0, bandTop, traceWidth, band}, trace.readable, area);
  r[Index(ArrangedWindow::MicroTrace)] = Fit({traceWidth, bandTop, traceWidth, band}, microTrace.readable, area);
  r[Index(ArrangedWindow::Controllers)] =
      Fit({2 * traceWidth, bandTop, area.width - 2 * traceWidth, band}, ctl.readable, area);
  return r;
}

}  // namespace vesk
