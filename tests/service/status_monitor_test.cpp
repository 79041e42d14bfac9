// The status monitor's poll, its pauses and its conversations against the
// simulated module in the same process. Every tick is fired by the test.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>

#include <algorithm>
#include <map>

#include "link/messenger.h"
#include "link/module_link.h"
#include "service/status_frame.h"
#include "service/status_monitor.h"
#include "sim/sim_module.h"
#include "sim/sim_transport.h"
#include "tests/support/qt_core_app.h"
#include "tests/support/recording_messenger.h"

using namespace corvanta;

namespace {

class StatusMonitorTest : public ::testing::Test {
protected:
    StatusMonitorTest() {
        ensureQtCoreApp();
        module = std::make_unique<sim::SimModule>(sim::ModuleSettings{});
        line = std::make_unique<sim::SimTransport>(module.get());
        auto transfer = std::make_unique<ManualTickSource>();
        auto code = std::make_unique<ManualTickSource>();
        auto status = std::make_unique<ManualTickSource>();
        transferTicks = transfer.get();
        codeTicks = code.get();
        statusTicks = status.get();
        link = std::make_unique<ModuleLink>(std::move(transfer), std::move(code));
        link->setTransport(line.get());
        link->setMessenger(&answers);
        link->setInstallerCode("1234");
        monitor = std::make_unique<StatusMonitor>(*link, names, std::move(status));
        // What the module hears, each line with the number of poll ticks
        // fired before it.
        QObject::connect(module.get(), &sim::SimModule::traffic, [this](char direction, const QByteArray& l) {
            if (direction == '<') heard.push_back({l.left(4).toStdString(), pollTicks});
        });
        QObject::connect(link.get(), &ModuleLink::statusFrameReceived,
                         [this](const QByteArray& l) { statusFrames.push_back(l.toStdString()); });
        // Inside a wait the clock runs by itself: one poll tick per turn,
        // and the transfer count when the link waits.
        QObject::connect(&clock, &QTimer::timeout, [this] {
            if (link->waiting()) transferTicks->fire();
            else if (statusTicks->running()) tick();
        });
    }

    void connect() { ASSERT_TRUE(link->serialConnect()); }
    // As the main window opens the monitor.
    void open() {
        link->setCodeTimerEnabled(false);
        monitor->setPolling(true);
    }
    void tick(int n = 1) {
        for (int i = 0; i < n; ++i) {
            ++pollTicks;
            statusTicks->fire();
        }
        QCoreApplication::processEvents();
    }
    // Runs `operation` with the clock going.
    template <typename F>
    auto running(F operation) {
        clock.start(0);
        auto result = operation();
        clock.stop();
        QCoreApplication::processEvents();
        return result;
    }
    std::vector<std::string> words() const {
        std::vector<std::string> w;
        for (const auto& h : heard) w.push_back(h.word);
        return w;
    }
    StatusSink sink() {
        return [this](const QString& text) { statuses.push_back(text.toStdString()); };
    }

