// The monitor window ("Устройство - Монитор"): the screen of 25 rows and 80
// columns as a terminal shows it, in a monospaced font that grows with the
// window. It shows the Monitor the machine owns; closing it only hides it.
#pragma once

#include <QWidget>
#include <string_view>

namespace vesk {

class Monitor;
class MonitorScreenModel;
class MonitorScreenView;

class frmDevMonitor : public QWidget {
  Q_OBJECT

 public:
  explicit frmDevMonitor(Monitor& monitor, QWidget* parent = nullptr);

  // The monitor's operations, as the window offers them.
  void SetChar(int x, int y, int c);
  int GetChar(int x, int y) const;
  void BufferChanged(std::string_view din_data);

  MonitorScreenView* screen() { return screen_; }
  MonitorScreenModel* model() { return model_; }
  // The text cell (row y, column x) shows, both from 1.
  QString cellText(int x, int y) const;

 private:
  Monitor& monitor_;
  MonitorScreenModel* model_;
  MonitorScreenView* screen_;
};

}  // namespace vesk
