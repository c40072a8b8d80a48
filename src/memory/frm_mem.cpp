#include "memory/frm_mem.h"

#include <QVBoxLayout>

#include "widgets/table_look.h"
#include "memory/dump_dialogs.h"
#include "memory/main_memory.h"
#include "memory/memory_editor_rules.h"
#include "memory/memory_table_model.h"

namespace vesk {

frmMem::frmMem(MainMemory& memory, std::string settingsFile, Dialogs* dialogs, QWidget* parent)
    : MachineWindow(std::move(settingsFile), "Mem", dialogs, parent), memory_(memory) {
  setWindowTitle(QStringLiteral("Память"));
  model_ = new MemoryTableModel(memory_, this);
  list_ = new QTableView(this);
  list_->setModel(model_);
  ApplyTableLook(*list_, {"7FF", "FFFF", "65.535  ( -00.001)", "0000.0000.0000.0000", "ADD 7FF", ""});

  QStringList modes;
  for (const std::string_view m : kMemoryModes) modes << QString::fromUtf8(m.data(), static_cast<int>(m.size()));
  editor_ = new EditingRow({QString(), QStringLiteral("Адрес ячейки, 000-7FF"), QStringLiteral("65.535  ( -00.001)"),
                            false, modes, false, true},
                           this);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->setSpacing(4);
  layout->addWidget(list_, 1);
  layout->addWidget(editor_);

  connect(editor_, &EditingRow::committed, this, &frmMem::commitEditor);
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
  editor_->load(QString::fromStdString(MainMemory::AddressText(address)),
                QString::fromStdString(MemoryEditorText(memory_, address, editor_->mode())),
                QString::fromStdString(memory_.Comment(address)));
}

void frmMem::commitEditor() {
  const auto in = editor_->read(list_->selectionModel()->hasSelection(), &MainMemory::ParseAddress,
                                QStringLiteral("Нет ячейки с адресом \"%1\": адрес памяти от 000 до 7FF"),
                                &MemoryValueFromText);
  if (!in) return;
  const bool written = editor_->write([&] {
    if (!in->value.bits.empty()) memory_.Mem_WriteMem(in->address, in->value.bits);
    memory_.SetComment(in->row, in->comment);
  });
  if (!written) return;
  if (nextRowBox()->isChecked())
    selectRow((in->row + 1) % MainMemory::kWords);
  else
    list_->setFocus();
  if (!in->value.note.empty()) status()->showNote(QString::fromStdString(in->value.note));
}

}  // namespace vesk
