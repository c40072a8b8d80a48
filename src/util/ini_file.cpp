#include "util/ini_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <string_view>

#include "format/number_text.h"
#include "util/atomic_file.h"
#include "util/cp1251.h"
#include "util/text_line_reader.h"

namespace vesk {

namespace {

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i];
    char y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
    if (x != y) return false;
  }
  return true;
}

enum class LineKind { Other, Section, Entry };

struct IniLine {
  LineKind kind = LineKind::Other;
  std::string_view name;
  std::string_view value;       // trimmed
  std::size_t valueOffset = 0;  // where the text after '=' and its blanks starts, within the line
};

IniLine Classify(std::string_view line) {
  IniLine r;
  const std::string_view t = Trim(line);
  if (t.empty() || t.front() == ';') return r;
  if (t.front() == '[') {
    const std::size_t close = t.find(']');
    if (close == std::string_view::npos) return r;
    r.kind = LineKind::Section;
    r.name = Trim(t.substr(1, close - 1));
    return r;
  }
  const std::size_t eq = t.find('=');
  if (eq == std::string_view::npos) return r;
  r.kind = LineKind::Entry;
  r.name = Trim(t.substr(0, eq));
  r.value = Trim(t.substr(eq + 1));
  const std::size_t afterEq = static_cast<std::size_t>(t.data() - line.data()) + eq + 1;
  const std::string_view rest = line.substr(afterEq);
  const std::size_t firstNonBlank = rest.find_first_not_of(" \t");
  r.valueOffset = afterEq + (firstNonBlank == std::string_view::npos ? rest.size() : firstNonBlank);
  return r;
}

// Lines are looked at through their first kLineKeep characters: names and
// values that matter are far shorter, and a huge line costs no memory.
constexpr std::size_t kLineKeep = std::size_t{64} << 10;

// Where a key is, or where it would go. Offsets count characters of the
// decoded (windows-1251) text.
struct Location {
  bool keyFound = false;
  std::string value;              // the key's value, trimmed and cut to kIniValueLimit
  std::uint64_t valueBegin = 0;   // the key's value: from the first non-blank after '='
  std::uint64_t valueEnd = 0;     // ... to the end of its line
  std::string valueBytes;         // what lies there, when all of it was kept
  bool valueKept = false;
  bool sectionFound = false;
  std::uint64_t sectionEnd = 0;   // right after the last non-blank line of the first matching section
  bool sectionEndHasLineEnd = true;
  std::uint64_t textEnd = 0;
  bool anyLine = false;
  bool lastHasLineEnd = true;
  bool lastBlank = true;
};

// Reads the lines until the key of the section is found (or to the end).
// False when the file cannot be read; reader.error() says why.
bool Find(TextLineReader& reader, std::string_view section, std::string_view key, Location& loc) {
  bool inSection = false;
  bool inFirstSection = false;
  std::string line;
  TextLineInfo info;
  while (reader.Next(line, kLineKeep, &info)) {
    loc.anyLine = true;
    loc.lastHasLineEnd = info.endLength > 0;
    loc.textEnd = info.begin + info.length + info.endLength;
    const bool blank = Trim(line).empty() && info.length == line.size();
    loc.lastBlank = blank;
    const IniLine l = Classify(line);
    const bool lastOfSection = l.kind == LineKind::Section ? SameName(l.name, section) && !loc.sectionFound
                                                          : inFirstSection && !blank;
    if (l.kind == LineKind::Section) {
      inSection = SameName(l.name, section);
      inFirstSection = lastOfSection;
      if (inFirstSection) loc.sectionFound = true;
    }
    if (lastOfSection) {
      loc.sectionEnd = loc.textEnd;
      loc.sectionEndHasLineEnd = info.endLength > 0;
    }
    if (l.kind == LineKind::Entry && inSection && SameName(l.name, key)) {
      loc.keyFound = true;
      loc.value = std::string(l.value.substr(0, kIniValueLimit));
      loc.valueBegin = info.begin + l.valueOffset;
      loc.valueEnd = info.begin + info.length;
      loc.valueKept = info.length == line.size();
      if (loc.valueKept) loc.valueBytes = line.substr(l.valueOffset);
      return true;
    }
  }
  return !reader.failed();
}

// The name as windows-1251 bytes, without surrounding blanks; empty when the
// name is empty or cannot be stored.
std::string NameInFile(const std::string& name) {
  const Cp1251Encoding enc = Utf8ToCp1251(name);
  if (!enc.ok) return {};
  return std::string(Trim(enc.bytes));
}

}  // namespace

