// A failure inside a machine operation: a number and a description, as the
// micro-command executor reports them ("Error #9" CR LF "Subscript out of range").
#pragma once

#include <stdexcept>
#include <string>

namespace vesk {

namespace error_number {
constexpr int kInvalidArgument = 5;
constexpr int kOutOfMemory = 7;
constexpr int kOutOfRange = 9;
constexpr int kTypeMismatch = 13;
constexpr int kInternal = 51;
}  // namespace error_number

class MachineError : public std::runtime_error {
 public:
  MachineError(int number, const std::string& description)
      : std::runtime_error(description), number_(number) {}
  int number() const { return number_; }

 private:
  int number_;
};

// "Error #" + number + CR LF + description.
inline std::string ErrorMessageText(int number, const std::string& description) {
  return "Error #" + std::to_string(number) + "\r\n" + description;
}

}  // namespace vesk
