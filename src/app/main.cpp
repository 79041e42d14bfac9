// corvanta: the installer's program for the GSM-Corvanta module.
//   corvanta [--demo] [--firmware]

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>

#include <cstdio>
#include <memory>

#include "link/tcp_link.h"
#include "ui/main/demo_module.h"
#include "ui/main/port_chooser.h"
#include "ui/main/traffic_log_window.h"
#include "ui/main/main_window.h"
#include "ui/main/start_up.h"
#include "ui/main/transfer_window.h"

namespace {

// Resident memory of this process in kB, from the kernel's own account.
long residentKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine()) {
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    QElapsedTimer sinceStart;
    sinceStart.start();
    QApplication app(argc, argv);

    QCommandLineParser args;
    args.setApplicationDescription(QStringLiteral("GSM-Corvanta Mirovel"));
    args.addHelpOption();
    args.addOption({QStringLiteral("demo"), QStringLiteral("Run a simulated module on two pseudo-terminals "
                                                           "(direct and through a modem) listed as ports.")});
    args.addOption({QStringLiteral("firmware"), QStringLiteral("Show the firmware button.")});
    args.addOption({QStringLiteral("report-startup"),
                    QStringLiteral("Print the time to the main window and the resident memory, then quit "
                                   "(for the start-up benchmark).")});
    args.process(app);

    corvanta::StartOptions options;
    options.firmware = args.isSet(QStringLiteral("firmware"));
    corvanta::StartUp startUp(std::move(options));

    std::unique_ptr<corvanta::DemoModule> demo;
    if (args.isSet(QStringLiteral("demo"))) {
        demo = std::make_unique<corvanta::DemoModule>();
        QString error;
        if (!demo->start(startUp.discovery(), &error)) {
            std::fprintf(stderr, "corvanta: the simulated module cannot start: %s\n", qPrintable(error));
            return 1;
        }
        // Remote access on the module's own port, when nothing else holds it.
        if (!demo->listenTcp(corvanta::TcpLink::kModulePort, &error))
            std::fprintf(stderr, "corvanta: no simulated TCP/IP access: %s\n", qPrintable(error));
        std::printf("%s", qPrintable(demo->guide()));
        std::fflush(stdout);
    }

    if (args.isSet(QStringLiteral("report-startup"))) {
        QObject::connect(&startUp, &corvanta::StartUp::mainWindowShown, &app, [&] {
            const qint64 shownMs = sinceStart.elapsed();
            // Every window laid out once, as after the installer has opened them.
            startUp.transferWindow()->show();
            startUp.transferWindow()->hide();
            app.processEvents();
            std::printf("main window shown after %lld ms\nresident memory %ld kB\n",
                        static_cast<long long>(shownMs), residentKb());
            std::fflush(stdout);
            QTimer::singleShot(0, &app, &QCoreApplication::quit);
        });
    }

    startUp.start();
    return app.exec();
}
