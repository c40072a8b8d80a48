// The main window's tool strip: six bands in two rows. First row: the window
// toolbar, the run toolbar, the interrupt toolbar and the start-up progress
// bar; second row: the start address and the three micro-command periods with
// "Прменить".
#pragma once

#include <QAction>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QToolBar>
#include <array>

class QMainWindow;

namespace vesk {

struct MainToolStrip {
  // Builds the bands into the main window.
  explicit MainToolStrip(QMainWindow& window);

  QToolBar* windowBar;
  QToolBar* runBar;
  QToolBar* interruptBar;
  QToolBar* progressBand;
  QToolBar* startBand;
  QToolBar* periodsBand;

  // Window toolbar: bring up a window, the breakpoints window, minimize.
  QAction* showMemory;
  QAction* showTrace;
  QAction* showProcessor;
  QAction* breakpoints;
  QAction* showMicroMemory;
  QAction* showMicroTrace;
  QAction* showControllers;
  QAction* minimize;
  // Run toolbar and interrupt button.
  QAction* start;
  QAction* stop;
  QAction* step;
  QAction* resume;
  QAction* fastStart;
  QAction* fastResume;
  QAction* stepBack;
  QAction* backToBreakpoint;
  QAction* interrupt;  // checkable: shown pressed while a request is pending

  QProgressBar* progress;
  QLineEdit* startAddress;
  std::array<QLineEdit*, 3> periods;
  QPushButton* apply;
};

}  // namespace vesk
