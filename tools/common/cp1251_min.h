// UTF-8 to windows-1251 for the generators in tools/ (a stand-in until the
// machine library offers its own converter).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vesk::tools {

// The windows-1251 bytes of a UTF-8 text, or nothing when the text holds a
// character windows-1251 cannot show (or is not valid UTF-8).
std::optional<std::string> ToCp1251(std::string_view utf8);

}  // namespace vesk::tools
