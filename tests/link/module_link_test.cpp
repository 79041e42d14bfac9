#include "link/module_link.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>

#include "link/version_block.h"
#include "tests/link/scripted_line.h"
#include "tests/support/qt_core_app.h"
#include "tests/support/recording_messenger.h"

using namespace corvanta;
using corvanta::testing::RecordingMessenger;
using corvanta::testing::ScriptedLine;

namespace {

std::string moduleBlock(std::uint16_t address, std::uint8_t fill = 0) {
    BlockFrame f{};
    f.fill(fill);
    sealModuleFrame(f, address);
    return blockReplyLine(f) + "\r";
}

std::string versionBlock(const std::string& text, const std::string& digits) {
    BlockFrame f{};
    std::copy(text.begin(), text.end(), f.begin());
    std::copy(digits.begin(), digits.end(), f.begin() + 32);
    sealModuleFrame(f, kVersionBlock);
    return blockReplyLine(f) + "\r";
}

class LinkTest : public ::testing::Test {
protected:
    LinkTest() {
        ensureQtCoreApp();
        auto transfer = std::make_unique<ManualTickSource>();
        auto code = std::make_unique<ManualTickSource>();
        ticks = transfer.get();
        codeTicks = code.get();
        link = std::make_unique<ModuleLink>(std::move(transfer), std::move(code));
        link->setTransport(&line);
        link->setMessenger(&messenger);
        link->setInstallerCode("1234");
        line.open(nullptr);
        QObject::connect(link.get(), &ModuleLink::statusLineChanged,
                         [this](const QString& t) { statusLines.push_back(t); });
    }

    // Runs f from inside the next wait's event loop.
    static void during(std::function<void()> f) { QTimer::singleShot(0, std::move(f)); }

    ScriptedLine line;
    RecordingMessenger messenger;
    ManualTickSource* ticks = nullptr;
    ManualTickSource* codeTicks = nullptr;
    std::unique_ptr<ModuleLink> link;
    std::vector<QString> statusLines;
};

}  // namespace

// --- waits ------------------------------------------------------------------

TEST_F(LinkTest, EachWaitRunsOutAfterItsOwnNumberOfTicks) {
    BlockFrame frame{};
    const std::vector<std::pair<int, std::function<bool()>>> waits = {
        {30, [&] { return link->installerLogin(); }},
        {50, [&] { return link->readBlock(2, true); }},
        {80, [&] { return link->writeBlock(frame); }},
        {100, [&] { return link->commitWrite(); }},
        {60, [&] { return link->alarmStop(); }},
    };
    for (const auto& [ticksToWait, op] : waits) {
        bool waitingOneTickBefore = false;
        during([&, n = ticksToWait] {
            ticks->fire(n - 1);
            waitingOneTickBefore = link->waiting();
            ticks->fire(1);
        });
        EXPECT_FALSE(op()) << ticksToWait;
        EXPECT_TRUE(waitingOneTickBefore) << ticksToWait;
        EXPECT_FALSE(link->waiting());
    }
    EXPECT_EQ(link->loginMessage().toStdString(),
              "A modul nem válaszol! Állítsa le a riasztási eseményeket és próbálja újra!");
    EXPECT_EQ(line.lines, (std::vector<std::string>{"RPWDEDCB00", "RDFL0002", "WRFL",
                                                    std::string(540, '0'), "WRACT", "RSTPEDCB00"}));
}

TEST_F(LinkTest, LoginEndsOnTheAnswerWithoutTicks) {
    line.answer = [](const std::string&) { return std::string("PWDOK\r"); };
    EXPECT_TRUE(link->installerLogin());
    EXPECT_EQ(link->loginMessage(), "OK.");

    line.answer = [](const std::string&) { return std::string("PWDERR\r"); };
    EXPECT_FALSE(link->installerLogin());
    EXPECT_EQ(link->loginMessage().toStdString(), " Hibás telepítői azonosító!");
    EXPECT_EQ(link->transferCountdown(), ModuleLink::kLoginTicks);  // no tick was needed
}

