#include "link/modem_call.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>

#include "link/module_link.h"
#include "tests/link/scripted_line.h"
#include "tests/support/qt_core_app.h"
#include "tests/support/recording_messenger.h"

using namespace corvanta;
using corvanta::testing::RecordingMessenger;
using corvanta::testing::ScriptedLine;

namespace {

// A modem that answers as told; "ATD" gets `dialAnswer`.
struct Modem {
    bool answersAt = true;
    bool answersAth = true;
    std::string dialAnswer = "CONNECT\r";
    std::string operator()(const std::string& line) const {
        if (line == "AT") return answersAt ? "OK\r" : "";
        if (line == "ATH") return answersAth ? "OK\r" : "";
        if (line.rfind("ATD", 0) == 0) return dialAnswer;
        return "";
    }
};

class ModemCallTest : public ::testing::Test {
protected:
    ModemCallTest() {
        ensureQtCoreApp();
        auto transfer = std::make_unique<ManualTickSource>();
        auto code = std::make_unique<ManualTickSource>();
        codeTicks = code.get();
        link = std::make_unique<ModuleLink>(std::move(transfer), std::move(code));
        link->setTransport(&line);
        link->setMessenger(&messenger);
        link->setInstallerCode("1234");
        auto delay = std::make_unique<ManualTickSource>();
        delayTicks = delay.get();
        modem = std::make_unique<ModemCall>(*link, std::move(delay));
        line.open(nullptr);
        line.answer = std::ref(script);
        QObject::connect(link.get(), &ModuleLink::statusLineChanged,
                         [this](const QString& t) { statusLines.push_back(t); });
        // Time runs fast: one delay tick each time the event loop comes round.
        QObject::connect(&clock, &QTimer::timeout, [this] {
            if (modem->waiting()) {
                ++ticksUsed;
                delayTicks->fire();
            }
        });
        clock.start(0);
    }

    int count(const std::string& s) const {
        int n = 0;
        for (const auto& l : line.lines) n += l == s;
        return n;
    }

