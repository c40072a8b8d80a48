// "Программа": the program source of main memory. Ассемблировать writes its
// words into memory and tells the start address; "Из памяти" starts the text
// at the start address the main window holds; the marker follows СК.
#pragma once

#include <functional>

#include "asm/program_source.h"
#include "memory/main_memory.h"
#include "memory/source_window.h"

namespace vesk {

class frmProgram final : public SourceWindow {
  Q_OBJECT

 public:
  frmProgram(MainMemory& memory, Processor& cpu, const std::string& settingsFile, Dialogs* dialogs = nullptr,
             QWidget* parent = nullptr);

  // The main window's start-address field: read for "Из памяти" (hex text).
  void setStartAddressSource(std::function<QString()> source) { startAddress_ = std::move(source); }

 signals:
  // A successful assembly: the program starts at this address ("010").
  void startAddressAssembled(const QString& address);

 protected:
  SourceOutcome assembleText(std::string_view text, bool clearFirst) override;
  SourceOutcome checkText(std::string_view text) const override;
  std::string memoryText() override;
  std::string listingText(std::string_view text) override;
  std::uint16_t memoryWord(int address) const override;
  void assembled(const SourceOutcome& outcome) override;
  QString assembledNote(const SourceOutcome& outcome, int words) const override;
  int nextAddress() const override;

 private:
  MainMemory& memory_;
  ProgramSource source_;
  std::function<QString()> startAddress_;
};

}  // namespace vesk
