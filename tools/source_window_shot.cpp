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
//        breakpoints      the example and the micro-program's text with
//                         breakpoints set from the editors (one disabled),
//                         beside the memory window
//        state-menu       the menu "Vesk" open, with the state commands
//        state-save       the dialog of "Сохранить состояние машины..."
//        state-bad        the box a broken state file gives
#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTimer>
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
#include "debug/breakpoint_markers.h"
#include "memory/frm_mem.h"
#include "memory/frm_micro_mem.h"
#include "memory/frm_micro_program.h"
#include "memory/frm_program.h"
#include "memory/source_editor.h"
#include "memory/source_breakpoints.h"
#include "memory/source_search_bar.h"
#include "widgets/dialogs.h"

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

// The real dialogs, except that "open" picks a prepared file.
class PickingDialogs final : public Dialogs {
 public:
  QString file;
  QString openFile(QWidget*, const QString&, const QString&, const QString&) override { return file; }
  QString saveFile(QWidget* p, const QString& t, const QString& f, const QString& d) override {
    return real_.saveFile(p, t, f, d);
  }
  bool askYesNo(QWidget* p, const QString& t, const QString& x, Icon i) override { return real_.askYesNo(p, t, x, i); }
  void tell(QWidget* p, const QString& t, const QString& x, Icon i) override { real_.tell(p, t, x, i); }

 private:
  QtDialogs real_;
};

// The 0-based line of the first line that starts with `start`, or -1.
int LineStarting(SourceEditor* e, const QString& start) {
  for (int line = 0; line < e->lines(); ++line)
    if (e->text(line).trimmed().startsWith(start)) return line;
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const std::string state = argc > 1 ? argv[1] : "program-step";
  Machine machine;
  PickingDialogs dialogs;
  QTemporaryDir scratch;
  MDIMain main(machine, ProgramDirectory(), &dialogs);
  main.show();
  main.StartUp();
  QApplication::processEvents();
  for (QMdiSubWindow* sub : main.mdiArea()->subWindowList()) sub->showMinimized();
  const std::string examples = std::string(VESK_SOURCE_DIR) + "/examples/";

  frmProgram* program = main.programWindow();
  frmMicroProgram* micro = main.microProgramWindow();
  machine.runControl.SetIntervals(0, 1, 1);
  if (state == "breakpoints") {
    micro->FromMemory();
    micro->Assemble();
    program->OpenFile(QString::fromStdString(examples + "multiply.vasm"));
    program->Assemble();
    SourceEditor* e = program->editor();
    const int loop = LineStarting(e, QStringLiteral("loop:"));
    for (int line : {loop, loop + 2, loop + 5}) program->breakpointMarks()->toggleAtLine(line);
    // One set in the memory window shows in the text too.
    if (const int a = program->breakpointMarks()->addressOfLine(loop + 7); a >= 0)
      main.memoryMarkers()->toggleBreakpoint(a);
    if (const int a = program->breakpointMarks()->addressOfLine(loop + 2); a >= 0)
      machine.breakpoints.SetEnabled(BreakKind::Command, a, false);
    SourceEditor* me = micro->editor();
    micro->breakpointMarks()->toggleAtLine(LineStarting(me, QStringLiteral("03 |")));
    Place(main, main.memoryWindow(), 770, 4, 590, 620);
    Place(main, micro, 4, 330, 760, 300);
    Place(main, program, 4, 4, 760, 320);
    e->ensureLineVisible(loop + 5);
  } else if (state == "state-menu") {
    QTimer::singleShot(300, &main, [&main] {
      if (auto* vesk = main.findChild<QMenu*>("mnuVesk")) main.menuBar()->setActiveAction(vesk->menuAction());
    });
  } else if (state == "state-save") {
    QTimer::singleShot(300, &main, [&main] { main.SaveMachineState(); });
  } else if (state == "state-bad") {
    const QString bad = scratch.filePath("lab.vstate");
    if (QFile f(bad); f.open(QIODevice::WriteOnly))
      f.write("{\"format\": \"vesk-state\", \"version\": 1, \"start\": \"900\"}\n");
    dialogs.file = bad;
    QTimer::singleShot(300, &main, [&main] { main.LoadMachineState(); });
  } else if (state == "program-search") {
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
