// Times opening the parameter editor and building each row page, offscreen.
// Prints one line per figure: median and worst of several runs, in ms.

#include <algorithm>
#include <cstdio>
#include <vector>

#include <QApplication>
#include <QElapsedTimer>
#include <QTabWidget>

#include "params/parameter_codec.h"
#include "ui/editor/editor_page.h"
#include "ui/widgets/panel_array.h"
#include "ui/editor/parameter_editor.h"

using namespace corvanta;

namespace {

struct Figure {
  const char* name;
  std::vector<double> ms;
};

void print(const Figure& f) {
  std::vector<double> v = f.ms;
  std::sort(v.begin(), v.end());
  std::printf("%-34s median %7.2f ms   worst %7.2f ms\n", f.name, v[v.size() / 2], v.back());
}

double msSince(const QElapsedTimer& t) { return t.nsecsElapsed() / 1e6; }

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  constexpr int kRuns = 15;
  ParameterImage image;
  image.fill(0);

  Figure create{"create editor window", {}};
  Figure open{"open (decode + show + telephone)", {}};
  const char* pageNames[] = {"build zones page (12 records)", "build users page (12 records)",
                             "build events page (47 records)", "build relays page (60 records)",
                             nullptr, "build remotes page (12 records)", nullptr};
  std::vector<Figure> pages;
  for (const char* n : pageNames) pages.push_back({n ? n : "", {}});
  Figure confirm{"confirm (store + encode)", {}};
  int rowsBuilt[ParameterEditor::kPageCount] = {};

  for (int run = 0; run < kRuns; ++run) {
    QElapsedTimer t;
    t.start();
    auto* editor = new ParameterEditor;
    create.ms.push_back(msSince(t));
    t.restart();
    editor->present(image);
    QApplication::processEvents();
    open.ms.push_back(msSince(t));
    for (int p = 0; p < ParameterEditor::kPageCount; ++p) {
      if (!editor->page(p)->panelArray()) continue;
      t.restart();
      editor->pageControl()->setCurrentIndex(p);
      pages[p].ms.push_back(msSince(t));
      rowsBuilt[p] = editor->page(p)->panelArray()->builtRowCount();
      QApplication::processEvents();
    }
    t.restart();
    editor->confirm();
    confirm.ms.push_back(msSince(t));
    delete editor;
  }

  std::printf("parameter editor, %d runs, platform %s\n", kRuns, qPrintable(QApplication::platformName()));
  print(create);
  print(open);
  for (int p = 0; p < ParameterEditor::kPageCount; ++p)
    if (!pages[p].ms.empty()) {
      print(pages[p]);
      std::printf("%-34s %d row copies\n", "", rowsBuilt[p]);
    }
  print(confirm);
  double worst = 0;
  for (const Figure& f : pages)
    for (double v : f.ms) worst = std::max(worst, v);
  std::printf("slowest page build %.2f ms: %s the 50 ms target\n", worst, worst <= 50 ? "within" : "OVER");
  return 0;
}
