#include "app/program_input.h"

#include <ostream>

#include "asm/asm_messages.h"
#include "asm/memory_image.h"
#include "asm/source_file.h"
#include "memory/dump_file.h"
#include "memory/micro_program_file.h"

namespace vesk {

namespace {
template <class Assembly>
bool Report(const Assembly& assembly, const std::string& path, std::ostream& err) {
  for (const AsmError& e : assembly.errors) err << AsmErrorLine(path, e) << "\n";
  return assembly.ok();
}

FileResult Unreadable(const std::string& error) {
  FileResult r;
  r.error = error;
  return r;
}
}  // namespace

FileResult LoadProgramInput(MainMemory& memory, const std::string& path, std::ostream& err, std::optional<int>* start) {
  if (!HasExtension(path, ".vasm")) return Mem_LoadDump(memory, path);
  const SourceText source = ReadSourceFile(path);
  if (!source.ok) return Unreadable(source.error);
  const ProgramAssembly program = AssembleProgram(source.text);
  if (!Report(program, path, err)) return FileResult{};
  WriteProgram(program, memory, true);
  if (start) *start = program.start;
  FileResult r;
  r.ok = true;
  r.lines = ProgramAssembly::kWords;
  return r;
}

FileResult LoadMicroProgramInput(MicroMemory& memory, const std::string& path, std::ostream& err) {
  if (!HasExtension(path, ".masm")) return LoadMicroProgram(memory, path);
  const SourceText source = ReadSourceFile(path);
  if (!source.ok) return Unreadable(source.error);
  const MicroAssembly program = AssembleMicroProgram(source.text);
  if (!Report(program, path, err)) return FileResult{};
  WriteMicroProgram(program, memory, true);
  FileResult r;
  r.ok = true;
  r.lines = MicroAssembly::kWords;
  return r;
}

}  // namespace vesk
