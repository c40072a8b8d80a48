// The way from the text of a micro-command to its vertical word.
#include <set>
#include <string>
#include <vector>

#include "asm/micro_operation.h"
#include "asm/source_text.h"

namespace vesk {

namespace {

enum class Kind { kName, kAssign, kPlus, kAmpersand, kTilde, kComma, kDot, kEquals, kOpen, kClose, kOther };

struct Token {
  Kind kind;
  std::size_t begin, end;  // bytes of the line
};

// The longest operation without repeated parts has fewer than 50 tokens.
constexpr std::size_t kMaxTokens = 100;

// Letters (Latin and Cyrillic), digits and '_' make names; ":=" is one token.
// After kMaxTokens the rest of the text is one kOther token.
std::vector<Token> Tokenize(const SourceSpan& span) {
  std::vector<Token> tokens;
  const std::string_view line = span.lineText;
  const std::size_t end = span.offset + span.length;
  std::size_t i = span.offset;
  while (i < end) {
    if (tokens.size() == kMaxTokens) {
      tokens.push_back({Kind::kOther, i, end});
      break;
    }
    const char c = line[i];
    if (IsBlank(c)) {
      ++i;
      continue;
    }
    if (IsNameCharacter(c) || static_cast<unsigned char>(c) >= 0x80) {
      std::size_t j = i;
      while (j < end && (IsNameCharacter(line[j]) || static_cast<unsigned char>(line[j]) >= 0x80)) ++j;
      tokens.push_back({Kind::kName, i, j});
      i = j;
      continue;
    }
    Kind kind = Kind::kOther;
    std::size_t length = 1;
    switch (c) {
      case ':':
        if (i + 1 < end && line[i + 1] == '=') kind = Kind::kAssign, length = 2;
        break;
      case '+': kind = Kind::kPlus; break;
      case '&': kind = Kind::kAmpersand; break;
      case '~': kind = Kind::kTilde; break;
      case ',': kind = Kind::kComma; break;
      case '.': kind = Kind::kDot; break;
      case '=': kind = Kind::kEquals; break;
      case '[': kind = Kind::kOpen; break;
      case ']': kind = Kind::kClose; break;
      default: break;
    }
    tokens.push_back({kind, i, i + length});
    i += length;
  }
  return tokens;
}

// A register name in the form the notation compares: upper case, with the
// Latin letters A, C, P, K that look like Cyrillic ones made Cyrillic.
std::string RegisterName(std::string_view token) {
  std::string out;
  for (std::size_t i = 0; i < token.size(); ++i) {
    char c = token[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    switch (c) {
      case 'A': out += "А"; continue;
      case 'C': out += "С"; continue;
      case 'P': out += "Р"; continue;
      case 'K': out += "К"; continue;
      default: break;
    }
    // Cyrillic small letters а-я (D0 B0-BF, D1 80-8F) to capitals (D0 90-AF).
    const unsigned char u = static_cast<unsigned char>(c);
    if (i + 1 < token.size() && (u == 0xD0 || u == 0xD1)) {
      const unsigned char t = static_cast<unsigned char>(token[i + 1]);
      if (u == 0xD0 && t >= 0xB0 && t <= 0xBF) {
        out += static_cast<char>(0xD0);
        out += static_cast<char>(t - 0x20);
        ++i;
        continue;
      }
      if (u == 0xD1 && t >= 0x80 && t <= 0x8F) {
        out += static_cast<char>(0xD0);
        out += static_cast<char>(t + 0x20);
        ++i;
        continue;
      }
    }
    out += c;
  }
  return out;
}

constexpr const char* kLeftNames[] = {"", "А", "РС", "КР"};
constexpr const char* kRightNames[] = {"", "РД", "РК", "СК"};

int Index(const std::string& name, std::initializer_list<const char*> names) {
  int i = 0;
  for (const char* n : names) {
    if (name == n) return i;
    ++i;
  }
  return -1;
}

class OperationParser {
 public:
  OperationParser(const SourceSpan& span, const JumpTargetResolver& resolve, AsmErrorList& errors)
      : span_(span), resolve_(resolve), errors_(errors), tokens_(Tokenize(span)) {}

  std::optional<std::uint16_t> Parse();

 private:
  struct Failed {};

  std::string_view text(const Token& t) const { return span_.lineText.substr(t.begin, t.end - t.begin); }
  std::string_view text(std::size_t from, std::size_t to) const {  // tokens [from, to)
    if (from >= to) return {};
    return span_.lineText.substr(tokens_[from].begin, tokens_[to - 1].end - tokens_[from].begin);
  }
  std::string keyword(const Token& t) const { return t.kind == Kind::kName ? AsciiUpper(text(t)) : std::string(); }
  [[noreturn]] void fail(std::size_t byte, AsmErrorCode code, std::vector<std::string> args = {}) {
    errors_.Add(span_.line, CharacterColumn(span_.lineText, byte), code, std::move(args));
    throw Failed{};
  }
  [[noreturn]] void failAt(std::size_t token, AsmErrorCode code, std::vector<std::string> args = {}) {
    fail(token < tokens_.size() ? tokens_[token].begin : span_.offset + span_.length, code, std::move(args));
  }
  bool is(std::size_t i, Kind kind) const { return i < end_ && tokens_[i].kind == kind; }

  std::uint16_t control();
  int jumpTarget(std::size_t i);
  void part(std::size_t from, std::size_t to);
  void assignment(std::size_t from, std::size_t to);
  void adder(std::size_t from, std::size_t to);
  void signal(std::size_t at, int& field);
  // "БР.16"-like sources: tokens [from, to) must spell exactly the given pieces.
  bool spells(std::size_t from, std::size_t to, std::initializer_list<const char*> pieces) const;
  std::uint16_t word();

  const SourceSpan& span_;
  const JumpTargetResolver& resolve_;
  AsmErrorList& errors_;
  std::vector<Token> tokens_;
  std::size_t end_ = 0;  // tokens of the operation, without the code in brackets

  // Adder (group 0).
  int left_ = 0, right_ = 0, invert_ = 0, operation_ = 0, rotation_ = 0, memory_ = 0;
  bool adderGiven_ = false, bufferGiven_ = false;
  std::size_t adderAt_ = 0;
  // Transfer (group 1).
  int ei_ = 0, di_ = 0, clearFlags_ = 0, io_ = 0, carry_ = 0, sign_ = 0, zero_ = 0, hlt_ = 0;
  std::set<std::string> destinations_;
  bool transferGiven_ = false;
  std::size_t transferAt_ = 0, hltAt_ = 0;
};

std::optional<std::uint16_t> OperationParser::Parse() {
  try {
    end_ = tokens_.size();
    std::optional<std::uint16_t> code;
    // "... [hhhh]": the exact word among those of the same effect.
    for (std::size_t i = 0; i < tokens_.size(); ++i) {
      if (tokens_[i].kind != Kind::kOpen) continue;
      const std::string_view rest = text(i, tokens_.size());
      if (i + 3 != tokens_.size() || tokens_[i + 1].kind != Kind::kName || tokens_[i + 2].kind != Kind::kClose ||
          text(tokens_[i + 1]).size() != 4 || !IsHexNumber(text(tokens_[i + 1])))
        failAt(i, AsmErrorCode::kCodeFormat, {QuoteForMessage(rest)});
      code = static_cast<std::uint16_t>(*HexValue(text(tokens_[i + 1]), 4));
      end_ = i;
      break;
    }
    if (end_ == 0) failAt(0, AsmErrorCode::kOperationMissing);
    const std::string first = keyword(tokens_[0]);
    std::uint16_t w;
    if (first == "IF" || first == "GOTO") {
      w = control();
    } else {
      std::size_t from = 0;
      for (std::size_t i = 0; i <= end_; ++i) {
        if (i < end_ && tokens_[i].kind != Kind::kComma) continue;
        if (i == from) failAt(i, AsmErrorCode::kEmptyPart);
        part(from, i);
        from = i + 1;
        if (i + 1 == end_) failAt(i, AsmErrorCode::kEmptyPart);
      }
      w = word();
    }
    if (code) {
      const std::uint16_t canonical = CanonicalMicroWord(*code);
      if (canonical != CanonicalMicroWord(w))
        failAt(end_, AsmErrorCode::kCodeMismatch, {HexText(*code, 4), MicroOperationText(canonical)});
      w = *code;
    }
    return w;
  } catch (const Failed&) {
    return std::nullopt;
  }
}

// IF R.n = v GOTO target | GOTO target
std::uint16_t OperationParser::control() {
  for (std::size_t i = 0; i < end_; ++i)
    if (tokens_[i].kind == Kind::kComma) failAt(i, AsmErrorCode::kJumpNotAlone);
  if (keyword(tokens_[0]) == "GOTO") {
    if (end_ > 2) failAt(2, AsmErrorCode::kUnexpectedText, {QuoteForMessage(text(2, end_))});
    return static_cast<std::uint16_t>(0x8300 | jumpTarget(1));
  }
  static constexpr Kind kShape[] = {Kind::kName, Kind::kDot,  Kind::kName, Kind::kEquals,
                                    Kind::kName, Kind::kName, Kind::kName};
  for (std::size_t i = 1; i < 8; ++i)
    if (!is(i, kShape[i - 1])) failAt(i, AsmErrorCode::kJumpSyntax);
  if (keyword(tokens_[6]) != "GOTO") failAt(6, AsmErrorCode::kJumpSyntax);
  if (end_ > 8) failAt(8, AsmErrorCode::kUnexpectedText, {QuoteForMessage(text(8, end_))});
  const std::string reg = RegisterName(text(tokens_[1]));
  const int code = Index(reg, {"РС", "РД", "РК", "А"});
  if (code < 0) failAt(1, AsmErrorCode::kJumpRegister, {QuoteForMessage(text(tokens_[1]))});
  const std::string_view bitText = text(tokens_[3]);
  int bit = -1;
  if (bitText.size() <= 2 && bitText.find_first_not_of("0123456789") == std::string_view::npos)
    bit = std::stoi(std::string(bitText));
  if (bit < 0 || bit > 15) failAt(3, AsmErrorCode::kBitNumber, {QuoteForMessage(bitText)});
  const std::string_view value = text(tokens_[5]);
  if (value != "0" && value != "1") failAt(5, AsmErrorCode::kCompareValue, {QuoteForMessage(value)});
  return static_cast<std::uint16_t>(0x8000 | ((value == "1") << 14) | (code << 12) | (bit << 8) | jumpTarget(7));
}

int OperationParser::jumpTarget(std::size_t i) {
  if (!is(i, Kind::kName)) failAt(i, AsmErrorCode::kJumpSyntax);
  const std::string_view target = text(tokens_[i]);
  if (resolve_)
    if (const auto address = resolve_(target)) return *address;
  if (const auto v = HexValue(target, 2)) return *v;
  if (IsLabelName(target)) failAt(i, AsmErrorCode::kUnknownLabel, {QuoteForMessage(target)});
  failAt(i, AsmErrorCode::kJumpTarget, {QuoteForMessage(target)});
}

void OperationParser::signal(std::size_t at, int& field) {
  if (field) failAt(at, AsmErrorCode::kSignalTwice, {std::string(text(tokens_[at]))});
  field = 1;
  if (!transferGiven_) transferAt_ = tokens_[at].begin;
  transferGiven_ = true;
}

void OperationParser::part(std::size_t from, std::size_t to) {
  if (to - from == 1 && tokens_[from].kind == Kind::kName) {
    const std::string k = keyword(tokens_[from]);
    if (k == "READ" || k == "WRITE") {
      if (memory_) failAt(from, AsmErrorCode::kMemoryTwice);
      memory_ = k == "READ" ? 1 : 2;
      if (!adderGiven_) adderAt_ = tokens_[from].begin;
      adderGiven_ = true;
      return;
    }
    if (k == "IO") return signal(from, io_);
    if (k == "EI") return signal(from, ei_);
    if (k == "DI") return signal(from, di_);
    if (k == "CLRFLAGS") return signal(from, clearFlags_);
    if (k == "HLT") {
      hltAt_ = tokens_[from].begin;
      return signal(from, hlt_);
    }
    if (k == "NOP") return;
  }
  if (to - from >= 2 && tokens_[from].kind == Kind::kName && tokens_[from + 1].kind == Kind::kAssign)
    return assignment(from, to);
  failAt(from, AsmErrorCode::kUnknownPart, {QuoteForMessage(text(from, to))});
}

bool OperationParser::spells(std::size_t from, std::size_t to, std::initializer_list<const char*> pieces) const {
  if (to - from != pieces.size()) return false;
  std::size_t i = from;
  for (const char* piece : pieces) {
    const std::string_view t = text(tokens_[i++]);
    if (tokens_[i - 1].kind == Kind::kName ? RegisterName(t) != piece : t != piece) return false;
  }
  return true;
}

void OperationParser::assignment(std::size_t from, std::size_t to) {
  const std::string target = RegisterName(text(tokens_[from]));
  const std::size_t value = from + 2;
  const std::string source = QuoteForMessage(text(value, to));
  auto transfer = [this, from] {
    if (!transferGiven_) transferAt_ = tokens_[from].begin;
    transferGiven_ = true;
  };
  if (target == "БР") {
    if (bufferGiven_) failAt(from, AsmErrorCode::kBufferTwice);
    bufferGiven_ = true;
    if (!adderGiven_) adderAt_ = tokens_[from].begin;
    adderGiven_ = true;
    return adder(value, to);
  }
  if (target == "С") {
    int carry = 0;
    if (spells(value, to, {"БР", ".", "16"})) carry = 1;
    else if (spells(value, to, {"0"})) carry = 2;
    else if (spells(value, to, {"1"})) carry = 3;
    else failAt(value, AsmErrorCode::kCarryValue, {source});
    if (carry_) failAt(from, AsmErrorCode::kCarryTwice);
    carry_ = carry;
    return transfer();
  }
  if (target == "N") {
    if (!spells(value, to, {"БР", ".", "15"})) failAt(value, AsmErrorCode::kSignValue, {source});
    if (sign_) failAt(from, AsmErrorCode::kSignalTwice, {"N"});
    sign_ = 1;
    return transfer();
  }
  if (target == "Z") {
    if (!spells(value, to, {"БР", "=", "0"})) failAt(value, AsmErrorCode::kZeroValue, {source});
    if (zero_) failAt(from, AsmErrorCode::kSignalTwice, {"Z"});
    zero_ = 1;
    return transfer();
  }
  if (Index(target, {"РА", "РД", "РК", "СК", "А"}) < 0)
    failAt(from, AsmErrorCode::kUnknownRegister, {QuoteForMessage(text(tokens_[from]))});
  if (!spells(value, to, {"БР"})) failAt(value, AsmErrorCode::kOnlyFromBuffer, {target});
  if (!destinations_.insert(target).second) failAt(from, AsmErrorCode::kDestinationTwice, {target});
  transfer();
}

// БР := ROL | ROR | term (+ term)... | term & term, a term being an input,
// "~" and an input, "0" or "~0" (an empty input), or "1" in sums.
void OperationParser::adder(std::size_t from, std::size_t to) {
  if (from == to) failAt(from, AsmErrorCode::kNotAnAdderInput, {""});
  if (to - from == 1 && tokens_[from].kind == Kind::kName) {
    const std::string k = keyword(tokens_[from]);
    if (k == "ROL" || k == "ROR") {
      rotation_ = k == "ROL" ? 2 : 1;
      return;
    }
  }
  Kind joiner = Kind::kOther;
  bool invertLeft = false, invertRight = false;
  std::vector<std::pair<bool, std::size_t>> empties;  // (inverted, token) of "0" and "~0", in order
  std::size_t i = from;
  for (;;) {
    const bool inverted = i < to && tokens_[i].kind == Kind::kTilde;
    const std::size_t t = inverted ? i + 1 : i;
    if (t >= to || tokens_[t].kind != Kind::kName)
      failAt(t, AsmErrorCode::kNotAnAdderInput, {QuoteForMessage(text(t, std::min(t + 1, to)))});
    const std::string name = RegisterName(text(tokens_[t]));
    if (name == "1" && !inverted) {
      if (joiner == Kind::kAmpersand) failAt(t, AsmErrorCode::kPlusOneWithAnd);
      if (operation_ == 1) failAt(t, AsmErrorCode::kPlusOneTwice);
      operation_ = 1;
    } else if (name == "0") {
      empties.emplace_back(inverted, t);
    } else if (const int l = Index(name, {"", "А", "РС", "КР"}); l > 0) {
      if (left_) failAt(t, AsmErrorCode::kTwoLeftInputs, {kLeftNames[left_], name});
      left_ = l;
      invertLeft = inverted;
    } else if (const int r = Index(name, {"", "РД", "РК", "СК"}); r > 0) {
      if (right_) failAt(t, AsmErrorCode::kTwoRightInputs, {kRightNames[right_], name});
      right_ = r;
      invertRight = inverted;
    } else {
      failAt(t, AsmErrorCode::kNotAnAdderInput, {QuoteForMessage(text(tokens_[t]))});
    }
    i = t + 1;
    if (i == to) break;
    const Kind k = tokens_[i].kind;
    if (k != Kind::kPlus && k != Kind::kAmpersand)
      failAt(i, AsmErrorCode::kUnexpectedText, {QuoteForMessage(text(i, to))});
    if (joiner != Kind::kOther && k != joiner) failAt(i, AsmErrorCode::kAndWithPlus);
    if (k == Kind::kAmpersand && operation_ == 1) failAt(i, AsmErrorCode::kPlusOneWithAnd);
    joiner = k;
    ++i;
  }
  // Empty inputs take the sides no register took, left first.
  bool leftFree = left_ == 0, rightFree = right_ == 0;
  for (const auto& [inverted, token] : empties) {
    bool* side = leftFree ? &invertLeft : rightFree ? &invertRight : nullptr;
    if (!side) {
      if (inverted) failAt(token, AsmErrorCode::kNoFreeInput);
      continue;
    }
    *side = inverted;
    (leftFree ? leftFree : rightFree) = false;
  }
  if (invertLeft && invertRight) failAt(from, AsmErrorCode::kBothInverted);
  invert_ = invertLeft ? 1 : invertRight ? 2 : 0;
  if (joiner == Kind::kAmpersand) operation_ = 2;
}

std::uint16_t OperationParser::word() {
  if (adderGiven_ && transferGiven_)
    fail(std::max(adderAt_, transferAt_), AsmErrorCode::kAdderAndTransfer);
  if (adderGiven_) {
    const auto w = static_cast<std::uint16_t>((left_ << 12) | (right_ << 8) | (invert_ << 6) | (operation_ << 4) |
                                              (rotation_ << 2) | memory_);
    if (w == 0) fail(adderAt_, AsmErrorCode::kEmptyAdder);
    return w;
  }
  int destination = 0;
  if (destinations_.size() == 1) {
    destination = Index(*destinations_.begin(), {"", "РА", "РД", "РК", "СК", "А"});
  } else if (destinations_ == std::set<std::string>{"РА", "РД", "РК", "А"}) {
    destination = 7;
  } else if (!destinations_.empty()) {
    fail(transferAt_, AsmErrorCode::kDestinationSet);
  }
  if (hlt_ && (ei_ || di_ || clearFlags_ || io_ || carry_ || sign_ || zero_ || destination))
    fail(hltAt_, AsmErrorCode::kHltAlone);
  if (!transferGiven_) return 0;  // NOP
  return static_cast<std::uint16_t>(0x4000 | (ei_ << 11) | (di_ << 10) | (clearFlags_ << 9) | (io_ << 8) |
                                    (carry_ << 6) | (sign_ << 5) | (zero_ << 4) | (hlt_ << 3) | destination);
}

}  // namespace

std::optional<std::uint16_t> ParseMicroOperation(const SourceSpan& operation, const JumpTargetResolver& resolve,
                                                 AsmErrorList& errors) {
  return OperationParser(operation, resolve, errors).Parse();
}

}  // namespace vesk
