#pragma once
// The simulated module: takes the bytes the program sends, answers the way
// the module does, and keeps its memory, clock, event log, live state and
// radio slots. Links (pseudo-terminal, TCP, in-process) are thin shells
// around it.

#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QTimer>

#include <array>
#include <deque>
#include <functional>
#include <optional>
#include <random>
#include <string>

#include "sim/block_codec.h"
#include "sim/event_memory.h"
#include "sim/faults.h"
#include "sim/firmware_check.h"
#include "sim/module_state.h"
#include "sim/parameter_memory.h"
#include "sim/radio_slots.h"

namespace corvanta::sim {

// Milliseconds on a steady clock; tests hand in one they move themselves.
using MsClock = std::function<int64_t()>;

struct ModuleSettings {
    ParameterMemory memory = factoryMemory();
    int dataVersion = 2;
    int statusKind = 4;
    std::string versionText = "GSM-Corvanta 2.31 szimul\xE1tor";
    Faults faults;
    uint32_t seed = 1;
    // Module clock at start; invalid means the computer's local time.
    QDateTime startTime;
    // How long a radio slot in learning mode takes to hear its device.
    int64_t radioLearnMs = RadioSlots::kLearnDelayMs;
};

class SimModule : public QObject {
    Q_OBJECT
public:
    // A login stays valid while traffic keeps coming at least this often.
    static constexpr int64_t kSessionMs = 60'000;
    static constexpr int64_t kDriftMs = 3'000;
    static constexpr int64_t kReportMs = 10'000;
    // Longer than any line the program sends (the 540-digit frame line).
    static constexpr std::size_t kMaxLineLength = 1024;

    explicit SimModule(ModuleSettings settings, MsClock clock = {}, QObject* parent = nullptr);

    const ParameterMemory& memory() const { return memory_; }
    // Tests change the faults between exchanges.
    Faults& faults() { return settings_.faults; }
    const EventMemory& events() const { return events_; }
    const RadioSlots& radio() const { return radio_; }
    QDateTime moduleTime() const;
    bool loggedIn() const;

    // While a modem call carries the line, radio teaching is refused.
    void setRemoteCall(bool on) { remoteCall_ = on; }

public slots:
    // Bytes from the program, in any pieces.
    void receive(const QByteArray& bytes);
    // Time-driven behaviour: learning, drift, reports. Runs on an internal
    // timer; tests that move the clock call it themselves.
    void service();

signals:
    // Bytes for the program.
    void transmit(const QByteArray& bytes);
    // One line in ("<") or out (">") or a remark ("#"), for --verbose.
    void traffic(char direction, const QByteArray& line);
    // The firmware check passed: a real module restarts and drops the line.
    void restarted();

private:
    void handleLine(const std::string& line);
    void handleFrameLine(const std::string& line);
    void handleRead(const std::string& line);
    void handleCoded(const std::string& word, const std::string& code, char channel);
    void commit();
    void send(const std::string& line);
    void note(const std::string& text);
    void record(const std::vector<Happening>& happenings);
    void fillHistory();
    Stamp stampAt(const QDateTime& t) const;
    std::optional<Frame> readFrame(uint16_t address) const;
    bool writeClock(const Frame& frame);
    uint16_t routesOf(uint8_t kind) const;
    int64_t now() const { return clock_(); }

    ModuleSettings settings_;
    MsClock clock_;
    ParameterMemory memory_;
    std::array<std::optional<std::array<uint8_t, layout::kBlockSize>>, 8> staged_;
    EventMemory events_;
    ModuleState state_;
    RadioSlots radio_;
    FirmwareCheck firmware_;
    std::mt19937 rng_;
    QTimer timer_;

    std::string rxLine_;
    bool overlong_ = false;
    bool awaitingFrame_ = false;
    bool remoteCall_ = false;
    std::optional<int64_t> sessionUntil_;
    QDateTime clockBase_;
    int64_t clockBaseMs_ = 0;
    int64_t nextDriftMs_ = 0;
    std::optional<int64_t> reportDueMs_;
    std::deque<std::string> messages_;
    std::string repeatReply_;  // said once more before the next answer
};

}  // namespace corvanta::sim
