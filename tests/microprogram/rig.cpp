#include "microprogram/rig.h"

#include <stdexcept>

#include "format/bit_string.h"
#include "memory/dump_file.h"
#include "memory/micro_program_file.h"

namespace vesk::testing {

namespace {

Word Bits(std::uint32_t v, int width) { return NumToBits(v, width); }

std::string Hex(std::uint32_t v, int digits) { return FitWidth(NumToHex(v), digits).str(); }

}  // namespace

Rig::Rig(const std::string& path) {
  m.setErrorHandler([](const std::string& message) { throw std::runtime_error("machine error: " + message); });
  const FileResult loaded = LoadMicroProgram(m.microMemory, path);
  if (!loaded.ok) throw std::runtime_error("cannot load " + path + ": " + loaded.error);
  if (!loaded.warnings.empty()) throw std::runtime_error(path + ": " + loaded.warnings.front());
  m.processor.Reset();
  m.processor.MODE = 2;
  m.runControl.SetIntervals(0, 0, 0);
}

void Rig::Poke(int address, std::uint16_t word) { m.memory.SetRow(address, Bits(word, 16), ""); }

void Rig::Load(int address, std::initializer_list<std::uint16_t> words) {
  for (const std::uint16_t w : words) Poke(address++, w);
}

std::uint16_t Rig::Peek(int address) const {
  return static_cast<std::uint16_t>(BitsValue(m.memory.Value(address & 0x7FF)));
}

void Rig::LoadDump(const std::string& path) {
  const FileResult loaded = Mem_LoadDump(m.memory, path);
  if (!loaded.ok) throw std::runtime_error("cannot load " + path + ": " + loaded.error);
  if (!loaded.warnings.empty()) throw std::runtime_error(path + ": " + loaded.warnings.front());
}

std::uint16_t Rig::A() const { return static_cast<std::uint16_t>(BitsValue(m.processor.Reg_Get_A())); }
void Rig::SetA(std::uint16_t v) { m.processor.Reg_Set_A(Bits(v, 16)); }
int Rig::PC() const { return static_cast<int>(BitsValue(m.processor.Reg_Get_CommandCounter())); }
void Rig::SetPC(int address) { m.processor.Reg_Set_CommandCounter(Bits(static_cast<std::uint32_t>(address), 16)); }
bool Rig::C() const { return m.processor.Reg_Get_С() == "1"; }
bool Rig::N() const { return m.processor.Reg_Get_N() == "1"; }
bool Rig::Z() const { return m.processor.Reg_Get_Z() == "1"; }
bool Rig::IE() const { return GetBit(m.processor.Reg_Get_State(), 4) == 1; }
bool Rig::IR() const { return GetBit(m.processor.Reg_Get_State(), 5) == 1; }
std::uint16_t Rig::CR() const { return static_cast<std::uint16_t>(BitsValue(m.processor.Reg_Get_Command())); }

void Rig::SetFlags(bool c, bool n, bool z) {
  m.processor.Reg_Set_С(c ? "1" : "0");
  m.processor.Reg_Set_N(n ? "1" : "0");
  m.processor.Reg_Set_Z(z ? "1" : "0");
}

void Rig::SetIE(bool on) { m.processor.SetInterruptMode(on ? 1 : 0); }
void Rig::RequestInterrupt() { m.processor.SetInterruptReg(1); }

void Rig::SetController(int address, int flag, std::uint8_t data) {
  const std::string hex = Hex(static_cast<std::uint32_t>(address), 2);
  m.controllers.Reg_Set_Flag(hex, flag);
  m.controllers.Reg_Set_Data(hex, Bits(data, 8));
}

int Rig::Flag(int address) const { return m.controllers.Flag(Controllers::RowOfAddress(address)); }
std::uint8_t Rig::Data(int address) const {
  return static_cast<std::uint8_t>(BitsValue(m.controllers.Data(Controllers::RowOfAddress(address))));
}

void Rig::Start(int address) { m.Start(Hex(static_cast<std::uint32_t>(address), 3)); }

bool Rig::Running() const { return m.processor.GetRunning(); }

void Rig::tick() {
  const std::int32_t before = m.microTrace.MCCounter();
  m.runControl.Tick();
  if (m.microTrace.MCCounter() == before) return;  // the boundary stopped the machine
  ++microCommands;
  if (m.processor.Micro_Reg_Get_CommandCounter() == "01") ++commands;
}

bool Rig::Run(long maxCommands) {
  const long limit = commands + maxCommands;
  while (Running() && commands < limit) tick();
  // A limit reached by a command that asked to stop: the boundary stops it.
  if (Running() && !m.processor.bIsRunning_Act) tick();
  return !Running();
}

bool Rig::RunFrom(int address, long maxCommands) {
  Start(address);
  return Run(maxCommands);
}

void Rig::Step() {
  if (!Running()) m.runControl.P_RUN();
  const long target = commands + 1;
  while (Running() && commands < target) tick();
  if (Running() && !m.processor.bIsRunning_Act) tick();
}

}  // namespace vesk::testing
