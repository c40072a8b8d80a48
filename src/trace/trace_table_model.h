// A trace window's list over a trace log (CommandTrace or MicroTrace). Cell
// texts are made when the view asks. Added lines are announced in batches:
// the trace's lineAdded only starts a short timer, and when it fires the rows
// the view has not seen yet are inserted with one beginInsertRows, so a
// machine logging thousands of lines a second costs the view one insert per
// batch. Deferred (a fast run), the beat inserts the new rows, and the list
// holds only the newest kTailRows lines, older rows leaving at the top, while
// the run adds millions. When deferral ends the list shows every line again.
// The view (LongListView) pays for a change only by the rows on screen, not
// by the rows of the list.
//
// A trace at its line limit gives up its oldest lines; the next batch (or
// beat) removes their rows from the top, in one beginRemoveRows, or starts
// the list over when none of the rows shown is left.
#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <string>

#include "trace/trace_listener.h"
#include "util/listeners.h"
#include "widgets/deferred_refresh.h"

namespace vesk {

class CommandTrace;
class MicroTrace;

class TraceTableModel final : public QAbstractTableModel, private TraceListener {
  Q_OBJECT

 public:
  static constexpr int kBatchMilliseconds = 50;
  static constexpr int kTailRows = 10000;

  struct Source {
    Listeners<TraceListener>* listeners;
    std::function<std::int64_t()> lineCount;
    std::function<std::int64_t()> linesDropped;  // stored line 0 is line linesDropped() since the clear
    std::function<std::string(std::int64_t line, int column)> cell;
    QStringList captions;
  };
  static Source SourceOf(CommandTrace& trace);
  static Source SourceOf(MicroTrace& trace);

  explicit TraceTableModel(Source source, QObject* parent = nullptr);
  ~TraceTableModel() override;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

  // Inserts the rows added since the last batch now (the timer does this on
  // its own); tests and the exporter call it to see every line at once.
  void flush();
  bool batchPending() const { return timer_.isActive(); }

  // New rows: batched by the model's own timer, or inserted on a beat.
  DeferredRefresh& deferredRefresh() { return refresh_; }
  // The stored line row 0 shows (0 unless only the newest lines are shown,
  // or lines went since the last batch).
  std::int64_t firstLine() const { return first_ - linesDropped(); }

 private:
  void lineAdded() override;
  void logCleared() override;
  void linesRemoved() override;
  void showTail(bool tail);
  std::int64_t lineCount() const;
  std::int64_t linesDropped() const;
  // Rows first..(the newest line) shown anew.
  void resetTo(std::int64_t first);

  Source source_;
  // The line of row 0, counted like linesDropped() (from the last clear, the
  // lines given up included), so rows keep their lines when the oldest go.
  std::int64_t first_ = 0;
  int shown_ = 0;           // rows the view has been told about
  bool tail_ = false;
  QTimer timer_;
  DeferredRefresh refresh_{[this] { flush(); }, [this](bool deferred) { showTail(deferred); }};
};

}  // namespace vesk
