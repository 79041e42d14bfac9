#include "service/radio_teaching.h"

#include <QEventLoop>

#include "link/link_texts.h"
#include "link/messenger.h"
#include "link/module_link.h"
#include "link/tick_source.h"
#include "service/radio_frame.h"

namespace corvanta {

namespace {

constexpr const char* kRefused =
    "A rádiós eszközök tanítása és törlése telefonos kapcsolaton keresztül nem engedélyezett, "
    "csak közvetlen soros kapcsolat esetén";
constexpr const char* kTeachQuestion = "Biztosan el szeretné indítani a tanítást?";
constexpr const char* kTeachSlotPrefix = "Tanítás helye: ";
constexpr const char* kDeleteQuestion =
    "A rádiós eszközök törlése után egyesével újra kell tanítania mindegyiket. Törli az eszközöket?";
constexpr const char* kDeleteAgainQuestion = "Biztosan törölni szeretné az összes rádiós eszközt?";

// Pauses around a command: one tick for a teach, two for a delete.
constexpr int kTeachPause = 2;
constexpr int kDeletePause = 3;

}  // namespace

RadioTeaching::RadioTeaching(ModuleLink& link, std::unique_ptr<TickSource> ticks, QObject* parent)
    : QObject(parent), link_(link), ticks_(ticks ? std::move(ticks) : std::make_unique<TimerTickSource>(kTickMs)) {
    ticks_->stop();
    connect(ticks_.get(), &TickSource::tick, this, &RadioTeaching::rfTimerTimer);
}

RadioTeaching::~RadioTeaching() = default;

void RadioTeaching::startPolling() {
    rfPause_ = 0;
    ticks_->start();
}

void RadioTeaching::stopPolling() { ticks_->stop(); }

bool RadioTeaching::polling() const { return ticks_->running(); }

void RadioTeaching::rfTimerTimer() {
    ReplyFlags& f = link_.flags();
    if (f.radioTeachRefused) {
        f.radioTeachRefused = false;
        if (link_.messenger()) link_.messenger()->showMessage(QString::fromUtf8(kRefused));
        emit refused();
        return;
    }
    // Counts down with or without a link, so that a pause always ends.
    if (rfPause_ > 1) --rfPause_;
    if (link_.linkConnected() && rfPause_ == 0) link_.sendCodedCommand(coded::RadioPoll);
}

void RadioTeaching::pause(int ticks) {
    rfPause_ = ticks;
    // Without RFTimer nothing would count the pause down; hold the poll and
    // go on rather than wait for ever.
    if (!ticks_->running()) return;
    QEventLoop loop;
    const auto counted = connect(ticks_.get(), &TickSource::tick, &loop, [this, &loop] {
        if (rfPause_ <= 1 || !ticks_->running()) loop.quit();
    });
    loop.exec();
    disconnect(counted);
}

bool RadioTeaching::confirm(const char* question) {
    Messenger* m = link_.messenger();
    return m && m->askYesNo(QString::fromUtf8(question));
}

bool RadioTeaching::teach(int slot) {
    if (slot < 0 || slot >= kSlots) return false;
    if (!link_.linkConnected()) {
        if (link_.messenger()) link_.messenger()->showMessage(QString::fromUtf8(texts::kNoLink));
        return false;
    }
    // No other exchange with the module runs between the pauses.
    ModuleLink::Conversation conversation(link_);
    // The question names the slot: a press on the wrong one of 36 look-alike
    // buttons would otherwise only show once the device answers there.
    const std::string question = std::string(kTeachQuestion) + "\n" + kTeachSlotPrefix + radioSlotName(slot);
    if (!conversation || !confirm(question.c_str())) return false;
    pause(kTeachPause);
    link_.sendCodedCommand(teachCommand(slot));
    pause(kTeachPause);
    rfPause_ = 0;
    return true;
}

bool RadioTeaching::deleteAll() {
    if (!link_.linkConnected()) {
        if (link_.messenger()) link_.messenger()->showMessage(QString::fromUtf8(texts::kNoLink));
        return false;
    }
    ModuleLink::Conversation conversation(link_);
    if (!conversation || !confirm(kDeleteQuestion) || !confirm(kDeleteAgainQuestion)) return false;
    pause(kDeletePause);
    link_.sendCodedCommand(coded::RadioDeleteAll);
    pause(kDeletePause);
    rfPause_ = 0;
    return true;
}

}  // namespace corvanta
