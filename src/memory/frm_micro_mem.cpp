#include "memory/frm_micro_mem.h"

#include <QCoreApplication>
#include <QVBoxLayout>

#include "widgets/table_look.h"
#include "memory/micro_editor_rules.h"
#include "memory/micro_memory.h"
#include "memory/micro_memory_table_model.h"

namespace vesk {

frmMicroMem::frmMicroMem(MicroMemory& memory, std::string settingsFile, Dialogs* dialogs, QWidget* parent)
    : MachineWindow(std::move(settingsFile), "MicroMem", dialogs, parent), memory_(memory) {
  setWindowTitle(QStringLiteral("Микропрограмма"));
  model_ = new MicroMemoryTableModel(memory_, this);
  list_ = new QTableView(this);
  list_->setModel(model_);
  ApplyTableLook(*list_, {"FF", "0000.0000.0000.0000 0000.0000.0000.0000 | 0000 0000", "0000.0000.0000.0000 | 0000",
                          "Чтение команды в РД; СК + 1 -> БР", ""});

  QStringList modes;
  for (const std::string_view m : kMicroModes) modes << QString::fromUtf8(m.data(), static_cast<int>(m.size()));
  editor_ = new EditingRow({QStringLiteral("01"), QStringLiteral("Адрес микрокоманды, 01-FF"),
                            QStringLiteral("0000.0000.0000.0000"), false, modes, false, true},
                           this);
  connect(editor_, &EditingRow::committed, this, &frmMicroMem::commitEditor);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->setSpacing(4);
  layout->addWidget(list_, 1);
  layout->addWidget(editor_);
  buildContextMenu();

  connect(list_, &QTableView::clicked, this,
          [this](const QModelIndex& i) { loadEditor(MicroMemoryTableModel::AddressOfRow(i.row())); });
  connect(list_->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this](const QModelIndex& current) {
    if (current.isValid() && list_->selectionModel()->isRowSelected(current.row()))
      loadEditor(MicroMemoryTableModel::AddressOfRow(current.row()));
  });
  connect(model_, &MicroMemoryTableModel::ownerSelected, this, &frmMicroMem::showOwnerSelection);
  resize(900, 480);
}

void frmMicroMem::buildContextMenu() {
  menu_ = new QMenu(this);
  QAction* loadDefault = menu_->addAction(QStringLiteral("Загрузить микропрограмму по-умолчанию"));
  loadDefault->setObjectName(QStringLiteral("mnuMicroMem_Context_LoadDefault"));
  menu_->addSeparator();
  QAction* load = menu_->addAction(QStringLiteral("Загрузить микропрограмму..."));
  load->setObjectName(QStringLiteral("mnuMicroMem_Context_Load"));
  QAction* save = menu_->addAction(QStringLiteral("Сохранить микропрограмму..."));
  save->setObjectName(QStringLiteral("mnuMicroMem_Context_Save"));
  connect(loadDefault, &QAction::triggered, this, [this] { LoadDefault(); });
  connect(load, &QAction::triggered, this, [this] { LoadWithDialog(); });
  connect(save, &QAction::triggered, this, [this] { SaveWithDialog(); });

  list_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(list_, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { menu_->exec(list_->viewport()->mapToGlobal(at)); });
}

QString frmMicroMem::programDirectory() const {
  return programDir_.isEmpty() ? QCoreApplication::applicationDirPath() : programDir_;
}

int frmMicroMem::selectedAddress() const {
  const QModelIndexList rows = list_->selectionModel()->selectedRows();
  return rows.isEmpty() ? -1 : MicroMemoryTableModel::AddressOfRow(rows.first().row());
}

void frmMicroMem::selectAddress(int address) {
  if (address < 1 || address > MicroMemory::kWords) return;
  const QModelIndex i = model_->index(MicroMemoryTableModel::RowOfAddress(address), 0);
  list_->selectionModel()->setCurrentIndex(i, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  list_->scrollTo(i);
  loadEditor(address);
}

void frmMicroMem::showOwnerSelection(int address) {
  // Run control's fetches move the highlight but never scroll.
  list_->selectionModel()->select(model_->index(MicroMemoryTableModel::RowOfAddress(address), 0),
                                  QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void frmMicroMem::loadEditor(int address) {
  const auto value = MicroEditorText(memory_, address, editor_->mode());
  editor_->load(QString::fromStdString(MicroMemory::AddressText(address)),
                value ? std::optional<QString>(QString::fromStdString(*value)) : std::nullopt,
                QString::fromStdString(memory_.Comment(address)));
}

void frmMicroMem::commitEditor() {
  const auto in = editor_->read(list_->selectionModel()->hasSelection(), &MicroMemory::ParseAddress,
                                QStringLiteral("Нет микрокоманды с адресом \"%1\": адрес микропамяти от 01 до FF"),
                                &MicroValueFromText);
  if (!in) return;
  const bool written = editor_->write([&] {
    if (!in->value.bits.empty()) memory_.Micro_WriteMem(in->address, in->value.bits);
    memory_.SetComment(in->row, in->comment);
  });
  if (!written) return;
  if (nextRowBox()->isChecked())
    selectAddress(in->row == MicroMemory::kWords ? 1 : in->row + 1);
  else
    list_->setFocus();
}

}  // namespace vesk
