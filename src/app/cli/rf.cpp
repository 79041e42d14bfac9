// The radio teaching window without its window: the 36 slots as it shows
// them, teaching one slot and waiting for its device, and deleting every
// device. The poll, the pauses and the commands are RadioTeaching's.

#include <QJsonArray>
#include <QJsonObject>

#include <cstdio>
#include <functional>

#include "app/cli/commands.h"
#include "app/cli/output.h"
#include "app/cli/session.h"
#include "link/link_texts.h"
#include "service/radio_frame.h"
#include "service/radio_teaching.h"

namespace corvanta::cli {

namespace {

const std::string kListUsage = "rf [--json]" + linkUsage();
const std::string kTeachUsage = "rf teach SLOT [--time-limit SECONDS]" + linkUsage();
const std::string kDeleteUsage = "rf delete-all --yes" + linkUsage();

constexpr double kDefaultTeachSeconds = 60;
constexpr int kPerGroup = 12;

using namespace radio_layout;

// "A1".."A12", "B1".."B12", "U1".."U12" for slots 0..35: sensor A or B of
// an input, or a user's remote control.
QString slotName(int slot) {
    static const char groups[] = {'A', 'B', 'U'};
    return QStringLiteral("%1%2").arg(QLatin1Char(groups[slot / kPerGroup])).arg(slot % kPerGroup + 1);
}

// A slot by its name or by its number 1..36 (the window's button tags).
std::optional<int> parseSlot(const std::string& text) {
    const QString t = QString::fromStdString(text).toUpper();
    bool ok = false;
    const int number = t.toInt(&ok);
    if (ok) return number >= 1 && number <= int(kSlotCount) ? std::optional<int>(number - 1) : std::nullopt;
    for (int s = 0; s < int(kSlotCount); ++s)
        if (slotName(s) == t) return s;
    return std::nullopt;
}

const char* colourName(SlotColour c) {
    switch (c) {
    case SlotColour::Teal: return "teal";
    case SlotColour::Blue: return "blue";
    case SlotColour::Yellow: return "yellow";
    case SlotColour::Red: return "red";
    case SlotColour::ButtonFace: break;
    }
    return "none";
}

// The slot's label, and its panel's colour when it has one.
QString slotCell(std::uint8_t slotByte) {
    const SlotDisplay d = slotDisplay(slotByte);
    QString text = QString::fromStdString(d.text);
    if (d.colour != SlotColour::ButtonFace) text += QStringLiteral(" (%1)").arg(QLatin1String(colourName(d.colour)));
    return text;
}

QString listText(const RadioFrame& f) {
    QString t = QStringLiteral("Rádiós szenzorok:\n         A            B\n");
    for (int n = 0; n < kPerGroup; ++n)
        t += QStringLiteral("  %1 %2 %3\n")
                 .arg(QStringLiteral("IN%1").arg(n + 1), -5)
                 .arg(slotCell(f.slotBytes[kSensorASlot + std::size_t(n)]), -12)
                 .arg(slotCell(f.slotBytes[kSensorBSlot + std::size_t(n)]));
    t += QStringLiteral("Rádiós távvezérlők:\n");
    for (int n = 0; n < kPerGroup; ++n)
        t += QStringLiteral("  %1 %2\n")
                 .arg(QStringLiteral("%1.Felh.").arg(n + 1), -9)
                 .arg(slotCell(f.slotBytes[kRemoteSlot + std::size_t(n)]));
    t += QStringLiteral("Az utolsó rádiós jelzés erőssége (0-63): %1\n").arg(f.strength);
    return t;
}

QJsonObject listJson(const RadioFrame& f) {
    QJsonArray slotList;
    for (int s = 0; s < int(kSlotCount); ++s) {
        const SlotDisplay d = slotDisplay(f.slotBytes[std::size_t(s)]);
        slotList.append(QJsonObject{{"slot", s + 1},
                                 {"name", slotName(s)},
                                 {"text", QString::fromStdString(d.text)},
                                 {"colour", QLatin1String(colourName(d.colour))}});
    }
    return {{"slots", slotList}, {"strength", f.strength}};
}

bool anyDevice(const RadioFrame& f) {
    for (std::uint8_t b : f.slotBytes)
        if (b & kSlotPresent) return true;
    return false;
}

// The radio window's poll as it runs while the window is open, the first
// poll at once; the frames it brings and the module's refusals.
struct RadioRun {
    explicit RadioRun(ModuleLink& link) : link(link), teaching(link) {
        link.setCodeTimerEnabled(false);
        link.flags().radioTeachRefused = false;
        QObject::connect(&link, &ModuleLink::radioFrameReceived, &context, [this](const QByteArray& line) {
            if (auto f = decodeRadioFrame(std::string_view(line.constData(), std::size_t(line.size())))) {
                latest = f;
                if (onFrame) onFrame(*f);
            }
        });
        QObject::connect(&teaching, &RadioTeaching::refused, &context, [this] { refused = true; });
        teaching.startPolling();
        teaching.rfTimerTimer();
    }
    // Waits for a frame; false (and why, on standard error) when none came.
    bool awaitFrame() {
        link.waitFor(kAnswerTicks, [this] { return latest || refused || !link.linkConnected(); });
        if (!latest && !refused && link.linkConnected()) std::fprintf(stderr, "%s\n", texts::kNoAnswer);
        return latest.has_value();
    }

