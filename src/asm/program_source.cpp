#include "asm/program_source.h"

#include "asm/disassembler.h"
#include "asm/listing.h"
#include "asm/memory_image.h"

namespace vesk {

namespace {
std::vector<int> Lines(const std::vector<AssembledWord>& words) {
  std::vector<int> lines(words.size());
  for (std::size_t a = 0; a < words.size(); ++a) lines[a] = words[a].used ? words[a].line : 0;
  return lines;
}

SourceOutcome Outcome(const ProgramAssembly& p) {
  return SourceOutcome{p.errors, p.start, p.ok() ? Lines(p.words) : std::vector<int>()};
}

SourceOutcome Outcome(const MicroAssembly& m) {
  return SourceOutcome{m.errors, 0, m.ok() ? Lines(m.rows) : std::vector<int>()};
}
}  // namespace

SourceOutcome ProgramSource::Assemble(std::string_view text, bool clearFirst) {
  const ProgramAssembly p = AssembleProgram(text);
  if (p.ok()) WriteProgram(p, memory_, clearFirst);
  return Outcome(p);
}

SourceOutcome ProgramSource::Check(std::string_view text) const { return Outcome(AssembleProgram(text)); }

std::string ProgramSource::FromMemory(int start) const { return DisassembleProgram(ReadProgramImage(memory_), start); }

std::string ProgramSource::Listing(std::string_view text) const {
  return ListingText(ProgramListingRows(AssembleProgram(text), text), 3);
}

SourceOutcome MicroProgramSource::Assemble(std::string_view text, bool clearFirst) {
  const MicroAssembly m = AssembleMicroProgram(text);
  if (m.ok()) WriteMicroProgram(m, memory_, clearFirst);
  return Outcome(m);
}

SourceOutcome MicroProgramSource::Check(std::string_view text) const { return Outcome(AssembleMicroProgram(text)); }

std::string MicroProgramSource::FromMemory() const { return DisassembleMicroProgram(ReadMicroImage(memory_)); }

std::string MicroProgramSource::Listing(std::string_view text) const {
  return ListingText(MicroListingRows(AssembleMicroProgram(text), text), 2);
}

}  // namespace vesk
