#include "memory/frm_micro_mem.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "util/ini_file.h"
#include "widgets/scripted_dialogs.h"
#include "memory/micro_memory.h"
#include "memory/micro_memory_table_model.h"

using namespace vesk;
using vesk::testing::ScriptedDialogs;

namespace {

class FrmMicroMemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    settings = (dir.path() + "/cfg.ini").toStdString();
    window = std::make_unique<frmMicroMem>(memory, settings, &dialogs);
    window->setProgramDirectory(dir.path());
    window->show();
  }
  void typeAndEnter(EditorLineEdit* field, const QString& text) {
    field->setText(text);
    QTest::keyClick(field, Qt::Key_Return);
  }
  QString path(const QString& name) const { return dir.path() + "/" + name; }
  void writeFile(const QString& name, const QByteArray& bytes) {
    QFile f(path(name));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
  }
  QByteArray readFile(const QString& name) {
    QFile f(path(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }

  QTemporaryDir dir;
  std::string settings;
  MicroMemory memory;
  ScriptedDialogs dialogs;
  std::unique_ptr<frmMicroMem> window;
};

}  // namespace

TEST(MicroMemoryTableModel, PassesTheModelTesterAndChangesOneRowPerWrite) {
  MicroMemory memory;
  MicroMemoryTableModel model(memory);
  QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
  EXPECT_EQ(model.rowCount(), 255);
  const QStringList headers{"Адрес", "Горизонт.", "Верт.", "Комментарий"};
  for (int c = 0; c < 4; ++c) EXPECT_EQ(model.headerData(c, Qt::Horizontal).toString(), headers[c]);
  EXPECT_EQ(model.data(model.index(0, 0)).toString(), "01");
  EXPECT_EQ(model.data(model.index(254, 0)).toString(), "FF");
  EXPECT_EQ(model.data(model.index(0, 1)).toString(), "0000.0000.0000.0000 0000.0000.0000.0000 | 0000 0000");
  EXPECT_EQ(model.data(model.index(0, 2)).toString(), "0000.0000.0000.0000 | 0000");
  QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
  memory.Micro_WriteMem("1A", "0000000000011010");
  ASSERT_EQ(changed.count(), 1);
  EXPECT_EQ(changed[0][0].value<QModelIndex>().row(), 0x19);
  EXPECT_EQ(changed[0][1].value<QModelIndex>().row(), 0x19);
  EXPECT_EQ(model.data(model.index(0x19, 2)).toString(), "0000.0000.0001.1010 | 001A");
  memory.notifyRowsChanged();
  ASSERT_EQ(changed.count(), 2);
  EXPECT_EQ(changed[1][1].value<QModelIndex>().row(), 254);
}

TEST(MicroMemoryTableModel, ActionColumnReadsEachWordInTheSourceNotation) {
  MicroMemory memory;
  MicroMemoryTableModel model(memory);
  ASSERT_EQ(model.columnCount(), 5);
  EXPECT_EQ(model.headerData(MicroMemoryTableModel::kAction, Qt::Horizontal).toString(), "Действие");
  EXPECT_EQ(model.data(model.index(0, MicroMemoryTableModel::kAction)).toString(), "NOP");
  QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
  memory.Micro_WriteMem("07", "1110111101001010");  // EF4A
  ASSERT_EQ(changed.count(), 1);
  EXPECT_EQ(changed[0][1].value<QModelIndex>().column(), MicroMemoryTableModel::kAction);
  EXPECT_EQ(model.data(model.index(6, MicroMemoryTableModel::kAction)).toString(), "IF РК.15 = 1 GOTO 4A");
  memory.SetRow(8, "0100000000001001", "");  // 4009
  memory.notifyRowsChanged();
  EXPECT_EQ(changed.last()[1].value<QModelIndex>().column(), MicroMemoryTableModel::kAction);
  EXPECT_EQ(model.data(model.index(7, MicroMemoryTableModel::kAction)).toString(), "HLT [4009]");
}

