// Small pieces both assemblers in tools/ read their sources with.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vesk::tools {

// Without blanks (spaces, tabs) at either end, and without a final CR.
std::string Trim(std::string_view s);

// The pieces between the separators (n separators give n + 1 pieces).
std::vector<std::string> SplitAt(std::string_view s, char separator);

// One to four hex digits, either case; anything else gives nothing.
std::optional<int> ParseHex(std::string_view s);

// Letters, digits and '_', not starting with a digit.
bool IsIdentifier(std::string_view s);

// "%0*X": value as upper-case hex, left-padded with zeros to digits.
std::string HexText(int value, int digits);

// Every problem found in a source, one "line N: message" per entry; what()
// is the first of them.
class SourceErrors : public std::runtime_error {
 public:
  explicit SourceErrors(std::vector<std::string> messages);
  const std::vector<std::string>& messages() const { return messages_; }

 private:
  std::vector<std::string> messages_;
};

}  // namespace vesk::tools