TEST_F(LinkTest, ReadEndsAtOnceOnPwdErrOrARejectedReply) {
    line.answer = [](const std::string&) { return std::string("PWDERR\r"); };
    EXPECT_FALSE(link->readBlock(2, true));
    EXPECT_EQ(link->transferCountdown(), ModuleLink::kReadTicks);

    // The "PWDERR" left from the read before does not end this one early.
    line.answer = [](const std::string&) { return std::string("RDFL0002\r"); };
    EXPECT_FALSE(link->readBlock(2, true));
    EXPECT_TRUE(link->flags().blockRejected);
    EXPECT_FALSE(link->flags().pwdError);
}

TEST_F(LinkTest, ReadChecksTheBlockIndexOnlyWhenAsked) {
    line.answer = [](const std::string&) { return moduleBlock(3, 0x11); };
    EXPECT_FALSE(link->readBlock(2, true));
    EXPECT_TRUE(link->readBlock(3, true));
    EXPECT_EQ(link->lastBlock()[0], 0x11);
    line.answer = [](const std::string&) { return moduleBlock(0x0007); };
    EXPECT_TRUE(link->readBlock(kVersionBlock, false));
}

TEST_F(LinkTest, AReplySplitAcrossDeliveriesIsAssembled) {
    const std::string reply = moduleBlock(1, 0x5A);
    line.answer = [&](const std::string&) {
        for (std::size_t i = 0; i < reply.size(); i += 7) line.deliver(reply.substr(i, 7));
        return std::string();
    };
    EXPECT_TRUE(link->readBlock(1, true));
    EXPECT_EQ(link->lastBlock()[255], 0x5A);
}

TEST_F(LinkTest, ADeliveryLargerThanTheReadBufferIsReadWhole) {
    std::string messages;
    while (messages.size() < 3000) messages += "AT_/message\r";
    line.answer = [&](const std::string&) { return messages + moduleBlock(2, 0x33); };
    int seen = 0;
    QObject::connect(link.get(), &ModuleLink::statusMessageReceived, [&] { ++seen; });
    EXPECT_TRUE(link->readBlock(2, true));
    EXPECT_EQ(seen, int(messages.size() / 12));
    EXPECT_EQ(link->lastBlock()[0], 0x33);
}

// Received lines are converted for the log only while it is listened to; a
// listener that goes away takes its connection along without a hang.
TEST_F(LinkTest, TheTrafficLogHearsLinesWhileSomeoneListens) {
    std::vector<QString> heard;
    auto listener = std::make_unique<QObject>();
    QObject::connect(link.get(), &ModuleLink::trafficLogged, listener.get(),
                     [&](const QString& t) { heard.push_back(t); });
    link->feedReceived("WROK\r");
    listener.reset();
    link->feedReceived("CRCOK\r");
    const auto again = QObject::connect(link.get(), &ModuleLink::trafficLogged,
                                        [&](const QString& t) { heard.push_back(t); });
    link->feedReceived("OK\r");
    QObject::disconnect(again);
    link->feedReceived("PWDOK\r");
    EXPECT_EQ(heard, (std::vector<QString>{"WROK", "OK"}));
    EXPECT_TRUE(link->flags().crcOk && link->flags().pwdOk);
}

TEST_F(LinkTest, ARefusalEndsTheWriteOfEveryKindOfFrameAtOnce) {
    BlockFrame f{};
    sealFrame(f, 3);
    line.answer = [](const std::string& l) { return l == "WRFL" ? "" : std::string("WROK\r"); };
    EXPECT_TRUE(link->writeBlock(f));
    EXPECT_EQ(line.written, "WRFL\r" + std::string(528, '0') + "000300007F83\r");

    line.answer = [](const std::string& l) { return l == "WRFL" ? "" : std::string("WRFLERR\r"); };
    for (auto kind : {ModuleLink::WriteKind::Parameter, ModuleLink::WriteKind::Firmware, ModuleLink::WriteKind::Clock}) {
        EXPECT_FALSE(link->writeBlock(f, kind));
        EXPECT_EQ(link->blockFailure(), ModuleLink::BlockFailure::Refused);
        EXPECT_EQ(link->transferCountdown(), ModuleLink::kWriteTicks);  // no tick was needed
    }
}

