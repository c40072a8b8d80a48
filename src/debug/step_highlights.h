// What the last step changed, shown in the windows until the next step: the
// register panels of the processor window, the memory rows written (and in
// another tint the row read), the controllers changed and the micro-command
// executed. The machine's history says what changed; this only paints it.
#pragma once

#include <QObject>
#include <QPointer>
#include <vector>

#include "debug/history.h"

class QTableView;
class QWidget;

namespace vesk {

class frmProcessor1;

class StepHighlights : public QObject {
  Q_OBJECT

 public:
  static const QColor kWritten;
  static const QColor kRead;

  StepHighlights(QTableView& memory, QTableView& microMemory, QTableView& controllers, frmProcessor1& processor,
                 QObject* parent = nullptr);

  // Shows these changes (replacing the ones shown).
  void show(const History::StepChanges& changes);
  void clear();

  const History::StepChanges& shown() const { return shown_; }
  // 0 none, 1 written, 2 read.
  int memoryKind(int address) const;

 private:
  void repaint();
  void paintRegisters();

  QTableView& memory_;
  QTableView& micro_;
  QTableView& controllers_;
  frmProcessor1& processor_;
  History::StepChanges shown_;
  std::vector<QPointer<QWidget>> tinted_;
};

}  // namespace vesk
