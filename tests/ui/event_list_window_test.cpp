// The short event list window against the simulated module in the same
// process, offscreen. Transfer ticks run a hundred times faster than on the
// wire.

#include <QFile>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "link/module_link.h"
#include "service/module_names_load.h"
#include "sitebook/site_recorder.h"
#include "tests/support/workbook_xml.h"
#include "sim/sim_module.h"
#include "sim/sim_transport.h"
#include "tests/ui/program_fixture.h"
#include "tests/support/recording_messenger.h"
#include "tests/ui/pdf_facts.h"
#include "ui/service/event_list_window.h"

using namespace corvanta;

namespace {

class EventListWindowTest : public ::testing::Test {
protected:
    void start(const char* fault = nullptr) {
        link = std::make_unique<ModuleLink>(std::make_unique<TimerTickSource>(1),
                                            std::make_unique<ManualTickSource>());
        link->setMessenger(&messages);
        link->setInstallerCode("1234");
        plugIn(QDate(2026, 3, 16), fault);
        window = std::make_unique<EventListWindow>(*link, names);
        window->show();
    }
    // A module whose history ends the evening before `today` with
    // "Kikapcs. Part.2" by user 1.
    void plugIn(QDate today, const char* fault = nullptr) {
        sim::ModuleSettings settings;
        settings.startTime = QDateTime(today, QTime(10, 0));
        if (fault) {
            std::string error;
            EXPECT_TRUE(sim::addFault(fault, settings.faults, error)) << error;
        }
        link->setTransport(nullptr);
        line.reset();
        module = std::make_unique<sim::SimModule>(std::move(settings));
        line = std::make_unique<sim::SimTransport>(module.get());
        link->setTransport(line.get());
        link->serialConnect();
    }
    QPushButton* button(const char* name) {
        return window->findChild<QPushButton*>(QString::fromLatin1(name));
    }
    QString kindOf(int row) { return window->cellText(row, 2).trimmed(); }

    corvanta::testing::RecordingMessenger messages;
    ModuleNamesStore names;
    std::unique_ptr<sim::SimModule> module;
    std::unique_ptr<sim::SimTransport> line;
    std::unique_ptr<ModuleLink> link;
    std::unique_ptr<EventListWindow> window;
};

}  // namespace

TEST_F(EventListWindowTest, ControlsCarryTheirNamesAndCaptions) {
    start();
    EXPECT_EQ(window->objectName(), "FormEventlistShort");
    EXPECT_EQ(window->windowTitle(), "GSM-Corvanta  Rövid eseménylista");
    EXPECT_EQ(button("btLoadEvents")->text(), "Eseménylista lekérdezése");
    EXPECT_EQ(button("btLoadNames")->text(), "Zóna / Felhaszn. nevek letöltése");
    EXPECT_EQ(button("btClose")->text(), "Ablak bezárása");
    auto* grid = window->findChild<QTableWidget*>("acgEvSh");
    ASSERT_NE(grid, nullptr);
    ASSERT_EQ(grid->columnCount(), 14);
    EXPECT_EQ(grid->rowCount(), 90);
    QStringList headers;
    for (int c = 0; c < 14; ++c) headers << grid->horizontalHeaderItem(c)->text();
    EXPECT_EQ(headers.join('|'),
              "Sorszám|Időpont|Esemény|Zóna / Felhasználó|T1|T2|T3|T4|S1|S2|S3|S4|Közp|Státusz");
    // Nothing read yet: only the numbers.
    EXPECT_EQ(window->cellText(1, 0), "1");
    EXPECT_EQ(window->cellText(90, 0), "90");
    EXPECT_EQ(window->cellText(1, 1), "");
    // No header or cell text is cut.
    for (int c = 0; c < 14; ++c) {
        const QString header = grid->horizontalHeaderItem(c)->text();
        EXPECT_GE(grid->columnWidth(c), grid->horizontalHeader()->fontMetrics().horizontalAdvance(header))
            << header.toStdString();
    }
    button("btClose")->click();
    EXPECT_FALSE(window->isVisible());
}

