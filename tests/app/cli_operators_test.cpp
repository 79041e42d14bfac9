// corvanta-cli with operators of their own rights on a team book, and a
// site's installer code and TCP/IP password kept for unattended work.

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>

#include <atomic>

#include "params/parameter_codec.h"
#include "tests/link/sim_process.h"
#include "tests/support/book_engines.h"
#include "tests/support/qt_core_app.h"
#include "tests/support/file_bytes.h"

namespace corvanta::testing {
namespace {

const QString kOfficeSite = QString::fromUtf8("Kovács ház");

// The image read, with a user code and a zone name changed.
QByteArray changedImage(const QByteArray& read) {
    ParameterImage image;
    std::copy_n(read.constData(), kImageSize, reinterpret_cast<char*>(image.data()));
    ParameterValues v = decode(image);
    v.users[0].code = "9913";
    v.zones[0].name = "Kamra";
    encode(v, image);
    return QByteArray(reinterpret_cast<const char*>(image.data()), qsizetype(kImageSize));
}

class CliKeptSecrets : public ::testing::Test {
protected:
    void SetUp() override {
        ensureQtCoreApp();
        ASSERT_TRUE(sim.ready());
        env.insert("CORVANTA_SITEBOOK", sim.file("sitebook.sqlite"));
        // No session bus, so no secret service, on any machine.
        env.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/corvanta-test-bus");
        env.remove("CORVANTA_CODE");
        env.remove("CORVANTA_PASSWORD");
    }
    SimProcess sim;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
};

}  // namespace

TEST_F(CliKeptSecrets, WithoutASecretStoreNothingIsKeptItSaysSoAndTheCodeIsTakenAsBefore) {
    ASSERT_EQ(runCli({"read", "-o", sim.file("r.cd2"), "--port", sim.ptyPath(), "--code", "1234", "--site", kOfficeSite}, 60000,
                     env)
                  .exitCode,
              0);
    QProcessEnvironment withCode = env;
    withCode.insert("CORVANTA_CODE", "731946");
    CliResult r = runCli({"sites", "secret", kOfficeSite, "--from-env"}, 60000, withCode);
    EXPECT_EQ(r.exitCode, 1) << r.output.toStdString();
    EXPECT_TRUE(r.output.contains(QString::fromUtf8("nincs elérhető titoktár"))) << r.output.toStdString();
    EXPECT_TRUE(r.output.contains("Nothing kept")) << r.output.toStdString();
    EXPECT_FALSE(r.output.contains("731946"));
    EXPECT_FALSE(readAll(sim.file("sitebook.sqlite")).contains("731946"));
    EXPECT_EQ(runCli({"sites", "secret", "Nincs ilyen", "--from-env"}, 60000, withCode).exitCode, 2);
    r = runCli({"sites", "secret", kOfficeSite}, 60000, withCode);  // nobody at a terminal to answer
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.output.contains("--from-env")) << r.output.toStdString();

    // A code given is used without asking any store; none given, the store's
    // silence is said once and the command goes on as before.
    r = runCli({"read", "-o", sim.file("r2.cd2"), "--port", sim.ptyPath(), "--site", kOfficeSite}, 60000, withCode);
    EXPECT_FALSE(r.output.contains(QString::fromUtf8("titoktár"))) << r.output.toStdString();
    r = runCli({"version", "--port", sim.ptyPath(), "--site", kOfficeSite}, 60000, env);
    EXPECT_EQ(r.output.count(QString::fromUtf8("nincs elérhető titoktár")), 1) << r.output.toStdString();

    r = runCli({"book", "init-roles"}, 60000, env);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.output.contains("no roles")) << r.output.toStdString();
}

namespace {

class CliOperators : public CliKeptSecrets, public ::testing::WithParamInterface<Engine> {
protected:
    void SetUp() override {
        if (!serverAvailable()) GTEST_SKIP() << kNoServer;
        CliKeptSecrets::SetUp();
        QString database;
        ownerUrl = newServerBook(database);
        ASSERT_FALSE(ownerUrl.isEmpty()) << "cannot create a database";
    }
    // The environment of a login in `role`, made for the test.
    QProcessEnvironment as(const QString& role, QString* name = nullptr) {
        static std::atomic<int> counter{0};
        const QString login = QStringLiteral("cli_%1_%2").arg(QCoreApplication::applicationPid()).arg(++counter);
        RawConnection server({}, Engine::PostgreSQL);
        server.exec(QStringLiteral("CREATE ROLE %1 LOGIN PASSWORD 'pw'").arg(login));
        server.exec(QStringLiteral("GRANT %1 TO %2").arg(role, login));
        QUrl url(ownerUrl);
        url.setUserName(login);
        url.setPassword(QStringLiteral("pw"));
        QProcessEnvironment e = env;
        e.insert("CORVANTA_SITEBOOK", url.toString());
        if (name) *name = login;
        return e;
    }
    QString ownerUrl;
};
INSTANTIATE_TEST_SUITE_P(Engines, CliOperators, ::testing::Values(Engine::PostgreSQL), engineName);

}  // namespace

