// The program's text files (memory dumps, micro-programs, cfg.ini) as whole
// texts: splitting into lines, the encoding rule, and saves that never
// destroy the old file. Readers of files use util/text_line_reader.h, which
// applies the same rules one piece at a time.
//
// Line ends: CR LF, LF alone and CR alone all end a line, mixed as they come;
// a final line without a line end is a line; NUL bytes are ordinary
// characters.
//
// Encoding: every file is windows-1251, except one that starts with the
// UTF-8 byte-order mark, which is read as UTF-8 (the mark dropped) and
// converted to windows-1251; if it holds a character windows-1251 cannot
// store, the read fails with a message naming the line and the character.
// Every save writes windows-1251.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "util/decoded_file.h"

namespace vesk {

struct TextLine {
  std::size_t begin = 0;
  std::size_t length = 0;     // characters, without the line end
  std::size_t endLength = 0;  // 0 (last line without an end), 1 (LF or CR) or 2 (CR LF)
};

// Lines of text in order. Empty text has no lines; text ending in a line end
// has no empty line after it.
std::vector<TextLine> SplitLines(std::string_view text);

struct FileBytes {
  bool ok = false;
  std::string error;    // "Не удаётся открыть 'x.vdmp': нет такого файла или каталога"
  int errorNumber = 0;  // errno of the failure, 0 when ok
  std::string bytes;
};

// The whole file as it is on disk (a regular file of at most
// kMaxTextFileBytes), for readers of small texts that decide their own
// encoding; the program's own files are read with TextLineReader.
FileBytes ReadFileBytes(const std::string& path);

struct DecodedText {
  bool ok = false;
  bool wasUtf8 = false;
  std::string bytes;  // windows-1251 text when ok
  std::string error;  // "в строке 3 есть символ '中' (U+4E2D), которого нет в windows-1251"
};

// Applies the encoding rule above to the raw bytes of a whole file.
DecodedText FileTextToCp1251(std::string raw);

// Writes bytes to a temporary file in the target's folder, flushes it to disk
// and renames it over the target (see util/atomic_file.h for targets that
// are not regular files). Returns an empty text on success; otherwise the
// reason ("Не удаётся сохранить 'x.vdmp': нет прав доступа"), with the old file
// untouched and the temporary file removed. A symbolic link is followed, so
// the file it names is replaced and the link stays. A new file gets the
// permissions the umask allows; a replaced one keeps its own.
std::string SaveTextFileAtomically(const std::string& path, std::string_view bytes);

}  // namespace vesk
