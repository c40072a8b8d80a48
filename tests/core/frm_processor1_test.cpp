#include "core/frm_processor1.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTableView>

#include "util/ini_file.h"
#include "app/machine.h"
#include "core/control_unit_panel.h"
#include "core/micro_command.h"
#include "core/period_indicator_widget.h"
#include "core/register_panel.h"
#include "core/signal_lamps_panel.h"
#include "core/state_bits_model.h"
#include "core/state_register_panel.h"
#include "core/value_field.h"
#include "format/bit_string.h"

using namespace vesk;

namespace {

Word Bits(const char* hex) { return FitWidth(HexToBin(hex), 16); }

class FrmProcessorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    settings = (dir.path() + "/cfg.ini").toStdString();
  }
  std::unique_ptr<frmProcessor1> openWindow() {
    auto w = std::make_unique<frmProcessor1>(m.processor, m.runControl, settings);
    w->show();
    return w;
  }
  QString field(ValueField* f) { return f->text(); }

  QTemporaryDir dir;
  std::string settings;
  Machine m;
};

}  // namespace

TEST_F(FrmProcessorTest, OpeningWithoutSettingsGivesShortPeriodsAndAResetMachine) {
  m.processor.MODE = 7;
  m.runControl.SetIntervals(1, 1, 1);
  m.processor.Reg_Set_A(Bits("1234"));
  m.processor.Micro_Reg_Set_CommandCounter("7F");
  m.processor.SetRunning(true);
  auto w = openWindow();
  EXPECT_EQ(w->windowTitle(), "Процессор");
  EXPECT_EQ(m.processor.MODE, 2);
  EXPECT_EQ(m.runControl.Interval(1), 20);
  EXPECT_EQ(m.runControl.Interval(2), 100);
  EXPECT_EQ(m.runControl.Interval(3), 100);
  EXPECT_EQ(m.processor.Reg_Get_A(), "0000000000000000");
  EXPECT_FALSE(m.processor.GetRunning());
  EXPECT_EQ(field(w->panel(Reg::A)->hexField()), "0000");
  EXPECT_EQ(field(w->controlUnit()->microCounterHex()), "01");
  EXPECT_EQ(field(w->controlUnit()->microCounterBin()), "0000.0001");
  EXPECT_EQ(field(w->statePanel()->hexField()), "0000");
}

TEST_F(FrmProcessorTest, OpeningReadsModeAndRoundedPeriods) {
  ASSERT_TRUE(WriteIni(settings, "General", "Mode", "1.4"));
  ASSERT_TRUE(WriteIni(settings, "General", "Interval1", "12.6"));
  ASSERT_TRUE(WriteIni(settings, "General", "Interval2", "abc"));
  ASSERT_TRUE(WriteIni(settings, "General", "Interval3", "2.5"));
  auto w = openWindow();
  EXPECT_EQ(m.processor.MODE, 1);
  EXPECT_EQ(m.runControl.Interval(1), 13);
  EXPECT_EQ(m.runControl.Interval(2), 0);
  EXPECT_EQ(m.runControl.Interval(3), 2);
}

TEST_F(FrmProcessorTest, TheSetupRunsOnceOnTheFirstShow) {
  auto w = std::make_unique<frmProcessor1>(m.processor, m.runControl, settings);
  m.processor.Reg_Set_A(Bits("0001"));
  EXPECT_FALSE(w->isOpened());
  w->show();
  EXPECT_EQ(m.processor.Reg_Get_A(), "0000000000000000");
  m.processor.Reg_Set_A(Bits("0002"));
  w->hide();
  w->show();
  EXPECT_EQ(m.processor.Reg_Get_A(), Bits("0002"));
}

