// The clock and radio teaching windows in the whole program, opened by the
// main window's buttons, against the simulated module.

#include "tests/ui/program_fixture.h"

#include <QGroupBox>
#include <QProgressBar>

#include "ui/service/clock_window.h"
#include "ui/service/radio_window.h"
#include "ui/service/status_window.h"

namespace corvanta::testing {
namespace {

const QString kRefused =
    "A rádiós eszközök tanítása és törlése telefonos kapcsolaton keresztül nem engedélyezett, csak "
    "közvetlen soros kapcsolat esetén";

class ClockRadioTest : public ProgramTest {
protected:
    RadioWindow* radio() const { return program->radioWindow(); }
    ClockWindow* clock() const { return program->clockWindow(); }

    void frame(std::initializer_list<std::pair<int, int>> bytes, std::size_t length = 85) {
        std::string line = "AT_<" + std::string(80, '0') + ">";
        for (auto [i, v] : bytes) {
            line[4 + 2 * i] = "0123456789ABCDEF"[v >> 4];
            line[5 + 2 * i] = "0123456789ABCDEF"[v & 15];
        }
        radio()->showRadioFrame(QByteArray::fromStdString(line.substr(0, length)));
    }

    // Every caption is wide enough for its text.
    static void expectNothingClipped(QWidget* window) {
        window->show();
        QApplication::processEvents();
        for (auto* b : window->findChildren<QPushButton*>())
            EXPECT_GE(b->width(), b->fontMetrics().horizontalAdvance(b->text())) << b->objectName().toStdString();
        for (auto* l : window->findChildren<QLabel*>())
            EXPECT_GE(l->contentsRect().width(), l->fontMetrics().horizontalAdvance(l->text()))
                << l->objectName().toStdString();
        window->hide();
    }
};

TEST_F(ClockRadioTest, ClockButtonOpensTheClockWindowModallyWithTheLoginRunning) {
    EXPECT_EQ(clock()->windowTitle(), "GSM-Corvanta - Óra ellenőrzése / beállítása");
    EXPECT_EQ(find(clock(), "btReadClock")->text(), "Dátum és idő leolvasása a modulról");
    EXPECT_EQ(find(clock(), "btSetTime")->text(), "A modul órájának beállítása a számítógép órája alapján");
    expectNothingClipped(clock());

    connectTo(kDirect);
    bool checked = false;
    QTimer::singleShot(0, clock(), [&] {
        EXPECT_TRUE(clock()->isModal());
        EXPECT_TRUE(program->link().codeTimerEnabled());
        find(clock(), "btReadClock")->click();
        EXPECT_TRUE(find(clock(), "btReadClock")->isEnabled());
        EXPECT_EQ(clock()->statusText(), "");
        find(clock(), "btSetTime")->click();
        EXPECT_EQ(clock()->statusText(), "Az óra beállítva.");
        checked = true;
        find(clock(), "btClose")->click();
    });
    click(main(), "btClock");
    EXPECT_TRUE(checked);
    ASSERT_EQ(messenger.shown.size(), 1u);
    EXPECT_TRUE(messenger.shown[0].text.startsWith("A modul órája: "));
    EXPECT_TRUE(program->link().codeTimerEnabled());
}

TEST_F(ClockRadioTest, RadioWindowHasItsSlotsInWrittenOrderWithTheirTags) {
    EXPECT_EQ(radio()->windowTitle(), "Rádiós eszközök tanítása");
    EXPECT_EQ(find<QGroupBox>(radio(), "gbSensors")->title(), " Rádiós szenzorok ");
    EXPECT_EQ(find<QGroupBox>(radio(), "gbRFUsers")->title(), " Rádiós távvezérlők ");
    EXPECT_EQ(find<QLabel>(radio(), "PanelUser12")->text(), "12.Felh.");
    EXPECT_EQ(find<QLabel>(radio(), "lbA1")->text(), ".");
    for (int n = 1; n <= 12; ++n) {
        EXPECT_EQ(find(radio(), qPrintable(QStringLiteral("btTeachA%1").arg(n)))->property("tag").toInt(), n);
        EXPECT_EQ(find(radio(), qPrintable(QStringLiteral("btTeachB%1").arg(n)))->property("tag").toInt(), 12 + n);
        EXPECT_EQ(find(radio(), qPrintable(QStringLiteral("btTeachUser%1").arg(n)))->property("tag").toInt(), 24 + n);
    }
    expectNothingClipped(radio());
    // Inputs left to right, A above B.
    auto at = [this](const char* name) { return find<QFrame>(radio(), name)->mapTo(radio(), QPoint()); };
    EXPECT_LT(at("PanelA1").x(), at("PanelA2").x());
    EXPECT_LT(at("PanelA1").y(), at("PanelB1").y());
}

TEST_F(ClockRadioTest, RadioFrameColoursEachSlotPanelAndShowsTheSignal) {
    frame({{0, 0x01}, {1, 0x05}, {12, 0x80}, {13, 0x88}, {35, 0x79}, {36, 0x85}, {37, 47}});
    EXPECT_EQ(radio()->slotColour(0), QColor(0, 128, 128));
    EXPECT_EQ(find<QLabel>(radio(), "lbA2")->text(), "<7V");
    EXPECT_EQ(radio()->slotColour(1), QColor(255, 255, 0));
    EXPECT_EQ(find<QLabel>(radio(), "lbA6")->text(), "Tanulás");  // slot 5 by the marker
    EXPECT_EQ(radio()->slotColour(5), QColor(0, 0, 255));
    EXPECT_EQ(radio()->slotColour(12), QColor(255, 0, 0));
    EXPECT_EQ(find<QLabel>(radio(), "lbB2")->text(), "1");
    EXPECT_EQ(find<QLabel>(radio(), "lbU12")->text(), "F");
    EXPECT_EQ(radio()->slotColour(7), RadioWindow::colourOf(SlotColour::ButtonFace));
    EXPECT_EQ(find<QLabel>(radio(), "lbRFval")->text(), "47");
    EXPECT_EQ(find<QProgressBar>(radio(), "pbRFTerero")->value(), 47);

    // A frame cut short changes nothing; a strength past the bar fills it.
    frame({{37, 3}}, 84);
    EXPECT_EQ(radio()->slotText(5), "Tanulás");
    frame({{37, 200}});
    EXPECT_EQ(find<QLabel>(radio(), "lbRFval")->text(), "200");
    EXPECT_EQ(find<QProgressBar>(radio(), "pbRFTerero")->value(), 63);
}

TEST_F(ClockRadioTest, RadioButtonSwapsTheLoginForTheRadioPollWhileItsWindowIsOpen) {
    connectTo(kDirect);
    program->link().flags().radioTeachRefused = true;  // left over from before
    program->statusWindow()->monitor().setPolling(true);
    bool checked = false;
    QTimer::singleShot(0, radio(), [&] {
        EXPECT_TRUE(radio()->isModal());
        EXPECT_FALSE(program->link().codeTimerEnabled());
        EXPECT_TRUE(radio()->teaching().polling());
        EXPECT_FALSE(program->statusWindow()->monitor().polling());
        EXPECT_EQ(radio()->teaching().rfPause(), 0);
        EXPECT_FALSE(program->link().flags().radioTeachRefused);
        // RFTimer ticks by hand: the poll's frame reaches the open window.
        radio()->teaching().rfTimerTimer();
        EXPECT_TRUE(QTest::qWaitFor([&] { return radio()->slotText(11) == "<7V"; }, 5000));
        // btTeachA11 (tag 11) teaches slot 10, whose character is ":".
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout, [&] { radio()->teaching().rfTimerTimer(); });
        ticker.start(0);
        find(radio(), "btTeachA11")->click();
        EXPECT_TRUE(QTest::qWaitFor([&] { return radio()->slotText(10) == "Tanulás"; }, 5000));
        ticker.stop();
        checked = true;
        radio()->reject();
    });
    click(main(), "btRFlearn");
    EXPECT_TRUE(checked);
    EXPECT_FALSE(radio()->teaching().polling());
    EXPECT_TRUE(program->link().codeTimerEnabled());
    EXPECT_EQ(messenger.texts(),
              QStringList({"Biztosan el szeretné indítani a tanítást?\nTanítás helye: IN11 'A' szenzor"}));

