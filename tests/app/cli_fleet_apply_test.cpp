// The office's work with corvanta-cli: one change to many modules and its
// undo, a snapshot put back on a module, the backups that are due. The
// modules are simulated inside the test, so that their memory can be looked
// at and their faults changed between runs; the site book is a file or a
// database on a PostgreSQL server.

#include <gtest/gtest.h>

#include <QDateTime>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <map>
#include <memory>

#include "params/field_codecs.h"
#include "params/image_diff.h"
#include "params/parameter_codec.h"
#include "sitebook/site_book.h"
#include "tests/app/pty_module.h"
#include "tests/link/sim_process.h"
#include "tests/support/book_engines.h"
#include "tests/support/qt_core_app.h"
#include "tests/support/build_paths.h"

namespace corvanta::testing {
namespace {

const QString kChange = QStringLiteral(R"({"phones": [null, "0612345678"], "account": "1A2B"})");

ParameterImage imageOf(PtyModule& m) {
    ParameterImage image;
    std::copy(m.module().memory().begin(), m.module().memory().end(), image.begin());
    return image;
}

std::vector<std::string> changedPaths(const ParameterImage& a, const ParameterImage& b) {
    std::vector<std::string> paths;
    for (const FieldChange& c : diff(a, b).changes) paths.push_back(c.field->path);
    return paths;
}

class OfficeWork : public ::testing::Test {
protected:
    void SetUp() override {
        ensureQtCoreApp();
        ASSERT_TRUE(dir.isValid());
        for (auto& m : modules) {
            m = std::make_unique<PtyModule>();
            ASSERT_TRUE(m->ready());
        }
        bookLocation = dir.filePath("sitebook.sqlite");
        env.insert("CORVANTA_CODE", "1234");
        env.remove("CORVANTA_PASSWORD");
        env.remove("CORVANTA_FLEET_BATCH");
        writeFile("change.json", kChange.toUtf8());
    }

    void useBook(const QString& location) { bookLocation = location; }

    void writeFile(const QString& name, const QByteArray& bytes) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    // corvanta-cli with the event loop running: the modules answer from it.
    CliResult cli(const QStringList& args) {
        QProcess p;
        QProcessEnvironment e = env;
        e.insert("CORVANTA_SITEBOOK", bookLocation);
        p.setProcessEnvironment(e);
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(QString::fromStdString(CORVANTA_CLI), args);
        runToEnd(p, 120000);
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAll())};
    }

    QString listOf(std::initializer_list<int> which) {
        QString csv = QStringLiteral("name,port\n");
        for (int i : which) csv += QStringLiteral("%1,%2\n").arg(name(i), modules[i]->path());
        writeFile("sites.csv", csv.toUtf8());
        return dir.filePath("sites.csv");
    }
    static QString name(int i) { return QStringLiteral("Telephely %1").arg(i + 1); }

    // A module changed behind the book's back: written without --site.
    void changeBehindTheBook(int i, int entryDelay) {
        ParameterImage image = imageOf(*modules[i]);
        ParameterValues v = decode(image);
        v.zones[2].entryDelay = entryDelay;
        encode(v, image);
        writeFile("behind.cd2", QByteArray(reinterpret_cast<const char*>(image.data()), 2048));
        const CliResult r = cli({"write", dir.filePath("behind.cd2"), "--port", modules[i]->path()});
        ASSERT_EQ(r.exitCode, 0) << r.output.toStdString();
    }

    // The JSON lines of a fleet job, by site.
    static std::map<QString, QJsonObject> bySite(const CliResult& r) {
        std::map<QString, QJsonObject> out;
        for (const QString& line : r.output.split('\n', Qt::SkipEmptyParts)) {
            const QJsonObject o = QJsonDocument::fromJson(line.toUtf8()).object();
            if (o.contains("site")) out[o["site"].toString()] = o;
        }
        return out;
    }
    QJsonArray jsonOf(const QStringList& args) {
        return QJsonDocument::fromJson(cli(args).output.toUtf8().mid(0)).array();
    }
    // A command's JSON, standard error left out.
    QJsonArray listed(const QStringList& args) {
        QProcess p;
        QProcessEnvironment e = env;
        e.insert("CORVANTA_SITEBOOK", bookLocation);
        p.setProcessEnvironment(e);
        p.start(QString::fromStdString(CORVANTA_CLI), args);
        runToEnd(p);
        return QJsonDocument::fromJson(p.readAllStandardOutput()).array();
    }

