#include "widgets/file_result_box.h"

#include <QStringList>

#include "widgets/dialogs.h"

namespace vesk {

namespace {

constexpr int kWarningsShown = 12;

}  // namespace

void ShowFileResult(Dialogs& dialogs, QWidget* parent, const QString& title, const QString& failedText,
                    const FileResult& result) {
  if (!result.ok) {
    dialogs.tell(parent, title, failedText + "\n" + QString::fromStdString(result.error), Dialogs::Icon::Warning);
    return;
  }
  if (result.warnings.empty()) return;
  QStringList lines;
  for (std::size_t i = 0; i < result.warnings.size() && i < kWarningsShown; ++i)
    lines << QString::fromStdString(result.warnings[i]);
  if (result.warnings.size() > kWarningsShown)
    lines << QStringLiteral("... и ещё %1").arg(result.warnings.size() - kWarningsShown);
  dialogs.tell(parent, title, QStringLiteral("Файл прочитан с замечаниями:\n") + lines.join('\n'),
               Dialogs::Icon::Information);
}

}  // namespace vesk
