#include "trace/html_export.h"

#include "trace/command_trace.h"
#include "trace/micro_trace.h"
#include "trace/trace_shortened.h"
#include "util/cp1251.h"

namespace vesk {

namespace {

constexpr std::string_view kOpening[] = {
    "<html><head><meta http-equiv='Content-Type' content='text/html; charset=windows-1251'>"
    "<title>Таблица трассировки</title></head><body>",
    "<table border=1>",
};

constexpr std::string_view kCommandHeader[] = {
    "<tr><td colspan=2>Команда</td><td colspan=6>Регистры процессора после выполнения команды</td>"
    "<td colspan=2>Измененная ячейка памяти</td></tr>",
    "<tr><td>Адрес</td><td>Код</td><td>СК</td><td>РА</td><td>РК</td><td>РД</td><td>А</td><td>С</td>"
    "<td>Адрес</td><td>Новое значение</td></tr>",
    "<tr></tr>",
};

constexpr std::string_view kMicroHeader[] = {
    "<tr><td rowspan=2>СчМК до выборки МК</td><td colspan=11>Регистры процессора после выбокри и исполнения МК</td>"
    "<td rowspan=2>Комментарий</td></tr>",
    "<tr><td>РМК</td><td>СК</td><td>РА</td><td>РК</td><td>РД</td><td>А</td><td>С</td><td>БР</td><td>N</td><td>Z</td>"
    "<td>СчМК</td></tr>",
    "<tr></tr>",
};

constexpr std::string_view kClosing[] = {"</table>", "</body></html>"};

bool IsAscii(std::string_view text) { return AsciiRun(text, 0) == text.size(); }

}  // namespace

std::string TraceHtmlWriter::Open(const std::string& path, TraceKind kind, bool waitForReader) {
  rows_ = 0;
  closed_ = false;
  error_ = file_.Open(path, waitForReader);
  if (!error_.empty()) return error_;
  auto line = [this](std::string_view utf8) {
    file_.Write(Utf8ToCp1251(utf8).bytes);
    file_.Write("\r\n");
  };
  for (const auto text : kOpening) line(text);
  if (kind == TraceKind::Command)
    for (const auto text : kCommandHeader) line(text);
  else
    for (const auto text : kMicroHeader) line(text);
  return {};
}

std::string TraceHtmlWriter::AddRow(std::string_view row) {
  if (!error_.empty()) return error_;
  if (IsAscii(row)) {
    file_.Write(row);
  } else {
    scratch_.clear();
    if (!AppendUtf8AsCp1251(scratch_, row)) {
      error_ = "Не удаётся выгрузить строку " + std::to_string(rows_ + 1) + ": в ней есть " + Utf8ToCp1251(row).Describe();
      file_.Abandon();
      return error_;
    }
    file_.Write(scratch_);
  }
  file_.Write("\r\n");
  ++rows_;
  if (!file_.WriteError().empty()) {
    error_ = file_.WriteError();
    file_.Abandon();
  }
  return error_;
}

std::string TraceHtmlWriter::Close() {
  if (!error_.empty() || closed_) return error_;
  for (const auto text : kClosing) {
    file_.Write(text);
    file_.Write("\r\n");
  }
  error_ = file_.Prepare();
  closed_ = error_.empty();
  return error_;
}

std::string TraceHtmlWriter::Commit() {
  if (std::string error = Close(); !error.empty()) return error;
  error_ = file_.Commit();
  return error_;
}

namespace {

template <class Trace>
FileResult SaveStored(const Trace& trace, TraceKind kind, const std::string& path) {
  FileResult result;
  TraceHtmlWriter writer;
  result.error = writer.Open(path, kind);
  if (!result.error.empty()) return result;
  std::string row;
  // A list that gave up its oldest lines says so before the first it kept.
  if (trace.LinesDropped() > 0) {
    result.error = writer.AddRow(TraceShortenedRow(kind, trace.LineCount(), trace.LinesDropped()));
    if (!result.error.empty()) return result;
  }
  for (std::int64_t i = 0; i < trace.LineCount(); ++i) {
    row.clear();
    trace.AppendHtmlRow(row, i);
    result.error = writer.AddRow(row);
    if (!result.error.empty()) return result;
  }
  result.error = writer.Finish();
  result.ok = result.error.empty();
  result.lines = static_cast<int>(trace.LineCount());
  return result;
}

}  // namespace

FileResult SaveTraceHtml(const CommandTrace& trace, const std::string& path) {
  return SaveStored(trace, TraceKind::Command, path);
}

FileResult SaveTraceHtml(const MicroTrace& trace, const std::string& path) {
  return SaveStored(trace, TraceKind::Micro, path);
}

}  // namespace vesk
