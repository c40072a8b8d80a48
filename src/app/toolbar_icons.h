// The tool strip's icons and the program's icon, drawn in code so they stay
// sharp at any size and need no image files.
#pragma once

#include <QIcon>

namespace vesk {

enum class IconKind {
  Memory,
  Trace,
  Processor,
  Breakpoints,
  MicroMemory,
  MicroTrace,
  Controllers,
  Minimize,
  Start,
  Stop,
  Step,
  Continue,
  FastStart,
  FastContinue,
  StepBack,
  BackToBreakpoint,
  Interrupt,
  Program,
};

QIcon MakeIcon(IconKind kind);

}  // namespace vesk
