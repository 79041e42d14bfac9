// corvanta-cli's service commands (clock, names, events, status, arm and
// disarm, rf) against the simulator in its own process.

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <csignal>

#include "params/parameter_codec.h"
#include "tests/link/sim_process.h"
#include "tests/support/qt_core_app.h"
#include "tests/support/build_paths.h"

namespace corvanta::testing {
namespace {

QStringList withLink(const SimProcess& sim, QStringList args, const char* code = "1234") {
    return args << "--port" << sim.ptyPath() << "--code" << code;
}

QJsonObject jsonObject(const QString& text) {
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(text.toUtf8(), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << text.toStdString();
    EXPECT_TRUE(doc.isObject()) << text.toStdString();
    return doc.object();
}

QStringList lines(const QString& text) { return text.split(u'\n', Qt::SkipEmptyParts); }

TEST(CliClock, SetsTheClockReadsItBackAndRefusesADateTheModuleCannotHold) {
    ensureQtCoreApp();
    SimProcess sim;
    ASSERT_TRUE(sim.ready());
    CliSplitResult r = runCliSplit(withLink(sim, {"clock", "--set", "2031-07-04 10:20"}));
    EXPECT_EQ(r.exitCode, 0) << r.errors.toStdString();
    EXPECT_EQ(r.output, "2031-07-04 10:20\n");
    r = runCliSplit(withLink(sim, {"clock"}));
    EXPECT_EQ(r.exitCode, 0) << r.errors.toStdString();
    EXPECT_EQ(r.output, "2031-07-04 10:20\n");

    for (const char* bad : {"2031-02-30 10:20", "1999-12-31 23:59", "2031-07-04", "24:00"}) {
        r = runCliSplit(withLink(sim, {"clock", "--set", bad}));
        EXPECT_EQ(r.exitCode, 2) << bad;
        EXPECT_TRUE(r.output.isEmpty()) << bad;
    }
}

TEST(CliNames, PrintsTheNamesTheModulesImageHolds) {
    ensureQtCoreApp();
    QTemporaryDir dir;
    ParameterImage image{};
    ParameterValues v = decode(image);
    v.installerCode = "1234";
    v.zones[0].name = "Bejárat ő";
    v.zones[11].name = "0123456789";  // the whole field
    v.users[2].name = "Szabó Éva";
    encode(v, image);
    const QString path = dir.filePath("names.cd2");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(reinterpret_cast<const char*>(image.data()), qint64(image.size()));
    f.close();

    SimProcess sim({"--image", path});
    ASSERT_TRUE(sim.ready());
    const CliSplitResult r = runCliSplit(withLink(sim, {"names", "--json"}));
    ASSERT_EQ(r.exitCode, 0) << r.errors.toStdString();
    const QJsonObject names = jsonObject(r.output);
    const QJsonArray zones = names["zones"].toArray(), users = names["users"].toArray();
    ASSERT_EQ(zones.size(), 12);
    ASSERT_EQ(users.size(), 12);
    EXPECT_EQ(zones[0].toString(), QString::fromUtf8("Bejárat ő"));
    EXPECT_EQ(zones[1].toString(), "");
    EXPECT_EQ(zones[11].toString(), "0123456789");
    EXPECT_EQ(users[2].toString(), QString::fromUtf8("Szabó Éva"));
}

TEST(CliEvents, ListsTheEventMemoryNewestFirstWithNamesAsJsonAndAsCsv) {
    ensureQtCoreApp();
    SimProcess sim;
    ASSERT_TRUE(sim.ready());
    const CliSplitResult json = runCliSplit(withLink(sim, {"events", "--json"}));
    ASSERT_EQ(json.exitCode, 0) << json.errors.toStdString();
    const QJsonArray events = jsonObject(json.output)["events"].toArray();
    ASSERT_GE(events.size(), 10);
    const QRegularExpression time(QStringLiteral("^\\d\\d/\\d\\d - \\d\\d:\\d\\d$"));
    int previousRow = 0;
    bool named = false;
    for (const auto& e : events) {
        const QJsonObject o = e.toObject();
        EXPECT_GT(o["row"].toInt(), previousRow);
        previousRow = o["row"].toInt();
        EXPECT_TRUE(time.match(o["time"].toString()).hasMatch()) << o["time"].toString().toStdString();
        EXPECT_FALSE(o["text"].toString().isEmpty());
        EXPECT_FALSE(o["text"].toString().endsWith(u' '));
        named = named || o["subject"].toString() == QString::fromUtf8("1. Kovács P.");
    }
    EXPECT_TRUE(named) << json.output.toStdString();

    const CliSplitResult csv = runCliSplit(withLink(sim, {"events", "--csv"}));
    ASSERT_EQ(csv.exitCode, 0) << csv.errors.toStdString();
    const QStringList rows = lines(csv.output);
    ASSERT_GE(rows.size(), 11);
    EXPECT_EQ(rows[0], QString::fromUtf8("Sorszám,Időpont,Esemény,Zóna / Felhasználó,T1,T2,T3,T4,S1,S2,S3,S4,"
                                         "Közp,Státusz"));
    for (const QString& row : rows) EXPECT_EQ(row.count(u','), 13) << row.toStdString();
    EXPECT_TRUE(rows[1].startsWith("1,"));
}

TEST(CliEvents, AFailedLoadPrintsNothingAndExitsOne) {
    ensureQtCoreApp();
    SimProcess sim({"--fault", "bad-checksum=F002"});
    ASSERT_TRUE(sim.ready());
    CliSplitResult r = runCliSplit(withLink(sim, {"events", "--csv"}));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.output.isEmpty()) << r.output.toStdString();
    EXPECT_TRUE(r.errors.contains(QString::fromUtf8("Leolvasás sikertelen."))) << r.errors.toStdString();

    r = runCliSplit(withLink(sim, {"names", "--json"}, "9999"));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.output.isEmpty()) << r.output.toStdString();
}

TEST(CliStatus, ArmAndDisarmShowInTheStatusThatFollows) {
    ensureQtCoreApp();
    SimProcess sim;
    ASSERT_TRUE(sim.ready());
    auto partition2 = [&] {
        const CliSplitResult r = runCliSplit(withLink(sim, {"status", "--json"}));
        EXPECT_EQ(r.exitCode, 0) << r.errors.toStdString();
        const QJsonObject status = jsonObject(r.output);
        EXPECT_EQ(status["zones"].toArray().size(), 12);
        EXPECT_EQ(status["partitions"].toArray().size(), 2);
        const int gsm = status["gsmLevel"].toInt(-1);
        EXPECT_TRUE(gsm >= 0 && gsm <= 31) << gsm;
        EXPECT_GT(status["voltages"].toObject()["terminal"].toDouble(), 0.0);
        return status["partitions"].toArray()[1].toObject();
    };

    CliSplitResult r = runCliSplit(withLink(sim, {"arm", "2"}));
    EXPECT_EQ(r.exitCode, 0) << r.errors.toStdString();
    EXPECT_TRUE(r.output.contains(QString::fromUtf8("Élesítve"))) << r.output.toStdString();
    QJsonObject p = partition2();
    EXPECT_TRUE(p["armed"].toBool());
    EXPECT_EQ(p["text"].toString(), QString::fromUtf8("Élesítve"));

    r = runCliSplit(withLink(sim, {"disarm", "2"}));
    EXPECT_EQ(r.exitCode, 0) << r.errors.toStdString();
    EXPECT_FALSE(partition2()["armed"].toBool());

    EXPECT_EQ(runCliSplit(withLink(sim, {"arm", "3"})).exitCode, 2);
    r = runCliSplit(withLink(sim, {"arm", "1"}, "9999"));  // the module refuses the code
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.output.isEmpty());
    EXPECT_EQ(r.errors.count(QString::fromUtf8("Hibás telepítői azonosító!")), 1) << r.errors.toStdString();
}

