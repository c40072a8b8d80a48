// A narrow column of markers before a list's rows (the list's vertical
// header): a red dot for a breakpoint (a ring when it is disabled), a blue
// eye-shaped mark for a watchpoint, and an arrow for the row the machine is
// at. A click on a row's marker cell is reported.
#pragma once

#include <QHeaderView>
#include <QTableView>
#include <functional>

namespace vesk {

struct RowMarks {
  bool breakpoint = false;
  bool breakpointEnabled = false;
  bool watch = false;
  bool watchEnabled = false;
  bool arrow = false;
};

class MarkerColumn : public QHeaderView {
  Q_OBJECT

 public:
  static constexpr int kWidth = 30;

  // marks: what row r shows, asked at painting time.
  explicit MarkerColumn(std::function<RowMarks(int row)> marks, QWidget* parent = nullptr);

  // Repaints the column (after a breakpoint or the arrow's row changed).
  void refresh();

  QSize sizeHint() const override;

 signals:
  void markerClicked(int row);

 protected:
  void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  std::function<RowMarks(int)> marks_;
};

// Puts a marker column in front of the view's rows, with the view's row
// height. The view takes ownership.
MarkerColumn* InstallMarkerColumn(QTableView& view, std::function<RowMarks(int row)> marks);

}  // namespace vesk