std::string ReadIni(const std::string& file, const std::string& section, const std::string& key,
                    const std::string& defaultValue) {
  const std::string s = NameInFile(section);
  const std::string k = NameInFile(key);
  if (s.empty() || k.empty()) return defaultValue;
  TextLineReader reader;
  Location loc;
  if (!reader.Open(file) || !Find(reader, s, k, loc) || !loc.keyFound) return defaultValue;
  // A file that cannot be read to its end counts as unreadable, as it does for WriteIni.
  std::uint64_t rest = 0;
  if (!reader.Skip(rest)) return defaultValue;
  return Cp1251ToUtf8(loc.value);
}

bool WriteIni(const std::string& file, const std::string& section, const std::string& key, const std::string& value,
              std::string* error) {
  const auto fail = [&](const std::string& why) {
    if (error != nullptr) *error = why;
    return false;
  };
  const std::string where = "Не удаётся записать '" + key + "' в [" + section + "] файла '" + file + "': ";

  std::string oneLine = value;
  for (char& c : oneLine)
    if (c == '\r' || c == '\n') c = ' ';
  const Cp1251Encoding v = Utf8ToCp1251(oneLine);
  if (!v.ok) return fail(where + "в значении есть " + v.Describe());
  const Cp1251Encoding sEnc = Utf8ToCp1251(section);
  if (!sEnc.ok) return fail(where + "в имени раздела есть " + sEnc.Describe());
  const Cp1251Encoding kEnc = Utf8ToCp1251(key);
  if (!kEnc.ok) return fail(where + "в имени ключа есть " + kEnc.Describe());
  const std::string_view s = Trim(sEnc.bytes);
  const std::string_view k = Trim(kEnc.bytes);
  if (s.empty() || s.find_first_of("]\r\n") != std::string_view::npos) return fail(where + "такое имя раздела недопустимо");
  if (k.empty() || k.find_first_of("=\r\n") != std::string_view::npos || k.front() == '[' || k.front() == ';')
    return fail(where + "такое имя ключа недопустимо");

  // First pass: where the change goes. The whole file is read, so that a
  // file that cannot be read is never half rewritten.
  TextLineReader reader;
  const bool exists = reader.Open(file);
  if (!exists && reader.errorNumber() != ENOENT) return fail(reader.error());
  Location loc;
  if (exists) {
    if (!Find(reader, s, k, loc)) return fail(reader.error());
    std::uint64_t ignored = 0;
    if (loc.keyFound && !reader.Skip(ignored)) return fail(reader.error());
    // Nothing to change: spare the disk a rewrite.
    if (loc.keyFound && !reader.wasUtf8() && loc.valueKept && loc.valueBytes == v.bytes) return true;
  }

  // What replaces the characters [from, to) of the old text.
  std::uint64_t from = 0;
  std::uint64_t to = 0;
  std::string insert;
  if (loc.keyFound) {
    from = loc.valueBegin;
    to = loc.valueEnd;
    insert = v.bytes;
  } else if (loc.sectionFound) {
    from = to = loc.sectionEnd;
    if (!loc.sectionEndHasLineEnd) insert = "\r\n";
    insert.append(k).append("=").append(v.bytes).append("\r\n");
  } else {
    from = to = loc.textEnd;
    if (loc.anyLine) {
      if (!loc.lastHasLineEnd) insert += "\r\n";
      if (!loc.lastBlank) insert += "\r\n";
    }
    insert.append("[").append(s).append("]\r\n").append(k).append("=").append(v.bytes).append("\r\n");
  }

  // Second pass: the old text around the change, straight into the new file.
  AtomicFileWriter out;
  if (std::string why = out.Open(file); !why.empty()) return fail(why);
  std::uint64_t offset = 0;
  bool inserted = false;
  if (exists) {
    DecodedFile& text = reader.file();
    if (!text.Rewind()) return fail(text.error());
    for (std::string_view piece = text.Read(); !piece.empty(); piece = text.Read()) {
      const std::uint64_t end = offset + piece.size();
      // Before the change, the change itself, after it.
      if (offset < from) out.Write(piece.substr(0, static_cast<std::size_t>(std::min(end, from) - offset)));
      if (!inserted && end >= from) {
        out.Write(insert);
        inserted = true;
      }
      if (end > to) out.Write(piece.substr(static_cast<std::size_t>(std::max(offset, to) - offset)));
      offset = end;
    }
    if (text.failed()) return fail(text.error().empty() ? "Не удаётся прочитать '" + file + "'" : text.error());
  }
  if (!inserted) out.Write(insert);
  if (std::string why = out.Commit(); !why.empty()) return fail(why);
  return true;
}

std::string SettingsPath(const std::string& programDir) {
  if (programDir.empty()) return "cfg.ini";
  const char last = programDir.back();
  if (last == '/' || last == '\\') return programDir + "cfg.ini";
  return programDir + "/cfg.ini";
}

}  // namespace vesk
