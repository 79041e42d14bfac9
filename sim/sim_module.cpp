#include "sim/sim_module.h"

#include <QElapsedTimer>

#include <algorithm>

#include <cstring>
#include <memory>
#include <utility>

#include "sim/installer_check.h"
#include "sim/status_frames.h"

namespace corvanta::sim {

using namespace layout;

namespace {

constexpr char kLineEnd[] = "\r\n";
constexpr std::size_t kCodedLength = 10;  // word (4) + code (6), or "TRF" + channel + code

// Coded command words and what they ask for.
enum class Coded { Login, StatusPoll, EventPoll, AlarmStop, Disarm1, Disarm2, Arm1, Arm2, RadioPoll, RadioClear };

std::optional<Coded> codedWord(const std::string& word) {
    static const std::pair<const char*, Coded> words[] = {
        {"RPWD", Coded::Login},     {"RPWS", Coded::StatusPoll}, {"RPWE", Coded::EventPoll},
        {"RSTP", Coded::AlarmStop}, {"PT1D", Coded::Disarm1},    {"PT2D", Coded::Disarm2},
        {"PT1A", Coded::Arm1},      {"PT2A", Coded::Arm2},       {"RPWF", Coded::RadioPoll},
        {"DLRF", Coded::RadioClear},
    };
    for (const auto& [w, c] : words)
        if (word == w) return c;
    return std::nullopt;
}

MsClock steadyClock() {
    auto timer = std::make_shared<QElapsedTimer>();
    timer->start();
    return [timer] { return int64_t(timer->elapsed()); };
}

}  // namespace

SimModule::SimModule(ModuleSettings settings, MsClock clock, QObject* parent)
    : QObject(parent),
      settings_(std::move(settings)),
      clock_(clock ? std::move(clock) : steadyClock()),
      memory_(settings_.memory),
      radio_(settings_.radioLearnMs),
      rng_(settings_.seed) {
    clockBase_ = settings_.startTime.isValid() ? settings_.startTime : QDateTime::currentDateTime();
    clockBaseMs_ = now();
    nextDriftMs_ = now() + kDriftMs;
    fillHistory();
    connect(&timer_, &QTimer::timeout, this, &SimModule::service);
    timer_.start(50);
}

QDateTime SimModule::moduleTime() const { return clockBase_.addMSecs(now() - clockBaseMs_); }

bool SimModule::loggedIn() const { return sessionUntil_ && now() < *sessionUntil_; }

Stamp SimModule::stampAt(const QDateTime& t) const {
    const QDate d = t.date();
    const QTime tm = t.time();
    return {d.month(), d.day(), tm.hour(), tm.minute(), tm.second()};
}

uint16_t SimModule::routesOf(uint8_t kind) const {
    if (kind < 1 || kind > kReportEvents) return 0;
    const std::size_t at = kEventRecordBase + kEventRecordSize * (kind - 1u) + kEventRecordRoutes;
    return uint16_t((memory_[at] << 8 | memory_[at + 1]) & 0x1FF);
}

// A few days of an ordinary installation: daily test reports, the family
// arming and disarming, one alarm, one mains failure. All reported.
void SimModule::fillHistory() {
    const QDateTime start = moduleTime();
    for (int daysAgo = 3; daysAgo >= 1; --daysAgo) {
        const QDateTime day = start.addDays(-daysAgo);
        auto at = [&](int h, int m) { return stampAt(QDateTime(day.date(), QTime(h, m))); };
        events_.add(29, 1, at(6, 55), 0x0110);
        events_.add(27, 2, at(7, 40), 0x0110);
        events_.add(31, 0, at(12, 0), 0x0100);
        if (daysAgo == 2) {
            events_.add(5, 3, at(14, 12), 0x0111);
            events_.add(6, 3, at(14, 13), 0x0100);
            events_.add(29, 2, at(14, 20), 0x0110);
            events_.add(27, 2, at(14, 25), 0x0110);
            events_.add(32, 0, at(16, 2), 0x0110);
            events_.add(33, 0, at(16, 48), 0x0100);
        }
        events_.add(29, 1, at(17, 30), 0x0110);
        events_.add(28, 1, at(22, 15), 0x0110);
        events_.add(30, 1, at(23, 59), 0x0110);
    }
    events_.settleReports();
}

void SimModule::record(const std::vector<Happening>& happenings) {
    for (const Happening& h : happenings) {
        events_.add(h.kind, h.subject, stampAt(moduleTime()), routesOf(h.kind));
        if (!h.message.empty()) messages_.push_back(h.message);
        if (!reportDueMs_) reportDueMs_ = now() + kReportMs;
        note("event " + std::to_string(h.kind) + " subject " + std::to_string(h.subject));
    }
}

void SimModule::service() {
    const int64_t t = now();
    if (auto slot = radio_.service(t, 20 + int(rng_() % 40))) note("radio slot " + std::to_string(*slot) + " learnt");
    if (reportDueMs_ && t >= *reportDueMs_) {
        reportDueMs_.reset();
        events_.settleReports();
    }
    while (t >= nextDriftMs_) {
        nextDriftMs_ += kDriftMs;
        record(state_.evolve(rng_, t, memory_));
    }
}

void SimModule::receive(const QByteArray& bytes) {
    for (char c : bytes) {
        if (c == '\n') continue;
        if (c != '\r') {
            // The module's buffer is small: noise without a CR must not grow
            // it without end. Such a line is thrown away at its CR.
            if (rxLine_.size() < kMaxLineLength) rxLine_ += c;
            else overlong_ = true;
            continue;
        }
        std::string line;
        line.swap(rxLine_);
        if (std::exchange(overlong_, false)) {
            note("line longer than " + std::to_string(kMaxLineLength) + " characters thrown away");
            continue;
        }
        if (!line.empty()) handleLine(line);
    }
}

void SimModule::send(const std::string& line) {
    // A line that repeats answers says the last one again first.
    if (!repeatReply_.empty()) {
        const std::string again = std::exchange(repeatReply_, {});
        note("fault: an earlier answer repeated");
        emit traffic('>', QByteArray::fromStdString(again));
        emit transmit(QByteArray::fromStdString(again + kLineEnd));
    }
    emit traffic('>', QByteArray::fromStdString(line));
    emit transmit(QByteArray::fromStdString(line + kLineEnd));
}

void SimModule::note(const std::string& text) { emit traffic('#', QByteArray::fromStdString(text)); }

void SimModule::handleLine(const std::string& line) {
    emit traffic('<', QByteArray::fromStdString(line));
    if (awaitingFrame_) {
        awaitingFrame_ = false;
        if (line.size() == kFrameHexDigits) {
            handleFrameLine(line);
            return;
        }
        // Whatever came instead of the frame line is still a command.
        note("expected a frame line of 540 digits, got " + std::to_string(line.size()) + " characters");
        send("WRFLERR");
    }
    if (line == "WRFL") {
        awaitingFrame_ = true;
        // Comes before the frame's own answer, as a late copy of the last.
        if (!repeatReply_.empty()) send(std::exchange(repeatReply_, {}));
        return;
    }
    if (settings_.faults.pwdErrAlways) {
        send("PWDERR");
        return;
    }
    if (line == "WRACT") return commit();
    if (line.rfind("RDFL", 0) == 0) return handleRead(line);
    if (line.size() == kCodedLength && line.rfind("TRF", 0) == 0) return handleCoded("TRF", line.substr(4), line[3]);
    if (line.size() == kCodedLength && codedWord(line.substr(0, 4))) return handleCoded(line.substr(0, 4), line.substr(4), 0);
    note("not a module command");
}

void SimModule::handleCoded(const std::string& word, const std::string& code, char channel) {
    if (!codeMatches(&memory_[kInstallerCode], code)) {
        sessionUntil_.reset();
        note("wrong installer code");
        send("PWDERR");
        return;
    }
    sessionUntil_ = now() + kSessionMs;
    const uint8_t who = ModuleState::kInstaller;
    const Faults& f = settings_.faults;
    if (word == "TRF") {
        if (remoteCall_) return send("RFTERR");
        if (!radio_.startLearning(channel - '0', now())) note("no radio slot for channel " + std::string(1, channel));
        return;
    }
    switch (*codedWord(word)) {
    case Coded::Login: return send("PWDOK");
    case Coded::AlarmStop:
        state_.stopAlarm();
        events_.stopReports();
        reportDueMs_.reset();
        return send("PWDOK");
    case Coded::StatusPoll:
        send(statusFrame(state_.snapshot(memory_), settings_.statusKind, f.badStatusLength));
        break;
    case Coded::EventPoll: send(eventFrame(events_.newest(kEventFrameEntries))); break;
    case Coded::Disarm1: return record(state_.disarm(0, who));
    case Coded::Disarm2: return record(state_.disarm(1, who));
    case Coded::Arm1: return record(state_.arm(0, who));
    case Coded::Arm2: return record(state_.arm(1, who));
    case Coded::RadioPoll: return send(radioFrame(radio_.frameBytes(), f.badRadioLength));
    case Coded::RadioClear:
        if (remoteCall_) return send("RFTERR");
        radio_.clearAll();
        return;
    }
    // Message lines ride along with the polls, now and then an idle one.
    if (messages_.empty() && rng_() % 40 == 0)
        messages_.push_back("GSM t\xE9rer\xF5: " + std::to_string(state_.gsmLevel()));
    if (!messages_.empty()) {
        send("AT_/" + messages_.front());
        messages_.pop_front();
    }
}

std::optional<Frame> SimModule::readFrame(uint16_t address) const {
    Frame frame{};
    if (address <= kParamLast) {
        std::memcpy(frame.data(), &memory_[kBlockSize * address], kBlockSize);
    } else if (address >= kEventFirst && address <= kEventLast) {
        const auto block = events_.block(address - kEventFirst);
        std::memcpy(frame.data(), block.data(), kBlockSize);
    } else if (address == kClock) {
        const QDateTime t = moduleTime();
        frame[kClockYear] = uint8_t(t.date().year() % 100);
        frame[kClockMonth] = uint8_t(t.date().month());
        frame[kClockDay] = uint8_t(t.date().day());
        frame[kClockHour] = uint8_t(t.time().hour());
        frame[kClockMinute] = uint8_t(t.time().minute());
        frame[kClockSecond] = uint8_t(t.time().second());
    } else if (address == kVersion) {
        const std::string& text = settings_.versionText;
        std::memcpy(&frame[kVersionText], text.data(), std::min(text.size(), kVersionDataVersion - 1));
        const std::string digits = std::to_string(settings_.dataVersion);
        std::memcpy(&frame[kVersionDataVersion], digits.data(), digits.size());
    } else {
        return std::nullopt;
    }
    return frame;
}

void SimModule::handleRead(const std::string& line) {
    const auto address = line.size() == 8 ? parseHex4(std::string_view(line).substr(4)) : std::nullopt;
    if (!address) return note("malformed read request");
    if (!loggedIn()) {
        note("read without a login");
        return send("PWDERR");
    }
    sessionUntil_ = now() + kSessionMs;
    const Faults& f = settings_.faults;
    if (f.silentRead.has(*address)) return note("fault: read left unanswered");
    auto frame = readFrame(*address);
    if (!frame) return note("no readable block at this address");
    sealModuleFrame(*frame, f.wrongIndex.has(*address) ? uint16_t(*address + 1) : *address);
    if (f.badChecksum.has(*address)) ++(*frame)[kFrameChecksum];
    if (f.swappedChecksum.has(*address)) std::reverse(frame->begin() + kFrameChecksum, frame->end());
    send("RDFL" + frameHex(*frame, f.lowerCaseHex.has(*address)));
}

bool SimModule::writeClock(const Frame& frame) {
    const QDate date(2000 + frame[kClockYear], frame[kClockMonth], frame[kClockDay]);
    const QTime time(frame[kClockHour], frame[kClockMinute], frame[kClockSecond]);
    if (frame[kClockYear] > 99 || !date.isValid() || !time.isValid()) return false;
    clockBase_ = QDateTime(date, time);
    clockBaseMs_ = now();
    record({{42, 0, "\xD3ra be\xE1ll\xEDtva"}});
    return true;
}

void SimModule::handleFrameLine(const std::string& line) {
    const auto frame = parseFrameHex(line);
    if (!frame) {
        note("frame line is not 540 upper-case hex digits");
        return send("WRFLERR");
    }
    const uint16_t address = frameAddress(*frame);
    const Faults& f = settings_.faults;
    if (f.pwdErrAlways || !loggedIn()) {
        note("write without a login");
        return send("PWDERR");
    }
    sessionUntil_ = now() + kSessionMs;
    if (f.silentWrite.has(address)) return note("fault: write left unanswered");
    if (f.falseWriteOk.has(address)) {
        note("fault: WROK for a frame not stored");
        return send("WROK");
    }
    if (f.writeError.has(address)) return send("WRFLERR");
    if (!programSumHolds(*frame)) {
        note("checksum does not hold (the program sends it most significant byte first)");
        return send("WRFLERR");
    }
    if (address <= kParamLast) {
        staged_[address].emplace();
        std::memcpy(staged_[address]->data(), frame->data(), kBlockSize);
        send("WROK");
        if (f.repeatWriteReply.has(address)) repeatReply_ = "WROK";
        return;
    }
    if (address >= kFirmwareFirst && address <= kFirmwareLast) {
        if (address == kFirmwareFirst) firmware_.reset();  // a new upload begins
        firmware_.storeDataFrame(*frame);
        return send("WROK");
    }
    if (address == kFirmwareCheck) {
        std::string why;
        if (!firmware_.verify(*frame, &why)) {
            note("firmware check failed: " + why);
            return send("FIRMWAREERR");
        }
        send("FIRMWAREOK");
        note("firmware accepted; restarting");
        firmware_.reset();
        sessionUntil_.reset();
        emit restarted();
        return;
    }
    if (address == kClock) return send(writeClock(*frame) ? "WROK" : "WRFLERR");
    note("no writable block at this address");
    send("WRFLERR");
}

void SimModule::commit() {
    if (!loggedIn()) {
        note("commit without a login");
        return send("PWDERR");
    }
    if (settings_.faults.noCrcOk) return note("fault: commit left unanswered");
    if (settings_.faults.crcOkWithoutCommit) {
        note("fault: CRCOK with nothing committed");
        return send("CRCOK");
    }
    for (const auto& block : staged_)
        if (!block) {
            note("commit refused: not all eight parameter blocks were written");
            staged_.fill(std::nullopt);
            return send("CRCERR");
        }
    for (std::size_t n = 0; n < staged_.size(); ++n)
        std::memcpy(&memory_[kBlockSize * n], staged_[n]->data(), kBlockSize);
    staged_.fill(std::nullopt);
    record({{43, ModuleState::kInstaller, "Programozva"}});
    send("CRCOK");
}

}  // namespace corvanta::sim