    QTemporaryDir dir;
    std::unique_ptr<PtyModule> modules[4];
    QString bookLocation;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
};

class OfficeWorkOnEngines : public OfficeWork, public ::testing::WithParamInterface<Engine> {
protected:
    void SetUp() override {
        if (GetParam() == Engine::PostgreSQL && !serverAvailable()) GTEST_SKIP() << kNoServer;
        OfficeWork::SetUp();
        if (GetParam() == Engine::SQLite) return;
        QString database;
        const QString url = newServerBook(database);
        ASSERT_FALSE(url.isEmpty()) << "cannot create a database";
        useBook(url);
    }
};
INSTANTIATE_TEST_SUITE_P(Engines, OfficeWorkOnEngines, ::testing::Values(Engine::SQLite, Engine::PostgreSQL),
                         engineName);

}  // namespace

TEST_P(OfficeWorkOnEngines, ApplySkipsAModuleChangedSinceItsLastReadAndADryRunWritesNothing) {
    const QString sites = listOf({0, 1, 2});
    ASSERT_EQ(cli({"fleet", "read", "--sites", sites}).exitCode, 0);
    changeBehindTheBook(1, 77);
    const ParameterImage before[3] = {imageOf(*modules[0]), imageOf(*modules[1]), imageOf(*modules[2])};
    const int snapshots = listed({"history", "--json"}).size();

    CliResult r = cli({"fleet", "apply", dir.filePath("change.json"), "--sites", sites, "--dry-run", "--json"});
    EXPECT_EQ(r.exitCode, 1) << r.output.toStdString();  // one skipped
    auto outcome = bySite(r);
    ASSERT_EQ(outcome.size(), 3u) << r.output.toStdString();
    for (int i : {0, 2}) {
        EXPECT_EQ(outcome[name(i)]["result"].toString(), "would-change") << r.output.toStdString();
        QStringList paths;
        for (const auto& c : outcome[name(i)]["changes"].toArray()) paths << c.toObject()["path"].toString();
        EXPECT_EQ(paths, (QStringList{"phones[1]", "account"}));
    }
    EXPECT_EQ(outcome[name(1)]["result"].toString(), "skipped");
    EXPECT_TRUE(outcome[name(1)]["detail"].toString().contains("changed on the module since the last read"))
        << r.output.toStdString();
    for (int i = 0; i < 3; ++i) EXPECT_EQ(imageOf(*modules[i]), before[i]) << "a dry run wrote to module " << i;
    EXPECT_EQ(listed({"history", "--json"}).size(), snapshots);
    EXPECT_TRUE(listed({"audit", "--json"}).isEmpty());

    r = cli({"fleet", "apply", dir.filePath("change.json"), "--sites", sites, "--json"});
    EXPECT_EQ(r.exitCode, 1) << r.output.toStdString();
    outcome = bySite(r);
    const qint64 batch = outcome[name(0)]["batch"].toInteger();
    EXPECT_GT(batch, 0);
    for (int i : {0, 2}) {
        EXPECT_EQ(outcome[name(i)]["result"].toString(), "ok") << r.output.toStdString();
        // Those fields and no other bit: every other byte as read.
        EXPECT_EQ(changedPaths(before[i], imageOf(*modules[i])), (std::vector<std::string>{"phones[1]", "account"}));
        const ParameterValues v = decode(imageOf(*modules[i]));
        EXPECT_EQ(gridCellsText(v.phones[1]), "0612345678");
        EXPECT_EQ(gridCellsText(v.account), "1A2B");
    }
    EXPECT_EQ(outcome[name(1)]["result"].toString(), "skipped");
    EXPECT_EQ(imageOf(*modules[1]), before[1]);
    const QJsonArray audit = listed({"audit", "--json"});
    ASSERT_EQ(audit.size(), 2);
    for (const auto& w : audit) EXPECT_EQ(w.toObject()["batch"].toInteger(), batch);
    EXPECT_TRUE(cli({"audit"}).output.contains(QStringLiteral("    batch %1").arg(batch)));

    // Asked for, the changed one gets it too; the others hold it already.
    r = cli({"fleet", "apply", dir.filePath("change.json"), "--sites", sites, "--force", "--json"});
    EXPECT_EQ(r.exitCode, 0) << r.output.toStdString();
    outcome = bySite(r);
    EXPECT_EQ(outcome[name(1)]["result"].toString(), "ok");
    EXPECT_EQ(outcome[name(0)]["result"].toString(), "unchanged");
    EXPECT_EQ(changedPaths(before[1], imageOf(*modules[1])), (std::vector<std::string>{"phones[1]", "account"}));
}

