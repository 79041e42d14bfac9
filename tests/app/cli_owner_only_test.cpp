// What corvanta-cli writes that holds codes is its owner's alone whatever the
// umask, and --log shows the codes of the block frames masked unless
// --log-raw asks for them.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QStringList>

#include "tests/link/sim_process.h"
#include "tests/support/file_modes.h"
#include "tests/support/qt_core_app.h"
#include "tests/support/file_bytes.h"

namespace corvanta::testing {
namespace {

// The logged reply of parameter block 0: its address digits are 0000.
QString blockZeroReply(const QString& output) {
    for (const QString& line : output.split(u'\n'))
        if (line.size() == 544 && line.startsWith("RDFL") && line.mid(4 + 2 * 264, 4) == "0000") return line;
    return {};
}

// The installer code's six digits in a logged block 0 reply.
QString installerCodeDigits(const QString& reply) { return reply.mid(4 + 2 * 180, 6); }

}  // namespace

TEST(CliOwnerOnly, ParameterFilesAndDecodedValuesAreTheOwnersAloneAndTheReportIsNot) {
    ensureQtCoreApp();
    SharedUmask umask;
    QTemporaryDir dir;
    const QString image = dir.filePath("erased.cd2");
    writeAll(image, QByteArray(2048, '\xFF'));

    const QString json = dir.filePath("values.json");
    ASSERT_EQ(runCli({"decode", image, "-o", json}).exitCode, 0);
    EXPECT_EQ(modeOf(json), 0600);
    EXPECT_EQ(QString::fromUtf8(readAll(json)), runCliSplit({"decode", image}).output);

    const QString built = dir.filePath("built.cd2");
    ASSERT_EQ(runCli({"encode", json, "-o", built}).exitCode, 0);
    EXPECT_EQ(modeOf(built), 0600);
    EXPECT_EQ(readAll(built), readAll(image));

    // The report shows every code as dots.
    const QString pdf = dir.filePath("report.pdf");
    ASSERT_EQ(runCli({"report", image, "-o", pdf}).exitCode, 0);
    EXPECT_EQ(modeOf(pdf), 0644);

    EXPECT_EQ(runCli({"decode", image, "-o", ""}).exitCode, 2);
    EXPECT_EQ(runCli({"decode", image, "-o", dir.filePath("no/such/folder.json")}).exitCode, 2);
}

TEST(CliOwnerOnly, AReadItsNewSiteBookAndASnapshotAreTheOwnersAloneAndTheLogMasksTheCodes) {
    ensureQtCoreApp();
    SharedUmask umask;
    SimProcess sim;
    ASSERT_TRUE(sim.ready());
    const QString book = sim.file("data/corvanta/sitebook.sqlite");
    qputenv("CORVANTA_SITEBOOK", book.toUtf8());
    const QStringList link{"--port", sim.ptyPath(), "--code", "1234"};

    const QString read = sim.file("read.cd2");
    CliResult r = runCli(QStringList{"read", "-o", read, "--site", "Kert utca", "--log"} + link);
    ASSERT_EQ(r.exitCode, 0) << r.output.toStdString();
    EXPECT_EQ(modeOf(read), 0600);
    EXPECT_EQ(modeOf(book), 0600);
    EXPECT_EQ(modeOf(sim.file("data")), 0700);
    EXPECT_EQ(modeOf(sim.file("data/corvanta")), 0700);
    const QString masked = blockZeroReply(r.output);
    ASSERT_FALSE(masked.isEmpty()) << r.output.toStdString();
    EXPECT_EQ(installerCodeDigits(masked), "******");

    const QString snapshot = sim.file("snapshot.cd2");
    ASSERT_EQ(runCli({"snapshot", "@1", "-o", snapshot}).exitCode, 0);
    EXPECT_EQ(modeOf(snapshot), 0600);
    EXPECT_EQ(readAll(snapshot), readAll(read));

    // The module keeps 1234 as the nibbles 15 - digit.
    r = runCli(QStringList{"read", "-o", read, "--log-raw"} + link);
    ASSERT_EQ(r.exitCode, 0) << r.output.toStdString();
    const QString raw = blockZeroReply(r.output);
    EXPECT_EQ(installerCodeDigits(raw), "EDCB00");
    ASSERT_EQ(raw.size(), masked.size());
    for (qsizetype i = 0; i < raw.size(); ++i) {
        if (masked[i] != u'*') {
            EXPECT_EQ(masked[i], raw[i]) << i;
        }
    }
    qunsetenv("CORVANTA_SITEBOOK");
}

}  // namespace corvanta::testing