    ModuleLink& link;
    RadioTeaching teaching;
    QObject context;
    std::optional<RadioFrame> latest;
    std::function<void(const RadioFrame&)> onFrame;
    bool refused = false;
};

int runList(const Args& args, Session& s) {
    RadioRun run(*s.link);
    if (!run.awaitFrame()) return ExitFailed;
    if (args.flag("--json"))
        printJson(listJson(*run.latest));
    else
        printText(listText(*run.latest));
    return ExitOk;
}

// Teaches the slot and follows it until the device is learnt, learning ends
// without one, the module refuses or the time is up.
int runTeach(int slot, double seconds, Session& s) {
    RadioRun run(*s.link);
    if (!run.awaitFrame()) return ExitFailed;
    const std::uint8_t before = run.latest->slotBytes[std::size_t(slot)];
    if (!run.teaching.teach(slot)) return ExitFailed;
    // Frames from here on answer polls sent after the teach command.
    run.latest.reset();
    bool learning = false;
    run.onFrame = [&](const RadioFrame& f) {
        if (!learning && (f.slotBytes[std::size_t(slot)] & kSlotLearning)) {
            learning = true;
            say(s.chatter, slotName(slot) + QStringLiteral(": ") + slotCell(f.slotBytes[std::size_t(slot)]));
        }
    };
    auto settled = [&] {
        if (!run.latest) return false;
        const std::uint8_t b = run.latest->slotBytes[std::size_t(slot)];
        return !(b & kSlotLearning) && (learning || b != before);
    };
    s.link->waitFor(int(seconds * 10 + 0.999), [&] { return run.refused || !s.link->linkConnected() || settled(); });
    if (run.refused || !s.link->linkConnected()) return ExitFailed;
    const QString name = slotName(slot);
    if (!settled()) {
        std::fprintf(stderr, "corvanta-cli: no device learnt in slot %s within %g s\n", name.toUtf8().constData(),
                     seconds);
        return ExitFailed;
    }
    const std::uint8_t b = run.latest->slotBytes[std::size_t(slot)];
    printText(name + QStringLiteral(": ") + slotCell(b) + QLatin1Char('\n'));
    if (b & kSlotPresent) return ExitOk;
    std::fprintf(stderr, "corvanta-cli: slot %s left learning without a device\n", name.toUtf8().constData());
    return ExitFailed;
}

// Deletes every device, then waits for a frame that shows none.
int runDeleteAll(Session& s) {
    RadioRun run(*s.link);
    if (!run.teaching.deleteAll()) return ExitFailed;
    run.latest.reset();
    s.link->waitFor(kAnswerTicks, [&] {
        return run.refused || !s.link->linkConnected() || (run.latest && !anyDevice(*run.latest));
    });
    if (run.refused || !s.link->linkConnected()) return ExitFailed;
    if (!run.latest) {
        std::fprintf(stderr, "%s\n", texts::kNoAnswer);
        return ExitFailed;
    }
    if (anyDevice(*run.latest)) {
        std::fprintf(stderr, "corvanta-cli: the module still shows radio devices\n");
        printText(listText(*run.latest));
        return ExitFailed;
    }
    return ExitOk;
}

int runRf(const Args& args) {
    const std::string what = args.positional.empty() ? std::string() : args.positional[0];
    std::optional<int> slot;
    double seconds = kDefaultTeachSeconds;
    std::set<std::string> options;
    if (what.empty()) {
        if (auto e = checkUsage(args, {"--json"}, 0, kListUsage)) return *e;
    } else if (what == "teach") {
        if (auto e = checkUsage(args, {}, 2, kTeachUsage)) return *e;
        slot = parseSlot(args.positional[1]);
        if (!slot) {
            std::fprintf(stderr, "corvanta-cli: SLOT is A1..A12, B1..B12, U1..U12 or 1..36, not \"%s\"\n",
                         args.positional[1].c_str());
            return ExitUsage;
        }
        if (auto t = args.option("--time-limit")) {
            const auto parsed = parseSeconds(*t);
            if (!parsed) {
                std::fprintf(stderr, "corvanta-cli: --time-limit takes a number of seconds up to a day\n");
                return ExitUsage;
            }
            seconds = *parsed;
        }
        options = {"--time-limit"};
    } else if (what == "delete-all") {
        if (auto e = checkUsage(args, {"--yes"}, 1, kDeleteUsage)) return *e;
        if (!args.flag("--yes")) {
            std::fprintf(stderr, "corvanta-cli: rf delete-all deletes every radio device of the module; "
                                 "confirm with --yes\n");
            return ExitUsage;
        }
    } else {
        std::fprintf(stderr, "usage: corvanta-cli %s\n       corvanta-cli %s\n       corvanta-cli %s\n",
                     kListUsage.c_str(), kTeachUsage.c_str(), kDeleteUsage.c_str());
        return ExitUsage;
    }
    Session s;
    if (auto exit = openDataSession(args, s, options)) return *exit;
    const int result = what.empty() ? runList(args, s) : slot ? runTeach(*slot, seconds, s) : runDeleteAll(s);
    closeSession(s);
    return result;
}

}  // namespace

std::vector<Command> radioCommands() {
    return {{"rf", kListUsage + "\n  " + kTeachUsage + "\n  " + kDeleteUsage, runRf,
             "rf lists the 36 radio slots as the radio window shows them (A1..A12 and B1..B12 the sensors of\n"
             "the inputs, U1..U12 the users' remote controls), with the panel's colour; --json prints\n"
             "{\"slots\": [{\"slot\", \"name\", \"text\", \"colour\"}], \"strength\"}.\n"
             "rf teach puts SLOT (a name above or 1..36) into learning and waits, at most --time-limit\n"
             "seconds (default 60), until the module has learnt a device there.\n"
             "rf delete-all deletes every radio device; it needs --yes. Teaching and deleting work only\n"
             "over a direct serial line; through a telephone call the module refuses them.\n"}};
}

}  // namespace corvanta::cli
