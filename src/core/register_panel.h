// One register's panel of the processor window: a captioned box with the
// fields the register has (hexadecimal, decimal, binary, mnemonic, and for
// БР bit 16), filled from Processor::Texts.
#pragma once

#include <QGroupBox>

#include "core/processor.h"

namespace vesk {

class ValueField;

class RegisterPanel : public QGroupBox {
  Q_OBJECT

 public:
  enum Field { kHex = 1, kDec = 2, kBin = 4, kMnemonic = 8, kBit16 = 16 };

  // fields: an OR of Field; hexDigits and binChars size the fields.
  RegisterPanel(const QString& caption, int fields, int hexDigits, int binChars, QWidget* parent = nullptr);

  void showTexts(const RegisterTexts& texts);

  ValueField* hexField() const { return hex_; }
  ValueField* decField() const { return dec_; }
  ValueField* binField() const { return bin_; }
  ValueField* mnemonicField() const { return mnemonic_; }
  ValueField* bit16Field() const { return bit16_; }

 private:
  ValueField* hex_ = nullptr;
  ValueField* dec_ = nullptr;
  ValueField* bin_ = nullptr;
  ValueField* mnemonic_ = nullptr;
  ValueField* bit16_ = nullptr;
};

}  // namespace vesk
