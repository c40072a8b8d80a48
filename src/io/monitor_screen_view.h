// The monitor's screen drawn as a terminal draws it: 25 rows of 80 character
// cells in a monospaced font, each cell as wide as one character, side by
// side without gaps, light text on a dark ground. The font follows the size of
// the view: the largest size whose 80 x 25 cells fit, the cells in the middle.
#pragma once

#include <QAbstractItemModel>
#include <QFont>
#include <QPointer>
#include <QRectF>
#include <QWidget>

namespace vesk {

class MonitorScreenView : public QWidget {
  Q_OBJECT

 public:
  // model: 25 rows x 80 columns of one-character texts (MonitorScreenModel).
  explicit MonitorScreenView(QAbstractItemModel* model, QWidget* parent = nullptr);

  QAbstractItemModel* model() const { return model_; }
  // The font the cells are drawn in now, and the size of one cell.
  const QFont& screenFont() const { return font_; }
  QSizeF cellSize() const { return cell_; }
  // Where cell (column x, row y), both from 1, is drawn.
  QRectF cellRect(int x, int y) const;

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

  static constexpr int kDefaultPixelSize = 16;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void fitFont();
  void cellsChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight);
  static QFont FontOfSize(int pixelSize);
  static QSizeF CellOf(const QFont& font);

  QPointer<QAbstractItemModel> model_;
  QFont font_;
  QSizeF cell_;
  QPointF origin_;
};

}  // namespace vesk
