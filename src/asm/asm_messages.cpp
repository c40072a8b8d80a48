#include "asm/asm_messages.h"

namespace vesk {

std::string_view AsmErrorTemplate(AsmErrorCode code) {
  using C = AsmErrorCode;
  switch (code) {
    case C::kInvalidUtf8: return "Строка содержит байты, которые не являются текстом UTF-8";
    case C::kCommentNotCp1251: return "Комментарий содержит символ {0}, которого нет в кодировке windows-1251";
    case C::kBadLabelName:
      return "«{0}» не годится в метки: метка состоит из латинских букв, цифр и «_» и начинается не с цифры";
    case C::kDuplicateLabel: return "Метка «{0}» уже определена в строке {1}";
    case C::kUnknownLabel: return "Метка «{0}» нигде не определена";
    case C::kUnexpectedText: return "Лишний текст «{0}»";
    case C::kTooManyErrors: return "Слишком много ошибок: показаны первые {0}";

    case C::kLabelLooksHex: return "Метка «{0}» читается как шестнадцатеричное число";
    case C::kUnknownMnemonic: return "Неизвестная команда «{0}»";
    case C::kOperandMissing: return "{0}: не хватает операнда";
    case C::kOperandNotAllowed: return "Команда {0} не имеет операнда";
    case C::kAddressOutOfRange: return "Адрес {0} вне памяти (000-7FF)";
    case C::kControllerOutOfRange: return "Номер контроллера {0} вне диапазона 00-FF";
    case C::kValueOutOfRange: return "Значение {0} не помещается в 16-разрядное слово";
    case C::kExpectedValue: return "Ожидалось шестнадцатеричное число или метка, а не «{0}»";
    case C::kNumberTooLong: return "Число «{0}» длиннее четырёх шестнадцатеричных цифр";
    case C::kIndirectNotAllowed: return "{0}: косвенная адресация «(...)» бывает только у адресных команд";
    case C::kMissingParen: return "Нет закрывающей скобки «)»";
    case C::kPastEndOfMemory: return "Слово не помещается в память: за адресом 7FF ячеек нет";
    case C::kAddressFilledTwice: return "Ячейка {0} уже занята словом из строки {1}";
    case C::kCommentWithoutWord:
      return "Комментарий не к чему отнести: строка не создаёт слова (пометки в тексте начинайте с «#»)";
    case C::kStartTwice: return "START уже задан в строке {0}";
    case C::kEquWithoutName: return "EQU: перед EQU должно стоять имя";
    case C::kLabelLoop: return "Метка «{0}» определена через саму себя";
    case C::kEquTooDeep: return "Метка «{0}»: цепочка определений EQU длиннее 100 звеньев";
    case C::kForwardReference:
      return "Метка «{0}» определена ниже: адрес в ORG зависит только от меток, определённых выше";

    case C::kMicroLineFormat: return "Строка микропрограммы пишется так: адрес | метка | операция | комментарий";
    case C::kMicroAddress: return "Адрес микрокоманды - шестнадцатеричное число 01-FF, а не «{0}»";
    case C::kMicroAddressNotRising: return "Адрес {0} должен быть больше предыдущего ({1})";
    case C::kMicroPastEnd: return "За адресом FF микрокоманд нет";
    case C::kOperationMissing: return "Не указана операция (пустая микрокоманда - NOP)";
    case C::kEmptyPart: return "Пустая часть между запятыми";
    case C::kUnknownPart: return "Непонятная часть операции «{0}»";
    case C::kJumpNotAlone: return "Переход пишется один, без других частей";
    case C::kJumpSyntax: return "Переход пишется так: IF R.n = v GOTO метка, или GOTO метка";
    case C::kJumpRegister: return "Переход проверяет разряд РС, РД, РК или А, а не «{0}»";
    case C::kBitNumber: return "Номер разряда - число от 0 до 15, а не «{0}»";
    case C::kCompareValue: return "Разряд сравнивается с 0 или 1, а не с «{0}»";
    case C::kJumpTarget: return "Адрес перехода - метка или две шестнадцатеричные цифры, а не «{0}»";
    case C::kTwoLeftInputs: return "Два левых входа сумматора: {0} и {1}";
    case C::kTwoRightInputs: return "Два правых входа сумматора: {0} и {1}";
    case C::kNotAnAdderInput:
      return "«{0}» не вход сумматора (левые входы: А, РС, КР; правые: РД, РК, СК; пустой вход: 0 или ~0)";
    case C::kBothInverted: return "Инвертировать можно только один вход сумматора";
    case C::kNoFreeInput: return "Для «~0» не осталось свободного входа сумматора";
    case C::kAndWithPlus: return "«&» и «+» не сочетаются в одном выражении";
    case C::kPlusOneTwice: return "«+ 1» указано дважды";
    case C::kPlusOneWithAnd: return "«+ 1» не сочетается с «&»";
    case C::kBufferTwice: return "БР вычисляется один раз за микрокоманду";
    case C::kMemoryTwice: return "Одна микрокоманда обращается к памяти один раз (READ или WRITE)";
    case C::kAdderAndTransfer:
      return "Операции сумматора (БР := ..., READ, WRITE) и пересылки из БР не совмещаются в одной микрокоманде";
    case C::kCarryValue: return "С принимает БР.16, 0 или 1, а не «{0}»";
    case C::kCarryTwice: return "С задаётся один раз за микрокоманду";
    case C::kSignValue: return "N принимает только БР.15, а не «{0}»";
    case C::kZeroValue: return "Z принимает только БР=0, а не «{0}»";
    case C::kOnlyFromBuffer: return "{0} принимает только БР";
    case C::kUnknownRegister: return "Неизвестный регистр «{0}»";
    case C::kDestinationTwice: return "{0} указан дважды";
    case C::kDestinationSet: return "БР пересылается в один из РА, РД, РК, СК, А или сразу в РА, РД, РК и А";
    case C::kHltAlone: return "HLT пишется один: вместе с ним остальные пересылки не выполняются";
    case C::kSignalTwice: return "{0} указано дважды";
    case C::kEmptyAdder:
      return "У сумматора нет ни одного входа, и микрокоманда ничего не делает (ноль в БР: «БР := КР»)";
    case C::kCodeFormat: return "Код микрокоманды в скобках - четыре шестнадцатеричные цифры, а не «{0}»";
    case C::kCodeMismatch: return "Код {0} означает «{1}», а не эту операцию";
  }
  return "Ошибка";
}

std::string AsmErrorMessage(const AsmError& error) {
  const std::string_view pattern = AsmErrorTemplate(error.code);
  std::string out;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == '{' && i + 2 < pattern.size() && pattern[i + 2] == '}' && pattern[i + 1] >= '0' &&
        pattern[i + 1] <= '9') {
      const std::size_t k = static_cast<std::size_t>(pattern[i + 1] - '0');
      if (k < error.args.size()) out += error.args[k];
      i += 2;
      continue;
    }
    out += pattern[i];
  }
  return out;
}

std::string AsmErrorLine(const std::string& file, const AsmError& error) {
  return file + ":" + std::to_string(error.line) + ":" + std::to_string(error.column) + ": " + AsmErrorMessage(error);
}

}  // namespace vesk
