// Clock read and set and radio teaching against the simulated module in the
// same process. Every tick is fired by hand: the transfer countdown only
// while a wait runs, RFTimer only while a pause holds the poll.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>

#include "link/installer_code.h"
#include "link/module_link.h"
#include "link/tick_source.h"
#include "service/module_clock.h"
#include "service/radio_frame.h"
#include "service/radio_teaching.h"
#include "sim/sim_module.h"
#include "sim/sim_transport.h"
#include "tests/link/scripted_line.h"
#include "tests/support/qt_core_app.h"
#include "tests/support/recording_messenger.h"

using namespace corvanta;
using corvanta::testing::RecordingMessenger;
using corvanta::testing::ScriptedLine;

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
QT_END_NAMESPACE

namespace {

const QDateTime kModuleStart(QDate(2024, 3, 15), QTime(8, 5, 40));
const std::string kCode = encodeInstallerCode("1234");

class ServiceLinkTest : public ::testing::Test, public ClockView {
protected:
    ServiceLinkTest() {
        ensureQtCoreApp();
        auto transfer = std::make_unique<ManualTickSource>();
        auto code = std::make_unique<ManualTickSource>();
        auto rf = std::make_unique<ManualTickSource>();
        transferTicks = transfer.get();
        codeTicks = code.get();
        rfTicks = rf.get();
        link = std::make_unique<ModuleLink>(std::move(transfer), std::move(code));
        link->setMessenger(&messenger);
        link->setInstallerCode("1234");
        radio = std::make_unique<RadioTeaching>(*link, std::move(rf));
        // Waits that run out do so at once; pauses end one tick each time
        // round the loop.
        QObject::connect(&fastClock, &QTimer::timeout, [this] {
            if (link->waiting()) transferTicks->fire();
            if (radio->rfPause() > 1) rfTicks->fire();
        });
        fastClock.start(0);
    }

    void useModule(sim::ModuleSettings settings = {}) {
        settings.startTime = kModuleStart;
        module = std::make_unique<sim::SimModule>(std::move(settings), [] { return std::int64_t(0); });
        QObject::connect(module.get(), &sim::SimModule::traffic, [this](char dir, const QByteArray& l) {
            if (dir == '<') received.push_back(l.toStdString());
        });
        line = std::make_unique<sim::SimTransport>(module.get());
        link->setTransport(line.get());
        link->serialConnect();
    }
    sim::ModuleSettings withFault(const char* fault) {
        sim::ModuleSettings s;
        std::string error;
        EXPECT_TRUE(sim::addFault(fault, s.faults, error)) << error;
        return s;
    }
    ModuleClock clockAt(const QDateTime& local) {
        return ModuleClock(*link, *this, [local] { return local; });
    }
    void setStatus(const QString& text) override { statuses << text; }
    int count(const std::string& prefix) const {
        int n = 0;
        for (const auto& l : received) n += l.rfind(prefix, 0) == 0;
        return n;
    }

    RecordingMessenger messenger;
    QStringList statuses;
    ManualTickSource* transferTicks = nullptr;
    ManualTickSource* codeTicks = nullptr;
    ManualTickSource* rfTicks = nullptr;
    std::unique_ptr<ModuleLink> link;
    std::unique_ptr<RadioTeaching> radio;
    std::unique_ptr<sim::SimModule> module;
    std::unique_ptr<sim::SimTransport> line;
    std::vector<std::string> received;
    QTimer fastClock;
};

QStringList messagesOf(const RecordingMessenger& m) { return m.messages; }
QStringList questionsOf(const RecordingMessenger& m) { return m.questions; }

}  // namespace

// --- clock --------------------------------------------------------------------