TEST_F(FrmMicroMemTest, OpensWithTheRowsAndEditorOfAFreshStart) {
  EXPECT_EQ(window->windowTitle(), "Микропрограмма");
  EXPECT_EQ(window->addressField()->text(), "01");
  ASSERT_EQ(window->modeSelector()->count(), 2);
  EXPECT_EQ(window->modeSelector()->itemText(0), "v-Hex");
  EXPECT_EQ(window->modeSelector()->itemText(1), "v-Bin");
  EXPECT_EQ(window->nextRowBox()->text(), "Переходить на след. строку");
  const QList<QAction*> actions = window->contextMenu()->actions();
  ASSERT_EQ(actions.size(), 4);
  EXPECT_EQ(actions[0]->text(), "Загрузить микропрограмму по-умолчанию");
  EXPECT_TRUE(actions[1]->isSeparator());
  EXPECT_EQ(actions[2]->text(), "Загрузить микропрограмму...");
  EXPECT_EQ(actions[3]->text(), "Сохранить микропрограмму...");
}

TEST_F(FrmMicroMemTest, EditorWritesTheTypedAddressAndWrapsFromFFTo01) {
  window->selectAddress(0x10);
  window->addressField()->setText("1a");
  window->commentField()->setText("сложение");
  typeAndEnter(window->valueField(), "1a");
  EXPECT_EQ(memory.Value(0x1A), "0000000000011010");
  EXPECT_EQ(memory.VerticalText(0x1A), "0000.0000.0001.1010 | 001A");
  EXPECT_EQ(memory.Comment(0x1A), "сложение");
  EXPECT_EQ(memory.Value(0x10), "0000000000000000");
  EXPECT_EQ(window->selectedAddress(), 0x1A);

  memory.Micro_WriteMem("01", "1000001100000001");
  window->nextRowBox()->setChecked(true);
  window->modeSelector()->setCurrentText("v-Bin");
  window->selectAddress(0xFF);
  typeAndEnter(window->valueField(), "0100.0000.0000.1000");
  EXPECT_EQ(memory.Value(0xFF), "0100000000001000");
  EXPECT_EQ(window->selectedAddress(), 1);
  EXPECT_EQ(window->addressField()->text(), "01");
  EXPECT_EQ(window->valueField()->text(), "1000.0011.0000.0001");
}

TEST_F(FrmMicroMemTest, HorizontalModesKeepTheFieldAndWriteOnlyTheComment) {
  memory.Micro_WriteMem("05", "0000000000000101");
  window->modeSelector()->addItem("h-Hex");
  window->modeSelector()->setCurrentText("h-Hex");
  window->valueField()->setText("untouched");
  window->selectAddress(5);
  EXPECT_EQ(window->valueField()->text(), "untouched");
  window->commentField()->setText("только комментарий");
  typeAndEnter(window->valueField(), "FFFF");
  EXPECT_EQ(memory.Value(5), "0000000000000101");
  EXPECT_EQ(memory.Comment(5), "только комментарий");
}

TEST_F(FrmMicroMemTest, RefusesAddressesAndValuesThatNameNothing) {
  window->selectAddress(3);
  for (const char* address : {"00", "100", "G1", ""}) {
    window->addressField()->setText(address);
    typeAndEnter(window->valueField(), "1");
    EXPECT_TRUE(window->status()->isError()) << address;
  }
  window->addressField()->setText("03");
  typeAndEnter(window->valueField(), "12345Z");
  EXPECT_TRUE(window->status()->isError());
  for (int a = 1; a <= 255; ++a) ASSERT_EQ(memory.Value(a), "0000000000000000") << a;
  // Escape empties the field it is pressed in.
  window->commentField()->setText("c");
  QTest::keyClick(window->valueField(), Qt::Key_Escape);
  EXPECT_TRUE(window->valueField()->text().isEmpty());
  EXPECT_EQ(window->commentField()->text(), "c");
}

TEST_F(FrmMicroMemTest, RunControlFetchesMoveTheHighlightOnly) {
  (void)memory.Micro_ReadMem("C0");
  EXPECT_EQ(window->selectedAddress(), 0xC0);
  EXPECT_EQ(window->addressField()->text(), "01");
}

