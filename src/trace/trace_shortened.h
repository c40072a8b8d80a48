// What is said of a trace that reached its line limit and gave up its
// oldest lines: the status bar's note and the first data row of its export.
#pragma once

#include <cstdint>
#include <string>

#include "trace/html_export.h"

namespace vesk {

// "Трасса микрокоманд укорочена: хранятся последние 10000000 строк".
std::string TraceShortenedText(TraceKind kind, std::int64_t kept);

// The export's first data row for a trace that keeps `kept` lines after
// giving up `dropped`: one cell across every column; UTF-8.
std::string TraceShortenedRow(TraceKind kind, std::int64_t kept, std::int64_t dropped);

}  // namespace vesk
