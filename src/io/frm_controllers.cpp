#include "io/frm_controllers.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "app/comment_check.h"
#include "app/table_look.h"
#include "format/number_text.h"
#include "io/controller_editor_rules.h"
#include "io/controllers.h"
#include "io/controllers_table_model.h"
#include "util/machine_error.h"

namespace vesk {

frmControllers::frmControllers(Controllers& controllers, std::string settingsFile, Dialogs* dialogs, QWidget* parent)
    : MachineWindow(std::move(settingsFile), "Controllers", dialogs, parent), controllers_(controllers) {
  setWindowTitle(QStringLiteral("Контроллеры внешних устройств"));
  model_ = new ControllersTableModel(controllers_, this);
  list_ = new QTableView(this);
  list_->setModel(model_);
  ApplyTableLook(*list_, {"FF", "0", "FF | 255 | 1111.1111", "Net adapter", ""});

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->setSpacing(4);
  layout->addWidget(list_, 1);
  buildEditingRow();

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

void frmControllers::buildEditingRow() {
  const QFontMetrics values(ValueFont());
  address_ = new EditorLineEdit(this);
  address_->setObjectName(QStringLiteral("address"));
  address_->setPlaceholderText(QStringLiteral("Адрес"));
  address_->setFont(ValueFont());
  address_->setMaxLength(8);
  address_->setFixedWidth(values.horizontalAdvance(QStringLiteral("0000")) + 16);
  address_->setToolTip(QStringLiteral("Адрес контроллера, 00-FF"));

  flag_ = new QCheckBox(QStringLiteral("Флаг"), this);
  value_ = new EditorLineEdit(this);
  value_->setObjectName(QStringLiteral("value"));
  value_->setPlaceholderText(QStringLiteral("Значение"));
  value_->setFont(ValueFont());
  value_->setFixedWidth(values.horizontalAdvance(QStringLiteral("0000.0000")) + 16);

  mode_ = new QComboBox(this);
  mode_->setEditable(false);
  for (const std::string_view m : kControllerModes)
    mode_->addItem(QString::fromUtf8(m.data(), static_cast<int>(m.size())));
  mode_->setCurrentIndex(0);

  comment_ = new EditorLineEdit(this);
  comment_->setObjectName(QStringLiteral("comment"));
  comment_->setPlaceholderText(QStringLiteral("Комментарий"));

  auto* row = new QHBoxLayout;
  row->setSpacing(4);
  row->addWidget(address_);
  row->addWidget(flag_);
  row->addWidget(value_);
  row->addWidget(mode_);
  row->addWidget(comment_, 1);
  status_ = new EditorStatus(this);
  auto* outer = static_cast<QVBoxLayout*>(layout());
  outer->addLayout(row);
  outer->addWidget(status_);

  connect(value_, &QLineEdit::returnPressed, this, &frmControllers::commitEditor);
  connect(comment_, &QLineEdit::returnPressed, this, &frmControllers::commitEditor);
  connect(flag_, &QCheckBox::clicked, this, &frmControllers::applyFlag);
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
  address_->setText(QString::fromStdString(Controllers::AddressText(row)));
  flag_->setChecked(controllers_.Flag(row) != 0);
  value_->setText(QString::fromStdString(ControllerEditorText(controllers_, row, mode_->currentText().toStdString())));
  value_->selectAll();
  comment_->setText(QString::fromStdString(controllers_.Comment(row)));
  comment_->selectAll();
  status_->clearMessage();
}

void frmControllers::applyFlag(bool set) {
  const std::string typed(Trim(address_->text().toStdString()));
  const auto address = Controllers::ParseAddress(typed);
  if (!address) {
    status_->showError(QStringLiteral("Нет контроллера с адресом \"%1\": адрес от 00 до FF").arg(QString::fromStdString(typed)));
    flag_->setChecked(!set);
    return;
  }
  controllers_.Reg_Set_Flag(typed, set ? 1 : 0);
  status_->clearMessage();
}

void frmControllers::commitEditor() {
  if (!list_->selectionModel()->hasSelection()) {
    status_->showNote(QStringLiteral("Выберите строку списка"));
    return;
  }
  const std::string typed(Trim(address_->text().toStdString()));
  const auto address = Controllers::ParseAddress(typed);
  if (!address) {
    status_->showError(QStringLiteral("Нет контроллера с адресом \"%1\": адрес от 00 до FF").arg(QString::fromStdString(typed)));
    address_->setFocus();
    address_->selectAll();
    return;
  }
  const EditorValue value = ControllerValueFromText(mode_->currentText().toStdString(), value_->text().toStdString());
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
    if (!value.bits.empty()) controllers_.Reg_Set_Data(typed, value.bits);
    controllers_.SetComment(Controllers::RowOfAddress(*address), comment);
  } catch (const MachineError& e) {
    status_->showError(QString::fromStdString(e.what()));
    return;
  }
  status_->clearMessage();
}

}  // namespace vesk
