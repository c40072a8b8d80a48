#include "widgets/table_look.h"

#include <QAbstractItemModel>
#include <QFontDatabase>
#include <QHeaderView>
#include <QTableView>

namespace vesk {

QFont ValueFont() {
  QFont f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  f.setStyleHint(QFont::Monospace);
  return f;
}

void ApplyTableLook(QTableView& view, const QStringList& columnSamples) {
  view.setFont(ValueFont());
  view.setEditTriggers(QAbstractItemView::NoEditTriggers);
  view.setSelectionBehavior(QAbstractItemView::SelectRows);
  view.setSelectionMode(QAbstractItemView::SingleSelection);
  view.setAlternatingRowColors(true);
  view.setShowGrid(false);
  view.setWordWrap(false);
  view.setCornerButtonEnabled(false);
  view.setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);

  const QFontMetrics values(view.font());
  QHeaderView* rows = view.verticalHeader();
  rows->setVisible(false);
  rows->setSectionResizeMode(QHeaderView::Fixed);
  rows->setMinimumSectionSize(1);
  rows->setDefaultSectionSize(values.height() + 6);

  QHeaderView* columns = view.horizontalHeader();
  columns->setHighlightSections(false);
  columns->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  columns->setStretchLastSection(true);
  const QFontMetrics headerMetrics(columns->font());
  const int count = view.model() != nullptr ? view.model()->columnCount() : 0;
  for (int c = 0; c < count && c < columnSamples.size(); ++c) {
    const QString header = view.model()->headerData(c, Qt::Horizontal).toString();
    const int width = std::max(values.horizontalAdvance(columnSamples[c]), headerMetrics.horizontalAdvance(header)) + 24;
    columns->resizeSection(c, width);
  }
}

}  // namespace vesk
