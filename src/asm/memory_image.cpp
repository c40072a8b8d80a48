#include "asm/memory_image.h"

#include "format/bit_string.h"
#include "memory/main_memory.h"
#include "memory/micro_memory.h"

namespace vesk {

ProgramImage ReadProgramImage(const MainMemory& memory) {
  ProgramImage image;
  for (int a = 0; a < ProgramAssembly::kWords; ++a) {
    image.words[static_cast<std::size_t>(a)] = memory.Bits(a);
    image.comments[static_cast<std::size_t>(a)] = memory.Comment(a);
  }
  return image;
}

MicroImage ReadMicroImage(const MicroMemory& memory) {
  MicroImage image;
  for (int a = 1; a <= MicroAssembly::kWords; ++a) {
    image.words[static_cast<std::size_t>(a)] = memory.Bits(a);
    image.comments[static_cast<std::size_t>(a)] = memory.Comment(a);
  }
  return image;
}

namespace {
template <class Image>
Image Apply(const std::vector<AssembledWord>& words, const Image& before, bool clearFirst) {
  Image image = clearFirst ? Image() : before;
  for (std::size_t a = 0; a < words.size(); ++a) {
    if (!words[a].used) continue;
    image.words[a] = words[a].word;
    image.comments[a] = words[a].comment;
  }
  return image;
}
}  // namespace

ProgramImage ImageOf(const ProgramAssembly& assembly, const ProgramImage& before, bool clearFirst) {
  return Apply(assembly.words, before, clearFirst);
}

MicroImage ImageOf(const MicroAssembly& assembly, const MicroImage& before, bool clearFirst) {
  return Apply(assembly.rows, before, clearFirst);
}

void WriteProgram(const ProgramAssembly& assembly, MainMemory& memory, bool clearFirst) {
  if (clearFirst) memory.Mem_Clear();
  for (int a = 0; a < ProgramAssembly::kWords; ++a) {
    const AssembledWord& w = assembly.words[static_cast<std::size_t>(a)];
    if (w.used) memory.SetRow(a, NumToBits(w.word, 16), w.comment);
  }
}

void WriteMicroProgram(const MicroAssembly& assembly, MicroMemory& memory, bool clearFirst) {
  for (int a = 1; a <= MicroAssembly::kWords; ++a) {
    const AssembledWord& w = assembly.rows[static_cast<std::size_t>(a)];
    if (w.used) memory.SetRow(a, NumToBits(w.word, 16), w.comment);
    else if (clearFirst) memory.SetRow(a, NumToBits(0, 16), "");
  }
  memory.notifyRowsChanged();
}

}  // namespace vesk
