// Drives the window program into the states worth a picture of the source
// windows, then stays open (for /work/shared/tools/screenshot.sh) or, given
// an output file, saves the main window there and ends.
//
//   source_window_shot STATE [OUT.png]
//
// STATE: program-error    "Программа" with the multiplication example broken
//        program-search   the example with the search row open, a word found
//        program-step     the example assembled, a few commands stepped
//        micro-error      "Микропрограмма (текст)" from micro-memory, broken
//        micro-step       the micro-program's text beside the processor and
//                         micro-memory windows, in the middle of a command
//        processor-step   the same step with the processor window in front:
//                         the current micro-command's text beside РМК
#include <QApplication>
#include <QLineEdit>
#include <QScrollBar>
#include <QTableView>
#include <QMdiSubWindow>
#include <QTest>
#include <cstdio>
#include <string>

#include "app/machine.h"
#include "app/main_toolstrip.h"
#include "app/mdi_main.h"
#include "app/runner.h"
#include "core/frm_processor1.h"
#include "memory/frm_mem.h"
#include "memory/frm_micro_mem.h"
#include "memory/frm_micro_program.h"
#include "memory/frm_program.h"
#include "memory/source_editor.h"
#include "memory/source_search_bar.h"

using namespace vesk;

namespace {

void Place(MDIMain& main, QWidget* child, int x, int y, int w, int h) {
  if (auto* source = qobject_cast<SourceWindow*>(child)) main.ShowSourceWindow(source);
  main.BringUp(child);
  QMdiSubWindow* sub = main.frameOf(child);
  sub->setGeometry(x, y, w, h);
  sub->raise();
}

// Replaces the first occurrence of from by to in the editor's text, keeping
// it modified (as a student's edit would).
void Edit(SourceEditor* e, const std::string& from, const std::string& to) {
  std::string text = e->utf8Text();
  const auto at = text.find(from);
  if (at == std::string::npos) return;
  text.replace(at, from.size(), to);
  e->selectAll();
  e->replaceSelectedText(QString::fromStdString(text));
}

void Steps(MDIMain& main, int count) {
  for (int i = 0; i < count; ++i) {
    main.Step();
    QTest::qWait(300);
  }
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const std::string state = argc > 1 ? argv[1] : "program-step";
  Machine machine;
  MDIMain main(machine, ProgramDirectory());
  main.show();
  main.StartUp();
  QApplication::processEvents();
  for (QMdiSubWindow* sub : main.mdiArea()->subWindowList()) sub->showMinimized();
  const std::string examples = std::string(VESK_SOURCE_DIR) + "/examples/";

  frmProgram* program = main.programWindow();
  frmMicroProgram* micro = main.microProgramWindow();
  machine.runControl.SetIntervals(0, 1, 1);
  if (state == "program-search") {
    Place(main, program, 4, 4, 900, 620);
    program->OpenFile(QString::fromStdString(examples + "multiply.vasm"));
    program->searchBar()->showFind();
    program->searchBar()->findField()->setText(QStringLiteral("сдвиг"));
    program->searchBar()->findNext();
    program->searchBar()->findNext();
  } else if (state == "program-error" || state == "program-step") {
    Place(main, program, 4, 4, state == "program-step" ? 760 : 900, 620);
    program->OpenFile(QString::fromStdString(examples + "multiply.vasm"));
    if (state == "program-error") {
      Edit(program->editor(), "ADD y ", "ADD (y ");
      Edit(program->editor(), "MOV x ", "MOVE x ");
      Edit(program->editor(), "WORD 0123", "WORD 10123");
      program->Assemble();
    } else {
      program->Assemble();
      Place(main, main.memoryWindow(), 770, 4, 590, 620);
      Steps(main, 7);
    }
  } else {
    Place(main, micro, 4, 4, 780, 600);
    micro->FromMemory();
    if (state == "micro-error") {
      Edit(micro->editor(), "БР := СК + 1, READ", "БР := СК + 2, READ");
      Edit(micro->editor(), "IF РК.14 = 1 GOTO L_37", "IF РК.14 = 1 GOTO nowhere");
      micro->Assemble();
    } else {
      micro->Assemble();
      program->OpenFile(QString::fromStdString(examples + "multiply.vasm"));
      program->Assemble();
      Place(main, main.processorWindow(), 560, 4, 800, 600);
      Place(main, main.microMemoryWindow(), 4, 400, 1360, 300);
      // The column "Действие" next to the addresses' words.
      main.microMemoryWindow()->list()->horizontalScrollBar()->setValue(
          main.microMemoryWindow()->list()->horizontalScrollBar()->maximum());
      Place(main, micro, 4, 4, 700, 390);
      // In the full period F8 carries out one micro-command.
      main.SetMode(1);
      machine.runControl.SetIntervals(20, 50, 50);
      Steps(main, 9);
      QTest::qWait(300);
      if (state == "processor-step") Place(main, main.processorWindow(), 4, 4, 1358, 600);
    }
  }
  QApplication::processEvents();
  if (argc > 2) {
    const bool saved = main.grab().save(QString::fromLocal8Bit(argv[2]));
    std::printf("%s %s\n", saved ? "saved" : "cannot save", argv[2]);
    return saved ? 0 : 1;
  }
  return app.exec();
}
