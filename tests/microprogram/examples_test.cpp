// Every example program runs to HLT with the result its first words promise.
// Expected results are computed here from the example's own input data, read
// from memory before the run; addresses come from the labels of its source.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "asm/program_assembler.h"
#include "common/file_io.h"
#include "io/controllers.h"
#include "microprogram/rig.h"

namespace vesk::testing {
namespace {

class ExampleTest : public ::testing::Test {
 protected:
  // Loads examples/<name>.vdmp and the labels of examples/<name>.vasm.
  void LoadExample(const std::string& name) {
    const std::string base = std::string(VESK_EXAMPLES_DIR) + "/" + name;
    const auto source = tools::ReadWholeFile(base + ".vasm");
    ASSERT_TRUE(source) << base << ".vasm";
    program = AssembleProgram(*source);
    ASSERT_TRUE(program.ok()) << base << ".vasm does not assemble";
    rig.LoadDump(base + ".vdmp");
  }
  int At(const std::string& label) const {
    const auto it = program.labels.find(label);
    if (it == program.labels.end()) ADD_FAILURE() << "no label " << label;
    return it == program.labels.end() ? 0 : it->second;
  }
  std::uint16_t Cell(const std::string& label) const { return rig.Peek(At(label)); }

  Rig rig;
  ProgramAssembly program;
};

std::uint16_t Negate(std::uint16_t v) { return static_cast<std::uint16_t>(-v); }

TEST_F(ExampleTest, SumAddsTheArray) {
  LoadExample("sum");
  const int count = Negate(Cell("count"));
  ASSERT_GT(count, 0);
  std::uint16_t expected = 0;
  for (int i = 0; i < count; ++i) expected = static_cast<std::uint16_t>(expected + rig.Peek(At("arr") + i));

  ASSERT_TRUE(rig.RunFrom(0x000, 10000));
  EXPECT_EQ(rig.Peek(rig.PC() - 1), 0xF000) << "stopped by its HLT";
  EXPECT_EQ(Cell("sum"), expected);
  EXPECT_EQ(rig.A(), expected);
  EXPECT_EQ(Cell("ptr"), At("arr") + count);
}

TEST_F(ExampleTest, MultiplyGivesTheProduct) {
  LoadExample("multiply");
  const std::uint32_t x = Cell("x"), y = Cell("y");
  const auto expected = static_cast<std::uint16_t>(x * y);

  ASSERT_TRUE(rig.RunFrom(0x000, 10000));
  EXPECT_EQ(rig.Peek(rig.PC() - 1), 0xF000);
  EXPECT_EQ(Cell("p"), expected);
  EXPECT_EQ(rig.A(), expected);
}

TEST_F(ExampleTest, SubroutineAddsAbsoluteValues) {
  LoadExample("subroutine");
  auto magnitude = [](std::uint16_t v) { return (v & 0x8000) ? Negate(v) : v; };
  const auto expected =
      static_cast<std::uint16_t>(magnitude(Cell("va")) + magnitude(Cell("vb")) + magnitude(Cell("vc")));

  ASSERT_TRUE(rig.RunFrom(0x000, 10000));
  EXPECT_EQ(rig.Peek(rig.PC() - 1), 0xF000);
  EXPECT_EQ(Cell("r"), expected);
  EXPECT_EQ(rig.A(), expected);
  // abs keeps the return address of the last call: the word after a JSR abs.
  const int back = Cell("abs");
  EXPECT_EQ(rig.Peek(back - 1), 0x2000 | At("abs"));
}

// Collects every byte written into one controller's data register.
struct OutputLog : ControllersListener {
  explicit OutputLog(int address) : row(Controllers::RowOfAddress(address)) {}
  void dataRegisterWritten(int r) override {
    if (r == row) bytes.push_back(static_cast<std::uint8_t>(std::strtoul(controllers->Data(r).c_str(), nullptr, 2)));
  }
  int row;
  const Controllers* controllers = nullptr;
  std::vector<std::uint8_t> bytes;
};

TEST_F(ExampleTest, PrintSendsTheTextToController02) {
  LoadExample("print");
  std::vector<std::uint8_t> text;
  for (int a = At("text"); rig.Peek(a) != 0; ++a) text.push_back(static_cast<std::uint8_t>(rig.Peek(a)));
  ASSERT_FALSE(text.empty());
  OutputLog log(0x02);
  log.controllers = &rig.m.controllers;
  rig.m.controllers.listeners().add(&log);

  ASSERT_TRUE(rig.RunFrom(0x000, 10000));
  rig.m.controllers.listeners().remove(&log);
  EXPECT_EQ(rig.Peek(rig.PC() - 1), 0xF000);
  EXPECT_EQ(log.bytes, text);
  EXPECT_EQ(rig.Data(0x02), text.back());
}

TEST_F(ExampleTest, InputStoresCharactersUntilEnter) {
  LoadExample("input");
  const std::string typed = "Vesk 16\r";
  std::size_t next = 0;
  int idle = 0;  // commands spent waiting while no character was offered
  rig.Start(0x000);
  while (rig.Running() && idle < 1000) {
    // The device offers the next character once the program took the last.
    if (rig.Flag(0x03) == 0 && next < typed.size()) {
      rig.SetController(0x03, 1, static_cast<std::uint8_t>(typed[next++]));
      idle = 0;
    }
    rig.Step();
    ++idle;
  }
  ASSERT_FALSE(rig.Running()) << "the program should stop after Enter";
  EXPECT_EQ(next, typed.size());
  EXPECT_EQ(rig.Peek(rig.PC() - 1), 0xF000);
  const int buf = At("buf");
  for (std::size_t i = 0; i < typed.size(); ++i)
    EXPECT_EQ(rig.Peek(buf + static_cast<int>(i)), static_cast<std::uint8_t>(typed[i])) << "character " << i;
  EXPECT_EQ(Cell("ptr"), buf + static_cast<int>(typed.size()));
  EXPECT_EQ(rig.Flag(0x03), 0) << "CLF took the last flag down";
}

TEST_F(ExampleTest, InterruptHandlerKeepsTheSumRight) {
  LoadExample("interrupt");
  const std::uint32_t k0 = Cell("k");
  const int n = Negate(Cell("n"));
  std::uint32_t expected = 0;
  for (int i = 0; i < n; ++i) expected += (k0 + static_cast<std::uint32_t>(i)) & 0xFFFF;

  // Requests while the main loop runs with interrupts enabled; the handler
  // itself runs with them disabled until its last two commands.
  const int loopStart = At("loop");
  const int loopEnd = At("loop") + 11;  // the DI after the loop
  ASSERT_EQ(rig.Peek(loopEnd), 0xFB00);
  int requested = 0;
  long steps = 0;
  rig.Start(0x000);
  while (rig.Running() && steps < 100000) {
    if (rig.IE() && !rig.IR() && rig.PC() >= loopStart && rig.PC() < loopEnd && steps % 5 == 0) {
      rig.RequestInterrupt();
      ++requested;
    }
    rig.Step();
    ++steps;
  }
  ASSERT_FALSE(rig.Running());
  ASSERT_GT(requested, 10);
  EXPECT_EQ(rig.Peek(rig.PC() - 1), 0xF000);
  EXPECT_EQ((static_cast<std::uint32_t>(Cell("hi")) << 16) | Cell("lo"), expected);
  EXPECT_EQ(Cell("ticks"), requested);
  EXPECT_EQ(rig.Data(0x04), requested & 0xFF);
  EXPECT_FALSE(rig.IE());
}

}  // namespace
}  // namespace vesk::testing
