#include "trace/trace_shortened.h"

namespace vesk {

std::string TraceShortenedText(TraceKind kind, std::int64_t kept) {
  std::string text = kind == TraceKind::Command ? "Трасса команд укорочена: " : "Трасса микрокоманд укорочена: ";
  const std::string n = std::to_string(kept);
  const std::int64_t tens = kept % 100, units = kept % 10;
  if (units == 1 && tens != 11) text += "хранится последняя " + n + " строка";
  else if (units >= 2 && units <= 4 && (tens < 12 || tens > 14)) text += "хранятся последние " + n + " строки";
  else text += "хранятся последние " + n + " строк";
  return text;
}

std::string TraceShortenedRow(TraceKind kind, std::int64_t kept, std::int64_t dropped) {
  std::string row = kind == TraceKind::Command ? "<tr><td colspan=10>" : "<tr><td colspan=13>";
  row += TraceShortenedText(kind, kept);
  row += " (более ранних удалено: " + std::to_string(dropped) + ")</td></tr>";
  return row;
}

}  // namespace vesk
