// Main memory: 2048 words of 16 bits, each with a comment.
//
// The words are the machine's memory; the row texts (Hex, Dec, Bin, Asm) are
// derived from them when a window asks. A cleared row shows no mnemonic: its
// Asm text fills in on the first write of its word (by the processor, the
// editor or a dump), and clearing empties it again.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "format/bit_string.h"
#include "format/word.h"
#include "util/listeners.h"

namespace vesk {

class CommandTrace;

class MainMemoryListener {
 public:
  virtual ~MainMemoryListener() = default;
  virtual void memoryRowChanged(int /*address*/) {}
  virtual void memorySelectionChanged(int /*address*/) {}
  virtual void memoryCleared() {}
};

class MainMemory {
 public:
  static constexpr int kWords = 2048;

  MainMemory();

  Listeners<MainMemoryListener>& listeners() { return listeners_; }
  // The command trace that hears of every write (EFFECT_ADDR, EFFECT_VAL).
  void setCommandTrace(CommandTrace* trace) { trace_ = trace; }

  // address: hex text of a row (either case). Selects the row and returns its
  // word. An address that names no row throws MachineError.
  Word Mem_ReadMem(std::string_view address);
  // Selects the row, stores the word (16 characters of '0'/'1', otherwise
  // MachineError) and reports "(W) " + address and the new hex to the trace.
  void Mem_WriteMem(std::string_view address, std::string_view value);
  // All words zero, all comments empty, no row written.
  void Mem_Clear();

  // The executor's way in, with the row by number (0..2047, unchecked by
  // the caller): the same as Mem_ReadMem and Mem_WriteMem given the address
  // as four hex digits.
  std::uint16_t ReadAt(int address);
  void WriteAt(int address, std::uint16_t value);

  // Stores a word and a comment without selecting or reporting (the dump
  // reader's way in); the row counts as written. The word must be 16
  // characters of '0'/'1'.
  void SetRow(int address, std::string_view value, std::string_view comment);
  void SetComment(int address, std::string_view comment);
  // A step back's way in: the word (16 characters of '0'/'1') and whether
  // the row counts as written, and the selection, as they were.
  void RestoreWord(int address, std::string_view value, bool written);
  void RestoreSelection(int address);

  Word Value(int address) const { return NumToBits(words_[index(address)], 16); }
  std::uint16_t Bits(int address) const { return words_[index(address)]; }
  const std::string& Comment(int address) const { return comments_[index(address)]; }
  int Selected() const { return selected_; }
  // Whether the word was written since the memory was last cleared.
  bool Written(int address) const { return written_[index(address)]; }

  // Row texts.
  static std::string AddressText(int address);  // "000".."7FF"
  std::string HexText(int address) const;
  std::string DecText(int address) const;
  std::string BinText(int address) const;
  std::string AsmText(int address) const;  // empty for a row not yet written

  // The address a hex text names, or nothing when it names no row.
  static std::optional<int> ParseAddress(std::string_view hex);

 private:
  static std::size_t index(int address) {
    if (address < 0 || address >= kWords) noAddress(address);
    return static_cast<std::size_t>(address);
  }
  [[noreturn]] static void noAddress(int address);
  int requireAddress(std::string_view hex) const;
  void select(int address);
  // The one place a word changes (Mem_Clear aside): stores it, tells the
  // listeners and, when `effect` is given, the command trace.
  void store(int address, std::uint16_t value, std::string_view effect);

  Listeners<MainMemoryListener> listeners_;
  CommandTrace* trace_ = nullptr;
  std::array<std::uint16_t, kWords> words_{};
  std::array<std::string, kWords> comments_;
  std::bitset<kWords> written_;
  int selected_ = -1;
};

// "00.255", or "65.535  ( -00.001)" when bit 15 is set.
std::string MemoryDecimalText(std::string_view value);

}  // namespace vesk