TEST(CliStatus, WatchPrintsOneJsonObjectPerStatusUntilItsTimeOrAnInterrupt) {
    ensureQtCoreApp();
    SimProcess sim;
    ASSERT_TRUE(sim.ready());
    auto expectStatusLines = [](const QString& output) {
        ASSERT_TRUE(output.endsWith(u'\n')) << output.toStdString();  // no line cut short
        for (const QString& line : lines(output)) EXPECT_EQ(jsonObject(line)["zones"].toArray().size(), 12);
    };
    const CliSplitResult r = runCliSplit(withLink(sim, {"status", "--watch", "1.6"}));
    EXPECT_EQ(r.exitCode, 0) << r.errors.toStdString();
    EXPECT_GE(lines(r.output).size(), 1);
    expectStatusLines(r.output);

    QProcess cli;
    cli.start(QString::fromStdString(CORVANTA_CLI), withLink(sim, {"status", "--watch", "60"}));
    QByteArray out;
    QDeadlineTimer deadline(10000);
    while (!out.contains('\n') && !deadline.hasExpired() && cli.state() != QProcess::NotRunning) {
        cli.waitForReadyRead(50);
        out += cli.readAllStandardOutput();
    }
    ASSERT_TRUE(out.contains('\n'));
    ::kill(pid_t(cli.processId()), SIGINT);
    ASSERT_TRUE(cli.waitForFinished(5000));
    EXPECT_EQ(cli.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(cli.exitCode(), 0);
    expectStatusLines(QString::fromUtf8(out + cli.readAllStandardOutput()));
}

QJsonArray radioSlots(const SimProcess& sim) {
    const CliSplitResult r = runCliSplit(withLink(sim, {"rf", "--json"}));
    EXPECT_EQ(r.exitCode, 0) << r.errors.toStdString();
    return jsonObject(r.output)["slots"].toArray();
}

TEST(CliRadio, TeachWaitsForTheDeviceWithinItsTimeLimit) {
    ensureQtCoreApp();
    SimProcess sim({"--radio-learn-ms", "1500"});
    ASSERT_TRUE(sim.ready());
    CliSplitResult r = runCliSplit(withLink(sim, {"rf", "teach", "U1", "--time-limit", "0.3"}));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.output.isEmpty()) << r.output.toStdString();

    r = runCliSplit(withLink(sim, {"rf", "teach", "B2"}));
    EXPECT_EQ(r.exitCode, 0) << r.errors.toStdString();
    EXPECT_TRUE(r.errors.contains(QString::fromUtf8("B2: Tanulás"))) << r.errors.toStdString();
    EXPECT_TRUE(r.output.startsWith("B2: ")) << r.output.toStdString();
    const QJsonObject b2 = radioSlots(sim)[13].toObject();  // IN2's sensor B
    EXPECT_EQ(b2["name"].toString(), "B2");
    EXPECT_EQ(b2["colour"].toString(), "teal");
}

