#include "trace/trace_window.h"

#include <QApplication>
#include <QFile>
#include <QScrollBar>
#include <QVBoxLayout>

#include "widgets/dialogs.h"
#include "widgets/file_folders.h"
#include "widgets/file_result_box.h"
#include "widgets/table_look.h"

namespace vesk {

TraceWindow::TraceWindow(Setup setup, std::string settingsFile, Dialogs* dialogs, QWidget* parent)
    : MachineWindow(std::move(settingsFile), setup.layoutName, dialogs, parent), setup_(std::move(setup)) {
  setWindowTitle(setup_.caption);
  model_ = new TraceTableModel(setup_.source, this);
  list_ = new LongListView(this);
  list_->setModel(model_);
  ApplyTableLook(*list_, setup_.columnSamples);
  list_->setSelectionMode(QAbstractItemView::ExtendedSelection);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(list_);

  menu_ = new QMenu(this);
  QAction* clear = menu_->addAction(QStringLiteral("Очистить"));
  clear->setObjectName(setup_.menuPrefix + "_Clear");
  menu_->addSeparator();
  QAction* save = menu_->addAction(QStringLiteral("Сохранить в html"));
  save->setObjectName(setup_.menuPrefix + "_Save2html");
  connect(clear, &QAction::triggered, this, &TraceWindow::ClearLog);
  connect(save, &QAction::triggered, this, [this] { SaveLog(); });
  list_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(list_, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { menu_->exec(list_->viewport()->mapToGlobal(at)); });

  // Follow the newest line only while the user is already looking at the end.
  connect(model_, &QAbstractItemModel::rowsAboutToBeInserted, this, [this] {
    const QScrollBar* bar = list_->verticalScrollBar();
    atBottom_ = bar->value() >= bar->maximum();
  });
  connect(model_, &QAbstractItemModel::rowsInserted, this, [this] {
    if (atBottom_) list_->scrollToBottom();
  });
  // A fast run shows only the newest lines and every line again at its end.
  connect(model_, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
    const QScrollBar* bar = list_->verticalScrollBar();
    atBottom_ = bar->value() >= bar->maximum();
  });
  connect(model_, &QAbstractItemModel::modelReset, this, [this] {
    if (atBottom_) list_->scrollToBottom();
  });
  resize(760, 320);
}

void TraceWindow::ClearLog() { setup_.clear(); }

bool TraceWindow::SaveLog() {
  if (setup_.lineCount() == 0) return false;
  const QString path = dialogs().saveFile(this, setup_.saveTitle, QStringLiteral("html-document (*.html);;Все файлы (*.*)"),
                                          StartFolder(fileFolders(), FileFolders::Kind::TraceExport));
  if (path.isEmpty()) return false;
  RememberFolder(fileFolders(), FileFolders::Kind::TraceExport, path);
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const FileResult result = setup_.save(QFile::encodeName(path).toStdString());
  QApplication::restoreOverrideCursor();
  ShowFileResult(dialogs(), this, setup_.saveTitle, QStringLiteral("Трассировка не сохранена."), result);
  return result.ok;
}

}  // namespace vesk
