// Comments of the memories go to windows-1251 files; one that the code page
// cannot hold is refused where it enters, so every save succeeds.
#pragma once

#include <string_view>

#include "util/cp1251.h"
#include "util/machine_error.h"

namespace vesk {

// Throws MachineError naming the character when comment cannot be saved: a
// character windows-1251 cannot hold, or a line break (a comment is the rest
// of one line of the file).
inline void RequireStorableComment(std::string_view comment) {
  if (comment.find_first_of("\r\n") != std::string_view::npos)
    throw MachineError(error_number::kInvalidArgument, "В комментарии есть перевод строки");
  if (IsCp1251Representable(comment)) return;
  const Cp1251Encoding e = Utf8ToCp1251(comment);
  throw MachineError(error_number::kInvalidArgument, "В комментарии есть " + e.Describe());
}

}  // namespace vesk
