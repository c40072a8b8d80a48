// Dialogs for tests: answers come from queues the test fills, and every
// dialog shown is recorded with its title, text and filter.
#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <vector>

#include "widgets/dialogs.h"

namespace vesk::testing {

struct ShownDialog {
  QString kind;  // "open", "save", "ask", "tell"
  QString title;
  QString text;  // the filter for file dialogs
  Dialogs::Icon icon = Dialogs::Icon::Information;
  QString folder;  // where a file dialog started
};

class ScriptedDialogs final : public Dialogs {
 public:
  std::deque<QString> files;   // "" cancels
  std::deque<bool> answers;    // Yes / No
  std::vector<ShownDialog> shown;

  QString openFile(QWidget*, const QString& title, const QString& filter, const QString& folder) override {
    shown.push_back({"open", title, filter, Dialogs::Icon::Information, folder});
    return next();
  }
  QString saveFile(QWidget*, const QString& title, const QString& filter, const QString& folder) override {
    shown.push_back({"save", title, filter, Dialogs::Icon::Information, folder});
    return next();
  }
  bool askYesNo(QWidget*, const QString& title, const QString& text, Icon icon) override {
    shown.push_back({"ask", title, text, icon, {}});
    if (answers.empty()) return false;
    const bool a = answers.front();
    answers.pop_front();
    return a;
  }
  void tell(QWidget*, const QString& title, const QString& text, Icon icon) override {
    shown.push_back({"tell", title, text, icon, {}});
  }

 private:
  QString next() {
    if (files.empty()) return {};
    QString f = files.front();
    files.pop_front();
    return f;
  }
};

}  // namespace vesk::testing
