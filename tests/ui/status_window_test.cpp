// The status monitor window against the simulated module in the same
// process, with the poll and transfer ticks in the test's hand.

#include <QFile>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <QtCharts/QDateTimeAxis>
#include <QtCharts/QLineSeries>

#include <gtest/gtest.h>

#include "link/module_link.h"
#include "link/tick_source.h"
#include "sim/sim_module.h"
#include "sim/sim_transport.h"
#include "tests/ui/program_fixture.h"
#include "tests/support/recording_messenger.h"
#include "ui/service/status_chart.h"
#include "ui/service/status_window.h"

namespace corvanta {
namespace {

const QByteArray kFullFrame =
    "AT_[00000000000000000000000000000000,22222222222222,0000000000000,<0,100000000,10,O,1,=0,17]";

class StatusWindowTest : public ::testing::Test {
protected:
    StatusWindowTest() {
        module = std::make_unique<sim::SimModule>(sim::ModuleSettings{});
        line = std::make_unique<sim::SimTransport>(module.get());
        auto transfer = std::make_unique<ManualTickSource>();
        auto status = std::make_unique<ManualTickSource>();
        transferTicks = transfer.get();
        statusTicks = status.get();
        link = std::make_unique<ModuleLink>(std::move(transfer), std::make_unique<ManualTickSource>());
        link->setTransport(line.get());
        link->setMessenger(&messages);
        link->setInstallerCode("1234");
        window = std::make_unique<StatusWindow>(*link, names, std::move(status));
        // Waits run out at once: one tick per turn of the loop.
        QObject::connect(&clock, &QTimer::timeout, [this] {
            if (link->waiting()) transferTicks->fire();
            else statusTicks->fire();
        });
    }

