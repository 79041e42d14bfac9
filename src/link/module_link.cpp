#include "link/module_link.h"

#include <QEventLoop>
#include <QMetaMethod>

#include <cstdio>

#include "link/link_texts.h"
#include "link/messenger.h"
#include "link/version_block.h"
#include "params/win1250.h"

namespace corvanta {

namespace {

QString utf8(const char* text) { return QString::fromUtf8(text); }

QByteArray bytesOf(const std::string& s) { return QByteArray(s.data(), qsizetype(s.size())); }

}  // namespace

ModuleLink::ModuleLink(QObject* parent)
    : ModuleLink(std::make_unique<TimerTickSource>(kTransferTickMs, TimerTickSource::LateTicks::Counted),
                 std::make_unique<TimerTickSource>(kCodeTimerMs), parent) {}

ModuleLink::ModuleLink(std::unique_ptr<TickSource> transferTicks,
                       std::unique_ptr<TickSource> codeTicks, QObject* parent)
    : QObject(parent), transferTicks_(std::move(transferTicks)), codeTicks_(std::move(codeTicks)) {
    init();
}

ModuleLink::~ModuleLink() {
    // The socket may report its close while it is torn down; nobody listens.
    QObject::disconnect(tcp_.get(), nullptr, this, nullptr);
}

void ModuleLink::init() {
    tcp_ = std::make_unique<TcpLink>([this] { return tcpPassword_; });
    connect(tcp_.get(), &TcpLink::payloadReceived, this, &ModuleLink::feedReceived);
    connect(tcp_.get(), &TcpLink::statusChanged, this, &ModuleLink::setStatusLine);
    connect(tcp_.get(), &TcpLink::disconnectWarning, this, [this](const QString& m) { message(m); });
    connect(tcp_.get(), &TcpLink::activeChanged, this,
            [this](bool) { emit linkStateChanged(linkConnected()); });

    auto& r = dispatcher_.receivers;
    r.statusLine = [this](const std::string& t) { setStatusLine(QString::fromStdString(t)); };
    r.statusFrame = [this](const std::string& l) { emit statusFrameReceived(bytesOf(l)); };
    r.eventFrame = [this](const std::string& l) { emit eventFrameReceived(bytesOf(l)); };
    r.statusMessage = [this](const std::string& l) { emit statusMessageReceived(bytesOf(l)); };
    r.radioFrame = [this](const std::string& l) { emit radioFrameReceived(bytesOf(l)); };
    r.remoteConnected = [this] { setCodeTimerEnabled(true); };
    r.codeAnswer = [this](bool accepted) {
        loginUnanswered_ = false;
        setLastLogin(accepted ? LoginAnswer::Accepted : LoginAnswer::Refused);
    };
    // A line just opened, or gone, has answered nothing yet.
    connect(this, &ModuleLink::linkStateChanged, this, [this] {
        loginUnanswered_ = false;
        setLastLogin(LoginAnswer::None);
    });
    r.modemResult = [this](const std::string& l) { emit modemResultReceived(QString::fromStdString(l)); };
    r.afterLine = [this] { checkWait(); };

    connect(transferTicks_.get(), &TickSource::tick, this, &ModuleLink::onTransferTick);
    connect(codeTicks_.get(), &TickSource::tick, this, &ModuleLink::onCodeTick);
    // The transfer ticks run only while a wait counts them, so an idle
    // program is not woken ten times a second for nothing.
    codeTicks_->start();
}

// --- lines ----------------------------------------------------------------

void ModuleLink::setTransport(Transport* transport) {
    if (transport_) QObject::disconnect(transport_, nullptr, this, nullptr);
    transport_ = transport;
    if (!transport_) return;
    connect(transport_, &Transport::readyRead, this, &ModuleLink::onTransportReadyRead);
    connect(transport_, &Transport::failed, this, [this](const QString& m) {
        // The windows follow first; the message box waits for the user.
        setStatusLine(utf8(texts::kSerialLost));
        emit linkStateChanged(linkConnected());
        message(m, utf8(texts::kErrorCaption));
    });
}

bool ModuleLink::linkConnected() const {
    return tcp_->tcpActive() || (transport_ && transport_->isOpen());
}

void ModuleLink::setStatusLine(const QString& text) {
    statusLine_ = text;
    emit statusLineChanged(text);
}

void ModuleLink::onTransportReadyRead() {
    // The transport may go away while a line is handled (a receiver that
    // waits runs the event loop), so it is looked up for every chunk.
    while (transport_) {
        const qint64 n = transport_->read(readBuffer_.data(), qint64(readBuffer_.size()));
        if (n <= 0) return;
        if (tcp_->tcpActive()) continue;  // the TCP/IP link carries the traffic
        receive(std::string_view(readBuffer_.data(), std::size_t(n)));
    }
}

void ModuleLink::expectReplyLine(qint64 length) {
    // Up to the CR: a line feed after it is the module's habit, not
    // something to wait for.
    if (transport_) transport_->expectReply(tcp_->tcpActive() || length <= 0 ? 0 : length + 1);
}

void ModuleLink::feedReceived(const QByteArray& bytes) {
    receive(std::string_view(bytes.constData(), std::size_t(bytes.size())));
}

// Counted here rather than asked of Qt: these run while Qt holds its own
// lock on the connections, and isSignalConnected() would wait for it for
// ever. A disconnect of everything at once is heard once, so the count may
// stay high; that only costs a conversion nobody reads.
void ModuleLink::connectNotify(const QMetaMethod& signal) {
    if (signal != QMetaMethod::fromSignal(&ModuleLink::trafficLogged)) return;
    if (trafficListeners_++ == 0)
        dispatcher_.receivers.logTraffic = [this](const std::string& t) { emit trafficLogged(QString::fromStdString(t)); };
}

void ModuleLink::disconnectNotify(const QMetaMethod& signal) {
    if (signal != QMetaMethod::fromSignal(&ModuleLink::trafficLogged) || trafficListeners_ == 0) return;
    if (--trafficListeners_ == 0) dispatcher_.receivers.logTraffic = nullptr;
}

// --- sending --------------------------------------------------------------

void ModuleLink::sendRaw(const QByteArray& bytes) {
    if (tcp_->tcpActive())
        tcp_->tcpWrite(bytes);
    else if (transport_ && transport_->isOpen())
        transport_->write(bytes);
}

void ModuleLink::sendCommand(const std::string& line) {
    if (linkConnected()) sendRaw(bytesOf(line) + '\r');
}

void ModuleLink::sendLoggedCommand(const std::string& line) {
    if (!linkConnected()) return;
    sendRaw(bytesOf(line) + '\r');
    emit trafficLogged(QStringLiteral("------> ") + QString::fromStdString(fromWin1250(line)));
}

void ModuleLink::sendHexByte(std::uint8_t byte) {
    char digits[3];
    std::snprintf(digits, sizeof digits, "%02X", unsigned(byte));
    if (linkConnected()) sendRaw(QByteArray(digits, 2));
}

void ModuleLink::sendLineEnd() {
    if (linkConnected()) sendRaw(QByteArray(1, '\r'));
}

void ModuleLink::sendCodedCommand(CodedCommand command) {
    if (!linkConnected()) return;
    if (auto line = codedCommandLine(command, installerCode_.toStdString())) sendCommand(*line);
}

// --- timers and waits -------------------------------------------------------

void ModuleLink::setCodeTimerEnabled(bool on) {
    if (on)
        codeTicks_->start();
    else
        codeTicks_->stop();
}

void ModuleLink::setLastLogin(LoginAnswer answer) {
    if (answer == lastLogin_) return;
    lastLogin_ = answer;
    emit lastLoginChanged(answer);
}

void ModuleLink::onCodeTick() {
    if (!linkConnected()) return;
    // The last one had its 5 s.
    if (loginUnanswered_) setLastLogin(LoginAnswer::Silent);
    loginUnanswered_ = true;
    sendCodedCommand(coded::Login);
}

void ModuleLink::onTransferTick() {
    if (transferCountdown_ > 0) --transferCountdown_;
    checkWait();
}

void ModuleLink::checkWait() {
    if (wait_ && (transferCountdown_ <= 0 || wait_->done())) wait_->loop->quit();
}

bool ModuleLink::waitFor(int ticks, const std::function<bool()>& done) {
    if (wait_) return false;
    lastWaitStopped_ = false;
    transferCountdown_ = ticks;
    if (done()) return true;
    if (transferCountdown_ <= 0) return false;
    QEventLoop loop;
    Wait wait{&loop, done};
    wait_ = &wait;
    transferTicks_->start();  // the first tick a whole period from now
    loop.exec();
    transferTicks_->stop();
    wait_ = nullptr;
    lastWaitStopped_ = wait.stopped;
    return !wait.stopped && done();
}

void ModuleLink::stopWait() {
    if (!wait_) return;
    wait_->stopped = true;
    wait_->loop->quit();
}

void ModuleLink::beforeRequest() {
    if (tcp_->tcpActive())
        tcp_->takeArrived();
    else if (transport_ && transport_->isOpen())
        transport_->takeArrived();
    dispatcher_.answersFromNow();
}

QString ModuleLink::noAnswerText(const char* moduleSilent) const {
    if (tcp_->tcpActive()) return utf8(tcp_->answeredSinceConnect() ? moduleSilent : texts::kTcpPasswordSuspect);
    if (modemIdle_ && linkConnected()) return utf8(texts::kDialFirst);
    return utf8(moduleSilent);
}

void ModuleLink::message(const QString& text, const QString& caption) {
    if (messenger_) messenger_->showMessage(text, caption);
}

ModuleLink::Conversation::Conversation(ModuleLink& link) : link_(link) {
    if (link_.busy()) {
        link_.message(utf8(texts::kBusy));
        return;
    }
    granted_ = true;
    link_.conversationOpen_ = true;
    codeTimerWas_ = link_.codeTimerEnabled();
    link_.setCodeTimerEnabled(false);
}

ModuleLink::Conversation::~Conversation() {
    if (!granted_) return;
    link_.conversationOpen_ = false;
    link_.setCodeTimerEnabled(codeTimerWas_);
}

// --- conversations ------------------------------------------------------------
// Each refuses to start while another wait runs: that can only be a second
// conversation started from an event handled inside the first one's wait, and
// the two would clear and read each other's flags.

bool ModuleLink::installerLogin() {
    if (waiting()) {
        loginMessage_ = utf8(texts::kBusy);
        return false;
    }
    beforeRequest();
    ReplyFlags& f = flags();
    f.pwdOk = false;
    f.pwdError = false;
    sendCodedCommand(coded::Login);
    waitFor(kLoginTicks, [&f] { return f.pwdOk || f.pwdError; });
    if (f.pwdOk) {
        loginMessage_ = utf8(texts::kLoginOk);
        return true;
    }
    loginMessage_ = f.pwdError ? utf8(texts::kWrongCode) : noAnswerText(texts::kLoginNoAnswer);
    // A login the user stopped says nothing of the module.
    if (!f.pwdError && !lastWaitStopped_ && linkConnected()) setLastLogin(LoginAnswer::Silent);
    return false;
}

bool ModuleLink::readBlock(std::uint16_t address, bool checkIndex) {
    if (waiting()) return false;
    beforeRequest();
    ReplyFlags& f = flags();
    f.blockReceived = false;
    f.blockRejected = false;
    // Cleared as well, like every flag a wait tests: a "PWDERR" left over from
    // an earlier exchange would otherwise fail this read before it is sent.
    f.pwdError = false;
    expectReplyLine(qint64(kBlockReplyLength));
    sendCommand(readRequestLine(address));
    waitFor(kReadTicks, [&f] { return f.pwdError || f.blockReceived || f.blockRejected; });
    expectReplyLine(0);
    if (lastWaitStopped_)
        blockFailure_ = BlockFailure::Stopped;
    else if (f.blockReceived)
        blockFailure_ = !checkIndex || lastBlock()[kFrameAddressOffset + 1] == (address & 0xFF)
                            ? BlockFailure::None : BlockFailure::WrongBlock;
    else
        blockFailure_ = f.blockRejected ? BlockFailure::Damaged
                        : f.pwdError    ? BlockFailure::WrongCode
                                        : BlockFailure::NoAnswer;
    return blockFailure_ == BlockFailure::None;
}

bool ModuleLink::writeBlock(const BlockFrame& sealedFrame, WriteKind kind) {
    if (waiting()) return false;
    beforeRequest();
    ReplyFlags& f = flags();
    f.writeOk = false;
    f.writeError = false;
    f.blockReceived = false;
    f.blockRejected = false;
    sendCommand(std::string(kWriteCommand));
    // The 540 digits leave in one piece; on the wire and in the TCP/IP
    // pieces this is the same as 270 separate hex bytes.
    if (linkConnected()) sendRaw(bytesOf(frameDigits(sealedFrame)));
    if (kind != WriteKind::Clock) f.writeOk = false;
    sendLineEnd();
    waitFor(kWriteTicks, [&f] { return f.writeOk || f.writeError; });
    blockFailure_ = lastWaitStopped_ ? BlockFailure::Stopped
                    : f.writeError   ? BlockFailure::Refused
                    : f.writeOk      ? BlockFailure::None
                                     : BlockFailure::NoAnswer;
    return blockFailure_ == BlockFailure::None;
}

bool ModuleLink::commitWrite() {
    if (waiting()) return false;
    beforeRequest();
    ReplyFlags& f = flags();
    f.crcOk = false;
    sendCommand(std::string(kCommitCommand));
    const bool ok = waitFor(kCommitTicks, [&f] { return f.crcOk; });
    blockFailure_ = ok ? BlockFailure::None : lastWaitStopped_ ? BlockFailure::Stopped : BlockFailure::NoAnswer;
    return ok;
}

QString ModuleLink::queryModuleVersion() {
    if (!linkConnected()) return utf8(texts::kNoLink);
    // Put back as found: inside a transfer the periodic login must stay off
    // for the block reads that follow.
    const bool codeTimerWas = codeTimerEnabled();
    setCodeTimerEnabled(false);
    setStatusLine(utf8(texts::kVersionRunning));
    moduleVersion_.clear();
    QString result;
    QString line = utf8(texts::kVersionFailed);
    bool ok = installerLogin();
    if (!ok) {
        result = loginMessage_;
    } else if (readBlock(kVersionBlock, false)) {
        const VersionInfo info = parseVersionBlock(lastBlock());
        moduleVersion_ = QString::fromStdString(fromWin1250(info.text));
        line = utf8(texts::kVersionPrefix) + moduleVersion_;
        dataVersion_ = info.dataVersion;
    } else {
        ok = false;
    }
    if (ok) {
        result = line + QStringLiteral("       (DataVer=") + QString::number(dataVersion_) + ')';
        setStatusLine(QString());
    } else {
        setStatusLine(utf8(texts::kVersionFailed));
    }
    setCodeTimerEnabled(codeTimerWas);
    return result;
}

// --- main window operations ---------------------------------------------------

bool ModuleLink::serialConnect() {
    if (!transport_) {
        message(utf8(texts::kChoosePort), utf8(texts::kErrorCaption));
        return false;
    }
    QString error;
    if (!transport_->isOpen()) transport_->open(&error);
    if (transport_->isOpen()) {
        setCodeTimerEnabled(true);
        setStatusLine(utf8(texts::kSerialOk));
        emit linkStateChanged(linkConnected());
        if (const QString note = transport_->openNote(); !note.isEmpty()) message(note);
        return true;
    }
    setStatusLine(utf8(texts::kPortUnavailable));
    if (!error.isEmpty()) message(error, utf8(texts::kErrorCaption));
    return false;
}

void ModuleLink::serialDisconnect() {
    setStatusLine(utf8(texts::kNoLink));
    if (transport_) transport_->close();
    emit linkStateChanged(linkConnected());
}

bool ModuleLink::alarmStop(const std::function<void(bool)>& running) {
    if (!messenger_ || !messenger_->askYesNo(utf8(texts::kAlarmStopQuestion))) return false;
    if (!linkConnected()) {
        message(utf8(texts::kNoLink));
        return false;
    }
    // The periodic login stays off here as in every other conversation:
    // otherwise the "PWDOK" answering it would pass for a confirmed stop.
    Conversation conversation(*this);
    if (!conversation) return false;
    if (running) running(true);
    setStatusLine(utf8(texts::kAlarmStopRunning));
    ReplyFlags& f = flags();
    f.pwdOk = false;
    f.pwdError = false;
    sendCodedCommand(coded::AlarmStop);
    waitFor(kAlarmStopTicks, [&f] { return f.pwdOk || f.pwdError; });
    const bool stopped = f.pwdOk;
    if (f.pwdOk)
        message(utf8(texts::kAlarmStopped));
    else if (f.pwdError)
        message(utf8(texts::kWrongCode));
    else
        message(noAnswerText(texts::kNoAnswer));
    if (running) running(false);
    setStatusLine(QString());
    return stopped;
}

void ModuleLink::askVersion() {
    Conversation conversation(*this);
    if (!conversation) return;
    const QString text = queryModuleVersion();
    if (!text.isEmpty()) message(text);
}

}  // namespace corvanta
