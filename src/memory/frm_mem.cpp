#include "memory/frm_mem.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QVBoxLayout>

#include "app/comment_check.h"
#include "app/table_look.h"
#include "format/number_text.h"
#include "memory/dump_dialogs.h"
#include "memory/main_memory.h"
#include "memory/memory_editor_rules.h"
#include "memory/memory_table_model.h"
#include "util/machine_error.h"

namespace vesk {

frmMem::frmMem(MainMemory& memory, std::string settingsFile, Dialogs* dialogs, QWidget* parent)
    : MachineWindow(std::move(settingsFile), "Mem", dialogs, parent), memory_(memory) {
  setWindowTitle(QStringLiteral("Память"));
  model_ = new MemoryTableModel(memory_, this);
  list_ = new QTableView(this);
  list_->setModel(model_);
  ApplyTableLook(*list_, {"7FF", "FFFF", "65.535  ( -00.001)", "0000.0000.0000.0000", "ADD 7FF", ""});

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->setSpacing(4);
  layout->addWidget(list_, 1);
  buildEditingRow();

  connect(list_, &QTableView::clicked, this, [this](const QModelIndex& i) { loadEditor(i.row()); });
  connect(list_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& current) {
            // Keyboard moves select the new row; the view's own choice of a
            // current row on focus selects nothing and loads nothing.
            if (current.isValid() && list_->selectionModel()->isRowSelected(current.row())) loadEditor(current.row());
          });
  connect(model_, &MemoryTableModel::ownerSelected, this, &frmMem::showOwnerSelection);

  memory_.Mem_Clear();
  resize(760, 520);
}

void frmMem::buildEditingRow() {
  address_ = new EditorLineEdit(this);
  address_->setObjectName(QStringLiteral("address"));
  address_->setPlaceholderText(QStringLiteral("Адрес"));
  address_->setFont(ValueFont());
  address_->setMaxLength(8);
  address_->setFixedWidth(QFontMetrics(ValueFont()).horizontalAdvance(QStringLiteral("00000")) + 16);
  address_->setToolTip(QStringLiteral("Адрес ячейки, 000-7FF"));

  value_ = new EditorLineEdit(this);
  value_->setObjectName(QStringLiteral("value"));
  value_->setPlaceholderText(QStringLiteral("Значение"));
  value_->setFont(ValueFont());
  value_->setMinimumWidth(QFontMetrics(ValueFont()).horizontalAdvance(QStringLiteral("65.535  ( -00.001)")) + 16);

  mode_ = new QComboBox(this);
  for (const std::string_view m : kMemoryModes) mode_->addItem(QString::fromUtf8(m.data(), static_cast<int>(m.size())));
  mode_->setCurrentIndex(0);

  comment_ = new EditorLineEdit(this);
  comment_->setObjectName(QStringLiteral("comment"));
  comment_->setPlaceholderText(QStringLiteral("Комментарий"));
  nextRow_ = new QCheckBox(QStringLiteral("Переходить на след. строку"), this);

  auto* row = new QHBoxLayout;
  row->setSpacing(4);
  row->addWidget(address_);
  row->addWidget(value_, 2);
  row->addWidget(mode_);
  row->addWidget(comment_, 3);
  row->addWidget(nextRow_);
  status_ = new EditorStatus(this);
  auto* outer = static_cast<QVBoxLayout*>(layout());
  outer->addLayout(row);
  outer->addWidget(status_);

  connect(value_, &QLineEdit::returnPressed, this, &frmMem::commitEditor);
  connect(comment_, &QLineEdit::returnPressed, this, &frmMem::commitEditor);
}

bool frmMem::ClearMemory() { return ClearMemoryWithQuestion(memory_, dialogs(), this); }
bool frmMem::LoadDump() { return LoadDumpWithDialog(memory_, dialogs(), this); }
bool frmMem::SaveDump() { return SaveDumpWithDialog(memory_, dialogs(), this); }

int frmMem::selectedRow() const {
  const QModelIndexList rows = list_->selectionModel()->selectedRows();
  return rows.isEmpty() ? -1 : rows.first().row();
}

void frmMem::selectRow(int address) {
  if (address < 0 || address >= MainMemory::kWords) return;
  const QModelIndex i = model_->index(address, 0);
  list_->selectionModel()->setCurrentIndex(i, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  list_->scrollTo(i);
  loadEditor(address);
}

void frmMem::showOwnerSelection(int address) {
  // The processor's reads and writes move the highlight but never scroll.
  if (address < 0) {
    list_->selectionModel()->clearSelection();
    return;
  }
  list_->selectionModel()->select(model_->index(address, 0),
                                  QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void frmMem::loadEditor(int address) {
  const std::string mode = mode_->currentText().toStdString();
  address_->setText(QString::fromStdString(MainMemory::AddressText(address)));
  value_->setText(QString::fromStdString(MemoryEditorText(memory_, address, mode)));
  value_->selectAll();
  comment_->setText(QString::fromStdString(memory_.Comment(address)));
  comment_->selectAll();
  status_->clearMessage();
}

void frmMem::commitEditor() {
  if (!list_->selectionModel()->hasSelection()) {
    status_->showNote(QStringLiteral("Выберите строку списка"));
    return;
  }
  const std::string typedAddress(Trim(address_->text().toStdString()));
  const auto address = MainMemory::ParseAddress(typedAddress);
  if (!address) {
    status_->showError(QStringLiteral("Нет ячейки с адресом \"%1\": адрес памяти от 000 до 7FF")
                           .arg(QString::fromStdString(typedAddress)));
    address_->setFocus();
    address_->selectAll();
    return;
  }
  const EditorValue value = MemoryValueFromText(mode_->currentText().toStdString(), value_->text().toStdString());
  if (!value.ok) {
    status_->showError(QString::fromStdString(value.error));
    value_->setFocus();
    value_->selectAll();
    return;
  }
  const std::string comment = comment_->text().toStdString();
  if (const std::string problem = CommentProblem(comment); !problem.empty()) {
    status_->showError(QString::fromStdString(problem));
    comment_->setFocus();
    return;
  }
  try {
    if (!value.bits.empty()) memory_.Mem_WriteMem(typedAddress, value.bits);
    memory_.SetComment(*address, comment);
  } catch (const MachineError& e) {
    status_->showError(QString::fromStdString(e.what()));
    return;
  }
  if (nextRow_->isChecked()) {
    selectRow((*address + 1) % MainMemory::kWords);
  } else {
    list_->setFocus();
  }
  if (value.note.empty())
    status_->clearMessage();
  else
    status_->showNote(QString::fromStdString(value.note));
}

}  // namespace vesk
