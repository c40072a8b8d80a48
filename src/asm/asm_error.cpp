#include "asm/asm_error.h"

#include <algorithm>

namespace vesk {

void AsmErrorList::Add(int line, int column, AsmErrorCode code, std::vector<std::string> args) {
  if (full_) return;
  if (errors_.size() + 1 >= kMaxAsmErrors) {
    full_ = true;
    errors_.push_back({line, column, AsmErrorCode::kTooManyErrors, {std::to_string(kMaxAsmErrors - 1)}});
    return;
  }
  errors_.push_back({line, column, code, std::move(args)});
}

void AsmErrorList::Sort() {
  // The "too many" entry stays last: it speaks of the list, not of a line.
  const auto end = full_ ? errors_.end() - 1 : errors_.end();
  std::stable_sort(errors_.begin(), end, [](const AsmError& a, const AsmError& b) {
    return a.line != b.line ? a.line < b.line : a.column < b.column;
  });
}

std::string QuoteForMessage(std::string_view text) {
  constexpr int kMaxCharacters = 40;
  std::string out;
  int characters = 0;
  for (const char c : text) {
    const unsigned char u = static_cast<unsigned char>(c);
    if ((u & 0xC0) != 0x80) {
      if (characters == kMaxCharacters) return out + "…";
      ++characters;
    }
    // Control characters would break the message line they are shown in.
    out += u < 0x20 || u == 0x7F ? '?' : c;
  }
  return out;
}

}  // namespace vesk
