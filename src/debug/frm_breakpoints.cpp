#include "debug/frm_breakpoints.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "debug/breakpoints_table_model.h"
#include "widgets/table_look.h"

namespace vesk {

frmBreakpoints::frmBreakpoints(Breakpoints& breakpoints, std::function<QString(BreakKind, int)> comment,
                               std::string settingsFile, Dialogs* dialogs, QWidget* parent)
    : MachineWindow(std::move(settingsFile), "Breakpoints", dialogs, parent), breakpoints_(breakpoints) {
  setWindowTitle(QStringLiteral("Точки останова"));
  model_ = new BreakpointsTableModel(breakpoints_, std::move(comment), this);
  list_ = new QTableView(this);
  list_->setModel(model_);
  ApplyTableLook(*list_, {"Вкл.", "Запись в память", "7FF", ""});

  kind_ = new QComboBox(this);
  for (int k = 0; k < kBreakKinds; ++k) kind_->addItem(BreakpointsTableModel::KindText(static_cast<BreakKind>(k)), k);
  address_ = new QLineEdit(this);
  address_->setObjectName("breakpointAddress");
  address_->setMaxLength(3);
  address_->setFixedWidth(56);
  address_->setFont(ValueFont());
  address_->setPlaceholderText(QStringLiteral("Адрес"));
  address_->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9A-Fa-f]{0,3}"), address_));
  add_ = new QPushButton(QStringLiteral("Добавить"), this);
  toggle_ = new QPushButton(QStringLiteral("Включить / выключить"), this);
  remove_ = new QPushButton(QStringLiteral("Удалить"), this);
  removeAll_ = new QPushButton(QStringLiteral("Удалить все"), this);
  note_ = new QLabel(this);
  note_->setWordWrap(true);

  auto* addRow = new QHBoxLayout;
  addRow->addWidget(kind_);
  addRow->addWidget(address_);
  addRow->addWidget(add_);
  addRow->addStretch(1);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(toggle_);
  buttons->addWidget(remove_);
  buttons->addWidget(removeAll_);
  buttons->addStretch(1);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->setSpacing(4);
  layout->addWidget(list_, 1);
  layout->addLayout(addRow);
  layout->addLayout(buttons);
  layout->addWidget(note_);

  connect(add_, &QPushButton::clicked, this, &frmBreakpoints::addFromFields);
  connect(address_, &QLineEdit::returnPressed, this, &frmBreakpoints::addFromFields);
  connect(toggle_, &QPushButton::clicked, this, &frmBreakpoints::toggleSelected);
  connect(remove_, &QPushButton::clicked, this, &frmBreakpoints::removeSelected);
  connect(removeAll_, &QPushButton::clicked, this, &frmBreakpoints::removeAll);
  connect(list_, &QTableView::doubleClicked, this, [this](const QModelIndex& i) {
    if (i.isValid() && i.column() != BreakpointsTableModel::kEnabled) {
      const Breakpoint& b = model_->at(i.row());
      emit showRequested(b.kind, b.address);
    }
  });
  connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this, &frmBreakpoints::syncButtons);
  connect(model_, &QAbstractItemModel::rowsInserted, this, &frmBreakpoints::syncButtons);
  connect(model_, &QAbstractItemModel::rowsRemoved, this, &frmBreakpoints::syncButtons);
  syncButtons();
  resize(520, 320);
}

void frmBreakpoints::onOpen() { model_->refreshComments(); }

int frmBreakpoints::selectedRow() const {
  const QModelIndexList rows = list_->selectionModel()->selectedRows();
  return rows.isEmpty() ? -1 : rows.first().row();
}

void frmBreakpoints::syncButtons() {
  const bool selected = selectedRow() >= 0;
  toggle_->setEnabled(selected);
  remove_->setEnabled(selected);
  removeAll_->setEnabled(model_->rowCount() > 0);
}

void frmBreakpoints::addFromFields() {
  const auto kind = static_cast<BreakKind>(kind_->currentData().toInt());
  const auto address = Breakpoints::ParseAddress(kind, address_->text().toStdString());
  if (!address) {
    static const char* const kRanges[kBreakKinds] = {"адрес памяти от 000 до 7FF", "адрес микрокоманды от 01 до FF",
                                                     "адрес памяти от 000 до 7FF", "адрес контроллера от 00 до FF"};
    note_->setText(QStringLiteral("Нет такого адреса \"%1\": %2")
                       .arg(address_->text(), QString::fromUtf8(kRanges[static_cast<int>(kind)])));
    address_->setFocus();
    address_->selectAll();
    return;
  }
  breakpoints_.Set(kind, *address, true);
  note_->clear();
  const int row = model_->rowOf(kind, *address);
  if (row >= 0) list_->selectRow(row);
}

void frmBreakpoints::toggleSelected() {
  const int row = selectedRow();
  if (row < 0) return;
  const Breakpoint b = model_->at(row);
  breakpoints_.SetEnabled(b.kind, b.address, !b.enabled);
}

void frmBreakpoints::removeSelected() {
  const int row = selectedRow();
  if (row < 0) return;
  const Breakpoint b = model_->at(row);
  breakpoints_.Remove(b.kind, b.address);
  if (model_->rowCount() > 0) list_->selectRow(std::min(row, model_->rowCount() - 1));
}

void frmBreakpoints::removeAll() { breakpoints_.RemoveAll(); }

}  // namespace vesk
