#include "asm/program_assembler.h"

#include <optional>
#include <set>

#include "util/cp1251.h"
#include "format/bit_string.h"
#include "format/mnemonics.h"

namespace vesk::asmr {

namespace {

using std::string;
using std::string_view;

enum class Kind { Address, InputOutput, NoOperand };

const std::set<string> kAddressCommands{"ISZ", "AND", "JSR", "MOV", "ADD", "ADC", "SUB",
                                        "BCS", "BPL", "BMI", "BEQ", "BR"};
const std::set<string> kIOCommands{"CLF", "TSF", "IN", "OUT"};
const std::set<string> kNoOperandCommands{"HLT", "NOP", "CLA", "CLC", "CMA", "CMC",
                                          "ROL", "ROR", "INC", "DEC", "EI",  "DI"};

std::vector<string> Words(string_view s) {
  std::vector<string> out;
  string current;
  for (char c : s) {
    if (c == ' ' || c == '\t') {
      if (!current.empty()) out.push_back(std::move(current));
      current.clear();
    } else {
      current += c;
    }
  }
  if (!current.empty()) out.push_back(std::move(current));
  return out;
}

bool IsLabelName(string_view s) { return tools::IsIdentifier(s) && !tools::ParseHex(s); }

struct Line {
  int number = 0;
  int address = -1;  // of the word it emits, or -1
  string mnemonic;   // or "WORD"
  string operand;
  string comment;
};

}  // namespace

Program AssembleProgram(std::string_view source) {
  Program program;
  std::vector<string> errors;
  auto error = [&errors](int line, const string& message) {
    errors.push_back("line " + std::to_string(line) + ": " + message);
  };

  // Pass 1: addresses and labels.
  std::vector<Line> lines;
  int next = 0;
  int lineNumber = 0;
  std::size_t start = 0;
  while (start <= source.size()) {
    const std::size_t end = source.find('\n', start);
    const string raw = tools::Trim(source.substr(start, end == string_view::npos ? string_view::npos : end - start));
    start = end == string_view::npos ? source.size() + 1 : end + 1;
    ++lineNumber;
    if (raw.empty() || raw[0] == '#') continue;

    Line line;
    line.number = lineNumber;
    string code = raw;
    if (const std::size_t semicolon = raw.find(';'); semicolon != string::npos) {
      code = tools::Trim(raw.substr(0, semicolon));
      line.comment = tools::Trim(raw.substr(semicolon + 1));
    }
    if (const std::size_t colon = code.find(':'); colon != string::npos) {
      const string label = tools::Trim(code.substr(0, colon));
      code = tools::Trim(code.substr(colon + 1));
      if (!IsLabelName(label)) error(lineNumber, "'" + label + "' is not a label name (letters, digits, '_'; not a hex number)");
      else if (!program.labels.emplace(label, next).second) error(lineNumber, "label '" + label + "' defined twice");
    }
    const std::vector<string> words = Words(code);
    if (words.empty()) {
      if (!line.comment.empty()) error(lineNumber, "a comment without a word to carry it");
      continue;
    }
    if (words.size() > 2) {
      error(lineNumber, "one statement per line");
      continue;
    }
    line.mnemonic = words[0];
    line.operand = words.size() > 1 ? words[1] : "";
    if (line.mnemonic == "ORG") {
      const auto address = tools::ParseHex(line.operand);
      if (!address || *address >= Program::kWords) error(lineNumber, "ORG needs an address 000..7FF");
      else next = *address;
      if (!line.comment.empty()) error(lineNumber, "ORG emits no word to carry a comment");
      continue;
    }
    if (next >= Program::kWords) {
      error(lineNumber, "past the end of memory");
      continue;
    }
    if (program.words[static_cast<std::size_t>(next)].used) {
      error(lineNumber, "address " + tools::HexText(next, 3) + " is filled twice");
      ++next;
      continue;
    }
    if (line.comment.empty()) error(lineNumber, "every word needs a comment");
    else if (!IsCp1251Representable(line.comment)) error(lineNumber, "comment cannot be written in windows-1251");
    line.address = next;
    program.words[static_cast<std::size_t>(next)].used = true;
    program.words[static_cast<std::size_t>(next)].sourceLine = lineNumber;
    program.words[static_cast<std::size_t>(next)].comment = line.comment;
    ++next;
    lines.push_back(std::move(line));
  }

  // Pass 2: words.
  auto value = [&program](string_view text) -> std::optional<int> {
    bool negative = false;
    if (!text.empty() && text[0] == '-') {
      negative = true;
      text.remove_prefix(1);
    }
    int result = 0;
    const std::size_t sign = text.find_first_of("+-");
    const string_view base = text.substr(0, sign);
    if (const auto it = program.labels.find(string(base)); it != program.labels.end()) result = it->second;
    else if (const auto h = tools::ParseHex(base)) result = *h;
    else return std::nullopt;
    if (sign != string_view::npos) {
      const auto offset = tools::ParseHex(text.substr(sign + 1));
      if (!offset) return std::nullopt;
      result += text[sign] == '+' ? *offset : -*offset;
    }
    return negative ? -result : result;
  };

  for (const Line& line : lines) {
    ProgramWord& word = program.words[static_cast<std::size_t>(line.address)];
    string operand = line.operand;
    if (line.mnemonic == "WORD") {
      const auto v = value(operand);
      if (!v || *v < -0x8000 || *v > 0xFFFF) error(line.number, "WORD needs a 16-bit value, not '" + operand + "'");
      else word.word = static_cast<std::uint16_t>(*v & 0xFFFF);
      continue;
    }
    string text;
    if (kAddressCommands.count(line.mnemonic)) {
      bool indirect = false;
      if (operand.size() >= 2 && operand.front() == '(' && operand.back() == ')') {
        indirect = true;
        operand = operand.substr(1, operand.size() - 2);
      }
      const auto v = value(operand);
      if (!v || *v < 0 || *v > 0x7FF) {
        error(line.number, line.mnemonic + " needs an address 000..7FF, not '" + line.operand + "'");
        continue;
      }
      text = line.mnemonic + " " + tools::HexText(*v | (indirect ? 0x800 : 0), 3);
    } else if (kIOCommands.count(line.mnemonic)) {
      const auto v = tools::ParseHex(operand);
      if (!v || *v > 0xFF || operand.size() > 2) {
        error(line.number, line.mnemonic + " needs a controller 00..FF, not '" + operand + "'");
        continue;
      }
      text = line.mnemonic + " " + tools::HexText(*v, 2);
    } else if (kNoOperandCommands.count(line.mnemonic)) {
      if (!operand.empty()) {
        error(line.number, line.mnemonic + " takes no operand");
        continue;
      }
      text = line.mnemonic;
    } else {
      error(line.number, "unknown mnemonic '" + line.mnemonic + "'");
      continue;
    }
    const Word code = MnemonicToCode(text);
    if (code.size() != 4 || CodeToMnemonic(code) != text) {
      error(line.number, "'" + text + "' does not encode");
      continue;
    }
    word.word = static_cast<std::uint16_t>(HexToNum(code));
  }

  if (!errors.empty()) throw ProgramError(std::move(errors));
  return program;
}

std::string DumpFileBytes(const Program& program) {
  string out;
  out.reserve(Program::kWords * 16);
  for (const ProgramWord& word : program.words) {
    out += tools::HexText(word.word, 4);
    if (word.used) {
      if (!AppendUtf8AsCp1251(out, word.comment))
        throw ProgramError({"line " + std::to_string(word.sourceLine) + ": comment not in windows-1251"});
    }
    out += "\r\n";
  }
  return out;
}

}  // namespace vesk::asmr
