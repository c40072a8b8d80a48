// The state file's reader: every key and value is checked into a staging
// MachineState before anything else sees it.
#include <algorithm>
#include <iterator>
#include <utility>
#include <set>

#include <nlohmann/json.hpp>

#include "format/bit_string.h"
#include "format/number_text.h"
#include "io/controllers.h"
#include "memory/main_memory.h"
#include "memory/micro_memory.h"
#include "memory/row_file.h"
#include "memory/storable_comment.h"
#include "state/state_file.h"
#include "util/cp1251.h"
#include "util/text_file.h"

namespace vesk {

namespace {

using Json = nlohmann::json;

constexpr int kMaxPeriod = 1000000;  // as the main window's period fields allow
constexpr std::size_t kMaxRegisterBits = 32;

// A problem found while checking; the text names where it is.
struct Bad {
  std::string what;
};

[[noreturn]] void Fail(std::string what) { throw Bad{std::move(what)}; }

std::string Quoted(const Json& v) {
  std::string s = v.dump(-1, ' ', false, Json::error_handler_t::replace);
  if (s.size() > 40) {
    std::size_t cut = 37;
    while (cut > 0 && (static_cast<unsigned char>(s[cut]) & 0xC0) == 0x80) --cut;  // not inside a character
    s = s.substr(0, cut) + "...";
  }
  return s;
}

void OnlyKeys(const Json& object, std::initializer_list<std::string_view> known, const std::string& where) {
  for (auto it = object.begin(); it != object.end(); ++it)
    if (std::find(known.begin(), known.end(), it.key()) == known.end())
      Fail(where + "неизвестный ключ «" + it.key() + "»");
}

const Json& Need(const Json& object, const std::string& key, const std::string& where) {
  const auto it = object.find(key);
  if (it == object.end()) Fail(where + "нет ключа «" + key + "»");
  return *it;
}

std::string Text(const Json& v, const std::string& what) {
  if (!v.is_string()) Fail(what + " должно быть строкой, а не " + Quoted(v));
  return v.get<std::string>();
}

int Number(const Json& v, int low, int high, const std::string& what) {
  if (!v.is_number_integer() || v.get<std::int64_t>() < low || v.get<std::int64_t>() > high)
    Fail(what + " должно быть целым числом от " + std::to_string(low) + " до " + std::to_string(high) + ", а не " +
         Quoted(v));
  return static_cast<int>(v.get<std::int64_t>());
}

// Exactly `digits` hex digits of either case, as bits.
std::string HexWord(const Json& v, int digits, const std::string& what) {
  const std::string s = Text(v, what);
  if (s.size() != static_cast<std::size_t>(digits) || !IsHexDigits(s))
    Fail(what + " должно состоять из " + std::to_string(digits) + " шестнадцатеричных цифр, а не " + Quoted(v));
  return FitWidth(HexToBin(UpperAscii(s)), digits * 4).str();
}

std::string Comment(const Json& row, const std::string& where, bool storable) {
  const auto it = row.find("comment");
  if (it == row.end()) return {};
  std::string c = Text(*it, where + "«comment»");
  if (storable) {
    try {
      RequireStorableComment(c);
    } catch (const std::exception& e) {
      Fail(where + "«comment»: " + e.what());
    }
  }
  return c;
}

// Rows of an array in rising address order; fills `address` and returns the
// prefix for messages about that row.
template <class Row, class Read>
std::vector<Row> Rows(const Json& top, const std::string& key, Read read) {
  std::vector<Row> rows;
  const auto it = top.find(key);
  if (it == top.end()) return rows;
  if (!it->is_array()) Fail("«" + key + "» должно быть списком, а не " + Quoted(*it));
  int previous = -1;
  for (std::size_t i = 0; i < it->size(); ++i) {
    const Json& row = (*it)[i];
    const std::string where = key + ", строка " + std::to_string(i + 1) + ": ";
    if (!row.is_object()) Fail(where + "ожидался объект, а не " + Quoted(row));
    Row r = read(row, where);
    if (r.address <= previous) Fail(where + "адреса должны идти по возрастанию и не повторяться");
    previous = r.address;
    rows.push_back(std::move(r));
  }
  return rows;
}

int Address(const Json& row, const std::string& where, int digits, std::optional<int> (*parse)(std::string_view),
            const char* memoryName) {
  const std::string a = Text(Need(row, "address", where), where + "«address»");
  const auto value = a.size() == static_cast<std::size_t>(digits) ? parse(a) : std::nullopt;
  if (!value) Fail(where + "в " + memoryName + " нет адреса «" + a + "»");
  return *value;
}

// Breakpoints in rising order of kind, then address, each once.
std::vector<Breakpoint> ReadBreakpoints(const Json& top) {
  std::vector<Breakpoint> list;
  const auto it = top.find("breakpoints");
  if (it == top.end()) return list;
  if (!it->is_array()) Fail("«breakpoints» должно быть списком, а не " + Quoted(*it));
  constexpr BreakKind kKinds[] = {BreakKind::Command, BreakKind::Micro, BreakKind::MemoryWrite, BreakKind::Controller};
  for (std::size_t i = 0; i < it->size(); ++i) {
    const Json& row = (*it)[i];
    const std::string where = "breakpoints, строка " + std::to_string(i + 1) + ": ";
    if (!row.is_object()) Fail(where + "ожидался объект, а не " + Quoted(row));
    OnlyKeys(row, {"kind", "address", "enabled"}, where);
    const std::string kind = Text(Need(row, "kind", where), where + "«kind»");
    const auto known = std::find_if(std::begin(kKinds), std::end(kKinds),
                                    [&kind](BreakKind k) { return StateBreakKindName(k) == kind; });
    if (known == std::end(kKinds))
      Fail(where + "«kind» должно быть \"command\", \"micro\", \"memory\" или \"controller\", а не " +
           Quoted(row["kind"]));
    Breakpoint b{*known, 0, true};
    const std::string a = Text(Need(row, "address", where), where + "«address»");
    const std::size_t digits = b.kind == BreakKind::Command || b.kind == BreakKind::MemoryWrite ? 3 : 2;
    const auto address = a.size() == digits ? Breakpoints::ParseAddress(b.kind, a) : std::nullopt;
    if (!address)
      Fail(where + "«address» " + Quoted(row["address"]) + " не подходит: " +
           (digits == 3 ? "нужен адрес памяти от 000 до 7FF"
                        : b.kind == BreakKind::Micro ? "нужен адрес микропамяти от 01 до FF"
                                                     : "нужен адрес контроллера от 00 до FF"));
    b.address = *address;
    if (const auto e = row.find("enabled"); e != row.end()) {
      if (!e->is_boolean()) Fail(where + "«enabled» должно быть true или false, а не " + Quoted(*e));
      b.enabled = e->get<bool>();
    }
    if (!list.empty() && std::pair(list.back().kind, list.back().address) >= std::pair(b.kind, b.address))
      Fail(where + "точки останова должны идти по видам (command, micro, memory, controller) и адресам, без повторов");
    list.push_back(b);
  }
  return list;
}

MachineState Check(const Json& top) {
  if (!top.is_object()) Fail("это не файл состояния машины: ожидался объект JSON");
  const auto format = top.find("format");
  if (format == top.end() || *format != std::string(kStateFormatName))
    Fail("это не файл состояния машины Vesk (нет ключа «format» со значением \"vesk-state\")");
  const Json& version = Need(top, "version", "");
  if (!version.is_number_integer() || version.get<std::int64_t>() < 1)
    Fail("«version» должно быть номером формата, а не " + Quoted(version));
  if (version.get<std::int64_t>() > kStateFormatVersion)
    Fail("файл записан в формате " + version.dump() + ", а эта версия Vesk читает формат " +
         std::to_string(kStateFormatVersion) + " (нужна более новая версия)");
  OnlyKeys(top,
           {"format", "version", "start", "mode", "periods", "registers", "memory", "micro_memory", "controllers",
            "breakpoints"},
           "");

  MachineState s;
  const std::string start = Text(Need(top, "start", ""), "«start»");
  const auto startAddress = start.size() == 3 ? MainMemory::ParseAddress(start) : std::nullopt;
  if (!startAddress) Fail("«start» должно быть адресом памяти от 000 до 7FF, а не " + Quoted(top["start"]));
  s.start = MainMemory::AddressText(*startAddress);

  const std::string mode = Text(Need(top, "mode", ""), "«mode»");
  if (mode != "short" && mode != "full") Fail("«mode» должно быть \"short\" или \"full\", а не " + Quoted(top["mode"]));
  s.mode = mode == "full" ? 1 : 2;

  const Json& periods = Need(top, "periods", "");
  if (!periods.is_array() || periods.size() != 3)
    Fail("«periods» должно быть списком из трёх длительностей, а не " + Quoted(periods));
  for (std::size_t i = 0; i < 3; ++i)
    s.periods[i] = Number(periods[i], 0, kMaxPeriod, "«periods», длительность " + std::to_string(i + 1) + ",");
  if (s.periods == std::array<int, 3>{0, 0, 0}) Fail("«periods»: все три длительности равны нулю");

  const Json& registers = Need(top, "registers", "");
  if (!registers.is_object()) Fail("«registers» должно быть объектом, а не " + Quoted(registers));
  for (auto it = registers.begin(); it != registers.end(); ++it)
    if (std::find(kStateRegisterNames.begin(), kStateRegisterNames.end(), it.key()) == kStateRegisterNames.end())
      Fail("«registers»: неизвестный регистр «" + it.key() + "»");
  for (std::size_t i = 0; i < kStateRegisterNames.size(); ++i) {
    const std::string name(kStateRegisterNames[i]);
    const std::string what = "«registers», «" + name + "»";
    const std::string v = Text(Need(registers, name, "«registers»: "), what);
    if (name == "СчМК") {
      if (v.size() != 2 || !IsHexDigits(v)) Fail(what + " должно быть двумя шестнадцатеричными цифрами, а не " + Quoted(v));
      s.registers[i] = UpperAscii(v);
      continue;
    }
    const std::size_t width = name == "БР" ? 17 : (name == "РМК" ? 16 : 0);
    const bool ok = width ? IsBitString(v, width) : (!v.empty() && v.size() <= kMaxRegisterBits && IsBitString(v, v.size()));
    if (!ok)
      Fail(what + " должно быть строкой из " + (width ? std::to_string(width) : "1–32") +
           " двоичных разрядов, а не " + Quoted(v));
    s.registers[i] = v;
  }

  s.memory = Rows<MachineState::MemoryRow>(top, "memory", [](const Json& row, const std::string& where) {
    OnlyKeys(row, {"address", "word", "comment"}, where);
    MachineState::MemoryRow r;
    r.address = Address(row, where, 3, &MainMemory::ParseAddress, "памяти");
    if (const auto w = row.find("word"); w != row.end()) r.word = HexWord(*w, 4, where + "«word»");
    r.comment = Comment(row, where, true);
    return r;
  });
  s.microMemory = Rows<MachineState::MicroRow>(top, "micro_memory", [](const Json& row, const std::string& where) {
    OnlyKeys(row, {"address", "word", "comment"}, where);
    MachineState::MicroRow r;
    r.address = Address(row, where, 2, &MicroMemory::ParseAddress, "микропамяти");
    r.word = HexWord(Need(row, "word", where), 4, where + "«word»");
    r.comment = Comment(row, where, true);
    return r;
  });
  s.controllers = Rows<MachineState::ControllerRow>(top, "controllers", [](const Json& row, const std::string& where) {
    OnlyKeys(row, {"address", "flag", "data", "device", "comment"}, where);
    MachineState::ControllerRow r;
    r.address = Address(row, where, 2, &Controllers::ParseAddress, "контроллерах");
    r.flag = Number(Need(row, "flag", where), 0, 1, where + "«flag»");
    r.data = HexWord(Need(row, "data", where), 2, where + "«data»");
    r.device = Text(Need(row, "device", where), where + "«device»");
    if (r.device != kNoDevice && r.device != kDeviceMonitor && r.device != kDeviceKeyboard &&
        r.device != kDeviceNetAdapter)
      Fail(where + "«device» должно быть \" - \", \"Monitor\", \"Keyboard\" или \"Net adapter\", а не " +
           Quoted(row["device"]));
    r.comment = Comment(row, where, false);
    return r;
  });
  s.breakpoints = ReadBreakpoints(top);
  return s;
}

// Line and column of a byte offset, for the parser's complaints.
std::string Position(std::string_view text, std::size_t byte) {
  byte = std::min(byte, text.size());
  std::size_t line = 1, column = 1;
  for (std::size_t i = 0; i < byte; ++i) {
    if (text[i] == '\n') {
      ++line;
      column = 1;
    } else if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
      ++column;
    }
  }
  return "в строке " + std::to_string(line) + ", столбце " + std::to_string(column);
}

}  // namespace

StateRead ParseStateText(std::string_view text) {
  StateRead r;
  Json top;
  try {
    top = Json::parse(text.begin(), text.end());
  } catch (const Json::parse_error& e) {
    const std::size_t byte = e.byte == 0 ? 0 : e.byte - 1;
    r.error = byte >= text.size() ? "файл обрывается " + Position(text, byte)
                                  : "это не JSON: ошибка " + Position(text, byte);
    return r;
  } catch (const Json::exception&) {
    // The parser's other refusal: a number too large for any number type.
    r.error = "в файле есть число, слишком большое для JSON";
    return r;
  }
  try {
    r.state = Check(top);
    r.ok = true;
  } catch (const Bad& bad) {
    r.error = bad.what;
  }
  return r;
}

StateRead LoadStateFile(const std::string& fileName) {
  StateRead r;
  const FileBytes bytes = ReadFileBytes(fileName);
  if (!bytes.ok) {
    r.error = bytes.error;
    return r;
  }
  r = ParseStateText(bytes.bytes);
  if (!r.ok) r.error = "Не удаётся загрузить состояние '" + fileName + "': " + r.error;
  return r;
}

}  // namespace vesk