TEST_P(OfficeWorkOnEngines, ApplyAndUndoWithOneModuleFailingInTheMiddle) {
    const QString sites = listOf({0, 1, 2, 3});
    ASSERT_EQ(cli({"fleet", "read", "--sites", sites}).exitCode, 0);
    ParameterImage original[4];
    for (int i = 0; i < 4; ++i) original[i] = imageOf(*modules[i]);

    modules[1]->module().faults().writeError.all = true;
    CliResult r = cli({"fleet", "apply", dir.filePath("change.json"), "--sites", sites, "--jobs", "1", "--json"});
    EXPECT_EQ(r.exitCode, 1) << r.output.toStdString();
    auto outcome = bySite(r);
    EXPECT_EQ(outcome[name(1)]["result"].toString(), "failed") << r.output.toStdString();
    EXPECT_TRUE(outcome[name(1)]["detail"].toString().contains("WRFLERR")) << r.output.toStdString();
    for (int i : {0, 2, 3}) EXPECT_EQ(outcome[name(i)]["result"].toString(), "ok") << r.output.toStdString();
    EXPECT_EQ(imageOf(*modules[1]), original[1]);
    const qint64 batch = outcome[name(0)]["batch"].toInteger();
    ASSERT_GT(batch, 0);
    EXPECT_TRUE(r.output.contains(QStringLiteral("batch %1 (corvanta-cli fleet undo %1").arg(batch)))
        << r.output.toStdString();

    // Since the batch: module 3 was changed again, module 4 refuses writes.
    modules[1]->module().faults().writeError.all = false;
    changeBehindTheBook(2, 99);
    const ParameterImage changedSince = imageOf(*modules[2]);
    const ParameterImage written = imageOf(*modules[3]);
    modules[3]->module().faults().writeError.all = true;
    r = cli({"fleet", "undo", QString::number(batch), "--jobs", "1", "--json"});
    EXPECT_EQ(r.exitCode, 1) << r.output.toStdString();
    outcome = bySite(r);
    ASSERT_EQ(outcome.size(), 4u) << r.output.toStdString();
    EXPECT_EQ(outcome[name(0)]["result"].toString(), "ok");
    EXPECT_EQ(outcome[name(1)]["result"].toString(), "unchanged");  // never written
    EXPECT_EQ(outcome[name(2)]["result"].toString(), "left");
    EXPECT_TRUE(outcome[name(2)]["detail"].toString().contains("no longer holds what batch")) << r.output.toStdString();
    EXPECT_EQ(outcome[name(3)]["result"].toString(), "failed");
    EXPECT_EQ(imageOf(*modules[0]), original[0]);
    EXPECT_EQ(imageOf(*modules[2]), changedSince);
    EXPECT_EQ(imageOf(*modules[3]), written);

    // Once it takes writes again, the undo finishes what it left; the module
    // already put back is not written again.
    modules[3]->module().faults().writeError.all = false;
    r = cli({"fleet", "undo", QStringLiteral("#%1").arg(batch), "--json"});
    outcome = bySite(r);
    EXPECT_EQ(outcome[name(3)]["result"].toString(), "ok") << r.output.toStdString();
    EXPECT_EQ(outcome[name(0)]["result"].toString(), "unchanged");
    EXPECT_EQ(imageOf(*modules[3]), original[3]);
    EXPECT_EQ(r.exitCode, 1);  // module 3 is still left as it is
}

