// A whole machine with the shipped micro-program loaded, for tests that run
// real programs: memory and registers as numbers, and runs through the real
// run control (short period, all periods 0, so every tick executes one
// micro-command) that stop at a command boundary.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

#include "app/machine.h"

namespace vesk::testing {

class Rig {
 public:
  // Loads the micro-program file (by default the shipped one) with
  // LoadMicroProgram, as the window program loads its default.
  explicit Rig(const std::string& microProgramPath = VESK_MICROPROGRAM_FILE);

  Machine m;

  // Main memory.
  void Poke(int address, std::uint16_t word);
  void Load(int address, std::initializer_list<std::uint16_t> words);
  std::uint16_t Peek(int address) const;
  // A memory dump file into main memory (Mem_LoadDump).
  void LoadDump(const std::string& path);

  // Registers and flags as numbers.
  std::uint16_t A() const;
  void SetA(std::uint16_t v);
  int PC() const;
  void SetPC(int address);
  bool C() const;
  bool N() const;
  bool Z() const;
  bool IE() const;
  bool IR() const;
  void SetFlags(bool c, bool n, bool z);
  void SetIE(bool on);
  void RequestInterrupt();   // the main window's interrupt command
  std::uint16_t CR() const;  // РК

  // Controllers.
  void SetController(int address, int flag, std::uint8_t data);
  int Flag(int address) const;
  std::uint8_t Data(int address) const;

  // "Пуск" at the address (Machine::Start).
  void Start(int address);
  // Ticks until the machine stops at a command boundary or `maxCommands`
  // more commands have completed; true when it stopped.
  bool Run(long maxCommands = 100000);
  // Start at the address, then Run.
  bool RunFrom(int address, long maxCommands = 100000);
  // Ticks through exactly one command, up to the next command boundary; when
  // that command asked to stop (HLT), one more tick lets the boundary stop
  // the machine. Runs the machine first if it is stopped.
  void Step();

  bool Running() const;
  long commands = 0;       // commands completed since construction
  long microCommands = 0;  // micro-commands executed since construction

 private:
  void tick();
};

}  // namespace vesk::testing
