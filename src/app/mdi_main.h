// The main window: the frame that holds every other window as an MDI child,
// its menus, tool strip and status bar, the start-up and shut-down order, and
// the real-time drive of run control. Everything else it does is delegation
// to the machine's owners.
#pragma once

#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QMenu>
#include <QMdiSubWindow>
#include <QTimer>
#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/arrange_minimized.h"
#include "app/default_arrangement.h"
#include "app/settings_location.h"
#include "debug/breakpoints.h"

namespace vesk {

class Machine;
class Dialogs;
class MachineWindow;
class frmProcessor1;
class frmMem;
class frmMicroMem;
class frmControllers;
class frmTrace;
class frmMicroTrace;
class RunDriver;
class TurboDriver;
class RefreshBeat;
class DeferredRefresh;
class DeviceWindows;
class FileFolders;
class frmBreakpoints;
class BreakpointMarkers;
class StepHighlights;
class SourceWindow;
class frmProgram;
class frmMicroProgram;
struct MainToolStrip;

class MDIMain : public QMainWindow {
  Q_OBJECT

 public:
  // programDir: the executable's folder (cfg.ini and relative micro-program
  // paths start there). settings: where cfg.ini is; by default chosen from
  // programDir. dialogs: nullptr for the real file dialogs and message boxes.
  MDIMain(Machine& machine, std::string programDir, Dialogs* dialogs = nullptr,
          std::optional<SettingsLocation> settings = std::nullopt, QWidget* parent = nullptr);
  ~MDIMain() override;

  // The start-up sequence: windows, layout, processor set-up, default
  // micro-program, the remaining windows. Call once, after show().
  void StartUp();

  Machine& machine() { return machine_; }
  const std::string& settingsFile() const { return settings_.path; }
  QMdiArea* mdiArea() { return mdi_; }
  MainToolStrip& toolStrip() { return *strip_; }
  RunDriver& driver() { return *driver_; }
  TurboDriver& turboDriver() { return *turbo_; }
  // The beat the windows follow during a fast run.
  RefreshBeat& refreshBeat() { return *beat_; }
  QString statusText(int panel) const;  // panels 1..5
  QAction* action(const char* name) const;

  frmProcessor1* processorWindow() { return processor_; }
  frmMem* memoryWindow() { return memory_; }
  frmMicroMem* microMemoryWindow() { return microMemory_; }
  frmControllers* controllersWindow() { return controllers_; }
  frmTrace* traceWindow() { return trace_; }
  frmMicroTrace* microTraceWindow() { return microTrace_; }
  frmBreakpoints* breakpointsWindow() { return breakpoints_; }
  // The breakpoint markers of the memory, micro-memory and controllers lists.
  BreakpointMarkers* memoryMarkers() { return memoryMarkers_; }
  BreakpointMarkers* microMemoryMarkers() { return microMarkers_; }
  BreakpointMarkers* controllerMarkers() { return controllerMarkers_; }
  StepHighlights* stepHighlights() { return highlights_; }
  // The source windows; made at start-up, framed when first shown.
  frmProgram* programWindow() { return program_; }
  frmMicroProgram* microProgramWindow() { return microProgram_; }
  // The device dialog, the monitor, keyboard and network adapter windows and
  // the adapter's socket layer; the device windows open as MDI children.
  DeviceWindows& deviceWindows() { return *devices_; }
  // Where the file dialogs start and what they remember.
  FileFolders& fileFolders() { return *folders_; }
  // The MDI frame of a child window.
  QMdiSubWindow* frameOf(QWidget* child) const;

 public slots:
  void Start();      // "Пуск"
  void Reset();      // "Сброс"
  void Step();       // "Выполнить след. команду"
  void Continue();   // "Продолжить выполнение"
  void Stop();       // "Стоп"
  void FastStart();     // "Быстрый пуск": "Пуск" at the host's full speed
  void FastContinue();  // "Быстро продолжить"
  void SetMode(int mode);
  void Interrupt();  // "Сгенерировать прерывание"
  void ApplyPeriods();
  void ShowBreakpoints();       // "Точки останова"
  void StepBack();              // "Шаг назад"
  void StepBackToBreakpoint();  // "Назад до точки останова"
  void ArrangeMinimized(ArrangeSide side);
  // "Расположить каскадом": the visible windows step down from the top-left
  // corner, each keeping its size (cut to the area).
  void CascadeWindows();
  // "Расположить по умолчанию": the six machine windows shown, restored and
  // placed as on a first start (DefaultArrangement).
  void ArrangeDefault();
  // Restores a minimized window, shows a closed one, and gives it the focus.
  void BringUp(QWidget* child);
  void MinimizeActive();
  // Frames the window on its first showing, then brings it up.
  void ShowSourceWindow(SourceWindow* window);
  // "Сохранить состояние машины..." and "Загрузить состояние машины..."
  // (mdi_main_state.cpp): one .vstate file with everything a lab hands out.
  // A running machine is stopped at the end of its command first, after a
  // question; a start address outside memory, a refused question, a cancel
  // or a bad file leave everything as it was. True when the file was
  // written, or the machine now holds the file's state.
  bool SaveMachineState();
  bool LoadMachineState();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  class Listener;