TEST(CliRadio, DeleteAllWantsYesAndLeavesNoDevice) {
    ensureQtCoreApp();
    SimProcess sim;
    ASSERT_TRUE(sim.ready());
    EXPECT_EQ(runCliSplit(withLink(sim, {"rf", "delete-all"})).exitCode, 2);
    EXPECT_EQ(radioSlots(sim)[11].toObject()["text"].toString(), "<7V");  // IN12's sensor A, as found
    const CliSplitResult r = runCliSplit(withLink(sim, {"rf", "delete-all", "--yes"}));
    EXPECT_EQ(r.exitCode, 0) << r.errors.toStdString();
    for (const auto& slot : radioSlots(sim)) EXPECT_EQ(slot.toObject()["text"].toString(), "-");
}

TEST(CliHelp, EachServiceCommandPrintsItsOwnUsageAndRefusesFlagsItDoesNotTake) {
    ensureQtCoreApp();
    for (const char* command : {"clock", "names", "events", "status", "arm", "disarm", "rf", "firmware"}) {
        const CliSplitResult r = runCliSplit({command, "--help"});
        EXPECT_EQ(r.exitCode, 0) << command;
        EXPECT_TRUE(r.output.startsWith(QStringLiteral("usage: corvanta-cli %1").arg(command))) << command;
    }
    // Refused before any link is tried.
    for (const QStringList& bad : {QStringList{"names", "--csv"}, {"events", "--json", "--csv"},
                                   {"status", "--watch", "0"}, {"rf", "teach", "A13"}, {"clock", "--watch", "5"}}) {
        const CliSplitResult r = runCliSplit(bad + QStringList{"--port", "/nonexistent/tty"});
        EXPECT_EQ(r.exitCode, 2) << bad.join(' ').toStdString();
        EXPECT_FALSE(r.errors.contains("nonexistent")) << r.errors.toStdString();
    }
}

}  // namespace
}  // namespace corvanta::testing