TEST_F(EventListWindowTest, LoadShowsTheNewestFirstThenNamesFillTheSubjects) {
    start();
    button("btLoadEvents")->click();
    EXPECT_EQ(window->statusText(), "Eseménylista letöltve.");
    EXPECT_TRUE(button("btLoadEvents")->isEnabled());
    EXPECT_EQ(window->cellText(1, 1), "03/15 - 23:59");
    EXPECT_EQ(kindOf(1), "Kikapcs. Part.2");
    EXPECT_EQ(window->cellText(1, 3), "1. ");
    // Settled reports: no route pending, reporting done.
    EXPECT_EQ(window->cellText(1, 4), "-");
    EXPECT_EQ(window->cellText(1, 13), "OK.");
    int alarmRow = 0;
    for (int row = 1; row <= 90 && !alarmRow; ++row)
        if (kindOf(row) == "IN3 Riasztás") alarmRow = row;
    ASSERT_GT(alarmRow, 0);
    EXPECT_EQ(window->cellText(alarmRow, 3), "3. ");
    // Rows beyond the history the module has are empty.
    EXPECT_EQ(window->cellText(90, 1), "");
    EXPECT_EQ(window->cellText(90, 0), "90");

    button("btLoadNames")->click();
    EXPECT_EQ(window->statusText(), "Zóna és Felhasználói nevek letöltve.");
    EXPECT_EQ(window->cellText(1, 3).trimmed(), "1.  Kovács P.");
    EXPECT_EQ(window->cellText(alarmRow, 3).trimmed(), "3.  Nappali");
    EXPECT_TRUE(messages.texts().isEmpty());
    EXPECT_TRUE(link->codeTimerEnabled());
}

TEST_F(EventListWindowTest, FailedLoadKeepsTheOldListWhole) {
    start();
    button("btLoadEvents")->click();
    ASSERT_EQ(window->cellText(1, 1), "03/15 - 23:59");
    // Another module, whose block 1 never comes: nothing of it is taken,
    // not even its block 0.
    plugIn(QDate(2026, 6, 20), "no-read-reply=F001");
    button("btLoadEvents")->click();
    EXPECT_EQ(window->statusText(), "Leolvasás sikertelen.");
    EXPECT_TRUE(button("btLoadEvents")->isEnabled());
    EXPECT_EQ(window->cellText(1, 1), "03/15 - 23:59");
    // A redraw still shows the old module's list.
    button("btLoadNames")->click();
    EXPECT_EQ(window->cellText(1, 1), "03/15 - 23:59");
    EXPECT_TRUE(messages.texts().isEmpty());
}

TEST_F(EventListWindowTest, LoadButtonIsOffOnlyWhileALoadRuns) {
    start();
    int sentWhileOff = 0;
    QObject::connect(link.get(), &ModuleLink::trafficLogged,
                     [&] { sentWhileOff += !button("btLoadEvents")->isEnabled(); });
    button("btLoadNames")->click();
    button("btLoadEvents")->click();
    EXPECT_GT(sentWhileOff, 8);
    EXPECT_TRUE(button("btLoadEvents")->isEnabled());
}

