#include "format/word.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

using vesk::Word;

TEST(Word, HoldsShortAndLongTextsAlike) {
  const std::string longText(500, 'x');
  for (const std::string& text : {std::string(), std::string("0101"), std::string(47, '1'), std::string(48, '0'), longText}) {
    Word w(text);
    EXPECT_EQ(w.size(), text.size());
    EXPECT_EQ(w.view(), text);
    EXPECT_EQ(w.c_str()[text.size()], '\0');
    Word copy(w);
    EXPECT_EQ(copy.view(), text);
    Word moved(std::move(copy));
    EXPECT_EQ(moved.view(), text);
    Word assigned;
    assigned = moved;
    EXPECT_EQ(assigned.view(), text);
    assigned = Word("short");
    EXPECT_EQ(assigned, "short");
  }
}

TEST(Word, GrowsPastTheInlineBufferByAppendAndPrepend) {
  Word w;
  for (int i = 0; i < 100; ++i) w.push_back(i % 2 ? '1' : '0');
  EXPECT_EQ(w.size(), 100u);
  w.prepend("ab");
  EXPECT_EQ(w.view().substr(0, 4), "ab01");
  w.append(w.view());  // appending itself must not read freed memory
  EXPECT_EQ(w.size(), 204u);
  EXPECT_EQ(w.view().substr(102, 4), "ab01");
}

TEST(Word, SelfAssignmentAndAssignmentFromItsOwnText) {
  Word w("0011");
  const Word& same = w;
  w = same;
  EXPECT_EQ(w, "0011");
  w = w.view().substr(2);
  EXPECT_EQ(w, "11");
  Word big(std::string(80, '1'));
  big = big.view().substr(70);
  EXPECT_EQ(big, std::string(10, '1'));
}
