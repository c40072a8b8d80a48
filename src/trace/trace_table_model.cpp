#include "trace/trace_table_model.h"

#include <algorithm>
#include <climits>

#include "trace/command_trace.h"
#include "trace/micro_trace.h"

namespace vesk {

namespace {

template <std::size_t N>
QStringList Captions(const std::array<std::string_view, N>& captions) {
  QStringList list;
  for (const std::string_view c : captions) list << QString::fromUtf8(c.data(), static_cast<int>(c.size()));
  return list;
}

}  // namespace

TraceTableModel::Source TraceTableModel::SourceOf(CommandTrace& trace) {
  return {&trace.listeners(), [&trace] { return trace.LineCount(); },
          [&trace](std::int64_t line, int column) { return trace.Cell(line, column); },
          Captions(CommandTrace::kCaptions)};
}

TraceTableModel::Source TraceTableModel::SourceOf(MicroTrace& trace) {
  return {&trace.listeners(), [&trace] { return trace.LineCount(); },
          [&trace](std::int64_t line, int column) { return trace.Cell(line, column); },
          Captions(MicroTrace::kCaptions)};
}

TraceTableModel::TraceTableModel(Source source, QObject* parent) : QAbstractTableModel(parent), source_(std::move(source)) {
  timer_.setSingleShot(true);
  timer_.setInterval(kBatchMilliseconds);
  connect(&timer_, &QTimer::timeout, this, &TraceTableModel::flush);
  shown_ = static_cast<int>(std::min<std::int64_t>(source_.lineCount(), INT_MAX));
  source_.listeners->add(this);
}

TraceTableModel::~TraceTableModel() { source_.listeners->remove(this); }

int TraceTableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : shown_; }

int TraceTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(source_.captions.size());
}

QVariant TraceTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= shown_ || index.column() >= columnCount()) return {};
  if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
  return QString::fromStdString(source_.cell(index.row(), index.column()));
}

QVariant TraceTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
  if (section < 0 || section >= source_.captions.size()) return {};
  return source_.captions[section];
}

void TraceTableModel::lineAdded() {
  if (!refresh_.deferred() && !timer_.isActive()) timer_.start();
}

void TraceTableModel::flush() {
  timer_.stop();
  const int lines = static_cast<int>(std::min<std::int64_t>(source_.lineCount(), INT_MAX));
  if (lines == shown_) return;
  if (lines < shown_) {  // the log shrank without telling: start over
    beginResetModel();
    shown_ = lines;
    endResetModel();
    return;
  }
  beginInsertRows(QModelIndex(), shown_, lines - 1);
  shown_ = lines;
  endInsertRows();
}

void TraceTableModel::logCleared() {
  timer_.stop();
  beginResetModel();
  shown_ = static_cast<int>(std::min<std::int64_t>(source_.lineCount(), INT_MAX));
  endResetModel();
}

}  // namespace vesk