TEST_P(CliOperators, AViewerSeesCodesMaskedAndWritesNothingATechnicianWorksOnKeptSecretsAndTheAuditNamesEach) {
    QProcessEnvironment owner = env;
    owner.insert("CORVANTA_SITEBOOK", ownerUrl);
    ASSERT_EQ(runCli({"sites"}, 60000, owner).exitCode, 0);  // made
    CliResult r = runCli({"book", "init-roles"}, 60000, owner);
    ASSERT_EQ(r.exitCode, 0) << r.output.toStdString();
    ASSERT_EQ(runCli({"book", "init-roles"}, 60000, owner).exitCode, 0);

    QString techName;
    QProcessEnvironment tech = as("corvanta_technician", &techName);
    tech.insert("CORVANTA_CODE", "1234");
    const QString read = sim.file("read.cd2");
    r = runCli({"read", "-o", read, "--port", sim.ptyPath(), "--site", kOfficeSite}, 60000, tech);
    ASSERT_EQ(r.exitCode, 0) << r.output.toStdString();
    const QString changed = sim.file("changed.cd2");
    writeAll(changed, changedImage(readAll(read)));
    r = runCli({"write", changed, "--port", sim.ptyPath(), "--site", kOfficeSite}, 60000, tech);
    ASSERT_EQ(r.exitCode, 0) << r.output.toStdString();

    const QProcessEnvironment viewer = as("corvanta_viewer");
    r = runCli({"audit"}, 60000, viewer);
    ASSERT_EQ(r.exitCode, 0) << r.output.toStdString();
    EXPECT_TRUE(r.output.contains("\tby " + techName + " (os: ")) << r.output.toStdString();
    EXPECT_TRUE(r.output.contains(QString::fromUtf8("(users[0].code): \"••••\""))) << r.output.toStdString();
    EXPECT_TRUE(r.output.contains("Kamra"));
    EXPECT_FALSE(r.output.contains("9913"));
    const QJsonArray audit = QJsonDocument::fromJson(runCli({"audit", "--json"}, 60000, viewer).output.toUtf8()).array();
    ASSERT_EQ(audit.size(), 1);
    EXPECT_EQ(audit[0].toObject()["dbRole"].toString(), techName);
    const QJsonArray history = QJsonDocument::fromJson(runCli({"history", "--json"}, 60000, viewer).output.toUtf8()).array();
    ASSERT_EQ(history.size(), 2);
    // The listings' windows read through the views alike.
    EXPECT_EQ(QJsonDocument::fromJson(runCli({"history", "--json", "--limit", "1"}, 60000, viewer).output.toUtf8())
                  .array()
                  .size(),
              1);
    EXPECT_TRUE(runCli({"sites", "--since", "2000-01-01"}, 60000, viewer).output.startsWith(kOfficeSite + "\t"));
    const QString older = "@" + QString::number(history[1].toObject()["id"].toInteger());
    const QString newer = "@" + QString::number(history[0].toObject()["id"].toInteger());
    r = runCli({"diff", older, newer}, 60000, viewer);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.output.contains("Kamra")) << r.output.toStdString();
    EXPECT_FALSE(r.output.contains("9913"));
    EXPECT_TRUE(runCli({"diff", older, newer}, 60000, tech).output.contains("9913"));
    // Refused before the module is reached.
    for (const QStringList& command : {QStringList{"write", changed}, QStringList{"restore", older, "--yes"},
                                       QStringList{"clock", "--set", "now"}}) {
        r = runCli(command + QStringList{"--port", sim.ptyPath(), "--code", "1234"}, 60000, viewer);
        EXPECT_EQ(r.exitCode, 2) << r.output.toStdString();
        EXPECT_TRUE(r.output.contains("corvanta_viewer, which writes to no module and stores nothing"))
            << r.output.toStdString();
        EXPECT_FALSE(r.output.contains("Blokkok"));
    }
    EXPECT_EQ(runCli({"history"}, 60000, owner).output.count('\n'), 2);

    // Only an admin keeps a site's code and password.
    QProcessEnvironment admin = as("corvanta_admin");
    admin.insert("CORVANTA_CODE", "1234");
    admin.insert("CORVANTA_PASSWORD", SimProcess::kPassword);
    QProcessEnvironment techKeeping = tech;
    techKeeping.insert("CORVANTA_PASSWORD", SimProcess::kPassword);
    EXPECT_EQ(runCli({"sites", "secret", kOfficeSite, "--from-env"}, 60000, techKeeping).exitCode, 2);
    r = runCli({"sites", "secret", kOfficeSite, "--from-env"}, 60000, admin);
    ASSERT_EQ(r.exitCode, 0) << r.output.toStdString();
    EXPECT_FALSE(r.output.contains(SimProcess::kPassword));

    // Nobody types them now: the fleet and restore take what is kept.
    QProcessEnvironment unattended = tech;
    unattended.remove("CORVANTA_CODE");
    writeAll(sim.file("sites.csv"),
             QStringLiteral("name,host,tcpPort\n\"%1\",127.0.0.1,%2\n").arg(kOfficeSite).arg(sim.tcpPort()).toUtf8());
    r = runCli({"fleet", "read", "--sites", sim.file("sites.csv")}, 60000, unattended);
    EXPECT_EQ(r.exitCode, 0) << r.output.toStdString();
    EXPECT_FALSE(r.output.contains(SimProcess::kPassword));
    r = runCli({"restore", older, "--yes", "--port", sim.ptyPath()}, 60000, unattended);
    EXPECT_EQ(r.exitCode, 0) << r.output.toStdString();
    r = runCli({"audit"}, 60000, owner);
    EXPECT_EQ(r.output.count("\tby " + techName + " (os: "), 2) << r.output.toStdString();

    // A viewer's compare judges the module by its masked snapshot without
    // counting the codes it cannot see.
    QProcessEnvironment comparing = viewer;
    comparing.insert("CORVANTA_CODE", "1234");
    comparing.insert("CORVANTA_PASSWORD", SimProcess::kPassword);
    r = runCli({"fleet", "compare", "--sites", sim.file("sites.csv")}, 60000, comparing);
    EXPECT_EQ(r.exitCode, 0) << r.output.toStdString();
    EXPECT_TRUE(r.output.contains("\tunchanged\t")) << r.output.toStdString();
}

}  // namespace corvanta::testing
