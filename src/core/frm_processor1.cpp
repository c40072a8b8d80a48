#include "core/frm_processor1.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QScrollArea>
#include <QVBoxLayout>

#include "util/ini_file.h"
#include "core/control_unit_panel.h"
#include "core/period_indicator_widget.h"
#include "core/register_panel.h"
#include "core/signal_lamps_panel.h"
#include "core/state_register_panel.h"
#include "format/number_text.h"

namespace vesk {

namespace {

int SettingNumber(const std::string& file, const char* key, const char* defaultValue) {
  const std::int64_t v = RoundHalfEven(LeadingNumber(ReadIni(file, "General", key, defaultValue)));
  constexpr std::int64_t kLimit = 1'000'000'000;
  return static_cast<int>(std::clamp<std::int64_t>(v, -kLimit, kLimit));
}

}  // namespace

frmProcessor1::frmProcessor1(Processor& cpu, RunControl& runControl, std::string settingsFile, Dialogs* dialogs,
                             QWidget* parent)
    : MachineWindow(std::move(settingsFile), "Processor", dialogs, parent), cpu_(cpu), runControl_(runControl) {
  setWindowTitle(QStringLiteral("Процессор"));
  using F = RegisterPanel;
  const int full = F::kHex | F::kDec | F::kBin | F::kMnemonic;
  data_ = new RegisterPanel(QStringLiteral("Регистр данных"), full, 4, 19, this);
  accumulator_ = new RegisterPanel(QStringLiteral("Аккумулятор"), full, 4, 19, this);
  buffer_ = new RegisterPanel(QStringLiteral("Буферный регистр"), full | F::kBit16, 4, 19, this);
  key_ = new RegisterPanel(QStringLiteral("Клавишный регистр"), full, 4, 19, this);
  address_ = new RegisterPanel(QStringLiteral("Регистр адреса"), F::kHex | F::kBin, 4, 19, this);
  counter_ = new RegisterPanel(QStringLiteral("Счетчик команд"), F::kHex | F::kBin, 4, 19, this);
  command_ = new RegisterPanel(QStringLiteral("Регистр команд"), F::kHex | F::kBin | F::kMnemonic, 4, 19, this);
  state_ = new StateRegisterPanel(cpu_, this);
  controlUnit_ = new ControlUnitPanel(this);

  // Left: the registers in two columns over the state register; right: the
  // control unit. A window smaller than the panels scrolls them, so the
  // processor fits beside the other windows on a small screen.
  panels_ = new QWidget;
  auto* scroll = new QScrollArea(this);
  scroll->setObjectName(QStringLiteral("processorPanels"));
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setWidgetResizable(true);
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->addWidget(scroll);
  auto* columns = new QHBoxLayout(panels_);
  columns->setContentsMargins(6, 6, 6, 6);
  columns->setSpacing(6);
  auto* registers = new QGridLayout;
  registers->setSpacing(6);
  auto* whole = new QVBoxLayout;
  for (RegisterPanel* p : {data_, accumulator_, buffer_, key_}) whole->addWidget(p);
  auto* addressing = new QVBoxLayout;
  for (RegisterPanel* p : {address_, counter_, command_}) addressing->addWidget(p);
  addressing->addStretch(1);
  registers->addLayout(whole, 0, 0);
  registers->addLayout(addressing, 0, 1);
  registers->addWidget(state_, 1, 0, 1, 2);
  registers->setRowStretch(2, 1);
  columns->addLayout(registers);
  columns->addWidget(controlUnit_, 1);
  scroll->setWidget(panels_);

  showAll();
  controlUnit_->indicator()->setBars(runControl_.Indicator());
  cpu_.listeners().add(this);
  runControl_.listeners().add(this);
}

QSize frmProcessor1::sizeHint() const { return panels_->sizeHint(); }

frmProcessor1::~frmProcessor1() {
  cpu_.listeners().remove(this);
  runControl_.listeners().remove(this);
}

RegisterPanel* frmProcessor1::panel(Reg r) const {
  switch (r) {
    case Reg::A:
      return accumulator_;
    case Reg::Data:
      return data_;
    case Reg::Command:
      return command_;
    case Reg::CommandCounter:
      return counter_;
    case Reg::Address:
      return address_;
    case Reg::Key:
      return key_;
    case Reg::Buffer:
      return buffer_;
    default:
      return nullptr;
  }
}

void frmProcessor1::onOpen() {
  cpu_.MODE = SettingNumber(settingsFile(), "Mode", "2");
  runControl_.SetIntervals(SettingNumber(settingsFile(), "Interval1", "20"),
                           SettingNumber(settingsFile(), "Interval2", "100"),
                           SettingNumber(settingsFile(), "Interval3", "100"));
  controlUnit_->lamps()->applySignalHints();
  state_->refresh();
  cpu_.Reset();
}

void frmProcessor1::showAll() {
  for (Reg r : {Reg::A, Reg::Data, Reg::Command, Reg::CommandCounter, Reg::Address, Reg::Key, Reg::Buffer, Reg::State,
                Reg::MicroCommand, Reg::MicroCounter})
    showRegister(r);
  for (int i = 0; i < kLampCount; ++i) controlUnit_->lamps()->lamp(i)->setOn(cpu_.LV_Get(i));
}

void frmProcessor1::registerChanged(Reg r) {
  if (refresh_.deferred()) {
    markedRegisters_ |= 1u << static_cast<unsigned>(r);
    return;
  }
  showRegister(r);
}

void frmProcessor1::showRegister(Reg r) {
  switch (r) {
    case Reg::State:
      state_->refresh();
      return;
    case Reg::MicroCommand:
      controlUnit_->showMicroCommand(cpu_.Texts(r));
      return;
    case Reg::MicroCounter:
      controlUnit_->showMicroCounter(cpu_.Texts(r));
      return;
    default:
      if (RegisterPanel* p = panel(r)) p->showTexts(cpu_.Texts(r));
      return;
  }
}

void frmProcessor1::lampChanged(int index, bool on) {
  if (refresh_.deferred()) {
    lampsMarked_ = true;
    return;
  }
  if (index >= 0 && index < kLampCount) controlUnit_->lamps()->lamp(index)->setOn(on);
}

void frmProcessor1::indicatorMoved() {
  if (refresh_.deferred()) {
    indicatorMarked_ = true;
    return;
  }
  controlUnit_->indicator()->setLine(runControl_.Indicator());
}

void frmProcessor1::showMarked() {
  for (unsigned r = 0; markedRegisters_ != 0; ++r, markedRegisters_ >>= 1)
    if (markedRegisters_ & 1u) showRegister(static_cast<Reg>(r));
  if (lampsMarked_)
    for (int i = 0; i < kLampCount; ++i) controlUnit_->lamps()->lamp(i)->setOn(cpu_.LV_Get(i));
  if (indicatorMarked_) controlUnit_->indicator()->setLine(runControl_.Indicator());
  lampsMarked_ = indicatorMarked_ = false;
}

void frmProcessor1::intervalsChanged(int, int, int) { controlUnit_->indicator()->setBars(runControl_.Indicator()); }

}  // namespace vesk
