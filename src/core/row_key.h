// The keys of the three micro-memory rows run control and the command trace
// watch: the command boundary, the fetch of the command's address and the
// command's arrival in РК.
#pragma once

#include <cstdint>
#include <string_view>

namespace vesk {

inline constexpr std::string_view kKeyNewCommand = "new_cmd";
inline constexpr std::string_view kKeyCommandAddress = "curr_cmd_addr_to_ar";
inline constexpr std::string_view kKeyCommandInCR = "curr_cmd_in_cr";

enum class RowKey : std::uint8_t { None, NewCommand, CommandAddress, CommandInCR };

inline RowKey RowKeyOf(std::string_view key) {
  if (key == kKeyNewCommand) return RowKey::NewCommand;
  if (key == kKeyCommandAddress) return RowKey::CommandAddress;
  if (key == kKeyCommandInCR) return RowKey::CommandInCR;
  return RowKey::None;
}

}  // namespace vesk