    Modem script;
    ScriptedLine line;
    RecordingMessenger messenger;
    ManualTickSource* codeTicks = nullptr;
    ManualTickSource* delayTicks = nullptr;
    std::unique_ptr<ModuleLink> link;
    std::unique_ptr<ModemCall> modem;
    QTimer clock;
    int ticksUsed = 0;
    std::vector<QString> statusLines;
};

TEST_F(ModemCallTest, DialSendsTwoAtsThenTheNumberAsTypedAndEndsOnConnect) {
    EXPECT_TRUE(modem->dial("06 1/234-567"));
    EXPECT_EQ(line.lines, (std::vector<std::string>{"AT", "AT", "ATD06 1/234-567"}));
    EXPECT_EQ(statusLines.front(), "Tárcsázás...");
    EXPECT_EQ(statusLines.back(), " Távoli kapcsolat rendben.");
    EXPECT_TRUE(link->codeTimerEnabled());
    EXPECT_TRUE(messenger.messages.empty());
}

TEST_F(ModemCallTest, ALineThatAnswersAsAModemHoldsNoCallUntilADialBringsOneUp) {
    const std::string moduleSilent = "A modul nem válaszol!";
    const std::string dialFirst = "A soros vonalon modem van, de nincs hívás: előbb tárcsázza a modult (Tárcsázás)!";
    auto said = [&] { return link->noAnswerText(moduleSilent.c_str()).toStdString(); };
    line.deliver("PWDOK\r");  // the module's own words tell nothing of a modem
    QCoreApplication::processEvents();
    EXPECT_FALSE(modem->modemLine());
    EXPECT_EQ(said(), moduleSilent);

    line.deliver("\r\nERROR\r\n");  // what a modem in command mode says to a login
    QCoreApplication::processEvents();
    EXPECT_TRUE(modem->modemLine());
    EXPECT_TRUE(link->modemIdle());
    EXPECT_EQ(said(), dialFirst);

    EXPECT_TRUE(modem->dial("123"));
    EXPECT_FALSE(link->modemIdle());
    EXPECT_EQ(said(), moduleSilent);
    line.deliver("NO CARRIER\r");  // the far end hung up
    QCoreApplication::processEvents();
    EXPECT_FALSE(modem->callActive());
    EXPECT_EQ(said(), dialFirst);

    // A line that closes, or another port, is a line not yet heard.
    link->serialDisconnect();
    EXPECT_FALSE(modem->modemLine());
    EXPECT_FALSE(link->modemIdle());
    line.open(nullptr);
    modem->hangUp();  // answered "OK": a modem
    EXPECT_TRUE(link->modemIdle());
    modem->lineReplaced();
    EXPECT_FALSE(modem->modemLine());
    EXPECT_FALSE(link->modemIdle());
}

TEST_F(ModemCallTest, DialRefusesWithoutCodeOrUsableNumberAndSendsNothing) {
    link->setInstallerCode("ab");
    EXPECT_FALSE(modem->dial("123"));
    link->setInstallerCode("1234");
    EXPECT_FALSE(modem->dial(""));
    // A number that would carry a second modem command, or any character
    // no dial string holds.
    EXPECT_FALSE(modem->dial("0612345\rATH"));
    EXPECT_FALSE(modem->dial("0612345H"));
    ASSERT_EQ(messenger.messages.size(), 4u);
    EXPECT_EQ(messenger.messages[0], "Tárcsázás előtt adja meg a hívandó Corvanta modul TELEPÍTŐI AZONOSÍTÓJÁT.");
    EXPECT_EQ(messenger.messages[1], "Tárcsázás előtt adja meg a hívandó Corvanta modul TELEFONSZÁMÁT.");
    EXPECT_TRUE(messenger.messages[2].startsWith("A telefonszám csak számjegyeket"));
    EXPECT_TRUE(line.lines.empty());
}

TEST_F(ModemCallTest, DialWithoutLinkSaysSoAndEndsWithNoCall) {
    line.close();
    EXPECT_FALSE(modem->dial("123"));
    EXPECT_EQ(messenger.messages, QStringList{" Nincs soros kapcsolat."});
    EXPECT_EQ(statusLines.back(), "Nincs kapcsolat!");
    EXPECT_EQ(ticksUsed, 0);
}

TEST_F(ModemCallTest, SilentModemGetsEightAtsNoDialAndTheFullConnectWait) {
    script.answersAt = false;
    EXPECT_FALSE(modem->dial("123"));
    EXPECT_EQ(count("AT"), 8);
    EXPECT_EQ(line.count("ATD"), 0);
    EXPECT_EQ(ticksUsed, 8 * ModemCall::kAtAnswerTicks + ModemCall::kConnectTicks);
    EXPECT_EQ(statusLines.back(), "Nincs kapcsolat!");
    EXPECT_TRUE(link->codeTimerEnabled());
}

TEST_F(ModemCallTest, NoConnectWithinTwentySecondsEndsWithNoCall) {
    script.dialAnswer = "NO CARRIER\r";
    int ticksAtDial = -1;
    line.answer = [&](const std::string& l) {
        if (l.rfind("ATD", 0) == 0) ticksAtDial = ticksUsed;
        return script(l);
    };
    EXPECT_FALSE(modem->dial("123"));
    EXPECT_EQ(line.count("ATD"), 1);
    EXPECT_EQ(ticksUsed - ticksAtDial, ModemCall::kConnectTicks);
    EXPECT_EQ(statusLines.back(), "Nincs kapcsolat!");
}

TEST_F(ModemCallTest, HangUpInCommandModeNeedsNoEscape) {
    modem->hangUp();
    EXPECT_EQ(line.lines, (std::vector<std::string>{"ATH", "ATH"}));
    EXPECT_EQ(statusLines, (std::vector<QString>{"Vonal bontás...", " Vonal bontva."}));
    EXPECT_TRUE(link->codeTimerEnabled());
}

TEST_F(ModemCallTest, HangUpWithNoAnswersEscapesAndTriesElevenTimes) {
    script.answersAth = false;
    modem->hangUp();
    int sent = 0;
    for (auto at = line.written.find("ATH\r"); at != std::string::npos; at = line.written.find("ATH\r", at + 1)) ++sent;
    EXPECT_EQ(sent, 11);
    EXPECT_EQ(line.written.find("+++"), line.written.rfind("+++"));
    // "+++" goes out after the third "ATH" and before the fourth, with no CR.
    EXPECT_NE(line.written.find("ATH\rATH\rATH\r+++ATH\r"), std::string::npos);
    EXPECT_EQ(ticksUsed, 3 * 15 + 20 + 20 + 7 * 6 + 20);
    // No "OK" ever came: the line is not reported as cleared.
    EXPECT_EQ(statusLines.back(), " A modem nem igazolta a vonal bontását!");
}

TEST_F(ModemCallTest, HangUpConfirmedOnlyAtTheLastAttemptCountsAsCleared) {
    script.answersAth = false;
    int athSent = 0;
    line.answer = [&](const std::string& l) {
        athSent += l.ends_with("ATH");  // one goes out as "+++ATH"
        return athSent == 11 ? std::string("OK\r") : script(l);
    };
    EXPECT_TRUE(modem->hangUp());
    EXPECT_EQ(statusLines.back(), " Vonal bontva.");
}

TEST_F(ModemCallTest, DialAndHangUpPutThePeriodicLoginBackAsTheyFoundIt) {
    // Off, as inside another window's conversation: neither may switch it on.
    link->setCodeTimerEnabled(false);
    EXPECT_TRUE(modem->hangUp());
    EXPECT_FALSE(link->codeTimerEnabled());
    script.dialAnswer = "NO CARRIER\r";
    EXPECT_FALSE(modem->dial("123"));
    EXPECT_FALSE(link->codeTimerEnabled());
    // A call that comes up switches it on, as "CONNECT" always does.
    script.dialAnswer = "CONNECT\r";
    EXPECT_TRUE(modem->dial("123"));
    EXPECT_TRUE(link->codeTimerEnabled());
}

TEST_F(ModemCallTest, HangUpWithoutLinkSendsNothingAndRestoresTheTimer) {
    line.close();
    modem->hangUp();
    EXPECT_TRUE(line.lines.empty());
    EXPECT_TRUE(statusLines.empty());
    EXPECT_TRUE(link->codeTimerEnabled());
}

TEST_F(ModemCallTest, HangUpDuringDialEndsTheDialAsSoonAsItReturns) {
    script.dialAnswer = "";
    bool pressed = false;
    bool hungUp = false;
    // Pressed while the dial waits for "CONNECT".
    QObject::connect(&clock, &QTimer::timeout, [&] {
        if (line.count("ATD") == 1 && !pressed) {
            pressed = true;
            modem->hangUp();
            hungUp = true;
        }
    });
    EXPECT_FALSE(modem->dial("123"));
    EXPECT_TRUE(hungUp);
    EXPECT_LT(ticksUsed, 20);
    EXPECT_EQ(count("ATH"), 2);
    EXPECT_EQ(statusLines.back(), "Nincs kapcsolat!");
    EXPECT_TRUE(modem->waitCancelled());
}

TEST_F(ModemCallTest, ClosingTheMainWindowEndsADialAtOnce) {
    script.answersAt = false;
    clock.stop();  // no ticks at all: only the cancel can end the waits
    bool stuck = false;
    QTimer::singleShot(0, [&] { modem->cancelWaits(); });
    QTimer::singleShot(5000, [&] {  // guard against a hang if the cancel is ignored
        stuck = true;
        while (modem->waiting()) delayTicks->fire(1000);
    });
    EXPECT_FALSE(modem->dial("123"));
    EXPECT_FALSE(stuck);
    EXPECT_EQ(count("AT"), 2);  // the attempts stop; the final "AT" still goes
    EXPECT_EQ(line.count("ATD"), 0);
    EXPECT_EQ(statusLines.back(), "Nincs kapcsolat!");
}

TEST_F(ModemCallTest, DialHoldsTheLinkSoNoTransferStartsMeanwhile) {
    script.dialAnswer = "";
    bool refused = false;
    QObject::connect(&clock, &QTimer::timeout, [&] {
        if (line.count("ATD") == 1 && !refused) {
            ModuleLink::Conversation other(*link);
            refused = !other;
            modem->cancelWaits();
        }
    });
    modem->dial("123");
    EXPECT_TRUE(refused);
}

}  // namespace