// Without sequence numbers on the line, an answer is known to be a frame's
// only by when it came: whatever reached the program before the frame was
// sent answers nothing of it, and a refusal heard beside an acceptance wins.
TEST_F(LinkTest, AnAnswerCountsOnlyForTheFrameSentBeforeIt) {
    BlockFrame f{};
    sealFrame(f, 1);

    // A "WROK" that was already in the port's buffer: heard first, cleared.
    line.arrive("WROK\r");
    during([&] { ticks->fire(ModuleLink::kWriteTicks); });
    EXPECT_FALSE(link->writeBlock(f));
    EXPECT_EQ(link->blockFailure(), ModuleLink::BlockFailure::NoAnswer);

    // A line under way when the frame went out ends after it: still not its answer.
    link->feedReceived("WRO");
    line.answer = [](const std::string& l) { return l == "WRFL" ? "" : std::string("K\r"); };
    during([&] { ticks->fire(ModuleLink::kWriteTicks); });
    EXPECT_FALSE(link->writeBlock(f));
    EXPECT_EQ(link->blockFailure(), ModuleLink::BlockFailure::NoAnswer);

    // "WROK" repeated from before and the module's own "WRFLERR" together.
    line.answer = [](const std::string& l) { return l == "WRFL" ? "" : std::string("WROK\rWRFLERR\r"); };
    EXPECT_FALSE(link->writeBlock(f));
    EXPECT_EQ(link->blockFailure(), ModuleLink::BlockFailure::Refused);

    // The same for the commit and a block read: a stale "CRCOK" or frame.
    line.answer = nullptr;
    line.arrive("CRCOK\r" + moduleBlock(2, 0x44));
    during([&] { ticks->fire(ModuleLink::kCommitTicks); });
    EXPECT_FALSE(link->commitWrite());
    during([&] { ticks->fire(ModuleLink::kReadTicks); });
    EXPECT_FALSE(link->readBlock(2, true));
    EXPECT_EQ(link->blockFailure(), ModuleLink::BlockFailure::NoAnswer);
    // The receivers still heard the lines.
    EXPECT_EQ(link->lastBlock()[0], 0x44);
}

TEST_F(LinkTest, AStoppedWaitEndsItsOperationAtOnceAsStopped) {
    BlockFrame f{};
    sealFrame(f, 0);
    during([&] { link->stopWait(); });
    EXPECT_FALSE(link->writeBlock(f));
    EXPECT_EQ(link->blockFailure(), ModuleLink::BlockFailure::Stopped);
    during([&] { link->stopWait(); });
    EXPECT_FALSE(link->readBlock(0, true));
    EXPECT_EQ(link->blockFailure(), ModuleLink::BlockFailure::Stopped);
    EXPECT_EQ(link->transferCountdown(), ModuleLink::kReadTicks);
    link->stopWait();  // nothing waits: nothing happens
    EXPECT_FALSE(link->waiting());
}

// --- sending and the periodic login -------------------------------------------

TEST_F(LinkTest, NothingIsSentOrLoggedWithoutALink) {
    std::vector<QString> log;
    QObject::connect(link.get(), &ModuleLink::trafficLogged,
                     [&](const QString& t) { log.push_back(t); });
    link->sendLoggedCommand("AT");
    EXPECT_EQ(log, std::vector<QString>{"------> AT"});
    line.close();
    link->sendLoggedCommand("AT");
    link->sendCodedCommand(coded::Login);
    link->sendHexByte(0xAB);
    codeTicks->fire();
    EXPECT_EQ(line.written, "AT\r");
    EXPECT_EQ(log.size(), 1u);
}

