// The keyboard window ("Устройство - Клавиатура"): the two modes, the capture
// field where keys are pressed, and the queue of keys still waiting for the
// program. It shows the Keyboard the machine owns.
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QWidget>

#include "io/keyboard.h"

namespace vesk {

class KeyboardQueueModel;

// A text field that reports the platform key code of every key pressed in
// it (modifier keys alone excepted), then lets the key act as in any text
// field.
class KeyCaptureEdit : public QLineEdit {
  Q_OBJECT

 public:
  using QLineEdit::QLineEdit;

 signals:
  void keyCaptured(int code);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};

class frmDevKeyboard : public QWidget, private KeyboardListener {
  Q_OBJECT

 public:
  explicit frmDevKeyboard(Keyboard& keyboard, QWidget* parent = nullptr);
  ~frmDevKeyboard() override;

  QRadioButton* sendLastCodeOption() { return sendLast_; }
  QRadioButton* queueOption() { return queue_; }
  KeyCaptureEdit* captureField() { return capture_; }
  QPushButton* clearCaptureButton() { return clearCapture_; }
  QTableView* queueList() { return list_; }
  QPushButton* clearQueueButton() { return clearQueue_; }
  KeyboardQueueModel* model() { return model_; }
  // Says when the queue was full and a key was dropped.
  QLabel* note() { return note_; }

 private:
  void modeChanged() override;
  void keyDropped(int code) override;
  void keysRemoved(std::size_t first, std::size_t count) override;

  Keyboard& keyboard_;
  KeyboardQueueModel* model_;
  QRadioButton* sendLast_;
  QRadioButton* queue_;
  KeyCaptureEdit* capture_;
  QPushButton* clearCapture_;
  QTableView* list_;
  QPushButton* clearQueue_;
  QLabel* note_;
};

}  // namespace vesk
