#pragma once
// The simulator as its own process, on a pseudo-terminal and a TCP port, and
// the command-line tool run against it.

#include <QByteArray>
#include <QDeadlineTimer>
#include <QProcess>
#include <QStringList>
#include <QTcpServer>
#include <QTemporaryDir>
#include "tests/support/build_paths.h"

namespace corvanta::testing {

inline quint16 freeTcpPort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

class SimProcess {
public:
    static constexpr const char* kPassword = "titok-jelszo";

    explicit SimProcess(const QStringList& extra = {}) : port_(freeTcpPort()) {
        const QStringList args = QStringList{"--pty", dir_.filePath("tty"), "--tcp",
                                             QString::number(port_), "--password", kPassword,
                                             "--verbose"} +
                                 extra;
        process_.start(QString::fromStdString(CORVANTA_SIM), args);
        // Ready once it names its pseudo-terminal and reports the TCP port.
        QByteArray out, err;
        QDeadlineTimer deadline(10000);
        while (!ready_ && !deadline.hasExpired() && process_.state() != QProcess::NotRunning) {
            process_.waitForReadyRead(50);
            out += process_.readAllStandardOutput();
            err += process_.readAllStandardError();
            ready_ = out.contains('\n') && err.contains("listening on TCP port");
        }
    }
    ~SimProcess() {
        process_.terminate();
        if (!process_.waitForFinished(3000)) process_.kill();
        process_.waitForFinished(1000);
    }

    bool ready() const { return ready_; }
    QString ptyPath() const { return dir_.filePath("tty"); }
    quint16 tcpPort() const { return port_; }
    QString file(const QString& name) const { return dir_.filePath(name); }

private:
    QTemporaryDir dir_;
    quint16 port_;
    QProcess process_;
    bool ready_ = false;
};

struct CliResult {
    int exitCode = -1;
    QString output;
};

// Standard output alone in `output`, standard error in `errors`.
struct CliSplitResult : CliResult {
    QString errors;
};

inline CliSplitResult runCliSplit(const QStringList& args, int timeoutMs = 60000) {
    QProcess cli;
    cli.start(QString::fromStdString(CORVANTA_CLI), args);
    cli.waitForFinished(timeoutMs);
    CliSplitResult r;
    r.exitCode = cli.exitStatus() == QProcess::NormalExit ? cli.exitCode() : -1;
    r.output = QString::fromUtf8(cli.readAllStandardOutput());
    r.errors = QString::fromUtf8(cli.readAllStandardError());
    return r;
}

inline CliResult runCli(const QStringList& args, int timeoutMs = 60000,
                        const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
    QProcess cli;
    cli.setProcessEnvironment(env);
    cli.setProcessChannelMode(QProcess::MergedChannels);
    cli.start(QString::fromStdString(CORVANTA_CLI), args);
    cli.waitForFinished(timeoutMs);
    return {cli.exitStatus() == QProcess::NormalExit ? cli.exitCode() : -1,
            QString::fromUtf8(cli.readAll())};
}

}  // namespace corvanta::testing
