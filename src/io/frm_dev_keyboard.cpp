#include "io/frm_dev_keyboard.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QVBoxLayout>

#include "widgets/table_look.h"
#include "io/keyboard_queue_model.h"
#include "io/platform_key_code.h"

namespace vesk {

namespace {

// Shift, Ctrl, Alt and the like only change the key that follows; a press of
// one alone is not a key for the program (Shift+A gives the one entry 65).
bool IsModifierOnly(int key) {
  return key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt || key == Qt::Key_AltGr ||
         key == Qt::Key_Meta || key == Qt::Key_Super_L || key == Qt::Key_Super_R;
}

}  // namespace

void KeyCaptureEdit::keyPressEvent(QKeyEvent* event) {
  if (!IsModifierOnly(event->key()))
    if (const int code = PlatformKeyCode(*event); code > 0) emit keyCaptured(code);
  QLineEdit::keyPressEvent(event);
}

frmDevKeyboard::frmDevKeyboard(Keyboard& keyboard, QWidget* parent)
    : QWidget(parent),
      keyboard_(keyboard),
      model_(new KeyboardQueueModel(keyboard, this)),
      sendLast_(new QRadioButton(QStringLiteral("Отсылась в буфер последний захваченный код"), this)),
      queue_(new QRadioButton(QStringLiteral("Добавлять в очередь по мере считывания"), this)),
      capture_(new KeyCaptureEdit(this)),
      clearCapture_(new QPushButton(QStringLiteral("Очистить"), this)),
      list_(new QTableView(this)),
      clearQueue_(new QPushButton(QStringLiteral("Очистить"), this)),
      note_(new QLabel(this)) {
  setWindowTitle(QStringLiteral("Устройство - Клавиатура"));
  setObjectName(QStringLiteral("frmDevKeyboard"));

  auto* modes = new QButtonGroup(this);
  modes->addButton(sendLast_);
  modes->addButton(queue_);
  sendLast_->setChecked(keyboard_.mode() == Keyboard::Mode::SendLastCode);
  queue_->setChecked(keyboard_.mode() == Keyboard::Mode::QueueAsRead);
  connect(sendLast_, &QRadioButton::toggled, this, [this](bool on) {
    if (on) keyboard_.setMode(Keyboard::Mode::SendLastCode);
  });
  connect(queue_, &QRadioButton::toggled, this, [this](bool on) {
    if (on) keyboard_.setMode(Keyboard::Mode::QueueAsRead);
  });

  capture_->setObjectName(QStringLiteral("captureField"));
  connect(capture_, &KeyCaptureEdit::keyCaptured, this, [this](int code) { keyboard_.KeyPressed(code); });
  connect(clearCapture_, &QPushButton::clicked, capture_, &QLineEdit::clear);

  list_->setModel(model_);
  list_->setObjectName(QStringLiteral("queueList"));
  ApplyTableLook(*list_, {QStringLiteral("Символ"), QStringLiteral("255")});
  connect(clearQueue_, &QPushButton::clicked, this, [this] { keyboard_.ClearQueue(); });

  note_->setWordWrap(true);
  note_->hide();

  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel(QStringLiteral("Поле захвата ввода  : "), this), 0, 0);
  grid->addWidget(capture_, 1, 0);
  grid->addWidget(clearCapture_, 2, 0, Qt::AlignLeft);
  grid->setRowStretch(3, 1);
  grid->addWidget(new QLabel(QStringLiteral("Символьная очередь : "), this), 0, 1);
  grid->addWidget(list_, 1, 1, 3, 1);
  grid->addWidget(clearQueue_, 4, 1, Qt::AlignLeft);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QStringLiteral("Режим : "), this));
  layout->addWidget(sendLast_);
  layout->addWidget(queue_);
  layout->addLayout(grid, 1);
  layout->addWidget(note_);
  keyboard_.listeners().add(this);
  resize(520, 320);
}

frmDevKeyboard::~frmDevKeyboard() { keyboard_.listeners().remove(this); }

void frmDevKeyboard::modeChanged() {
  QRadioButton* on = keyboard_.mode() == Keyboard::Mode::SendLastCode ? sendLast_ : queue_;
  if (!on->isChecked()) on->setChecked(true);
}

void frmDevKeyboard::keyDropped(int code) {
  note_->setText(QStringLiteral("Очередь заполнена (%1 клавиш): клавиша с кодом %2 не добавлена")
                     .arg(Keyboard::kQueueCapacity)
                     .arg(code));
  note_->show();
}

void frmDevKeyboard::keysRemoved(std::size_t, std::size_t) {
  if (keyboard_.QueueEmpty()) note_->hide();
}

}  // namespace vesk