TEST_F(EventListWindowTest, TheListIsKeptAsCsvAndPdfAsItShows) {
    start();
    button("btLoadEvents")->click();
    button("btLoadNames")->click();
    QTemporaryDir dir;
    window->reports().setPathChooser(
        [&](ReportFormat format, const QString&) { return dir.filePath(format == ReportFormat::Csv ? "l.csv" : "l.pdf"); });
    button("btSaveCsv")->click();
    QFile csv(dir.filePath("l.csv"));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    // For a spreadsheet: a byte-order mark, ';' between fields, CRLF.
    const QByteArray bytes = csv.readAll();
    ASSERT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
    const QStringList lines = QString::fromUtf8(bytes.mid(3)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_GT(lines.size(), 2);
    EXPECT_EQ(lines[0], "Sorszám;Időpont;Esemény;Zóna / Felhasználó;T1;T2;T3;T4;S1;S2;S3;S4;Közp;Státusz");
    EXPECT_EQ(lines[1], "1;03/15 - 23:59;Kikapcs. Part.2;1. Kovács P.;-;-;-;-;-;-;-;-;-;OK.");
    EXPECT_FALSE(bytes.contains("\n\n"));
    int shownRows = 0;
    for (int row = 1; row <= 90; ++row) shownRows += !window->cellText(row, 1).isEmpty();
    EXPECT_EQ(lines.size(), shownRows + 1);

    button("btSavePdf")->click();
    QFile pdf(dir.filePath("l.pdf"));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    const PdfFacts facts = pdfFacts(pdf.readAll());
    EXPECT_GE(facts.pages, 1);
    EXPECT_EQ(facts.pageSize, QSize(595, 842));
    EXPECT_TRUE(messages.texts().isEmpty());
}

TEST_F(EventListWindowTest, NamesLoadedElsewhereRedrawTheList) {
    start();
    button("btLoadEvents")->click();
    ASSERT_EQ(window->cellText(1, 3), "1. ");
    // The status monitor loads into the same store with its own status bar.
    QString elsewhere;
    ASSERT_TRUE(loadModuleNames(*link, names, [&](const QString& t) { elsewhere = t; }));
    EXPECT_EQ(window->cellText(1, 3).trimmed(), "1.  Kovács P.");
    EXPECT_EQ(window->statusText(), "Eseménylista letöltve.");
}

namespace corvanta::testing {

class EventListProgramTest : public ProgramTest {};

TEST_F(EventListProgramTest, MainWindowButtonShowsTheListBesideItAndItLoads) {
    EventListWindow* list = program->eventListWindow();
    ASSERT_NE(list, nullptr);
    EXPECT_FALSE(list->isVisible());
    click(main(), "btEventlistShort");
    EXPECT_TRUE(list->isVisible());
    EXPECT_FALSE(list->isModal());
    EXPECT_TRUE(main()->isVisible());

    connectTo(kDirect);
    fastClock.start(1);
    click(list, "btLoadEvents");
    EXPECT_EQ(list->statusText(), "Eseménylista letöltve.");
    EXPECT_FALSE(list->cellText(1, 1).isEmpty());
    EXPECT_TRUE(program->link().codeTimerEnabled());
    click(list, "btClose");
    EXPECT_FALSE(list->isVisible());
}

}  // namespace corvanta::testing

TEST_F(EventListWindowTest, ALoadForTheChosenSiteGoesIntoItsHistoryOnceAndAWorkbookDatesIt) {
    start();
    QTemporaryDir dir;
    sitebook::SiteRecorder recorder(dir.filePath("book.sqlite"));
    sitebook::Site site;
    site.name = QString::fromUtf8("Kovács ház");
    recorder.setSite(site);
    window->setEventRecorder([&](const std::vector<DatedEvent>& events) { return recorder.recordEvents(events); });
    window->setClock([] { return QDateTime(QDate(2026, 3, 16), QTime(10, 5)); });
    button("btLoadEvents")->click();
    EXPECT_TRUE(window->statusText().startsWith(QString::fromUtf8("Eseménylista letöltve. Helyszínkönyv: ")))
        << window->statusText().toStdString();
    EXPECT_FALSE(window->statusText().contains(QString::fromUtf8(" 0 új esemény")));
    button("btLoadEvents")->click();
    EXPECT_TRUE(window->statusText().contains(QString::fromUtf8(" 0 új esemény"))) << window->statusText().toStdString();
    sitebook::SiteBook book;
    ASSERT_TRUE(book.open(dir.filePath("book.sqlite")));
    int shownRows = 0;
    for (int row = 1; row <= 90; ++row) shownRows += !window->cellText(row, 1).isEmpty();
    EXPECT_EQ(book.siteEventCount(book.findSite(site.name)->id), shownRows);

    window->reports().setPathChooser([&](ReportFormat format, const QString& suggested) {
        EXPECT_EQ(format, ReportFormat::Xlsx);
        EXPECT_TRUE(suggested.endsWith(".xlsx"));
        return dir.filePath("l.xlsx");
    });
    button("btSaveXlsx")->click();
    QFile xlsx(dir.filePath("l.xlsx"));
    ASSERT_TRUE(xlsx.open(QIODevice::ReadOnly));
    const std::string sheet = corvanta::testing::workbookMember(xlsx.readAll().toStdString(), "xl/worksheets/sheet1.xml");
    EXPECT_NE(sheet.find(">Kikapcs. Part.2<"), std::string::npos);
    // 03/15 - 23:59 seen on the 16th of March 2026: that day's number.
    EXPECT_NE(sheet.find("<v>46096.999305555"), std::string::npos) << sheet.substr(0, 1500);
    EXPECT_TRUE(messages.texts().isEmpty());
}
