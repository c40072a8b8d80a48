#include "microprogram/rig.h"

#include <fstream>
#include <stdexcept>

#include "format/bit_string.h"

namespace vesk::testing {

namespace {

Word Bits(std::uint32_t v, int width) { return NumToBits(v, width); }

}  // namespace

Rig::Rig(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::string line;
  int address = 0;
  while (address < MicroMemory::kWords && std::getline(in, line)) {
    ++address;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    micro.SetRow(address, FitWidth(HexToBin(line.substr(0, 4)), 16), line.size() > 4 ? line.substr(4) : "");
  }
  m.processor.Reset();
}

void Rig::Poke(int address, std::uint16_t word) { m.memory.SetRow(address, Bits(word, 16), ""); }

void Rig::Load(int address, std::initializer_list<std::uint16_t> words) {
  for (const std::uint16_t w : words) Poke(address++, w);
}

void Rig::LoadDump(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::string line;
  int address = 0;
  while (address < MainMemory::kWords && std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    m.memory.SetRow(address++, FitWidth(HexToBin(line.substr(0, 4)), 16), line.size() > 4 ? line.substr(4) : "");
  }
}

std::uint16_t Rig::Peek(int address) const {
  return static_cast<std::uint16_t>(BitsValue(m.memory.Value(address)));
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
  const std::string hex = BinToHex(Bits(static_cast<std::uint32_t>(address), 8)).str();
  m.controllers.Reg_Set_Flag(hex, flag);
  m.controllers.Reg_Set_Data(hex, Bits(data, 8));
}

int Rig::Flag(int address) const { return m.controllers.Flag(Controllers::RowOfAddress(address)); }
std::uint8_t Rig::Data(int address) const {
  return static_cast<std::uint8_t>(BitsValue(m.controllers.Data(Controllers::RowOfAddress(address))));
}

void Rig::Start(int address) {
  SetPC(address);
  m.trace.set_CCounter(0);
  m.processor.SetRunning(true);
  m.processor.bIsRunning_Act = true;
}

bool Rig::Running() const { return m.processor.GetRunning(); }

// One micro-command as run control carries it out in the short period: at the
// command boundary the running flag follows the run request; then fetch,
// advance СчМК, execute.
void Rig::tick() {
  Processor& cpu = m.processor;
  if (!cpu.GetRunning()) return;
  const std::string a = cpu.Micro_Reg_Get_CommandCounter().str();
  const std::string key = micro.Micro_ReadKey(a);
  if (key == kKeyNewCommand) {
    cpu.SetRunning(cpu.bIsRunning_Act);
    if (!cpu.GetRunning()) return;
  }
  cpu.Micro_Reg_Set_Command(micro.Micro_ReadMem(a));
  const Word h = ExpandMicroCommand(cpu.Micro_Reg_Get_Command());
  cpu.Micro_Reg_Set_CommandCounter(NumToHex(static_cast<std::uint32_t>(HexToNum(a) + 1)));
  m.executor.ExecuteMicroCommand(h, key);
  ++microCommands;
  if (cpu.Micro_Reg_Get_CommandCounter() == "01") ++commands;
}

bool Rig::Run(int maxCommands) {
  const long limit = commands + maxCommands;
  while (Running() && commands < limit) tick();
  if (Running() && !m.processor.bIsRunning_Act && m.processor.Micro_Reg_Get_CommandCounter() == "01") tick();
  return !Running();
}

bool Rig::RunFrom(int address, int maxCommands) {
  Start(address);
  return Run(maxCommands);
}

void Rig::Step() {
  if (!Running()) {
    m.processor.SetRunning(true);
    m.processor.bIsRunning_Act = true;
  }
  const long target = commands + 1;
  while (Running() && commands < target) tick();
  if (Running() && !m.processor.bIsRunning_Act) tick();  // the boundary stops the machine
}

}  // namespace vesk::testing
