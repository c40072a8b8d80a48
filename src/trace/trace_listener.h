// What a trace tells its window and the status bar.
#pragma once

#include <cstdint>

namespace vesk {

class TraceListener {
 public:
  virtual ~TraceListener() = default;
  // The trace's counter changed (the status bar shows it).
  virtual void counterChanged(std::int32_t /*value*/) {}
  // One line was added; it is LineCount() - 1 when the trace stores lines.
  virtual void lineAdded() {}
  // ClearLog emptied the list.
  virtual void logCleared() {}
  // A step back removed the newest lines: LineCount() lines are left.
  virtual void linesRemoved() {}
  // The list reached its line limit and its oldest lines began to go (once
  // after each ClearLog; the lines given up are LinesDropped()).
  virtual void logShortened() {}
};

}  // namespace vesk
