// Errors of the two assemblers: where (line and column) and what (a code and
// the pieces of text the message quotes). The words of each message live in
// asm_messages.cpp, shared by every front end.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vesk {

enum class AsmErrorCode {
  // Both languages.
  kInvalidUtf8,            // the line holds bytes that are not UTF-8
  kCommentNotCp1251,       // {0}: the character
  kBadLabelName,           // {0}: the name
  kDuplicateLabel,         // {0}: the name, {1}: line of the first definition
  kUnknownLabel,           // {0}: the name
  kUnexpectedText,         // {0}: the text
  kTooManyErrors,          // {0}: how many are shown
  // Programs.
  kLabelLooksHex,          // {0}: the name
  kUnknownMnemonic,        // {0}: the word
  kOperandMissing,         // {0}: the mnemonic or directive
  kOperandNotAllowed,      // {0}: the mnemonic
  kAddressOutOfRange,      // {0}: the value
  kControllerOutOfRange,   // {0}: the value
  kValueOutOfRange,        // {0}: the value
  kExpectedValue,          // {0}: what stands there instead
  kNumberTooLong,          // {0}: the digits
  kIndirectNotAllowed,     // {0}: the mnemonic or directive
  kMissingParen,
  kPastEndOfMemory,
  kAddressFilledTwice,     // {0}: the address, {1}: the line that filled it
  kCommentWithoutWord,
  kStartTwice,             // {0}: line of the first START
  kEquWithoutName,
  kLabelLoop,              // {0}: the name
  kEquTooDeep,             // {0}: the name
  kForwardReference,       // {0}: the name
  // Micro-programs.
  kMicroLineFormat,
  kMicroAddress,           // {0}: the text
  kMicroAddressNotRising,  // {0}: the address, {1}: the previous one
  kMicroPastEnd,
  kOperationMissing,
  kEmptyPart,
  kUnknownPart,            // {0}: the part
  kJumpNotAlone,
  kJumpSyntax,
  kJumpRegister,           // {0}: the register
  kBitNumber,              // {0}: the text
  kCompareValue,           // {0}: the text
  kJumpTarget,             // {0}: the target
  kTwoLeftInputs,          // {0}, {1}: the inputs
  kTwoRightInputs,         // {0}, {1}: the inputs
  kNotAnAdderInput,        // {0}: the text
  kBothInverted,
  kNoFreeInput,
  kAndWithPlus,
  kPlusOneTwice,
  kPlusOneWithAnd,
  kBufferTwice,
  kMemoryTwice,
  kAdderAndTransfer,
  kCarryValue,             // {0}: the text
  kCarryTwice,
  kSignValue,              // {0}: the text
  kZeroValue,              // {0}: the text
  kOnlyFromBuffer,         // {0}: the register
  kUnknownRegister,        // {0}: the text
  kDestinationTwice,       // {0}: the register
  kDestinationSet,
  kHltAlone,
  kSignalTwice,            // {0}: the signal
  kEmptyAdder,
  kCodeFormat,             // {0}: the text
  kCodeMismatch,           // {0}: the code, {1}: what it does (keep it last)
};
inline constexpr int kAsmErrorCodeCount = static_cast<int>(AsmErrorCode::kCodeMismatch) + 1;

struct AsmError {
  int line = 0;    // 1-based
  int column = 0;  // 1-based, in characters of the line
  AsmErrorCode code = AsmErrorCode::kUnexpectedText;
  std::vector<std::string> args;

  bool operator==(const AsmError&) const = default;
};

// No more errors than this are collected; the last entry then says so.
constexpr std::size_t kMaxAsmErrors = 200;

// Collects errors up to kMaxAsmErrors.
class AsmErrorList {
 public:
  // column: 1-based character column.
  void Add(int line, int column, AsmErrorCode code, std::vector<std::string> args = {});
  bool Full() const { return full_; }
  bool Empty() const { return errors_.empty(); }
  std::vector<AsmError> Take() { return std::move(errors_); }
  // Sorted by line and column (errors found in a later pass come last).
  void Sort();

 private:
  std::vector<AsmError> errors_;
  bool full_ = false;
};

// A piece of source for a message: at most 40 characters, with "…" after a
// cut, never splitting a UTF-8 sequence.
std::string QuoteForMessage(std::string_view text);

}  // namespace vesk
