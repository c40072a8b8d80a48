#include "memory/frm_mem.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include "app/machine.h"
#include "widgets/scripted_dialogs.h"
#include "memory/dump_file.h"
#include "memory/main_memory.h"
#include "memory/memory_table_model.h"
#include "trace/command_trace.h"

using namespace vesk;
using vesk::testing::ScriptedDialogs;

namespace {

class FrmMemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    window = std::make_unique<frmMem>(memory, (dir.path() + "/cfg.ini").toStdString(), &dialogs);
    window->show();
  }

  void typeAndEnter(EditorLineEdit* field, const QString& text) {
    field->setText(text);
    QTest::keyClick(field, Qt::Key_Return);
  }
  void setMode(const QString& mode) { window->modeSelector()->setCurrentText(mode); }

  QTemporaryDir dir;
  Machine machine;
  MainMemory& memory = machine.memory;
  CommandTrace& trace = machine.trace;
  ScriptedDialogs dialogs;
  std::unique_ptr<frmMem> window;
};

}  // namespace

TEST_F(FrmMemTest, OpensWithClearedMemoryAndHexMode) {
  EXPECT_EQ(window->windowTitle(), "Память");
  EXPECT_EQ(window->modeSelector()->count(), 4);
  EXPECT_EQ(window->modeSelector()->itemText(0), "Hex");
  EXPECT_EQ(window->modeSelector()->itemText(3), "Asm");
  EXPECT_EQ(window->modeSelector()->currentText(), "Hex");
  EXPECT_EQ(window->nextRowBox()->text(), "Переходить на след. строку");
  EXPECT_FALSE(window->nextRowBox()->isChecked());
  EXPECT_TRUE(window->addressField()->text().isEmpty());
  EXPECT_EQ(window->selectedRow(), -1);
}

TEST_F(FrmMemTest, CreatingTheWindowClearsMemory) {
  MainMemory other;
  other.Mem_WriteMem("005", "1111111111111111");
  other.SetComment(5, "x");
  frmMem w(other, (dir.path() + "/cfg.ini").toStdString(), &dialogs);
  EXPECT_EQ(other.HexText(5), "0000");
  EXPECT_EQ(other.Comment(5), "");
}

TEST_F(FrmMemTest, SelectingARowLoadsTheEditorInTheCurrentMode) {
  memory.Mem_WriteMem("020", "1111111111111111");
  memory.SetComment(0x20, "минус один");
  setMode("Dec");
  window->selectRow(0x20);
  EXPECT_EQ(window->addressField()->text(), "020");
  EXPECT_EQ(window->valueField()->text(), "65.535  ( -00.001)");
  EXPECT_EQ(window->valueField()->selectedText(), window->valueField()->text());
  EXPECT_EQ(window->commentField()->text(), "минус один");
  EXPECT_EQ(window->commentField()->selectedText(), "минус один");
  // Changing the mode does not reload; the next selection uses it.
  setMode("Bin");
  EXPECT_EQ(window->valueField()->text(), "65.535  ( -00.001)");
  window->selectRow(0x20);
  EXPECT_EQ(window->valueField()->text(), "1111.1111.1111.1111");
}

TEST_F(FrmMemTest, ClickingARowInTheListLoadsTheEditor) {
  memory.Mem_WriteMem("002", "0000000000000111");
  const QRect cell = window->list()->visualRect(window->model()->index(2, 1));
  QTest::mouseClick(window->list()->viewport(), Qt::LeftButton, {}, cell.center());
  EXPECT_EQ(window->selectedRow(), 2);
  EXPECT_EQ(window->addressField()->text(), "002");
  EXPECT_EQ(window->valueField()->text(), "0007");
}

TEST_F(FrmMemTest, EnterWritesToTheTypedAddressNotTheSelectedRow) {
  window->selectRow(0x10);
  window->addressField()->setText("1a");
  window->commentField()->setText("здесь");
  typeAndEnter(window->valueField(), "beef");
  EXPECT_EQ(memory.HexText(0x1A), "BEEF");
  EXPECT_EQ(memory.Comment(0x1A), "здесь");
  EXPECT_EQ(memory.HexText(0x10), "0000");
  EXPECT_EQ(memory.Comment(0x10), "");
  // Reported to the trace like a processor write, with the address as typed.
  EXPECT_EQ(trace.EFFECT_ADDR(), "(W) 1a");
  EXPECT_EQ(trace.EFFECT_VAL(), "BEEF");
  // The write moved the selection; without "next row" focus returns to the list.
  EXPECT_EQ(window->selectedRow(), 0x1A);
  EXPECT_FALSE(window->status()->isError());
}

