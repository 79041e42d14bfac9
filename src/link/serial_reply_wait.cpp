#include "link/serial_reply_wait.h"

#include <sys/ioctl.h>
#include <termios.h>

namespace corvanta {

namespace {

constexpr qint64 kBitsPerByte = 10;  // start, eight data, stop
// The most a tty can be asked to queue before it reports itself readable.
constexpr qint64 kMaxReadMinimum = 255;
// Beyond the wire time of a piece: the module's own pauses and a USB
// adapter's latency timer (16 ms by default).
constexpr int kLateMarginMs = 40;

}  // namespace

SerialReplyWait::SerialReplyWait(QSerialPort& port, std::unique_ptr<TickSource> timer, QObject* parent)
    : QObject(parent), port_(port), timer_(std::move(timer)) {
    connect(timer_.get(), &TickSource::tick, this, &SerialReplyWait::onTimer);
}

void SerialReplyWait::portOpened() {
    termios tio{};
    if (::tcgetattr(int(port_.handle()), &tio) == 0) idleMinimum_ = tio.c_cc[VMIN];
    readMinimum_ = idleMinimum_;
    // A closed port's notifier may linger until it is deleted; the newest
    // one that watches this descriptor is the live one.
    notifier_ = nullptr;
    for (QSocketNotifier* n : port_.findChildren<QSocketNotifier*>(Qt::FindDirectChildrenOnly))
        if (n->type() == QSocketNotifier::Read && n->socket() == port_.handle()) notifier_ = n;
}

void SerialReplyWait::expect(qint64 bytes) {
#ifdef Q_OS_LINUX
    expected_ = port_.isOpen() ? qMax<qint64>(0, bytes) : 0;
#else
    Q_UNUSED(bytes);
#endif
    started_ = false;
    awaitRest();
}

void SerialReplyWait::took(qint64 bytes) {
    if (expected_ == 0) return;
    if (bytes > 0) {
        expected_ = qMax<qint64>(0, expected_ - bytes);
        started_ = true;
        awaitRest();
    } else if (phase_ == Phase::OnWire) {
        // Every read from the port turns its notifier back on.
        watch(false);
    }
}

void SerialReplyWait::awaitRest() {
    // What the serial layer already holds was counted in by the last wake-up.
    const qint64 due = qMin(expected_ - port_.bytesAvailable(), kMaxReadMinimum);
    // Before the reply begins there is nothing to time it by. While the read
    // minimum is above 64 bytes a read hands out only 64 of what is queued,
    // so what is still queued is fetched first.
    if (due <= 0 || !started_ || queuedBytes() > 0) {
        timer_->stop();
        phase_ = Phase::Watching;
        watch(true);
        setReadMinimum(idleMinimum_);
        return;
    }
    // With no time limit (VTIME 0) a Linux tty reports itself readable to
    // poll() only once VMIN bytes are queued.
    setReadMinimum(int(due));
    phase_ = Phase::OnWire;
    watch(false);
    timer_->setInterval(wireMs(due));
    timer_->start();
}

void SerialReplyWait::onTimer() {
    timer_->stop();
    if (phase_ == Phase::OnWire) {
        phase_ = Phase::Late;
        watch(true);
        timer_->setInterval(kLateMarginMs);
        timer_->start();
        return;
    }
    // The piece came short (an error line instead of a block, or a module
    // that stopped): what arrived is taken as it is, and the next bytes
    // taken time the rest again.
    phase_ = Phase::Watching;
    setReadMinimum(idleMinimum_);
}

int SerialReplyWait::wireMs(qint64 bytes) const {
    const qint64 baud = qMax<qint64>(1, port_.baudRate());
    return int((bytes * kBitsPerByte * 1000 + baud - 1) / baud);
}

void SerialReplyWait::watch(bool on) {
    if (notifier_) notifier_->setEnabled(on);
}

int SerialReplyWait::queuedBytes() const {
    int n = 0;
    return ::ioctl(int(port_.handle()), FIONREAD, &n) == 0 ? n : 0;
}

void SerialReplyWait::setReadMinimum(int bytes) {
    if (bytes == readMinimum_ || !port_.isOpen()) return;
    termios tio{};
    const int fd = int(port_.handle());
    if (::tcgetattr(fd, &tio) != 0) return;
    tio.c_cc[VMIN] = cc_t(bytes);
    if (::tcsetattr(fd, TCSANOW, &tio) == 0) readMinimum_ = bytes;
}

}  // namespace corvanta
