#include "core/state_register_panel.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QVBoxLayout>
#include <QLabel>
#include <QTableView>

#include "widgets/table_look.h"
#include "core/processor.h"
#include "core/state_bits_model.h"
#include "core/value_field.h"

namespace vesk {

StateRegisterPanel::StateRegisterPanel(const Processor& cpu, QWidget* parent)
    : QGroupBox(QStringLiteral("Регистр состояния"), parent), cpu_(cpu) {
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(6, 4, 6, 6);
  outer->setSpacing(4);

  // Hex and binary of РС, then С, Z and N on their own.
  auto* top = new QHBoxLayout;
  top->setSpacing(4);
  hex_ = new ValueField(4, this);
  bin_ = new ValueField(19, this);
  c_ = new ValueField(1, this);
  z_ = new ValueField(1, this);
  n_ = new ValueField(1, this);
  c_->setToolTip(StateBitsModel::Meaning(0));
  z_->setToolTip(StateBitsModel::Meaning(1));
  n_->setToolTip(StateBitsModel::Meaning(2));
  const std::pair<const char*, ValueField*> fields[] = {{"Hex", hex_}, {"Bin", bin_}, {"С", c_}, {"Z", z_}, {"N", n_}};
  for (const auto& [label, field] : fields) {
    if (top->count() > 0) top->addSpacing(field == c_ ? 18 : 6);
    top->addWidget(FieldCaption(QString::fromUtf8(label), this));
    top->addWidget(field);
  }
  top->addStretch(1);
  outer->addLayout(top);

  model_ = new StateBitsModel(cpu_, this);
  list_ = new QTableView(this);
  list_->setModel(model_);
  ApplyTableLook(*list_, {"Разряд", "Значение", ""});
  list_->setFont(font());
  list_->setSelectionMode(QAbstractItemView::NoSelection);
  list_->setFocusPolicy(Qt::NoFocus);
  list_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  // All 13 rows at once, no scrolling.
  const int rowHeight = list_->fontMetrics().height() + 3;
  list_->verticalHeader()->setDefaultSectionSize(rowHeight);
  const int height = rowHeight * StateBitsModel::kRows + list_->horizontalHeader()->sizeHint().height() + 2 * list_->frameWidth();
  list_->setFixedHeight(height);
  const int meaningWidth = list_->fontMetrics().horizontalAdvance(StateBitsModel::Meaning(3)) + 16;
  list_->setMinimumWidth(list_->horizontalHeader()->sectionSize(0) + list_->horizontalHeader()->sectionSize(1) +
                         meaningWidth + 2 * list_->frameWidth());
  list_->setTextElideMode(Qt::ElideRight);
  outer->addWidget(list_);
  refresh();
}

void StateRegisterPanel::refresh() {
  const RegisterTexts t = cpu_.Texts(Reg::State);
  hex_->setText(QString::fromStdString(t.hex));
  bin_->setText(QString::fromStdString(t.bin));
  c_->setText(QString::fromLatin1(cpu_.Reg_Get_С().c_str()));
  z_->setText(QString::fromLatin1(cpu_.Reg_Get_Z().c_str()));
  n_->setText(QString::fromLatin1(cpu_.Reg_Get_N().c_str()));
  model_->stateChanged();
}

}  // namespace vesk
