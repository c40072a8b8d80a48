// The shipped micro-program against the reference machine: random programs
// and data, stepped one command at a time, must leave the same state.
#include <gtest/gtest.h>

#include <array>
#include <random>
#include <sstream>

#include "format/bit_string.h"
#include "microprogram/reference_machine.h"
#include "microprogram/rig.h"

namespace vesk::testing {
namespace {

std::string Hex(unsigned v, int digits) {
  std::ostringstream s;
  s.width(digits);
  s.fill('0');
  s << std::hex << std::uppercase << v;
  return s.str();
}

// A random command word: every code, direct and indirect, defined and
// undefined I/O orders and non-address words.
std::uint16_t RandomCommand(std::mt19937& rng) {
  const int code = static_cast<int>(rng() % 16);
  if (code == 0xE) {
    const unsigned order = rng() % 4 == 0 ? rng() % 16 : rng() % 4;
    return static_cast<std::uint16_t>(0xE000 | (order << 8) | (rng() % 6));
  }
  if (code == 0xF) {
    const unsigned operation = rng() % 16;
    const unsigned low = rng() % 5 == 0 ? (1u << (rng() % 8)) | (rng() % 256) : 0;
    return static_cast<std::uint16_t>(0xF000 | (operation << 8) | low);
  }
  return static_cast<std::uint16_t>((code << 12) | (rng() % 0x1000));
}

void ExpectSame(const Rig& rig, const ReferenceMachine& ref, const std::string& where, bool memoryToo) {
  ASSERT_EQ(rig.m.processor.Reg_Get_A().view(), NumToBits(ref.a, 16).view()) << where << ": А";
  ASSERT_EQ(rig.C(), ref.c) << where << ": С";
  ASSERT_EQ(rig.N(), ref.n) << where << ": N";
  ASSERT_EQ(rig.Z(), ref.z) << where << ": Z";
  ASSERT_EQ(rig.PC(), ref.pc) << where << ": СК";
  ASSERT_EQ(rig.IE(), ref.ie) << where << ": IE";
  ASSERT_EQ(rig.IR(), ref.ir) << where << ": IR";
  ASSERT_EQ(!rig.Running(), ref.halted) << where << ": stopped";
  if (!memoryToo) return;
  for (int address = 0; address < 2048; ++address)
    ASSERT_EQ(rig.Peek(address), ref.memory[static_cast<std::size_t>(address)])
        << where << ": memory " << Hex(static_cast<unsigned>(address), 3);
  for (int device = 0; device < 8; ++device) {
    ASSERT_EQ(rig.Flag(device), ref.flag[static_cast<std::size_t>(device)]) << where << ": flag " << device;
    ASSERT_EQ(rig.Data(device), ref.data[static_cast<std::size_t>(device)]) << where << ": data " << device;
  }
}

TEST(MicroProgramAgainstReference, RandomProgramsLeaveTheSameState) {
  // How often each code, each non-address command and each I/O order ran, to
  // show the random programs reach all of them.
  std::array<int, 16> codes{}, nonAddress{}, orders{};
  std::mt19937 rng(20240611);
  for (int trial = 0; trial < 120; ++trial) {
    Rig rig;
    rig.m.trace.setStoring(false);
    rig.m.microTrace.setStoring(false);
    ReferenceMachine ref;
    for (int address = 0; address < 2048; ++address) {
      const std::uint16_t w = rng() % 3 == 0 ? static_cast<std::uint16_t>(rng()) : RandomCommand(rng);
      rig.Poke(address, w);
      ref.memory[static_cast<std::size_t>(address)] = w;
    }
    for (int device = 0; device < 8; ++device) {
      const int flag = static_cast<int>(rng() % 2);
      const auto data = static_cast<std::uint8_t>(rng());
      rig.SetController(device, flag, data);
      ref.flag[static_cast<std::size_t>(device)] = flag;
      ref.data[static_cast<std::size_t>(device)] = data;
    }
    ref.a = static_cast<std::uint16_t>(rng());
    ref.c = rng() % 2;
    ref.n = rng() % 2;
    ref.z = rng() % 2;
    ref.ie = rng() % 2;
    ref.pc = static_cast<int>(rng() % 2048);
    rig.SetA(ref.a);
    rig.SetFlags(ref.c, ref.n, ref.z);
    rig.SetIE(ref.ie);
    rig.Start(ref.pc);

    for (int step = 0; step < 150 && !ref.halted; ++step) {
      if (rng() % 12 == 0) {
        rig.RequestInterrupt();
        ref.ir = true;
      }
      const int address = ref.pc;
      const std::uint16_t command = ref.memory[static_cast<std::size_t>(ref.pc)];
      const std::string where = "trial " + std::to_string(trial) + " step " + std::to_string(step) + " (" +
                                Hex(command, 4) + " at " + Hex(static_cast<unsigned>(ref.pc), 3) + ")";
      ++codes[command >> 12];
      if ((command & 0xF0FF) == 0xF000) ++nonAddress[(command >> 8) & 0xF];
      if ((command >> 12) == 0xE) ++orders[(command >> 8) & 0xF];
      rig.Step();
      ref.Step();
      // РК keeps the command; an indirect JSR gives it back by reading the
      // command's cell again, which that JSR itself may have overwritten.
      const std::uint16_t expectedCR =
          (command & 0xF800) == 0x2800 ? ref.memory[static_cast<std::size_t>(address)] : command;
      ASSERT_EQ(rig.CR(), expectedCR) << where << ": РК";
      ExpectSame(rig, ref, where, step % 10 == 0 || ref.halted);
      if (::testing::Test::HasFatalFailure()) return;
    }
    ExpectSame(rig, ref, "trial " + std::to_string(trial) + " end", true);
    if (::testing::Test::HasFatalFailure()) return;
  }
  for (int i = 0; i < 16; ++i) {
    EXPECT_GE(codes[static_cast<std::size_t>(i)], 100) << "code " << i;
    EXPECT_GE(nonAddress[static_cast<std::size_t>(i)], 10) << "F" << i << "00";
    if (i < 4) {
      EXPECT_GE(orders[static_cast<std::size_t>(i)], 30) << "order " << i;
    }
  }
}

}  // namespace
}  // namespace vesk::testing