TEST_F(FrmMemTest, EnterInTheCommentFieldDoesTheSame) {
  window->selectRow(3);
  window->valueField()->setText("12");
  typeAndEnter(window->commentField(), "c");
  EXPECT_EQ(memory.HexText(3), "0012");
  EXPECT_EQ(memory.Comment(3), "c");
}

TEST_F(FrmMemTest, EnterDoesNothingWithoutASelectedRow) {
  window->addressField()->setText("005");
  typeAndEnter(window->valueField(), "1234");
  EXPECT_EQ(memory.HexText(5), "0000");
  EXPECT_TRUE(trace.EFFECT_ADDR().empty());
}

TEST_F(FrmMemTest, DecModeStoresNegativesAndTheShownText) {
  setMode("Dec");
  window->selectRow(0);
  typeAndEnter(window->valueField(), "-1");
  EXPECT_EQ(memory.HexText(0), "FFFF");
  window->selectRow(1);
  typeAndEnter(window->valueField(), "-0");
  EXPECT_EQ(memory.HexText(1), "0000");
  EXPECT_EQ(trace.EFFECT_VAL(), "0000");
  // Selecting FFFF and pressing Enter unchanged writes FFFF again.
  window->selectRow(0);
  ASSERT_EQ(window->valueField()->text(), "65.535  ( -00.001)");
  QTest::keyClick(window->valueField(), Qt::Key_Return);
  EXPECT_EQ(memory.HexText(0), "FFFF");
  EXPECT_EQ(trace.EFFECT_ADDR(), "(W) 000");
}

TEST_F(FrmMemTest, AsmModeAssemblesAndStoresZeroForNothing) {
  setMode("Asm");
  window->selectRow(4);
  typeAndEnter(window->valueField(), "ADD 010");
  EXPECT_EQ(memory.HexText(4), "4010");
  memory.Mem_WriteMem("005", "1111111111111111");
  window->selectRow(5);
  typeAndEnter(window->valueField(), "nonsense");
  EXPECT_EQ(memory.HexText(5), "0000");
  EXPECT_FALSE(window->status()->text().isEmpty());
  EXPECT_FALSE(window->status()->isError());
}

TEST_F(FrmMemTest, NextRowWrapsFrom7FFTo000AndLoadsIt) {
  memory.Mem_WriteMem("000", "0000000000001001");
  memory.SetComment(0, "первая");
  window->nextRowBox()->setChecked(true);
  window->selectRow(0x7FF);
  typeAndEnter(window->valueField(), "1");
  EXPECT_EQ(memory.HexText(0x7FF), "0001");
  EXPECT_EQ(window->selectedRow(), 0);
  EXPECT_EQ(window->addressField()->text(), "000");
  EXPECT_EQ(window->valueField()->text(), "0009");
  EXPECT_EQ(window->commentField()->text(), "первая");
  typeAndEnter(window->valueField(), "2");
  EXPECT_EQ(memory.HexText(0), "0002");
  EXPECT_EQ(window->selectedRow(), 1);
}

TEST_F(FrmMemTest, BadInputIsRefusedWithAMessageAndWritesNothing) {
  window->selectRow(7);
  struct Case {
    QString mode, address, value;
  };
  const Case cases[] = {{"Hex", "800", "1"},     {"Hex", "xyz", "1"},  {"Hex", "", "1"},
                        {"Hex", "007", "12G"},   {"Bin", "007", "102"}, {"Dec", "007", "abc"},
                        {"Dec", "007", "-"},     {"Asm", "007", "ADD 0QQ"}};
  for (const Case& c : cases) {
    setMode(c.mode);
    window->addressField()->setText(c.address);
    typeAndEnter(window->valueField(), c.value);
    EXPECT_TRUE(window->status()->isError()) << c.mode.toStdString() << " " << c.value.toStdString();
    EXPECT_FALSE(window->status()->text().isEmpty());
  }
  for (int a = 0; a < MainMemory::kWords; ++a) ASSERT_EQ(memory.HexText(a), "0000") << a;
  EXPECT_TRUE(trace.EFFECT_ADDR().empty());
  // A good value afterwards clears the message.
  setMode("Hex");
  window->addressField()->setText("007");
  typeAndEnter(window->valueField(), "7");
  EXPECT_EQ(memory.HexText(7), "0007");
  EXPECT_FALSE(window->status()->isError());
}

TEST_F(FrmMemTest, ACommentWindows1251CannotHoldIsRefused) {
  window->selectRow(9);
  window->commentField()->setText("日本");
  typeAndEnter(window->valueField(), "1");
  EXPECT_TRUE(window->status()->isError());
  EXPECT_EQ(memory.HexText(9), "0000");
  EXPECT_EQ(memory.Comment(9), "");
}

