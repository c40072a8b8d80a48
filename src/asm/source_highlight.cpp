#include "asm/source_highlight.h"

#include <string>

#include "asm/command_set.h"
#include "asm/source_text.h"

namespace vesk {

namespace {

bool IsWordByte(char c) { return IsNameCharacter(c) || static_cast<unsigned char>(c) >= 0x80; }

class Spans {
 public:
  void Add(std::size_t begin, std::size_t end, HighlightKind kind) {
    if (end > begin) spans_.push_back({begin, end - begin, kind});
  }
  std::vector<HighlightSpan> Take() { return std::move(spans_); }

 private:
  std::vector<HighlightSpan> spans_;
};

// Numbers, names (as labels) and operators of an operand or expression.
void Operand(std::string_view line, std::size_t from, std::size_t to, Spans& out) {
  std::size_t i = from;
  while (i < to) {
    if (IsBlank(line[i])) {
      ++i;
      continue;
    }
    if (IsWordByte(line[i])) {
      std::size_t j = i;
      while (j < to && IsWordByte(line[j])) ++j;
      const std::string_view word = line.substr(i, j - i);
      out.Add(i, j, IsHexNumber(word) ? HighlightKind::kNumber : HighlightKind::kLabel);
      i = j;
      continue;
    }
    out.Add(i, i + 1, HighlightKind::kOperator);
    ++i;
  }
}

bool IsDirective(const std::string& upper) {
  return upper == "ORG" || upper == "START" || upper == "EQU" || upper == "WORD";
}

bool IsRegister(std::string_view word) {
  static const char* const kNames[] = {"БР", "РД", "РК", "СК", "РА", "РС", "КР", "А", "С", "N", "Z",
                                       "PA", "PK", "CK", "PC", "KP", "A", "C", "P"};
  for (const char* n : kNames)
    if (word == n) return true;
  return false;
}

bool IsMicroKeyword(const std::string& upper) {
  static const char* const kWords[] = {"IF", "GOTO", "READ", "WRITE", "IO", "EI", "DI", "CLRFLAGS", "HLT", "NOP",
                                       "ROL", "ROR"};
  for (const char* w : kWords)
    if (upper == w) return true;
  return false;
}

void MicroOperation(std::string_view line, std::size_t from, std::size_t to, Spans& out) {
  std::size_t i = from;
  bool target = false;  // the word after GOTO
  while (i < to) {
    const char c = line[i];
    if (IsBlank(c)) {
      ++i;
      continue;
    }
    if (c == '[') {  // a code in brackets
      const std::size_t close = line.substr(0, to).find(']', i);
      const std::size_t end = close == std::string_view::npos ? to : close + 1;
      out.Add(i, end, HighlightKind::kNumber);
      i = end;
      continue;
    }
    if (IsWordByte(c)) {
      std::size_t j = i;
      while (j < to && IsWordByte(line[j])) ++j;
      const std::string_view word = line.substr(i, j - i);
      const std::string upper = AsciiUpper(word);
      HighlightKind kind = HighlightKind::kPlain;
      if (target) kind = IsHexNumber(word) && word.size() <= 2 ? HighlightKind::kNumber : HighlightKind::kLabel;
      else if (IsMicroKeyword(upper)) kind = HighlightKind::kKeyword;
      else if (IsRegister(word)) kind = HighlightKind::kRegister;
      else if (word.find_first_not_of("0123456789") == std::string_view::npos) kind = HighlightKind::kNumber;
      out.Add(i, j, kind);
      target = upper == "GOTO";
      i = j;
      continue;
    }
    std::size_t j = i + 1;
    if (c == ':' && j < to && line[j] == '=') ++j;
    out.Add(i, j, HighlightKind::kOperator);
    i = j;
  }
}

}  // namespace

std::vector<HighlightSpan> HighlightProgramLine(std::string_view line) {
  Spans out;
  const std::size_t first = SkipBlanks(line, 0);
  if (first < line.size() && line[first] == '#') {
    out.Add(first, line.size(), HighlightKind::kRemark);
    return out.Take();
  }
  const std::size_t semicolon = line.find(';');
  const std::size_t codeEnd = semicolon == std::string_view::npos ? line.size() : semicolon;
  std::size_t i = first;
  if (const std::size_t colon = line.substr(0, codeEnd).find(':'); colon != std::string_view::npos) {
    out.Add(i, colon + 1, HighlightKind::kLabel);
    i = colon + 1;
  }
  i = SkipBlanks(line, i);
  std::size_t j = i;
  while (j < codeEnd && IsWordByte(line[j])) ++j;
  if (j > i) {
    const std::string upper = AsciiUpper(line.substr(i, j - i));
    std::size_t k = SkipBlanks(line, j), e = k;
    while (e < codeEnd && IsWordByte(line[e])) ++e;
    if (AsciiUpper(line.substr(k, e - k)) == "EQU") {  // "name EQU value"
      out.Add(i, j, HighlightKind::kLabel);
      out.Add(k, e, HighlightKind::kDirective);
      j = e;
    } else {
      out.Add(i, j, IsDirective(upper) ? HighlightKind::kDirective
                    : FindCommand(upper) ? HighlightKind::kMnemonic
                                         : HighlightKind::kPlain);
    }
  }
  Operand(line, j, codeEnd, out);
  if (semicolon != std::string_view::npos) out.Add(semicolon, line.size(), HighlightKind::kComment);
  return out.Take();
}

std::vector<HighlightSpan> HighlightMicroLine(std::string_view line) {
  Spans out;
  const std::size_t first = SkipBlanks(line, 0);
  if (first < line.size() && line[first] == '#') {
    out.Add(first, line.size(), HighlightKind::kRemark);
    return out.Take();
  }
  std::size_t bars[3];
  std::size_t found = 0, at = 0;
  for (; found < 3; ++found) {
    const std::size_t b = line.find('|', at);
    if (b == std::string_view::npos) break;
    bars[found] = b;
    at = b + 1;
  }
  const std::size_t addressEnd = found > 0 ? bars[0] : line.size();
  Operand(line, 0, addressEnd, out);  // the address: digits
  if (found == 0) return out.Take();
  out.Add(bars[0], bars[0] + 1, HighlightKind::kOperator);
  const std::size_t labelEnd = found > 1 ? bars[1] : line.size();
  std::size_t lb = SkipBlanks(line, bars[0] + 1), le = labelEnd;
  while (le > lb && IsBlank(line[le - 1])) --le;
  out.Add(lb, le, HighlightKind::kLabel);
  if (found < 2) return out.Take();
  out.Add(bars[1], bars[1] + 1, HighlightKind::kOperator);
  MicroOperation(line, bars[1] + 1, found > 2 ? bars[2] : line.size(), out);
  if (found > 2) {
    out.Add(bars[2], bars[2] + 1, HighlightKind::kOperator);
    out.Add(bars[2] + 1, line.size(), HighlightKind::kComment);
  }
  return out.Take();
}

}  // namespace vesk
