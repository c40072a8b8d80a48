#include "memory/dump_dialogs.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QFile>
#include <QTemporaryDir>

#include "app/machine.h"
#include "support/bound_socket.h"
#include "widgets/scripted_dialogs.h"
#include "memory/frm_mem.h"

using namespace vesk;
using vesk::testing::ScriptedDialogs;

namespace {

class DumpDialogsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    machine.memory.Mem_WriteMem("000", "0000000000000001");
    machine.memory.SetComment(0, "первое");
  }
  QString path(const QString& name) const { return dir.path() + "/" + name; }
  QByteArray readFile(const QString& name) {
    QFile f(path(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }
  void writeFile(const QString& name, const QByteArray& bytes) {
    QFile f(path(name));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
  }

  QTemporaryDir dir;
  Machine machine;
  ScriptedDialogs dialogs;
};

}  // namespace

TEST_F(DumpDialogsTest, ClearAsksAndNoKeepsValuesAndComments) {
  dialogs.answers = {false};
  EXPECT_FALSE(ClearMemoryWithQuestion(machine.memory, dialogs, nullptr));
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].title, "Обнуление памяти...");
  EXPECT_EQ(dialogs.shown[0].text, "Вы действительно хотите обнулить память?");
  EXPECT_EQ(dialogs.shown[0].icon, Dialogs::Icon::Question);
  EXPECT_EQ(machine.memory.HexText(0), "0001");
  EXPECT_EQ(machine.memory.Comment(0), "первое");
  dialogs.answers = {true};
  EXPECT_TRUE(ClearMemoryWithQuestion(machine.memory, dialogs, nullptr));
  EXPECT_EQ(machine.memory.HexText(0), "0000");
  EXPECT_EQ(machine.memory.Comment(0), "");
}

TEST_F(DumpDialogsTest, LoadCancelledDoesNothingAndAFailureIsShown) {
  dialogs.files = {""};
  EXPECT_FALSE(LoadDumpWithDialog(machine.memory, dialogs, nullptr));
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].kind, "open");
  EXPECT_EQ(dialogs.shown[0].title, "Загрузить дамп...");
  EXPECT_EQ(dialogs.shown[0].text, "Дамп Vesk (*.vdmp);;Все файлы (*.*)");
  dialogs.files = {path("missing.vdmp")};
  EXPECT_FALSE(LoadDumpWithDialog(machine.memory, dialogs, nullptr));
  ASSERT_EQ(dialogs.shown.size(), 3u);
  EXPECT_EQ(dialogs.shown[2].kind, "tell");
  EXPECT_EQ(dialogs.shown[2].icon, Dialogs::Icon::Warning);
  // Said in Russian, the system's reason too.
  EXPECT_EQ(dialogs.shown[2].text, QStringLiteral("Дамп не загружен.\nНе удаётся открыть '") + path("missing.vdmp") +
                                       QStringLiteral("': нет такого файла или каталога"));
  EXPECT_EQ(machine.memory.HexText(0), "0001");
}

TEST_F(DumpDialogsTest, LoadReadsTheChosenFile) {
  writeFile("d.vdmp", "00ffабв\r\n");
  dialogs.files = {path("d.vdmp")};
  EXPECT_TRUE(LoadDumpWithDialog(machine.memory, dialogs, nullptr));
  EXPECT_EQ(machine.memory.HexText(0), "00FF");
}

TEST_F(DumpDialogsTest, SaveAsksOnlyForAnExistingFileAndNoWritesNothing) {
  dialogs.files = {""};
  EXPECT_FALSE(SaveDumpWithDialog(machine.memory, dialogs, nullptr));
  EXPECT_EQ(dialogs.shown.back().title, "Сохранить дамп...");
  EXPECT_EQ(dialogs.shown.back().kind, "save");

  dialogs.files = {path("new.vdmp")};
  EXPECT_TRUE(SaveDumpWithDialog(machine.memory, dialogs, nullptr));
  EXPECT_EQ(dialogs.shown.back().kind, "save");
  const QByteArray saved = readFile("new.vdmp");
  EXPECT_EQ(saved.count("\r\n"), 2048);
  EXPECT_TRUE(saved.startsWith("0001\xEF\xE5\xF0\xE2\xEE\xE5\r\n0000\r\n"));

  writeFile("old.vdmp", "old");
  dialogs.files = {path("old.vdmp")};
  dialogs.answers = {false};
  EXPECT_FALSE(SaveDumpWithDialog(machine.memory, dialogs, nullptr));
  EXPECT_EQ(readFile("old.vdmp"), "old");
  EXPECT_EQ(dialogs.shown.back().title, "Сохранение дампа...");
  EXPECT_EQ(dialogs.shown.back().text, "Такой файл уже существует!\nПерезаписать?");
  EXPECT_EQ(dialogs.shown.back().icon, Dialogs::Icon::Warning);

  dialogs.files = {path("old.vdmp")};
  dialogs.answers = {true};
  EXPECT_TRUE(SaveDumpWithDialog(machine.memory, dialogs, nullptr));
  EXPECT_EQ(readFile("old.vdmp"), saved);
}

TEST_F(DumpDialogsTest, TheMemoryWindowOffersTheSameCommands) {
  frmMem window(machine.memory, path("cfg.ini").toStdString(), &dialogs);
  machine.memory.Mem_WriteMem("001", "0000000000000010");
  dialogs.answers = {false};
  EXPECT_FALSE(window.ClearMemory());
  EXPECT_EQ(machine.memory.HexText(1), "0002");
  dialogs.files = {path("w.vdmp")};
  EXPECT_TRUE(window.SaveDump());
  dialogs.answers = {true};
  EXPECT_TRUE(window.ClearMemory());
  dialogs.files = {path("w.vdmp")};
  EXPECT_TRUE(window.LoadDump());
  EXPECT_EQ(machine.memory.HexText(1), "0002");
}

// A save never replaces what is not a regular file: a socket stays a socket,
// and the window says why nothing was saved.
TEST_F(DumpDialogsTest, ASaveOverASocketIsRefusedWithAMessage) {
  const std::string target = path("s.vdmp").toStdString();
  const vesk::testing::BoundSocket socket(target);
  ASSERT_TRUE(socket.ok());
  dialogs.files = {path("s.vdmp")};
  dialogs.answers = {true};  // "Перезаписать?" if asked
  EXPECT_FALSE(SaveDumpWithDialog(machine.memory, dialogs, nullptr));
  ASSERT_FALSE(dialogs.shown.empty());
  EXPECT_EQ(dialogs.shown.back().kind, "tell");
  EXPECT_EQ(dialogs.shown.back().icon, Dialogs::Icon::Warning);
  EXPECT_TRUE(dialogs.shown.back().text.contains("это сокет"))
      << dialogs.shown.back().text.toStdString();
  struct stat st {};
  ASSERT_EQ(::lstat(target.c_str(), &st), 0);
  EXPECT_TRUE(S_ISSOCK(st.st_mode));
}