TEST_F(ServiceLinkTest, ClockSetWritesTheComputersMinuteAndReadShowsItBack) {
    useModule();
    ModuleClock clock = clockAt(QDateTime(QDate(2000, 1, 5), QTime(7, 9, 33)));
    EXPECT_TRUE(clock.set());
    EXPECT_EQ(statuses, QStringList({"Óra beállítás...", "Az óra beállítva."}));
    // Seconds are not sent: the module's start again from zero.
    EXPECT_EQ(module->moduleTime(), QDateTime(QDate(2000, 1, 5), QTime(7, 9, 0)));

    statuses.clear();
    EXPECT_TRUE(clock.read());
    EXPECT_EQ(messagesOf(messenger), QStringList({"A modul órája: 00/01/05 - 07:09"}));
    EXPECT_EQ(clock.lastRead(), (ClockTime{0, 1, 5, 7, 9}));
    EXPECT_EQ(statuses, QStringList({"Óra lekérdezése...", ""}));
    EXPECT_EQ(count("RDFLFFFE"), 1);
    // The periodic login was held off for each exchange and runs again.
    EXPECT_TRUE(link->codeTimerEnabled());
}

TEST_F(ServiceLinkTest, ClockReadFailuresEndInTheFailureStatus) {
    ScriptedLine scripted;
    scripted.answer = [](const std::string& l) -> std::string {
        if (l.rfind("RPWD", 0) == 0) return "PWDOK\r";
        if (l == "RDFLFFFE") return "PWDERR\r";
        return {};
    };
    link->setTransport(&scripted);
    link->serialConnect();
    ModuleClock clock = clockAt(QDateTime::currentDateTime());
    EXPECT_FALSE(clock.read());
    EXPECT_FALSE(clock.lastRead());
    // "PWDERR" ended the wait: the countdown did not run out.
    EXPECT_GT(link->transferCountdown(), ModuleLink::kReadTicks - 5);
    EXPECT_EQ(statuses, QStringList({"Óra lekérdezése...", "Leolvasás sikertelen."}));
    EXPECT_TRUE(messenger.messages.empty());

    statuses.clear();
    link->setInstallerCode("9999");
    scripted.answer = [](const std::string&) { return std::string("PWDERR\r"); };
    EXPECT_FALSE(clock.read());
    EXPECT_EQ(messagesOf(messenger), QStringList({" Hibás telepítői azonosító!"}));
    EXPECT_EQ(statuses, QStringList({"Óra lekérdezése...", "Leolvasás sikertelen."}));

    statuses.clear();
    messenger.messages.clear();
    scripted.close();
    EXPECT_FALSE(clock.read());
    EXPECT_EQ(messagesOf(messenger), QStringList({" Nincs soros kapcsolat."}));
    EXPECT_TRUE(statuses.isEmpty());
    EXPECT_TRUE(link->codeTimerEnabled());
}

TEST_F(ServiceLinkTest, ClockSetFailuresEndInTheErrorStatus) {
    const QString failed = "Hiba történt órabeállítás közben!";
    useModule(withFault("write-error=FFFE"));
    ModuleClock clock = clockAt(QDateTime(QDate(2031, 6, 1), QTime(12, 0)));
    EXPECT_FALSE(clock.set());
    EXPECT_GT(link->transferCountdown(), ModuleLink::kWriteTicks - 5);  // "WRFLERR" ended the wait
    EXPECT_EQ(statuses, QStringList({"Óra beállítás...", failed}));

    statuses.clear();
    useModule(withFault("no-write-reply=FFFE"));
    EXPECT_FALSE(clock.set());
    EXPECT_EQ(link->transferCountdown(), 0);
    EXPECT_EQ(statuses, QStringList({"Óra beállítás...", failed}));
    EXPECT_EQ(module->moduleTime(), kModuleStart);

    statuses.clear();
    link->setInstallerCode("9999");
    EXPECT_FALSE(clock.set());
    EXPECT_EQ(messagesOf(messenger), QStringList({" Hibás telepítői azonosító!"}));
    EXPECT_EQ(statuses, QStringList({failed}));
    EXPECT_EQ(count("WRFL"), 2);
    EXPECT_TRUE(link->codeTimerEnabled());
}

// --- radio ----------------------------------------------------------------------

