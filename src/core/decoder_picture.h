// "Дешифратор микрокоманд": a fixed block diagram of how the fields of the
// 16-bit vertical micro-command in РМК become the 32 lines of the horizontal
// one: bits 15 and 14 pick one of three decoders, and each field of the
// chosen format drives its signal lines.
#pragma once

#include <QWidget>

namespace vesk {

class DecoderPicture : public QWidget {
  Q_OBJECT

 public:
  explicit DecoderPicture(QWidget* parent = nullptr);

  QSize sizeHint() const override { return {660, 222}; }
  QSize minimumSizeHint() const override { return sizeHint(); }

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace vesk
