#include "golden/case_programs.h"

#include <stdexcept>

#include "format/bit_string.h"
#include "memory/micro_memory.h"
#include "memory/micro_program_file.h"
#include "util/cp1251.h"

namespace vesk::golden {

namespace {

std::uint32_t MicroWord(CaseRandom& r) {
  const auto bits = static_cast<std::uint32_t>(r.next());
  switch (r.below(20)) {
    case 0: case 1: case 2: case 3: case 4: case 5: case 6:
      return bits & 0x3FFFu;  // adder and memory
    case 7: case 8: case 9: case 10: case 11:
      return 0x4000u | (bits & 0x3FFFu);  // transfers, flags, I/O, HLT
    case 12: case 13: case 14: case 15: case 16: case 17: {
      // A jump: mostly into the program's first rows, now and then to 01,
      // rarely to 00, which micro-memory does not have.
      int target = r.between(1, 0x30);
      if (r.percent(20)) target = 1;
      if (r.percent(4)) target = 0;
      if (r.percent(5)) target = r.between(0, 255);
      return 0x8000u | (bits & 0x7F00u) | static_cast<std::uint32_t>(target);
    }
    default:
      return bits & 0xFFFFu;
  }
}

}  // namespace

const std::vector<Row>& RecordedMicroProgram() {
  static const std::vector<Row> rows = [] {
    MicroMemory m;
    const FileResult loaded = LoadMicroProgram(m, VESK_GOLDEN_DIR "/recorded.mpdmp");
    if (!loaded.ok) throw std::runtime_error("cannot read the recorded micro-program: " + loaded.error);
    std::vector<Row> out;
    for (int a = 1; a <= MicroMemory::kWords; ++a) out.push_back({BinToHex(m.Value(a)).str(), m.Comment(a)});
    return out;
  }();
  return rows;
}

std::vector<Row> RandomMicroProgram(CaseRandom& r) {
  std::vector<Row> rows;
  const int kind = r.below(10);
  if (kind < 5) {
    rows = RecordedMicroProgram();
    if (kind >= 3) {
      const int changes = r.between(1, 6);
      for (int k = 0; k < changes; ++k) {
        Row& row = rows[static_cast<std::size_t>(r.below(0x60))];
        row.hex = CaseRandom::Hex(MicroWord(r), 4);
        row.comment = r.comment();
      }
    }
    return rows;
  }
  rows.assign(MicroMemory::kWords, Row{"0000", ""});
  const int used = r.between(6, 0x30);
  for (int a = 0; a < used; ++a) {
    rows[static_cast<std::size_t>(a)].hex = CaseRandom::Hex(MicroWord(r), 4);
    rows[static_cast<std::size_t>(a)].comment = r.comment();
  }
  // Some programs end every command with a jump back to the boundary.
  if (r.percent(50)) rows[static_cast<std::size_t>(used - 1)].hex = "8301";
  return rows;
}

std::vector<Row> RandomDump(CaseRandom& r) {
  std::vector<Row> rows;
  const int used = r.between(4, 48);
  for (int a = 0; a < used; ++a) {
    std::uint32_t word = 0;
    const auto bits = static_cast<std::uint32_t>(r.next());
    switch (r.below(20)) {
      case 0: case 1: case 2: case 3: case 4: case 5: case 6: case 7: {
        static const std::vector<std::uint32_t> kCodes = {0, 1, 2, 3, 4, 5, 6, 8, 9, 10, 11, 12};
        word = (r.pick(kCodes) << 12) | (r.percent(20) ? 0x800u : 0u) | static_cast<std::uint32_t>(r.below(56));
        break;
      }
      case 8: case 9: case 10:
        word = 0xE000u | (static_cast<std::uint32_t>(r.below(5)) << 8) | static_cast<std::uint32_t>(r.between(0, 7));
        if (r.percent(10)) word = 0xE000u | (bits & 0xFFFu);
        break;
      case 11: case 12: case 13: case 14:
        word = 0xF000u | (static_cast<std::uint32_t>(r.between(1, 11)) << 8);
        break;
      case 15:
        word = 0xF000u;
        break;
      default:
        word = bits & 0xFFFFu;
    }
    rows.push_back({CaseRandom::Hex(word, 4), r.comment()});
  }
  if (r.percent(70)) rows.push_back({"F000", "HLT"});
  return rows;
}

std::string RowFileBytes(const std::vector<Row>& rows, int count) {
  std::string text;
  for (int i = 0; i < count; ++i) {
    if (static_cast<std::size_t>(i) < rows.size()) {
      text += rows[static_cast<std::size_t>(i)].hex;
      text += Utf8ToCp1251(rows[static_cast<std::size_t>(i)].comment).bytes;
    } else {
      text += "0000";
    }
    text += "\r\n";
  }
  return text;
}

}  // namespace vesk::golden