TEST_F(FrmProcessorTest, PanelsShowEveryRegisterInItsFormats) {
  auto w = openWindow();
  m.processor.Reg_Set_A(Bits("FFFF"));
  RegisterPanel* a = w->panel(Reg::A);
  EXPECT_EQ(a->title(), "Аккумулятор");
  EXPECT_EQ(field(a->hexField()), "FFFF");
  EXPECT_EQ(field(a->decField()), "65.535");
  EXPECT_EQ(field(a->binField()), "1111.1111.1111.1111");
  EXPECT_EQ(field(a->mnemonicField()), "");
  m.processor.Reg_Set_Data(Bits("4123"));
  EXPECT_EQ(field(w->panel(Reg::Data)->mnemonicField()), "ADD 123");
  m.processor.Reg_Set_Command(Bits("F200"));
  RegisterPanel* rk = w->panel(Reg::Command);
  EXPECT_EQ(rk->title(), "Регистр команд");
  EXPECT_EQ(rk->decField(), nullptr);
  EXPECT_EQ(field(rk->mnemonicField()), "CLA");
  m.processor.Reg_Set_CommandCounter(Bits("FFFF"));
  RegisterPanel* sk = w->panel(Reg::CommandCounter);
  EXPECT_EQ(field(sk->hexField()), "07FF");
  EXPECT_EQ(field(sk->binField()), "0000.0111.1111.1111");
  EXPECT_EQ(sk->mnemonicField(), nullptr);
  m.processor.Reg_Set_Buffer("10000000000000101");
  RegisterPanel* br = w->panel(Reg::Buffer);
  EXPECT_EQ(field(br->bit16Field()), "1");
  EXPECT_EQ(field(br->hexField()), "0005");
  EXPECT_EQ(field(br->decField()), "5");
  EXPECT_EQ(field(br->mnemonicField()), "ISZ 005");
  EXPECT_EQ(w->panel(Reg::Address)->title(), "Регистр адреса");
  EXPECT_EQ(w->panel(Reg::Key)->title(), "Клавишный регистр");
  EXPECT_EQ(w->panel(Reg::CommandCounter)->title(), "Счетчик команд");
  EXPECT_EQ(w->panel(Reg::Data)->title(), "Регистр данных");
  EXPECT_EQ(w->panel(Reg::Buffer)->title(), "Буферный регистр");
}

TEST_F(FrmProcessorTest, MicroCommandRegisterInBothForms) {
  auto w = openWindow();
  m.processor.Micro_Reg_Set_Command(Bits("8301"));
  ControlUnitPanel* cu = w->controlUnit();
  EXPECT_EQ(cu->title(), "Устройство управления");
  EXPECT_EQ(field(cu->verticalHex()), "8301");
  EXPECT_EQ(field(cu->verticalBin()), "1000.0011.0000.0001");
  EXPECT_EQ(field(cu->horizontalBin()), "1000.0010.0000.0001 0000.0000.0000.1000");
  EXPECT_EQ(field(cu->horizontalHex()), "8201 0008");
  m.processor.Micro_Reg_Set_CommandCounter("1A");
  EXPECT_EQ(field(cu->microCounterHex()), "1A");
  EXPECT_EQ(field(cu->microCounterBin()), "0001.1010");
  QStringList captions;
  for (QLabel* l : w->findChildren<QLabel*>()) captions << l->text();
  EXPECT_TRUE(captions.contains("Вертикальная : "));
  EXPECT_TRUE(captions.contains("Горизонтальная : "));
}

TEST_F(FrmProcessorTest, TheCurrentMicroCommandReadsAsItsAction) {
  auto w = openWindow();
  ControlUnitPanel* cu = w->controlUnit();
  m.processor.Micro_Reg_Set_Command(Bits("0311"));
  EXPECT_EQ(field(cu->action()), "БР := СК + 1, READ");
  m.processor.Micro_Reg_Set_Command(Bits("EF4A"));
  EXPECT_EQ(field(cu->action()), "IF РК.15 = 1 GOTO 4A");
  m.processor.Micro_Reg_Set_Command(Bits("4009"));
  EXPECT_EQ(field(cu->action()), "HLT [4009]");
  QStringList captions;
  for (QLabel* l : w->findChildren<QLabel*>()) captions << l->text();
  EXPECT_TRUE(captions.contains("Действие : "));
}

