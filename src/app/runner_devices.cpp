#include "app/runner_devices.h"

#include <algorithm>

#include "app/machine.h"
#include "asm/source_text.h"
#include "io/character_key_code.h"

namespace vesk {

namespace {

// The code point of the UTF-8 sequence at text[i] and its length, or
// nothing when the bytes there are not UTF-8.
std::optional<std::pair<char32_t, std::size_t>> DecodeUtf8(std::string_view text, std::size_t i) {
  const auto b = static_cast<unsigned char>(text[i]);
  if (b < 0x80) return std::pair{static_cast<char32_t>(b), std::size_t{1}};
  std::size_t length = 0;
  char32_t c = 0;
  if ((b & 0xE0) == 0xC0) length = 2, c = b & 0x1F;
  else if ((b & 0xF0) == 0xE0) length = 3, c = b & 0x0F;
  else if ((b & 0xF8) == 0xF0) length = 4, c = b & 0x07;
  else return std::nullopt;
  if (i + length > text.size()) return std::nullopt;
  for (std::size_t k = 1; k < length; ++k) {
    const auto next = static_cast<unsigned char>(text[i + k]);
    if ((next & 0xC0) != 0x80) return std::nullopt;
    c = (c << 6) | (next & 0x3F);
  }
  static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (c < kSmallest[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return std::nullopt;
  return std::pair{c, length};
}

std::string CodePointName(char32_t c) {
  return "U+" + HexText(static_cast<int>(c), 4);
}

}  // namespace

std::optional<int> ParseRunnerController(std::string_view text) {
  if (text.empty() || text.size() > 2) return std::nullopt;
  return Controllers::ParseAddress(text);
}

std::string ParseRunnerKeyboard(std::string_view value, RunnerKeyboard& keyboard) {
  const auto eq = value.find('=');
  const std::string_view address = value.substr(0, std::min(eq, value.size()));
  const auto parsed = ParseRunnerController(address);
  if (eq == std::string_view::npos || !parsed)
    return "--keyboard takes AA=TEXT (a hex controller 00 to FF, then the keys), not '" + std::string(value) + "'";
  const std::string_view text = value.substr(eq + 1);
  if (text.empty()) return "--keyboard " + std::string(address) + "= names no keys";
  RunnerKeyboard result{*parsed, {}};
  std::size_t position = 0;  // characters, counted from 1
  for (std::size_t i = 0; i < text.size();) {
    ++position;
    const std::string where = " (character " + std::to_string(position) + " of the keys)";
    if (text[i] == '\\') {
      if (i + 1 < text.size() && text[i + 1] == '\\') {
        result.keys.push_back(static_cast<std::uint8_t>(CharacterKeyCode('\\')));
        i += 2;
        continue;
      }
      if (i + 1 < text.size() && text[i + 1] == 'x') {
        const std::string_view digits = text.substr(i + 2, 2);
        const auto code = digits.size() == 2 ? HexValue(digits, 2) : std::nullopt;
        if (!code)
          return "--keyboard: \\x must be followed by two hex digits, not '" + std::string(text.substr(i, 4)) + "'" +
                 where;
        if (*code == 0) return "--keyboard: \\x00 is no key code (01 to FF)" + where;
        result.keys.push_back(static_cast<std::uint8_t>(*code));
        i += 4;
        continue;
      }
      return "--keyboard: a backslash starts \\xHH (a key code) or \\\\ (a backslash)" + where;
    }
    const auto decoded = DecodeUtf8(text, i);
    if (!decoded) return "--keyboard: the keys are not UTF-8 text" + where;
    const auto [c, length] = *decoded;
    const std::string shown(text.substr(i, length));
    if (c >= 0x80)
      return "--keyboard: '" + shown + "' (" + CodePointName(c) +
             ") is not on the US keyboard; give its key code as \\xHH" + where;
    const int code = CharacterKeyCode(c);
    if (code == 0)
      return "--keyboard: " + CodePointName(c) + " is typed by no key; give its key code as \\xHH" + where;
    result.keys.push_back(static_cast<std::uint8_t>(code));
    i += length;
  }
  if (result.keys.size() > Keyboard::kQueueCapacity)
    return "--keyboard: " + std::to_string(result.keys.size()) + " keys do not fit the keyboard's queue of " +
           std::to_string(Keyboard::kQueueCapacity);
  keyboard = std::move(result);
  return {};
}

std::string AttachRunnerDevices(Machine& m, const std::vector<int>& monitors,
                                const std::optional<RunnerKeyboard>& keyboard) {
  if (keyboard) {
    const int own = Controllers::RowOfAddress(keyboard->address);
    for (int row = 0; row < Controllers::kCount; ++row)
      if (row != own && m.controllers.Device(row) == kDeviceKeyboard &&
          std::find(monitors.begin(), monitors.end(), Controllers::AddressOfRow(row)) == monitors.end())
        return "--keyboard " + Controllers::AddressText(own) + ": the machine has one keyboard, and the state file "
               "puts it on controller " + Controllers::AddressText(row);
  }
  for (const int address : monitors) m.controllers.SetDevice(Controllers::RowOfAddress(address), kDeviceMonitor);
  if (keyboard) {
    m.keyboard.setMode(Keyboard::Mode::QueueAsRead);
    for (const std::uint8_t key : keyboard->keys) m.keyboard.KeyPressed(key);
    m.controllers.SetDevice(Controllers::RowOfAddress(keyboard->address), kDeviceKeyboard);
  }
  return {};
}

bool HasMonitor(const Machine& m) {
  for (int row = 0; row < Controllers::kCount; ++row)
    if (m.controllers.Device(row) == kDeviceMonitor) return true;
  return false;
}

}  // namespace vesk
