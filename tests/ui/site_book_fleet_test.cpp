// The site book window's batch run: the sites chosen in its list read,
// given a change, one at a time or at once, by the same fleet run
// corvanta-cli runs, against modules simulated in the test.

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include "params/parameter_codec.h"
#include "sitebook/site_book.h"
#include "tests/app/pty_module.h"
#include "tests/ui/program_fixture.h"
#include "tests/support/recording_messenger.h"
#include "ui/sitebook/fleet_panel.h"
#include "tests/support/memory_credential_store.h"
#include "ui/sitebook/site_book_window.h"
#include "tests/support/build_paths.h"

namespace corvanta::testing {
namespace {

ParameterImage imageOf(PtyModule& m) {
    ParameterImage image;
    std::copy(m.module().memory().begin(), m.module().memory().end(), image.begin());
    return image;
}

class SiteBookFleetTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        sitebook::SiteBook book;
        ASSERT_TRUE(book.open(bookPath()));
        for (int i = 0; i < 3; ++i) {
            modules[i] = std::make_unique<PtyModule>();
            ASSERT_TRUE(modules[i]->ready());
            sitebook::Site site;
            site.name = name(i);
            site.serialPort = modules[i]->path();
            ASSERT_TRUE(book.saveSite(site));
        }
        window = std::make_unique<SiteBookWindow>(image, messenger, bookPath());
        window->setFleetProgram(QString::fromStdString(CORVANTA_CLI));
        window->refresh();
        panel()->findChild<QLineEdit*>("edFleetCode")->setText(QStringLiteral("1234"));
    }

    QString bookPath() const { return dir.filePath("sitebook.sqlite"); }
    static QString name(int i) { return QStringLiteral("Üzlet %1").arg(i + 1); }
    FleetPanel* panel() const { return window->fleetPanel(); }
    template <typename T>
    T* find(const char* name) const {
        T* w = window->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }

    // Starts the page's job and lets the event loop run (the modules answer
    // from it) until it ends.
    void runJob(FleetPanel::Job job) {
        panel()->chooseJob(job);
        find<QPushButton>("btFleetStart")->click();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !panel()->running(); }, 60000));
    }
    std::map<QString, QString> results() const {
        std::map<QString, QString> out;
        for (const auto& o : panel()->shownOutcomes()) {
            if (!o.site.isEmpty()) out[o.site] = o.result;  // not a line about the run
        }
        return out;
    }

    QTemporaryDir dir;
    std::unique_ptr<PtyModule> modules[3];
    ParameterImage image{};
    RecordingMessenger messenger;
    std::unique_ptr<SiteBookWindow> window;
};

// The program connected to the simulated module, its site book window open.
class SiteBookRestoreTest : public ProgramTest {
protected:
    SiteBookWindow* sites() const { return program->siteBookWindow(); }
    // A new site chosen as the current one, then its module read.
    void readNewSite() {
        click(main(), "btSites");
        click(sites(), "btNewSite");
        find<QLineEdit>(sites(), "edName")->setText(QStringLiteral("Iroda"));
        click(sites(), "btSaveSite");
        click(sites(), "btChooseSite");
        connectTo(kDirect);
        click(transfer(), "btRead");
    }
};

}  // namespace

TEST_F(SiteBookRestoreTest, ASnapshotGoesBackOnTheConnectedModuleOnceConfirmed) {
    readNewSite();
    const ParameterImage installed = program->image();
    ParameterValues v = decode(program->image());
    v.zones[1].exitDelay = (v.zones[1].exitDelay + 9) % 256;
    encode(v, program->image());
    click(transfer(), "btWrite");
    auto history = sites()->shownHistory();
    ASSERT_EQ(history.size(), 2u);
    const qint64 read = history[1].id;
    messenger.questions.clear();  // the write's own review

    // Declined: nothing is written, the differences stay to be looked at.
    messenger.answerYes = false;
    sites()->selectSnapshots({read});
    click(sites(), "btRestoreSnapshot");
    ASSERT_EQ(messenger.questions.size(), 1);
    EXPECT_TRUE(messenger.questions[0].contains(QString::fromUtf8("1 mezőben tér el a @%1").arg(read)))
        << messenger.questions[0].toStdString();
    ASSERT_EQ(sites()->shownDiff().size(), 1u);
    EXPECT_EQ(sites()->shownDiff()[0].path, QStringLiteral("zones[1].exitDelay"));
    EXPECT_EQ(sites()->shownWrites().size(), 1u);

    messenger.answerYes = true;
    sites()->selectSnapshots({read});
    click(sites(), "btRestoreSnapshot");
    EXPECT_TRUE(sites()->statusText().contains(QString::fromUtf8("a modulra került"))) << sites()->statusText().toStdString();
    const auto writes = sites()->shownWrites();
    ASSERT_EQ(writes.size(), 2u);
    EXPECT_TRUE(writes[0].ok);
    EXPECT_EQ(find<QTableWidget>(sites(), "gridWrites")->item(0, 4)->text(), QString::fromUtf8("visszaállítás: @%1").arg(read));
    click(transfer(), "btRead");
    EXPECT_EQ(program->image(), installed);
    history = sites()->shownHistory();
    EXPECT_EQ(history.back().id, read);  // still the installation snapshot
}