TEST_F(LinkTest, PeriodicLoginSendsTheCurrentCodeAndStopsDuringAConversation) {
    codeTicks->fire();
    link->setInstallerCode("9");
    codeTicks->fire();
    EXPECT_EQ(line.lines, (std::vector<std::string>{"RPWDEDCB00", "RPWD600000"}));
    {
        ModuleLink::Conversation c(*link);
        ASSERT_TRUE(c);
        codeTicks->fire();
        EXPECT_EQ(line.lines.size(), 2u);
    }
    EXPECT_TRUE(link->codeTimerEnabled());
    link->feedReceived("CONNECT\r");
    EXPECT_EQ(statusLines.back().toStdString(), " Távoli kapcsolat rendben.");
}

// --- one conversation at a time ----------------------------------------------------

TEST_F(LinkTest, ASecondConversationDuringAWaitIsRefusedAndTheFirstCompletes) {
    line.answer = [](const std::string& l) {
        return l.rfind("RPWD", 0) == 0 ? std::string("PWDOK\r") : std::string();
    };
    bool secondGranted = true;
    bool secondLogin = true;
    QTimer::singleShot(0, [&] {
        ModuleLink::Conversation second(*link);
        secondGranted = bool(second);
        secondLogin = link->installerLogin();
    });
    ModuleLink::Conversation first(*link);
    ASSERT_TRUE(first);
    line.answer = nullptr;  // the first login is answered late, below
    QTimer::singleShot(1, [&] { link->feedReceived("PWDOK\r"); });
    EXPECT_TRUE(link->installerLogin());
    EXPECT_FALSE(secondGranted);
    EXPECT_FALSE(secondLogin);
    EXPECT_EQ(line.count("RPWD"), 1);
    ASSERT_FALSE(messenger.messages.empty());
    EXPECT_NE(messenger.messages[0].indexOf(QString::fromUtf8("folyamatban")), -1);
}

// --- alarm stop ---------------------------------------------------------------

TEST_F(LinkTest, AlarmStopAsksFirstThenReportsAMissingLink) {
    messenger.answerYes = false;
    EXPECT_FALSE(link->alarmStop());
    EXPECT_TRUE(line.lines.empty());
    EXPECT_TRUE(messenger.messages.empty());

    messenger.answerYes = true;
    line.close();
    EXPECT_FALSE(link->alarmStop());
    EXPECT_EQ(messenger.questions.size(), 2u);
    EXPECT_EQ(messenger.messages, QStringList{QString::fromUtf8(" Nincs soros kapcsolat.")});
}

TEST_F(LinkTest, AlarmStopReportsEachAnswerOnce) {
    line.answer = [](const std::string&) { return std::string("PWDERR\r"); };
    EXPECT_FALSE(link->alarmStop());
    EXPECT_EQ(line.lines, std::vector<std::string>{"RSTPEDCB00"});
    ASSERT_EQ(messenger.messages.size(), 1u);
    EXPECT_EQ(messenger.messages[0].toStdString(), " Hibás telepítői azonosító!");
    EXPECT_TRUE(statusLines.back().isEmpty());

    line.answer = [](const std::string&) { return std::string("PWDOK\r"); };
    EXPECT_TRUE(link->alarmStop());
    EXPECT_EQ(messenger.messages.back().toStdString(), "Riasztási események leállítva!");
}

TEST_F(LinkTest, AlarmStopReportsItsRunOnlyAfterTheQuestionWasAnswered) {
    std::vector<bool> running;
    auto hear = [&running](bool r) { running.push_back(r); };
    messenger.answerYes = false;
    link->alarmStop(hear);
    EXPECT_TRUE(running.empty());  // the button stays usable while asking

    messenger.answerYes = true;
    line.answer = [](const std::string&) { return std::string("PWDOK\r"); };
    link->alarmStop(hear);
    EXPECT_EQ(running, (std::vector<bool>{true, false}));
}

