// The program as an installer leaves it for bench/status_bench: every
// window created as at start-up, the serial line chosen in the port chooser
// and connected, the installer code typed, and (unless --idle) the status
// monitor opened by its button. Prints "connected" once the line is open,
// then runs until it is stopped.
//   corvanta-status-bench PORT [--idle]

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSerialPort>
#include <QTimer>

#include <cstdio>

#include "ui/main/main_window.h"
#include "ui/main/port_chooser.h"
#include "ui/main/start_up.h"
#include "ui/main/traffic_log_window.h"
#include "ui/main/transfer_window.h"

using namespace corvanta;

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QStringList args = app.arguments();
  if (args.size() < 2) {
    std::fprintf(stderr, "usage: corvanta-status-bench PORT [--idle]\n");
    return 2;
  }
  const QString port = args[1];
  const bool idle = args.contains(QStringLiteral("--idle"));

  StartUp program{StartOptions{}};
  program.discovery().addExtraPort(port.toStdString(), "corvanta-sim", "bench");
  QObject::connect(&program, &StartUp::mainWindowShown, &app, [&] {
    MainWindow* main = program.mainWindow();
    main->findChild<QLineEdit*>(QStringLiteral("edPWD"))->setText(QStringLiteral("1234"));
    PortChooser* chooser = program.portChooser();
    QTimer::singleShot(0, chooser, [chooser] {
      const QStringList rows = chooser->choices();
      for (int i = 0; i < rows.size(); ++i)
        if (rows[i].contains(QStringLiteral("corvanta-sim"))) chooser->selectRow(i);
      chooser->accept();
    });
    main->buttonSelectSerialClick();
    main->btConnectClick();
    if (!main->serialLine().isOpen()) {
      std::fprintf(stderr, "corvanta-status-bench: %s did not open\n", qPrintable(port));
      QCoreApplication::exit(1);
      return;
    }
    std::printf("connected\n");
    std::fflush(stdout);
    if (!idle)
      QTimer::singleShot(0, main, [main] { main->findChild<QPushButton*>(QStringLiteral("btStatus"))->click(); });
  });
  program.start();
  return app.exec();
}