TEST_F(FrmProcessorTest, StateListFlagsAndOnlyChangedRowsRepaint) {
  auto w = openWindow();
  StateRegisterPanel* rs = w->statePanel();
  QAbstractItemModel* model = rs->list()->model();
  ASSERT_EQ(model->rowCount(), 13);
  EXPECT_EQ(model->headerData(0, Qt::Horizontal).toString(), "Разряд");
  EXPECT_EQ(model->headerData(1, Qt::Horizontal).toString(), "Значение");
  EXPECT_EQ(model->headerData(2, Qt::Horizontal).toString(), "Смысл");
  EXPECT_EQ(model->data(model->index(12, 0)).toString(), "12");
  EXPECT_EQ(model->data(model->index(7, 2)).toString(), "Состояние (1 - Работа / 0 - Останов)");
  EXPECT_EQ(model->data(model->index(3, 2)).toString(), "(для организации безусловных переходом викропрограммы)");
  for (int r = 0; r < 13; ++r) EXPECT_EQ(model->data(model->index(r, 1)).toString(), "0");

  QSignalSpy changed(model, &QAbstractItemModel::dataChanged);
  m.processor.Reg_Set_Z("1");
  ASSERT_EQ(changed.count(), 1);
  EXPECT_EQ(changed[0][0].value<QModelIndex>().row(), 1);
  EXPECT_EQ(changed[0][1].value<QModelIndex>().row(), 1);
  EXPECT_EQ(model->data(model->index(1, 1)).toString(), "1");
  EXPECT_EQ(field(rs->zeroField()), "1");
  EXPECT_EQ(field(rs->carryField()), "0");
  m.processor.Reg_Set_Z("1");  // same value: nothing changes
  EXPECT_EQ(changed.count(), 1);
  m.processor.SetRunning(true);
  m.processor.Reg_Set_С("1");
  m.processor.Reg_Set_N("1");
  EXPECT_EQ(model->data(model->index(7, 1)).toString(), "1");
  EXPECT_EQ(field(rs->signField()), "1");
  EXPECT_EQ(field(rs->hexField()), "0087");
  EXPECT_EQ(field(rs->binField()), "0000.0000.1000.0111");
}

TEST(StateBitsModel, PassesTheModelTester) {
  Machine m;
  StateBitsModel model(m.processor);
  QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
  m.processor.Reg_Set_State(Bits("1FFF"));
  model.stateChanged();
  EXPECT_EQ(model.data(model.index(12, 1)).toString(), "1");
}

TEST_F(FrmProcessorTest, LampsCarryTheSignalHintsAndFollowTheProcessor) {
  auto w = openWindow();
  SignalLampsPanel* lamps = w->controlUnit()->lamps();
  EXPECT_EQ(lamps->title(), "Массив управляющих линий");
  for (int i = 0; i < 29; ++i) {
    const QString hint = QString::fromUtf8(kSignalHints[i].data(), static_cast<int>(kSignalHints[i].size()));
    EXPECT_EQ(lamps->lamp(i)->toolTip(), hint) << i;
    if (i > 0) {
      ASSERT_NE(lamps->label(i), nullptr);
      EXPECT_EQ(lamps->label(i)->text(), QString::number(i));
      EXPECT_EQ(lamps->label(i)->toolTip(), hint) << i;
    }
  }
  EXPECT_EQ(lamps->label(0), nullptr);
  ShowSignals(m.processor, ExpandMicroCommand(Bits("1190")));
  for (int i = 0; i < 29; ++i) EXPECT_EQ(lamps->lamp(i)->isOn(), m.processor.LV_Get(i)) << i;
  EXPECT_TRUE(lamps->lamp(4)->isOn());
  EXPECT_TRUE(lamps->lamp(8)->isOn());
  m.processor.LV_Set(4, false);
  EXPECT_FALSE(lamps->lamp(4)->isOn());
}

TEST_F(FrmProcessorTest, PeriodIndicatorFollowsRunControl) {
  auto w = openWindow();
  PeriodIndicatorWidget* ind = w->controlUnit()->indicator();
  m.runControl.SetIntervals(50, 100, 100);
  EXPECT_DOUBLE_EQ(ind->shown().barHeight[0], m.runControl.Indicator().barHeight[0]);
  EXPECT_DOUBLE_EQ(ind->shown().barTop[2], m.runControl.Indicator().barTop[2]);
  m.processor.SetRunning(true);
  const int before = ind->linePixel();
  for (int i = 0; i < 30; ++i) m.runControl.Tick();
  EXPECT_DOUBLE_EQ(ind->shown().lineY, m.runControl.Indicator().lineY);
  EXPECT_LT(ind->linePixel(), before);  // the line rises through bar 1
}
