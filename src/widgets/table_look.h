// The common look of the machine's lists: read-only, whole rows selected, one
// uniform row height (so a list of a million lines scrolls at once), a fixed
// font for the values.
#pragma once

#include <QFont>
#include <QStringList>

class QTableView;

namespace vesk {

class LongListView;

QFont ValueFont();

// Sets up the view; widths of all but the last column fit the longest sample
// text of each column (or its header), the last column stretches.
void ApplyTableLook(QTableView& view, const QStringList& columnSamples);
// The same look for a long list (a trace), row height and all.
void ApplyTableLook(LongListView& view, const QStringList& columnSamples);

}  // namespace vesk
