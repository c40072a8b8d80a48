#include "memory/frm_program.h"

#include "asm/source_text.h"
#include "format/bit_string.h"

namespace vesk {

frmProgram::frmProgram(MainMemory& memory, Processor& cpu, const std::string& settingsFile, Dialogs* dialogs,
                       QWidget* parent)
    : SourceWindow(
          Texts{QStringLiteral("Программа"), QStringLiteral("Программа Vesk (*.vasm);;Все файлы (*.*)"),
                QStringLiteral("vasm"), QStringLiteral("Сохранение программы..."), QStringLiteral("Очистить память"),
                QStringLiteral("Текст программы изменён и не сохранён.") + "\n" +
                    QStringLiteral("Продолжить без сохранения?"),
                FileFolders::Kind::Dump},
          SourceLanguage::kProgram, cpu, Reg::CommandCounter, settingsFile, "Program", dialogs, parent),
      memory_(memory),
      source_(memory) {
  setObjectName(QStringLiteral("frmProgram"));
}

SourceOutcome frmProgram::assembleText(std::string_view text, bool clearFirst) {
  return source_.Assemble(text, clearFirst);
}

SourceOutcome frmProgram::checkText(std::string_view text) const { return source_.Check(text); }

std::string frmProgram::memoryText() {
  const std::string start = startAddress_ ? startAddress_().toStdString() : std::string();
  return source_.FromMemory(HexValue(start, 3).value_or(0) & (MainMemory::kWords - 1));
}

std::string frmProgram::listingText(std::string_view text) { return source_.Listing(text); }

std::uint16_t frmProgram::memoryWord(int address) const {
  return static_cast<std::uint16_t>(BitsValue(memory_.Value(address)));
}

void frmProgram::assembled(const SourceOutcome& outcome) {
  emit startAddressAssembled(QString::fromStdString(HexText(outcome.start, 3)));
}

QString frmProgram::assembledNote(const SourceOutcome& outcome, int words) const {
  return QStringLiteral("Записано слов: %1. Программа начинается с адреса %2")
      .arg(words)
      .arg(QString::fromStdString(HexText(outcome.start, 3)));
}

int frmProgram::nextAddress() const {
  return static_cast<int>(BitsValue(cpu_.Reg_Get_CommandCounter()) & (MainMemory::kWords - 1));
}

}  // namespace vesk
