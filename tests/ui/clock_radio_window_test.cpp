// The clock and radio teaching windows driven by their buttons against the
// simulated module in the same process, every tick fired by hand.

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "link/installer_code.h"
#include "link/module_link.h"
#include "link/tick_source.h"
#include "sim/sim_module.h"
#include "sim/sim_transport.h"
#include "tests/link/scripted_line.h"
#include "ui/clock_window.h"
#include "ui/radio_window.h"

using namespace corvanta;
using corvanta::testing::RecordingMessenger;

namespace {

const std::string kCode = encodeInstallerCode("1234");

std::string radioLine(std::initializer_list<std::pair<int, int>> bytes) {
    std::string hex(80, '0');
    for (auto [i, v] : bytes) {
        hex[2 * i] = "0123456789ABCDEF"[v >> 4];
        hex[2 * i + 1] = "0123456789ABCDEF"[v & 15];
    }
    return "AT_<" + hex + ">";
}

class WindowTest : public ::testing::Test {
protected:
    WindowTest() {
        auto transfer = std::make_unique<ManualTickSource>();
        auto code = std::make_unique<ManualTickSource>();
        auto rf = std::make_unique<ManualTickSource>();
        transferTicks = transfer.get();
        codeTicks = code.get();
        rfTicks = rf.get();
        link = std::make_unique<ModuleLink>(std::move(transfer), std::move(code));
        link->setMessenger(&messenger);
        link->setInstallerCode("1234");
        sim::ModuleSettings settings;
        settings.startTime = QDateTime(QDate(2024, 3, 15), QTime(8, 5, 12));
        module = std::make_unique<sim::SimModule>(std::move(settings), [] { return std::int64_t(0); });
        QObject::connect(module.get(), &sim::SimModule::traffic, [this](char dir, const QByteArray& l) {
            if (dir == '<') received.push_back(l.toStdString());
        });
        line = std::make_unique<sim::SimTransport>(module.get());
        link->setTransport(line.get());
        link->serialConnect();
        clock = std::make_unique<ClockWindow>(*link, [] { return QDateTime(QDate(2026, 2, 7), QTime(21, 4, 50)); });
        radio = std::make_unique<RadioWindow>(*link, std::move(rf));
        QObject::connect(&fastClock, &QTimer::timeout, [this] {
            if (link->waiting()) transferTicks->fire();
            if (radio->teaching().rfPause() > 1) rfTicks->fire();
        });
        fastClock.start(0);
    }

    template <typename T = QPushButton>
    T* find(QWidget* window, const QString& name) const {
        T* w = window->findChild<T*>(name);
        EXPECT_NE(w, nullptr) << name.toStdString();
        return w;
    }
    int count(const std::string& prefix) const {
        int n = 0;
        for (const auto& l : received) n += l.rfind(prefix, 0) == 0;
        return n;
    }
    void frame(const std::string& text) { radio->showRadioFrame(QByteArray::fromStdString(text)); }

    // Every caption is wide enough for its text.
    static void expectNothingClipped(QWidget* window) {
        window->show();
        QApplication::processEvents();
        for (auto* b : window->findChildren<QPushButton*>())
            EXPECT_GE(b->width(), b->fontMetrics().horizontalAdvance(b->text())) << b->objectName().toStdString();
        for (auto* l : window->findChildren<QLabel*>())
            EXPECT_GE(l->contentsRect().width(), l->fontMetrics().horizontalAdvance(l->text()))
                << l->objectName().toStdString() << " " << l->text().toStdString();
        window->hide();
    }

    RecordingMessenger messenger;
    ManualTickSource* transferTicks = nullptr;
    ManualTickSource* codeTicks = nullptr;
    ManualTickSource* rfTicks = nullptr;
    std::unique_ptr<ModuleLink> link;
    std::unique_ptr<sim::SimModule> module;
    std::unique_ptr<sim::SimTransport> line;
    std::unique_ptr<ClockWindow> clock;
    std::unique_ptr<RadioWindow> radio;
    std::vector<std::string> received;
    QTimer fastClock;
};

}  // namespace

