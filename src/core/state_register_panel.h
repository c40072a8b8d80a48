// The processor window's "Регистр состояния" panel: РС in hexadecimal and
// binary, the list of bits 0..12 with their meanings, and the three single
// fields С, Z and N.
#pragma once

#include <QGroupBox>

class QTableView;

namespace vesk {

class Processor;
class StateBitsModel;
class ValueField;

class StateRegisterPanel : public QGroupBox {
  Q_OBJECT

 public:
  StateRegisterPanel(const Processor& cpu, QWidget* parent = nullptr);

  // Reads РС again.
  void refresh();

  StateBitsModel* model() const { return model_; }
  QTableView* list() const { return list_; }
  ValueField* hexField() const { return hex_; }
  ValueField* binField() const { return bin_; }
  ValueField* carryField() const { return c_; }
  ValueField* zeroField() const { return z_; }
  ValueField* signField() const { return n_; }

 private:
  const Processor& cpu_;
  StateBitsModel* model_;
  QTableView* list_;
  ValueField* hex_;
  ValueField* bin_;
  ValueField* c_;
  ValueField* z_;
  ValueField* n_;
};

}  // namespace vesk