    // Found off: closing the window leaves it off.
    program->link().setCodeTimerEnabled(false);
    QTimer::singleShot(0, radio(), [&] { radio()->reject(); });
    click(main(), "btRFlearn");
    EXPECT_FALSE(program->link().codeTimerEnabled());
}

TEST_F(ClockRadioTest, RadioTeachingThroughTheModemIsRefusedByTheModule) {
    type("edPhoneNr", QString::fromLatin1(DemoModule::kModemNumber));
    connectTo(kModem);
    click(main(), "btDial");
    ASSERT_TRUE(program->link().flags().remoteConnected);
    QTimer::singleShot(0, radio(), [&] {
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout, [&] { radio()->teaching().rfTimerTimer(); });
        ticker.start(0);
        find(radio(), "btTeachB3")->click();
        // The refusal is the timer's to show, whenever the answer comes.
        EXPECT_TRUE(QTest::qWaitFor([&] { return messenger.texts().contains(kRefused); }, 5000));
        ticker.stop();
        radio()->reject();
    });
    click(main(), "btRFlearn");
    EXPECT_EQ(messenger.texts().count(kRefused), 1);
    EXPECT_EQ(messenger.texts().count(), 2);  // the question, the refusal
    EXPECT_FALSE(program->link().flags().radioTeachRefused);
}

}  // namespace
}  // namespace corvanta::testing
