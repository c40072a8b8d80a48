#include "microprogram/reference_machine.h"

namespace vesk::testing {

void ReferenceMachine::Step() {
  const std::uint16_t word = memory[static_cast<std::size_t>(pc)];
  pc = (pc + 1) & 0x7FF;
  const int code = word >> 12;
  const int m = word & 0x7FF;
  auto at = [this](int address) -> std::uint16_t& { return memory[static_cast<std::size_t>(address & 0x7FF)]; };
  auto effective = [&]() { return (word & 0x800) ? (at(m) & 0x7FF) : m; };
  auto setNZ = [this](std::uint16_t r) {
    n = (r & 0x8000) != 0;
    z = r == 0;
  };
  auto add = [&](std::uint32_t x, std::uint32_t y, std::uint32_t carryIn) {
    const std::uint32_t sum = x + y + carryIn;
    c = sum > 0xFFFF;
    a = static_cast<std::uint16_t>(sum);
    setNZ(a);
  };

  switch (code) {
    case 0x0: {  // ISZ
      std::uint16_t& cell = at(effective());
      cell = static_cast<std::uint16_t>(cell + 1);
      if ((cell & 0x8000) == 0) pc = (pc + 1) & 0x7FF;
      break;
    }
    case 0x1:  // AND
      a &= at(effective());
      setNZ(a);
      break;
    case 0x2: {  // JSR
      const int e = effective();
      at(e) = static_cast<std::uint16_t>(pc);
      pc = (e + 1) & 0x7FF;
      break;
    }
    case 0x3:  // MOV
      at(effective()) = a;
      break;
    case 0x4: add(a, at(effective()), 0); break;
    case 0x5: add(a, at(effective()), c ? 1 : 0); break;
    case 0x6: add(a, static_cast<std::uint16_t>(~at(effective())), 1); break;
    case 0x8: if (c) pc = effective(); break;
    case 0x9: if (!n) pc = effective(); break;
    case 0xA: if (n) pc = effective(); break;
    case 0xB: if (z) pc = effective(); break;
    case 0xC: pc = effective(); break;
    case 0xE: {
      const int device = word & 0xFF;
      switch ((word >> 8) & 0xF) {
        case 0: flag[static_cast<std::size_t>(device)] = 0; break;
        case 1: if (flag[static_cast<std::size_t>(device)] == 1) pc = (pc + 1) & 0x7FF; break;
        case 2: a = data[static_cast<std::size_t>(device)]; break;
        case 3: data[static_cast<std::size_t>(device)] = static_cast<std::uint8_t>(a & 0xFF); break;
        default: break;
      }
      break;
    }
    case 0xF: {
      if ((word & 0xFF) != 0) break;
      switch ((word >> 8) & 0xF) {
        case 0x0: halted = true; return;  // no interrupt check after HLT
        case 0x2: a = 0; n = false; z = true; break;
        case 0x3: c = false; break;
        case 0x4: a = static_cast<std::uint16_t>(~a); setNZ(a); break;
        case 0x5: c = !c; break;
        case 0x6: {
          const bool out = (a & 0x8000) != 0;
          a = static_cast<std::uint16_t>((a << 1) | (c ? 1 : 0));
          c = out;
          setNZ(a);
          break;
        }
        case 0x7: {
          const bool out = (a & 1) != 0;
          a = static_cast<std::uint16_t>((a >> 1) | (c ? 0x8000 : 0));
          c = out;
          setNZ(a);
          break;
        }
        case 0x8: add(a, 1, 0); break;
        case 0x9: add(a, 0xFFFF, 0); break;
        case 0xA: ie = true; break;
        case 0xB: ie = false; ir = false; break;
        default: break;  // NOP (F100) and FC00..FF00
      }
      break;
    }
    default: break;  // codes 7 and D
  }
  if (ir && ie) {
    at(0) = static_cast<std::uint16_t>(pc);
    pc = 1;
    ir = false;
    ie = false;
  }
}

}  // namespace vesk::testing
