#include "asm/program_assembler.h"

#include <optional>

#include "asm/command_set.h"
#include "asm/program_symbols.h"
#include "asm/source_text.h"
#include "util/cp1251.h"

namespace vesk {

namespace {

// A statement whose operand is worked out once every name is known.
struct Pending {
  SourceSpan operand;
  int address = -1;                   // -1 for START
  const CommandInfo* command = nullptr;  // nullptr for WORD and START
  std::string what;                   // the mnemonic or directive as written
};

class ProgramAssembler {
 public:
  ProgramAssembly Run(std::string_view source);

 private:
  void line(int number, std::string_view text);
  void statement(const SourceSpan& at, std::string_view word, const SourceSpan& operand);
  int emit(const SourceSpan& at);
  void encode(const Pending& p);
  void checkComment(int number, std::string_view text, std::size_t offset, std::string_view comment);
  void error(const SourceSpan& at, std::size_t byte, AsmErrorCode code, std::vector<std::string> args = {}) {
    errors_.Add(at.line, CharacterColumn(at.lineText, byte), code, std::move(args));
  }

  ProgramAssembly result_;
  AsmErrorList errors_;
  ProgramSymbols symbols_{errors_};
  std::vector<Pending> pending_;
  int next_ = 0;
  int startLine_ = 0;
  std::optional<int> firstCommand_;
  bool lineEmitted_ = false;  // the line's word got an address
  bool lineHasWord_ = false;  // the line has a WORD or a command
};

SourceSpan Span(int line, std::string_view text, std::size_t begin, std::size_t end) {
  return SourceSpan{line, text, begin, end - begin};
}

// [begin, end) without blanks at either end.
void TrimSpan(std::string_view text, std::size_t& begin, std::size_t& end) {
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
}

ProgramAssembly ProgramAssembler::Run(std::string_view source) {
  const std::vector<std::string_view> lines = SourceLines(source);
  symbols_.setDeferUndefined(true);
  for (std::size_t i = 0; i < lines.size() && !errors_.Full(); ++i) line(static_cast<int>(i) + 1, lines[i]);
  symbols_.setDeferUndefined(false);
  symbols_.ReportUndefined();
  for (const Pending& p : pending_) {
    if (errors_.Full()) break;
    encode(p);
  }
  symbols_.EvaluateAll();
  result_.labels = symbols_.Values();
  if (!startLine_) result_.start = firstCommand_.value_or(0);
  errors_.Sort();
  result_.errors = errors_.Take();
  return std::move(result_);
}

void ProgramAssembler::line(int number, std::string_view text) {
  if (const auto bad = FirstInvalidUtf8(text)) {
    errors_.Add(number, CharacterColumn(text, *bad), AsmErrorCode::kInvalidUtf8);
    return;
  }
  const std::size_t first = SkipBlanks(text, 0);
  if (first == text.size() || text[first] == '#') return;

  const std::size_t semicolon = text.find(';');
  const std::size_t codeEnd = semicolon == std::string_view::npos ? text.size() : semicolon;
  std::size_t begin = 0;
  lineEmitted_ = lineHasWord_ = false;

  std::string_view label;
  std::size_t labelBegin = 0;
  if (const std::size_t colon = text.substr(0, codeEnd).find(':'); colon != std::string_view::npos) {
    std::size_t b = 0, e = colon;
    TrimSpan(text, b, e);
    label = text.substr(b, e - b);
    labelBegin = b;
    begin = colon + 1;
    const SourceSpan at = Span(number, text, b, e);
    if (!IsLabelName(label)) {
      error(at, b, AsmErrorCode::kBadLabelName, {QuoteForMessage(label)});
      label = {};
    } else if (IsHexNumber(label)) {
      error(at, b, AsmErrorCode::kLabelLooksHex, {std::string(label)});
      label = {};
    }
  }

  std::size_t p = SkipBlanks(text, begin);
  std::string_view word;
  SourceSpan operand;
  if (p < codeEnd) {
    std::size_t q = p;
    while (q < codeEnd && IsNameCharacter(text[q])) ++q;
    if (q == p) {
      std::size_t e = codeEnd;
      TrimSpan(text, p, e);
      error(Span(number, text, p, e), p, AsmErrorCode::kUnexpectedText, {QuoteForMessage(text.substr(p, e - p))});
      return;
    }
    word = text.substr(p, q - p);
    std::size_t ob = q, oe = codeEnd;
    TrimSpan(text, ob, oe);
    operand = Span(number, text, ob, oe);
  }

  const std::string upper = AsciiUpper(word);
  const SourceSpan wordAt = Span(number, text, p, p + word.size());
  const SourceSpan labelAt = Span(number, text, labelBegin, labelBegin + label.size());
  if (upper == "EQU" && !label.empty()) {  // "name: EQU value"
    if (operand.length == 0) error(operand, operand.offset, AsmErrorCode::kOperandMissing, {std::string(word)});
    else symbols_.DefineEqu(label, labelAt, operand);
    label = {};
    word = {};
  }
  // ORG acts before the label on its line: "x: ORG 100" names address 100.
  if (upper == "ORG") statement(wordAt, word, operand);
  if (!label.empty()) symbols_.DefineLabel(label, next_, labelAt);
  if (!word.empty() && upper != "ORG") statement(wordAt, word, operand);

  if (semicolon == std::string_view::npos) return;
  const std::string_view rest = text.substr(semicolon + 1);
  const std::string_view comment = CommentAfterSeparator(rest);
  const std::size_t commentOffset = semicolon + 1 + (rest.size() - comment.size());
  if (!lineHasWord_) {
    if (!comment.empty()) errors_.Add(number, CharacterColumn(text, semicolon), AsmErrorCode::kCommentWithoutWord);
    return;
  }
  checkComment(number, text, commentOffset, comment);
}

void ProgramAssembler::checkComment(int number, std::string_view text, std::size_t offset, std::string_view comment) {
  if (!IsCp1251Representable(comment)) {
    const Cp1251Encoding e = Utf8ToCp1251(comment);
    errors_.Add(number, CharacterColumn(text, offset + e.errorOffset), AsmErrorCode::kCommentNotCp1251,
                {DescribeCharacter(e.errorChar)});
    return;
  }
  if (lineEmitted_)
    result_.words[static_cast<std::size_t>(next_ - 1)].comment = std::string(comment);
}

void ProgramAssembler::statement(const SourceSpan& at, std::string_view word, const SourceSpan& operand) {
  const std::string upper = AsciiUpper(word);
  const std::size_t afterWord = at.offset + word.size();
  // "name EQU value": the first word is the name.
  {
    const std::string_view rest = at.lineText.substr(operand.offset, operand.length);
    std::size_t q = 0;
    while (q < rest.size() && IsNameCharacter(rest[q])) ++q;
    if (AsciiUpper(rest.substr(0, q)) == "EQU" && (q == rest.size() || IsBlank(rest[q]) || rest[q] == '-')) {
      std::size_t b = operand.offset + q, e = operand.offset + operand.length;
      TrimSpan(at.lineText, b, e);
      const SourceSpan expression = Span(at.line, at.lineText, b, e);
      if (!IsLabelName(word)) error(at, at.offset, AsmErrorCode::kBadLabelName, {QuoteForMessage(word)});
      else if (IsHexNumber(word)) error(at, at.offset, AsmErrorCode::kLabelLooksHex, {std::string(word)});
      else if (expression.length == 0) error(expression, b, AsmErrorCode::kOperandMissing, {"EQU"});
      else symbols_.DefineEqu(word, at, expression);
      return;
    }
  }
  if (upper == "EQU") {
    error(at, at.offset, AsmErrorCode::kEquWithoutName);
    return;
  }
  if (upper == "ORG") {
    if (operand.length > 0 && at.lineText[operand.offset] == '(') {
      error(operand, operand.offset, AsmErrorCode::kIndirectNotAllowed, {std::string(word)});
      return;
    }
    const SourceSpan o = operand.length ? operand : Span(at.line, at.lineText, afterWord, afterWord);
    const auto v = symbols_.Evaluate(o, word);
    if (!v) return;
    if (*v < 0 || *v >= ProgramAssembly::kWords) {
      error(o, o.offset, AsmErrorCode::kAddressOutOfRange, {ValueText(*v)});
      return;
    }
    next_ = static_cast<int>(*v);
    return;
  }
  const SourceSpan o = operand.length ? operand : Span(at.line, at.lineText, afterWord, afterWord);
  if (upper == "START") {
    if (startLine_) {
      error(at, at.offset, AsmErrorCode::kStartTwice, {std::to_string(startLine_)});
      return;
    }
    startLine_ = at.line;
    pending_.push_back({o, -1, nullptr, std::string(word)});
    return;
  }
  lineHasWord_ = true;
  const CommandInfo* command = upper == "WORD" ? nullptr : FindCommand(upper);
  if (upper != "WORD" && !command) error(at, at.offset, AsmErrorCode::kUnknownMnemonic, {QuoteForMessage(word)});
  const int address = emit(at);
  if (address < 0 || (upper != "WORD" && !command)) return;
  if (command && !firstCommand_) firstCommand_ = address;
  pending_.push_back({o, address, command, std::string(word)});
}

// The address of the line's word, or -1 when there is no room for it.
int ProgramAssembler::emit(const SourceSpan& at) {
  if (next_ >= ProgramAssembly::kWords) {
    error(at, at.offset, AsmErrorCode::kPastEndOfMemory);
    return -1;
  }
  AssembledWord& w = result_.words[static_cast<std::size_t>(next_)];
  if (w.used) {
    error(at, at.offset, AsmErrorCode::kAddressFilledTwice, {HexText(next_, 3), std::to_string(w.line)});
    ++next_;
    return -1;
  }
  w.used = true;
  w.line = at.line;
  lineEmitted_ = true;
  return next_++;
}

void ProgramAssembler::encode(const Pending& p) {
  const std::string_view text = p.operand.lineText.substr(p.operand.offset, p.operand.length);
  const bool parenthesised = !text.empty() && text.front() == '(';
  if (p.address < 0) {  // START
    if (parenthesised) {
      error(p.operand, p.operand.offset, AsmErrorCode::kIndirectNotAllowed, {p.what});
      return;
    }
    const auto v = symbols_.Evaluate(p.operand, p.what);
    if (!v) return;
    if (*v < 0 || *v >= ProgramAssembly::kWords) {
      error(p.operand, p.operand.offset, AsmErrorCode::kAddressOutOfRange, {ValueText(*v)});
      return;
    }
    result_.start = static_cast<int>(*v);
    return;
  }
  std::uint16_t& word = result_.words[static_cast<std::size_t>(p.address)].word;
  const OperandKind kind = p.command ? p.command->operand : OperandKind::kController;
  if (p.command && kind == OperandKind::kNone) {
    if (!text.empty()) error(p.operand, p.operand.offset, AsmErrorCode::kOperandNotAllowed, {p.command->mnemonic});
    else word = p.command->code;
    return;
  }
  SourceSpan expression = p.operand;
  if (parenthesised) {
    if (!p.command || kind != OperandKind::kAddress) {
      error(p.operand, p.operand.offset, AsmErrorCode::kIndirectNotAllowed, {p.what});
      return;
    }
    if (text.back() != ')' || text.size() < 2) {
      error(p.operand, p.operand.offset + text.size(), AsmErrorCode::kMissingParen);
      return;
    }
    expression.offset += 1;
    expression.length -= 2;
  }
  const auto v = symbols_.Evaluate(expression, p.what);
  if (!v) return;
  if (!p.command) {  // WORD
    if (*v < -0x8000 || *v > 0xFFFF) {
      error(expression, expression.offset, AsmErrorCode::kValueOutOfRange, {ValueText(*v)});
      return;
    }
    word = static_cast<std::uint16_t>(*v & 0xFFFF);
    return;
  }
  if (kind == OperandKind::kController) {
    if (*v < 0 || *v > 0xFF) {
      error(expression, expression.offset, AsmErrorCode::kControllerOutOfRange, {ValueText(*v)});
      return;
    }
    word = static_cast<std::uint16_t>(p.command->code | *v);
    return;
  }
  if (*v < 0 || *v >= ProgramAssembly::kWords) {
    error(expression, expression.offset, AsmErrorCode::kAddressOutOfRange, {ValueText(*v)});
    return;
  }
  word = static_cast<std::uint16_t>(p.command->code | (parenthesised ? 0x0800 : 0) | *v);
}

}  // namespace

ProgramAssembly AssembleProgram(std::string_view source) { return ProgramAssembler().Run(source); }

}  // namespace vesk
