// Drives a fast run ("Быстрый пуск", "Быстро продолжить"): run control's
// back-to-back loop in slices of kSliceMs from a zero-delay timer, so the
// event loop runs between slices: menus open, "Стоп" acts within one slice,
// and the windows, deferred on the refresh beat while the run lasts, show
// their gathered changes. When the machine stops (or the live drive takes
// over) the windows turn live and show everything at once.
#pragma once

#include <QObject>
#include <QTimer>
#include <cstdint>

namespace vesk {

class RunControl;
class RefreshBeat;

class TurboDriver : public QObject {
  Q_OBJECT

 public:
  static constexpr int kSliceMs = 8;

  TurboDriver(RunControl& runControl, RefreshBeat& beat, QObject* parent = nullptr);

  // Drives until the machine stops; call after the run began (P_RUN). A
  // stopped machine ends the drive at the first slice.
  void start();
  // Ends the drive where the machine stands (it keeps running, for the live
  // drive to take over); the windows turn live.
  void halt();
  bool active() const { return timer_.isActive(); }

  // Micro-commands executed and slices run since the driver was made.
  std::int64_t microCommands() const { return microCommands_; }
  std::int64_t slices() const { return slices_; }

 signals:
  // The machine stopped during a fast run and the windows show it.
  void stopped();

 private:
  void onTimeout();
  void end();

  RunControl& runControl_;
  RefreshBeat& beat_;
  QTimer timer_;
  std::int64_t microCommands_ = 0;
  std::int64_t slices_ = 0;
  bool inSlice_ = false;
};

}  // namespace vesk
