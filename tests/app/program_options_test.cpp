// The program's own options answer without a display: an installer's script
// or a package check may ask for --help or --version anywhere.

#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include "tests/support/build_paths.h"

namespace {

struct Answer {
    int status;
    QString out;
};

Answer askWithoutDisplay(const QString& option) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(name);
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(QString::fromStdString(CORVANTA_PROGRAM), {option});
    p.waitForFinished(30000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput())};
}

TEST(ProgramOptions, HelpAndVersionNeedNoDisplay) {
    const Answer help = askWithoutDisplay("--help");
    EXPECT_EQ(help.status, 0);
    for (const char* option : {"--demo", "--firmware", "--version", "CORVANTA_FIRMWARE_KEY"})
        EXPECT_TRUE(help.out.contains(option)) << option << "\n" << help.out.toStdString();
    const Answer version = askWithoutDisplay("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "GSM-Corvanta Mirovel v1.30\n");
}

}  // namespace
