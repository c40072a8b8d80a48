// "Устройство управления" of the processor window: СчМК, РМК in both forms,
// the signal lamps, the decoder picture and the period indicator.
#pragma once

#include <QGroupBox>

#include "core/processor.h"

namespace vesk {

class DecoderPicture;
class PeriodIndicatorWidget;
class SignalLampsPanel;
class ValueField;

class ControlUnitPanel : public QGroupBox {
  Q_OBJECT

 public:
  explicit ControlUnitPanel(QWidget* parent = nullptr);

  void showMicroCounter(const RegisterTexts& t);
  void showMicroCommand(const RegisterTexts& t);

  ValueField* microCounterHex() const { return counterHex_; }
  ValueField* microCounterBin() const { return counterBin_; }
  ValueField* verticalHex() const { return verticalHex_; }
  ValueField* verticalBin() const { return verticalBin_; }
  ValueField* horizontalBin() const { return horizontalBin_; }
  ValueField* horizontalHex() const { return horizontalHex_; }
  // The micro-command in the notation of micro-program sources.
  ValueField* action() const { return action_; }
  SignalLampsPanel* lamps() const { return lamps_; }
  DecoderPicture* decoder() const { return decoder_; }
  PeriodIndicatorWidget* indicator() const { return indicator_; }

 private:
  ValueField* counterHex_;
  ValueField* counterBin_;
  ValueField* verticalHex_;
  ValueField* verticalBin_;
  ValueField* horizontalBin_;
  ValueField* horizontalHex_;
  ValueField* action_;
  SignalLampsPanel* lamps_;
  DecoderPicture* decoder_;
  PeriodIndicatorWidget* indicator_;
};

}  // namespace vesk
