// The beat on which the windows show their gathered changes while the
// machine runs at full speed: a timer of kIntervalMs (25 times a second)
// that, while deferral is on, asks every following display to show what it
// marked. Turning deferral off makes every display live again and shows
// everything still marked at once.
#pragma once

#include <QObject>
#include <QTimer>
#include <cstdint>
#include <vector>

namespace vesk {

class DeferredRefresh;

class RefreshBeat : public QObject {
  Q_OBJECT

 public:
  static constexpr int kIntervalMs = 40;

  explicit RefreshBeat(QObject* parent = nullptr);
  ~RefreshBeat() override;

  bool deferred() const { return deferred_; }
  void setDeferred(bool on);
  // Shows every display's marks now (the timer does this on its own).
  void beatNow();

  // Beats that ran since the beat was made (the one that ends deferral too).
  std::int64_t beats() const { return beats_; }
  std::size_t followers() const { return parts_.size(); }

 private:
  friend class DeferredRefresh;
  void join(DeferredRefresh* part);
  void leave(DeferredRefresh* part);

  std::vector<DeferredRefresh*> parts_;
  QTimer timer_;
  bool deferred_ = false;
  std::int64_t beats_ = 0;
};

}  // namespace vesk
