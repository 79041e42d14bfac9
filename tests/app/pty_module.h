#pragma once
// The simulated module inside the test process, on a pseudo-terminal that a
// corvanta-cli child opens as its serial port: the test hears every line the
// module receives as it receives it, and can act at a chosen step (kill the
// child, say). runChild() keeps the event loop running meanwhile.

#include <QEventLoop>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>
#include <memory>

#include "sim/pty_server.h"
#include "sim/serial_side.h"
#include "sim/sim_module.h"

namespace corvanta::testing {

class PtyModule {
public:
    explicit PtyModule(sim::ModuleSettings settings = {})
        : module_(std::move(settings)), side_(&module_, sim::SerialOptions{}) {
        QString error;
        ready_ = dir_.isValid() && pty_.open(dir_.filePath("tty"), &error);
        QObject::connect(&pty_, &sim::PtyServer::received, &side_, &sim::SerialSide::fromHost);
        QObject::connect(&side_, &sim::SerialSide::toHost, &pty_, &sim::PtyServer::write);
        QObject::connect(&module_, &sim::SimModule::traffic, [this](char direction, const QByteArray& line) {
            if (direction == '<' && onLine) onLine(line.toStdString());
        });
    }

    bool ready() const { return ready_; }
    QString path() const { return dir_.filePath("tty"); }
    sim::SimModule& module() { return module_; }

    // Every line the module receives, as it receives it.
    std::function<void(const std::string&)> onLine;

private:
    QTemporaryDir dir_;
    sim::SimModule module_;
    sim::PtyServer pty_;
    sim::SerialSide side_;
    bool ready_ = false;
};

// Runs a program to its end with the event loop running (the in-process
// module answers from it); gives up after `limitMs`.
inline void runToEnd(QProcess& process, int limitMs = 60000) {
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&process, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    QTimer::singleShot(limitMs, &loop, &QEventLoop::quit);
    if (process.state() != QProcess::NotRunning) loop.exec();
}

}  // namespace corvanta::testing
