// The status monitor without its window: one round of its poll decoded,
// the same poll watched for a while as JSON lines, and its partition
// commands, each confirmed by the status that follows it.

#include <QDateTime>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonObject>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <functional>
#include <unistd.h>

#include "app/cli/commands.h"
#include "app/cli/output.h"
#include "app/cli/session.h"
#include "link/link_texts.h"
#include "params/win1250.h"
#include "service/event_frame.h"
#include "service/status_frame.h"
#include "service/status_monitor.h"

namespace corvanta::cli {

namespace {

const std::string kStatusUsage = "status [--json] [--watch SECONDS]" + linkUsage();
const std::string kArmUsage = "arm P" + linkUsage();
const std::string kDisarmUsage = "disarm P" + linkUsage();

// A watch that hears no status for this long has lost the module.
constexpr qint64 kSilenceMs = 5000;

const std::array<const char*, kEventListColumns> kFrameTitles = {
    "", "Időpont", "Esemény", "Z/F", "T1", "T2", "T3", "T4", "S1", "S2", "S3", "S4", "K.", "Státusz"};

QString utf8(const std::string& text) { return QString::fromStdString(text); }

// What the poll has brought: the latest status and last eight events, and
// the messages since they were last taken.
class PollCollector {
public:
    explicit PollCollector(ModuleLink& link) {
        QObject::connect(&link, &ModuleLink::statusFrameReceived, &context_, [this](const QByteArray& line) {
            auto v = decodeStatusFrame(std::string_view(line.constData(), std::size_t(line.size())));
            if (!v) return;
            status = std::move(v);
            sinceStatus.start();
            if (onStatus) onStatus();
        });
        QObject::connect(&link, &ModuleLink::eventFrameReceived, &context_, [this](const QByteArray& line) {
            events = decodeEventFrame(std::string_view(line.constData(), std::size_t(line.size())));
        });
        QObject::connect(&link, &ModuleLink::statusMessageReceived, &context_, [this](const QByteArray& line) {
            messages.append(utf8(
                fromWin1250(statusMessageText(std::string_view(line.constData(), std::size_t(line.size()))))));
        });
        sinceStatus.start();
    }

