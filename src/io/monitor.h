// The monitor: a 25 x 80 character screen fed byte by byte by the controller
// it is attached to.
//
// Cells hold windows-1251 codes; 0 marks an empty cell. A fresh screen has
// "0" in column 1 of every row and nothing else. Bytes written to the monitor's
// controller appear at a cursor that advances, wraps after column 80, moves to
// the start of the next row on CR, and scrolls the screen up at the bottom.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "util/listeners.h"

namespace vesk {

class MonitorListener {
 public:
  virtual ~MonitorListener() = default;
  // Cell (row y, column x), both counted from 1, holds a new character.
  virtual void cellChanged(int /*x*/, int /*y*/) {}
  // Every row moved up by one (or the screen was cleared): all cells changed.
  virtual void screenChanged() {}
};

class Monitor {
 public:
  static constexpr int kRows = 25;
  static constexpr int kColumns = 80;
  static constexpr std::uint8_t kCarriageReturn = 0x0D;
  static constexpr std::uint8_t kLineFeed = 0x0A;

  Monitor();

  Listeners<MonitorListener>& listeners() { return listeners_; }

  // x: column 1..80, y: row 1..25, c: 0..255; anything else throws
  // MachineError (subscript out of range) and changes nothing.
  void SetChar(int x, int y, int c);
  // The code in the cell; an empty cell gives 0.
  int GetChar(int x, int y) const;

  // The controller's new data register (8 bits, as the controllers pass it):
  // its byte goes to the screen at the cursor. Text that is not a bit string
  // counts its non-'1' characters as 0, as every bit helper does.
  void BufferChanged(std::string_view din_data);
  // One byte at the cursor: CR starts the next row, LF is ignored (so CR LF
  // is one line break), every other byte is a character.
  void Put(std::uint8_t byte);

  // Where the next character goes (1-based). After a character in column 80
  // the cursor stays there until the next character, which opens a new row;
  // so 80 characters and a CR make one row, not one row and an empty one.
  int CursorColumn() const { return column_; }
  int CursorRow() const { return row_; }

  // The fresh screen again, cursor at row 1, column 1.
  void Reset();

  // True once a character was put in row y (1..25) since the screen was
  // fresh; the mark moves up with its row when the screen scrolls. A row
  // without it shows only the fresh screen's "0" in column 1.
  bool RowWritten(int y) const;
  // What was printed, as text: the written rows, each as UTF-8 with empty
  // cells as spaces and trailing spaces dropped, joined with "\n"; rows
  // never written count as empty, and empty rows at the end are dropped.
  std::string Text() const;

  // The whole screen and cursor, for a step back.
  struct State {
    std::array<std::uint8_t, kRows * kColumns> cells{};
    int column = 1;
    int row = 1;
    bool wrapPending = false;
    std::array<bool, kRows> written{};
    bool operator==(const State&) const = default;
  };
  State Save() const { return {cells_, column_, row_, wrapPending_, written_}; }
  void Restore(const State& state);

 private:
  void check(int x, int y) const;
  void newLine();
  std::uint8_t& cell(int x, int y) { return cells_[static_cast<std::size_t>((y - 1) * kColumns + (x - 1))]; }

  std::array<std::uint8_t, kRows * kColumns> cells_{};
  int column_ = 1;
  int row_ = 1;
  bool wrapPending_ = false;
  std::array<bool, kRows> written_{};
  Listeners<MonitorListener> listeners_;
};

}  // namespace vesk
