// Paints a list's rows that a step changed: a tint behind the row, bold text,
// and on a selected row (whose own colour wins) a tinted frame, so the
// highlight and the text stay readable either way. The rows and their kinds
// come from a function asked at painting time.
#pragma once

#include <QColor>
#include <QStyledItemDelegate>
#include <functional>
#include <vector>

namespace vesk {

class HighlightDelegate : public QStyledItemDelegate {
 public:
  // kind(row): 0 for none, otherwise an index into tints.
  HighlightDelegate(std::function<int(int row)> kind, std::vector<QColor> tints, QObject* parent = nullptr);

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

 protected:
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

 private:
  std::function<int(int)> kind_;
  std::vector<QColor> tints_;
};

}  // namespace vesk
