// The Russian texts of the assemblers' errors: the one place every front end
// (the source windows, vesk-asm, vesk-masm, vesk-run) words them.
#pragma once

#include <string>
#include <string_view>

#include "asm/asm_error.h"

namespace vesk {

// The text of a code with {0}, {1} where the message quotes the source.
std::string_view AsmErrorTemplate(AsmErrorCode code);

// "Неизвестная команда «FOO»".
std::string AsmErrorMessage(const AsmError& error);

// "file:line:column: message", the line compilers print.
std::string AsmErrorLine(const std::string& file, const AsmError& error);

}  // namespace vesk