    struct Heard {
        std::string word;
        int atTick;
    };
    corvanta::testing::RecordingMessenger answers;
    std::unique_ptr<sim::SimModule> module;
    std::unique_ptr<sim::SimTransport> line;
    std::unique_ptr<ModuleLink> link;
    ModuleNamesStore names;
    std::unique_ptr<StatusMonitor> monitor;
    ManualTickSource* transferTicks = nullptr;
    ManualTickSource* codeTicks = nullptr;
    ManualTickSource* statusTicks = nullptr;
    QTimer clock;
    int pollTicks = 0;
    std::vector<Heard> heard;
    std::vector<std::string> statusFrames;
    std::vector<std::string> statuses;
};

using Words = std::vector<std::string>;

TEST_F(StatusMonitorTest, PollAlternatesEventsAndStatusAndKeepsItsPhase) {
    open();
    tick();  // without a link nothing goes out, but the phase moves on
    EXPECT_TRUE(heard.empty());
    connect();
    tick(3);
    EXPECT_EQ(words(), (Words{"RPWS", "RPWE", "RPWS"}));
    monitor->setPolling(false);
    tick(2);  // a stopped timer sends nothing
    EXPECT_EQ(heard.size(), 3u);
    monitor->setPolling(true);
    tick();
    EXPECT_EQ(words().back(), "RPWE");  // the phase went on from where it stopped

    // The module's answer is a status line the decoder takes.
    ASSERT_FALSE(statusFrames.empty());
    const auto view = decodeStatusFrame(statusFrames.back());
    ASSERT_TRUE(view);
    EXPECT_EQ(view->kind, 4);
    EXPECT_GT(view->terminalTenths, 100);
}

TEST_F(StatusMonitorTest, EachPollHintsNoMoreThanTheShortestAnswerItGets) {
    // The shortest status line there is: a hint past the end of an answer
    // would hold the answer back.
    sim::ModuleSettings shortest;
    shortest.statusKind = 1;
    auto shortModule = std::make_unique<sim::SimModule>(shortest);
    auto shortLine = std::make_unique<sim::SimTransport>(shortModule.get());
    link->setTransport(shortLine.get());
    line = std::move(shortLine);  // the old line goes before the module it talks to
    module = std::move(shortModule);
    std::vector<std::pair<std::string, qint64>> hints;  // poll word, hint
    std::map<std::string, qint64> answered;             // frame prefix, line up to its CR
    QObject::connect(module.get(), &sim::SimModule::traffic, [&](char direction, const QByteArray& l) {
        if (direction == '<') hints.push_back({l.left(4).toStdString(), line->expectedReply()});
        if (direction == '>') answered[l.left(4).toStdString()] = l.size() + 1;
    });
    connect();
    open();
    tick(2);
    ASSERT_EQ(hints, (std::vector<std::pair<std::string, qint64>>{{"RPWE", answered["AT_{"]},
                                                                  {"RPWS", answered["AT_["]}}));
}

TEST_F(StatusMonitorTest, AlarmStopSendsThreeStopsAfterQuietPauses) {
    connect();
    open();
    const auto outcome = running([&] { return monitor->stopAlarms(sink()); });
    EXPECT_EQ(outcome, StatusMonitor::StopOutcome::Stopped);
    EXPECT_EQ(words(), (Words{"RSTP", "RSTP", "RSTP"}));
    // Pauses of 6 and 4 ticks: the stops go out 5 and 3 ticks apart.
    EXPECT_EQ(heard[0].atTick, 5);
    EXPECT_EQ(heard[1].atTick, 8);
    EXPECT_EQ(heard[2].atTick, 8);
    EXPECT_EQ(answers.texts(),
              (QStringList{"Biztosan le kívánja állítani a riasztási eseményeket ?",
                           "Riasztási események leállítva!"}));
    EXPECT_EQ(statuses, (std::vector<std::string>{"Riasztások leállítása...", ""}));
    EXPECT_EQ(monitor->pollPause(), 0);
    EXPECT_FALSE(link->codeTimerEnabled());  // off under the monitor, and stays off
    tick();
    EXPECT_EQ(words().size(), 4u);  // polling runs again
}

TEST_F(StatusMonitorTest, AlarmStopPollsWhileTheAnswerIsAwaitedAndWhileItsOutcomeIsShown) {
    connect();
    open();
    // A module that never confirms: the whole answer wait runs, with the
    // poll's ticks going on meanwhile.
    QObject::disconnect(module.get(), &sim::SimModule::transmit, nullptr, nullptr);
    QObject::disconnect(&clock, nullptr, nullptr, nullptr);
    QObject::connect(&clock, &QTimer::timeout, [this] {
        if (link->waiting()) transferTicks->fire();
        if (statusTicks->running()) tick();
    });
    int pollsWhileShown = -1;
    answers.whileShowing = [&] {
        const std::size_t before = heard.size();
        tick(2);
        pollsWhileShown = int(heard.size() - before);
    };
    EXPECT_EQ(running([&] { return monitor->stopAlarms(sink()); }), StatusMonitor::StopOutcome::NoAnswer);
    EXPECT_EQ(answers.texts().back(), "A modul nem válaszol!");
    // The two pauses before the stops stay quiet; after the third, polls.
    const Words w = words();
    const auto last = std::find(w.rbegin(), w.rend(), "RSTP");
    ASSERT_NE(last, w.rend());
    EXPECT_EQ(std::count(w.begin(), w.end(), "RSTP"), 3);
    EXPECT_EQ(std::find(w.begin(), w.end(), "RSTP") - w.begin(), 0);
    EXPECT_GE(std::distance(w.rbegin(), last), 20);  // some 6 s of polls
    EXPECT_GE(pollsWhileShown, 2);  // the message box does not hold the poll
}

TEST_F(StatusMonitorTest, AlarmStopOutcomesOtherThanSuccess) {
    answers.answerYes = false;
    EXPECT_EQ(monitor->stopAlarms(sink()), StatusMonitor::StopOutcome::Declined);
    answers.answerYes = true;
    EXPECT_EQ(monitor->stopAlarms(sink()), StatusMonitor::StopOutcome::NoLink);
    EXPECT_EQ(answers.texts().back(), " Nincs soros kapcsolat.");
    EXPECT_TRUE(statuses.empty());

    connect();
    open();
    link->setInstallerCode("9999");
    EXPECT_EQ(running([&] { return monitor->stopAlarms(sink()); }), StatusMonitor::StopOutcome::WrongCode);
    EXPECT_EQ(answers.texts().back(), " Hibás telepítői azonosító!");

    link->setInstallerCode("1234");
    QObject::disconnect(module.get(), &sim::SimModule::transmit, nullptr, nullptr);  // the module falls silent
    EXPECT_EQ(running([&] { return monitor->stopAlarms(sink()); }), StatusMonitor::StopOutcome::NoAnswer);
    EXPECT_EQ(answers.texts().back(), "A modul nem válaszol!");
    EXPECT_EQ(link->transferCountdown(), 0);  // the whole 6 s were waited
}

TEST_F(StatusMonitorTest, LinkDroppingDuringAPauseEndsTheStop) {
    connect();
    open();
    QTimer::singleShot(0, [&] {
        tick(2);
        link->serialDisconnect();
    });
    EXPECT_EQ(monitor->stopAlarms(sink()), StatusMonitor::StopOutcome::NoLink);
    EXPECT_TRUE(words().empty());
    EXPECT_EQ(answers.texts().back(), " Nincs soros kapcsolat.");
    EXPECT_EQ(monitor->pollPause(), 0);
    EXPECT_FALSE(monitor->busy());
}

TEST_F(StatusMonitorTest, ASecondHandlerWhileOneWaitsIsRefused) {
    connect();
    open();
    StatusMonitor::StopOutcome inner{};
    QTimer::singleShot(0, [&] {
        inner = monitor->stopAlarms(sink());
        tick(10);
    });
    EXPECT_EQ(running([&] { return monitor->stopAlarms(sink()); }), StatusMonitor::StopOutcome::Stopped);
    EXPECT_EQ(inner, StatusMonitor::StopOutcome::Busy);
    EXPECT_EQ(words(), (Words{"RSTP", "RSTP", "RSTP"}));
}

TEST_F(StatusMonitorTest, ZoneNamesPauseThePollThenLogInAndReadThreeBlocks) {
    connect();
    open();
    bool loaded = running([&] { return monitor->loadZoneNames(sink()); });
    EXPECT_TRUE(loaded);
    EXPECT_EQ(words(), (Words{"RPWD", "RPWD", "RDFL", "RDFL", "RDFL"}));
    EXPECT_EQ(heard[0].atTick, 5);
    EXPECT_EQ(statuses.front(), "Zóna és Felhasználói nevek letöltése..");
    EXPECT_EQ(statuses.back(), "");
    EXPECT_EQ(monitor->pollPause(), 0);
    EXPECT_FALSE(link->codeTimerEnabled());
    EXPECT_FALSE(ModuleNames::isBlank(names.names().zoneName(1)));
}

}  // namespace
