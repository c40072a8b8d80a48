#include "widgets/editing_row.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "widgets/comment_check.h"
#include "widgets/table_look.h"
#include "format/number_text.h"
#include "util/machine_error.h"

namespace vesk {

EditingRow::EditingRow(const Options& options, QWidget* parent) : QWidget(parent) {
  const QFontMetrics values(ValueFont());
  address_ = new EditorLineEdit(options.initialAddress, this);
  address_->setObjectName(QStringLiteral("address"));
  address_->setPlaceholderText(QStringLiteral("Адрес"));
  address_->setToolTip(options.addressTip);
  address_->setFont(ValueFont());
  address_->setMaxLength(8);
  address_->setFixedWidth(values.horizontalAdvance(QStringLiteral("00000")) + 16);

  if (options.flagBox) flag_ = new QCheckBox(QStringLiteral("Флаг"), this);

  value_ = new EditorLineEdit(this);
  value_->setObjectName(QStringLiteral("value"));
  value_->setPlaceholderText(QStringLiteral("Значение"));
  value_->setFont(ValueFont());
  const int valueWidth = values.horizontalAdvance(options.valueSample) + 16;
  if (options.fixedValueWidth)
    value_->setFixedWidth(valueWidth);
  else
    value_->setMinimumWidth(valueWidth);

  mode_ = new QComboBox(this);
  mode_->setEditable(false);
  mode_->addItems(options.modes);
  mode_->setCurrentIndex(0);

  comment_ = new EditorLineEdit(this);
  comment_->setObjectName(QStringLiteral("comment"));
  comment_->setPlaceholderText(QStringLiteral("Комментарий"));

  if (options.nextRowBox) nextRow_ = new QCheckBox(QStringLiteral("Переходить на след. строку"), this);

  auto* row = new QHBoxLayout;
  row->setSpacing(4);
  row->addWidget(address_);
  if (flag_ != nullptr) row->addWidget(flag_);
  row->addWidget(value_, options.fixedValueWidth ? 0 : 2);
  row->addWidget(mode_);
  row->addWidget(comment_, 3);
  if (nextRow_ != nullptr) row->addWidget(nextRow_);
  status_ = new EditorStatus(this);
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->setSpacing(2);
  outer->addLayout(row);
  outer->addWidget(status_);

  connect(value_, &QLineEdit::returnPressed, this, &EditingRow::committed);
  connect(comment_, &QLineEdit::returnPressed, this, &EditingRow::committed);
}

void EditingRow::load(const QString& address, const std::optional<QString>& value, const QString& comment) {
  address_->setText(address);
  if (value) value_->setText(*value);
  value_->selectAll();
  comment_->setText(comment);
  comment_->selectAll();
  status_->clearMessage();
}

std::optional<EditingRow::Input> EditingRow::read(bool rowSelected, const ParseAddress& parse,
                                                  const QString& addressProblem, const ValueRule& rule) {
  if (!rowSelected) {
    status_->showNote(QStringLiteral("Выберите строку списка"));
    return std::nullopt;
  }
  Input in;
  in.address = std::string(Trim(address_->text().toStdString()));
  const auto row = parse(in.address);
  if (!row) {
    status_->showError(addressProblem.arg(QString::fromStdString(in.address)));
    address_->setFocus();
    address_->selectAll();
    return std::nullopt;
  }
  in.row = *row;
  in.value = rule(mode(), value_->text().toStdString());
  if (!in.value.ok) {
    status_->showError(QString::fromStdString(in.value.error));
    value_->setFocus();
    value_->selectAll();
    return std::nullopt;
  }
  in.comment = comment_->text().toStdString();
  if (const std::string problem = CommentProblem(in.comment); !problem.empty()) {
    status_->showError(QString::fromStdString(problem));
    comment_->setFocus();
    return std::nullopt;
  }
  return in;
}

bool EditingRow::write(const std::function<void()>& writes) {
  try {
    writes();
  } catch (const MachineError& e) {
    status_->showError(QString::fromStdString(e.what()));
    return false;
  }
  status_->clearMessage();
  return true;
}

}  // namespace vesk
