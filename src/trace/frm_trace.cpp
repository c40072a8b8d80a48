#include "trace/frm_trace.h"

#include "trace/command_trace.h"
#include "trace/html_export.h"

namespace vesk {

frmTrace::frmTrace(CommandTrace& trace, std::string settingsFile, Dialogs* dialogs, QWidget* parent)
    : TraceWindow({QStringLiteral("Трассировка"),
                   "Trace",
                   TraceTableModel::SourceOf(trace),
                   {"7FF", " --- Program has started 12-07-2026 at 09:05:31 --- ", "07FF", "07FF", "F200", "FFFF", "FFFF", "С",
                    "(W) 07FF", "Значение"},
                   QStringLiteral("Сохранить трассировку..."),
                   QStringLiteral("mnuTrace"),
                   [&trace] { return trace.LineCount(); },
                   [&trace] { trace.ClearLog(); },
                   [&trace](const std::string& path) { return SaveTraceHtml(trace, path); }},
                  std::move(settingsFile), dialogs, parent),
      trace_(trace) {}

}  // namespace vesk
