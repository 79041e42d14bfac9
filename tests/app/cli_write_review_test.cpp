// corvanta-cli write --dry-run against the simulator: the fields a write
// would change on the module, as text and as JSON, nothing written; and the
// fields a write with --site changed against the site's latest snapshot.

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "params/parameter_codec.h"
#include "tests/link/sim_process.h"
#include "tests/support/qt_core_app.h"

namespace corvanta::testing {
namespace {

class CliWriteReview : public ::testing::Test {
protected:
    void SetUp() override {
        ensureQtCoreApp();
        ASSERT_TRUE(sim.ready());
        qputenv("CORVANTA_SITEBOOK", sim.file("book/sitebook.sqlite").toUtf8());
    }
    void TearDown() override { qunsetenv("CORVANTA_SITEBOOK"); }
    QStringList link() const { return {"--port", sim.ptyPath(), "--code", "1234"}; }
    ParameterImage readModule() {
        const QString path = sim.file("module.cd2");
        const CliResult r = runCli(QStringList{"read", "-o", path} + link());
        EXPECT_EQ(r.exitCode, 0) << r.output.toStdString();
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        ParameterImage image{};
        std::copy_n(bytes.constData(), std::min<qsizetype>(bytes.size(), kImageSize), reinterpret_cast<char*>(image.data()));
        return image;
    }
    QString save(const QString& name, const ParameterImage& image) {
        const QString path = sim.file(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(reinterpret_cast<const char*>(image.data()), qsizetype(image.size()));
        return path;
    }

    SimProcess sim;
};

TEST_F(CliWriteReview, ADryRunListsWhatAWriteWouldChangeOnTheModuleAndWritesNothing) {
    const ParameterImage module = readModule();
    ParameterValues v = decode(module);
    const int delay = v.zones[2].entryDelay;
    v.zones[2].entryDelay = (delay + 7) % 256;
    v.users[0].code = "9753";  // the module holds a code for the first user
    ParameterImage changed = module;
    encode(v, changed);
    const QString file = save("changed.cd2", changed);

    const CliSplitResult text = runCliSplit(QStringList{"write", file, "--dry-run"} + link());
    ASSERT_EQ(text.exitCode, 0) << text.errors.toStdString();
    const QStringList lines = text.output.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 3) << text.output.toStdString();
    EXPECT_EQ(lines[0], QString::fromUtf8("Figyelem: 1 felhasználói kódot felülír"));
    // In the catalogue's order: the zones come before the users.
    EXPECT_EQ(lines[1], QString::fromUtf8("3. Zóna · Belépési késlelt. (zones[2].entryDelay): %1 → %2")
                            .arg(delay)
                            .arg((delay + 7) % 256));
    EXPECT_EQ(lines[2], QString::fromUtf8("1. Felhasználó · Azonosító kódja (users[0].code): \"••••\" → \"•••• (új)\""));
    EXPECT_FALSE(text.output.contains("9753"));
    EXPECT_TRUE(text.errors.contains("would change 2 fields on the module; nothing was written")) << text.errors.toStdString();
    EXPECT_EQ(readModule(), module);

    const CliSplitResult json = runCliSplit(QStringList{"write", file, "--dry-run", "--json"} + link());
    ASSERT_EQ(json.exitCode, 0) << json.errors.toStdString();
    const QJsonObject o = QJsonDocument::fromJson(json.output.toUtf8()).object();
    EXPECT_EQ(o["against"].toString(), "module");
    EXPECT_EQ(o["count"].toInt(), 2);
    EXPECT_EQ(o["userCodesOverwritten"].toArray(), QJsonArray{0});
    EXPECT_EQ(o["warnings"].toArray(), QJsonArray{QString::fromUtf8("1 felhasználói kódot felülír")});
    const QJsonArray changes = o["changes"].toArray();
    ASSERT_EQ(changes.size(), 2);
    EXPECT_EQ(changes[0].toObject()["path"].toString(), "zones[2].entryDelay");
    EXPECT_EQ(changes[0].toObject()["before"].toString(), QString::number(delay));
    EXPECT_EQ(changes[1].toObject()["before"].toString(), QString::fromUtf8("••••"));
    EXPECT_EQ(readModule(), module);

    // The file itself: nothing to change.
    const CliSplitResult same = runCliSplit(QStringList{"write", save("same.cd2", module), "--dry-run"} + link());
    EXPECT_EQ(same.exitCode, 0);
    EXPECT_TRUE(same.output.isEmpty()) << same.output.toStdString();
    EXPECT_TRUE(same.errors.contains("would change 0 fields"));
    // --json belongs to the dry run.
    EXPECT_EQ(runCli(QStringList{"write", file, "--json"} + link()).exitCode, 2);
}

TEST_F(CliWriteReview, AWriteWithASitePrintsTheFieldsItChangedAgainstTheSitesLatestSnapshot) {
    const QString site = QStringLiteral("Raktár");
    const ParameterImage module = readModule();
    ASSERT_EQ(runCli(QStringList{"read", "-o", sim.file("kept.cd2"), "--site", site} + link()).exitCode, 0);
    ParameterValues v = decode(module);
    v.zones[5].name = "Pince";
    ParameterImage changed = module;
    encode(v, changed);
    const CliResult r = runCli(QStringList{"write", save("pince.cd2", changed), "--site", site} + link());
    ASSERT_EQ(r.exitCode, 0) << r.output.toStdString();
    EXPECT_TRUE(r.output.contains(QStringLiteral("Changed against snapshot @1: 1 field\n"))) << r.output.toStdString();
    EXPECT_TRUE(r.output.contains(QString::fromUtf8("6. Zóna · Zóna neve (zones[5].name): ")));
    EXPECT_TRUE(r.output.contains(QString::fromUtf8("→ \"Pince\"")));
}

}  // namespace
}  // namespace corvanta::testing
