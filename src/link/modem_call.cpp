#include "link/modem_call.h"

#include <QEventLoop>

#include <algorithm>

#include "link/installer_code.h"
#include "link/link_texts.h"
#include "link/messenger.h"
#include "link/module_link.h"
#include "params/win1250.h"

namespace corvanta {

namespace {

const char* const kNeedCode = "Tárcsázás előtt adja meg a hívandó Corvanta modul TELEPÍTŐI AZONOSÍTÓJÁT.";
const char* const kNeedNumber = "Tárcsázás előtt adja meg a hívandó Corvanta modul TELEFONSZÁMÁT.";
// Not one of the module's own texts: a number that holds more than a dial
// string may (a CR would end "ATD" early and start a second command).
const char* const kBadNumber =
    "A telefonszám csak számjegyeket és tárcsázási jeleket tartalmazhat: * # + , ; ! @ / . ( ) - szóköz, "
    "valamint A B C D P T W.";

// What a Hayes dial string may hold: digits, the DTMF letters, the dial
// modifiers and the separators people type in numbers.
bool isDialCharacter(QChar c) {
    static const QString kAllowed = QStringLiteral("0123456789*#+,;!@/.()- ABCDPTWabcdptw");
    return kAllowed.contains(c);
}
const char* const kDialling = "Tárcsázás...";
const char* const kNoCall = "Nincs kapcsolat!";
const char* const kHangingUp = "Vonal bontás...";
const char* const kHungUp = " Vonal bontva.";
// Not one of the module's own texts: eleven unanswered "ATH" do not make a
// cleared line, and the installer must not be told they do.
const char* const kHangUpUnconfirmed = " A modem nem igazolta a vonal bontását!";

QString utf8(const char* text) { return QString::fromUtf8(text); }

}  // namespace

struct ModemCall::Wait {
    QEventLoop loop;
    std::function<bool()> done;
};

ModemCall::ModemCall(ModuleLink& link, QObject* parent)
    : ModemCall(link, std::make_unique<TimerTickSource>(kDelayTickMs, TimerTickSource::LateTicks::Counted), parent) {}

ModemCall::ModemCall(ModuleLink& link, std::unique_ptr<TickSource> delayTicks, QObject* parent)
    : QObject(parent), link_(link), delayTicks_(std::move(delayTicks)) {
    connect(delayTicks_.get(), &TickSource::tick, this, &ModemCall::onDelayTick);
    // Every received line is logged just before it is dispatched; queued,
    // the check comes once the dispatcher has raised its flag.
    connect(&link_, &ModuleLink::trafficLogged, this, &ModemCall::checkWaits, Qt::QueuedConnection);
    // A call does not outlive its serial line.
    connect(&link_, &ModuleLink::linkStateChanged, this, [this] {
        if (link_.transport() && link_.transport()->isOpen()) return;
        setCallActive(false);
        setModemHeard(false);
    });
    connect(&link_, &ModuleLink::modemResultReceived, this, [this](const QString& line) {
        setModemHeard(true);
        // The far end hung up, or the line dropped.
        if (line == QLatin1String("NO CARRIER")) setCallActive(false);
    });
    // The delay ticks run only while a wait counts them.
}

ModemCall::~ModemCall() {
    for (Wait* wait : waits_) wait->loop.quit();
}

void ModemCall::onDelayTick() {
    if (delayCountdown_ > 0) --delayCountdown_;
    checkWaits();
}

void ModemCall::checkWaits() {
    // Outer waits are looked at too: a hang-up inside a dial's wait ends the
    // dial, which then returns as soon as the hang-up's own wait is over.
    for (Wait* wait : waits_) {
        if (delayCountdown_ <= 0 || wait->done()) wait->loop.quit();
    }
}

void ModemCall::waitDelay(int ticks, const std::function<bool()>& done) {
    delayCountdown_ = ticks;
    if (delayCountdown_ <= 0 || done()) return;
    Wait wait;
    wait.done = done;
    // An inner wait keeps the outer one's ticks going.
    if (waits_.empty()) delayTicks_->start();
    waits_.push_back(&wait);
    wait.loop.exec();
    std::erase(waits_, &wait);
    if (waits_.empty()) delayTicks_->stop();
}

void ModemCall::cancelWaits() {
    waitCancelled_ = true;
    checkWaits();
}

bool ModemCall::sendAndAwaitOk(const char* command, int ticks, bool cancellable) {
    ReplyFlags& f = link_.flags();
    f.okReceived = false;
    link_.sendLoggedCommand(command);
    waitDelay(ticks, [this, &f, cancellable] { return f.okReceived || (cancellable && waitCancelled_); });
    if (f.okReceived) setModemHeard(true);
    return f.okReceived;
}

bool ModemCall::dial(const QString& phoneNumber) {
    waitCancelled_ = false;
    Messenger* messenger = link_.messenger();
    if (installerCodeDigits(link_.installerCode().toStdString()).empty()) {
        if (messenger) messenger->showMessage(utf8(kNeedCode));
        return false;
    }
    if (phoneNumber.isEmpty()) {
        if (messenger) messenger->showMessage(utf8(kNeedNumber));
        return false;
    }
    if (!std::all_of(phoneNumber.begin(), phoneNumber.end(), isDialCharacter)) {
        if (messenger) messenger->showMessage(utf8(kBadNumber));
        return false;
    }
    emit dialRunning(true);
    // Put back as found afterwards: a dial pressed while another window holds
    // a conversation must not switch the periodic login on in its middle.
    const bool codeTimerWas = link_.codeTimerEnabled();
    link_.setCodeTimerEnabled(false);
    ReplyFlags& f = link_.flags();
    bool connected = false;
    if (!link_.linkConnected()) {
        if (messenger) messenger->showMessage(utf8(texts::kNoLink));
        link_.setStatusLine(utf8(kNoCall));
    } else if (ModuleLink::Conversation conversation(link_); conversation) {
        // Held for the whole call set-up, so no transfer starts in between;
        // a hang-up still may.
        link_.setStatusLine(utf8(kDialling));
        // The first "OK" only shows that a modem listens; the dial goes out
        // after a second one, so a modem that was still busy has settled.
        bool ok = false;
        for (int attempt = 0; attempt < kAtAttempts && !ok && !waitCancelled_; ++attempt) {
            ok = sendAndAwaitOk("AT", kAtAnswerTicks, true);
        }
        ok = sendAndAwaitOk("AT", kAtAnswerTicks, true);
        if (ok && !waitCancelled_) {
            const std::string number = toWin1250(phoneNumber.toStdString());
            link_.sendRaw(QByteArray("ATD") + QByteArray(number.data(), qsizetype(number.size())) + '\r');
        }
        f.remoteConnected = false;
        waitDelay(kConnectTicks, [this, &f] { return f.remoteConnected || waitCancelled_; });
        connected = f.remoteConnected;
        setCallActive(connected);
        if (!connected) link_.setStatusLine(utf8(kNoCall));
    }
    emit dialRunning(false);
    // A call that came up wants the periodic login, as "CONNECT" asks.
    link_.setCodeTimerEnabled(codeTimerWas || connected);
    return connected;
}

void ModemCall::setCallActive(bool active) {
    if (active) setModemHeard(true);
    const bool changed = active != callActive_;
    callActive_ = active;
    tellLink();
    if (changed) emit callActiveChanged(active);
}

void ModemCall::setModemHeard(bool heard) {
    const bool changed = heard != modemHeard_;
    modemHeard_ = heard;
    tellLink();
    if (changed) emit modemLineChanged(heard);
}

void ModemCall::tellLink() { link_.setModemIdle(modemHeard_ && !callActive_); }

void ModemCall::lineReplaced() {
    setCallActive(false);
    setModemHeard(false);
}

bool ModemCall::hangUp() {
    emit hangUpRunning(true);
    waitCancelled_ = true;
    checkWaits();
    const bool codeTimerWas = link_.codeTimerEnabled();
    link_.setCodeTimerEnabled(false);
    bool confirmed = false;
    if (link_.linkConnected()) {
        link_.setStatusLine(utf8(kHangingUp));
        bool ok = false;
        for (int attempt = 0; attempt < kHangUpAttempts && !ok; ++attempt) {
            ok = sendAndAwaitOk("ATH", kHangUpAnswerTicks, false);
        }
        if (!ok) {
            // Still online: back to command mode with "+++" between two
            // guard times of silence, then try again.
            waitDelay(kGuardTicks, [] { return false; });
            link_.sendRaw("+++");
            waitDelay(kGuardTicks, [] { return false; });
            for (int attempt = 0; attempt < kEscapedAttempts && !ok; ++attempt) {
                ok = sendAndAwaitOk("ATH", kEscapedAnswerTicks, false);
            }
        }
        const bool lastOk = sendAndAwaitOk("ATH", kLastHangUpTicks, false);
        confirmed = ok || lastOk;
        if (confirmed) setCallActive(false);
        link_.setStatusLine(utf8(confirmed ? kHungUp : kHangUpUnconfirmed));
    }
    emit hangUpRunning(false);
    link_.setCodeTimerEnabled(codeTimerWas);
    return confirmed;
}

}  // namespace corvanta