TEST_F(SiteBookRestoreTest, WithNoCodeTypedTheSitesKeptCodeLogsIn) {
    MemoryCredentialStore store;
    sites()->setCredentialStore(&store);
    readNewSite();
    const qint64 read = sites()->shownHistory().at(0).id;
    find<QLineEdit>(sites(), "edKeptCode")->setText(QStringLiteral("1234"));
    click(sites(), "btKeepSecret");
    type("edPWD", QString());

    sites()->selectSnapshots({read});
    click(sites(), "btRestoreSnapshot");
    EXPECT_TRUE(sites()->statusText().contains(QString::fromUtf8("a modul már a @%1").arg(read), Qt::CaseInsensitive))
        << sites()->statusText().toStdString();
    // The field stays as the installer left it.
    EXPECT_TRUE(find<QLineEdit>(main(), "edPWD")->text().isEmpty());
    EXPECT_TRUE(program->link().installerCode().isEmpty());
}

TEST_F(SiteBookFleetTest, TheChosenSitesAreReadThenGivenAChangeWithOneModuleFailingInTheMiddle) {
    window->selectSites({name(0), name(1), name(2)});
    runJob(FleetPanel::Job::Read);
    EXPECT_EQ(results(), (std::map<QString, QString>{{name(0), "ok"}, {name(1), "ok"}, {name(2), "ok"}}));
    auto* progress = find<QProgressBar>("pbFleet");
    EXPECT_EQ(progress->maximum(), 3);
    EXPECT_EQ(progress->value(), 3);
    EXPECT_EQ(find<QTableWidget>("gridFleet")->rowCount(), 3);
    // The book was read anew: the shown site's first read is its installation.
    const auto history = window->shownHistory();
    ASSERT_EQ(history.size(), 1u);
    EXPECT_EQ(find<QTableWidget>("gridHistory")->item(0, 1)->text(), QString::fromUtf8("telepítési beolvasás"));

    // The change: the image opened from the first site's snapshot, edited.
    window->selectSnapshots({history[0].id});
    find<QPushButton>("btOpenSnapshot")->click();
    ParameterValues v = decode(image);
    v.zones[0].entryDelay = 42;
    encode(v, image);
    const ParameterImage untouched = imageOf(*modules[1]);
    modules[1]->module().faults().writeError.all = true;
    window->selectSites({name(0), name(1), name(2)});
    panel()->findChild<QSpinBox*>("edFleetJobs")->setValue(1);
    runJob(FleetPanel::Job::Apply);
    EXPECT_EQ(results(), (std::map<QString, QString>{{name(0), "ok"}, {name(1), "failed"}, {name(2), "ok"}}));
    ASSERT_FALSE(messenger.questions.isEmpty());
    EXPECT_TRUE(messenger.questions.back().contains(QString::fromUtf8("1 mező"))) << messenger.questions.back().toStdString();
    EXPECT_EQ(decode(imageOf(*modules[0])).zones[0].entryDelay, 42);
    EXPECT_EQ(decode(imageOf(*modules[2])).zones[0].entryDelay, 42);
    EXPECT_EQ(imageOf(*modules[1]), untouched);
    EXPECT_TRUE(panel()->statusText().contains(QString::fromUtf8("2 sikeres, 1 sikertelen"))) << panel()->statusText().toStdString();
    EXPECT_TRUE(panel()->statusText().contains(QString::fromUtf8("Csoport:"))) << panel()->statusText().toStdString();
    // The write of the shown site says its batch.
    window->selectSites({name(0)});
    EXPECT_TRUE(find<QTableWidget>("gridWrites")->item(0, 4)->text().contains(QString::fromUtf8("csoport")));
}

TEST_F(SiteBookFleetTest, CancelStartsNoNewSiteAndTheOnesNotStartedSaySo) {
    window->selectSites({name(0), name(1), name(2)});
    panel()->findChild<QSpinBox*>("edFleetJobs")->setValue(1);
    panel()->chooseJob(FleetPanel::Job::Read);
    find<QPushButton>("btFleetStart")->click();
    ASSERT_TRUE(panel()->running());
    find<QPushButton>("btFleetCancel")->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !panel()->running(); }, 60000));
    EXPECT_EQ(results(), (std::map<QString, QString>{{name(0), "ok"}, {name(1), "cancelled"}, {name(2), "cancelled"}}));
    EXPECT_TRUE(find<QPushButton>("btFleetStart")->isEnabled());
    sitebook::SiteBook book;
    ASSERT_TRUE(book.open(bookPath()));
    EXPECT_EQ(book.history().size(), 1u);

    // A site without a link is named before anything starts.
    sitebook::Site byModem;
    byModem.name = QStringLiteral("Modemes");
    byModem.modemNumber = QStringLiteral("0612345678");
    ASSERT_TRUE(book.saveSite(byModem));
    window->refresh();
    window->selectSites({name(0), QStringLiteral("Modemes")});
    find<QPushButton>("btFleetStart")->click();
    EXPECT_FALSE(panel()->running());
    ASSERT_FALSE(messenger.messages.isEmpty());
    EXPECT_TRUE(messenger.messages.back().contains(QStringLiteral("Modemes")));
}

