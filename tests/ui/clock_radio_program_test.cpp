// The main window's clock and radio teaching buttons in the whole program.

#include "tests/ui/program_fixture.h"

#include "ui/clock_window.h"
#include "ui/radio_window.h"

namespace corvanta::testing {
namespace {

using ClockRadioProgramTest = ProgramTest;

TEST_F(ClockRadioProgramTest, RadioButtonSwapsTheLoginForTheRadioPollWhileItsWindowIsOpen) {
    connectTo(kDirect);
    RadioWindow* radio = program->radioWindow();
    ASSERT_NE(radio, nullptr);
    program->link().flags().radioTeachRefused = true;  // left over from before
    bool checked = false;
    QTimer::singleShot(0, radio, [&] {
        EXPECT_TRUE(radio->isModal());
        EXPECT_FALSE(program->link().codeTimerEnabled());
        EXPECT_TRUE(radio->teaching().polling());
        EXPECT_EQ(radio->teaching().rfPause(), 0);
        EXPECT_FALSE(program->link().flags().radioTeachRefused);
        // One RFTimer tick by hand: the poll's frame reaches the open window.
        radio->teaching().rfTimerTimer();
        EXPECT_TRUE(QTest::qWaitFor([&] { return radio->slotText(24) != "."; }, 5000));
        checked = true;
        radio->reject();
    });
    click(main(), "btRFlearn");
    EXPECT_TRUE(checked);
    EXPECT_FALSE(radio->teaching().polling());
    EXPECT_TRUE(program->link().codeTimerEnabled());
    EXPECT_TRUE(messenger.shown.empty());
}

TEST_F(ClockRadioProgramTest, RadioTeachingThroughTheModemIsRefusedByTheModule) {
    type("edPhoneNr", QString::fromLatin1(DemoModule::kModemNumber));
    connectTo(kModem);
    click(main(), "btDial");
    ASSERT_TRUE(program->link().flags().remoteConnected);
    RadioWindow* radio = program->radioWindow();
    const QString refused =
        "A rádiós eszközök tanítása és törlése telefonos kapcsolaton keresztül nem engedélyezett, csak "
        "közvetlen soros kapcsolat esetén";
    QTimer::singleShot(0, radio, [&] {
        // RFTimer ticks by hand, one each time round the loop.
        auto tick = [&] { radio->teaching().rfTimerTimer(); };
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout, tick);
        ticker.start(0);
        find(radio, "btTeachB3")->click();
        // The refusal is the timer's to show, whenever the answer comes.
        EXPECT_TRUE(QTest::qWaitFor([&] { return messenger.texts().contains(refused); }, 5000));
        ticker.stop();
        radio->reject();
    });
    click(main(), "btRFlearn");
    EXPECT_EQ(messenger.texts().count(refused), 1);
    EXPECT_EQ(messenger.texts().count(), 2);  // the question, the refusal
    EXPECT_FALSE(program->link().flags().radioTeachRefused);
}

TEST_F(ClockRadioProgramTest, ClockButtonOpensTheClockWindowModallyWithTheLoginRunning) {
    connectTo(kDirect);
    ClockWindow* clock = program->clockWindow();
    ASSERT_NE(clock, nullptr);
    bool checked = false;
    QTimer::singleShot(0, clock, [&] {
        EXPECT_TRUE(clock->isModal());
        EXPECT_TRUE(program->link().codeTimerEnabled());
        find(clock, "btReadClock")->click();
        checked = true;
        clock->reject();
    });
    click(main(), "btClock");
    EXPECT_TRUE(checked);
    ASSERT_EQ(messenger.shown.size(), 1u);
    EXPECT_TRUE(messenger.shown[0].text.startsWith("A modul órája: "));
    EXPECT_TRUE(program->link().codeTimerEnabled());
}

}  // namespace
}  // namespace corvanta::testing