TEST_F(LinkTest, PeriodicLoginCannotPassForAConfirmedAlarmStop) {
    // The module answers logins but ignores the stop.
    line.answer = [](const std::string& l) {
        return l.rfind("RPWD", 0) == 0 ? std::string("PWDOK\r") : std::string();
    };
    during([&] {
        codeTicks->fire();  // a periodic login falls due during the wait
        ticks->fire(ModuleLink::kAlarmStopTicks);
    });
    EXPECT_FALSE(link->alarmStop());
    EXPECT_EQ(line.count("RPWD"), 0);
    EXPECT_EQ(messenger.messages.back().toStdString(), "A modul nem válaszol!");
    EXPECT_TRUE(link->codeTimerEnabled());
}

// --- version query ------------------------------------------------------------

TEST_F(LinkTest, VersionQueryLogsInReadsFfffAndFormatsTheLine) {
    line.answer = [](const std::string& l) {
        if (l.rfind("RPWD", 0) == 0) return std::string("PWDOK\r");
        return versionBlock("GSM-Corvanta 2.31", "2");
    };
    link->askVersion();
    EXPECT_EQ(line.lines, (std::vector<std::string>{"RPWDEDCB00", "RDFLFFFF"}));
    ASSERT_EQ(messenger.messages.size(), 1u);
    EXPECT_EQ(messenger.messages[0].toStdString(),
              "Programverzió: GSM-Corvanta 2.31       (DataVer=2)");
    EXPECT_EQ(link->dataVersion(), 2);
    EXPECT_TRUE(statusLines.back().isEmpty());
    EXPECT_TRUE(link->codeTimerEnabled());
}

TEST(VersionBlock, FieldsEndAtZeroOrAfterThirtyThreeCharacters) {
    BlockFrame f{};
    const std::string text(32, 'v');
    std::copy(text.begin(), text.end(), f.begin());
    f[32] = '2';
    f[33] = '1';
    VersionInfo info = parseVersionBlock(f);
    EXPECT_EQ(info.text, text + "2");  // runs into the first digit
    EXPECT_EQ(info.dataVersion, 21);

    BlockFrame empty{};
    EXPECT_EQ(parseVersionBlock(empty).dataVersion, 0);
    BlockFrame junk{};
    junk[32] = '2';
    junk[33] = 'x';
    EXPECT_EQ(parseVersionBlock(junk).dataVersion, 0);
}

TEST_F(LinkTest, VersionQueryFailuresGiveTheirTextStatusLineAndDataVersion) {
    const std::string timeOut =
        "A modul nem válaszol! Állítsa le a riasztási eseményeket és próbálja újra!";
    struct Row {
        const char* what;
        std::function<std::string(const std::string&)> module;
        std::string result;
        std::string status;
        std::int32_t dataVersion;
    } rows[] = {
        {"login unanswered", [](const std::string&) { return std::string(); }, timeOut,
         "Leolvasás sikertelen.", 7},
        {"PWDERR during the block wait",
         [](const std::string& l) { return std::string(l == "RDFLFFFF" ? "PWDERR\r" : "PWDOK\r"); },
         "", "Leolvasás sikertelen.", 7},
        {"no data version digits",
         [](const std::string& l) {
             return l == "RDFLFFFF" ? versionBlock("V1", "") : std::string("PWDOK\r");
         },
         "Programverzió: V1       (DataVer=0)", "", 0},
    };
    for (const Row& row : rows) {
        link->setDataVersion(7);
        line.answer = row.module;
        if (row.result == timeOut) during([&] { ticks->fire(ModuleLink::kLoginTicks); });
        EXPECT_EQ(link->queryModuleVersion().toStdString(), row.result) << row.what;
        EXPECT_EQ(link->statusLine().toStdString(), row.status) << row.what;
        EXPECT_EQ(link->dataVersion(), row.dataVersion) << row.what;
    }
}
