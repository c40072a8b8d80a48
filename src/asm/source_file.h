// Source files (.vasm, .masm) as the assemblers read them: UTF-8 text. A
// file that is not valid UTF-8 was written in windows-1251 by an older
// editor and is read as such.
#pragma once

#include <string>
#include <string_view>

namespace vesk {

struct SourceText {
  bool ok = false;
  std::string error;       // why the file could not be read
  std::string text;        // UTF-8, without a byte order mark
  bool wasCp1251 = false;  // the file was not UTF-8
};

SourceText SourceTextFromBytes(std::string bytes);
SourceText ReadSourceFile(const std::string& path);

// Saves UTF-8 text atomically (the old file stays whole when anything fails);
// returns an empty text or the reason.
std::string SaveSourceFile(const std::string& path, std::string_view text);

// Whether a file name ends in ext (".vasm"), in either case.
bool HasExtension(std::string_view path, std::string_view ext);

}  // namespace vesk
