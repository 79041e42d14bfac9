// corvanta-cli with a site book, against the simulator in its own process.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "params/parameter_codec.h"
#include "tests/link/sim_process.h"
#include "tests/support/qt_core_app.h"
#include "tests/support/file_bytes.h"

namespace corvanta::testing {
namespace {

QJsonArray jsonOf(const CliResult& r) { return QJsonDocument::fromJson(r.output.toUtf8()).array(); }

class CliSiteBook : public ::testing::Test {
protected:
    void SetUp() override {
        ensureQtCoreApp();
        ASSERT_TRUE(sim.ready());
        book = sim.file("book/sitebook.sqlite");
        qputenv("CORVANTA_SITEBOOK", book.toUtf8());
    }
    void TearDown() override { qunsetenv("CORVANTA_SITEBOOK"); }
    CliResult onModule(QStringList args) {
        return runCli(args << "--port" << sim.ptyPath() << "--code" << "1234" << "--site" << QString::fromUtf8("Kovács ház"));
    }

    SimProcess sim;
    QString book;
};

}  // namespace

TEST_F(CliSiteBook, ReadAndWriteAreStoredAndListedWithTheFieldsThatChanged) {
    const QString read = sim.file("read.cd2");
    CliResult r = onModule({"read", "-o", read});
    ASSERT_EQ(r.exitCode, 0) << r.output.toStdString();

    // Change one zone's entry delay and write it back.
    const QByteArray bytes = readAll(read);
    ASSERT_EQ(bytes.size(), 2048);
    ParameterImage image;
    std::copy_n(bytes.constData(), kImageSize, reinterpret_cast<char*>(image.data()));
    ParameterValues v = decode(image);
    v.zones[2].entryDelay = (v.zones[2].entryDelay + 7) % 256;
    encode(v, image);
    const QString changed = sim.file("changed.cd2");
    writeAll(changed, QByteArray(reinterpret_cast<const char*>(image.data()), 2048));
    r = onModule({"write", changed});
    ASSERT_EQ(r.exitCode, 0) << r.output.toStdString();

    const QJsonArray history = jsonOf(runCli({"history", "--site", QString::fromUtf8("Kovács ház"), "--json"}));
    ASSERT_EQ(history.size(), 2);
    const QJsonObject newest = history[0].toObject();
    EXPECT_EQ(newest["kind"].toString(), "written");
    EXPECT_EQ(history[1].toObject()["kind"].toString(), "read");
    const QStringList keys{"dataVersion", "dbRole", "host", "id", "kind", "moduleVersion", "osUser", "sha256", "site",
                           "takenAt"};
    EXPECT_EQ(newest.keys(), keys);
    EXPECT_TRUE(newest["takenAt"].toString().endsWith('Z'));

    const QJsonArray audit = jsonOf(runCli({"audit", "--json"}));
    ASSERT_EQ(audit.size(), 1);
    const QJsonObject write = audit[0].toObject();
    EXPECT_EQ(write["result"].toString(), "ok");
    EXPECT_EQ(write["blocks"].toString(), "GGGGGGGG");
    const QJsonArray changes = write["changes"].toArray();
    ASSERT_EQ(changes.size(), 1);
    EXPECT_EQ(changes[0].toObject()["path"].toString(), "zones[2].entryDelay");

    const QJsonArray sites = jsonOf(runCli({"sites", "--json"}));
    ASSERT_EQ(sites.size(), 1);
    EXPECT_EQ(sites[0].toObject()["serialPort"].toString(), sim.ptyPath());

    // diff(1)'s exits: 1 different, 0 equal, 2 bad input.
    const QString older = "@" + QString::number(history[1].toObject()["id"].toInteger());
    const QString newer = "@" + QString::number(newest["id"].toInteger());
    r = runCli({"diff", older, newer});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.output.startsWith(QString::fromUtf8("3. Zóna · Belépési késlelt. (zones[2].entryDelay): ")))
        << r.output.toStdString();
    EXPECT_EQ(runCli({"diff", newer, changed}).exitCode, 0);
    EXPECT_EQ(runCli({"diff", newer, sim.file("missing.cd2")}).exitCode, 2);
    EXPECT_EQ(runCli({"diff", "@999", changed}).exitCode, 2);

    const QString exported = sim.file("exported.cd2");
    ASSERT_EQ(runCli({"snapshot", older, "-o", exported}).exitCode, 0);
    EXPECT_EQ(readAll(exported), bytes);

    // The module now holds the change; comparing the first read names it.
    r = runCli({"compare", read, "--fields", "--port", sim.ptyPath(), "--code", "1234"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.output.contains("(zones[2].entryDelay)")) << r.output.toStdString();
}

TEST_F(CliSiteBook, ADamagedBookStopsNoReadAndIsLeftAsItWas) {
    QDir().mkpath(sim.file("book"));
    const QByteArray junk(4096, '\x42');
    writeAll(book, junk);
    const QString read = sim.file("read.cd2");
    const CliResult r = onModule({"read", "-o", read});
    EXPECT_EQ(r.exitCode, 0) << r.output.toStdString();
    EXPECT_EQ(readAll(read).size(), 2048);
    EXPECT_TRUE(r.output.contains(QString::fromUtf8("A helyszínkönyvbe nem került semmi"))) << r.output.toStdString();
    EXPECT_EQ(readAll(book), junk);
    EXPECT_EQ(runCli({"history"}).exitCode, 2);
}

}  // namespace corvanta::testing
