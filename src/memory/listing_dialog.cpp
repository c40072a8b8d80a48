#include "memory/listing_dialog.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "asm/source_file.h"
#include "widgets/dialogs.h"
#include "widgets/table_look.h"

namespace vesk {

ListingDialog::ListingDialog(const QString& title, Dialogs& dialogs, FileFolders* folders, FileFolders::Kind kind,
                             QWidget* parent)
    : QDialog(parent), dialogs_(dialogs), folders_(folders), kind_(kind), text_(new QPlainTextEdit(this)) {
  setWindowTitle(title);
  setObjectName(QStringLiteral("listingDialog"));
  text_->setReadOnly(true);
  text_->setLineWrapMode(QPlainTextEdit::NoWrap);
  text_->setFont(ValueFont());
  auto* buttons = new QDialogButtonBox(this);
  QPushButton* save = buttons->addButton(QStringLiteral("Сохранить..."), QDialogButtonBox::ActionRole);
  save->setObjectName(QStringLiteral("saveListing"));
  buttons->addButton(QStringLiteral("Закрыть"), QDialogButtonBox::RejectRole);
  connect(save, &QPushButton::clicked, this, [this] { Save(); });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(text_);
  layout->addWidget(buttons);
  resize(820, 520);
}

void ListingDialog::setListing(std::string text) {
  listing_ = std::move(text);
  text_->setPlainText(QString::fromStdString(listing_));
}

bool ListingDialog::Save() {
  const QString title = QStringLiteral("Сохранить листинг...");
  QString path = dialogs_.saveFile(this, title, QStringLiteral("Листинг (*.lst);;Текстовые файлы (*.txt);;Все файлы (*.*)"),
                                   StartFolder(folders_, kind_));
  if (path.isEmpty()) return false;
  RememberFolder(folders_, kind_, path);
  if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".lst");
  if (QFileInfo::exists(path) &&
      !dialogs_.askYesNo(this, QStringLiteral("Сохранение листинга..."),
                         QStringLiteral("Такой файл уже существует!") + "\n" + QStringLiteral("Перезаписать?"),
                         Dialogs::Icon::Warning))
    return false;
  const std::string error = SaveSourceFile(path.toStdString(), listing_);
  if (error.empty()) return true;
  dialogs_.tell(this, title, QStringLiteral("Листинг не сохранён.") + "\n" + QString::fromStdString(error),
                Dialogs::Icon::Warning);
  return false;
}

}  // namespace vesk
