// Fixture for tests that run short programs on the shipped micro-program.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string>

#include "microprogram/rig.h"

namespace vesk::testing {

inline constexpr std::uint16_t kHLT = 0xF000;
inline constexpr std::uint16_t kNOP = 0xF100;
inline constexpr std::uint16_t kCLA = 0xF200;
inline constexpr std::uint16_t kCLC = 0xF300;
inline constexpr std::uint16_t kCMA = 0xF400;
inline constexpr std::uint16_t kCMC = 0xF500;
inline constexpr std::uint16_t kROL = 0xF600;
inline constexpr std::uint16_t kROR = 0xF700;
inline constexpr std::uint16_t kINC = 0xF800;
inline constexpr std::uint16_t kDEC = 0xF900;
inline constexpr std::uint16_t kEI = 0xFA00;
inline constexpr std::uint16_t kDI = 0xFB00;

class ProgramTest : public ::testing::Test {
 protected:
  static constexpr int kStart = 0x010;

  // Puts the words at kStart and runs from there; the program must stop
  // (at a HLT) within maxCommands.
  void RunProgram(std::initializer_list<std::uint16_t> words, long maxCommands = 1000) {
    rig.Load(kStart, words);
    ASSERT_TRUE(rig.RunFrom(kStart, maxCommands)) << "the program did not stop";
  }

  // One command followed by HLT; afterwards PC is kStart + 2 unless the
  // command jumped or skipped.
  void RunOne(std::uint16_t command) { RunProgram({command, kHLT}); }

  void SetState(std::uint16_t a, bool c, bool n, bool z) {
    rig.SetA(a);
    rig.SetFlags(c, n, z);
  }

  void ExpectFlags(bool c, bool n, bool z, const std::string& what = "") {
    EXPECT_EQ(rig.C(), c) << what << " С";
    EXPECT_EQ(rig.N(), n) << what << " N";
    EXPECT_EQ(rig.Z(), z) << what << " Z";
  }

  // А must be held as 16 characters (never the 8 an IN leaves for a moment).
  void ExpectA(std::uint16_t a, const std::string& what = "") {
    EXPECT_EQ(rig.m.processor.Reg_Get_A().size(), 16u) << what << " А width";
    EXPECT_EQ(rig.A(), a) << what << " А";
  }

  Rig rig;
};

}  // namespace vesk::testing
