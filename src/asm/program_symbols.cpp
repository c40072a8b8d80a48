#include "asm/program_symbols.h"

#include "asm/source_text.h"

namespace vesk {

namespace {
constexpr int kMaxEquDepth = 100;
constexpr long long kEquLow = -0x8000, kEquHigh = 0xFFFF;
}  // namespace

std::string ValueText(long long value) {
  if (value < 0) {
    std::string text(1, '-');
    text += ValueText(-value);
    return text;
  }
  if (value > 0xFFFFFFF) return ">FFFFFFF";
  return HexText(static_cast<int>(value), 3);
}

void ProgramSymbols::error(const SourceSpan& at, std::size_t byte, AsmErrorCode code, std::vector<std::string> args) {
  errors_.Add(at.line, CharacterColumn(at.lineText, byte), code, std::move(args));
}

bool ProgramSymbols::define(std::string_view name, const SourceSpan& at, Symbol symbol) {
  if (const auto it = symbols_.find(name); it != symbols_.end()) {
    error(at, at.offset, AsmErrorCode::kDuplicateLabel, {std::string(name), std::to_string(it->second.at.line)});
    return false;
  }
  symbols_.emplace(std::string(name), std::move(symbol));
  return true;
}

void ProgramSymbols::DefineLabel(std::string_view name, int value, const SourceSpan& at) {
  define(name, at, Symbol{at, {}, State::kKnown, value});
}

void ProgramSymbols::DefineEqu(std::string_view name, const SourceSpan& at, const SourceSpan& expression) {
  define(name, at, Symbol{at, expression, State::kPending, 0});
}

std::optional<long long> ProgramSymbols::Evaluate(const SourceSpan& expression, std::string_view what) {
  return evaluate(expression, what, 0);
}

std::optional<long long> ProgramSymbols::resolve(const std::string& name, Symbol& symbol, int depth) {
  switch (symbol.state) {
    case State::kKnown: return symbol.value;
    case State::kFailed: return std::nullopt;
    case State::kBusy:
      error(symbol.at, symbol.at.offset, AsmErrorCode::kLabelLoop, {name});
      symbol.state = State::kFailed;
      return std::nullopt;
    case State::kPending: break;
  }
  if (depth > kMaxEquDepth) {
    error(symbol.at, symbol.at.offset, AsmErrorCode::kEquTooDeep, {name});
    symbol.state = State::kFailed;
    return std::nullopt;
  }
  symbol.state = State::kBusy;
  std::optional<long long> v = evaluate(symbol.expression, "EQU", depth + 1);
  if (v && (*v < kEquLow || *v > kEquHigh)) {
    error(symbol.expression, symbol.expression.offset, AsmErrorCode::kValueOutOfRange, {ValueText(*v)});
    v.reset();
  }
  if (symbol.state == State::kBusy) {
    symbol.state = v ? State::kKnown : State::kFailed;
    symbol.value = v.value_or(0);
  }
  return symbol.state == State::kKnown ? v : std::nullopt;
}

std::optional<long long> ProgramSymbols::evaluate(const SourceSpan& span, std::string_view what, int depth) {
  const std::string_view text = span.lineText.substr(span.offset, span.length);
  auto at = [&span](std::size_t i) { return span.offset + i; };
  std::size_t i = SkipBlanks(text, 0);
  long long total = 0;
  int sign = 1;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
    sign = text[i] == '-' ? -1 : 1;
    i = SkipBlanks(text, i + 1);
  }
  for (;;) {
    if (i == text.size()) {
      error(span, at(i), AsmErrorCode::kOperandMissing, {std::string(what)});
      return std::nullopt;
    }
    std::size_t j = i;
    while (j < text.size() && IsNameCharacter(text[j])) ++j;
    if (j == i) {
      error(span, at(i), AsmErrorCode::kExpectedValue, {QuoteForMessage(text.substr(i))});
      return std::nullopt;
    }
    const std::string_view atom = text.substr(i, j - i);
    long long value = 0;
    if (IsHexNumber(atom)) {
      if (atom.size() > 4) {
        error(span, at(i), AsmErrorCode::kNumberTooLong, {QuoteForMessage(atom)});
        return std::nullopt;
      }
      value = *HexValue(atom, 4);
    } else if (IsLabelName(atom)) {
      const auto it = symbols_.find(atom);
      if (it == symbols_.end()) {
        if (deferUndefined_) undefined_.push_back({std::string(atom), SourceSpan{span.line, span.lineText, at(i), 0}});
        else error(span, at(i), AsmErrorCode::kUnknownLabel, {QuoteForMessage(atom)});
        return std::nullopt;
      }
      const auto v = resolve(it->first, it->second, depth);
      if (!v) return std::nullopt;
      value = *v;
    } else {
      error(span, at(i), AsmErrorCode::kExpectedValue, {QuoteForMessage(atom)});
      return std::nullopt;
    }
    total += sign * value;
    i = SkipBlanks(text, j);
    if (i == text.size()) return total;
    if (text[i] != '+' && text[i] != '-') {
      error(span, at(i), AsmErrorCode::kUnexpectedText, {QuoteForMessage(text.substr(i))});
      return std::nullopt;
    }
    sign = text[i] == '-' ? -1 : 1;
    i = SkipBlanks(text, i + 1);
  }
}

void ProgramSymbols::ReportUndefined() {
  for (const Undefined& u : undefined_) {
    const bool later = symbols_.count(u.name) != 0;
    error(u.at, u.at.offset, later ? AsmErrorCode::kForwardReference : AsmErrorCode::kUnknownLabel,
          {QuoteForMessage(u.name)});
  }
  undefined_.clear();
}

void ProgramSymbols::EvaluateAll() {
  for (auto& [name, s] : symbols_)
    if (s.state == State::kPending) resolve(name, s, 0);
}

std::map<std::string, int> ProgramSymbols::Values() const {
  std::map<std::string, int> out;
  for (const auto& [name, s] : symbols_)
    if (s.state == State::kKnown) out.emplace(name, static_cast<int>(s.value));
  return out;
}

}  // namespace vesk
