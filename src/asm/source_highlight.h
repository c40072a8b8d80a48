// What the source editors colour: the pieces of one line of a program or
// micro-program source, by kind, as byte ranges of the line.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace vesk {

enum class HighlightKind {
  kPlain,
  kRemark,     // a '#' line
  kComment,    // the comment of a word
  kLabel,      // a label where it is defined or named
  kMnemonic,   // a command of the program language
  kDirective,  // ORG, START, EQU, WORD
  kNumber,     // numbers, addresses, codes in brackets
  kRegister,   // БР, РД, ... in micro-operations
  kKeyword,    // IF, GOTO, READ, ... in micro-operations
  kOperator,   // := + & ~ ( ) | and the like
};

struct HighlightSpan {
  std::size_t begin = 0;
  std::size_t length = 0;
  HighlightKind kind = HighlightKind::kPlain;
};

// Spans in order, not overlapping; bytes between them are plain.
std::vector<HighlightSpan> HighlightProgramLine(std::string_view line);
std::vector<HighlightSpan> HighlightMicroLine(std::string_view line);

}  // namespace vesk
