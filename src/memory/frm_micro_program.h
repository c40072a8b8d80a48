// "Микропрограмма (текст)": the micro-program source of micro-memory; the
// marker follows СчМК.
#pragma once

#include "asm/program_source.h"
#include "memory/micro_memory.h"
#include "memory/source_window.h"

namespace vesk {

class frmMicroProgram final : public SourceWindow {
  Q_OBJECT

 public:
  frmMicroProgram(MicroMemory& memory, Processor& cpu, const std::string& settingsFile, Dialogs* dialogs = nullptr,
                  QWidget* parent = nullptr);

 protected:
  SourceOutcome assembleText(std::string_view text, bool clearFirst) override;
  SourceOutcome checkText(std::string_view text) const override;
  std::string memoryText() override;
  std::string listingText(std::string_view text) override;
  std::uint16_t memoryWord(int address) const override;
  QString assembledNote(const SourceOutcome& outcome, int words) const override;
  int nextAddress() const override;

 private:
  MicroMemory& memory_;
  MicroProgramSource source_;
};

}  // namespace vesk
