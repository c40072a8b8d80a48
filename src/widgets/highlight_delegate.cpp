#include "widgets/highlight_delegate.h"

#include <QPainter>

namespace vesk {

HighlightDelegate::HighlightDelegate(std::function<int(int row)> kind, std::vector<QColor> tints, QObject* parent)
    : QStyledItemDelegate(parent), kind_(std::move(kind)), tints_(std::move(tints)) {}

void HighlightDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const {
  QStyledItemDelegate::initStyleOption(option, index);
  const int k = kind_ ? kind_(index.row()) : 0;
  if (k <= 0 || k > static_cast<int>(tints_.size())) return;
  option->font.setBold(true);
  if (!(option->state & QStyle::State_Selected)) option->backgroundBrush = tints_[static_cast<std::size_t>(k - 1)];
}

void HighlightDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  QStyledItemDelegate::paint(painter, option, index);
  const int k = kind_ ? kind_(index.row()) : 0;
  if (k <= 0 || k > static_cast<int>(tints_.size()) || !(option.state & QStyle::State_Selected)) return;
  painter->save();
  painter->setPen(QPen(tints_[static_cast<std::size_t>(k - 1)].darker(115), 2));
  const QRect r = option.rect.adjusted(0, 1, -1, -2);
  painter->drawLine(r.topLeft(), r.topRight());
  painter->drawLine(r.bottomLeft(), r.bottomRight());
  painter->restore();
}

}  // namespace vesk
