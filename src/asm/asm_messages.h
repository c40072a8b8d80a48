// The Russian texts of the assemblers' errors: the one place every front end
// (the source windows, vesk-asm, vesk-masm, vesk-run) words them.
#pragma once

#include <string>

#include "asm/asm_error.h"

namespace vesk {

// "неизвестная команда «FOO»".
std::string AsmErrorMessage(const AsmError& error);

// "file:line:column: message", the line compilers print.
std::string AsmErrorLine(const std::string& file, const AsmError& error);

}  // namespace vesk
