#include "state/state_file.h"

#include <gtest/gtest.h>

#include "app/machine.h"
#include "app/machine_owners.h"
#include "support/temp_dir.h"
#include "util/cp1251.h"

namespace vesk {
namespace {

using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

// A machine a lab might hand out: a program with comments, a changed
// micro-program, devices on controllers and registers mid-way.
void Prepare(Machine& m) {
  m.memory.SetRow(0x000, "0000000000000101", "начало: А := 5");
  m.memory.SetRow(0x020, "1111000000000000", "");
  m.memory.SetComment(0x7FF, "только комментарий \"в кавычках\" \\ и слэш");
  m.microMemory.SetRow(0x01, "0001000000000010", "выборка");
  m.microMemory.SetRow(0xFF, "1000000000000001", "");
  m.controllers.SetDevice(Controllers::RowOfAddress(0x05), kDeviceMonitor);
  m.controllers.Reg_Set_Data("05", "01000001");
  m.controllers.SetFlagOfRow(Controllers::RowOfAddress(0x00), 1);
  m.controllers.SetComment(Controllers::RowOfAddress(0x10), "клавиатура стенда");
  m.controllers.SetDevice(Controllers::RowOfAddress(0x10), kDeviceKeyboard);
  m.processor.Reg_Set_A("01000001");  // as IN leaves it: eight bits
  m.processor.Reg_Set_CommandCounter("0000000000010100");
  m.processor.Reg_Set_Buffer("10000000000000010");
  m.processor.Reg_Set_State("0000000000100011");  // С, Z and the interrupt request
  m.processor.Micro_Reg_Set_Command("0001000000000010");
  m.processor.Micro_Reg_Set_CommandCounter("1F");
  m.processor.MODE = 1;
  m.runControl.SetIntervals(5, 0, 300);
  m.breakpoints.Set(BreakKind::Command, 0x01A);
  m.breakpoints.Set(BreakKind::Micro, 0x1A, false);
  m.breakpoints.Set(BreakKind::MemoryWrite, 0x020);
  m.breakpoints.Set(BreakKind::Controller, 0x05);
}

std::string Text(const MachineState& s) {
  std::string text, error;
  EXPECT_TRUE(StateFileText(s, text, error)) << error;
  return text;
}

MachineState Capture(Machine& m, std::string_view start = "01a") {
  const auto s = CaptureState(OwnersOf(m), start);
  EXPECT_TRUE(s.has_value());
  return s.value_or(MachineState{});
}

TEST(StateFile, RoundTripRestoresEveryOwnerAndGivesTheSameBytes) {
  Machine a;
  Prepare(a);
  const MachineState saved = Capture(a);
  const std::string text = Text(saved);

  const StateRead read = ParseStateText(text);
  ASSERT_TRUE(read.ok) << read.error;
  EXPECT_EQ(read.state, saved);

  Machine b;
  b.memory.SetRow(0x100, "1111111111111111", "стирается");
  b.controllers.SetDevice(Controllers::RowOfAddress(0x30), kDeviceNetAdapter);
  ApplyState(read.state, OwnersOf(b));
  EXPECT_EQ(Text(Capture(b)), text);

  EXPECT_EQ(b.memory.Value(0x000), "0000000000000101");
  EXPECT_EQ(b.memory.Comment(0x000), "начало: А := 5");
  EXPECT_FALSE(b.memory.Written(0x7FF));
  EXPECT_EQ(b.memory.AsmText(0x7FF), "");
  EXPECT_EQ(b.memory.Comment(0x7FF), "только комментарий \"в кавычках\" \\ и слэш");
  EXPECT_FALSE(b.memory.Written(0x100));
  EXPECT_EQ(b.memory.Comment(0x100), "");
  EXPECT_EQ(b.microMemory.Value(0xFF), "1000000000000001");
  EXPECT_EQ(b.microMemory.Comment(0x01), "выборка");
  EXPECT_EQ(b.microMemory.Key(0x01), "new_cmd");
  EXPECT_EQ(b.controllers.Device(Controllers::RowOfAddress(0x05)), kDeviceMonitor);
  EXPECT_EQ(b.controllers.Data(Controllers::RowOfAddress(0x05)), "01000001");
  EXPECT_EQ(b.controllers.Flag(Controllers::RowOfAddress(0x00)), 1);
  EXPECT_EQ(b.controllers.Device(Controllers::RowOfAddress(0x30)), kNoDevice);
  EXPECT_EQ(b.devices.KeyboardRow(), Controllers::RowOfAddress(0x10));
  EXPECT_EQ(b.processor.Reg_Get_A(), "01000001");
  EXPECT_EQ(b.processor.Reg_Get_Buffer(), "10000000000000010");
  EXPECT_EQ(b.processor.Micro_Reg_Get_CommandCounter(), "1F");
  EXPECT_EQ(b.processor.Reg_Get_Z(), "1");
  EXPECT_TRUE(b.processor.InterruptButtonPressed());
  EXPECT_EQ(b.processor.MODE, 1);
  EXPECT_EQ(b.runControl.Interval(1), 5);
  EXPECT_EQ(b.runControl.Interval(3), 300);
  EXPECT_EQ(read.state.start, "01A");
  EXPECT_EQ(b.breakpoints.All(), a.breakpoints.All());
  EXPECT_FALSE(b.breakpoints.Enabled(BreakKind::Micro, 0x1A));
  EXPECT_TRUE(b.breakpoints.Has(BreakKind::Micro, 0x1A));
}

TEST(StateFile, FileIsReadableJsonWithHexWordsAndOneRowALine) {
  Machine m;
  Prepare(m);
  const std::string text = Text(Capture(m));
  EXPECT_NE(text.find("\"format\": \"vesk-state\",\n  \"version\": 1,"), std::string::npos) << text;
  EXPECT_NE(text.find("\n    {\"address\":\"020\",\"word\":\"F000\"},\n"), std::string::npos) << text;
  EXPECT_NE(text.find("{\"address\":\"7FF\",\"comment\":"), std::string::npos) << text;
  EXPECT_NE(text.find("{\"address\":\"05\",\"flag\":0,\"data\":\"41\",\"device\":\"Monitor\"}"), std::string::npos);
  EXPECT_NE(text.find("\"mode\": \"full\""), std::string::npos);
  EXPECT_NE(text.find("\"periods\": [5,0,300]"), std::string::npos);
  EXPECT_NE(text.find("\"А\":\"01000001\""), std::string::npos);
  EXPECT_NE(text.find("  \"breakpoints\": [\n    {\"kind\":\"command\",\"address\":\"01A\"},\n"
                      "    {\"kind\":\"micro\",\"address\":\"1A\",\"enabled\":false},\n"
                      "    {\"kind\":\"memory\",\"address\":\"020\"},\n"
                      "    {\"kind\":\"controller\",\"address\":\"05\"}\n  ]\n}\n"),
            std::string::npos)
      << text;
}

TEST(StateFile, SaveLoadSaveThroughFilesGivesTheSameBytes) {
  TempDir dir;
  Machine a;
  Prepare(a);
  ASSERT_TRUE(SaveStateFile(Capture(a), dir / "lab.vstate").ok);
  const StateRead read = LoadStateFile(dir / "lab.vstate");
  ASSERT_TRUE(read.ok) << read.error;
  Machine b;
  ApplyState(read.state, OwnersOf(b));
  ASSERT_TRUE(SaveStateFile(Capture(b), dir / "again.vstate").ok);
  EXPECT_EQ(ReadBytes(dir / "lab.vstate"), ReadBytes(dir / "again.vstate"));
  // A fresh machine round-trips too.
  Machine fresh;
  ASSERT_TRUE(SaveStateFile(Capture(fresh, ""), dir / "fresh.vstate").ok);
  const StateRead empty = LoadStateFile(dir / "fresh.vstate");
  ASSERT_TRUE(empty.ok) << empty.error;
  EXPECT_TRUE(empty.state.memory.empty());
  EXPECT_EQ(empty.state.start, "000");
}

TEST(StateFile, CaptureRefusesAStartAddressOutsideMemory) {
  Machine m;
  EXPECT_FALSE(CaptureState(OwnersOf(m), "800").has_value());
  EXPECT_FALSE(CaptureState(OwnersOf(m), "xyz").has_value());
}

TEST(StateFile, LoadingDevicesNeitherPrintsNorLosesTheirDataRegisters) {
  Machine a;
  a.controllers.SetDevice(Controllers::RowOfAddress(0x05), kDeviceMonitor);
  a.controllers.Reg_Set_Data("05", "01000001");  // prints one 'A'
  const MachineState s = Capture(a);
  Machine b;
  b.controllers.SetDevice(Controllers::RowOfAddress(0x05), kDeviceMonitor);
  ApplyState(s, OwnersOf(b));
  const Machine untouched;
  EXPECT_EQ(a.monitor.CursorColumn(), untouched.monitor.CursorColumn() + 1);  // the 'A' printed
  EXPECT_EQ(b.monitor.CursorColumn(), untouched.monitor.CursorColumn());
  EXPECT_EQ(b.monitor.CursorRow(), untouched.monitor.CursorRow());
  EXPECT_EQ(b.controllers.Data(Controllers::RowOfAddress(0x05)), "01000001");
}

// Each bad file is refused with a reason that names what is wrong.
TEST(StateFile, BadFilesAreRefusedNamingTheProblem) {
  Machine m;
  Prepare(m);
  const std::string good = Text(Capture(m));
  auto replaced = [&good](const std::string& from, const std::string& to) {
    const auto at = good.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    std::string t = good;
    return at == std::string::npos ? t : t.replace(at, from.size(), to);
  };
  const struct {
    std::string text;
    std::string reason;
  } cases[] = {
      {"", "обрывается"},
      {good.substr(0, good.size() / 2), "обрывается"},
      {"{\"format\":\"vesk-state\",,}", "не JSON: ошибка в строке 1, столбце 24"},
      {"[1,2]", "ожидался объект"},
      // A long value is cut in a message, never inside a character.
      {replaced("\"mode\": \"full\"", "\"mode\": \"xаааааааааааааааааааааааааааа\""), "«mode» должно быть"},
      {"{\"format\":\"vesk-state\",\"periods\":[1E400]}", "число, слишком большое"},
      {"{\"periods\":[2000000000000E000000000100000000000 1]}", "число, слишком большое"},
      {"{\"version\":1}", "не файл состояния"},
      {replaced("\"version\": 1", "\"version\": 2"), "в формате 2"},
      {replaced("\"version\": 1", "\"version\": \"1\""), "«version»"},
      {replaced("  \"mode\": \"full\",\n", ""), "нет ключа «mode»"},
      {replaced("\"mode\"", "\"moda\""), "неизвестный ключ «moda»"},
      {replaced("\"start\": \"01A\"", "\"start\": \"01A\", \"extra\": 1"), "неизвестный ключ «extra»"},
      {replaced("\"start\": \"01A\"", "\"start\": \"800\""), "«start»"},
      {replaced("\"full\"", "\"fast\""), "«mode»"},
      {replaced("[5,0,300]", "[0,0,0]"), "равны нулю"},
      {replaced("[5,0,300]", "[5,0,-1]"), "длительность 3"},
      {replaced("[5,0,300]", "[5,0]"), "трёх"},
      {replaced("\"А\":\"01000001\"", "\"А\":\"0100002\""), "«А»"},
      {replaced("\"А\":\"01000001\"", "\"Б\":\"01000001\""), "неизвестный регистр «Б»"},
      {replaced("\"СчМК\":\"1F\"", "\"СчМК\":\"1FF\""), "«СчМК»"},
      {replaced("\"БР\":\"10000000000000010\"", "\"БР\":\"0000000000000010\""), "«БР»"},
      {replaced("\"word\":\"F000\"", "\"word\":\"F00G\""), "memory, строка 2: «word»"},
      {replaced("\"word\":\"F000\"", "\"word\":\"F0000\""), "«word»"},
      {replaced("{\"address\":\"020\"", "{\"address\":\"000\""), "по возрастанию"},
      {replaced("{\"address\":\"020\"", "{\"address\":\"800\""), "нет адреса «800»"},
      {replaced("{\"address\":\"020\"", "{\"address\":\"20\""), "нет адреса «20»"},
      {replaced("{\"address\":\"FF\"", "{\"address\":\"00\""), "в микропамяти нет адреса «00»"},
      {replaced("\"comment\":\"выборка\"", "\"comment\":\"вы\\nборка\""), "перевод строки"},
      {replaced("\"comment\":\"выборка\"", "\"comment\":\"中\""), "U+4E2D"},
      {replaced("\"device\":\"Monitor\"", "\"device\":\"Printer\""), "«device»"},
      {replaced("\"flag\":1", "\"flag\":2"), "«flag»"},
      {replaced("\"flag\":1", "\"flag\":true"), "«flag»"},
      {replaced("\"data\":\"41\"", "\"data\":\"141\""), "«data»"},
      {replaced("{\"address\":\"020\"", "7, {\"address\":\"020\""), "ожидался объект"},
      {replaced("\"device\":\"Monitor\"", "\"device\":\"Monitor\",\"colour\":1"), "неизвестный ключ «colour»"},
      {std::string("{\"format\":\"vesk-state\",\"start\":\"\xff\"}"), "не JSON"},
      {replaced("\"kind\":\"micro\"", "\"kind\":\"step\""), "breakpoints, строка 2: «kind»"},
      {replaced("\"kind\":\"micro\",\"address\":\"1A\"", "\"kind\":\"micro\",\"address\":\"00\""),
       "адрес микропамяти от 01 до FF"},
      {replaced("\"kind\":\"command\",\"address\":\"01A\"", "\"kind\":\"command\",\"address\":\"1A\""),
       "адрес памяти от 000 до 7FF"},
      {replaced("\"kind\":\"memory\",\"address\":\"020\"", "\"kind\":\"memory\",\"address\":\"800\""),
       "«address» \"800\""},
      {replaced("\"enabled\":false", "\"enabled\":0"), "«enabled»"},
      {replaced("{\"kind\":\"controller\",\"address\":\"05\"}", "{\"kind\":\"command\",\"address\":\"005\"}"),
       "строка 4: точки останова должны идти по видам"},
      {replaced("{\"kind\":\"micro\",\"address\":\"1A\",\"enabled\":false}", "{\"kind\":\"command\",\"address\":\"01A\"}"),
       "строка 2: точки останова должны идти по видам"},
      {replaced("\"kind\":\"controller\",\"address\":\"05\"", "\"kind\":\"controller\",\"address\":\"05\",\"when\":1"),
       "неизвестный ключ «when»"},
  };
  Machine fresh;
  const std::string empty = Text(Capture(fresh));
  auto emptyWith = [&empty](const std::string& from, const std::string& to) {
    std::string t = empty;
    const auto at = t.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? t : t.replace(at, from.size(), to);
  };
  const struct {
    std::string text;
    std::string reason;
  } more[] = {
      {emptyWith("\"memory\": []", "\"memory\": {}"), "«memory» должно быть списком"},
      {emptyWith("\"breakpoints\": []", "\"breakpoints\": [{\"kind\":\"micro\"}]"), "нет ключа «address»"},
      {emptyWith("\"breakpoints\": []", "\"breakpoints\": 5"), "«breakpoints» должно быть списком"},
      {emptyWith("\"micro_memory\": []", "\"micro_memory\": [{\"address\":\"01\"}]"), "нет ключа «word»"},
      {emptyWith("\"controllers\": []", "\"controllers\": [{\"address\":\"01\",\"flag\":0}]"), "нет ключа «data»"},
  };
  for (const auto& c : more) {
    const StateRead r = ParseStateText(c.text);
    EXPECT_FALSE(r.ok) << c.text;
    EXPECT_NE(r.error.find(c.reason), std::string::npos) << "wanted '" << c.reason << "' in: " << r.error;
  }
  for (const auto& c : cases) {
    const StateRead r = ParseStateText(c.text);
    EXPECT_FALSE(r.ok) << c.text;
    EXPECT_NE(r.error.find(c.reason), std::string::npos) << "wanted '" << c.reason << "' in: " << r.error;
    EXPECT_TRUE(IsValidUtf8(r.error)) << r.error;
  }
}

TEST(StateFile, ReaderTakesHandWrittenFilesWithLowerCaseHexAndByteOrderMark) {
  const std::string text =
      "\xEF\xBB\xBF{\"version\":1,\"format\":\"vesk-state\",\"start\":\"1ff\",\"mode\":\"short\",\"periods\":[1,2,3],"
      "\"registers\":{\"А\":\"0\",\"РД\":\"0\",\"РК\":\"0\",\"СК\":\"0\",\"РА\":\"0\",\"КР\":\"0\","
      "\"БР\":\"00000000000000000\",\"РС\":\"0\",\"РМК\":\"0000000000000000\",\"СчМК\":\"0a\"},"
      "\"memory\":[{\"address\":\"1ff\",\"word\":\"abcd\"}]}";
  const StateRead r = ParseStateText(text);
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(r.state.start, "1FF");
  EXPECT_EQ(r.state.registers[9], "0A");
  ASSERT_EQ(r.state.memory.size(), 1u);
  EXPECT_EQ(r.state.memory[0].address, 0x1FF);
  EXPECT_EQ(*r.state.memory[0].word, "1010101111001101");
}

TEST(StateFile, FileErrorsNameTheFileAndSaveRefusesAFolder) {
  TempDir dir;
  const StateRead missing = LoadStateFile(dir / "none.vstate");
  EXPECT_FALSE(missing.ok);
  EXPECT_NE(missing.error.find("none.vstate"), std::string::npos);
  WriteBytes(dir / "bad.vstate", "{");
  const StateRead bad = LoadStateFile(dir / "bad.vstate");
  EXPECT_NE(bad.error.find("Не удаётся загрузить состояние '" + (dir / "bad.vstate") + "': файл обрывается"),
            std::string::npos)
      << bad.error;

  Machine m;
  std::filesystem::create_directory(dir / "folder.vstate");
  const FileResult saved = SaveStateFile(Capture(m), dir / "folder.vstate");
  EXPECT_FALSE(saved.ok);
  EXPECT_FALSE(saved.error.empty());
  EXPECT_TRUE(std::filesystem::is_directory(dir / "folder.vstate"));
}

TEST(StateFile, CommentThatIsNotUtf8IsRefusedOnSave) {
  MachineState s;
  s.registers = {"0", "0", "0", "0", "0", "0", "00000000000000000", "0", "0000000000000000", "01"};
  s.controllers.push_back({0x07, 0, "00000000", std::string(kNoDevice), "\xff\xfe"});
  std::string text, error;
  EXPECT_FALSE(StateFileText(s, text, error));
  EXPECT_NE(error.find("UTF-8"), std::string::npos);
}

}  // namespace
}  // namespace vesk
