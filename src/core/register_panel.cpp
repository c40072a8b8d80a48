#include "core/register_panel.h"

#include <QHBoxLayout>
#include <QVBoxLayout>
#include <QLabel>

#include "core/value_field.h"

namespace vesk {

RegisterPanel::RegisterPanel(const QString& caption, int fields, int hexDigits, int binChars, QWidget* parent)
    : QGroupBox(caption, parent) {
  auto* rows = new QVBoxLayout(this);
  rows->setContentsMargins(6, 4, 6, 6);
  rows->setSpacing(3);
  auto addPair = [this](QHBoxLayout* row, const QString& label, ValueField* field) {
    if (row->count() > 0) row->addSpacing(6);
    row->addWidget(FieldCaption(label, this));
    row->addWidget(field);
  };
  // First row: hexadecimal with bit 16 and decimal; second row: binary and
  // the mnemonic. A register with only hex and binary shows them in one row.
  auto* first = new QHBoxLayout;
  first->setSpacing(4);
  auto* second = (fields & (kDec | kMnemonic)) != 0 ? new QHBoxLayout : first;
  second->setSpacing(4);
  if (fields & kHex) addPair(first, QStringLiteral("Hex"), hex_ = new ValueField(hexDigits, this));
  if (fields & kBit16) {
    addPair(first, QStringLiteral("16"), bit16_ = new ValueField(1, this));
    bit16_->setToolTip(QStringLiteral("Разряд 16 (перенос)"));
  }
  if (fields & kDec) addPair(first, QStringLiteral("Dec"), dec_ = new ValueField(6, this));
  if (fields & kBin) addPair(second, QStringLiteral("Bin"), bin_ = new ValueField(binChars, this));
  if (fields & kMnemonic) addPair(second, QStringLiteral("Asm"), mnemonic_ = new ValueField(8, this));
  first->addStretch(1);
  rows->addLayout(first);
  if (second != first) {
    second->addStretch(1);
    rows->addLayout(second);
  }
}

void RegisterPanel::showTexts(const RegisterTexts& t) {
  if (hex_ != nullptr) hex_->setText(QString::fromStdString(t.hex));
  if (dec_ != nullptr) dec_->setText(QString::fromStdString(t.dec));
  if (bin_ != nullptr) bin_->setText(QString::fromStdString(t.bin));
  if (mnemonic_ != nullptr) mnemonic_->setText(QString::fromStdString(t.mnemonic));
  if (bit16_ != nullptr) bit16_->setText(QString::fromStdString(t.bit16));
}

}  // namespace vesk
