// Command mnemonics: the decoder from a command word's hex text to its text
// form ("ADD 023", "IN 05", "HLT") and the encoder back.
#pragma once

#include <string_view>

#include "format/word.h"

namespace vesk {

// Text form of a command word given as hex digits (shorter text is padded
// with '0' to four); empty when the word has no mnemonic.
Word CodeToMnemonic(std::string_view hexText);

// Four upper-cased characters of the command word for a recognised mnemonic
// (operand characters are not checked), or empty.
Word MnemonicToCode(std::string_view lineText);

// I/O command (code E) to text; empty for orders 4..F.
Word IOCodeToMnemonic(std::string_view hexText);

// Non-address command (code F) to text; empty for words without a mnemonic.
Word NonAddressCodeToMnemonic(std::string_view hexText);

// The first `width` characters after the first space, left-padded with '0';
// width zeros when there is no space.
Word ExtractOperand(std::string_view lineText, int width);

}  // namespace vesk
