// corvanta: the installer's program for the GSM-Corvanta module.
//   corvanta [--demo] [--firmware] [--help] [--version]

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "link/tcp_link.h"
#include "ui/editor/parameter_editor.h"
#include "ui/main/demo_module.h"
#include "ui/main/firmware_window.h"
#include "ui/main/main_window.h"
#include "ui/main/port_chooser.h"
#include "ui/main/program_version.h"
#include "ui/main/start_up.h"
#include "ui/main/text_window.h"
#include "ui/main/traffic_log_window.h"
#include "ui/main/transfer_window.h"
#include "ui/service/clock_window.h"
#include "ui/service/event_list_window.h"
#include "ui/service/radio_window.h"
#include "ui/service/status_window.h"

namespace {

struct ProgramOption {
    const char* name;
    const char* description;
};

// The program's own options, for the parser and the help text alike.
constexpr ProgramOption kOptions[] = {
    {"demo", "Run a simulated module on two pseudo-terminals (direct and through a modem) listed as "
             "ports; its firmware key is used for firmware files."},
    {"firmware", "Show the firmware button."},
    {"report-startup", "Print the time to the main window and the resident memory, then quit (for the "
                       "start-up benchmark)."},
    {"help", "Print this help and quit."},
    {"version", "Print the program version and quit."},
};

// --help and --version answer before the application object is made: that
// one needs a display, and these must work anywhere. Returns the exit status
// when one of them was asked for.
std::optional<int> answerWithoutDisplay(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        if (word == "--") break;
        if (word == "--help" || word == "-h" || word == "-?") {
            std::printf("Usage: corvanta [options]\n%s %s\n\nOptions:\n", corvanta::kApplicationTitle,
                        corvanta::kProgramVersion);
            for (const ProgramOption& o : kOptions)
                std::printf("  --%-16s %s\n", o.name, o.description);
            std::printf("\nThe firmware key for real modules: CORVANTA_FIRMWARE_KEY (16 hex digits) or\n"
                        "the first line of firmware.key beside the settings file.\n");
            return 0;
        }
        if (word == "--version" || word == "-v") {
            std::printf("%s %s\n", corvanta::kApplicationTitle, corvanta::kProgramVersion);
            return 0;
        }
    }
    return std::nullopt;
}

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
    if (auto status = answerWithoutDisplay(argc, argv)) return *status;
    QApplication app(argc, argv);

    QCommandLineParser args;
    args.setApplicationDescription(QString::fromLatin1(corvanta::kApplicationTitle));
    for (const ProgramOption& o : kOptions) {
        if (std::string_view(o.name) != "help" && std::string_view(o.name) != "version")
            args.addOption({QString::fromLatin1(o.name), QString::fromLatin1(o.description)});
    }
    args.process(app);

    corvanta::StartOptions options;
    options.firmware = args.isSet(QStringLiteral("firmware"));
    options.demoFirmwareKey = args.isSet(QStringLiteral("demo"));
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
            const QList<QWidget*> windows{startUp.transferWindow(), startUp.editor(),        startUp.trafficLog(),
                                          startUp.textWindow(),     startUp.firmwareWindow(),
                                          startUp.eventListWindow(), startUp.statusWindow(), startUp.clockWindow(),
                                          startUp.radioWindow(),    startUp.portChooser()};
            for (QWidget* w : windows) {
                w->show();
                app.processEvents();
                w->hide();
            }
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
