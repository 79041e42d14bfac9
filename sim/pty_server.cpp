#include "sim/pty_server.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace corvanta::sim {

PtyServer::PtyServer(QObject* parent) : QObject(parent) {}

PtyServer::~PtyServer() {
    readNotifier_.reset();
    writeNotifier_.reset();
    if (!linkPath_.isEmpty()) {
        const QFileInfo link(linkPath_);
        if (link.isSymLink() && link.symLinkTarget() == slavePath_) QFile::remove(linkPath_);
    }
    if (slave_ >= 0) ::close(slave_);
    if (master_ >= 0) ::close(master_);
}

bool PtyServer::open(const QString& linkPath, QString* error) {
    auto fail = [error](const QString& what) {
        if (error) *error = what + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
        return false;
    };
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0) return fail(QStringLiteral("cannot open a pseudo-terminal"));
    if (::grantpt(master_) != 0 || ::unlockpt(master_) != 0) return fail(QStringLiteral("cannot unlock the pseudo-terminal"));
    const char* name = ::ptsname(master_);
    if (!name) return fail(QStringLiteral("pseudo-terminal has no slave name"));
    slavePath_ = QString::fromLocal8Bit(name);
    slave_ = ::open(name, O_RDWR | O_NOCTTY);
    if (slave_ < 0) return fail(QStringLiteral("cannot open ") + slavePath_);
    // Raw bytes both ways: no echo, no CR to LF, no line editing.
    termios tio{};
    if (::tcgetattr(slave_, &tio) == 0) {
        ::cfmakeraw(&tio);
        ::cfsetspeed(&tio, B19200);
        ::tcsetattr(slave_, TCSANOW, &tio);
    }
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);

    if (!linkPath.isEmpty()) {
        const QFileInfo existing(linkPath);
        if (existing.isSymLink()) {
            QFile::remove(linkPath);
        } else if (existing.exists()) {
            if (error) *error = linkPath + QStringLiteral(" exists and is not a symbolic link; not replacing it");
            return false;
        }
        if (::symlink(name, QFile::encodeName(linkPath).constData()) != 0)
            return fail(QStringLiteral("cannot create the link ") + linkPath);
        linkPath_ = linkPath;
    }

    readNotifier_ = std::make_unique<QSocketNotifier>(master_, QSocketNotifier::Read);
    connect(readNotifier_.get(), &QSocketNotifier::activated, this, &PtyServer::readMaster);
    writeNotifier_ = std::make_unique<QSocketNotifier>(master_, QSocketNotifier::Write);
    writeNotifier_->setEnabled(false);
    connect(writeNotifier_.get(), &QSocketNotifier::activated, this, &PtyServer::flush);
    return true;
}

void PtyServer::readMaster() {
    char buffer[4096];
    const ssize_t n = ::read(master_, buffer, sizeof buffer);
    if (n > 0) emit received(QByteArray(buffer, int(n)));
}

void PtyServer::write(const QByteArray& bytes) {
    if (master_ < 0) return;
    outgoing_ += bytes;
    flush();
}

void PtyServer::flush() {
    while (!outgoing_.isEmpty()) {
        const ssize_t n = ::write(master_, outgoing_.constData(), size_t(outgoing_.size()));
        if (n <= 0) break;
        outgoing_.remove(0, n);
    }
    // The slave's queue is full: wait until the program reads.
    writeNotifier_->setEnabled(!outgoing_.isEmpty());
}

}  // namespace corvanta::sim
