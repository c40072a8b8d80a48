// What the two assembler fuzz targets check alike: the error list, and
// comments cut out of the input bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "asm/asm_messages.h"
#include "fuzz_support.h"
#include "util/cp1251.h"

namespace vesk::fuzz {

// At most kMaxAsmErrors errors, each on a line of the source (which has
// `lines` lines), at a column, with a message in UTF-8.
inline void RequireSoundErrors(const std::vector<AsmError>& errors, std::size_t lines) {
  Require(errors.size() <= kMaxAsmErrors, "the error list is bounded");
  for (const AsmError& e : errors) {
    Require(e.line >= 1 && static_cast<std::size_t>(e.line) <= lines, "an error names a line of the source");
    Require(e.column >= 1, "an error names a column");
    const std::string message = AsmErrorMessage(e);
    Require(!message.empty() && IsValidUtf8(message), "an error has a message in UTF-8");
  }
}

// The runs of input bytes between line breaks, as windows-1251 comments, put
// into comments from index `first` on.
inline void CommentsFromBytes(const std::uint8_t* data, std::size_t size, std::vector<std::string>& comments,
                              std::size_t first) {
  std::size_t cell = first;
  std::string comment;
  for (std::size_t i = 0; i < size && cell < comments.size(); ++i) {
    if (data[i] == '\n' || data[i] == '\r') {
      comments[cell++] = Cp1251ToUtf8(comment);
      comment.clear();
    } else {
      comment += static_cast<char>(data[i]);
    }
  }
}

}  // namespace vesk::fuzz
