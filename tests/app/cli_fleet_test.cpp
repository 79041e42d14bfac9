// corvanta-cli's fleet jobs against several simulators, each in its own
// process, with a site book file or on a PostgreSQL server.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include <map>
#include <memory>

#include "params/parameter_codec.h"
#include "tests/link/sim_process.h"
#include "tests/support/book_engines.h"
#include "tests/support/qt_core_app.h"

namespace corvanta::testing {
namespace {

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// The JSON lines of a fleet job, by site.
std::map<QString, QJsonObject> bySite(const CliResult& r) {
    std::map<QString, QJsonObject> out;
    for (const QString& line : r.output.split('\n', Qt::SkipEmptyParts)) {
        const QJsonObject o = QJsonDocument::fromJson(line.toUtf8()).object();
        if (!o.isEmpty()) out[o["site"].toString()] = o;
    }
    return out;
}

class CliFleet : public ::testing::Test {
protected:
    void SetUp() override {
        ensureQtCoreApp();
        ASSERT_TRUE(dir.isValid());
        for (auto& s : sims) {
            s = std::make_unique<SimProcess>();
            ASSERT_TRUE(s->ready());
        }
        env.insert("CORVANTA_SITEBOOK", dir.filePath("sitebook.sqlite"));
        env.insert("CORVANTA_CODE", "1234");
        env.remove("CORVANTA_PASSWORD");
    }
    CliResult fleet(const QString& csv, QStringList args) {
        writeAll(dir.filePath("sites.csv"), csv.toUtf8());
        return runCli(QStringList{"fleet"} + args + QStringList{"--sites", dir.filePath("sites.csv")}, 60000, env);
    }

    QTemporaryDir dir;
    std::unique_ptr<SimProcess> sims[3];
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
};

class CliFleetOnEngines : public CliFleet, public ::testing::WithParamInterface<Engine> {
protected:
    void SetUp() override {
        if (GetParam() == Engine::PostgreSQL && !serverAvailable()) GTEST_SKIP() << kNoServer;
        CliFleet::SetUp();
        if (GetParam() == Engine::SQLite) return;
        QString database;
        const QString url = newServerBook(database);
        ASSERT_FALSE(url.isEmpty()) << "cannot create a database";
        env.insert("CORVANTA_SITEBOOK", url);
    }
};
INSTANTIATE_TEST_SUITE_P(Engines, CliFleetOnEngines, ::testing::Values(Engine::SQLite, Engine::PostgreSQL),
                         engineName);

}  // namespace

TEST_P(CliFleetOnEngines, ReadCompareAndClockServeEverySiteAndNameTheOneThatFailed) {
    writeAll(dir.filePath("pw.txt"), QByteArray(SimProcess::kPassword) + "\n");
    const QString csv = QStringLiteral("name,port,host,tcpPort,passwordFile\n"
                                       "Első,%1,,,\n"
                                       "\"Második, hátsó\",%2,,,\n"
                                       "Harmadik,,127.0.0.1,%3,pw.txt\n"
                                       "Nincs ott,%4,,,\n")
                            .arg(sims[0]->ptyPath(), sims[1]->ptyPath())
                            .arg(sims[2]->tcpPort())
                            .arg(dir.filePath("no-such-tty"));
    CliResult r = fleet(csv, {"read", "--json", "--jobs", "3"});
    EXPECT_EQ(r.exitCode, 1) << r.output.toStdString();
    auto sites = bySite(r);
    ASSERT_EQ(sites.size(), 4u) << r.output.toStdString();
    for (const QString name : {"Első", "Második, hátsó", "Harmadik"}) {
        EXPECT_EQ(sites[name]["result"].toString(), "ok") << r.output.toStdString();
        EXPECT_GT(sites[name]["snapshot"].toInteger(), 0);
        EXPECT_GE(sites[name]["seconds"].toDouble(), 0.0);
    }
    EXPECT_EQ(sites["Nincs ott"]["result"].toString(), "failed");
    EXPECT_FALSE(sites["Nincs ott"]["detail"].toString().isEmpty());
    EXPECT_EQ(runCli({"history"}, 60000, env).output.count('\n'), 3);

    // One module changes; compare names it and the field, the rest are as stored.
    const QString changed = dir.filePath("changed.cd2");
    ASSERT_EQ(runCli({"read", "-o", changed, "--port", sims[1]->ptyPath()}, 60000, env).exitCode, 0);
    QFile f(changed);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    ParameterImage image;
    const QByteArray bytes = f.readAll();
    std::copy_n(bytes.constData(), kImageSize, reinterpret_cast<char*>(image.data()));
    ParameterValues v = decode(image);
    v.zones[2].entryDelay = (v.zones[2].entryDelay + 7) % 256;
    encode(v, image);
    writeAll(changed, QByteArray(reinterpret_cast<const char*>(image.data()), 2048));
    ASSERT_EQ(runCli({"write", changed, "--port", sims[1]->ptyPath()}, 60000, env).exitCode, 0);

    r = fleet(csv, {"compare"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.output.contains(QStringLiteral("Második, hátsó\tchanged\t"))) << r.output.toStdString();
    EXPECT_TRUE(r.output.contains(QStringLiteral("    3. Zóna · Belépési késlelt. (zones[2].entryDelay): ")));
    EXPECT_TRUE(r.output.contains(QStringLiteral("Első\tunchanged\t")));
    EXPECT_TRUE(r.output.contains(QStringLiteral("Nincs ott\tfailed\t")));
    EXPECT_TRUE(r.output.contains(QStringLiteral("4 sites: 3 succeeded, 1 failed")));

    // Without the site that is not there, every clock is set: exit 0.
    r = fleet(csv.left(csv.lastIndexOf(QStringLiteral("Nincs ott"))), {"clock", "--set", "now", "--jobs", "1"});
    EXPECT_EQ(r.exitCode, 0) << r.output.toStdString();
    EXPECT_EQ(r.output.count(QStringLiteral("\tok\t")), 3);
}

TEST_F(CliFleet, ABadListIsRefusedNamingItsLineAndNothingIsDone) {
    const struct {
        const char* csv;
        const char* says;
    } cases[] = {
        {"name,port\nA,/dev/x\nB\n", "line 3: 1 fields where the header has 2"},
        {"name,port,host\nA,/dev/x,10.0.0.1\n", "line 2: give either a port or a host"},
        {"name,port\nA,/dev/x\nA,/dev/y\n", "line 3: \"A\" named twice"},
        {"name,prot\nA,/dev/x\n", "line 1: unknown column \"prot\""},
        {"name,host,tcpPort\nA,h,99999\n", "line 2: tcpPort \"99999\""},
        {"name,port\n\"A,/dev/x\n", "line 2: a quote is never closed"},
        {"name,port\n", "line 1: no sites"},
    };
    for (const auto& c : cases) {
        const CliResult r = fleet(QString::fromUtf8(c.csv), {"read"});
        EXPECT_EQ(r.exitCode, 2) << c.csv;
        EXPECT_TRUE(r.output.contains(QString::fromUtf8(c.says))) << r.output.toStdString();
    }
    EXPECT_FALSE(QFile::exists(dir.filePath("sitebook.sqlite")));
}

}  // namespace corvanta::testing
