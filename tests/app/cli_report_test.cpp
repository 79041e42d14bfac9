// corvanta-cli report: the settings report of a parameter file as PDF,
// made without a screen.

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include "params/parameter_codec.h"
#include "tests/ui/pdf_facts.h"
#include "tests/support/build_paths.h"
#include "tests/support/file_bytes.h"

namespace corvanta {
namespace {

using testing::readAll;

struct ReportRun {
    int status;
    QString err;
};

// As on a server: no display, no platform chosen.
ReportRun cli(const QStringList& args) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) env.remove(QString::fromLatin1(name));
    p.setProcessEnvironment(env);
    p.start(QString::fromStdString(CORVANTA_CLI), args);
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardError())};
}

TEST(CliReport, WritesTheSettingsReportAsA4PagesOneEditorPageASheetAtLeast) {
    QTemporaryDir dir;
    ParameterImage image{};
    ParameterValues v = decode(image);
    v.zones[0].name = "Nappali";
    v.users[0].code = "2468";
    encode(v, image);
    const QString in = dir.filePath("site.cd2");
    QFile f(in);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(reinterpret_cast<const char*>(image.data()), qsizetype(image.size()));
    f.close();

    const QString out = dir.filePath("report.pdf");
    const ReportRun r = cli({"report", in, "-o", out, "--site", QString::fromUtf8("Kovács ház")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const PdfFacts facts = pdfFacts(readAll(out));
    EXPECT_GE(facts.pages, 7);
    EXPECT_EQ(facts.pageSize, QSize(595, 842));
}

TEST(CliReport, BadInputOrNoOutputIsRefusedAndNothingIsWritten) {
    QTemporaryDir dir;
    const QString shortFile = dir.filePath("short.cd2");
    QFile f(shortFile);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(100, '\0'));
    f.close();
    const QString out = dir.filePath("report.pdf");
    EXPECT_EQ(cli({"report", shortFile, "-o", out}).status, 2);
    EXPECT_EQ(cli({"report", shortFile}).status, 2);
    EXPECT_EQ(cli({"report", dir.filePath("missing.cd2"), "-o", out}).status, 2);
    EXPECT_EQ(cli({"report", shortFile, "-o", out, "--fields"}).status, 2);
    EXPECT_FALSE(QFile::exists(out));
}

}  // namespace
}  // namespace corvanta
