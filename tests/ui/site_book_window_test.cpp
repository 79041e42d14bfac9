// The site book in the program: the "Helyszínek" window, the current site
// on the main window, and the reads and writes of the transfer window kept
// for it, against the simulated module.

#include "tests/ui/program_fixture.h"

#include <QCheckBox>
#include <QFile>
#include <QTableWidget>

#include "params/code_fields.h"
#include "params/parameter_codec.h"

#include "tests/support/workbook_xml.h"
#include "ui/service/event_list_window.h"
#include "ui/sitebook/site_book_window.h"

namespace corvanta::testing {
namespace {

class SiteBookProgramTest : public ProgramTest {
protected:
    SiteBookWindow* sites() const { return program->siteBookWindow(); }
    void makeSite(const QString& name, const QString& host = {}) {
        click(sites(), "btNewSite");
        find<QLineEdit>(sites(), "edName")->setText(name);
        find<QLineEdit>(sites(), "edTcpHost")->setText(host);
        click(sites(), "btSaveSite");
        click(sites(), "btChooseSite");
    }
    QString bookPath() const { return settingsDir.filePath(QStringLiteral("sitebook.sqlite")); }
};

}  // namespace

TEST_F(SiteBookProgramTest, TheChosenSiteKeepsTheReadsAndWritesAndTheWindowListsThem) {
    click(main(), "btSites");
    ASSERT_TRUE(sites()->isVisible());
    makeSite(QStringLiteral("Raktár"));
    makeSite(QString::fromUtf8("Kovács ház"), QStringLiteral("192.0.2.7"));
    EXPECT_EQ(main()->currentSiteText(), QString::fromUtf8("Helyszín: Kovács ház"));
    EXPECT_EQ(find<QLineEdit>(main(), "edServer")->text(), QStringLiteral("192.0.2.7"));
    find<QLineEdit>(sites(), "edSearch")->setText(QStringLiteral("kov"));
    EXPECT_EQ(sites()->siteNames(), QStringList{QString::fromUtf8("Kovács ház")});

    connectTo(kDirect);
    click(transfer(), "btRead");
    EXPECT_TRUE(transfer()->recordNote().startsWith(QString::fromUtf8("Helyszínkönyv:")))
        << transfer()->recordNote().toStdString();

    // The compare keeps its colours and names the field (module → image).
    program->image()[183] = 'X';  // the first letter of zone 1's name
    click(transfer(), "btCompare");
    ASSERT_EQ(transfer()->compareLines().size(), 1);
    EXPECT_TRUE(transfer()->compareLines()[0].startsWith(QString::fromUtf8("1. Zóna · Zóna neve (zones[0].name): ")));

    click(transfer(), "btWrite");
    const auto history = sites()->shownHistory();  // refreshed while open
    ASSERT_EQ(history.size(), 2u);
    EXPECT_EQ(history[0].kind, sitebook::SnapshotKind::Written);
    EXPECT_EQ(history[1].kind, sitebook::SnapshotKind::Read);
    const auto writes = sites()->shownWrites();
    ASSERT_EQ(writes.size(), 1u);
    ASSERT_EQ(writes[0].changes.size(), 1u);
    EXPECT_EQ(writes[0].changes[0].path, QStringLiteral("zones[0].name"));
}

TEST_F(SiteBookProgramTest, AWriteToAModuleNotReadOnThisLineIsHeldAgainstTheSitesLatestSnapshot) {
    click(main(), "btSites");
    makeSite(QString::fromUtf8("Raktár"));
    connectTo(kDirect);
    click(transfer(), "btRead");  // kept as the site's snapshot
    click(main(), "btDisconnect");
    connectTo(kDirect);  // another line: what was read on the last one no longer counts
    ParameterValues v = decode(program->image());
    const int delay = v.zones[1].exitDelay;
    v.zones[1].exitDelay = (delay + 3) % 256;
    encode(v, program->image());
    messenger.questions.clear();
    messenger.answerYes = false;
    click(transfer(), "btWrite");
    ASSERT_EQ(messenger.questions.size(), 1);
    const QString q = messenger.questions[0];
    EXPECT_TRUE(q.contains(QString::fromUtf8("a(z) „Raktár” helyszín legutóbbi pillanatképéhez (1., "))) << q.toStdString();
    EXPECT_TRUE(q.contains(QString::fromUtf8("2. Zóna · Kilépési késlelt.: %1 → %2").arg(delay).arg((delay + 3) % 256)));
    EXPECT_TRUE(q.contains(QString::fromUtf8("Összesen 1 mező.")));
    EXPECT_EQ(sites()->shownWrites().size(), 0u);  // "Nem": no write to keep
}

TEST_F(SiteBookProgramTest, TheSiteChosenComesBackAtTheNextStart) {
    click(main(), "btSites");
    makeSite(QString::fromUtf8("Kovács ház"), QStringLiteral("192.0.2.7"));
    StartOptions options;
    options.settingsPath = settingsDir.filePath(QStringLiteral("settings.ini"));
    options.siteBookPath = bookPath();
    options.messenger = &messenger;
    StartUp next(std::move(options));
    next.createAll();
    EXPECT_EQ(next.mainWindow()->currentSiteText(), QString::fromUtf8("Helyszín: Kovács ház"));
    EXPECT_EQ(next.siteRecorder().site().name, QString::fromUtf8("Kovács ház"));
    EXPECT_EQ(next.mainWindow()->findChild<QLineEdit*>("edServer")->text(), QStringLiteral("192.0.2.7"));
}

TEST_F(SiteBookProgramTest, CodesInTheWritesAndTheDifferencesShowOnlyWhenAskedFor) {
    click(main(), "btSites");
    makeSite(QStringLiteral("Iroda"));
    connectTo(kDirect);
    click(transfer(), "btRead");
    ParameterValues v = decode(program->image());
    const QString before = QString::fromStdString(v.users[1].code);
    v.users[1].code = "2468";
    encode(v, program->image());
    click(transfer(), "btWrite");

    auto* writes = find<QTableWidget>(sites(), "gridWrites");
    auto* changes = find<QTableWidget>(sites(), "gridWriteChanges");
    ASSERT_EQ(writes->rowCount(), 1);
    writes->selectRow(0);
    ASSERT_EQ(changes->rowCount(), 1);
    auto cell = [](QTableWidget* grid, int c) { return grid->item(0, c)->text(); };
    EXPECT_EQ(cell(changes, 1), QStringLiteral("users[1].code"));
    EXPECT_EQ(cell(changes, 3), QString::fromUtf8("••••"));
    EXPECT_EQ(cell(changes, 2), QString::fromStdString(codes::shownCode(before.toStdString(), false)));
    auto* showCodes = find<QCheckBox>(sites(), "cbShowCodes");
    EXPECT_FALSE(showCodes->isChecked());
    showCodes->setChecked(true);
    EXPECT_EQ(cell(changes, 2), before);
    EXPECT_EQ(cell(changes, 3), QStringLiteral("2468"));
    showCodes->setChecked(false);

    // The differences between the snapshots before and after, likewise.
    const auto history = sites()->shownHistory();
    ASSERT_EQ(history.size(), 2u);
    sites()->selectSnapshots({history[0].id, history[1].id});
    click(sites(), "btCompareSnapshots");
    auto* diff = find<QTableWidget>(sites(), "gridDiff");
    ASSERT_EQ(diff->rowCount(), 1);
    EXPECT_EQ(cell(diff, 3), QString::fromUtf8("••••"));
    EXPECT_EQ(sites()->shownDiff()[0].after, QStringLiteral("2468"));  // the book keeps it
    showCodes->setChecked(true);
    EXPECT_EQ(cell(diff, 3), QStringLiteral("2468"));
}

TEST_F(SiteBookProgramTest, SnapshotsOpenCompareAndExportAndOpeningAsksBeforeEditsAreLost) {
    click(main(), "btSites");
    makeSite(QStringLiteral("Iroda"));
    ParameterImage first{};
    first[183] = 'A';
    program->image() = first;  // an edit kept nowhere else
    click(sites(), "btManualSnapshot");
    program->image()[183] = 'B';
    click(sites(), "btManualSnapshot");
    auto history = sites()->shownHistory();
    ASSERT_EQ(history.size(), 2u);
    const qint64 older = history[1].id, newer = history[0].id;

    sites()->selectSnapshots({older, newer});
    click(sites(), "btCompareSnapshots");
    ASSERT_EQ(sites()->shownDiff().size(), 1u);
    EXPECT_EQ(sites()->shownDiff()[0].before, QStringLiteral("A"));
    EXPECT_EQ(sites()->shownDiff()[0].after, QStringLiteral("B"));

    sites()->selectSnapshots({older});
    messenger.answerYes = false;
    click(sites(), "btOpenSnapshot");
    EXPECT_EQ(messenger.questions, QStringList{QStringLiteral("Az el nem mentett módosítások elvesznek. Folytatja?")});
    EXPECT_EQ(program->image()[183], 'B');
    messenger.answerYes = true;
    click(sites(), "btOpenSnapshot");
    EXPECT_EQ(program->image(), first);
    EXPECT_FALSE(program->unsavedEdits().pending());

    click(sites(), "btCompareWithImage");
    EXPECT_TRUE(sites()->shownDiff().empty());

    const QString path = settingsDir.filePath(QStringLiteral("export.CD2"));
    sites()->setFileChooser([&] { return path; });
    click(sites(), "btExportSnapshot");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray(reinterpret_cast<const char*>(first.data()), 2048));
}

