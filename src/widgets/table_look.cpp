#include "widgets/table_look.h"

#include <QAbstractItemModel>
#include <QFontDatabase>
#include <QHeaderView>
#include <QTableView>

#include "widgets/long_list_view.h"

namespace vesk {

QFont ValueFont() {
  QFont f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  f.setStyleHint(QFont::Monospace);
  return f;
}

namespace {

// What a table and a long list share: the font, read-only whole rows,
// alternating colours, the column header and its widths.
void ApplyListLook(QAbstractItemView& view, QHeaderView& columns, const QStringList& columnSamples) {
  view.setFont(ValueFont());
  view.setEditTriggers(QAbstractItemView::NoEditTriggers);
  view.setSelectionBehavior(QAbstractItemView::SelectRows);
  view.setSelectionMode(QAbstractItemView::SingleSelection);
  view.setAlternatingRowColors(true);
  view.setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);

  const QFontMetrics values(view.font());
  columns.setHighlightSections(false);
  columns.setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  columns.setStretchLastSection(true);
  const QFontMetrics headerMetrics(columns.font());
  const int count = view.model() != nullptr ? view.model()->columnCount() : 0;
  for (int c = 0; c < count && c < columnSamples.size(); ++c) {
    const QString header = view.model()->headerData(c, Qt::Horizontal).toString();
    const int width = std::max(values.horizontalAdvance(columnSamples[c]), headerMetrics.horizontalAdvance(header)) + 24;
    columns.resizeSection(c, width);
  }
}

int RowHeight(const QFont& font) { return QFontMetrics(font).height() + 6; }

}  // namespace

void ApplyTableLook(QTableView& view, const QStringList& columnSamples) {
  ApplyListLook(view, *view.horizontalHeader(), columnSamples);
  view.setShowGrid(false);
  view.setWordWrap(false);
  view.setCornerButtonEnabled(false);
  QHeaderView* rows = view.verticalHeader();
  rows->setVisible(false);
  rows->setSectionResizeMode(QHeaderView::Fixed);
  rows->setMinimumSectionSize(1);
  rows->setDefaultSectionSize(RowHeight(view.font()));
}

void ApplyTableLook(LongListView& view, const QStringList& columnSamples) {
  ApplyListLook(view, *view.horizontalHeader(), columnSamples);
  view.setRowHeight(RowHeight(view.font()));
}

}  // namespace vesk
