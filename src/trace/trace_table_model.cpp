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
  return {&trace.listeners(), [&trace] { return trace.LineCount(); }, [&trace] { return trace.LinesDropped(); },
          [&trace](std::int64_t line, int column) { return trace.Cell(line, column); },
          Captions(CommandTrace::kCaptions)};
}

TraceTableModel::Source TraceTableModel::SourceOf(MicroTrace& trace) {
  return {&trace.listeners(), [&trace] { return trace.LineCount(); }, [&trace] { return trace.LinesDropped(); },
          [&trace](std::int64_t line, int column) { return trace.Cell(line, column); },
          Captions(MicroTrace::kCaptions)};
}

TraceTableModel::TraceTableModel(Source source, QObject* parent) : QAbstractTableModel(parent), source_(std::move(source)) {
  timer_.setSingleShot(true);
  timer_.setInterval(kBatchMilliseconds);
  connect(&timer_, &QTimer::timeout, this, &TraceTableModel::flush);
  first_ = linesDropped();
  shown_ = static_cast<int>(std::min<std::int64_t>(lineCount(), INT_MAX));
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
  // A row whose line went since the last batch is blank until that batch.
  return QString::fromStdString(source_.cell(first_ + index.row() - linesDropped(), index.column()));
}

QVariant TraceTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
  if (section < 0 || section >= source_.captions.size()) return {};
  return source_.captions[section];
}

void TraceTableModel::lineAdded() {
  if (!refresh_.deferred() && !timer_.isActive()) timer_.start();
}

std::int64_t TraceTableModel::lineCount() const { return source_.lineCount(); }

std::int64_t TraceTableModel::linesDropped() const { return source_.linesDropped ? source_.linesDropped() : 0; }

void TraceTableModel::resetTo(std::int64_t first) {
  beginResetModel();
  first_ = first;
  shown_ = static_cast<int>(std::min<std::int64_t>(linesDropped() + lineCount() - first_, INT_MAX));
  endResetModel();
}

void TraceTableModel::flush() {
  timer_.stop();
  const std::int64_t oldest = linesDropped();
  const std::int64_t end = oldest + lineCount();
  if (end < first_ + shown_) {  // the log was cleared without telling
    resetTo(tail_ ? std::max(oldest, end - kTailRows) : oldest);
    return;
  }
  std::int64_t first = std::max(first_, oldest);
  if (tail_) first = std::max(first, end - kTailRows);
  if (first > first_) {
    if (first >= first_ + shown_) {  // every row shown has gone: the newest lines alone
      resetTo(first);
      return;
    }
    beginRemoveRows(QModelIndex(), 0, static_cast<int>(first - first_) - 1);
    shown_ -= static_cast<int>(first - first_);
    first_ = first;
    endRemoveRows();
  }
  const int rows = static_cast<int>(std::min<std::int64_t>(end - first_, INT_MAX));
  if (rows == shown_) return;
  beginInsertRows(QModelIndex(), shown_, rows - 1);
  shown_ = rows;
  endInsertRows();
}

void TraceTableModel::showTail(bool tail) {
  tail_ = tail;
  timer_.stop();
  const std::int64_t oldest = linesDropped();
  const std::int64_t end = oldest + lineCount();
  const std::int64_t first = tail ? std::max(oldest, end - kTailRows) : oldest;
  if (first == first_) return;  // the next flush adds what is new
  resetTo(first);
}

void TraceTableModel::linesRemoved() {
  // A step back: the rows past the lines left go; a row that stays keeps
  // its place (and the view its scroll position).
  const std::int64_t end = linesDropped() + lineCount();
  if (end >= first_ + shown_) return;
  if (end <= first_) {
    flush();
    return;
  }
  beginRemoveRows(QModelIndex(), static_cast<int>(end - first_), shown_ - 1);
  shown_ = static_cast<int>(end - first_);
  endRemoveRows();
}

void TraceTableModel::logCleared() {
  timer_.stop();
  resetTo(linesDropped());
}

}  // namespace vesk