TEST_F(ServiceLinkTest, TeachSendsTheSlotCharacterBetweenTwoPausesOfThePoll) {
    useModule();
    radio->startPolling();
    std::vector<int> pauseAtTicks;
    QObject::connect(rfTicks, &TickSource::tick, [&] { pauseAtTicks.push_back(radio->rfPause()); });
    EXPECT_TRUE(radio->teach(10));  // btTeachA11
    EXPECT_EQ(questionsOf(messenger),
              QStringList({"Biztosan el szeretné indítani a tanítást?\nTanítás helye: IN11 'A' szenzor"}));
    EXPECT_EQ(count("TRF:" + kCode), 1);
    EXPECT_EQ(count("RPWF"), 0);  // held for the whole teach
    EXPECT_EQ(pauseAtTicks, (std::vector<int>{1, 1}));
    EXPECT_EQ(radio->rfPause(), 0);
    EXPECT_EQ(module->radio().frameBytes()[36], 0x80 | 10);

    EXPECT_TRUE(radio->teach(35));  // btTeachUser12
    EXPECT_EQ(count("TRFS" + kCode), 1);

    messenger.answerYes = false;
    EXPECT_FALSE(radio->teach(0));
    EXPECT_EQ(count("TRF0"), 0);
}

TEST_F(ServiceLinkTest, DeleteAllNeedsBothAnswersAndPausesTwoTicksEachSide) {
    useModule();
    radio->startPolling();
    int ticks = 0;
    QObject::connect(rfTicks, &TickSource::tick, [&] { ++ticks; });
    struct SecondNo : RecordingMessenger {
        bool askYesNo(const QString& t, const QString& c) override {
            RecordingMessenger::askYesNo(t, c);
            return questions.size() < 2;
        }
    } secondNo;
    link->setMessenger(&secondNo);
    EXPECT_FALSE(radio->deleteAll());
    EXPECT_EQ(secondNo.questions.size(), 2u);
    EXPECT_EQ(count("DLRF"), 0);
    EXPECT_EQ(ticks, 0);

    link->setMessenger(&messenger);
    EXPECT_TRUE(radio->deleteAll());
    EXPECT_EQ(questionsOf(messenger),
              QStringList({"A rádiós eszközök törlése után egyesével újra kell tanítania mindegyiket. Törli az "
                           "eszközöket?",
                           "Biztosan törölni szeretné az összes rádiós eszközt?"}));
    EXPECT_EQ(count("DLRF" + kCode), 1);
    EXPECT_EQ(ticks, 4);
    QCoreApplication::processEvents();
    EXPECT_EQ(module->radio().slot(11), 0);
    EXPECT_EQ(module->radio().slot(24), 0);
}

TEST_F(ServiceLinkTest, AModulesRefusalIsShownAndSignalledOnTheNextTick) {
    useModule();
    module->setRemoteCall(true);
    radio->startPolling();
    int refusals = 0;
    QObject::connect(radio.get(), &RadioTeaching::refused, [&] { ++refusals; });
    EXPECT_TRUE(radio->teach(3));  // the command went out; the module said no
    EXPECT_EQ(refusals, 1);
    EXPECT_EQ(messenger.messages.size(), 1u);
    EXPECT_TRUE(messagesOf(messenger).value(0).startsWith(QString::fromUtf8("A rádiós eszközök tanítása és törlése")));
    EXPECT_FALSE(link->flags().radioTeachRefused);
}

TEST_F(ServiceLinkTest, TeachAndDeleteRefuseWithoutALinkAndNeverWaitWithoutRFTimer) {
    EXPECT_FALSE(radio->teach(3));
    EXPECT_FALSE(radio->deleteAll());
    EXPECT_EQ(messagesOf(messenger), QStringList({" Nincs soros kapcsolat.", " Nincs soros kapcsolat."}));
    EXPECT_TRUE(messenger.questions.empty());

    // Opened some other way than through the main window, RFTimer is off:
    // the pauses must not wait for ticks that never come.
    useModule();
    fastClock.stop();
    messenger.messages.clear();
    EXPECT_TRUE(radio->teach(3));
    EXPECT_EQ(count("TRF3" + kCode), 1);
    EXPECT_EQ(radio->rfPause(), 0);
}