TEST_F(FrmMemTest, EscapeEmptiesOnlyItsOwnFieldAndWritesNothing) {
  memory.Mem_WriteMem("006", "0000000000000110");
  memory.SetComment(6, "keep");
  window->selectRow(6);
  QTest::keyClick(window->valueField(), Qt::Key_Escape);
  EXPECT_TRUE(window->valueField()->text().isEmpty());
  EXPECT_EQ(window->commentField()->text(), "keep");
  window->selectRow(6);
  QTest::keyClick(window->commentField(), Qt::Key_Escape);
  EXPECT_TRUE(window->commentField()->text().isEmpty());
  EXPECT_EQ(window->valueField()->text(), "0006");
  EXPECT_EQ(memory.HexText(6), "0006");
  EXPECT_EQ(memory.Comment(6), "keep");
}

TEST_F(FrmMemTest, ReadsAndWritesMoveTheSelectionWithoutScrolling) {
  window->resize(600, 300);
  QApplication::processEvents();
  QScrollBar* bar = window->list()->verticalScrollBar();
  ASSERT_EQ(bar->value(), 0);
  (void)memory.Mem_ReadMem("7F0");
  EXPECT_EQ(window->selectedRow(), 0x7F0);
  EXPECT_EQ(bar->value(), 0);
  memory.Mem_WriteMem("0400", "0000000000000001");
  EXPECT_EQ(window->selectedRow(), 0x400);
  EXPECT_EQ(bar->value(), 0);
  // The processor's selection does not load the editor.
  EXPECT_TRUE(window->addressField()->text().isEmpty());
  memory.Mem_Clear();
  EXPECT_EQ(window->selectedRow(), -1);
}

TEST_F(FrmMemTest, KeyboardMovesInTheListLoadTheEditorToo) {
  memory.Mem_WriteMem("031", "0000000000110001");
  window->selectRow(0x30);
  window->list()->setFocus();
  QTest::keyClick(window->list(), Qt::Key_Down);
  EXPECT_EQ(window->selectedRow(), 0x31);
  EXPECT_EQ(window->addressField()->text(), "031");
  EXPECT_EQ(window->valueField()->text(), "0031");
}

TEST_F(FrmMemTest, AClearedRowShowsNoMnemonicUntilItsWordIsWritten) {
  auto asmCell = [this](int address) {
    return window->model()->index(address, MemoryTableModel::kAsm).data().toString();
  };
  for (int a = 0; a < MainMemory::kWords; ++a) ASSERT_EQ(asmCell(a), "") << a;
  // Written from the editor, even with the cleared word's own value.
  window->selectRow(0x10);
  typeAndEnter(window->valueField(), "0");
  EXPECT_EQ(asmCell(0x10), "ISZ 000");
  EXPECT_EQ(asmCell(0x11), "");
  // Written by the processor's way in.
  memory.Mem_WriteMem("0011", "1111000000000000");
  EXPECT_EQ(asmCell(0x11), "HLT");
  // A comment alone writes no word.
  memory.SetComment(0x12, "данные");
  EXPECT_EQ(asmCell(0x12), "");
  // Selecting an unwritten row in mode Asm loads the empty mnemonic.
  setMode("Asm");
  window->selectRow(0x12);
  EXPECT_EQ(window->valueField()->text(), "");
  memory.Mem_Clear();
  EXPECT_EQ(asmCell(0x10), "");
  EXPECT_EQ(asmCell(0x11), "");
}

TEST_F(FrmMemTest, ADumpFillsTheMnemonicsOfTheRowsItLoads) {
  const std::string path = (dir.path() + "/three.vdmp").toStdString();
  {
    MainMemory source;
    source.SetRow(0, std::string(16, '0'), "");
    source.SetRow(1, "1111000000000000", "stop");
    ASSERT_TRUE(Mem_SaveDump(source, path).ok);
  }
  // A full dump writes every row, the zero words included.
  ASSERT_TRUE(Mem_LoadDump(memory, path).ok);
  const auto asmCell = [this](int address) {
    return window->model()->index(address, MemoryTableModel::kAsm).data().toString();
  };
  EXPECT_EQ(asmCell(0), "ISZ 000");
  EXPECT_EQ(asmCell(1), "HLT");
  EXPECT_EQ(asmCell(0x7FF), "ISZ 000");
  // A dump of two lines fills only its two rows of a cleared memory.
  memory.Mem_Clear();
  QFile two(QString::fromStdString(path));
  ASSERT_TRUE(two.open(QIODevice::WriteOnly | QIODevice::Truncate));
  two.write("0000\r\nF000\r\n");
  two.close();
  ASSERT_TRUE(Mem_LoadDump(memory, path).ok);
  EXPECT_EQ(asmCell(0), "ISZ 000");
  EXPECT_EQ(asmCell(1), "HLT");
  EXPECT_EQ(asmCell(2), "");
}