TEST_F(WindowTest, ClockWindowReadsAndSetsTheModuleClock) {
    EXPECT_EQ(clock->windowTitle(), "GSM-Corvanta - Óra ellenőrzése / beállítása");
    EXPECT_EQ(find(clock.get(), "btReadClock")->text(), "Dátum és idő leolvasása a modulról");
    EXPECT_EQ(find(clock.get(), "btSetTime")->text(), "A modul órájának beállítása a számítógép órája alapján");
    EXPECT_EQ(find(clock.get(), "btClose")->text(), "Ablak bezárása");
    expectNothingClipped(clock.get());

    find(clock.get(), "btReadClock")->click();
    ASSERT_EQ(messenger.messages.size(), 1u);
    EXPECT_EQ(messenger.messages[0], "A modul órája: 24/03/15 - 08:05");
    EXPECT_EQ(clock->statusText(), "");
    EXPECT_TRUE(find(clock.get(), "btReadClock")->isEnabled());

    find(clock.get(), "btSetTime")->click();
    EXPECT_EQ(clock->statusText(), "Az óra beállítva.");
    EXPECT_TRUE(find(clock.get(), "btSetTime")->isEnabled());
    EXPECT_EQ(module->moduleTime(), QDateTime(QDate(2026, 2, 7), QTime(21, 4)));
    find(clock.get(), "btReadClock")->click();
    EXPECT_EQ(messenger.messages.back(), "A modul órája: 26/02/07 - 21:04");
    EXPECT_TRUE(link->codeTimerEnabled());

    link->serialDisconnect();
    find(clock.get(), "btSetTime")->click();
    EXPECT_EQ(messenger.messages.back(), " Nincs soros kapcsolat.");
}

TEST_F(WindowTest, RadioWindowHasItsSlotsInWrittenOrderWithTheirTags) {
    EXPECT_EQ(radio->windowTitle(), "Rádiós eszközök tanítása");
    EXPECT_EQ(find<QGroupBox>(radio.get(), "gbSensors")->title(), " Rádiós szenzorok ");
    EXPECT_EQ(find<QGroupBox>(radio.get(), "gbRFUsers")->title(), " Rádiós távvezérlők ");
    EXPECT_EQ(find<QLabel>(radio.get(), "PanelIN12")->text(), "IN12");
    EXPECT_EQ(find<QLabel>(radio.get(), "PanelUser12")->text(), "12.Felh.");
    EXPECT_EQ(find<QLabel>(radio.get(), "lbA1")->text(), ".");
    EXPECT_EQ(find<QLabel>(radio.get(), "lbRFpower")->text(), "Az utolsó rádiós jelzés erőssége (0-63):");
    EXPECT_EQ(find(radio.get(), "btRFDeleteAll")->text(), "Az összes rádiós eszköz törlése");
    for (int n = 1; n <= 12; ++n) {
        EXPECT_EQ(find(radio.get(), QStringLiteral("btTeachA%1").arg(n))->property("tag").toInt(), n);
        EXPECT_EQ(find(radio.get(), QStringLiteral("btTeachB%1").arg(n))->property("tag").toInt(), 12 + n);
        EXPECT_EQ(find(radio.get(), QStringLiteral("btTeachUser%1").arg(n))->property("tag").toInt(), 24 + n);
    }
    // Inputs left to right, A above B.
    radio->show();
    QApplication::processEvents();
    EXPECT_LT(find<QFrame>(radio.get(), "PanelA1")->mapTo(radio.get(), QPoint()).x(),
              find<QFrame>(radio.get(), "PanelA2")->mapTo(radio.get(), QPoint()).x());
    EXPECT_LT(find<QFrame>(radio.get(), "PanelA1")->mapTo(radio.get(), QPoint()).y(),
              find<QFrame>(radio.get(), "PanelB1")->mapTo(radio.get(), QPoint()).y());
    expectNothingClipped(radio.get());
}