TEST_F(SiteBookFleetTest, AWindowGoneInTheMiddleOfARunTakesItsChildrenAlong) {
    for (auto& m : modules) m->module().faults().silentRead.all = true;  // each child waits
    int asked = 0;
    for (auto& m : modules) m->onLine = [&](const std::string& line) { asked += line.rfind("RDFL", 0) == 0; };
    window->selectSites({name(0), name(1), name(2)});
    panel()->chooseJob(FleetPanel::Job::Read);
    find<QPushButton>("btFleetStart")->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return asked >= 3; }, 20000));
    window.reset();
    // Nothing of the run is left to report to what is gone.
    QTest::qWait(200);
    sitebook::SiteBook book;
    ASSERT_TRUE(book.open(bookPath()));
    EXPECT_TRUE(book.history().empty());
}

}  // namespace corvanta::testing

namespace corvanta::testing {

TEST_F(SiteBookFleetTest, AKeptCodeStandsInForAnEmptyCodeFieldAndIsNeverShown) {
    MemoryCredentialStore store;
    window->setCredentialStore(&store);
    window->selectSites({name(0)});
    find<QLineEdit>("edKeptCode")->setText(QStringLiteral("1234"));
    find<QPushButton>("btKeepSecret")->click();
    EXPECT_EQ(find<QLabel>("lbKept")->text(), QString::fromUtf8("Megőrizve: telepítői kód"));
    EXPECT_TRUE(find<QLineEdit>("edKeptCode")->text().isEmpty());
    ASSERT_EQ(store.kept.size(), 1);
    EXPECT_TRUE(store.kept.firstKey().endsWith(name(0) + QStringLiteral("/installer-code")));

    // Without a code given, a site with none kept holds the run back.
    panel()->findChild<QLineEdit*>("edFleetCode")->clear();
    window->selectSites({name(0), name(1)});
    panel()->chooseJob(FleetPanel::Job::Read);
    find<QPushButton>("btFleetStart")->click();
    ASSERT_FALSE(messenger.messages.isEmpty());
    EXPECT_TRUE(messenger.messages.back().endsWith(QString::fromUtf8("nincs megőrzött kódja: ") + name(1)))
        << messenger.messages.back().toStdString();
    EXPECT_FALSE(panel()->running());
    window->selectSites({name(0)});
    runJob(FleetPanel::Job::Read);
    EXPECT_EQ(results(), (std::map<QString, QString>{{name(0), "ok"}}));

    // Where no secret store answers, the window says so plainly.
    store.silent = true;
    window->selectSites({name(2)});
    EXPECT_EQ(find<QLabel>("lbKept")->text(), QString::fromUtf8("Nincs elérhető titoktár"));
    EXPECT_TRUE(find<QLabel>("lbKept")->toolTip().contains(QString::fromUtf8("nincs elérhető titoktár")));
    find<QLineEdit>("edKeptCode")->setText(QStringLiteral("4321"));
    find<QPushButton>("btKeepSecret")->click();
    EXPECT_TRUE(messenger.messages.back().contains(QString::fromUtf8("a csoportos műveletnél kell megadni")))
        << messenger.messages.back().toStdString();
    for (const QString& m : messenger.messages) EXPECT_FALSE(m.contains(QStringLiteral("1234")));
}

TEST_F(SiteBookFleetTest, AViewersWindowGreysWhatWritesAndLeavesTheCompare) {
    sitebook::BookRights viewer;
    viewer.role = QStringLiteral("corvanta_viewer");
    viewer.operateModules = viewer.seeCodes = viewer.editSites = viewer.keepSecrets = false;
    window->applyRights(viewer);
    for (const char* name : {"btRestoreSnapshot", "btManualSnapshot", "btNewSite", "btSaveSite", "cbShowCodes"})
        EXPECT_FALSE(window->findChild<QWidget*>(QString::fromLatin1(name))->isEnabled()) << name;
    auto* start = find<QPushButton>("btFleetStart");
    for (FleetPanel::Job job : {FleetPanel::Job::Read, FleetPanel::Job::Clock, FleetPanel::Job::Apply}) {
        panel()->chooseJob(job);
        EXPECT_FALSE(start->isEnabled());
    }
    panel()->chooseJob(FleetPanel::Job::Compare);
    EXPECT_TRUE(start->isEnabled());
    window->applyRights(sitebook::BookRights{});
    panel()->chooseJob(FleetPanel::Job::Read);
    EXPECT_TRUE(start->isEnabled());
    EXPECT_TRUE(find<QPushButton>("btRestoreSnapshot")->isEnabled());
}

}  // namespace corvanta::testing