    std::optional<StatusView> status;
    std::optional<std::array<EventLogEntry, 8>> events;
    QStringList messages;
    QElapsedTimer sinceStatus;
    std::function<void()> onStatus;

private:
    QObject context_;
};

// The monitor's grid rows that hold an event, numbered 1..8.
std::vector<NumberedEventRow> frameRows(const std::optional<std::array<EventLogEntry, 8>>& events) {
    std::vector<NumberedEventRow> rows;
    if (!events) return rows;
    for (std::size_t r = 0; r < events->size(); ++r)
        if (!isEmptyEntry((*events)[r])) rows.push_back({int(r) + 1, eventFrameRow((*events)[r])});
    return rows;
}

struct NamedValue {
    const char* name;
    const ShownValue* value;
};

// Output panels as the window heads them.
std::vector<NamedValue> outputPanels(const StatusView& v) {
    return {{"RELE 1", &v.relays[0]}, {"RELE 2", &v.relays[1]}, {"RELE 3", &v.relays[2]},
            {"OUT 1", &v.outputs[0]}, {"OUT 2", &v.outputs[1]}, {"Kezelő 12V", &v.keypadSupply},
            {"Fix 12V", &v.fixed12V}};
}

QJsonValue tenthsJson(std::optional<int> tenths) { return tenths ? QJsonValue(*tenths / 10.0) : QJsonValue(); }

QJsonObject statusJson(const PollCollector& poll) {
    const StatusView& v = *poll.status;
    QJsonArray zones, inputs, partitions, outputs, events;
    for (std::size_t n = 0; n < v.zones.size(); ++n)
        zones.append(QJsonObject{{"input", int(n) + 1},
                                 {"state", utf8(v.zones[n].state.text)},
                                 {"loop", utf8(v.zones[n].loop.text)}});
    inputs.append(QJsonObject{{"input", "A"}, {"loop", utf8(v.inputsAB[0].text)}});
    inputs.append(QJsonObject{{"input", "B"}, {"loop", utf8(v.inputsAB[1].text)}});
    for (std::size_t p = 0; p < 2; ++p)
        partitions.append(
            QJsonObject{{"partition", int(p) + 1}, {"armed", v.armed[p]}, {"text", utf8(v.partitions[p].text)}});
    for (const auto& [name, value] : outputPanels(v))
        outputs.append(QJsonObject{{"output", QString::fromUtf8(name)}, {"text", utf8(value->text)}});
    for (const auto& row : frameRows(poll.events)) events.append(eventRowJson(row));
    return {{"time", QDateTime::currentDateTime().toString(Qt::ISODate)},
            {"zones", zones},
            {"inputs", inputs},
            {"partitions", partitions},
            {"outputs", outputs},
            {"gsmLevel", v.gsmLevel},
            {"temperature", v.temperature ? QJsonValue(*v.temperature) : QJsonValue()},
            {"voltages", QJsonObject{{"terminal", tenthsJson(v.terminalTenths)}, {"battery", tenthsJson(v.batteryTenths)}}},
            {"mains", utf8(v.mains.text)},
            {"lastEvents", events},
            {"messages", QJsonArray::fromStringList(poll.messages)}};
}

QString volts(int tenths, int decimals) { return QString::number(tenths / 10.0, 'f', decimals) + QStringLiteral("V"); }

// The window's labels, a line each.
QString statusText(const PollCollector& poll) {
    const StatusView& v = *poll.status;
    QString t = QStringLiteral("Bemenetek:\n");
    for (std::size_t n = 0; n < v.zones.size(); ++n)
        t += QStringLiteral("  %1  %2  %3\n")
                 .arg(QStringLiteral("IN%1").arg(n + 1), -4)
                 .arg(utf8(v.zones[n].state.text), -11)
                 .arg(utf8(v.zones[n].loop.text));
    t += QStringLiteral("  'A' bemenet  %1\n  'B' bemenet  %2\n").arg(utf8(v.inputsAB[0].text), utf8(v.inputsAB[1].text));
    for (std::size_t p = 0; p < 2; ++p)
        t += QStringLiteral("%1. Partíció állapota: %2\n").arg(p + 1).arg(utf8(v.partitions[p].text));
    t += QStringLiteral("Akkumulátor: %1\n")
             .arg(v.batteryTenths ? volts(*v.batteryTenths, 1) + QStringLiteral(" / ") + volts(v.terminalTenths, 1)
                                  : volts(v.terminalTenths, 2));
    t += QStringLiteral("AC: %1\n").arg(utf8(v.mains.text));
    t += QStringLiteral("Kimenetek:\n");
    for (const auto& [name, value] : outputPanels(v))
        t += QStringLiteral("  %1  %2\n").arg(QString::fromUtf8(name), -10).arg(utf8(value->text));
    t += QStringLiteral("GSM térerő (0-31): %1\n").arg(v.gsmLevel);
    t += QStringLiteral("Modul hőmérs.: %1\n")
             .arg(v.temperature ? QString::number(*v.temperature) + QStringLiteral(" C°") : QString());
    t += QStringLiteral("Az utolsó nyolc esemény:\n") + eventTable(frameRows(poll.events), kFrameTitles);
    t += QStringLiteral("A modul állapot üzenetei:\n");
    for (const QString& m : poll.messages) t += m + QLatin1Char('\n');
    return t;
}

// SIGINT and SIGTERM end a watch between two lines instead of cutting one.
class InterruptCatcher {
public:
    InterruptCatcher() {
        if (::pipe(pipe_) != 0) return;
        writeEnd_ = pipe_[1];
        notifier_ = std::make_unique<QSocketNotifier>(pipe_[0], QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { caught = true; });
        struct sigaction action {};
        action.sa_handler = [](int) {
            const char byte = 1;
            [[maybe_unused]] const auto n = ::write(writeEnd_, &byte, 1);
        };
        sigemptyset(&action.sa_mask);
        for (int s : {SIGINT, SIGTERM}) sigaction(s, &action, nullptr);
    }
    ~InterruptCatcher() {
        for (int s : {SIGINT, SIGTERM}) std::signal(s, SIG_DFL);
        notifier_.reset();
        if (writeEnd_ >= 0) {
            ::close(pipe_[0]);
            ::close(pipe_[1]);
            writeEnd_ = -1;
        }
    }
    InterruptCatcher(const InterruptCatcher&) = delete;
    InterruptCatcher& operator=(const InterruptCatcher&) = delete;

    bool caught = false;

private:
    static inline int writeEnd_ = -1;
    int pipe_[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> notifier_;
};

// The poll as the window runs it while open: the periodic login gives way,
// and the first round goes out at once instead of after one period.
struct MonitorRun {
    explicit MonitorRun(ModuleLink& link) : link(link), monitor(link, names), poll(link) {
        link.setCodeTimerEnabled(false);
        link.flags().pwdError = false;
    }
    void start() {
        monitor.setPolling(true);
        monitor.statusTimerTick();
    }
    // What kept the module's answer away, on standard error.
    void reportSilence() const {
        if (!link.linkConnected()) return;  // the link has said so itself
        if (!link.flags().pwdError) std::fprintf(stderr, "%s\n", texts::kNoAnswer);
    }

