#include "state/machine_state.h"

#include "core/processor.h"
#include "core/run_control.h"
#include "debug/breakpoints.h"
#include "format/bit_string.h"
#include "format/number_text.h"
#include "io/controllers.h"
#include "memory/main_memory.h"
#include "memory/micro_memory.h"

namespace vesk {

namespace {

constexpr std::string_view kZero16 = "0000000000000000";

std::string RegisterText(const Processor& p, std::size_t i) {
  switch (i) {
    case 0: return p.Reg_Get_A().str();
    case 1: return p.Reg_Get_Data().str();
    case 2: return p.Reg_Get_Command().str();
    case 3: return p.Reg_Get_CommandCounter().str();
    case 4: return p.Reg_Get_Address().str();
    case 5: return p.Reg_Get_Key().str();
    case 6: return p.Reg_Get_Buffer().str();
    case 7: return p.Reg_Get_State().str();
    case 8: return p.Micro_Reg_Get_Command().str();
    default: return p.Micro_Reg_Get_CommandCounter().str();
  }
}

void SetRegister(Processor& p, std::size_t i, std::string_view v) {
  switch (i) {
    case 0: p.Reg_Set_A(v); break;
    case 1: p.Reg_Set_Data(v); break;
    case 2: p.Reg_Set_Command(v); break;
    case 3: p.Reg_Set_CommandCounter(v); break;
    case 4: p.Reg_Set_Address(v); break;
    case 5: p.Reg_Set_Key(v); break;
    case 6: p.Reg_Set_Buffer(v); break;
    case 7: p.Reg_Set_State(v); break;
    case 8: p.Micro_Reg_Set_Command(v); break;
    default: p.Micro_Reg_Set_CommandCounter(v); break;
  }
}

}  // namespace

std::optional<MachineState> CaptureState(const StateOwners& owners, std::string_view startAddress) {
  std::optional<int> start = startAddress.empty() ? std::optional<int>(0) : MainMemory::ParseAddress(startAddress);
  if (!start) return std::nullopt;
  MachineState s;
  s.start = MainMemory::AddressText(*start);
  for (std::size_t i = 0; i < s.registers.size(); ++i) s.registers[i] = RegisterText(owners.processor, i);
  s.mode = owners.processor.MODE == 1 ? 1 : 2;
  for (int period = 1; period <= 3; ++period)
    s.periods[static_cast<std::size_t>(period - 1)] = owners.runControl.Interval(period);

  const MainMemory& memory = owners.memory;
  for (int a = 0; a < MainMemory::kWords; ++a) {
    if (!memory.Written(a) && memory.Comment(a).empty()) continue;
    MachineState::MemoryRow row{a, std::nullopt, memory.Comment(a)};
    if (memory.Written(a)) row.word = memory.Value(a).str();
    s.memory.push_back(std::move(row));
  }
  const MicroMemory& micro = owners.microMemory;
  for (int a = 1; a <= MicroMemory::kWords; ++a) {
    if (micro.Value(a) == kZero16 && micro.Comment(a).empty()) continue;
    s.microMemory.push_back({a, micro.Value(a).str(), micro.Comment(a)});
  }
  const Controllers& c = owners.controllers;
  for (int a = 0; a < Controllers::kCount; ++a) {
    const int row = Controllers::RowOfAddress(a);
    if (c.IsInitial(row) && c.Comment(row).empty()) continue;
    s.controllers.push_back({a, c.Flag(row), c.Data(row).str(), c.Device(row), c.Comment(row)});
  }
  s.breakpoints = owners.breakpoints.All();
  return s;
}

void ApplyState(const MachineState& state, const StateOwners& owners) {
  MainMemory& memory = owners.memory;
  memory.Mem_Clear();
  for (const auto& row : state.memory) {
    if (row.word) memory.SetRow(row.address, *row.word, row.comment);
    else memory.SetComment(row.address, row.comment);
  }

  MicroMemory& micro = owners.microMemory;
  auto listed = state.microMemory.begin();
  for (int a = 1; a <= MicroMemory::kWords; ++a) {
    if (listed != state.microMemory.end() && listed->address == a) {
      micro.SetRow(a, listed->word, listed->comment);
      ++listed;
    } else {
      micro.SetRow(a, kZero16, "");
    }
  }
  micro.notifyRowsChanged();

  // Devices come off first, so that setting a data register neither prints
  // on a monitor nor sends over the network; they go back on at the end.
  Controllers& c = owners.controllers;
  for (int row = 0; row < Controllers::kCount; ++row)
    if (c.Device(row) != kNoDevice) c.SetDevice(row, kNoDevice);
  auto controller = state.controllers.begin();
  for (int a = 0; a < Controllers::kCount; ++a) {
    const int row = Controllers::RowOfAddress(a);
    MachineState::ControllerRow initial{a, 0, "00000000", std::string(kNoDevice), ""};
    const bool isListed = controller != state.controllers.end() && controller->address == a;
    const MachineState::ControllerRow& r = isListed ? *controller : initial;
    if (isListed) ++controller;
    c.Reg_Set_Data(Controllers::AddressText(row), r.data);
    c.SetFlagOfRow(row, r.flag);
    c.SetComment(row, r.comment);
  }
  for (const auto& r : state.controllers)
    if (r.device != kNoDevice) c.SetDevice(Controllers::RowOfAddress(r.address), r.device);

  Processor& p = owners.processor;
  for (std::size_t i = 0; i < state.registers.size(); ++i) SetRegister(p, i, state.registers[i]);
  // The status text and the interrupt button follow the running and
  // interrupt bits of РС, as they would have when those bits were set.
  p.SetRunning(p.GetRunning());
  p.SetInterruptReg(GetBit(p.Reg_Get_State(), 5));
  p.MODE = state.mode;
  owners.runControl.SetIntervals(state.periods[0], state.periods[1], state.periods[2]);
  owners.breakpoints.SetAll(state.breakpoints);
}

}  // namespace vesk
