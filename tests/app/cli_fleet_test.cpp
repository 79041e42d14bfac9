// corvanta-cli's fleet jobs against several simulators, each in its own
// process, with a site book file or on a PostgreSQL server.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include <QDirIterator>

#include <csignal>
#include <map>
#include <memory>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "params/parameter_codec.h"
#include "tests/app/pty_module.h"
#include "tests/link/sim_process.h"
#include "tests/support/book_engines.h"
#include "tests/support/qt_core_app.h"
#include "tests/support/build_paths.h"
#include "tests/support/file_bytes.h"

namespace corvanta::testing {
namespace {

// The JSON lines of a fleet job, by site.
std::map<QString, QJsonObject> bySite(const CliResult& r) {
    std::map<QString, QJsonObject> out;
    for (const QString& line : r.output.split('\n', Qt::SkipEmptyParts)) {
        const QJsonObject o = QJsonDocument::fromJson(line.toUtf8()).object();
        if (!o.isEmpty()) out[o["site"].toString()] = o;
    }
    return out;
}

// The processes whose parent is `pid`, from /proc.
std::vector<pid_t> childrenOf(qint64 pid) {
    std::vector<pid_t> out;
    QDirIterator it(QStringLiteral("/proc"), QDir::Dirs | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        const QString dir = it.next();
        bool number = false;
        const pid_t candidate = pid_t(QFileInfo(dir).fileName().toInt(&number));
        if (!number) continue;
        QFile stat(dir + QStringLiteral("/stat"));
        if (!stat.open(QIODevice::ReadOnly)) continue;
        // "pid (name) state ppid ...": the name may hold blanks, not ')'.
        const QByteArray text = stat.readAll();
        const QList<QByteArray> rest = text.mid(text.lastIndexOf(')') + 2).split(' ');
        if (rest.size() > 1 && rest[1].toLongLong() == pid) out.push_back(candidate);
    }
    return out;
}

// Waits, without sleeping, for a process to end: true when it did within
// `ms` (or was gone already).
bool ends(pid_t pid, int ms) {
    const int fd = int(::syscall(SYS_pidfd_open, pid, 0));
    if (fd < 0) return errno == ESRCH;
    pollfd p{fd, POLLIN, 0};
    const bool ended = ::poll(&p, 1, ms) == 1;
    ::close(fd);
    return ended;
}

QStringList runFolders(const QString& tmp) {
    return QDir(tmp).entryList({QStringLiteral("corvanta-fleet-*")}, QDir::Dirs | QDir::NoDotAndDotDot);
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

    // What no person wrote: a NUL in a name, a name of 200 kB, a device.
    const QString nul = QStringLiteral("name,port\nA,/dev/x\nB") + QChar(0) + QStringLiteral("C,/dev/y\n");
    CliResult r = fleet(nul, {"read"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.output.contains("line 3: a NUL byte")) << r.output.toStdString();
    r = fleet(QStringLiteral("name,port\n%1,/dev/x\n").arg(QString(200 * 1024, QLatin1Char('n'))), {"read"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.output.contains(QString::fromUtf8("line 2: a helyszín neve 204800 karakter hosszú, legfeljebb 200")))
        << r.output.left(300).toStdString();
    r = runCli({"fleet", "read", "--sites", "/dev/zero"}, 60000, env);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.output.contains("/dev/zero: larger than 4 MiB")) << r.output.toStdString();
}

// The book is unavailable while the modules are read: a file that is no
// book, or a server database not there yet. Each image waits in the spool
// and goes in, with the time it was read, once the book answers.
TEST_P(CliFleetOnEngines, AReadTheBookCannotTakeIsKeptUntilTheBookAnswers) {
    const bool file = GetParam() == Engine::SQLite;
    QString database, url;
    if (file) {
        writeAll(dir.filePath("sitebook.sqlite"), QByteArray(4096, 'x'));
    } else {
        url = newServerBook(database);
        RawConnection({}, Engine::PostgreSQL).exec(QStringLiteral("DROP DATABASE ") + database);
        env.insert("CORVANTA_SITEBOOK", url);
        env.insert("XDG_DATA_HOME", dir.filePath("data"));
    }
    const QString csv = QStringLiteral("name,port\nEgyik,%1\nMásik,%2\n").arg(sims[0]->ptyPath(), sims[1]->ptyPath());
    CliResult r = fleet(csv, {"read", "--json"});
    EXPECT_EQ(r.exitCode, 1) << r.output.toStdString();
    auto sites = bySite(r);
    ASSERT_EQ(sites.size(), 2u) << r.output.toStdString();
    for (const QString name : {"Egyik", "Másik"}) {
        EXPECT_EQ(sites[name]["result"].toString(), "spooled") << r.output.toStdString();
        EXPECT_TRUE(sites[name]["detail"].toString().contains(".spool") || !file) << r.output.toStdString();
    }
    EXPECT_TRUE(r.output.contains("2 read(s) wait in")) << r.output.toStdString();

    // The book is back: the next run stores what waited, then its own reads.
    if (file) {
        ASSERT_TRUE(QFile::remove(dir.filePath("sitebook.sqlite")));
    } else {
        ASSERT_TRUE(RawConnection({}, Engine::PostgreSQL).exec(QStringLiteral("CREATE DATABASE ") + database));
    }
    r = fleet(csv, {"read", "--json"});
    EXPECT_EQ(r.exitCode, 0) << r.output.toStdString();
    int stored = 0;
    for (const QString& line : r.output.split('\n', Qt::SkipEmptyParts)) {
        const QJsonObject o = QJsonDocument::fromJson(line.toUtf8()).object();
        if (o["result"].toString() != "stored") continue;
        ++stored;
        EXPECT_GT(o["snapshot"].toInteger(), 0);
    }
    EXPECT_EQ(stored, 2) << r.output.toStdString();
    EXPECT_EQ(runCli({"history"}, 60000, env).output.count('\n'), 4);
    if (file) {
        EXPECT_TRUE(QDir(dir.filePath("sitebook.sqlite.spool")).isEmpty());
    }
}

// Locked while the children try: they keep their reads; the fleet stores
// them at its own end, once the lock is gone.
TEST_F(CliFleet, ReadsKeptDuringTheRunAreStoredAtItsEnd) {
    const QString csv = QStringLiteral("name,port\nEgyik,%1\nMásik,%2\n").arg(sims[0]->ptyPath(), sims[1]->ptyPath());
    writeAll(dir.filePath("sites.csv"), csv.toUtf8());
    auto holder = std::make_unique<RawConnection>(dir.filePath("sitebook.sqlite"));
    ASSERT_TRUE(holder->exec(QStringLiteral("BEGIN EXCLUSIVE")));
    QProcess run;
    run.setProcessEnvironment(env);
    int spooled = 0;
    QByteArray out;
    QObject::connect(&run, &QProcess::readyReadStandardOutput, [&] {
        out += run.readAllStandardOutput();
        spooled = int(out.count("\tspooled\t"));
        // Both sites done: the book answers again before the fleet gives up on it.
        if (spooled == 2 && holder) holder.reset();
    });
    run.start(QString::fromStdString(CORVANTA_CLI), {"fleet", "read", "--jobs", "2", "--sites", dir.filePath("sites.csv")});
    runToEnd(run);
    out += run.readAllStandardOutput();
    const QString text = QString::fromUtf8(out) + QString::fromUtf8(run.readAllStandardError());
    EXPECT_EQ(run.exitCode(), 0) << text.toStdString();
    EXPECT_EQ(spooled, 2) << text.toStdString();
    EXPECT_EQ(text.count("\tstored\t"), 2) << text.toStdString();
    EXPECT_EQ(runCli({"history"}, 60000, env).output.count('\n'), 2);
}

// The old way read the first line a child printed: a child that said early
// that the book was locked, and stored its read later, was counted failed.
TEST_F(CliFleet, ASiteIsJudgedByItsChildsResultNotByWhatItPrinted) {
    PtyModule module;
    ASSERT_TRUE(module.ready());
    auto holder = std::make_unique<RawConnection>(dir.filePath("sitebook.sqlite"));
    ASSERT_TRUE(holder->exec(QStringLiteral("BEGIN EXCLUSIVE")));
    module.onLine = [&](const std::string& line) {
        if (line == "RDFL0000") holder.reset();  // free again before the read is stored
    };
    writeAll(dir.filePath("sites.csv"), QStringLiteral("name,port\nKésői,%1\n").arg(module.path()).toUtf8());
    QProcess run;
    run.setProcessEnvironment(env);
    run.start(QString::fromStdString(CORVANTA_CLI), {"fleet", "read", "--json", "--sites", dir.filePath("sites.csv")});
    runToEnd(run);
    const QJsonObject site = QJsonDocument::fromJson(run.readAllStandardOutput()).object();
    EXPECT_EQ(site["result"].toString(), "ok") << QJsonDocument(site).toJson().toStdString();
    EXPECT_GT(site["snapshot"].toInteger(), 0);
    EXPECT_EQ(run.exitCode(), 0);
}

TEST_F(CliFleet, AKilledFleetTakesItsChildrenAlongAndTheNextRunRemovesItsFolder) {
    PtyModule module;
    ASSERT_TRUE(module.ready());
    const QString tmp = dir.filePath("tmp");
    ASSERT_TRUE(QDir().mkpath(tmp));
    env.insert("TMPDIR", tmp);
    writeAll(dir.filePath("sites.csv"), QStringLiteral("name,port\nMegölt,%1\n").arg(module.path()).toUtf8());
    QProcess run;
    run.setProcessEnvironment(env);
    std::vector<pid_t> children;
    module.onLine = [&](const std::string& line) {
        if (line != "RDFL0000" || !children.empty()) return;
        children = childrenOf(run.processId());  // in the middle of its read
        ::kill(pid_t(run.processId()), SIGKILL);
    };
    run.start(QString::fromStdString(CORVANTA_CLI), {"fleet", "read", "--sites", dir.filePath("sites.csv")});
    runToEnd(run);
    ASSERT_EQ(run.exitStatus(), QProcess::CrashExit);
    ASSERT_EQ(children.size(), 1u);
    EXPECT_TRUE(ends(children[0], 10000)) << "the child outlived its fleet";
    EXPECT_EQ(runFolders(tmp).size(), 1);  // a killed run removes nothing

    // The next run finds the folder's owner gone.
    const CliResult next = fleet(QStringLiteral("name,port\nSehol,%1\n").arg(dir.filePath("no-tty")), {"read"});
    EXPECT_TRUE(next.output.contains("removed 1 temporary folder(s) left by fleet runs that were killed"))
        << next.output.toStdString();
    EXPECT_TRUE(runFolders(tmp).isEmpty());
    EXPECT_EQ(runCli({"history"}, 60000, env).output.count('\n'), 0);
}

TEST_F(CliFleet, AChildThatWaitsForeverIsStoppedAtTheTimeLimit) {
    // One password pipe nobody writes to, one whose writer says nothing.
    ASSERT_EQ(::mkfifo(dir.filePath("nobody").toLocal8Bit().constData(), 0600), 0);
    ASSERT_EQ(::mkfifo(dir.filePath("silent").toLocal8Bit().constData(), 0600), 0);
    const int silentWriter = ::open(dir.filePath("silent").toLocal8Bit().constData(), O_RDWR | O_NONBLOCK);
    ASSERT_GE(silentWriter, 0);
    const QString csv = QStringLiteral("name,port,host,tcpPort,passwordFile\n"
                                       "Senki,,127.0.0.1,%1,nobody\n"
                                       "Néma,,127.0.0.1,%1,silent\n"
                                       "Rendes,%2,,,\n")
                            .arg(sims[2]->tcpPort())
                            .arg(sims[0]->ptyPath());
    const CliResult r = fleet(csv, {"read", "--json", "--time-limit", "1"});
    ::close(silentWriter);
    EXPECT_EQ(r.exitCode, 1);
    auto sites = bySite(r);
    for (const QString name : {"Senki", "Néma"}) {
        EXPECT_EQ(sites[name]["result"].toString(), "failed");
        EXPECT_EQ(sites[name]["detail"].toString(), "no result within the time limit of 1 s: stopped")
            << r.output.toStdString();
    }
    EXPECT_EQ(sites["Rendes"]["result"].toString(), "ok") << r.output.toStdString();
}

}  // namespace corvanta::testing