    ModuleLink& link;
    ModuleNamesStore names;
    StatusMonitor monitor;
    PollCollector poll;
};

int watch(MonitorRun& run, double seconds) {
    InterruptCatcher interrupt;
    run.poll.onStatus = [&run] {
        printJson(statusJson(run.poll));
        run.poll.messages.clear();
    };
    run.start();
    const ReplyFlags& f = run.link.flags();
    run.link.waitFor(int(seconds * 10 + 0.999), [&] {
        return interrupt.caught || f.pwdError || !run.link.linkConnected() ||
               run.poll.sinceStatus.elapsed() > kSilenceMs;
    });
    run.monitor.setPolling(false);
    if (interrupt.caught) return ExitOk;
    if (!f.pwdError && run.link.linkConnected() && run.poll.sinceStatus.elapsed() <= kSilenceMs) return ExitOk;
    run.reportSilence();
    return ExitFailed;
}

int runStatus(const Args& args) {
    if (auto e = checkUsage(args, {"--json"}, 0, kStatusUsage)) return *e;
    std::optional<double> seconds;
    if (auto w = args.option("--watch")) {
        seconds = parseSeconds(*w);
        if (!seconds) {
            std::fprintf(stderr, "corvanta-cli: --watch takes a number of seconds up to a day, not \"%s\"\n",
                         w->c_str());
            return ExitUsage;
        }
    }
    Session s;
    if (auto exit = openDataSession(args, s, {"--watch"})) return *exit;
    MonitorRun run(*s.link);
    int result = ExitOk;
    if (seconds) {
        result = watch(run, *seconds);
    } else {
        run.start();
        const ReplyFlags& f = s.link->flags();
        s.link->waitFor(kAnswerTicks, [&] {
            return (run.poll.status && run.poll.events) || f.pwdError || !s.link->linkConnected();
        });
        run.monitor.setPolling(false);
        if (!run.poll.status || !run.poll.events) {
            run.reportSilence();
            result = ExitFailed;
        } else if (args.flag("--json")) {
            printJson(statusJson(run.poll));
        } else {
            printText(statusText(run.poll));
        }
    }
    closeSession(s);
    return result;
}

int runPartition(const Args& args, bool arm) {
    const std::string& usage = arm ? kArmUsage : kDisarmUsage;
    if (auto e = checkUsage(args, {}, 1, usage)) return *e;
    const std::string& p = args.positional[0];
    if (p != "1" && p != "2") {
        std::fprintf(stderr, "corvanta-cli: the partition is 1 or 2\nusage: corvanta-cli %s\n", usage.c_str());
        return ExitUsage;
    }
    const std::size_t partition = p == "1" ? 0 : 1;
    const CodedCommand command = arm ? (partition == 0 ? coded::ArmP1 : coded::ArmP2)
                                     : (partition == 0 ? coded::DisarmP1 : coded::DisarmP2);
    Session s;
    if (auto exit = openDataSession(args, s)) return *exit;
    MonitorRun run(*s.link);
    // No status is asked for before the command, so the first one to come
    // tells what the module made of it.
    run.monitor.sendPartitionCommand(command);
    run.start();
    const ReplyFlags& f = s.link->flags();
    s.link->waitFor(kAnswerTicks, [&] { return run.poll.status || f.pwdError || !s.link->linkConnected(); });
    run.monitor.setPolling(false);
    closeSession(s);
    if (!run.poll.status) {
        run.reportSilence();
        return ExitFailed;
    }
    printText(QStringLiteral("%1. Partíció állapota: %2\n").arg(partition + 1).arg(utf8(run.poll.status->partitions[partition].text)));
    return run.poll.status->armed[partition] == arm ? ExitOk : ExitFailed;
}

}  // namespace

std::vector<Command> statusCommands() {
    return {
        {"status", kStatusUsage, runStatus,
         "One round of the status monitor's poll, decoded: inputs, partitions, supply, outputs, GSM\n"
         "level, temperature, the last eight events and the module's messages. --json prints one object\n"
         "with \"zones\", \"inputs\", \"partitions\", \"outputs\", \"gsmLevel\", \"temperature\", \"voltages\",\n"
         "\"mains\", \"lastEvents\" and \"messages\". --watch polls at the monitor's pace for SECONDS and prints\n"
         "one such object per status line; Ctrl+C ends it between two lines.\n"},
        {"arm", kArmUsage, [](const Args& a) { return runPartition(a, true); },
         "Arms partition P (1 or 2); exit 0 only when the module's next status shows it armed.\n"},
        {"disarm", kDisarmUsage, [](const Args& a) { return runPartition(a, false); },
         "Disarms partition P (1 or 2); exit 0 only when the module's next status shows it disarmed.\n"},
    };
}

}  // namespace corvanta::cli
