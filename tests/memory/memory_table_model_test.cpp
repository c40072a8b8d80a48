#include "memory/memory_table_model.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QSignalSpy>

#include "memory/main_memory.h"

using namespace vesk;

TEST(MemoryTableModel, PassesTheModelTesterThroughWritesAndClear) {
  MainMemory memory;
  MemoryTableModel model(memory);
  QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
  EXPECT_EQ(model.rowCount(), 2048);
  EXPECT_EQ(model.columnCount(), 6);
  memory.Mem_WriteMem("7FF", "1111000000000000");
  memory.SetComment(3, "три");
  memory.Mem_Clear();
  EXPECT_EQ(model.rowCount(model.index(0, 0)), 0);
}

TEST(MemoryTableModel, HeadersAndRowTexts) {
  MainMemory memory;
  MemoryTableModel model(memory);
  const QStringList expected{"Адрес", "Hex", "Dec", "Bin", "Asm", "Комментарий"};
  for (int c = 0; c < 6; ++c) EXPECT_EQ(model.headerData(c, Qt::Horizontal).toString(), expected[c]);
  memory.Mem_WriteMem("010", "1000000000000000");
  memory.SetComment(0x10, "знак");
  auto text = [&](int row, int col) { return model.data(model.index(row, col)).toString(); };
  EXPECT_EQ(text(0x10, 0), "010");
  EXPECT_EQ(text(0x10, 1), "8000");
  EXPECT_EQ(text(0x10, 2), "32.768  ( -32.768)");
  EXPECT_EQ(text(0x10, 3), "1000.0000.0000.0000");
  EXPECT_EQ(text(0x10, 4), "BCS 000");
  EXPECT_EQ(text(0x10, 5), "знак");
  EXPECT_EQ(text(0x7FF, 0), "7FF");
}

TEST(MemoryTableModel, AWriteChangesExactlyItsRow) {
  MainMemory memory;
  MemoryTableModel model(memory);
  QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
  QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
  memory.Mem_WriteMem("123", "0000000000000001");
  ASSERT_EQ(changed.count(), 1);
  const auto from = changed[0][0].value<QModelIndex>();
  const auto to = changed[0][1].value<QModelIndex>();
  EXPECT_EQ(from.row(), 0x123);
  EXPECT_EQ(to.row(), 0x123);
  (void)memory.Mem_ReadMem("124");
  EXPECT_EQ(changed.count(), 1);  // a read changes no text
  memory.Mem_Clear();
  ASSERT_EQ(changed.count(), 2);
  EXPECT_EQ(changed[1][0].value<QModelIndex>().row(), 0);
  EXPECT_EQ(changed[1][1].value<QModelIndex>().row(), 2047);
  EXPECT_EQ(resets.count(), 0);
}
