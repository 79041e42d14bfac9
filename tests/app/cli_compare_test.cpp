// corvanta-cli compare --fields against the simulator: the codes are not
// compared, but a code that differs is named, without the code.

#include <gtest/gtest.h>

#include <QFile>

#include "tests/link/sim_process.h"
#include "tests/support/qt_core_app.h"

namespace corvanta::testing {
namespace {

TEST(CliCompare, ACodeThatDiffersIsNamedAsNotComparedWithoutItsDigitsAndPasses) {
    ensureQtCoreApp();
    SimProcess sim;
    ASSERT_TRUE(sim.ready());
    const QStringList link{"--port", sim.ptyPath(), "--code", "1234"};
    const QString read = sim.file("read.cd2");
    ASSERT_EQ(runCli(QStringList{"read", "-o", read} + link).exitCode, 0);
    QFile f(read);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    QByteArray bytes = f.readAll();
    bytes[25] = char(bytes[25] ^ 0x11);  // the second user's code
    f.seek(0);
    f.write(bytes);
    f.close();

    const CliResult r = runCli(QStringList{"compare", read, "--fields"} + link);
    EXPECT_EQ(r.exitCode, 0) << r.output.toStdString();
    EXPECT_TRUE(r.output.contains("Blokkok: GGGGGGGG"));
    EXPECT_TRUE(r.output.contains(QString::fromUtf8(
        "2. Felhasználó · Azonosító kódja (users[1].code): eltér, nem hasonlítva")))
        << r.output.toStdString();
    EXPECT_FALSE(r.output.contains("users[0].code"));
}

}  // namespace
}  // namespace corvanta::testing
