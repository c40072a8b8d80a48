// One micro-command in the register-transfer notation of micro-program
// sources ("БР := СК + 1, READ", "IF РК.15 = 1 GOTO high"), both ways. The
// notation is described in docs/micro-program-language.md.
//
// Several vertical words can have the same effect: fields that are not used,
// the second code of "none" in a field, adder inputs whose sum a rotation
// replaces, transfers that HLT keeps from happening. Each such word reads as
// the text of its effect followed by its code in brackets ("HLT [4009]"), so
// that every one of the 65,536 words has a text that assembles back to it.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "asm/asm_error.h"
#include "asm/source_text.h"

namespace vesk {

// A jump target (label, or one or two hex digits) to a micro-address 00-FF.
using JumpTargetResolver = std::function<std::optional<int>(std::string_view)>;

// The word an operation stands for, or nothing after reporting its first
// error to errors (at the operation's line and the offending column).
std::optional<std::uint16_t> ParseMicroOperation(const SourceSpan& operation, const JumpTargetResolver& resolve,
                                                 AsmErrorList& errors);

// The word of the same effect that the plain text of that effect assembles
// to; words whose fields are all in use are their own canonical word.
std::uint16_t CanonicalMicroWord(std::uint16_t word);

// A micro-address as a jump target in text: a label, or empty for two hex
// digits.
using JumpTargetNamer = std::function<std::string(int address)>;

// The text of a word, with its code in brackets when it is not canonical.
std::string MicroOperationText(std::uint16_t word, const JumpTargetNamer& name = {});

}  // namespace vesk
