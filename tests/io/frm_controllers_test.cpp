#include "io/frm_controllers.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "app/machine.h"
#include "widgets/scripted_dialogs.h"
#include "io/controllers_table_model.h"

using namespace vesk;
using vesk::testing::ScriptedDialogs;

namespace {

class FrmControllersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    window = std::make_unique<frmControllers>(machine.controllers, (dir.path() + "/cfg.ini").toStdString(), &dialogs);
    window->show();
  }
  void typeAndEnter(EditorLineEdit* field, const QString& text) {
    field->setText(text);
    QTest::keyClick(field, Qt::Key_Return);
  }
  QString cell(int row, int column) { return window->model()->data(window->model()->index(row, column)).toString(); }

  QTemporaryDir dir;
  Machine machine;
  ScriptedDialogs dialogs;
  std::unique_ptr<frmControllers> window;
};

}  // namespace

TEST(ControllersTableModel, ListOrderHeadersAndTheModelTester) {
  Machine m;
  ControllersTableModel model(m.controllers);
  QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
  ASSERT_EQ(model.rowCount(), 256);
  const QStringList headers{"Адрес", "Флаг", "Регистр данных", "Устройство", "Комментарий"};
  for (int c = 0; c < 5; ++c) EXPECT_EQ(model.headerData(c, Qt::Horizontal).toString(), headers[c]);
  EXPECT_EQ(model.data(model.index(0, 0)).toString(), "01");
  EXPECT_EQ(model.data(model.index(254, 0)).toString(), "FF");
  EXPECT_EQ(model.data(model.index(255, 0)).toString(), "00");
  EXPECT_EQ(model.data(model.index(255, 1)).toString(), "0");
  EXPECT_EQ(model.data(model.index(255, 2)).toString(), "00 | 000 | 0000.0000");
  EXPECT_EQ(model.data(model.index(255, 3)).toString(), " - ");
  QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
  m.controllers.Reg_Set_Data("00", "00110100");
  ASSERT_EQ(changed.count(), 1);
  EXPECT_EQ(changed[0][0].value<QModelIndex>().row(), 255);
  EXPECT_EQ(changed[0][1].value<QModelIndex>().row(), 255);
  EXPECT_EQ(model.data(model.index(255, 2)).toString(), "34 | 052 | 0011.0100");
  m.controllers.Reg_Set_Flag("7", 1);
  m.controllers.DropAllFlag();
  EXPECT_EQ(model.data(model.index(6, 1)).toString(), "0");
}

TEST_F(FrmControllersTest, CaptionSelectorAndContextMenu) {
  EXPECT_EQ(window->windowTitle(), "Контроллеры внешних устройств");
  ASSERT_EQ(window->modeSelector()->count(), 3);
  EXPECT_FALSE(window->modeSelector()->isEditable());
  EXPECT_EQ(window->modeSelector()->currentText(), "Hex");
  EXPECT_EQ(window->modeSelector()->itemText(2), "Bin");
  ASSERT_EQ(window->contextMenu()->actions().size(), 1);
  EXPECT_EQ(window->contextMenu()->actions()[0]->text(), "Свойства");
}

TEST_F(FrmControllersTest, SelectingTheLastRowLoadsController00) {
  machine.controllers.Reg_Set_Data("00", "11111111");
  machine.controllers.Reg_Set_Flag("00", 1);
  machine.controllers.SetComment(255, "последний");
  window->modeSelector()->setCurrentText("Dec");
  window->selectRow(255);
  EXPECT_EQ(window->addressField()->text(), "00");
  EXPECT_TRUE(window->flagBox()->isChecked());
  EXPECT_EQ(window->valueField()->text(), "255");
  EXPECT_EQ(window->valueField()->selectedText(), "255");
  EXPECT_EQ(window->commentField()->text(), "последний");
  window->modeSelector()->setCurrentText("Bin");
  window->selectRow(0);
  EXPECT_EQ(window->addressField()->text(), "01");
  EXPECT_FALSE(window->flagBox()->isChecked());
  EXPECT_EQ(window->valueField()->text(), "00000000");
}

TEST_F(FrmControllersTest, EnterWritesDataAndCommentToTheTypedAddress) {
  window->selectRow(4);
  window->addressField()->setText("00");
  window->commentField()->setText("монитор");
  typeAndEnter(window->valueField(), "1AB");
  EXPECT_EQ(machine.controllers.Reg_Get_Data("00"), "10101011");
  EXPECT_EQ(cell(255, 4), "монитор");
  EXPECT_EQ(machine.controllers.Data(4), "00000000");
  window->modeSelector()->setCurrentText("Dec");
  window->addressField()->setText("05");
  window->valueField()->setText("-1");
  typeAndEnter(window->commentField(), "пятый");  // Enter in the comment field writes the value too
  EXPECT_EQ(machine.controllers.Reg_Get_Data("05"), "11111111");
  EXPECT_EQ(machine.controllers.Comment(4), "пятый");
  window->valueField()->setText("300");
  QTest::keyClick(window->commentField(), Qt::Key_Return);
  EXPECT_EQ(cell(4, 2), "2C | 044 | 0010.1100");
  window->modeSelector()->setCurrentText("Bin");
  typeAndEnter(window->valueField(), "1.01");
  EXPECT_EQ(machine.controllers.Reg_Get_Data("05"), "00000101");
}

TEST_F(FrmControllersTest, RefusesAnAddressThatNamesNoControllerAndBadBits) {
  window->selectRow(0);
  for (const char* address : {"100", "xx", ""}) {
    window->addressField()->setText(address);
    typeAndEnter(window->valueField(), "FF");
    EXPECT_TRUE(window->status()->isError()) << address;
  }
  window->addressField()->setText("01");
  window->modeSelector()->setCurrentText("Bin");
  typeAndEnter(window->valueField(), "12");
  EXPECT_TRUE(window->status()->isError());
  for (int row = 0; row < 256; ++row) ASSERT_TRUE(machine.controllers.IsInitial(row)) << row;
  // The flag box refuses too and shows the flag unchanged.
  window->addressField()->setText("1FF");
  window->flagBox()->click();
  EXPECT_TRUE(window->status()->isError());
  EXPECT_FALSE(window->flagBox()->isChecked());
}

TEST_F(FrmControllersTest, TheFlagBoxActsAtOnceOnTheTypedAddress) {
  window->selectRow(0);
  window->addressField()->setText("FF");
  window->flagBox()->click();
  EXPECT_EQ(machine.controllers.Reg_Get_Flag("FF"), 1);
  EXPECT_EQ(machine.controllers.Reg_Get_Flag("01"), 0);
  EXPECT_EQ(cell(254, 1), "1");
  window->flagBox()->click();
  EXPECT_EQ(machine.controllers.Reg_Get_Flag("FF"), 0);
}

TEST_F(FrmControllersTest, EscapeEmptiesTheFieldAndPropertiesNamesTheSelectedRow) {
  window->selectRow(9);
  window->commentField()->setText("x");
  QTest::keyClick(window->valueField(), Qt::Key_Escape);
  EXPECT_TRUE(window->valueField()->text().isEmpty());
  QTest::keyClick(window->commentField(), Qt::Key_Escape);
  EXPECT_TRUE(window->commentField()->text().isEmpty());
  EXPECT_TRUE(machine.controllers.IsInitial(9));
  QSignalSpy props(window.get(), &frmControllers::propertiesRequested);
  window->contextMenu()->actions()[0]->trigger();
  ASSERT_EQ(props.count(), 1);
  EXPECT_EQ(props[0][0].toInt(), 9);
}