TEST_P(OfficeWorkOnEngines, RestorePutsASnapshotBackAndTheAuditSaysWhichAndWhose) {
    ASSERT_EQ(cli({"fleet", "read", "--sites", listOf({0, 1})}).exitCode, 0);
    const QJsonArray history = listed({"history", "--json"});
    ASSERT_EQ(history.size(), 2);
    std::map<QString, qint64> snapshotOf;
    for (const auto& h : history) {
        snapshotOf[h.toObject()["site"].toString()] = h.toObject()["id"].toInteger();
        EXPECT_TRUE(h.toObject()["installation"].toBool()) << "a site's first read is its installation snapshot";
    }
    const ParameterImage installed = imageOf(*modules[0]);
    changeBehindTheBook(0, 55);
    const QString own = QStringLiteral("@%1").arg(snapshotOf[name(0)]);
    const QString other = QStringLiteral("@%1").arg(snapshotOf[name(1)]);

    // Without --yes nobody is there to answer: nothing is done.
    CliResult r = cli({"restore", own, "--port", modules[0]->path()});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.output.contains("--yes")) << r.output.toStdString();

    r = cli({"restore", own, "--port", modules[0]->path(), "--yes"});
    ASSERT_EQ(r.exitCode, 0) << r.output.toStdString();
    EXPECT_TRUE(r.output.contains(QString::fromUtf8("3. Zóna · Belépési késlelt. (zones[2].entryDelay): 55 → ")))
        << r.output.toStdString();
    EXPECT_EQ(imageOf(*modules[0]), installed);
    QJsonArray audit = listed({"audit", "--site", name(0), "--json"});
    ASSERT_EQ(audit.size(), 1);
    EXPECT_EQ(audit[0].toObject()["restored"].toInteger(), snapshotOf[name(0)]);
    EXPECT_FALSE(audit[0].toObject()["otherSite"].toBool());
    // The module's image before the restore was kept with its read.
    EXPECT_EQ(listed({"history", "--site", name(0), "--json"}).size(), 3);

    // Once there, a restore writes nothing.
    r = cli({"restore", own, "--port", modules[0]->path(), "--yes"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.output.contains("holds " + own + " already")) << r.output.toStdString();

    // Another site's snapshot goes onto this module only when asked for.
    r = cli({"restore", other, "--port", modules[0]->path(), "--site", name(0), "--yes"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.output.contains("--to-other-site")) << r.output.toStdString();
    changeBehindTheBook(0, 66);
    const ParameterImage beforeOther = imageOf(*modules[0]);
    r = cli({"restore", other, "--port", modules[0]->path(), "--site", name(0), "--yes"});
    EXPECT_EQ(imageOf(*modules[0]), beforeOther);
    r = cli({"restore", other, "--port", modules[0]->path(), "--site", name(0), "--yes", "--to-other-site"});
    ASSERT_EQ(r.exitCode, 0) << r.output.toStdString();
    EXPECT_EQ(imageOf(*modules[0]), imageOf(*modules[1]));
    audit = listed({"audit", "--site", name(0), "--json"});
    ASSERT_EQ(audit.size(), 2);
    EXPECT_EQ(audit[0].toObject()["restored"].toInteger(), snapshotOf[name(1)]);
    EXPECT_TRUE(audit[0].toObject()["otherSite"].toBool());
    EXPECT_TRUE(cli({"audit", "--site", name(0)}).output.contains(QStringLiteral("a snapshot of another site: ") + name(1)));
}

TEST_P(OfficeWorkOnEngines, ADueReadTakesOnlyTheSitesReadLongerAgoAndEverySiteOfTheBookWithALink) {
    {
        sitebook::SiteBook book;
        ASSERT_TRUE(book.open(bookLocation)) << book.error().toStdString();
        const QDateTime now = QDateTime::currentDateTimeUtc();
        for (int i = 0; i < 3; ++i) {
            sitebook::Site site;
            site.name = name(i);
            site.serialPort = modules[i]->path();
            ASSERT_TRUE(book.saveSite(site));
            // Read 40 and 2 days ago; the third never.
            if (i < 2) {
                ASSERT_TRUE(book.addSnapshot(site.id, sitebook::SnapshotKind::Read, imageOf(*modules[i]), {}, 2, {},
                                             now.addDays(i == 0 ? -40 : -2)));
            }
        }
        sitebook::Site byModem;  // no link the fleet can use
        byModem.name = QStringLiteral("Csak modem");
        byModem.modemNumber = QStringLiteral("0612345678");
        ASSERT_TRUE(book.saveSite(byModem));
    }
    CliResult r = cli({"fleet", "read", "--due", "30d", "--json"});
    EXPECT_EQ(r.exitCode, 0) << r.output.toStdString();
    auto outcome = bySite(r);
    EXPECT_EQ(outcome.size(), 2u) << r.output.toStdString();
    EXPECT_EQ(outcome[name(0)]["result"].toString(), "ok");
    EXPECT_EQ(outcome[name(2)]["result"].toString(), "ok");
    EXPECT_TRUE(r.output.contains("1 of 3 sites were read within 30d: not due")) << r.output.toStdString();

    // Now only the one read two days ago is older than twelve hours.
    r = cli({"fleet", "read", "--due", "12h", "--json"});
    outcome = bySite(r);
    EXPECT_EQ(outcome.size(), 1u) << r.output.toStdString();
    EXPECT_EQ(outcome[name(1)]["result"].toString(), "ok");
    // And nothing is due within two weeks; a list given is filtered alike.
    r = cli({"fleet", "read", "--due", "2w", "--sites", listOf({0, 1, 2})});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.output.contains("3 of 3 sites were read within 2w: not due")) << r.output.toStdString();
    EXPECT_EQ(cli({"fleet", "read", "--due", "30"}).exitCode, 2);
    EXPECT_EQ(cli({"fleet", "read", "--due", "3m"}).exitCode, 2);

    // The first read of a site is its installation snapshot, the later not.
    int installations = 0;
    for (const auto& h : listed({"history", "--json"})) installations += h.toObject()["installation"].toBool();
    EXPECT_EQ(installations, 3);
}

