#include "app/trace_limits.h"

#include "app/machine.h"
#include "format/number_text.h"
#include "util/ini_file.h"

namespace vesk {

namespace {

// Digits only, from `least` to `most`.
std::optional<std::int64_t> ParseWhole(std::string_view text, std::int64_t least, std::int64_t most) {
  text = Trim(text);
  if (text.empty() || text.size() > 12) return std::nullopt;
  std::int64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (value < least || value > most) return std::nullopt;
  return value;
}

// The limit under key, or the default; a refused value adds to the note
// ("<whose> хранит до <default> <unit>").
std::int64_t ReadLimit(const std::string& file, const char* key, std::int64_t defaultValue, const char* whose,
                       const char* unit, std::optional<std::int64_t> (*parse)(std::string_view), std::string& note) {
  const std::string text = ReadIni(file, "General", key, "");
  if (Trim(text).empty()) return defaultValue;
  if (const auto value = parse(text)) return *value;
  if (!note.empty()) note += "; ";
  // A long value is cut: the note has to fit a status panel.
  std::string shown = text;
  if (shown.size() > 24) {
    std::size_t cut = 20;
    while (cut > 0 && (static_cast<unsigned char>(shown[cut]) & 0xC0) == 0x80) --cut;  // not inside a character
    shown = shown.substr(0, cut) + "…";
  }
  note += "В cfg.ini неверное значение " + std::string(key) + "=" + shown + ": " + whose + " хранит до " +
          std::to_string(defaultValue) + " " + unit;
  return defaultValue;
}

}  // namespace

std::optional<std::int64_t> ParseTraceLines(std::string_view text) { return ParseWhole(text, 1, kMaxTraceLines); }

std::optional<std::int64_t> ParseHistoryDepth(std::string_view text) {
  return ParseWhole(text, History::kDefaultDepth, kMaxHistoryDepth);
}

TraceLimits ReadTraceLimits(const std::string& settingsFile) {
  TraceLimits limits;
  limits.commandLines =
      ReadLimit(settingsFile, "MaxTraceLines", CommandTrace::kDefaultLineLimit, "трасса команд", "строк",
                ParseTraceLines, limits.note);
  limits.microLines = ReadLimit(settingsFile, "MaxMicroTraceLines", MicroTrace::kDefaultLineLimit,
                                "трасса микрокоманд", "строк", ParseTraceLines, limits.note);
  limits.historyDepth = ReadLimit(settingsFile, "HistoryDepth", History::kDefaultDepth, "история шагов назад",
                                  "микрокоманд", ParseHistoryDepth, limits.note);
  return limits;
}

void ApplyTraceLimits(const TraceLimits& limits, Machine& machine) {
  machine.trace.setLineLimit(limits.commandLines);
  machine.microTrace.setLineLimit(limits.microLines);
  machine.history.SetDepth(limits.historyDepth);
}

}  // namespace vesk
