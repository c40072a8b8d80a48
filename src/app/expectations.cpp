// The expectations file's reader: every key and value is checked before a
// run is judged by it.
#include "app/expectations.h"

#include <array>
#include <set>
#include <vector>

#include <nlohmann/json.hpp>

#include "memory/row_file.h"
#include "util/cp1251.h"
#include "util/text_file.h"

namespace vesk {

namespace {

using Json = nlohmann::json;

// The register and flag keys of vesk-run --json, in its order.
constexpr std::array<std::string_view, 13> kRegisterKeys = {"А",  "РД",  "РК",   "СК", "РА", "КР", "БР",
                                                            "РС", "РМК", "СчМК", "С",  "N",  "Z"};
constexpr std::size_t kFirstFlag = 10;  // С, N and Z hold one bit
constexpr std::int64_t kMostCommands = 1'000'000'000'000'000;

struct Bad {
  std::string what;
};

[[noreturn]] void Fail(std::string what) { throw Bad{std::move(what)}; }

std::string Quoted(const Json& v) {
  std::string s = v.dump(-1, ' ', false, Json::error_handler_t::replace);
  if (s.size() <= 40) return s;
  std::size_t cut = 37;  // not inside a character
  while (cut > 0 && (static_cast<unsigned char>(s[cut]) & 0xC0) == 0x80) --cut;
  return s.substr(0, cut) + "...";
}

std::string Key(std::string_view key) { return "«" + std::string(key) + "»"; }

// 1 to maxDigits hex digits of either case, as upper-case text.
std::string Hex(const Json& v, std::size_t maxDigits, const std::string& where) {
  const std::string digits = "1 to " + std::to_string(maxDigits) + " hex digits";
  if (!v.is_string()) Fail(where + ": must be a text of " + digits + ", not " + Quoted(v));
  const std::string s = v.get<std::string>();
  if (!IsHexDigits(s) || s.size() > maxDigits) Fail(where + ": must be " + digits + ", not " + Quoted(v));
  return UpperAscii(s);
}

int Bit(const Json& v, bool numberAllowed, const std::string& where) {
  if (v.is_string() && (v == "0" || v == "1")) return v == "1" ? 1 : 0;
  if (numberAllowed && v.is_number_integer() && (v == 0 || v == 1)) return v.get<int>();
  Fail(where + ": must be " + (numberAllowed ? "0 or 1" : "\"0\" or \"1\"") + ", not " + Quoted(v));
}

// An address key of 1 to maxDigits hex digits, at most highest.
int Address(const std::string& key, std::size_t maxDigits, int highest, const std::string& where,
            const std::string& range) {
  if (!IsHexDigits(key) || key.size() > maxDigits || std::stoi(key, nullptr, 16) > highest)
    Fail(where + " " + Key(key) + ": " + range);
  return std::stoi(key, nullptr, 16);
}

const Json& Object(const Json& v, const std::string& where) {
  if (!v.is_object()) Fail(where + ": must be an object, not " + Quoted(v));
  return v;
}

void ReadController(Expectations& e, const std::string& key, const Json& value) {
  const int address = Address(key, 2, 255, Key("controllers"), "a controller address is 00 to FF");
  const std::string where = Key("controllers") + " " + Key(key);
  Expectations::Controller c;
  for (auto it = Object(value, where).begin(); it != value.end(); ++it) {
    if (it.key() == "flag") c.flag = Bit(*it, true, where + " " + Key("flag"));
    else if (it.key() == "data") c.data = Hex(*it, 2, where + " " + Key("data"));
    else Fail(where + ": unknown key " + Key(it.key()) + " (a controller has \"flag\" and \"data\")");
  }
  e.controllers[address] = c;
}

std::string MonitorLines(const Json& v) {
  if (!v.is_string()) Fail(Key("monitor") + ": must be a text, not " + Quoted(v));
  std::string text = v.get<std::string>();
  // CR LF and CR alone end lines as LF does; blanks at line ends and a final
  // line end do not count, as the screen has none.
  std::string lines;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
      lines += '\n';
    } else {
      lines += text[i];
    }
  }
  std::string out;
  std::size_t begin = 0;
  for (;;) {
    const std::size_t end = lines.find('\n', begin);
    std::string line = lines.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
    while (!line.empty() && line.back() == ' ') line.pop_back();
    if (!out.empty() || begin > 0) out += '\n';
    out += line;
    if (end == std::string::npos) break;
    begin = end + 1;
  }
  while (!out.empty() && out.back() == '\n') out.pop_back();
  return out;
}

