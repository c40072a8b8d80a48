// Micro-memory: the control store of 255 vertical micro-commands (addresses
// 01..FF; there is no 00), their comments and three fixed row keys.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/row_key.h"
#include "format/bit_string.h"
#include "format/word.h"
#include "util/listeners.h"

namespace vesk {

class MicroMemoryListener {
 public:
  virtual ~MicroMemoryListener() = default;
  virtual void microRowChanged(int /*address*/) {}
  virtual void microSelectionChanged(int /*address*/) {}
  // Many rows changed at once (a micro-program was loaded).
  virtual void microRowsChanged() {}
};

class MicroMemory {
 public:
  static constexpr int kWords = 255;

  MicroMemory();

  Listeners<MicroMemoryListener>& listeners() { return listeners_; }
  // Told of rows changed only, never of the selection a fetch moves (a run
  // costs these listeners nothing).
  Listeners<MicroMemoryListener>& rowListeners() { return rowListeners_; }

  // address: hex text naming 01..FF (either case); anything else throws
  // MachineError. Selects the row and returns its vertical micro-command.
  Word Micro_ReadMem(std::string_view address);
  // The row key ("new_cmd" at 01, "curr_cmd_addr_to_ar" at 02,
  // "curr_cmd_in_cr" at 06, empty elsewhere). Does not move the selection.
  const std::string& Micro_ReadKey(std::string_view address) const;
  // Selects the row and stores the word (16 characters of '0'/'1', otherwise
  // MachineError). Key and comment stay.
  void Micro_WriteMem(std::string_view address, std::string_view value);

  // Stores word and comment without selecting (the file reader's way in).
  void SetRow(int address, std::string_view value, std::string_view comment);
  void SetComment(int address, std::string_view comment);
  // Tells listeners that many rows changed (after SetRow in bulk).
  void notifyRowsChanged();
  // A step back's way in: the selection as it was (-1: none).
  void RestoreSelection(int address);

  // Run control's way in, with the row by number (1..255): the same as
  // Micro_ReadMem and Micro_ReadKey given the address as two hex digits.
  std::uint16_t ReadAt(int address);
  RowKey KeyAt(int address) const { return rowKeys_[index(address)]; }

  Word Value(int address) const { return NumToBits(words_[index(address)], 16); }
  std::uint16_t Bits(int address) const { return words_[index(address)]; }
  const std::string& Comment(int address) const { return comments_[index(address)]; }
  // Grows whenever a comment is stored, so a reader can tell that the
  // comments it has seen are still the same.
  std::uint64_t CommentsVersion() const { return commentsVersion_; }
  const std::string& Key(int address) const { return keys_[index(address)]; }
  int Selected() const { return selected_; }

  static std::string AddressText(int address);  // "01".."FF"
  // "Горизонт." column: "hhhh.hhhh.hhhh.hhhh llll.llll.llll.llll | HHHH LLLL".
  std::string HorizontalText(int address) const;
  // "Верт." column: "vvvv.vvvv.vvvv.vvvv | VVVV".
  std::string VerticalText(int address) const;

  // The address (1..255) a hex text names, or nothing.
  static std::optional<int> ParseAddress(std::string_view hex);

 private:
  static std::size_t index(int address) {
    if (address < 1 || address > kWords) noAddress(address);
    return static_cast<std::size_t>(address - 1);
  }
  [[noreturn]] static void noAddress(int address);
  int requireAddress(std::string_view hex) const;
  void select(int address);

  // The one place a word changes.
  void store(int address, std::uint16_t value);

  Listeners<MicroMemoryListener> listeners_;
  Listeners<MicroMemoryListener> rowListeners_;
  std::array<std::uint16_t, kWords> words_{};
  std::array<std::string, kWords> comments_;
  std::array<std::string, kWords> keys_;
  std::array<RowKey, kWords> rowKeys_{};
  std::uint64_t commentsVersion_ = 1;
  int selected_ = -1;
};

std::string MicroHorizontalText(std::string_view vertical);
std::string MicroVerticalText(std::string_view vertical);

}  // namespace vesk
