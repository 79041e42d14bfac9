// Saved and printed reports: PDF pages of A4 under a header, the save-as
// path starting in the last folder, failures shown with their path.

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QPrinter>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextDocument>

#include <gtest/gtest.h>

#include "tests/support/recording_messenger.h"
#include "tests/ui/pdf_facts.h"
#include "ui/reports/report_actions.h"
#include "ui/reports/report_document.h"
#include "ui/widgets/file_folders.h"

using namespace corvanta;

namespace {

QStringList listing(int lines) {
    QStringList text;
    for (int i = 0; i < lines; ++i) text << QStringLiteral("Sor%1: ").arg(i) + QString(70, u'x');
    return text;
}

}  // namespace

TEST(Reports, PdfPagesAreA4AndALongBodyRunsOntoMorePages) {
    auto shortBody = listing(3);
    auto oneDocument = listingDocument(shortBody);
    const QByteArray one = reportPdf(reportHeader(QStringLiteral("Beállítások")), *oneDocument);
    const PdfFacts facts = pdfFacts(one);
    EXPECT_EQ(facts.pages, 1);
    EXPECT_EQ(facts.pageSize, QSize(595, 842));

    auto longDocument = listingDocument(listing(200));
    const PdfFacts many = pdfFacts(reportPdf(reportHeader(QStringLiteral("Beállítások")), *longDocument));
    EXPECT_GE(many.pages, 3);
    EXPECT_LE(many.pages, 5);  // about 70 lines of 9 points a page

    auto table = tableDocument({"A", "B"}, QList<QStringList>(150, QStringList{"1", "2"}));
    EXPECT_GE(pdfFacts(reportPdf(reportHeader(QStringLiteral("Táblázat")), *table)).pages, 2);
}

TEST(FileFolders, DialogsStartInTheDocumentsFolderThenWhereTheirKindWasLastChosen) {
    forgetFolders();
    QTemporaryDir dir;
    QDir(dir.path()).mkdir(QStringLiteral("gone"));
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString fallback = QFileInfo(documents).isDir() ? documents : QDir::homePath();
    EXPECT_EQ(startFolder(FileKind::ParameterFile), fallback);
    EXPECT_NE(QDir(startFolder(FileKind::Firmware)), QDir::current());

    rememberFolder(FileKind::ParameterFile, dir.filePath(QStringLiteral("telep.CD2")));
    rememberFolder(FileKind::Firmware, dir.filePath(QStringLiteral("gone/v1.GCF")));
    EXPECT_EQ(QDir(startFolder(FileKind::ParameterFile)), QDir(dir.path()));
    EXPECT_EQ(startFolder(FileKind::Report), fallback);  // each kind keeps its own
    QDir(dir.path()).rmdir(QStringLiteral("gone"));
    EXPECT_EQ(startFolder(FileKind::Firmware), fallback);  // a folder removed since is passed over

    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    prepareFileDialog(dialog, FileKind::ParameterFile, QStringLiteral("*.CD2"));
    EXPECT_EQ(QDir(dialog.directory()), QDir(dir.path()));
    auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->text(), QStringLiteral("*.CD2"));
    forgetFolders();
}

TEST(Reports, SaveWritesTheChosenFileAndTheNextDialogStartsInItsFolder) {
    QTemporaryDir dir;
    ReportActions actions(nullptr, QStringLiteral("Napló"), QStringLiteral("naplo"));
    QString suggested;
    actions.setPathChooser([&](ReportFormat, const QString& path) {
        suggested = path;
        return dir.filePath(QStringLiteral("mentett"));
    });
    ASSERT_TRUE(actions.save(ReportFormat::Text, "első\nmásodik\n"));
    EXPECT_TRUE(suggested.endsWith(QStringLiteral(".txt")));
    EXPECT_TRUE(QFileInfo(suggested).fileName().startsWith(QStringLiteral("naplo-")));
    QFile saved(dir.filePath(QStringLiteral("mentett.txt")));  // the suffix was added
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), QByteArray("első\nmásodik\n"));
    EXPECT_EQ(QDir(ReportActions::startFolder()), QDir(dir.path()));

    actions.setPathChooser([](ReportFormat, const QString&) { return QString(); });
    EXPECT_FALSE(actions.save(ReportFormat::Csv, "x"));  // cancelled: nothing written, nothing said
}

TEST(Reports, AFailedSaveKeepsTheOldFileAndSaysWhereAndWhy) {
    QTemporaryDir dir;
    corvanta::testing::RecordingMessenger messenger;
    ReportActions actions(nullptr, QStringLiteral("Eseménylista"), QStringLiteral("esemenyek"));
    actions.setMessenger(&messenger);
    const QString missing = dir.filePath(QStringLiteral("nincs/lista.csv"));
    actions.setPathChooser([&](ReportFormat, const QString&) { return missing; });
    EXPECT_FALSE(actions.save(ReportFormat::Csv, "a,b\n"));
    ASSERT_EQ(messenger.messages.size(), 1);
    EXPECT_TRUE(messenger.messages[0].startsWith(QStringLiteral("File access denied\n") + missing));
    EXPECT_NE(QDir(ReportActions::startFolder()), QDir(dir.filePath(QStringLiteral("nincs"))));
}

TEST(Reports, PrintingGoesToThePrinterTheDialogChose) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("nyomtatas.pdf"));
    ReportActions actions(nullptr, QStringLiteral("Beállítások"), QStringLiteral("beallitasok"));
    bool asked = false;
    actions.setPrinterSetup([&](QPrinter& printer) {
        asked = true;
        EXPECT_EQ(printer.pageLayout().pageSize().id(), QPageSize::A4);  // offered as A4
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        return true;
    });
    auto body = listingDocument(listing(10));
    ASSERT_TRUE(actions.print(*body));
    EXPECT_TRUE(asked);
    QFile printed(path);
    ASSERT_TRUE(printed.open(QIODevice::ReadOnly));
    EXPECT_EQ(pdfFacts(printed.readAll()).pageSize, QSize(595, 842));

    actions.setPrinterSetup([](QPrinter&) { return false; });
    EXPECT_FALSE(actions.print(*body));
}
