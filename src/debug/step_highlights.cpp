#include "debug/step_highlights.h"

#include <QPalette>
#include <QTableView>
#include <algorithm>

#include "core/frm_processor1.h"
#include "core/register_panel.h"
#include "core/value_field.h"
#include "widgets/highlight_delegate.h"

namespace vesk {

const QColor StepHighlights::kWritten(255, 214, 130);
const QColor StepHighlights::kRead(176, 214, 255);

namespace {

bool Has(const std::vector<int>& v, int x) { return std::find(v.begin(), v.end(), x) != v.end(); }

}  // namespace

StepHighlights::StepHighlights(QTableView& memory, QTableView& microMemory, QTableView& controllers,
                               frmProcessor1& processor, QObject* parent)
    : QObject(parent), memory_(memory), micro_(microMemory), controllers_(controllers), processor_(processor) {
  memory_.setItemDelegate(
      new HighlightDelegate([this](int row) { return memoryKind(row); }, {kWritten, kRead}, &memory_));
  micro_.setItemDelegate(new HighlightDelegate(
      [this](int row) { return shown_.microAddress == row + 1 ? 1 : 0; }, {kWritten}, &micro_));
  controllers_.setItemDelegate(new HighlightDelegate(
      [this](int row) { return Has(shown_.controllerRows, row) ? 1 : 0; }, {kWritten}, &controllers_));
}

int StepHighlights::memoryKind(int address) const {
  if (Has(shown_.memoryWritten, address)) return 1;
  return shown_.memoryRead == address ? 2 : 0;
}

void StepHighlights::show(const History::StepChanges& changes) {
  shown_ = changes;
  repaint();
}

void StepHighlights::clear() {
  if (shown_.registers.empty() && shown_.memoryWritten.empty() && shown_.memoryRead < 0 &&
      shown_.controllerRows.empty() && shown_.microAddress < 0)
    return;
  shown_ = {};
  repaint();
}

void StepHighlights::repaint() {
  memory_.viewport()->update();
  micro_.viewport()->update();
  controllers_.viewport()->update();
  paintRegisters();
}

void StepHighlights::paintRegisters() {
  for (const QPointer<QWidget>& w : tinted_)
    if (w) w->setPalette(QPalette());
  tinted_.clear();
  for (const Reg r : shown_.registers) {
    RegisterPanel* panel = processor_.panel(r);
    if (panel == nullptr) continue;
    for (ValueField* f : {panel->hexField(), panel->decField(), panel->binField(), panel->mnemonicField(),
                          panel->bit16Field()}) {
      if (f == nullptr) continue;
      QPalette tint = f->palette();
      tint.setColor(QPalette::Base, kWritten);
      f->setPalette(tint);
      f->update();
      tinted_.emplace_back(f);
    }
  }
}

}  // namespace vesk
