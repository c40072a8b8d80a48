#include "core/control_unit_panel.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include <vector>

#include "asm/micro_operation.h"
#include "asm/source_text.h"
#include "core/decoder_picture.h"
#include "core/period_indicator_widget.h"
#include "core/signal_lamps_panel.h"
#include "core/value_field.h"

namespace vesk {

ControlUnitPanel::ControlUnitPanel(QWidget* parent) : QGroupBox(QStringLiteral("Устройство управления"), parent) {
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(6, 4, 6, 6);
  outer->setSpacing(6);

  auto* registers = new QHBoxLayout;
  auto* counter = new QGroupBox(QStringLiteral("Счетчик микрокоманд"), this);
  auto* cg = new QGridLayout(counter);
  cg->setContentsMargins(6, 4, 6, 6);
  cg->setVerticalSpacing(3);
  counterHex_ = new ValueField(2, counter);
  counterBin_ = new ValueField(9, counter);
  cg->addWidget(FieldCaption(QStringLiteral("Hex"), counter), 0, 0);
  cg->addWidget(counterHex_, 0, 1, Qt::AlignLeft);
  cg->addWidget(FieldCaption(QStringLiteral("Bin"), counter), 1, 0);
  cg->addWidget(counterBin_, 1, 1, Qt::AlignLeft);
  registers->addWidget(counter);

  auto* command = new QGroupBox(QStringLiteral("Регистр микрокоманд"), this);
  auto* mg = new QGridLayout(command);
  mg->setContentsMargins(6, 4, 6, 6);
  mg->setVerticalSpacing(3);
  verticalHex_ = new ValueField(4, command);
  verticalBin_ = new ValueField(19, command);
  horizontalBin_ = new ValueField(39, command);
  horizontalHex_ = new ValueField(9, command);
  action_ = new ValueField(49, command);
  // Vertical: hex, then binary; horizontal: binary, then hex.
  auto* vertical = new QHBoxLayout;
  vertical->setSpacing(4);
  vertical->addWidget(verticalHex_);
  vertical->addWidget(verticalBin_);
  vertical->addStretch(1);
  auto* horizontal = new QHBoxLayout;
  horizontal->setSpacing(4);
  horizontal->addWidget(horizontalBin_);
  horizontal->addWidget(horizontalHex_);
  horizontal->addStretch(1);
  mg->addWidget(FieldCaption(QStringLiteral("Вертикальная : "), command), 0, 0);
  mg->addLayout(vertical, 0, 1);
  mg->addWidget(FieldCaption(QStringLiteral("Горизонтальная : "), command), 1, 0);
  mg->addLayout(horizontal, 1, 1);
  mg->addWidget(FieldCaption(QStringLiteral("Действие : "), command), 2, 0);
  mg->addWidget(action_, 2, 1, Qt::AlignLeft);
  registers->addWidget(command, 1);
  outer->addLayout(registers);

  // The lamps over the decoder picture; the period indicator beside both,
  // as tall as the panel allows.
  auto* body = new QGridLayout;
  body->setSpacing(6);
  lamps_ = new SignalLampsPanel(this);
  body->addWidget(lamps_, 0, 0);
  auto* decoderBox = new QGroupBox(QStringLiteral("Дешифратор микрокоманд"), this);
  auto* dl = new QVBoxLayout(decoderBox);
  dl->setContentsMargins(4, 4, 4, 4);
  decoder_ = new DecoderPicture(decoderBox);
  dl->addWidget(decoder_);
  body->addWidget(decoderBox, 1, 0);
  indicator_ = new PeriodIndicatorWidget(this);
  body->addWidget(indicator_, 0, 1, 3, 1);
  body->setRowStretch(2, 1);
  body->setColumnStretch(0, 1);
  outer->addLayout(body, 1);
}

void ControlUnitPanel::showMicroCounter(const RegisterTexts& t) {
  counterHex_->setText(QString::fromStdString(t.hex));
  counterBin_->setText(QString::fromStdString(t.bin));
}

void ControlUnitPanel::showMicroCommand(const RegisterTexts& t) {
  verticalHex_->setText(QString::fromStdString(t.hex));
  verticalBin_->setText(QString::fromStdString(t.bin));
  horizontalBin_->setText(QString::fromStdString(t.horizontalBin));
  horizontalHex_->setText(QString::fromStdString(t.horizontalHex));
  // Runs show every micro-command, so each word's text is made once.
  static std::vector<QString> texts(0x10000);
  if (const auto word = HexValue(t.hex, 4)) {
    QString& text = texts[static_cast<std::size_t>(*word)];
    if (text.isEmpty()) text = QString::fromStdString(MicroOperationText(static_cast<std::uint16_t>(*word)));
    action_->setText(text);
  }
}

}  // namespace vesk
