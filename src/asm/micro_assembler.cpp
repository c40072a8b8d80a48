#include "asm/micro_assembler.h"

#include "asm/micro_operation.h"
#include "asm/source_text.h"
#include "util/cp1251.h"

namespace vesk {

namespace {

struct Row {
  int address;
  SourceSpan operation;
};

void Trim(std::string_view text, std::size_t& begin, std::size_t& end) {
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
}

}  // namespace

MicroAssembly AssembleMicroProgram(std::string_view source) {
  MicroAssembly result;
  AsmErrorList errors;
  std::map<std::string, int, std::less<>> labels;
  std::vector<Row> rows;
  int previous = 0;

  const std::vector<std::string_view> lines = SourceLines(source);
  for (std::size_t n = 0; n < lines.size() && !errors.Full(); ++n) {
    const int number = static_cast<int>(n) + 1;
    const std::string_view text = lines[n];
    auto error = [&](std::size_t byte, AsmErrorCode code, std::vector<std::string> args = {}) {
      errors.Add(number, CharacterColumn(text, byte), code, std::move(args));
    };
    if (const auto bad = FirstInvalidUtf8(text)) {
      error(*bad, AsmErrorCode::kInvalidUtf8);
      continue;
    }
    const std::size_t first = SkipBlanks(text, 0);
    if (first == text.size() || text[first] == '#') continue;
    const std::size_t p1 = text.find('|');
    const std::size_t p2 = p1 == std::string_view::npos ? p1 : text.find('|', p1 + 1);
    if (p2 == std::string_view::npos) {
      error(first, AsmErrorCode::kMicroLineFormat);
      continue;
    }
    const std::size_t p3 = text.find('|', p2 + 1);

    std::size_t ab = 0, ae = p1;
    Trim(text, ab, ae);
    const std::string_view addressText = text.substr(ab, ae - ab);
    int address;
    if (addressText.empty()) {
      if (previous == MicroAssembly::kWords) {
        error(ab, AsmErrorCode::kMicroPastEnd);
        continue;
      }
      address = previous + 1;
    } else {
      const auto v = HexValue(addressText, 2);
      if (!v || *v < 1) {
        error(ab, AsmErrorCode::kMicroAddress, {QuoteForMessage(addressText)});
        continue;
      }
      address = *v;
      if (address <= previous) {
        error(ab, AsmErrorCode::kMicroAddressNotRising, {HexText(address, 2), HexText(previous, 2)});
        continue;
      }
    }
    previous = address;
    AssembledWord& row = result.rows[static_cast<std::size_t>(address)];
    row.used = true;
    row.line = number;

    std::size_t lb = p1 + 1, le = p2;
    Trim(text, lb, le);
    const std::string_view label = text.substr(lb, le - lb);
    if (!label.empty()) {
      if (!IsLabelName(label)) {
        error(lb, AsmErrorCode::kBadLabelName, {QuoteForMessage(label)});
      } else if (const auto it = labels.find(label); it != labels.end()) {
        error(lb, AsmErrorCode::kDuplicateLabel,
              {std::string(label), std::to_string(result.rows[static_cast<std::size_t>(it->second)].line)});
      } else {
        labels.emplace(std::string(label), address);
      }
    }

    std::size_t ob = p2 + 1, oe = p3 == std::string_view::npos ? text.size() : p3;
    Trim(text, ob, oe);
    rows.push_back({address, SourceSpan{number, text, ob, oe - ob}});

    if (p3 == std::string_view::npos) continue;
    const std::string_view rest = text.substr(p3 + 1);
    const std::string_view comment = CommentAfterSeparator(rest);
    if (!IsCp1251Representable(comment)) {
      const Cp1251Encoding e = Utf8ToCp1251(comment);
      error(p3 + 1 + (rest.size() - comment.size()) + e.errorOffset, AsmErrorCode::kCommentNotCp1251,
            {DescribeCharacter(e.errorChar)});
      continue;
    }
    row.comment = std::string(comment);
  }

  const JumpTargetResolver resolve = [&labels](std::string_view target) -> std::optional<int> {
    if (const auto it = labels.find(target); it != labels.end()) return it->second;
    return std::nullopt;
  };
  for (const Row& r : rows) {
    if (errors.Full()) break;
    if (const auto w = ParseMicroOperation(r.operation, resolve, errors))
      result.rows[static_cast<std::size_t>(r.address)].word = *w;
  }
  result.labels.insert(labels.begin(), labels.end());
  errors.Sort();
  result.errors = errors.Take();
  return result;
}

}  // namespace vesk
