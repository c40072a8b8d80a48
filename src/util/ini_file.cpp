#include "util/ini_file.h"

#include <cerrno>
#include <string_view>
#include <vector>

#include "format/number_text.h"
#include "util/cp1251.h"
#include "util/text_file.h"

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

struct Location {
  bool sectionFound = false;
  std::size_t sectionEnd = 0;  // index of the last non-blank line of the first matching section
  bool keyFound = false;
  std::size_t keyLine = 0;
  IniLine entry;
};

Location Find(std::string_view text, const std::vector<TextLine>& lines, std::string_view section, std::string_view key) {
  Location loc;
  bool inSection = false;
  bool inFirstSection = false;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string_view line = text.substr(lines[i].begin, lines[i].length);
    const IniLine l = Classify(line);
    if (l.kind == LineKind::Section) {
      inSection = SameName(l.name, section);
      inFirstSection = inSection && !loc.sectionFound;
      if (inFirstSection) {
        loc.sectionFound = true;
        loc.sectionEnd = i;
      }
      continue;
    }
    if (inFirstSection && !Trim(line).empty()) loc.sectionEnd = i;
    if (inSection && l.kind == LineKind::Entry && SameName(l.name, key)) {
      loc.keyFound = true;
      loc.keyLine = i;
      loc.entry = l;
      return loc;
    }
  }
  return loc;
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
  const TextFile f = ReadTextFile(file);
  if (!f.ok) return defaultValue;
  const Location loc = Find(f.bytes, f.lines, s, k);
  if (!loc.keyFound) return defaultValue;
  return Cp1251ToUtf8(loc.entry.value.substr(0, kIniValueLimit));
}

bool WriteIni(const std::string& file, const std::string& section, const std::string& key, const std::string& value,
              std::string* error) {
  const auto fail = [&](const std::string& why) {
    if (error != nullptr) *error = why;
    return false;
  };
  const std::string where = "Cannot write '" + key + "' in [" + section + "] of '" + file + "': ";

  std::string oneLine = value;
  for (char& c : oneLine)
    if (c == '\r' || c == '\n') c = ' ';
  const Cp1251Encoding v = Utf8ToCp1251(oneLine);
  if (!v.ok) return fail(where + "the value holds " + v.Describe());
  const Cp1251Encoding sEnc = Utf8ToCp1251(section);
  if (!sEnc.ok) return fail(where + "the section name holds " + sEnc.Describe());
  const Cp1251Encoding kEnc = Utf8ToCp1251(key);
  if (!kEnc.ok) return fail(where + "the key holds " + kEnc.Describe());
  const std::string_view s = Trim(sEnc.bytes);
  const std::string_view k = Trim(kEnc.bytes);
  if (s.empty() || s.find_first_of("]\r\n") != std::string_view::npos) return fail(where + "not a usable section name");
  if (k.empty() || k.find_first_of("=\r\n") != std::string_view::npos || k.front() == '[' || k.front() == ';')
    return fail(where + "not a usable key name");

  FileBytes raw = ReadFileBytes(file);
  if (!raw.ok && raw.errorNumber != ENOENT) return fail(raw.error);
  const std::string original = raw.ok ? raw.bytes : std::string();
  DecodedText decoded = FileTextToCp1251(std::move(raw.bytes));
  if (!decoded.ok) return fail("Cannot read '" + file + "': " + decoded.error);
  const std::string& text = decoded.bytes;
  const std::vector<TextLine> lines = SplitLines(text);
  const Location loc = Find(text, lines, s, k);

  std::string out;
  out.reserve(text.size() + s.size() + k.size() + v.bytes.size() + 8);
  if (loc.keyFound) {
    const TextLine& l = lines[loc.keyLine];
    out.append(text, 0, l.begin + loc.entry.valueOffset);
    out += v.bytes;
    out.append(text, l.begin + l.length, std::string::npos);
  } else if (loc.sectionFound) {
    const TextLine& l = lines[loc.sectionEnd];
    out.append(text, 0, l.begin + l.length + l.endLength);
    if (l.endLength == 0) out += "\r\n";
    out.append(k).append("=").append(v.bytes).append("\r\n");
    out.append(text, l.begin + l.length + l.endLength, std::string::npos);
  } else {
    out = text;
    if (!lines.empty()) {
      if (lines.back().endLength == 0) out += "\r\n";
      if (!Trim(std::string_view(text).substr(lines.back().begin, lines.back().length)).empty()) out += "\r\n";
    }
    out.append("[").append(s).append("]\r\n").append(k).append("=").append(v.bytes).append("\r\n");
  }
  out = ToFileEncoding(std::move(out));
  if (raw.ok && out == original) return true;  // nothing to change: spare the disk a rewrite
  const std::string saveError = SaveTextFileAtomically(file, out);
  if (!saveError.empty()) return fail(saveError);
  return true;
}

std::string SettingsPath(const std::string& programDir) {
  if (programDir.empty()) return "cfg.ini";
  const char last = programDir.back();
  if (last == '/' || last == '\\') return programDir + "cfg.ini";
  return programDir + "/cfg.ini";
}

}  // namespace vesk
