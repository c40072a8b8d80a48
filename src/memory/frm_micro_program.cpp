#include "memory/frm_micro_program.h"

#include "asm/source_text.h"
#include "format/bit_string.h"

namespace vesk {

frmMicroProgram::frmMicroProgram(MicroMemory& memory, Processor& cpu, const std::string& settingsFile,
                                 Dialogs* dialogs, QWidget* parent)
    : SourceWindow(
          Texts{QStringLiteral("Микропрограмма (текст)"),
                QStringLiteral("Микропрограмма Vesk, текст (*.masm);;Все файлы (*.*)"), QStringLiteral("masm"),
                QStringLiteral("Сохранение микропрограммы (текст)..."), QStringLiteral("Очистить микропамять"),
                QStringLiteral("Текст микропрограммы изменён и не сохранён.") + "\n" +
                    QStringLiteral("Продолжить без сохранения?"),
                FileFolders::Kind::MicroProgram},
          SourceLanguage::kMicroProgram, cpu, Reg::MicroCounter, settingsFile, "MicroProgramText", dialogs, parent),
      memory_(memory),
      source_(memory) {
  setObjectName(QStringLiteral("frmMicroProgram"));
}

SourceOutcome frmMicroProgram::assembleText(std::string_view text, bool clearFirst) {
  return source_.Assemble(text, clearFirst);
}

SourceOutcome frmMicroProgram::checkText(std::string_view text) const { return source_.Check(text); }

std::string frmMicroProgram::memoryText() { return source_.FromMemory(); }

std::string frmMicroProgram::listingText(std::string_view text) { return source_.Listing(text); }

std::uint16_t frmMicroProgram::memoryWord(int address) const {
  if (address < 1 || address > MicroMemory::kWords) return 0;
  return static_cast<std::uint16_t>(BitsValue(memory_.Value(address)));
}

QString frmMicroProgram::assembledNote(const SourceOutcome&, int words) const {
  return QStringLiteral("Записано микрокоманд: %1").arg(words);
}

int frmMicroProgram::nextAddress() const {
  return static_cast<int>(HexValue(cpu_.Micro_Reg_Get_CommandCounter().view(), 2).value_or(-1));
}

}  // namespace vesk