TEST_F(SiteBookProgramTest, ABookThatCannotBeOpenedIsSaidAndTheReadGoesOn) {
    {
        QFile f(bookPath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(4096, '\x11'));
    }
    click(main(), "btSites");
    EXPECT_TRUE(sites()->statusText().startsWith(QString::fromUtf8("A helyszínkönyv nem nyitható meg")));
    sitebook::Site site;
    site.name = QStringLiteral("Garázs");
    program->siteRecorder().setSite(site);
    connectTo(kDirect);
    click(transfer(), "btRead");
    EXPECT_EQ(transfer()->indicatorColour(7), TransferWindow::colourOf(BlockColour::Green));
    EXPECT_TRUE(transfer()->recordNote().startsWith(sitebook::SiteRecorder::notStoredLine({})));
    QFile f(bookPath());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray(4096, '\x11'));
}

}  // namespace corvanta::testing

namespace corvanta::testing {
namespace {

// `count` entries a minute apart, the newest first; every tenth is a test
// report, the rest arming by user 3.
std::vector<DatedEvent> minutes(int count) {
    std::vector<DatedEvent> out;
    for (int n = count - 1; n >= 0; --n) {
        DatedEvent e;
        e.at = {2026, 3, 1 + n / (24 * 60), n / 60 % 24, n % 60};
        const int kind = n % 10 == 0 ? 31 : 27;
        e.entry = {std::uint8_t(kind), std::uint8_t(3 << 4 | 3), std::uint8_t(e.at.day), std::uint8_t(e.at.hour),
                   std::uint8_t(e.at.minute), 0, 0, 0};
        e.subject = kind == 27 ? "3. Kovács" : "";
        out.push_back(e);
    }
    return out;
}

}  // namespace

TEST_F(SiteBookProgramTest, AnEventListLoadedForTheChosenSiteShowsOnceInItsEventHistory) {
    click(main(), "btSites");
    makeSite(QString::fromUtf8("Kovács ház"));
    connectTo(kDirect);
    EventListWindow* list = program->eventListWindow();
    click(list, "btLoadEvents");
    int shownRows = 0;
    for (int row = 1; row <= 90; ++row) shownRows += !list->cellText(row, 1).isEmpty();
    ASSERT_GT(shownRows, 0);
    const auto& shown = sites()->eventHistoryPage()->shownEvents();
    EXPECT_EQ(int(shown.size()), shownRows);  // refreshed while open
    click(list, "btLoadEvents");
    EXPECT_EQ(int(sites()->eventHistoryPage()->shownEvents().size()), shownRows);
    EXPECT_TRUE(list->statusText().contains(QString::fromUtf8(" 0 új esemény"))) << list->statusText().toStdString();
}

TEST_F(SiteBookProgramTest, TheEventHistoryPagesThroughALongListFindsAndSavesWhatItShows) {
    const QString name = QString::fromUtf8("Raktár");
    {
        sitebook::SiteBook book;
        ASSERT_TRUE(book.open(bookPath()));
        const auto site = book.ensureSite({0, name, {}, {}, {}, {}, {}, 0});
        ASSERT_TRUE(site);
        ASSERT_EQ(book.mergeEvents(site->id, minutes(450))->added, 450);
    }
    click(main(), "btSites");
    sites()->selectSite(name);
    EventHistoryPage* page = sites()->eventHistoryPage();
    ASSERT_EQ(page->shownEvents().size(), std::size_t(EventHistoryPage::kPageRows));
    EXPECT_EQ(page->shownEvents().front().occurredAt, "2026-03-01 07:29");
    EXPECT_EQ(page->pageText(), QString::fromUtf8("1–200. bejegyzés, összesen 450"));
    EXPECT_FALSE(find(page, "btNewerEvents")->isEnabled());
    click(page, "btOlderEvents");
    click(page, "btOlderEvents");
    ASSERT_EQ(page->shownEvents().size(), 50u);
    EXPECT_EQ(page->shownEvents().back().occurredAt, "2026-03-01 00:00");
    EXPECT_FALSE(find(page, "btOlderEvents")->isEnabled());
    click(page, "btNewerEvents");
    EXPECT_EQ(page->pageText(), QString::fromUtf8("201–400. bejegyzés, összesen 450"));

    // The search starts from the newest again and finds across pages.
    find<QLineEdit>(page, "edEventSearch")->setText(QString::fromUtf8("tesztjel"));
    ASSERT_EQ(page->shownEvents().size(), 45u);
    EXPECT_EQ(page->pageText(), QString::fromUtf8("1–45. találat"));

    QTemporaryDir dir;
    page->report().actions().setPathChooser([&](ReportFormat format, const QString&) {
        return dir.filePath(format == ReportFormat::Csv ? "n.csv" : format == ReportFormat::Xlsx ? "n.xlsx" : "n.pdf");
    });
    click(page, "btSaveEventsCsv");
    QFile csv(dir.filePath("n.csv"));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QByteArray bytes = csv.readAll();
    ASSERT_TRUE(bytes.startsWith("\xEF\xBB\xBF" "Időpont;Esemény;Zóna / Felhasználó;"));
    EXPECT_EQ(bytes.count("\r\n"), 46);  // what the search found, not the page alone
    click(page, "btSaveEventsXlsx");
    QFile xlsx(dir.filePath("n.xlsx"));
    ASSERT_TRUE(xlsx.open(QIODevice::ReadOnly));
    const std::string sheet = workbookMember(xlsx.readAll().toStdString(), "xl/worksheets/sheet1.xml");
    EXPECT_NE(sheet.find(">Tesztjelentés<"), std::string::npos);
    click(page, "btSaveEventsPdf");
    EXPECT_TRUE(QFile::exists(dir.filePath("n.pdf")));

    // The site list and the writes are saved the same ways.
    sites()->siteListReport().actions().setPathChooser([&](ReportFormat, const QString&) { return dir.filePath("s.csv"); });
    click(sites(), "btSaveSitesCsv");
    QFile list(dir.filePath("s.csv"));
    ASSERT_TRUE(list.open(QIODevice::ReadOnly));
    EXPECT_TRUE(list.readAll().startsWith("\xEF\xBB\xBF" "Név;Cím;"));
    sites()->writeListReport().actions().setPathChooser([&](ReportFormat, const QString&) { return dir.filePath("w.xlsx"); });
    click(sites(), "btSaveWritesXlsx");
    EXPECT_TRUE(QFile::exists(dir.filePath("w.xlsx")));
    EXPECT_TRUE(messenger.texts().isEmpty()) << messenger.texts().join('\n').toStdString();
}

}  // namespace corvanta::testing