  void createWindows();
  // The source windows (mdi_main_sources.cpp).
  void createSourceWindows();
  void addSourceCommands(QMenu* windows);
  // Asks before unsaved source texts are lost; true to go on.
  bool confirmSourcesSaved();
  void buildMenus();
  void connectToolStrip();
  void buildStatusBar();
  void showChild(QWidget* child);
  // The main window on the screen its stored frame is on, whole.
  void placeMainWindow();
  // A child at its stored place and size, kept reachable in the area, or at
  // its place in the default arrangement when none is stored.
  void placeChild(MachineWindow* child);
  // Puts a frame at a stored place and size, kept within the area.
  void placeWithin(QMdiSubWindow* sub, QWidget* child, const QRect& stored);
  // The default arrangement for the area as it is now.
  QRect defaultPlace(MachineWindow* child);
  // Shows a device window as an MDI child (framed on its first showing).
  void presentDeviceWindow(QWidget* window);
  void showError(const QString& message);
  void syncModeChecks();
  void setProgress(int value);
  // Panel 4 shows every note set so far: the settings' (kSettingsNote) and
  // each trace's shortening, in that order.
  enum NoteSlot { kSettingsNote, kLimitsNote, kMicroTraceNote, kTraceNote, kNoteSlots };
  void setNote(NoteSlot slot, const QString& text);
  // The fast-run commands in the menu "Процессор" and on the run toolbar.
  void buildFastRunCommands(QMenu* cpu, QAction* afterStart, QAction* afterContinue);
  // The breakpoints window, the lists' markers, and their commands in the
  // menu "Окна" and on the window toolbar.
  void createDebugWindows();
  void buildDebugCommands(QMenu* windows);
  void buildStepBackCommands(QMenu* cpu);
  // What the last step changed, shown (at rest) or cleared (running).
  void showStepChanges();
  // The row of a breakpoint in its window, brought up.
  void showBreakpointRow(BreakKind kind, int address);
  // Every display of the machine follows the refresh beat.
  void followRefreshBeat();
  // The status panels' and the interrupt button's way of showing.
  DeferredRefresh& statusRefresh();
  // What "Пуск" and "Быстрый пуск" share: the command count to 0, СК from
  // the start-address field, P_RUN. False when the address was refused.
  bool startMachine();
  // The state commands' question when the machine runs ("Машина работает..."),
  // then the stop at the end of the command. True when the machine rests
  // (at once when it already did); false when the user said No or the
  // command did not end (a message says so).
  bool stopForState(const QString& title, const QString& action);
  void driveLive();
  void driveFast();

  Machine& machine_;
  std::string programDir_;
  SettingsLocation settings_;
  Dialogs* dialogs_;
  QMdiArea* mdi_;
  std::unique_ptr<MainToolStrip> strip_;
  std::array<QLabel*, 5> panels_{};
  std::array<QString, kNoteSlots> notes_;
  RunDriver* driver_;
  RefreshBeat* beat_;
  TurboDriver* turbo_;
  std::unique_ptr<Listener> listener_;
  std::unique_ptr<DeviceWindows> devices_;
  std::unique_ptr<FileFolders> folders_;
  QTimer progressTimer_;

  frmProcessor1* processor_ = nullptr;
  frmMem* memory_ = nullptr;
  frmMicroMem* microMemory_ = nullptr;
  frmControllers* controllers_ = nullptr;
  frmTrace* trace_ = nullptr;
  frmMicroTrace* microTrace_ = nullptr;
  frmBreakpoints* breakpoints_ = nullptr;
  BreakpointMarkers* memoryMarkers_ = nullptr;
  BreakpointMarkers* microMarkers_ = nullptr;
  BreakpointMarkers* controllerMarkers_ = nullptr;
  StepHighlights* highlights_ = nullptr;
  frmProgram* program_ = nullptr;
  frmMicroProgram* microProgram_ = nullptr;
  // The child-window list the arrangement commands work on.
  std::vector<MachineWindow*> childList_;
  // The six machine windows in ArrangedWindow order.
  std::array<MachineWindow*, kArrangedWindows> arranged_{};
  std::vector<std::pair<QWidget*, QMdiSubWindow*>> frames_;

  QAction* fullPeriod_ = nullptr;
  QAction* shortPeriod_ = nullptr;
};

}  // namespace vesk