    template <typename T = QLabel>
    T* find(const char* name) const {
        T* w = window->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QString text(const char* label) const { return find(label)->text(); }
    QColor colour(const char* label) const { return find(label)->palette().color(QPalette::WindowText); }
    QString cell(int row, int column) const {
        QTableWidgetItem* item = find<QTableWidget>("acgEvSh")->item(row, column);
        return item ? item->text() : QString();
    }
    void receive(const QByteArray& l) {
        link->feedReceived(l + "\r");
        QCoreApplication::processEvents();
    }
    // Poll ticks with the module's answers in between.
    void poll(int ticks) {
        for (int i = 0; i < ticks; ++i) {
            statusTicks->fire();
            QTest::qWait(1);
        }
    }
    void clickRunning(const char* button) {
        clock.start(0);
        find<QPushButton>(button)->click();
        clock.stop();
    }

    corvanta::testing::RecordingMessenger messages;
    std::unique_ptr<sim::SimModule> module;
    std::unique_ptr<sim::SimTransport> line;
    std::unique_ptr<ModuleLink> link;
    ModuleNamesStore names;
    std::unique_ptr<StatusWindow> window;
    ManualTickSource* transferTicks = nullptr;
    ManualTickSource* statusTicks = nullptr;
    QTimer clock;
};

const QColor kRed(255, 0, 0), kGreen(0, 128, 0), kBlack(0, 0, 0), kGrey(128, 128, 128);

// The decoder's values reach the right labels in the right colours; the
// decoding itself is tested on its own.
TEST_F(StatusWindowTest, StatusLineFillsTheLabelsEvenWhileClosed) {
    EXPECT_FALSE(window->isVisible());
    receive(kFullFrame);
    EXPECT_EQ(text("lbINS12"), "Alaphelyzet");
    EXPECT_EQ(colour("lbINS12"), kGreen);
    EXPECT_EQ(text("lbINE7"), "2k");
    EXPECT_EQ(text("lbINEB"), "2k");
    const QString point = QLocale().decimalPoint();
    EXPECT_EQ(text("lbAkku"), "13" + point + "6V / 12" + point + "5V");
    EXPECT_EQ(colour("lbOUT2"), kBlack);
    EXPECT_EQ(text("lbPart1"), "Élesítve");
    EXPECT_EQ(colour("lbPart1"), kRed);
    EXPECT_EQ(find<QProgressBar>("pbTerero")->value(), 31);
    EXPECT_EQ(text("lbTempVal"), "23 C°");

    // A damaged line changes nothing; a kind 1 line shows two decimals, no mains, no temperature.
    QByteArray damaged = kFullFrame;
    damaged[78] = '0';
    damaged[79] = '0';
    receive(damaged);
    EXPECT_EQ(text("lbPart1"), "Élesítve");
    receive("AT_[00000000000000000000000000000000,22222222222222,0000000000000,00,000000000,00,5]");
    EXPECT_EQ(text("lbAkku"), "0" + point + "00V");
    EXPECT_EQ(colour("lbAC"), kGrey);
    EXPECT_EQ(text("lbTempVal"), "");
}

TEST_F(StatusWindowTest, ChartPlotsEachFrameWhileOpenAndSavesItsSeriesAsCsv) {
    receive(kFullFrame);  // closed: not plotted
    window->show();
    const StatusChart* chart = window->chart();
    EXPECT_EQ(chart->curve(StatusChart::Gsm)->count(), 0);
    receive(kFullFrame);
    receive("AT_[00000000000000000000000000000000,22222222222222,0000000000000,<0,000000000,00,5]");
    receive(kFullFrame.left(80));  // damaged: not plotted
    ASSERT_EQ(window->series().samples().size(), 2u);
    EXPECT_EQ(chart->curve(StatusChart::Gsm)->points().value(0).y(), 31);
    EXPECT_EQ(chart->curve(StatusChart::Gsm)->points().value(1).y(), 5);
    EXPECT_EQ(chart->curve(StatusChart::Terminal)->count(), 2);
    EXPECT_DOUBLE_EQ(chart->curve(StatusChart::Terminal)->points().value(1).y(), 12.5);
    // Kind 1 carries no battery voltage and no temperature: those curves skip it.
    EXPECT_EQ(chart->curve(StatusChart::Battery)->count(), 1);
    EXPECT_EQ(chart->curve(StatusChart::Temperature)->count(), 1);
    EXPECT_LE(chart->timeAxis()->min().toMSecsSinceEpoch(), qint64(chart->curve(StatusChart::Gsm)->points()[0].x()));

    QTemporaryDir dir;
    window->reports().setPathChooser([&](ReportFormat, const QString&) { return dir.filePath("series.csv"); });
    find<QPushButton>("btSaveSeries")->click();
    QFile csv(dir.filePath("series.csv"));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    // For a spreadsheet: ';' between fields, decimal commas, CRLF.
    const QByteArray bytes = csv.readAll();
    ASSERT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
    const QStringList lines = QString::fromUtf8(bytes.mid(3)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[1].endsWith(";31;23;13,6;12,5")) << lines[1].toStdString();
    EXPECT_TRUE(lines[2].endsWith(";5;;;12,5"));
    EXPECT_EQ(find<QPushButton>("btSaveSeries")->text(), "Mentés CSV-be");

    // Each opening plots afresh.
    window->hide();
    window->show();
    EXPECT_TRUE(window->series().empty());
    EXPECT_EQ(chart->curve(StatusChart::Gsm)->count(), 0);
    EXPECT_TRUE(messages.texts().isEmpty());
}

TEST(StatusChartTest, AnHourIsPlottedAsMeansOfAFewSeconds) {
    constexpr std::int64_t start = 1'700'000'040'000;  // a whole minute
    StatusSeries series;
    for (int s = 0; s < 3600; ++s) series.add({start + s * 1000, s % 2 ? 10 : 20, 25, 130, 125});
    StatusChart chart;
    chart.showSeries(series);
    const QList<QPointF> gsm = chart.curve(StatusChart::Gsm)->points();
    EXPECT_LE(gsm.size(), 60);
    EXPECT_GE(gsm.size(), 40);
    for (const QPointF& p : gsm) EXPECT_DOUBLE_EQ(p.y(), 15);
    EXPECT_EQ(chart.curve(StatusChart::Battery)->count(), gsm.size());

    series.add({start + 3600 * 1000, 15, 25, 130, 125});  // a new mean: drawn
    chart.showSeries(series);
    EXPECT_DOUBLE_EQ(chart.curve(StatusChart::Gsm)->points().back().y(), 15);
    series.add({start + 3601 * 1000, 31, 25, 130, 125});  // joins it: waits for the next
    chart.showSeries(series);
    EXPECT_DOUBLE_EQ(chart.curve(StatusChart::Gsm)->points().back().y(), 15);
}

TEST(StatusChartTest, WhereNoSampleWasTakenEachCurveBreaksOff) {
    constexpr std::int64_t start = 1'700'000'040'000;
    StatusSeries series;
    for (int s = 0; s < 5; ++s) series.add({start + s * 1000, 10, 25, 130, 125});
    // Polling paused for ~10 s (an alarm stop), then one lone sample, then
    // the poll again.
    series.add({start + 15'000, 20, 25, 130, 125});
    for (int s = 0; s < 3; ++s) series.add({start + 30'000 + s * 1000, 30, std::nullopt, 130, 125});
    StatusChart chart;
    chart.showSeries(series);
    const auto gsm = chart.stretches(StatusChart::Gsm);
    ASSERT_EQ(gsm.size(), 3);
    EXPECT_EQ(gsm[0].size(), 5);
    EXPECT_EQ(gsm[1].size(), 1);
    EXPECT_EQ(gsm[2].size(), 3);
    EXPECT_DOUBLE_EQ(gsm[2].front().y(), 30);
    // No point stands where no sample was: nothing between 5 s and 15 s.
    for (const auto& stretch : gsm)
        for (const QPointF& p : stretch) EXPECT_FALSE(p.x() > start + 4'000 && p.x() < start + 15'000);
    // A stretch without temperatures draws nothing for that curve.
    EXPECT_EQ(chart.stretches(StatusChart::Temperature).size(), 2);

    // Plotted as means of a minute, a pause within a mean is lost in it;
    // a longer one still breaks the curves.
    StatusSeries hour;
    for (int s = 0; s < 3600; s += 5) {
        if ((s > 600 && s < 630) || (s > 1800 && s < 2000)) continue;
        hour.add({start + s * 1000, 10, 25, 130, 125});
    }
    chart.showSeries(hour);
    EXPECT_EQ(chart.stretches(StatusChart::Gsm).size(), 2);

    // Once the series runs on without a gap, the extra stretches empty.
    StatusSeries even;
    for (int s = 0; s < 5; ++s) even.add({start + s * 1000, 10, 25, 130, 125});
    chart.showSeries(even);
    EXPECT_EQ(chart.stretches(StatusChart::Gsm).size(), 1);
    EXPECT_EQ(chart.curve(StatusChart::Gsm)->count(), 5);
}

TEST_F(StatusWindowTest, EventLineFillsTheEightRows) {
    // Row 1: kind 27 by user 2; row 2: kind 31 without a subject; row 3: empty slot.
    QByteArray frame = "AT_{" + QByteArray("1B320F0805000100") + QByteArray("1F350F0805000002") +
                       QByteArray("3032000000000000");
    frame += QByteArray(132 - frame.size(), '0');
    receive(frame);
    EXPECT_EQ(cell(0, 0), "1");
    EXPECT_EQ(cell(0, 1), "03/15 - 08:05");
    EXPECT_EQ(cell(0, 3), "F=2");
    EXPECT_EQ(cell(0, 4), "X");
    EXPECT_EQ(cell(0, 13), "Aktív");
    EXPECT_EQ(cell(1, 3), "--");
    EXPECT_EQ(cell(1, 13), "OK.");
    EXPECT_EQ(cell(2, 1), "");
    EXPECT_EQ(cell(7, 0), "8");
    // A later line with that slot empty leaves no old marks behind.
    receive("AT_{" + QByteArray(128, '0'));
    EXPECT_EQ(cell(0, 4), "");
}

TEST_F(StatusWindowTest, AFrameLikeTheLastChangesNothingAndANewValueStillShows) {
    const QByteArray events = "AT_{1B320F0805000100" + QByteArray(112, '0');
    receive(kFullFrame);
    receive(events);
    QTableWidgetItem* time = find<QTableWidget>("acgEvSh")->item(0, 1);
    const qint64 changes = window->changesShown();
    receive(kFullFrame);
    receive(events);
    EXPECT_EQ(window->changesShown(), changes);

    receive("AT_[00000000000000000000000000000000,22222222222222,0000000000000,<0,000000000,00,5]");
    receive("AT_{1B320F0905000100" + QByteArray(112, '0'));
    EXPECT_GT(window->changesShown(), changes);
    EXPECT_EQ(text("lbGSMpowVal"), "5");
    EXPECT_EQ(text("lbPart1"), "Kikapcsolva");
    EXPECT_EQ(find<QTableWidget>("acgEvSh")->item(0, 1), time);
    EXPECT_EQ(cell(0, 1), "03/15 - 09:05");
}

TEST_F(StatusWindowTest, MessagesAppendAndClear) {
    receive("AT_/GSM t\xE9rer\xF5: 20");
    receive("AT_/");
    const QStringList lines = find<QPlainTextEdit>("Memo1")->toPlainText().split('\n');
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0], "GSM térerő: 20");
    EXPECT_EQ(lines[1], "");
    find<QPushButton>("btClearMsg")->click();
    EXPECT_TRUE(find<QPlainTextEdit>("Memo1")->toPlainText().isEmpty());

    // An empty message is a line of its own even as the first in the box.
    receive("AT_/");
    receive("AT_/");
    receive("AT_/Teszt");
    EXPECT_EQ(find<QPlainTextEdit>("Memo1")->toPlainText(), "\n\nTeszt");
    find<QPushButton>("btClearMsg")->click();
    receive("AT_/");
    receive("AT_/Teszt");
    EXPECT_EQ(find<QPlainTextEdit>("Memo1")->toPlainText(), "\nTeszt");
}

TEST_F(StatusWindowTest, PollShowsTheModuleAndItsPartitionChanges) {
    ASSERT_TRUE(link->serialConnect());
    window->monitor().setPolling(true);
    poll(2);
    EXPECT_NE(text("lbINS1"), ".");
    EXPECT_EQ(text("lbINE12").left(1), "A");  // the module's radio detector
    EXPECT_FALSE(cell(0, 1).isEmpty());
    EXPECT_EQ(text("lbPart1"), "Kikapcsolva");

    find<QPushButton>("btP1ON")->click();
    poll(2);
    EXPECT_EQ(text("lbPart1"), "Élesítve");
    find<QPushButton>("btP1OFF")->click();
    poll(2);
    EXPECT_EQ(text("lbPart1"), "Kikapcsolva");
}

TEST_F(StatusWindowTest, EachPartitionButtonSendsItsOwnCommandAtOnce) {
    std::vector<QByteArray> heard;
    QObject::connect(module.get(), &sim::SimModule::traffic, [&](char direction, const QByteArray& l) {
        if (direction == '<') heard.push_back(l.left(4));
    });
    for (const char* button : {"btP1OFF", "btP2OFF", "btP1ON", "btP2ON"}) find<QPushButton>(button)->click();
    EXPECT_TRUE(heard.empty());  // no link: dropped without a word
    EXPECT_TRUE(messages.texts().isEmpty());
    ASSERT_TRUE(link->serialConnect());
    for (const char* button : {"btP1OFF", "btP2OFF", "btP1ON", "btP2ON"}) find<QPushButton>(button)->click();
    QCoreApplication::processEvents();
    EXPECT_EQ(heard, (std::vector<QByteArray>{"PT1D", "PT2D", "PT1A", "PT2A"}));
    EXPECT_TRUE(messages.texts().isEmpty());
}

TEST_F(StatusWindowTest, AlarmStopGreysItsButtonOnlyOnceTheQuestionWasAnsweredYes) {
    ASSERT_TRUE(link->serialConnect());
    auto* button = find<QPushButton>("btSotpAllAlarm");
    std::vector<bool> enabledWhileAsking;
    messages.whileAsking = [&] { enabledWhileAsking.push_back(button->isEnabled()); };
    bool greyedWhileRunning = false;
    QObject::connect(find<QStatusBar>("StatusBar1"), &QStatusBar::messageChanged, [&](const QString& m) {
        if (!m.isEmpty()) greyedWhileRunning = !button->isEnabled();
    });
    messages.answerYes = false;
    button->click();
    messages.answerYes = true;
    window->monitor().setPolling(true);
    clickRunning("btSotpAllAlarm");
    EXPECT_EQ(enabledWhileAsking, (std::vector<bool>{true, true}));
    EXPECT_TRUE(greyedWhileRunning);
    EXPECT_TRUE(button->isEnabled());
    EXPECT_EQ(messages.messages, QStringList{"Riasztási események leállítva!"});
}

TEST_F(StatusWindowTest, BlankZoneNamesKeepTheInputCaptionOnEveryShow) {
    ModuleNames::Source blocks{};
    blocks[183 + 20 * 2] = 'K';  // zone 3 "K", every other name all zero
    names.replace(ModuleNames::fromBlocks(blocks));
    window->show();
    EXPECT_EQ(text("PanelIN1"), "IN1");
    EXPECT_EQ(text("PanelIN3"), " K");
    EXPECT_EQ(text("PanelIN12"), "IN12");
    window->hide();
    names.replace(ModuleNames{});
    window->show();
    EXPECT_EQ(text("PanelIN3"), "IN3");
}

TEST_F(StatusWindowTest, ZoneNamesBecomeInputCaptions) {
    window->show();
    EXPECT_EQ(text("PanelIN1"), "IN1");
    ASSERT_TRUE(link->serialConnect());
    window->monitor().setPolling(true);
    clickRunning("btLoadZoneNames");
    // As stored: the leading blank of a loaded name, the module's padding after it.
    EXPECT_EQ(text("PanelIN1").trimmed(), "Bejárat");
    EXPECT_TRUE(text("PanelIN1").startsWith(" B"));
    EXPECT_EQ(text("PanelIN12").trimmed(), "Rádiós PIR");
    EXPECT_TRUE(find<QStatusBar>("StatusBar1")->currentMessage().isEmpty());
    EXPECT_TRUE(find<QPushButton>("btLoadZoneNames")->isEnabled());
    EXPECT_TRUE(messages.texts().isEmpty());
}

TEST_F(StatusWindowTest, OpeningHandsThePeriodicLoginToThePollAndBack) {
    ASSERT_TRUE(link->serialConnect());
    EXPECT_TRUE(link->codeTimerEnabled());
    bool pollingWhileOpen = false, loginWhileOpen = true;
    QTimer::singleShot(0, [&] {
        pollingWhileOpen = window->monitor().polling();
        loginWhileOpen = link->codeTimerEnabled();
        find<QPushButton>("btClose")->click();
    });
    window->openModal();
    EXPECT_TRUE(pollingWhileOpen);
    EXPECT_FALSE(loginWhileOpen);
    EXPECT_FALSE(window->monitor().polling());
    EXPECT_TRUE(link->codeTimerEnabled());
    EXPECT_FALSE(window->isVisible());

    // Found off (inside another conversation's wait): left off.
    link->setCodeTimerEnabled(false);
    QTimer::singleShot(0, [&] { find<QPushButton>("btClose")->click(); });
    window->openModal();
    EXPECT_FALSE(link->codeTimerEnabled());
}

using StatusButtonTest = testing::ProgramTest;

TEST_F(StatusButtonTest, StatusButtonOpensTheMonitorModallyInPlaceOfThePeriodicLogin) {
    connectTo(testing::kDirect);
    StatusWindow* status = program->statusWindow();
    ASSERT_NE(status, nullptr);
    EXPECT_FALSE(status->monitor().polling());
    bool modal = false, polling = false, login = true;
    QTimer::singleShot(0, [&] {
        modal = status->isVisible() && status->isModal();
        polling = status->monitor().polling();
        login = codeTicks->running();
        status->findChild<QPushButton*>(QStringLiteral("btClose"))->click();
    });
    click(main(), "btStatus");
    EXPECT_TRUE(modal);
    EXPECT_TRUE(polling);
    EXPECT_FALSE(login);
    EXPECT_FALSE(status->isVisible());
    EXPECT_FALSE(status->monitor().polling());
    EXPECT_TRUE(codeTicks->running());
}

}  // namespace
}  // namespace corvanta