TEST_F(FrmMicroMemTest, LoadDefaultReadsTheSettingRelativeToTheProgramDirectory) {
  writeFile("default.mpdmp", "4008HLT\r\n8301\r\n");
  // No setting: nothing, no message.
  EXPECT_FALSE(window->LoadDefault());
  ASSERT_TRUE(WriteIni(settings, "General", "Microprogram", "missing.mpdmp"));
  EXPECT_FALSE(window->LoadDefault());
  EXPECT_TRUE(dialogs.shown.empty());
  ASSERT_TRUE(WriteIni(settings, "General", "Microprogram", "default.mpdmp"));
  EXPECT_TRUE(window->LoadDefault());
  EXPECT_EQ(memory.Value(1), "0100000000001000");
  EXPECT_EQ(memory.Comment(1), "HLT");
  EXPECT_EQ(memory.Value(2), "1000001100000001");
  EXPECT_EQ(window->model()->data(window->model()->index(0, 3)).toString(), "HLT");
  // An absolute path works as it is.
  writeFile("other.mpdmp", "0001\r\n");
  ASSERT_TRUE(WriteIni(settings, "General", "Microprogram", path("other.mpdmp").toStdString()));
  EXPECT_TRUE(window->LoadDefault());
  EXPECT_EQ(memory.Value(1), "0000000000000001");
  EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(FrmMicroMemTest, LoadDialogCancelAndMissingFileDoNothing) {
  dialogs.files = {"", path("nope.mpdmp")};
  EXPECT_FALSE(window->LoadWithDialog());
  EXPECT_FALSE(window->LoadWithDialog());
  ASSERT_EQ(dialogs.shown.size(), 2u);
  EXPECT_EQ(dialogs.shown[0].kind, "open");
  EXPECT_EQ(dialogs.shown[0].title, "Загрузить микропрограмму...");
  EXPECT_EQ(dialogs.shown[0].text,
            "Дамп микропрограммы Vesk (*.mpdmp);;Текстовые файлы (*.txt);;Все файлы (*.*)");
  for (int a = 1; a <= 255; ++a) ASSERT_EQ(memory.Value(a), "0000000000000000");
  writeFile("p.txt", " 8A text\r\n");
  dialogs.files = {path("p.txt")};
  EXPECT_TRUE(window->LoadWithDialog());
  EXPECT_EQ(memory.Value(1), "0000000010001010");
  EXPECT_EQ(memory.Comment(1), "text");
}

TEST_F(FrmMicroMemTest, SaveAsksBeforeOverwritingAndNoKeepsTheFile) {
  memory.Micro_WriteMem("01", "0100000000001000");
  memory.SetComment(1, "стоп");
  dialogs.files = {""};
  EXPECT_FALSE(window->SaveWithDialog());  // cancelled
  dialogs.files = {path("new.mpdmp")};
  EXPECT_TRUE(window->SaveWithDialog());  // a new file: no question
  EXPECT_EQ(dialogs.shown.back().kind, "save");
  const QByteArray saved = readFile("new.mpdmp");
  EXPECT_TRUE(saved.startsWith("4008\xF1\xF2\xEE\xEF\r\n0000\r\n"));
  EXPECT_EQ(saved.count("\r\n"), 255);

  writeFile("old.mpdmp", "keep");
  dialogs.files = {path("old.mpdmp")};
  dialogs.answers = {false};
  EXPECT_FALSE(window->SaveWithDialog());
  EXPECT_EQ(readFile("old.mpdmp"), "keep");
  const auto& ask = dialogs.shown.back();
  EXPECT_EQ(ask.kind, "ask");
  EXPECT_EQ(ask.title, "Сохранение микропрограммы...");
  EXPECT_EQ(ask.text, path("old.mpdmp") + "\nТакой файл уже существует!\nПерезаписать?");
  EXPECT_EQ(ask.icon, Dialogs::Icon::Warning);
  dialogs.files = {path("old.mpdmp")};
  dialogs.answers = {true};
  EXPECT_TRUE(window->SaveWithDialog());
  EXPECT_EQ(readFile("old.mpdmp"), saved);
}

TEST_F(FrmMicroMemTest, AFailedSaveIsShownInAWarningBox) {
  dialogs.files = {path("no/such/folder/p.mpdmp")};
  EXPECT_FALSE(window->SaveWithDialog());
  ASSERT_EQ(dialogs.shown.size(), 2u);
  EXPECT_EQ(dialogs.shown[1].kind, "tell");
  EXPECT_EQ(dialogs.shown[1].icon, Dialogs::Icon::Warning);
  EXPECT_TRUE(dialogs.shown[1].text.startsWith("Микропрограмма не сохранена."));
  EXPECT_FALSE(QFile::exists(path("no/such/folder/p.mpdmp")));
}
