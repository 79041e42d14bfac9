#include "service/module_clock.h"

#include "link/link_texts.h"
#include "link/messenger.h"
#include "link/module_link.h"
#include "service/clock_block.h"
#include "service/service_texts.h"

namespace corvanta {

namespace {

constexpr const char* kReading = "Óra lekérdezése...";
constexpr const char* kSetting = "Óra beállítás...";
constexpr const char* kSetDone = "Az óra beállítva.";
constexpr const char* kSetFailed = "Hiba történt órabeállítás közben!";

QString utf8(const char* text) { return QString::fromUtf8(text); }

}  // namespace

ModuleClock::ModuleClock(ModuleLink& link, ClockView& view, LocalTime localTime)
    : link_(link), view_(view), localTime_(std::move(localTime)) {
    if (!localTime_) localTime_ = [] { return QDateTime::currentDateTime(); };
}

void ModuleClock::message(const QString& text) {
    if (link_.messenger()) link_.messenger()->showMessage(text);
}

bool ModuleClock::read() {
    lastRead_.reset();
    if (!link_.linkConnected()) {
        message(utf8(texts::kNoLink));
        return false;
    }
    // Keeps the periodic login off for the exchange and puts it back after.
    ModuleLink::Conversation conversation(link_);
    if (!conversation) return false;
    view_.setStatus(utf8(kReading));
    if (!link_.installerLogin()) {
        message(link_.loginMessage());
    } else if (link_.readBlock(kClockBlock, false)) {
        lastRead_ = clockFromBlock(link_.lastBlock());
        message(QString::fromStdString(clockMessage(*lastRead_)));
        view_.setStatus(QString());
        return true;
    }
    view_.setStatus(utf8(texts::kReadFailed));
    return false;
}

bool ModuleClock::set() {
    if (!link_.linkConnected()) {
        message(utf8(texts::kNoLink));
        return false;
    }
    ModuleLink::Conversation conversation(link_);
    if (!conversation) return false;
    if (!link_.installerLogin()) {
        message(link_.loginMessage());
        view_.setStatus(utf8(kSetFailed));
        return false;
    }
    view_.setStatus(utf8(kSetting));
    const QDateTime now = localTime_();
    const ClockTime time{now.date().year(), now.date().month(), now.date().day(), now.time().hour(),
                         now.time().minute()};
    const bool ok = link_.writeBlock(clockWriteFrame(time), ModuleLink::WriteKind::Clock);
    view_.setStatus(utf8(ok ? kSetDone : kSetFailed));
    return ok;
}

}  // namespace corvanta
