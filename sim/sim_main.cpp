// corvanta-sim: the simulated module on a pseudo-terminal and/or TCP.

#include <QCoreApplication>
#include <QDateTime>
#include <QStringDecoder>

#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

#include "sim/pty_server.h"
#include "sim/serial_side.h"
#include "sim/sim_module.h"
#include "sim/sim_options.h"
#include "sim/tcp_server.h"

using namespace corvanta::sim;

namespace {

void printLine(char direction, const QByteArray& line) {
    const QByteArray stamp = QDateTime::currentDateTime().toString(QStringLiteral("HH:mm:ss.zzz")).toLatin1();
    const char* tag = direction == '<' ? "<-- " : direction == '>' ? "--> " : "    ";
    // The module's texts are Windows-1250; the terminal wants UTF-8.
    static QStringDecoder decoder("windows-1250");
    const QByteArray text = decoder.isValid() ? QString(decoder.decode(line)).toUtf8() : line;
    std::fprintf(stderr, "%s %s%s\n", stamp.constData(), tag, text.constData());
}

int signalPipe[2] = {-1, -1};

// Ctrl-C and kill end the event loop normally, so that the pseudo-terminal's
// link is removed; the handler only writes a byte, the loop does the rest.
void quitOnSignals(QCoreApplication& app) {
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0) return;
    auto* notifier = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    for (int sig : {SIGINT, SIGTERM, SIGHUP})
        std::signal(sig, [](int) { [[maybe_unused]] auto n = ::write(signalPipe[0], "q", 1); });
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    quitOnSignals(app);

    SimOptions options;
    QString message;
    switch (parseSimOptions(app.arguments(), options, message)) {
    case ParseResult::Help:
        std::fputs(qPrintable(message), stdout);
        return 0;
    case ParseResult::Error:
        std::fprintf(stderr, "corvanta-sim: %s\n", qPrintable(message));
        return 2;
    case ParseResult::Run:
        break;
    }

    SimModule module(options.module);
    if (options.verbose) QObject::connect(&module, &SimModule::traffic, printLine);

    PtyServer pty;
    std::unique_ptr<SerialSide> serial;
    if (!options.ptyPath.isEmpty()) {
        QString error;
        if (!pty.open(options.ptyPath, &error)) {
            std::fprintf(stderr, "corvanta-sim: %s\n", qPrintable(error));
            return 1;
        }
        serial = std::make_unique<SerialSide>(&module, SerialOptions{options.modemNumber, options.baud, {}});
        QObject::connect(&pty, &PtyServer::received, serial.get(), &SerialSide::fromHost);
        QObject::connect(serial.get(), &SerialSide::toHost, &pty, &PtyServer::write);
        std::printf("%s\n", qPrintable(pty.slavePath()));
        std::fflush(stdout);
    }
    TcpServer tcp(&module, options.password, options.module.faults);
    if (options.tcpPort) {
        QString error;
        if (!tcp.listen(options.listen, *options.tcpPort, &error)) {
            std::fprintf(stderr, "corvanta-sim: %s\n", qPrintable(error));
            return 1;
        }
        if (options.verbose) printLine('#', "listening on TCP port " + QByteArray::number(tcp.port()));
    }
    return app.exec();
}
