#include "io/hub_arrival.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace vesk;
using namespace std::string_literals;

namespace {

std::vector<std::string> Split(std::string_view arrival) {
  std::vector<std::string> out;
  SplitArrival(arrival, [&out](std::string_view m) {
    out.emplace_back(m);
    return true;
  });
  return out;
}

}  // namespace

TEST(SplitArrival, EveryRunBeforeAZeroIsOneMessage) {
  EXPECT_EQ(Split("quon-switching2dm.\0srvname:vesk0\0"s),
            (std::vector<std::string>{"quon-switching2dm.", "srvname:vesk0"}));
  EXPECT_EQ(Split("a\0"s), std::vector<std::string>{"a"});
}

TEST(SplitArrival, EmptyMessagesAreSkippedAndTheUnterminatedTailIsLost) {
  EXPECT_EQ(Split("\0\0a\0\0b\0"s), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(Split("a\0lost"s), std::vector<std::string>{"a"});
  EXPECT_TRUE(Split("no terminator").empty());
  EXPECT_TRUE(Split("").empty());
  EXPECT_TRUE(Split("\0"s).empty());
}

TEST(SplitArrival, StopsWhenTheHandlerSaysSo) {
  std::vector<std::string> seen;
  SplitArrival("a\0b\0c\0"s, [&seen](std::string_view m) {
    seen.emplace_back(m);
    return m != "b";
  });
  EXPECT_EQ(seen, (std::vector<std::string>{"a", "b"}));
}

TEST(MessageFramer, HoldsAnUnfinishedMessageUntilItsZeroComes) {
  MessageFramer f;
  EXPECT_EQ(f.Feed("quon-na"), "");
  EXPECT_EQ(f.Pending(), 7u);
  EXPECT_EQ(f.Feed("me:vesk1\0quon-sw"s), "quon-name:vesk1\0"s);
  EXPECT_EQ(f.Feed("itching2dm.\0srvname:hub\0"s), "quon-switching2dm.\0srvname:hub\0"s);
  EXPECT_EQ(f.Pending(), 0u);
  EXPECT_EQ(f.Feed("\0"s), "\0"s);
}

TEST(MessageFramer, ByteByByteGivesTheSameMessages) {
  const std::string wire = "public-packet:vesk1;41\0private-packet:hub;vesk2;x\0"s;
  MessageFramer f;
  std::string arrivals;
  for (const char c : wire) arrivals += f.Feed(std::string_view(&c, 1));
  EXPECT_EQ(arrivals, wire);
}

TEST(MessageFramer, AMessageLongerThanTheLimitIsDroppedWhole) {
  MessageFramer f;
  const std::string longest(kMaxHubMessage, 'a');
  EXPECT_EQ(f.Feed(longest), "");
  EXPECT_EQ(f.Feed("\0"s), longest + '\0') << "exactly the limit is kept";

  EXPECT_EQ(f.Feed(longest), "");
  EXPECT_EQ(f.Feed("b"), "");
  EXPECT_TRUE(f.Skipping());
  EXPECT_EQ(f.Pending(), 0u) << "nothing is held for a message already too long";
  EXPECT_EQ(f.Feed(std::string(100000, 'c')), "");
  EXPECT_EQ(f.Pending(), 0u);
  EXPECT_EQ(f.Feed("end of it\0next\0tail"s), "next\0"s) << "the rest of the long message goes too";
  EXPECT_FALSE(f.Skipping());
  EXPECT_EQ(f.Pending(), 4u);
  EXPECT_EQ(f.Feed("\0"s), "tail\0"s);
}

TEST(MessageFramer, ALongTailAfterCompleteMessagesStartsSkipping) {
  MessageFramer f;
  EXPECT_EQ(f.Feed("ok\0"s + std::string(kMaxHubMessage + 1, 'x')), "ok\0"s);
  EXPECT_TRUE(f.Skipping());
  EXPECT_EQ(f.Feed("x\0fine\0"s), "fine\0"s);
  f.Feed("half");
  f.Reset();
  EXPECT_EQ(f.Pending(), 0u);
  EXPECT_EQ(f.Feed("new\0"s), "new\0"s);
}

TEST(Cp1251Lower, LowersLatinAndCyrillicLettersOnly) {
  EXPECT_EQ(Cp1251Lower("QUON-NAME:Vesk3"), "quon-name:vesk3");
  EXPECT_EQ(Cp1251Lower("\xC0\xDF\xA8\xB2\xAA"), "\xE0\xFF\xB8\xB3\xBA");  // А Я Ё І Є
  EXPECT_EQ(Cp1251Lower("0-9;:.\xE0\xFF"), "0-9;:.\xE0\xFF");
  const std::string withZero = "A\0B"s;
  EXPECT_EQ(Cp1251Lower(withZero), "a\0b"s);
}
