#include "io/frm_controllers.h"

#include <QVBoxLayout>

#include "widgets/table_look.h"
#include "format/number_text.h"
#include "io/controller_editor_rules.h"
#include "io/controllers.h"
#include "io/controllers_table_model.h"

namespace vesk {

frmControllers::frmControllers(Controllers& controllers, std::string settingsFile, Dialogs* dialogs, QWidget* parent)
    : MachineWindow(std::move(settingsFile), "Controllers", dialogs, parent), controllers_(controllers) {
  setWindowTitle(QStringLiteral("Контроллеры внешних устройств"));
  model_ = new ControllersTableModel(controllers_, this);
  list_ = new QTableView(this);
  list_->setModel(model_);
  ApplyTableLook(*list_, {"FF", "0", "FF | 255 | 1111.1111", "Net adapter", ""});

  QStringList modes;
  for (const std::string_view m : kControllerModes) modes << QString::fromUtf8(m.data(), static_cast<int>(m.size()));
  editor_ = new EditingRow({QString(), QStringLiteral("Адрес контроллера, 00-FF"), QStringLiteral("0000.0000"), true,
                            modes, true, false},
                           this);
  connect(editor_, &EditingRow::committed, this, &frmControllers::commitEditor);
  connect(editor_->flagBox(), &QCheckBox::clicked, this, &frmControllers::applyFlag);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->setSpacing(4);
  layout->addWidget(list_, 1);
  layout->addWidget(editor_);

  menu_ = new QMenu(this);
  QAction* props = menu_->addAction(QStringLiteral("Свойства"));
  props->setObjectName(QStringLiteral("mnuControllers_Props"));
  connect(props, &QAction::triggered, this, [this] {
    const int row = selectedRow();
    if (row >= 0) emit propertiesRequested(row);
  });
  list_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(list_, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { menu_->exec(list_->viewport()->mapToGlobal(at)); });

  connect(list_, &QTableView::clicked, this, [this](const QModelIndex& i) { loadEditor(i.row()); });
  connect(list_->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this](const QModelIndex& current) {
    if (current.isValid() && list_->selectionModel()->isRowSelected(current.row())) loadEditor(current.row());
  });
  resize(720, 480);
}

int frmControllers::selectedRow() const {
  const QModelIndexList rows = list_->selectionModel()->selectedRows();
  return rows.isEmpty() ? -1 : rows.first().row();
}

void frmControllers::selectRow(int row) {
  if (row < 0 || row >= Controllers::kCount) return;
  const QModelIndex i = model_->index(row, 0);
  list_->selectionModel()->setCurrentIndex(i, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  list_->scrollTo(i);
  loadEditor(row);
}

void frmControllers::loadEditor(int row) {
  flagBox()->setChecked(controllers_.Flag(row) != 0);
  editor_->load(QString::fromStdString(Controllers::AddressText(row)),
                QString::fromStdString(ControllerEditorText(controllers_, row, editor_->mode())),
                QString::fromStdString(controllers_.Comment(row)));
}

namespace {
const QString kNoController = QStringLiteral("Нет контроллера с адресом \"%1\": адрес от 00 до FF");
}

void frmControllers::applyFlag(bool set) {
  const std::string typed(Trim(addressField()->text().toStdString()));
  if (!Controllers::ParseAddress(typed)) {
    status()->showError(kNoController.arg(QString::fromStdString(typed)));
    flagBox()->setChecked(!set);
    return;
  }
  editor_->write([&] { controllers_.Reg_Set_Flag(typed, set ? 1 : 0); });
}

void frmControllers::commitEditor() {
  const auto in = editor_->read(list_->selectionModel()->hasSelection(), &Controllers::ParseAddress, kNoController,
                                &ControllerValueFromText);
  if (!in) return;
  editor_->write([&] {
    if (!in->value.bits.empty()) controllers_.Reg_Set_Data(in->address, in->value.bits);
    controllers_.SetComment(Controllers::RowOfAddress(in->row), in->comment);
  });
}

}  // namespace vesk
