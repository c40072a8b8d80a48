// A whole machine with the shipped micro-program loaded, for tests that run
// real programs: memory and registers in plain numbers, runs that stop at a
// command boundary.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "app/machine.h"
#include "memory/micro_memory.h"

namespace vesk::testing {

class Rig {
 public:
  // Loads the micro-program file (by default the shipped one).
  explicit Rig(const std::string& microProgramPath = VESK_MICROPROGRAM_FILE);

  Machine m;
  MicroMemory micro;

  // Main memory.
  void Poke(int address, std::uint16_t word);
  void Load(int address, std::initializer_list<std::uint16_t> words);
  std::uint16_t Peek(int address) const;
  // A memory dump file into main memory.
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
  void RequestInterrupt();  // as the main window's interrupt command
  std::uint16_t CR() const;  // РК

  // Controllers.
  void SetController(int address, int flag, std::uint8_t data);
  int Flag(int address) const;
  std::uint8_t Data(int address) const;

  // "Пуск" at the address: СК := address, the run request and the running
  // flag on. СчМК stays where it is (a reset leaves it at 01).
  void Start(int address);
  // Runs until the machine stops at a command boundary or `maxCommands`
  // commands have completed; true when it stopped.
  bool Run(int maxCommands = 100000);
  // Starts at the address and runs; true when it stopped (at HLT).
  bool RunFrom(int address, int maxCommands = 100000);
  // Executes exactly one command, from the boundary to the next one (the run
  // request is left on, so HLT alone stops the machine).
  void Step();

  bool Running() const;
  long commands = 0;       // commands completed since construction
  long microCommands = 0;  // micro-commands executed since construction

 private:
  void tick();
};

}  // namespace vesk::testing
