// The editing row under a machine list: address field, optional flag box,
// value field, display-mode selector, comment field, optional "go on to the
// next row" box, and the status line under them. Enter in the value or the
// comment field emits committed(); Escape empties the field it is pressed in.
//
// read() makes the checks every editor makes before it writes, in this order:
// a row of the list is selected, the address names a row, the value is valid
// in the current mode, the comment can be stored. The first problem is shown
// in the status line and nothing is written.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QWidget>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "widgets/editor_input.h"
#include "widgets/editor_line_edit.h"
#include "widgets/editor_status.h"

namespace vesk {

class EditingRow : public QWidget {
  Q_OBJECT

 public:
  struct Options {
    QString initialAddress;
    QString addressTip;  // "Адрес ячейки, 000-7FF"
    QString valueSample;  // the longest value text, sizes the field
    bool fixedValueWidth = false;
    QStringList modes;
    bool flagBox = false;
    bool nextRowBox = false;
  };

  struct Input {
    std::string address;  // as typed, trimmed
    int row = 0;          // what ParseAddress made of it
    EditorValue value;
    std::string comment;
  };

  using ParseAddress = std::function<std::optional<int>(std::string_view)>;
  using ValueRule = std::function<EditorValue(std::string_view mode, std::string_view text)>;

  EditingRow(const Options& options, QWidget* parent);

  EditorLineEdit* addressField() const { return address_; }
  QCheckBox* flagBox() const { return flag_; }  // nullptr without one
  EditorLineEdit* valueField() const { return value_; }
  QComboBox* modeSelector() const { return mode_; }
  EditorLineEdit* commentField() const { return comment_; }
  QCheckBox* nextRowBox() const { return nextRow_; }  // nullptr without one
  EditorStatus* status() const { return status_; }
  std::string mode() const { return mode_->currentText().toStdString(); }

  // Fills the fields from a row, whole texts selected; a value of nothing
  // leaves the value field as it is.
  void load(const QString& address, const std::optional<QString>& value, const QString& comment);

  // addressProblem: the message for an address that names no row, with %1
  // for the typed text.
  std::optional<Input> read(bool rowSelected, const ParseAddress& parse, const QString& addressProblem,
                            const ValueRule& rule);
  // Runs the owner's writes; a MachineError they raise is shown. True when
  // everything was written.
  bool write(const std::function<void()>& writes);

 signals:
  void committed();

 private:
  EditorLineEdit* address_;
  QCheckBox* flag_ = nullptr;
  EditorLineEdit* value_;
  QComboBox* mode_;
  EditorLineEdit* comment_;
  QCheckBox* nextRow_ = nullptr;
  EditorStatus* status_;
};

}  // namespace vesk
