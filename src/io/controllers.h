// The 256 I/O controllers: a flag, an 8-bit data register, the attached
// device's name and a comment each, and the processor's I/O orders.
//
// Rows stand in list order: addresses 01, 02, ..., FF, and 00 last.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "format/bit_string.h"
#include "format/word.h"
#include "util/listeners.h"

namespace vesk {

class Processor;

inline constexpr std::string_view kNoDevice = " - ";
inline constexpr std::string_view kDeviceMonitor = "Monitor";
inline constexpr std::string_view kDeviceKeyboard = "Keyboard";
inline constexpr std::string_view kDeviceNetAdapter = "Net adapter";

class ControllersListener {
 public:
  virtual ~ControllersListener() = default;
  // Any field of the row changed.
  virtual void controllerChanged(int /*row*/) {}
  // Reg_Set_Data stored a new data register (devices hear of it here).
  virtual void dataRegisterWritten(int /*row*/) {}
  // A flag was cleared by CLF or DropAllFlag, or set; devices that feed a
  // controller wait for its flag to drop.
  virtual void flagChanged(int /*row*/) {}
  // A step back put the row's flag and data register back; devices do not
  // act on it.
  virtual void rowRestored(int row) { controllerChanged(row); }
};

class Controllers {
 public:
  static constexpr int kCount = 256;

  explicit Controllers(Processor& cpu);

  Listeners<ControllersListener>& listeners() { return listeners_; }

  // addr: hex text of the controller (00..FF, either case); text that names
  // no controller throws MachineError.
  int Reg_Get_Flag(std::string_view addr) const;
  void Reg_Set_Flag(std::string_view addr, int data);
  Word Reg_Get_Data(std::string_view addr) const;
  // data: bit string of any length, fitted to 8; non-binary text throws.
  void Reg_Set_Data(std::string_view addr, std::string_view data);
  void DropAllFlag();
  // A step back's way in: flag and data register (8 bits) as they were.
  void RestoreRow(int row, int flag, std::string_view data);
  // bin_cmd: the I/O order in РД. Orders 0..3 are CLF, TSF, IN, OUT.
  void ExecuteIOCommand(std::string_view bin_cmd);
  // The same for a 16-bit РД given as a number.
  void ExecuteIO(std::uint16_t order);

  // Row (0..255) of a controller address (0..255) and back.
  static int RowOfAddress(int address) { return address == 0 ? kCount - 1 : address - 1; }
  static int AddressOfRow(int row) { return (row + 1) % kCount; }
  // The controller address a hex text names, or nothing.
  static std::optional<int> ParseAddress(std::string_view hex);

  // Row texts and fields, by row.
  static std::string AddressText(int row);
  int Flag(int row) const { return entry(row).flag; }
  Word Data(int row) const { return NumToBits(entry(row).data, 8); }
  std::uint8_t DataBits(int row) const { return entry(row).data; }
  std::string DataText(int row) const;  // "34 | 052 | 0011.0100"
  const std::string& Device(int row) const { return entry(row).device; }
  const std::string& Comment(int row) const { return entry(row).comment; }
  void SetDevice(int row, std::string_view device);
  void SetComment(int row, std::string_view comment);
  void SetFlagOfRow(int row, int flag);

  // True when the row is as the program started it.
  bool IsInitial(int row) const;

 private:
  struct Entry {
    int flag = 0;
    std::uint8_t data = 0;
    std::string device{kNoDevice};
    std::string comment;
  };
  const Entry& entry(int row) const;
  Entry& entry(int row);
  int rowOf(std::string_view addr) const;
  void changed(int row);
  // The one place a data register changes.
  void storeData(int row, std::uint8_t data);

  Processor& cpu_;
  Listeners<ControllersListener> listeners_;
  std::array<Entry, kCount> entries_;
};

// The data register's display text: hex, decimal to three digits, bits.
std::string ControllerDataText(std::string_view bits8);

}  // namespace vesk
