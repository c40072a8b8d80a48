// Reading and writing the program's text files (memory dumps, micro-programs,
// cfg.ini): whole-file reads split into lines, and saves that never destroy
// the old file.
//
// Line ends: CR LF, LF alone and CR alone all end a line, mixed as they come;
// a final line without a line end is a line; NUL bytes are ordinary
// characters.
//
// Encoding of what is read: the program writes windows-1251, and a file is
// read as windows-1251 unless it is entirely valid UTF-8 AND holds at least one
// multi-byte sequence. Such a file was edited in a modern editor, so it is
// read as UTF-8 (a leading byte order mark is dropped) and converted to
// windows-1251; if it holds a character that windows-1251 cannot store, the
// whole read fails with a message naming the line and the character, and the
// caller changes nothing. Pure ASCII is the same in both.
//
// Encoding of what is written: windows-1251, with one exception. Text whose
// windows-1251 bytes happen to form valid UTF-8 throughout (every non-ASCII
// character pairs up with the next, as in a capital letter followed by '»' or
// '№' and never in Russian words) would be taken for UTF-8 by the rule above
// and read back wrong. Such text is written as UTF-8 instead, so that every
// file the program saves reads back exactly as it was saved.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vesk {

// Files larger than this are refused rather than read into memory.
constexpr std::size_t kMaxTextFileBytes = std::size_t{256} << 20;

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
  std::string error;    // "Cannot open 'x.vdmp': No such file or directory"
  int errorNumber = 0;  // errno of the failure, 0 when ok
  std::string bytes;
};

// The whole file as it is on disk.
FileBytes ReadFileBytes(const std::string& path);

struct DecodedText {
  bool ok = false;
  bool wasUtf8 = false;
  std::string bytes;  // windows-1251 text when ok
  std::string error;  // "line 3 holds the character '中' (U+4E2D), which windows-1251 cannot store"
};

// Applies the encoding choice described above to raw file bytes.
DecodedText FileTextToCp1251(std::string raw);

struct TextFile {
  bool ok = false;
  std::string error;
  int errorNumber = 0;
  bool wasUtf8 = false;
  std::string bytes;  // windows-1251 text
  std::vector<TextLine> lines;

  std::string_view Line(std::size_t i) const { return {bytes.data() + lines[i].begin, lines[i].length}; }
  std::string_view LineWithEnd(std::size_t i) const {
    return {bytes.data() + lines[i].begin, lines[i].length + lines[i].endLength};
  }
};

// Reads a file as windows-1251 lines (one byte per character).
TextFile ReadTextFile(const std::string& path);

// The bytes to write for windows-1251 text: the text itself, or its UTF-8 form
// in the one case described above.
std::string ToFileEncoding(std::string cp1251);

// Writes bytes to a temporary file in the target's folder, flushes it to disk
// and renames it over the target. Returns an empty text on success; otherwise
// the reason ("Cannot save 'x.vdmp': Permission denied"), with the old file
// untouched and the temporary file removed. A symbolic link is followed, so
// the file it names is replaced and the link stays. A new file gets the
// permissions the umask allows; a replaced one keeps its own.
std::string SaveTextFileAtomically(const std::string& path, std::string_view bytes);

}  // namespace vesk
