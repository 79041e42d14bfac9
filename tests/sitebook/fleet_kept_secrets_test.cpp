// A fleet gives each site's children the code and password kept for the
// site, in their environment: never on their command line, and the list's
// own password file goes first.

#include "fleet/fleet_run.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <map>

#include "tests/support/qt_core_app.h"

using namespace corvanta;
using namespace corvanta::fleet;
using namespace corvanta::sitebook;

namespace {

// What one child was given, as the stand-in program wrote it down.
struct Given {
    QString code;
    QString password;
    QStringList args;
};

// The children are told apart by their link: a child only reads the module,
// and the fleet stores what it read, so no child is given its site's name.
std::map<QString, Given> givenBySite(const QString& path, const std::vector<FleetSite>& sites) {
    std::map<QString, Given> out;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return out;
    for (const QString& line : QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QStringList parts = line.split(QLatin1Char('\t'));
        Given g{parts.value(0), parts.value(1), parts.mid(2)};
        const QString port = g.args.value(g.args.indexOf(QStringLiteral("--port")) + 1);
        const QString tcpPort = g.args.value(g.args.indexOf(QStringLiteral("--tcp-port")) + 1);
        for (const FleetSite& site : sites) {
            if ((!site.port.isEmpty() && g.args.contains(QStringLiteral("--port")) && port == site.port) ||
                (site.tcpPort && g.args.contains(QStringLiteral("--tcp-port")) && tcpPort == QString::number(site.tcpPort)))
                out[site.name] = g;
        }
    }
    return out;
}

}  // namespace

TEST(FleetKeptSecrets, EachSitesChildrenGetItsKeptCodeAndPasswordInTheirEnvironmentOnly) {
    ensureQtCoreApp();
    QTemporaryDir dir;
    const QString out = dir.filePath("given.txt");
    const QString program = dir.filePath("child.sh");
    {
        QFile f(program);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\n"
                "{ printf '%s\\t%s' \"$CORVANTA_CODE\" \"${CORVANTA_PASSWORD-unset}\"; printf '\\t%s' \"$@\"; "
                "printf '\\n'; } >> \"$GIVEN\"\nexit 1\n");
        f.close();
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    QFile pw(dir.filePath("pw.txt"));
    ASSERT_TRUE(pw.open(QIODevice::WriteOnly));
    pw.write("from-the-list\n");
    pw.close();

    std::vector<FleetSite> sites(4);
    sites[0].name = QStringLiteral("Kept");
    sites[0].host = QStringLiteral("127.0.0.1");
    sites[0].tcpPort = 10001;
    sites[1].name = QStringLiteral("Listed");
    sites[1].host = QStringLiteral("127.0.0.1");
    sites[1].tcpPort = 10002;
    sites[1].passwordFile = pw.fileName();
    sites[2].name = QStringLiteral("Serial");
    sites[2].port = dir.filePath("tty");
    sites[3].name = QStringLiteral("Nothing kept");
    sites[3].host = QStringLiteral("127.0.0.1");
    sites[3].tcpPort = 10004;

    FleetOptions o;
    o.program = program;
    o.jobs = 1;
    o.bookLocation = dir.filePath("sitebook.sqlite");
    o.environment.insert(QStringLiteral("GIVEN"), out);
    o.environment.insert(QStringLiteral("CORVANTA_CODE"), QStringLiteral("1111"));  // the fleet's own
    o.environment.remove(QStringLiteral("CORVANTA_PASSWORD"));
    std::map<QString, SiteSecret> kept{
        {QStringLiteral("Kept"), {QStringLiteral("702513"), QStringLiteral("kept-password-1")}},
        {QStringLiteral("Listed"), {QStringLiteral("702514"), QStringLiteral("kept-password-2")}},
        {QStringLiteral("Serial"), {QStringLiteral("702515"), QStringLiteral("kept-password-3")}},
    };
    int asked = 0;
    o.keptSecret = [&](const QString& name) {
        ++asked;
        const auto it = kept.find(name);
        return it == kept.end() ? SiteSecret{} : it->second;
    };
    FleetRun run(sites, o);
    ASSERT_TRUE(run.exec()) << run.error().toStdString();

    const auto given = givenBySite(out, sites);
    ASSERT_EQ(given.size(), 4u);
    EXPECT_EQ(given.at("Kept").code, QStringLiteral("702513"));
    EXPECT_EQ(given.at("Kept").password, QStringLiteral("kept-password-1"));
    EXPECT_EQ(given.at("Listed").code, QStringLiteral("702514"));
    EXPECT_EQ(given.at("Listed").password, QStringLiteral("unset"));  // its file is named instead
    EXPECT_TRUE(given.at("Listed").args.contains(pw.fileName()));
    EXPECT_EQ(given.at("Serial").code, QStringLiteral("702515"));
    EXPECT_EQ(given.at("Serial").password, QStringLiteral("unset"));
    EXPECT_EQ(given.at("Nothing kept").code, QStringLiteral("1111"));
    EXPECT_EQ(given.at("Nothing kept").password, QStringLiteral("unset"));
    for (const auto& [site, g] : given) {
        const QString args = g.args.join(QLatin1Char(' '));
        for (const auto& [name, secret] : kept)
            EXPECT_FALSE(args.contains(secret.installerCode) || args.contains(secret.tcpPassword))
                << site.toStdString() << ": " << args.toStdString();
    }
    EXPECT_EQ(asked, 4);
}
