#include "asm/source_highlight.h"

#include <gtest/gtest.h>

#include <string>

namespace vesk {
namespace {

// "kind:text" for each span, in order.
std::vector<std::string> Pieces(std::string_view line, bool micro) {
  static const char* const kNames[] = {"plain",  "remark", "comment", "label",   "mnemonic",
                                       "directive", "number", "register", "keyword", "op"};
  std::vector<std::string> out;
  std::size_t end = 0;
  for (const HighlightSpan& s : micro ? HighlightMicroLine(line) : HighlightProgramLine(line)) {
    EXPECT_GE(s.begin, end) << "spans overlap in '" << line << "'";
    EXPECT_LE(s.begin + s.length, line.size());
    end = s.begin + s.length;
    out.push_back(std::string(kNames[static_cast<int>(s.kind)]) + ":" + std::string(line.substr(s.begin, s.length)));
  }
  return out;
}

using V = std::vector<std::string>;

TEST(HighlightProgramLine, ColoursEachPieceOfTheLanguage) {
  EXPECT_EQ(Pieces("loop:   ADD (ptr+1)  ; А := А + x", false),
            (V{"label:loop:", "mnemonic:ADD", "op:(", "label:ptr", "op:+", "number:1", "op:)",
               "comment:; А := А + x"}));
  EXPECT_EQ(Pieces("  # ORG 10 ; remark", false), V{"remark:# ORG 10 ; remark"});
  EXPECT_EQ(Pieces("n EQU -1E", false), (V{"label:n", "directive:EQU", "op:-", "number:1E"}));
  EXPECT_EQ(Pieces("\torg 7ff", false), (V{"directive:org", "number:7ff"}));
  EXPECT_EQ(Pieces("FOO 1", false), (V{"plain:FOO", "number:1"}));
  EXPECT_EQ(Pieces("", false), V{});
}

TEST(HighlightMicroLine, ColoursFieldsRegistersKeywordsAndTargets) {
  EXPECT_EQ(Pieces("03 | next | БР := СК + 1, READ | Чтение | x", true),
            (V{"number:03", "op:|", "label:next", "op:|", "register:БР", "op::=", "register:СК", "op:+", "number:1",
               "op:,", "keyword:READ", "op:|", "comment: Чтение | x"}));
  EXPECT_EQ(Pieces("   |  | IF РК.15 = 1 GOTO high", true),
            (V{"op:|", "op:|", "keyword:IF", "register:РК", "op:.", "number:15", "op:=", "number:1", "keyword:GOTO",
               "label:high"}));
  EXPECT_EQ(Pieces("01 | | HLT [4009]", true), (V{"number:01", "op:|", "op:|", "keyword:HLT", "number:[4009]"}));
  EXPECT_EQ(Pieces("01 | | GOTO 4A", true), (V{"number:01", "op:|", "op:|", "keyword:GOTO", "number:4A"}));
  EXPECT_EQ(Pieces("# remark | x", true), V{"remark:# remark | x"});
  EXPECT_EQ(Pieces("01 no bars", true), (V{"number:01", "label:no", "label:bars"}));
}

}  // namespace
}  // namespace vesk
