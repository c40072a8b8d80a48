#include "memory/frm_micro_mem.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "app/comment_check.h"
#include "app/table_look.h"
#include "format/number_text.h"
#include "memory/micro_editor_rules.h"
#include "memory/micro_memory.h"
#include "memory/micro_memory_table_model.h"
#include "util/machine_error.h"

namespace vesk {

frmMicroMem::frmMicroMem(MicroMemory& memory, std::string settingsFile, Dialogs* dialogs, QWidget* parent)
    : MachineWindow(std::move(settingsFile), "MicroMem", dialogs, parent), memory_(memory) {
  setWindowTitle(QStringLiteral("Микропрограмма"));
  model_ = new MicroMemoryTableModel(memory_, this);
  list_ = new QTableView(this);
  list_->setModel(model_);
  ApplyTableLook(*list_, {"FF", "0000.0000.0000.0000 0000.0000.0000.0000 | 0000 0000", "0000.0000.0000.0000 | 0000", ""});

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->setSpacing(4);
  layout->addWidget(list_, 1);
  buildEditingRow();
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

void frmMicroMem::buildEditingRow() {
  const QFontMetrics values(ValueFont());
  address_ = new EditorLineEdit(QStringLiteral("01"), this);
  address_->setObjectName(QStringLiteral("address"));
  address_->setPlaceholderText(QStringLiteral("Адрес"));
  address_->setFont(ValueFont());
  address_->setMaxLength(8);
  address_->setFixedWidth(values.horizontalAdvance(QStringLiteral("0000")) + 16);
  address_->setToolTip(QStringLiteral("Адрес микрокоманды, 01-FF"));

  value_ = new EditorLineEdit(this);
  value_->setObjectName(QStringLiteral("value"));
  value_->setPlaceholderText(QStringLiteral("Значение"));
  value_->setFont(ValueFont());
  value_->setMinimumWidth(values.horizontalAdvance(QStringLiteral("0000.0000.0000.0000")) + 16);

  mode_ = new QComboBox(this);
  for (const std::string_view m : kMicroModes) mode_->addItem(QString::fromUtf8(m.data(), static_cast<int>(m.size())));
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

  connect(value_, &QLineEdit::returnPressed, this, &frmMicroMem::commitEditor);
  connect(comment_, &QLineEdit::returnPressed, this, &frmMicroMem::commitEditor);
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
  address_->setText(QString::fromStdString(MicroMemory::AddressText(address)));
  if (const auto text = MicroEditorText(memory_, address, mode_->currentText().toStdString()))
    value_->setText(QString::fromStdString(*text));
  value_->selectAll();
  comment_->setText(QString::fromStdString(memory_.Comment(address)));
  comment_->selectAll();
  status_->clearMessage();
}

void frmMicroMem::commitEditor() {
  if (!list_->selectionModel()->hasSelection()) {
    status_->showNote(QStringLiteral("Выберите строку списка"));
    return;
  }
  const std::string typedAddress(Trim(address_->text().toStdString()));
  const auto address = MicroMemory::ParseAddress(typedAddress);
  if (!address) {
    status_->showError(QStringLiteral("Нет микрокоманды с адресом \"%1\": адрес микропамяти от 01 до FF")
                           .arg(QString::fromStdString(typedAddress)));
    address_->setFocus();
    address_->selectAll();
    return;
  }
  const EditorValue value = MicroValueFromText(mode_->currentText().toStdString(), value_->text().toStdString());
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
    if (!value.bits.empty()) memory_.Micro_WriteMem(typedAddress, value.bits);
    memory_.SetComment(*address, comment);
  } catch (const MachineError& e) {
    status_->showError(QString::fromStdString(e.what()));
    return;
  }
  status_->clearMessage();
  if (nextRow_->isChecked())
    selectAddress(*address == MicroMemory::kWords ? 1 : *address + 1);
  else
    list_->setFocus();
}

}  // namespace vesk
