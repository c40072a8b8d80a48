// Whether a typed comment can be kept: files hold comments in windows-1251,
// one per line, so a comment with a line break or a character windows-1251
// cannot hold is refused when it is typed, not when the file is saved.
#pragma once

#include <string>
#include <string_view>

namespace vesk {

// Empty when the comment is fine, otherwise the message to show.
std::string CommentProblem(std::string_view utf8);

}  // namespace vesk