void Read(const Json& root, Expectations& e) {
  if (!root.is_object()) Fail("the file must hold one JSON object, not " + Quoted(root));
  std::array<std::optional<std::string>, kRegisterKeys.size()> registers;
  for (auto it = root.begin(); it != root.end(); ++it) {
    const std::string& key = it.key();
    const Json& v = *it;
    bool isRegister = false;
    for (std::size_t r = 0; r < kRegisterKeys.size(); ++r) {
      if (key != kRegisterKeys[r]) continue;
      isRegister = true;
      registers[r] = r >= kFirstFlag ? std::to_string(Bit(v, false, Key(key))) : Hex(v, 8, Key(key));
    }
    if (isRegister) continue;
    if (key == "memory") {
      for (auto w = Object(v, Key(key)).begin(); w != v.end(); ++w) {
        const int address = Address(w.key(), 3, 0x7FF, Key("memory"), "an address of main memory is 000 to 7FF");
        e.memory[address] = Hex(*w, 4, Key("memory") + " " + Key(w.key()));
      }
    } else if (key == "controllers") {
      for (auto c = Object(v, Key(key)).begin(); c != v.end(); ++c) ReadController(e, c.key(), *c);
    } else if (key == "monitor") {
      e.monitor = MonitorLines(v);
    } else if (key == "stopped") {
      if (!v.is_boolean()) Fail(Key(key) + ": must be true or false, not " + Quoted(v));
      e.stopped = v.get<bool>();
    } else if (key == "max_commands") {
      if (!v.is_number_integer() || v.get<std::int64_t>() < 0 || v.get<std::int64_t>() > kMostCommands)
        Fail(Key(key) + ": must be a whole number from 0 to " + std::to_string(kMostCommands) + ", not " + Quoted(v));
      e.maxCommands = v.get<std::int64_t>();
    } else {
      Fail("unknown key " + Key(key) +
           " (expected a register or flag as --json names it, \"memory\", \"controllers\", \"monitor\", "
           "\"stopped\" or \"max_commands\")");
    }
  }
  for (std::size_t r = 0; r < kRegisterKeys.size(); ++r)
    if (registers[r]) e.registers.push_back({std::string(kRegisterKeys[r]), *registers[r]});
}

}  // namespace

ExpectationsRead ParseExpectations(std::string_view text) {
  ExpectationsRead r;
  // A key given twice would leave only its last value: refused instead.
  std::vector<std::set<std::string>> keysAtDepth;
  std::string twice;
  const Json::parser_callback_t noRepeats = [&](int depth, Json::parse_event_t event, Json& parsed) {
    const auto d = static_cast<std::size_t>(depth);
    if (event == Json::parse_event_t::object_start) {
      if (keysAtDepth.size() <= d + 1) keysAtDepth.resize(d + 2);
      keysAtDepth[d + 1].clear();
    } else if (event == Json::parse_event_t::key && twice.empty()) {
      if (keysAtDepth.size() <= d) keysAtDepth.resize(d + 1);
      if (!keysAtDepth[d].insert(parsed.get<std::string>()).second) twice = parsed.get<std::string>();
    }
    return true;
  };
  Json root;
  try {
    root = Json::parse(text.begin(), text.end(), noRepeats);
  } catch (const Json::exception& e) {  // a syntax error, or a number too large for JSON
    std::string what = e.what();
    if (const auto p = what.find("] "); p != std::string::npos) what = what.substr(p + 2);
    // The message quotes what was last read, which may be cut inside a
    // character or not be UTF-8 at all.
    if (!IsValidUtf8(what))
      for (char& c : what)
        if (static_cast<unsigned char>(c) >= 0x80) c = '?';
    r.error = "not JSON: " + what;
    return r;
  }
  if (!twice.empty()) {
    r.error = "key " + Key(twice) + " is given twice";
    return r;
  }
  try {
    Read(root, r.expectations);
  } catch (const Bad& bad) {
    r.error = bad.what;
    r.expectations = {};
    return r;
  }
  r.ok = true;
  return r;
}

ExpectationsRead LoadExpectations(const std::string& path) {
  ExpectationsRead r;
  const FileBytes bytes = ReadFileBytes(path);
  if (!bytes.ok) {
    r.error = bytes.error;
    return r;
  }
  r = ParseExpectations(bytes.bytes);
  if (!r.ok) r.error = "expectations '" + path + "': " + r.error;
  return r;
}

}  // namespace vesk
