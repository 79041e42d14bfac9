// corvanta-screenshots: renders the windows offscreen into PNG files, one
// function per window, so that their look can be checked without a screen.
//   corvanta-screenshots [--out DIR] [--demo IMAGE.cd2]

#include <cstdio>
#include <functional>
#include <vector>

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QSpinBox>
#include <QTabWidget>

#include "params/parameter_codec.h"
#include "ui/editor/editor_page.h"
#include "ui/editor/on_off_mode_window.h"
#include "ui/editor/parameter_editor.h"
#include "ui/editor/find_dialog.h"
#include "ui/screenshots/program_screenshots.h"
#include "ui/widgets/check_list.h"
#include "ui/widgets/panel_array.h"
#include "ui/widgets/row_cloning.h"
#include "ui/widgets/row_panel.h"

namespace corvanta {
namespace {

// Values that fill every kind of control, for when no image is given.
ParameterImage demoImage() {
  ParameterImage image{};
  ParameterValues v = decode(image);
  const char* zones[] = {"Bejárat", "Előszoba", "Nappali", "Konyha", "Garázs", "Pince"};
  for (int z = 0; z < 6; ++z) {
    v.zones[z].name = zones[z];
    v.zones[z].inputType = z % 4;
    v.zones[z].partition = z % 3;
    v.zones[z].sensitivity = 5;
    v.zones[z].entryDelay = z == 0 ? 30 : 0;
    v.zones[z].exitDelay = z == 0 ? 45 : 0;
    v.zones[z].nightSetting = z % 4;
    v.zones[z].silent = z == 4;
  }
  v.zones[5].bypass = true;
  const char* users[] = {"Kovács", "Nagyné", "Szabó Éva"};
  for (int u = 0; u < 3; ++u) {
    v.users[u].name = users[u];
    v.users[u].code = u == 2 ? "123456" : "1234";
    for (int i = 0; i < 16; ++i) v.users[u].rights[i] = (i + u) % 3 != 0;
  }
  v.installerCode = "654321";
  for (int e = 0; e < kEventCount; ++e) {
    v.events[e].contactId = e % 2 ? "3 1 0" : "1 3 0";
    v.events[e].routes[e % 9] = true;
    v.events[e].sms = e % 2 ? "$ visszaállt" : "Riasztás: $ (#)";
  }
  for (int n = 0; n < kRelayRowCount; n += 3) v.relayRows[n].triggers[n % 6] = true;
  const char phone[] = "06301234567";
  for (int c = 0; phone[c]; ++c) v.phones[kPhone1][c] = phone[c];
  v.account = {'1', '2', 'A', 'F'};
  v.ackModes = {1, 2, 0, 0};
  v.sirens[0].mode = 0;
  v.sirens[1].mode = 2;
  v.testTime = "07:05";
  v.testPeriod = 7;
  for (int r = 0; r < 4; ++r) v.remotes[r].buttons = {1, 5, 6, r};
  v.doorChime[0] = v.doorChime[8] = true;
  encode(v, image);
  return image;
}

void shootEditor(const QString& dir, ParameterImage& image) {
  ParameterEditor editor;
  editor.present(image);
  for (int i = 0; i < ParameterEditor::kPageCount; ++i) {
    editor.pageControl()->setCurrentIndex(i);
    saveScreenshot(&editor, dir, QStringLiteral("editor_%1_%2").arg(i + 1).arg(editor.page(i)->objectName()));
  }
  // A few edits, and the menu that says what Ctrl+Z takes back.
  editor.pageControl()->setCurrentIndex(0);
  PanelArray* zones = editor.page(0)->panelArray();
  findInRow<QSpinBox>(zones->rowForRecord(2), "edZonaBeKesl")->setValue(45);
  findInRow<QLineEdit>(zones->rowForRecord(6), "edZonaNeve")->setText(QStringLiteral("Padlás"));
  editor.pageControl()->setCurrentIndex(1);
  PanelArray* users = editor.page(1)->panelArray();
  findInRow<CheckList>(users->rowForRecord(1), "cblUserRights")->itemBox(7)->click();
  editor.history().undo();
  QMenu* menu = editor.editMenu();
  menu->popup(editor.mapToGlobal(QPoint(0, 0)));
  QApplication::processEvents();
  saveScreenshot(menu, dir, QStringLiteral("editor_undo_menu"));
  menu->hide();
  saveScreenshot(&editor, dir, QStringLiteral("editor_undo_buttons"));
  // The find box, for text without accents.
  editor.find();
  editor.findDialog()->textField()->setText(QStringLiteral("belepesi"));
  saveScreenshot(editor.findDialog(), dir, QStringLiteral("editor_find"));
  editor.findDialog()->hide();
  editor.discard();
}

void shootModeWindow(const QString& dir, ParameterImage&) {
  OnOffModeWindow window;
  window.present(2);
  window.show();
  saveScreenshot(&window, dir, QStringLiteral("mode_window"));
  window.hide();
}

}  // namespace
}  // namespace corvanta

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QCommandLineParser args;
  args.addHelpOption();
  args.addOption({"out", "Folder for the PNG files.", "dir", "screenshots"});
  args.addOption({"demo", "Parameter image (2048 bytes) to show.", "file"});
  args.process(app);

  using namespace corvanta;
  ParameterImage image = demoImage();
  if (args.isSet("demo")) {
    QFile f(args.value("demo"));
    const QByteArray bytes = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    if (bytes.size() != qsizetype(image.size())) {
      std::fprintf(stderr, "%s: not a %zu-byte parameter image\n", qPrintable(args.value("demo")), image.size());
      return 1;
    }
    std::copy(bytes.begin(), bytes.end(), image.begin());
  }
  const QString dir = args.value("out");
  QDir().mkpath(dir);
  const std::vector<std::function<void(const QString&, ParameterImage&)>> windows{shootEditor, shootModeWindow, shootProgramWindows};
  for (const auto& shoot : windows) shoot(dir, image);
  printLargestScreenshot();
  return 0;
}
