#include "link/serial_transport.h"

#include <cerrno>
#include <grp.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include "link/serial_port_name.h"

namespace corvanta {
namespace {

constexpr qint32 kBaudRate = 19200;
constexpr qint64 kBitsPerByte = 10;
// The most a tty can be asked to queue before it reports itself readable.
constexpr qint64 kMaxReadMinimum = 255;
// Beyond the wire time of the awaited bytes: the module's own delay before
// it answers and a USB adapter's latency timer (16 ms by default).
constexpr int kOverdueMarginMs = 40;

int wireMs(qint64 bytes)
{
    return int((bytes * kBitsPerByte * 1000 + kBaudRate - 1) / kBaudRate);
}

QString groupName(gid_t gid)
{
    const group* g = ::getgrgid(gid);
    return g ? QString::fromLocal8Bit(g->gr_name) : QString();
}

}  // namespace

SerialTransport::SerialTransport(QObject* parent)
    : SerialTransport(std::make_unique<TimerTickSource>(kOverdueMarginMs), parent)
{
}

SerialTransport::SerialTransport(std::unique_ptr<TickSource> overdue, QObject* parent)
    : Transport(parent), overdue_(std::move(overdue))
{
    connect(&port_, &QSerialPort::readyRead, this, &Transport::readyRead);
    connect(&port_, &QSerialPort::errorOccurred, this, &SerialTransport::onError);
    connect(overdue_.get(), &TickSource::tick, this, &SerialTransport::onOverdue);
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
    if (!port_.open(QIODevice::ReadWrite)) {
        if (error) *error = openErrorText();
        return false;
    }
    port_.setDataTerminalReady(true);
    port_.setRequestToSend(true);
    // What the line kept from before the open answers nothing this session
    // asked; a stale "PWDOK" would pass for the answer to the next login or
    // alarm stop.
    port_.clear(QSerialPort::Input);
    termios tio {};
    if (::tcgetattr(int(port_.handle()), &tio) == 0) idleMinimum_ = tio.c_cc[VMIN];
    readMinimum_ = idleMinimum_;
    return true;
}

void SerialTransport::close()
{
    expectReply(0);
    if (port_.isOpen()) port_.close();
}

QByteArray SerialTransport::readAll()
{
    QByteArray bytes = port_.readAll();
    took(bytes.size());
    return bytes;
}

qint64 SerialTransport::read(char* data, qint64 maxSize)
{
    const qint64 n = qMax<qint64>(0, port_.read(data, maxSize));
    took(n);
    return n;
}

// With no time limit (VTIME 0), a Linux tty in raw mode reports itself
// readable to poll() only once VMIN bytes are queued: so the program is woken
// once for a piece of the reply rather than for every burst the line brings.
void SerialTransport::expectReply(qint64 bytes)
{
#ifdef Q_OS_LINUX
    expected_ = port_.isOpen() ? qMax<qint64>(0, bytes) : 0;
#else
    Q_UNUSED(bytes);
#endif
    awaitRest();
}

void SerialTransport::took(qint64 bytes)
{
    if (expected_ == 0 || bytes == 0) return;
    expected_ = qMax<qint64>(0, expected_ - bytes);
    awaitRest();
}

void SerialTransport::awaitRest()
{
    // What the serial layer already holds was counted in by the last wake-up.
    const qint64 due = qMin(expected_ - port_.bytesAvailable(), kMaxReadMinimum);
    // While the minimum is above 64 bytes, a read hands out only 64 of what
    // is queued: the rest is fetched at the idle minimum before the line
    // waits again.
    if (due <= 0 || queuedBytes() > 0) {
        overdue_->stop();
        setReadMinimum(idleMinimum_);
        return;
    }
    setReadMinimum(int(due));
    overdue_->setInterval(wireMs(due) + kOverdueMarginMs);
    overdue_->start();
}

// The reply came short of what was expected (an error line instead of a
// block, or a module that stopped): whatever arrived is taken as it is. The
// next bytes taken wait for the rest again.
void SerialTransport::onOverdue()
{
    overdue_->stop();
    setReadMinimum(idleMinimum_);
}

int SerialTransport::queuedBytes() const
{
    int n = 0;
    return ::ioctl(int(port_.handle()), FIONREAD, &n) == 0 ? n : 0;
}

void SerialTransport::setReadMinimum(int bytes)
{
    if (bytes == readMinimum_ || !port_.isOpen()) return;
    termios tio {};
    const int fd = int(port_.handle());
    if (::tcgetattr(fd, &tio) != 0) return;
    tio.c_cc[VMIN] = cc_t(bytes);
    if (::tcsetattr(fd, TCSANOW, &tio) == 0) readMinimum_ = bytes;
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
