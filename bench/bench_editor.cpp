// Responsiveness of the source editors with a 5,000-line program (offscreen):
// the time to load it into the editor, to colour all of it, to recolour after
// an edit in the middle, per keystroke typed (with the repaint of the visible
// lines), to search, to assemble it, and to assemble a broken copy and mark its errors.
// Usage: bench_editor [lines] (default 5000)
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/machine.h"
#include "asm/source_text.h"
#include "memory/asm_errors_model.h"
#include "memory/frm_program.h"
#include "memory/source_editor.h"
#include "memory/source_search_bar.h"
#include "support/temp_dir.h"

using namespace vesk;

namespace {

// Commands with label operands and comments, remarks, data; 2 lines in 5
// make a word, so 5,000 lines fill 2,000 cells.
std::string Source(int lines) {
  std::string s;
  for (int i = 0; i < lines; ++i) {
    const int word = i / 5 * 2 + (i % 5 == 1);
    switch (i % 5) {
      case 0: s += "# Блок " + std::to_string(i / 5) + ": сложение и переход\n"; break;
      case 1:
      case 2:
        s += 'w';
        s += HexText(word, 3) + ":  ADD (w" + HexText((word * 37) % 2000, 3) + ")      ; А := А + слово " +
             std::to_string(word) + "\n";
        break;
      case 3: s += "\n"; break;
      default: s += "        # BR w" + HexText(word, 3) + "\n"; break;
    }
  }
  return s;
}

double Ms(const QElapsedTimer& t) { return static_cast<double>(t.nsecsElapsed()) / 1e6; }

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const int lines = argc > 1 ? std::atoi(argv[1]) : 5000;
  vesk::testing::TempDir dir;
  Machine machine;
  frmProgram window(machine.memory, machine.processor, dir / "cfg.ini", nullptr);
  window.resize(1000, 760);
  window.show();
  QApplication::processEvents();
  SourceEditor* e = window.editor();
  const std::string text = Source(lines);

  QElapsedTimer t;
  t.start();
  e->setUtf8Text(text);
  e->repaint();
  std::printf("load %d lines (%zu bytes) and show the first screen: %8.2f ms\n", lines, text.size(), Ms(t));

  t.restart();
  e->SendScintilla(QsciScintilla::SCI_COLOURISE, 0UL, -1L);
  std::printf("colour every line:                                %8.2f ms\n", Ms(t));

  // An edit in the middle: Scintilla restyles from the edited line on; the
  // worst case is the rest of the text, the usual case the visible screen.
  const int middle = lines / 2;
  e->setCursorPosition(middle, 0);
  e->ensureLineVisible(middle);
  e->repaint();
  const long at = e->SendScintilla(QsciScintilla::SCI_POSITIONFROMLINE, static_cast<unsigned long>(middle));
  t.restart();
  e->SendScintilla(QsciScintilla::SCI_INSERTTEXT, static_cast<unsigned long>(at), "; ");
  e->SendScintilla(QsciScintilla::SCI_COLOURISE, static_cast<unsigned long>(at), -1L);
  std::printf("edit in the middle, recolour to the end:          %8.2f ms\n", Ms(t));

  std::vector<double> keys;
  for (int i = 0; i < 200; ++i) {
    t.restart();
    e->SendScintilla(QsciScintilla::SCI_ADDTEXT, 1UL, i % 10 == 9 ? "\n" : "x");
    e->repaint();
    keys.push_back(Ms(t));
  }
  std::sort(keys.begin(), keys.end());
  std::printf("one keystroke with the repaint (200 typed):     median %6.2f ms, slowest %6.2f ms\n",
              keys[keys.size() / 2], keys.back());

  // Search reads the whole text each time: the last match, then round.
  window.searchBar()->findField()->setText(QStringLiteral("СЛОВО 1998"));
  std::vector<double> finds;
  for (int i = 0; i < 50; ++i) {
    t.restart();
    window.searchBar()->findNext();
    finds.push_back(Ms(t));
  }
  std::sort(finds.begin(), finds.end());
  std::printf("search (F3) through the text:                    median %6.2f ms, slowest %6.2f ms\n",
              finds[finds.size() / 2], finds.back());

  e->setUtf8Text(text);
  t.restart();
  const bool written = window.Assemble();
  QApplication::processEvents();
  std::printf("assemble into memory (%s):                         %8.2f ms\n", written ? "ok" : "FAILED", Ms(t));

  std::string broken = text;
  for (std::size_t p = 0; (p = broken.find("ADD (", p)) != std::string::npos; p += 6) broken.replace(p, 5, "ADD ((");
  e->setUtf8Text(broken);
  t.restart();
  window.Assemble();
  QApplication::processEvents();
  std::printf("assemble, list and mark the errors (%d):         %8.2f ms\n", window.errors()->rowCount(), Ms(t));
  return 0;
}
