#include "io/keyboard.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using namespace vesk;

namespace {

struct Recorder : KeyboardListener {
  std::vector<std::string> events;
  void keysAppended(std::size_t count) override { events.push_back("+" + std::to_string(count)); }
  void keysRemoved(std::size_t first, std::size_t count) override {
    events.push_back("-" + std::to_string(first) + ":" + std::to_string(count));
  }
  void keyDropped(int code) override { events.push_back("drop " + std::to_string(code)); }
  void keyCaptured(int code) override { events.push_back("key " + std::to_string(code)); }
  void modeChanged() override { events.push_back("mode"); }
};

struct KeyboardFixture : ::testing::Test {
  Keyboard keyboard;
  Recorder seen;
  void SetUp() override { keyboard.listeners().add(&seen); }
};

}  // namespace

TEST_F(KeyboardFixture, StartsEmptyInTheQueueMode) {
  EXPECT_EQ(keyboard.mode(), Keyboard::Mode::QueueAsRead);
  EXPECT_TRUE(keyboard.QueueEmpty());
  EXPECT_FALSE(keyboard.TakeKey().has_value());
  EXPECT_EQ(keyboard.DroppedCount(), 0u);
}

TEST_F(KeyboardFixture, QueueModeKeepsEveryKeyOldestFirst) {
  EXPECT_TRUE(keyboard.KeyPressed(65));
  EXPECT_TRUE(keyboard.KeyPressed(66));
  EXPECT_TRUE(keyboard.KeyPressed(13));
  ASSERT_EQ(keyboard.QueueSize(), 3u);
  EXPECT_EQ(keyboard.Code(0), 65);
  EXPECT_EQ(keyboard.Symbol(0), "A");
  EXPECT_EQ(keyboard.Code(2), 13);
  EXPECT_EQ(keyboard.TakeKey(), std::optional<std::uint8_t>(65));
  EXPECT_EQ(keyboard.TakeKey(), std::optional<std::uint8_t>(66));
  EXPECT_EQ(keyboard.QueueSize(), 1u);
  EXPECT_EQ(seen.events, (std::vector<std::string>{"+1", "key 65", "+1", "key 66", "+1", "key 13", "-0:1", "-0:1"}));
}

TEST_F(KeyboardFixture, CodesThatAreNoKeysAreIgnored) {
  EXPECT_FALSE(keyboard.KeyPressed(0));
  EXPECT_FALSE(keyboard.KeyPressed(256));
  EXPECT_FALSE(keyboard.KeyPressed(-5));
  EXPECT_FALSE(keyboard.KeyPressed(0x01000030));  // a toolkit's key number, not a platform code
  EXPECT_TRUE(keyboard.QueueEmpty());
  EXPECT_TRUE(seen.events.empty());
}

TEST_F(KeyboardFixture, AFullQueueDropsTheNewKeyAndSaysSo) {
  for (std::size_t i = 0; i < Keyboard::kQueueCapacity; ++i) ASSERT_TRUE(keyboard.KeyPressed(1 + static_cast<int>(i % 255)));
  seen.events.clear();
  EXPECT_FALSE(keyboard.KeyPressed(90));
  EXPECT_EQ(keyboard.QueueSize(), Keyboard::kQueueCapacity);
  EXPECT_EQ(keyboard.DroppedCount(), 1u);
  EXPECT_EQ(keyboard.Code(0), 1) << "the oldest key stays";
  EXPECT_EQ(keyboard.Code(Keyboard::kQueueCapacity - 1), 1 + static_cast<int>((Keyboard::kQueueCapacity - 1) % 255));
  EXPECT_EQ(seen.events, std::vector<std::string>{"drop 90"});
  keyboard.TakeKey();
  EXPECT_TRUE(keyboard.KeyPressed(90)) << "room again after a key was taken";
}

TEST_F(KeyboardFixture, LastCodeModeKeepsOnlyTheNewestKey) {
  keyboard.KeyPressed(65);
  keyboard.setMode(Keyboard::Mode::SendLastCode);
  keyboard.KeyPressed(66);
  keyboard.KeyPressed(67);
  ASSERT_EQ(keyboard.QueueSize(), 1u);
  EXPECT_EQ(keyboard.Code(0), 67);
  EXPECT_EQ(seen.events,
            (std::vector<std::string>{"+1", "key 65", "mode", "-0:1", "+1", "key 66", "-0:1", "+1", "key 67"}));
}

TEST_F(KeyboardFixture, ClearRemovesEverythingAndTellsOnlyWhenThereWasSomething) {
  keyboard.ClearQueue();
  EXPECT_TRUE(seen.events.empty());
  keyboard.KeyPressed(70);
  keyboard.KeyPressed(71);
  seen.events.clear();
  keyboard.ClearQueue();
  EXPECT_TRUE(keyboard.QueueEmpty());
  EXPECT_EQ(seen.events, std::vector<std::string>{"-0:2"});
}

TEST(KeySymbol, IsTheWindows1251CharacterOfTheCode) {
  EXPECT_EQ(KeySymbol(65), "A");
  EXPECT_EQ(KeySymbol(0x30), "0");
  EXPECT_EQ(KeySymbol(0xC0), "А");  // Cyrillic
  EXPECT_EQ(KeySymbol(0xBA), "є");  // the code of the ';' key
  EXPECT_EQ(KeySymbol(300), "");
}