TEST_F(WindowTest, RadioFrameColoursEachSlotAndShowsTheSignal) {
    frame(radioLine({{0, 0x01}, {1, 0x05}, {2, 0x09}, {12, 0x80}, {13, 0x88}, {35, 0x79}, {36, 0x85}, {37, 47}}));
    EXPECT_EQ(radio->slotText(0), "OK.");
    EXPECT_EQ(radio->slotColour(0), QColor(0, 128, 128));
    EXPECT_EQ(radio->slotText(1), "<7V");
    EXPECT_EQ(radio->slotColour(1), QColor(255, 255, 0));
    EXPECT_EQ(radio->slotText(2), "1");
    EXPECT_EQ(radio->slotText(5), "Tanulás");  // sensor A of IN6, by the marker
    EXPECT_EQ(radio->slotColour(5), QColor(0, 0, 255));
    EXPECT_EQ(find<QLabel>(radio.get(), "lbA6")->text(), "Tanulás");
    EXPECT_EQ(find<QLabel>(radio.get(), "lbB1")->text(), "-");
    EXPECT_EQ(radio->slotColour(12), QColor(255, 0, 0));
    EXPECT_EQ(find<QLabel>(radio.get(), "lbB2")->text(), "1");
    EXPECT_EQ(find<QLabel>(radio.get(), "lbU12")->text(), "F");
    EXPECT_EQ(radio->slotText(7), "-");
    EXPECT_EQ(radio->slotColour(7), RadioWindow::colourOf(SlotColour::ButtonFace));
    EXPECT_EQ(find<QLabel>(radio.get(), "lbRFval")->text(), "47");
    EXPECT_EQ(find<QProgressBar>(radio.get(), "pbRFTerero")->value(), 47);

    // A frame cut short changes nothing; a strength past the bar fills it.
    frame(radioLine({{37, 3}}).substr(0, 84));
    EXPECT_EQ(radio->slotText(5), "Tanulás");
    frame(radioLine({{37, 200}}));
    EXPECT_EQ(find<QLabel>(radio.get(), "lbRFval")->text(), "200");
    EXPECT_EQ(find<QProgressBar>(radio.get(), "pbRFTerero")->value(), 63);
    EXPECT_EQ(radio->slotText(5), "-");
}

TEST_F(WindowTest, OpenRadioWindowPollsAndTeachesAndClosingPutsTheLoginBack) {
    bool checkedInside = false;
    QTimer::singleShot(0, radio.get(), [&] {
        EXPECT_FALSE(link->codeTimerEnabled());
        EXPECT_TRUE(radio->teaching().polling());
        rfTicks->fire();
        EXPECT_EQ(received.back(), "RPWF" + kCode);
        EXPECT_TRUE(QTest::qWaitFor([&] { return radio->slotText(11) == "<7V"; }, 2000));
        find(radio.get(), "btTeachA11")->click();
        EXPECT_EQ(count("TRF:" + kCode), 1);
        rfTicks->fire();
        EXPECT_TRUE(QTest::qWaitFor([&] { return radio->slotText(10) == "Tanulás"; }, 2000));
        find(radio.get(), "btTeachUser12")->click();
        EXPECT_EQ(count("TRFS" + kCode), 1);
        checkedInside = true;
        find(radio.get(), "btClose")->click();
    });
    radio->openModal();
    EXPECT_TRUE(checkedInside);
    EXPECT_FALSE(radio->teaching().polling());
    EXPECT_TRUE(link->codeTimerEnabled());
    const int polls = count("RPWF");
    rfTicks->fire();
    EXPECT_EQ(count("RPWF"), polls);
}

TEST_F(WindowTest, DeleteAllClearsTheModulesSlots) {
    find(radio.get(), "btRFDeleteAll")->click();  // RFTimer off: the pauses do not wait
    EXPECT_EQ(messenger.questions.size(), 2u);
    EXPECT_EQ(count("DLRF" + kCode), 1);
    QApplication::processEvents();
    EXPECT_EQ(module->radio().slot(24), 0);
}
