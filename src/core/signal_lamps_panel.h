// "Массив управляющих линий": the 29 signal lamps of the horizontal
// micro-command, each with its signal's text as hint; the numbered labels
// beside lamps 1..28 carry the same hints.
#pragma once

#include <QGroupBox>
#include <array>

class QLabel;

namespace vesk {

// One lamp: a round light, lit or dark.
class SignalLamp : public QWidget {
  Q_OBJECT

 public:
  explicit SignalLamp(int index, QWidget* parent = nullptr);

  void setOn(bool on);
  bool isOn() const { return on_; }
  int index() const { return index_; }

  QSize sizeHint() const override { return {18, 18}; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int index_;
  bool on_ = false;
};

class SignalLampsPanel : public QGroupBox {
  Q_OBJECT

 public:
  static constexpr int kLamps = 29;

  explicit SignalLampsPanel(QWidget* parent = nullptr);

  // Gives lamps 0..28 their signal texts as hints, then copies the hints of
  // lamps 1..28 to the numbered labels.
  void applySignalHints();

  SignalLamp* lamp(int i) const { return lamps_[static_cast<std::size_t>(i)]; }
  // The numbered label of lamp i (1..28); nullptr for lamp 0.
  QLabel* label(int i) const { return labels_[static_cast<std::size_t>(i)]; }

 private:
  std::array<SignalLamp*, kLamps> lamps_{};
  std::array<QLabel*, kLamps> labels_{};
  QLabel* lampZeroCaption_ = nullptr;
};

}  // namespace vesk
