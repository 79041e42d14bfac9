#include "link/serial_transport.h"

#include <cerrno>
#include <grp.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "link/serial_lock.h"
#include "link/serial_port_name.h"

namespace corvanta {
namespace {

constexpr qint32 kBaudRate = 19200;

QString groupName(gid_t gid)
{
    const group* g = ::getgrgid(gid);
    return g ? QString::fromLocal8Bit(g->gr_name) : QString();
}

}  // namespace

SerialTransport::SerialTransport(QObject* parent)
    : SerialTransport(std::make_unique<TimerTickSource>(0), parent)
{
}

SerialTransport::SerialTransport(std::unique_ptr<TickSource> replyTimer, QObject* parent)
    : Transport(parent), replyWait_(port_, std::move(replyTimer))
{
    connect(&port_, &QSerialPort::readyRead, this, &Transport::readyRead);
    connect(&port_, &QSerialPort::errorOccurred, this, &SerialTransport::onError);
}

SerialTransport::~SerialTransport() = default;

bool SerialTransport::setPortName(const QString& name, QString* error)
{
    portName_ = QString::fromStdString(normaliseSerialPortName(name.toStdString()));
    if (!port_.isOpen()) return true;
    close();
    return open(error);
}

bool SerialTransport::open(QString* error)
{
    if (port_.isOpen()) return true;
    port_.setPortName(portName_);
    port_.setBaudRate(kBaudRate);
    port_.setDataBits(QSerialPort::Data8);
    port_.setParity(QSerialPort::NoParity);
    port_.setStopBits(QSerialPort::OneStop);
    port_.setFlowControl(QSerialPort::NoFlowControl);
    openNote_.clear();
    bool opened = port_.open(QIODevice::ReadWrite);
    if (!opened && port_.error() == QSerialPort::PermissionError) {
        // A lock left by a program that died while it opened the port is
        // honoured by the serial layer for half a minute; its owner is gone,
        // so the port is taken now and the user told.
        const QString systemLocation = portName_.startsWith(u'/') ? portName_ : QStringLiteral("/dev/") + portName_;
        const QString lock = serialLockPath(systemLocation);
        if (!lock.isEmpty() && removeStaleSerialLock(lock)) {
            opened = port_.open(QIODevice::ReadWrite);
            if (opened)
                openNote_ = QString::fromUtf8("A(z) %1 portot egy már nem futó program zárolta (%2): a zárolás "
                                              "feloldva, a port megnyitva.")
                                .arg(portName_, lock);
        }
    }
    if (!opened) {
        if (error) *error = openErrorText();
        return false;
    }
    port_.setDataTerminalReady(true);
    port_.setRequestToSend(true);
    // What the line kept from before the open answers nothing this session
    // asked; a stale "PWDOK" would pass for the answer to the next login or
    // alarm stop.
    port_.clear(QSerialPort::Input);
    replyWait_.portOpened();
    return true;
}

void SerialTransport::close()
{
    if (!port_.isOpen()) return;
    replyWait_.portClosing();
    port_.close();
}

QByteArray SerialTransport::readAll()
{
    QByteArray bytes = port_.readAll();
    replyWait_.took(bytes.size());
    return bytes;
}

qint64 SerialTransport::read(char* data, qint64 maxSize)
{
    const qint64 n = qMax<qint64>(0, port_.read(data, maxSize));
    replyWait_.took(n);
    return n;
}

void SerialTransport::takeArrived()
{
    if (!port_.isOpen()) return;
    // Asked of the device first: with nothing waiting, the serial layer
    // would report a time-out as an error of the line.
    int waiting = 0;
    if (::ioctl(int(port_.handle()), FIONREAD, &waiting) == 0 && waiting > 0)
        port_.waitForReadyRead(0);
    else if (port_.bytesAvailable() > 0)
        emit readyRead();
}

bool SerialTransport::write(const QByteArray& bytes)
{
    return port_.isOpen() && port_.write(bytes) == bytes.size();
}

// The serial layer's own error is vague (a held lock and a missing group
// membership are both a "permission error"), so the device itself is asked
// what is wrong before the user is told.
QString SerialTransport::openErrorText() const
{
    // Short names live under /dev, as the serial layer itself reads them.
    const QString path = portName_.startsWith(u'/') ? portName_ : QStringLiteral("/dev/") + portName_;
    const std::string port = portName_.toStdString();
    struct stat st {};
    SerialOpenProblem problem = SerialOpenProblem::Other;
    QString group;
    int code = 0;
    if (::stat(path.toLocal8Bit().constData(), &st) != 0) {
        code = errno;
        if (code == ENOENT || code == ENOTDIR) problem = SerialOpenProblem::NoSuchDevice;
    } else if (::access(path.toLocal8Bit().constData(), R_OK | W_OK) != 0) {
        code = errno;
        if (code == EACCES) {
            problem = SerialOpenProblem::PermissionDenied;
            // Joining the owning group only helps when the group may use it.
            if ((st.st_mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP))
                group = groupName(st.st_gid);
        }
    } else if (port_.error() == QSerialPort::PermissionError) {
        problem = SerialOpenProblem::Busy;
    }
    return QString::fromStdString(serialOpenErrorText(problem, port, group.toStdString(),
                                                      port_.errorString().toStdString(), code));
}

void SerialTransport::onError(QSerialPort::SerialPortError error)
{
    // Only a line that dies while open is reported here; open() reports its
    // own failures, and time-outs of reads are not errors for this line. A
    // pulled adapter reports a resource error, a vanished peer (a closed
    // pseudo-terminal) a read error on every later read: neither line comes
    // back by itself.
    const bool dead = error == QSerialPort::ResourceError || error == QSerialPort::ReadError;
    if (!dead || !port_.isOpen()) return;
    const QString reason = port_.errorString();
    close();
    emit failed(QString::fromUtf8("A soros kapcsolat megszakadt (%1: %2). Ellenőrizze a kábelt vagy az USB "
                                  "átalakítót, majd kapcsolódjon újra.")
                    .arg(portName_, reason));
}

}  // namespace corvanta