TEST_F(OfficeWork, ABadChangeIsRefusedNamingItsKeyBeforeAnyModuleIsAsked) {
    int heard = 0;
    modules[0]->onLine = [&](const std::string&) { ++heard; };
    const QString sites = listOf({0});
    const struct {
        const char* json;
        const char* says;
    } cases[] = {
        {R"({"zones": [{"nmae": "Garázs"}]})", "zones[0].nmae: unknown key"},
        {R"({"zones": [null, null, {"entryDelay": 300}]})", "zones[2].entryDelay: 300 is outside 0..255"},
        {R"({"installerCode": "12"})", "installerCode: the installer code must be 4 or 6 digits"},
        {R"({"phones": ["1", "2", "3", "4", "5", "6", "7", "8"]})", "phones: expected at most 7 entries, found 8"},
        {R"({"zones": 3})", "zones: expected an array"},
        {R"({"unmapped": {}})", "unmapped: a change gives values only"},
        {R"({"phones": [null]})", "the change gives no value"},
        {R"({"account": "1", "account": "2"})", "account: given twice"},
        {R"({"account": )", "not valid JSON"},
    };
    for (const auto& c : cases) {
        writeFile("bad.json", c.json);
        const CliResult r = cli({"fleet", "apply", dir.filePath("bad.json"), "--sites", sites});
        EXPECT_EQ(r.exitCode, 2) << c.json;
        EXPECT_TRUE(r.output.contains(QString::fromUtf8(c.says))) << c.json << ": " << r.output.toStdString();
    }
    EXPECT_EQ(heard, 0);
    EXPECT_FALSE(QFile::exists(bookLocation));
    EXPECT_EQ(cli({"fleet", "apply", dir.filePath("change.json")}).exitCode, 2);  // no list
    EXPECT_EQ(cli({"fleet", "undo", "x7"}).exitCode, 2);
}

}  // namespace corvanta::testing
