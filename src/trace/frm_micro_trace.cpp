#include "trace/frm_micro_trace.h"

#include "trace/html_export.h"
#include "trace/micro_trace.h"

namespace vesk {

frmMicroTrace::frmMicroTrace(MicroTrace& trace, std::string settingsFile, Dialogs* dialogs, QWidget* parent)
    : TraceWindow({QStringLiteral("Трассировка микропрограммы"),
                   "MicroTrace",
                   TraceTableModel::SourceOf(trace),
                   {"FF", "FFFF", "07FF", "07FF", "FFFF", "FFFF", "FFFF", "1", "1FFFF", "1", "1", "FF", ""},
                   QStringLiteral("Сохранить микротрассировку..."),
                   QStringLiteral("mnuMicroTrace"),
                   [&trace] { return trace.LineCount(); },
                   [&trace] { trace.ClearLog(); },
                   [&trace](const std::string& path) { return SaveTraceHtml(trace, path); }},
                  std::move(settingsFile), dialogs, parent),
      trace_(trace) {}

}  // namespace vesk
