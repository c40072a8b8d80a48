// What the two trace windows share: the list over a trace log (filled in
// batches, kept at the newest line while the user looks at the bottom), and
// the context menu "Очистить", separator, "Сохранить в html".
#pragma once

#include <QMenu>
#include <functional>

#include "widgets/long_list_view.h"
#include "widgets/machine_window.h"
#include "trace/trace_table_model.h"
#include "util/file_result.h"

namespace vesk {

class TraceWindow : public MachineWindow {
  Q_OBJECT

 public:
  LongListView* list() { return list_; }
  TraceTableModel* model() { return model_; }
  QMenu* contextMenu() { return menu_; }

 public slots:
  // "Очистить": empties the list; the counter is not touched.
  void ClearLog();
  // "Сохранить в html": nothing for an empty list; otherwise the save dialog,
  // and an existing file is overwritten without asking. True when written.
  bool SaveLog();

 protected:
  struct Setup {
    QString caption;
    std::string layoutName;
    TraceTableModel::Source source;
    QStringList columnSamples;
    QString saveTitle;
    QString menuPrefix;  // "mnuTrace" or "mnuMicroTrace": names of the menu items
    std::function<std::int64_t()> lineCount;
    std::function<void()> clear;
    std::function<FileResult(const std::string& path)> save;
  };
  TraceWindow(Setup setup, std::string settingsFile, Dialogs* dialogs, QWidget* parent);

 private:
  Setup setup_;
  TraceTableModel* model_;
  LongListView* list_;
  QMenu* menu_;
  bool atBottom_ = true;
};

}  // namespace vesk
