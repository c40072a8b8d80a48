#include "masm/micro_assembler.h"

#include <set>
#include <sstream>

#include "util/cp1251.h"

namespace vesk::masm {

namespace {

using std::string;
using std::string_view;

[[noreturn]] void Fail(const string& message) { throw std::invalid_argument(message); }

string WithoutBlanks(string_view s) {
  string out;
  for (char c : s)
    if (c != ' ' && c != '\t') out += c;
  return out;
}

bool StartsWith(string_view s, string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

// A register name with the Latin look-alikes A, C, P, K made Cyrillic.
string RegisterName(string_view token) {
  string out;
  for (char c : token) {
    switch (c) {
      case 'A': out += "А"; break;
      case 'C': out += "С"; break;
      case 'P': out += "Р"; break;
      case 'K': out += "К"; break;
      default: out += c; break;
    }
  }
  return out;
}

int Lookup(const string& name, std::initializer_list<std::pair<const char*, int>> table) {
  for (const auto& [n, v] : table)
    if (name == n) return v;
  return -1;
}

std::optional<int> DecimalNumber(string_view s) {
  if (s.empty() || s.size() > 2) return std::nullopt;
  int v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return std::nullopt;
    v = v * 10 + (c - '0');
  }
  return v;
}

// ---- control ----

std::uint16_t EncodeJump(int reg, int bit, int value, string_view target, const TargetResolver& resolve) {
  const auto address = resolve(target);
  if (!address) Fail("unknown jump target '" + string(target) + "'");
  return static_cast<std::uint16_t>(0x8000 | (value << 14) | (reg << 12) | (bit << 8) | *address);
}

std::uint16_t EncodeControl(const string& op, const TargetResolver& resolve) {
  if (StartsWith(op, "GOTO")) return EncodeJump(0, 3, 0, string_view(op).substr(4), resolve);
  // IF R.n=vGOTOtarget
  const std::size_t dot = op.find('.');
  const std::size_t eq = op.find('=');
  const std::size_t go = op.find("GOTO");
  if (dot == string::npos || eq == string::npos || go == string::npos || !(dot < eq && eq < go))
    Fail("expected 'IF R.n = v GOTO target'");
  const string reg = RegisterName(op.substr(2, dot - 2));
  const int code = Lookup(reg, {{"РС", 0}, {"РД", 1}, {"РК", 2}, {"А", 3}});
  if (code < 0) Fail("a jump tests РС, РД, РК or А, not '" + reg + "'");
  const auto bit = DecimalNumber(string_view(op).substr(dot + 1, eq - dot - 1));
  if (!bit || *bit > 15) Fail("bit number must be 0..15");
  const string value = op.substr(eq + 1, go - eq - 1);
  if (value != "0" && value != "1") Fail("a jump compares with 0 or 1");
  return EncodeJump(code, *bit, value == "1" ? 1 : 0, string_view(op).substr(go + 4), resolve);
}

// ---- adder (group 0) ----

struct Adder {
  int left = 0, right = 0, invert = 0, operation = 0, rotation = 0, memory = 0;
  bool sum = false;  // "БР := ..." given
  bool any = false;
};

void EncodeSum(const string& expr, Adder& a) {
  if (expr == "ROL" || expr == "ROR") {
    a.rotation = expr == "ROL" ? 2 : 1;
    return;
  }
  const bool isAnd = expr.find('&') != string::npos;
  if (isAnd && expr.find('+') != string::npos) Fail("'&' and '+' cannot be mixed");
  bool invertLeft = false, invertRight = false;
  int pendingInverted = 0;  // "~0" operands still to be given a side
  for (const string& raw : tools::SplitAt(expr, isAnd ? '&' : '+')) {
    if (raw.empty()) Fail("missing operand in '" + expr + "'");
    if (raw == "1" && !isAnd) {
      if (a.operation == 1) Fail("'+ 1' given twice");
      a.operation = 1;
      continue;
    }
    const bool inverted = raw[0] == '~';
    const string name = RegisterName(inverted ? raw.substr(1) : raw);
    if (name == "0") {
      if (inverted) ++pendingInverted;
      continue;
    }
    if (const int l = Lookup(name, {{"А", 1}, {"РС", 2}, {"КР", 3}}); l > 0) {
      if (a.left != 0) Fail("two left adder inputs");
      a.left = l;
      invertLeft = inverted;
    } else if (const int r = Lookup(name, {{"РД", 1}, {"РК", 2}, {"СК", 3}}); r > 0) {
      if (a.right != 0) Fail("two right adder inputs");
      a.right = r;
      invertRight = inverted;
    } else {
      Fail("'" + name + "' is not an adder input");
    }
  }
  for (; pendingInverted > 0; --pendingInverted) {
    if (a.left == 0 && !invertLeft && a.right != 0) invertLeft = true;
    else if (a.right == 0 && !invertRight && a.left != 0) invertRight = true;
    else if (a.left == 0 && !invertLeft) invertLeft = true;
    else if (a.right == 0 && !invertRight) invertRight = true;
    else Fail("no free adder input for '~0'");
  }
  if (invertLeft && invertRight) Fail("only one adder input can be inverted");
  a.invert = invertLeft ? 1 : invertRight ? 2 : 0;
  if (isAnd) a.operation = 2;
}

// ---- transfer (group 1) ----

struct Transfer {
  int ei = 0, di = 0, clearFlags = 0, io = 0, carry = 0, n = 0, z = 0, hlt = 0;
  std::set<string> destinations;
  bool any = false;
};

int DestinationCode(const std::set<string>& d) {
  if (d.empty()) return 0;
  if (d.size() == 1) {
    const int code = Lookup(*d.begin(), {{"РА", 1}, {"РД", 2}, {"РК", 3}, {"СК", 4}, {"А", 5}});
    if (code > 0) return code;
  }
  if (d == std::set<string>{"РА", "РД", "РК", "А"}) return 7;
  Fail("БР can go to one of РА, РД, РК, СК, А, or to РА, РД, РК and А together");
}

}  // namespace

std::uint16_t EncodeMicroOperation(std::string_view operation, const TargetResolver& resolve) {
  const string op = WithoutBlanks(operation);
  if (op.empty()) Fail("empty operation");
  if (StartsWith(op, "IF") || StartsWith(op, "GOTO")) return EncodeControl(op, resolve);

  Adder adder;
  Transfer transfer;
  for (const string& part : tools::SplitAt(op, ',')) {
    if (part.empty()) Fail("empty part in '" + op + "'");
    if (part == "READ" || part == "WRITE") {
      if (adder.memory != 0) Fail("one memory access per micro-command");
      adder.memory = part == "READ" ? 1 : 2;
      adder.any = true;
      continue;
    }
    if (part == "IO") { transfer.io = 1; transfer.any = true; continue; }
    if (part == "EI") { transfer.ei = 1; transfer.any = true; continue; }
    if (part == "DI") { transfer.di = 1; transfer.any = true; continue; }
    if (part == "CLRFLAGS") { transfer.clearFlags = 1; transfer.any = true; continue; }
    if (part == "HLT") { transfer.hlt = 1; transfer.any = true; continue; }
    const std::size_t assign = part.find(":=");
    if (assign == string::npos) Fail("unknown part '" + part + "'");
    const string target = RegisterName(part.substr(0, assign));
    const string source = part.substr(assign + 2);
    if (target == "БР") {
      if (adder.sum) Fail("БР is computed once per micro-command");
      EncodeSum(source, adder);
      adder.sum = adder.any = true;
    } else if (target == "С") {
      const int carry = RegisterName(source) == "БР.16" ? 1 : source == "0" ? 2 : source == "1" ? 3 : 0;
      if (carry == 0) Fail("С takes БР.16, 0 or 1");
      if (transfer.carry != 0) Fail("С is set once per micro-command");
      transfer.carry = carry;
      transfer.any = true;
    } else if (target == "N") {
      if (RegisterName(source) != "БР.15") Fail("N takes БР.15");
      transfer.n = 1;
      transfer.any = true;
    } else if (target == "Z") {
      if (RegisterName(source) != "БР=0") Fail("Z takes БР=0");
      transfer.z = 1;
      transfer.any = true;
    } else {
      if (RegisterName(source) != "БР") Fail(target + " can only take БР");
      if (Lookup(target, {{"РА", 1}, {"РД", 2}, {"РК", 3}, {"СК", 4}, {"А", 5}}) < 0)
        Fail("unknown register '" + target + "'");
      if (!transfer.destinations.insert(target).second) Fail(target + " given twice");
      transfer.any = true;
    }
  }
  if (adder.any && transfer.any) Fail("adder and transfer parts cannot share a micro-command");
  if (adder.any) {
    return static_cast<std::uint16_t>((adder.left << 12) | (adder.right << 8) | (adder.invert << 6) |
                                      (adder.operation << 4) | (adder.rotation << 2) | adder.memory);
  }
  const int destination = DestinationCode(transfer.destinations);
  if (transfer.hlt &&
      (transfer.ei || transfer.di || transfer.clearFlags || transfer.io || transfer.carry || transfer.n ||
       transfer.z || destination))
    Fail("HLT stands alone: with it the other transfer signals are not carried out");
  return static_cast<std::uint16_t>(0x4000 | (transfer.ei << 11) | (transfer.di << 10) | (transfer.clearFlags << 9) |
                                    (transfer.io << 8) | (transfer.carry << 6) | (transfer.n << 5) |
                                    (transfer.z << 4) | (transfer.hlt << 3) | destination);
}

MicroProgram AssembleMicroProgram(std::string_view source) {
  MicroProgram program;
  std::vector<string> errors;
  auto error = [&errors](int line, const string& message) {
    errors.push_back("line " + std::to_string(line) + ": " + message);
  };

  int previous = 0;
  int lineNumber = 0;
  for (const string& rawLine : tools::SplitAt(source, '\n')) {
    ++lineNumber;
    const string line = tools::Trim(rawLine);
    if (line.empty() || line[0] == '#') continue;
    const std::size_t p1 = line.find('|');
    const std::size_t p2 = p1 == string::npos ? p1 : line.find('|', p1 + 1);
    const std::size_t p3 = p2 == string::npos ? p2 : line.find('|', p2 + 1);
    if (p3 == string::npos) {
      error(lineNumber, "expected 'address | label | operation | comment'");
      continue;
    }
    const string addressText = tools::Trim(line.substr(0, p1));
    const auto address = addressText.size() == 2 ? tools::ParseHex(addressText) : std::nullopt;
    if (!address || *address < 1 || *address > MicroProgram::kWords) {
      error(lineNumber, "address must be two hex digits 01..FF, not '" + addressText + "'");
      continue;
    }
    if (*address <= previous) {
      error(lineNumber, "address " + addressText + " does not follow the previous one");
      continue;
    }
    previous = *address;
    MicroRow& row = program.rows[static_cast<std::size_t>(*address)];
    row.used = true;
    row.sourceLine = lineNumber;
    row.label = tools::Trim(line.substr(p1 + 1, p2 - p1 - 1));
    row.operation = tools::Trim(line.substr(p2 + 1, p3 - p2 - 1));
    row.comment = tools::Trim(line.substr(p3 + 1));
    if (!row.label.empty()) {
      if (!tools::IsIdentifier(row.label)) error(lineNumber, "label '" + row.label + "' must be letters, digits and '_'");
      else if (!program.labels.emplace(row.label, *address).second)
        error(lineNumber, "label '" + row.label + "' defined twice");
    }
    if (row.comment.empty()) error(lineNumber, "every micro-command needs a comment");
    else if (!IsCp1251Representable(row.comment)) error(lineNumber, "comment cannot be written in windows-1251");
  }

  const TargetResolver resolve = [&program](std::string_view target) -> std::optional<int> {
    if (const auto it = program.labels.find(string(target)); it != program.labels.end()) return it->second;
    if (target.size() == 2)
      if (const auto v = tools::ParseHex(target); v && *v >= 1 && *v <= MicroProgram::kWords) return v;
    return std::nullopt;
  };
  for (MicroRow& row : program.rows) {
    if (!row.used) continue;
    try {
      row.word = EncodeMicroOperation(row.operation, resolve);
    } catch (const std::invalid_argument& e) {
      error(row.sourceLine, e.what());
    }
  }
  if (!errors.empty()) throw AssemblyError(std::move(errors));
  return program;
}

std::string MicroProgramFileBytes(const MicroProgram& program) {
  string out;
  for (int address = 1; address <= MicroProgram::kWords; ++address) {
    const MicroRow& row = program.rows[static_cast<std::size_t>(address)];
    out += tools::HexText(row.word, 4);
    if (row.used) {
      if (!AppendUtf8AsCp1251(out, row.comment))
        throw AssemblyError({"line " + std::to_string(row.sourceLine) + ": comment not in windows-1251"});
    }
    out += "\r\n";
  }
  return out;
}

std::string MicroProgramMap(const MicroProgram& program) {
  std::ostringstream out;
  for (int address = 1; address <= MicroProgram::kWords; ++address) {
    const MicroRow& row = program.rows[static_cast<std::size_t>(address)];
    if (!row.label.empty()) {
      out << tools::HexText(address, 2) << "  " << row.label << "\n";
    }
  }
  return out.str();
}

}  // namespace vesk::masm
