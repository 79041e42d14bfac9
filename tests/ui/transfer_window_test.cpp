// The transfer window's buttons against the simulated module: indicator
// colours, the image, and the messages.

#include "tests/ui/program_fixture.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTimer>

#include <QCheckBox>
#include <QTextBrowser>

#include "params/parameter_codec.h"
#include "tests/support/file_modes.h"
#include "tests/ui/pdf_facts.h"
#include "ui/main/settings_report_window.h"
#include "ui/editor/parameter_editor.h"
#include "ui/widgets/file_folders.h"

namespace corvanta::testing {
namespace {

class TransferWindowTest : public ProgramTest {
protected:
    QColor colour(int block) const { return transfer()->indicatorColour(block); }
    std::vector<QColor> colours() const {
        std::vector<QColor> all;
        for (int k = 0; k < TransferWindow::kBlocks; ++k) all.push_back(colour(k));
        return all;
    }
    static std::vector<QColor> all(BlockColour c) {
        return std::vector<QColor>(TransferWindow::kBlocks, TransferWindow::colourOf(c));
    }
    const QColor green = TransferWindow::colourOf(BlockColour::Green);
    const QColor red = TransferWindow::colourOf(BlockColour::Red);
    const QColor yellow = TransferWindow::colourOf(BlockColour::Yellow);
};

// The indicator colours installers know, as red, green and blue values.
TEST(TransferWindowColours, EachStateHasItsFixedRgbValue) {
    EXPECT_EQ(TransferWindow::colourOf(BlockColour::Silver), QColor(192, 192, 192));
    EXPECT_EQ(TransferWindow::colourOf(BlockColour::White), QColor(255, 255, 255));
    EXPECT_EQ(TransferWindow::colourOf(BlockColour::Yellow), QColor(255, 255, 0));
    EXPECT_EQ(TransferWindow::colourOf(BlockColour::Green), QColor(0, 128, 0));
    EXPECT_EQ(TransferWindow::colourOf(BlockColour::Red), QColor(255, 0, 0));
}

TEST_F(TransferWindowTest, WithoutLinkOnlyTheMessageAppears) {
    click(main(), "btParameterSetting");
    EXPECT_TRUE(transfer()->isVisible());
    click(transfer(), "btRead");
    EXPECT_EQ(messenger.texts(), QStringList{" Nincs soros kapcsolat."});
    EXPECT_EQ(colours(), all(BlockColour::Silver));
}

TEST_F(TransferWindowTest, ReadCompareAndWriteRoundTrip) {
    connectTo(kDirect);
    click(transfer(), "btRead");
    EXPECT_TRUE(messenger.shown.empty());
    EXPECT_EQ(colours(), all(BlockColour::Green));
    EXPECT_NE(program->image(), ParameterImage{});
    EXPECT_TRUE(find(transfer(), "btRead")->isEnabled());
    EXPECT_TRUE(find(transfer(), "btClose")->isEnabled());

    click(transfer(), "btCompare");
    EXPECT_EQ(colours(), all(BlockColour::Green));

    // The first user's name is in block 0: that block differs, the rest
    // stay yellow.
    program->image()[0] ^= 0x01;
    click(transfer(), "btCompare");
    std::vector<QColor> expected = all(BlockColour::Yellow);
    expected[0] = red;
    EXPECT_EQ(colours(), expected);

    click(transfer(), "btWrite");
    EXPECT_EQ(colours(), all(BlockColour::Green));
    click(transfer(), "btCompare");
    EXPECT_EQ(colours(), all(BlockColour::Green));
    // The one question was the write's review; no message came.
    EXPECT_EQ(messenger.questions.size(), 1);
    EXPECT_TRUE(messenger.messages.isEmpty());
}

TEST_F(TransferWindowTest, CompareNamesTheCodesThatDifferKeepsTheColoursAndShowsNoCode) {
    connectTo(kDirect);
    click(transfer(), "btRead");
    ParameterValues v = decode(program->image());
    v.users[2].code = "9753";
    encode(v, program->image());
    click(transfer(), "btCompare");
    EXPECT_EQ(colours(), all(BlockColour::Green));
    const QStringList lines = transfer()->compareLines();
    ASSERT_EQ(lines.size(), 1) << lines.join('\n').toStdString();
    EXPECT_EQ(lines[0], QString::fromUtf8("3. Felhasználó · Azonosító kódja (users[2].code): eltér, nem hasonlítva"));
    EXPECT_FALSE(lines[0].contains("9753"));
    EXPECT_TRUE(find<QLabel>(transfer(), "lbChanges")->isVisibleTo(transfer()));
}

TEST_F(TransferWindowTest, TheListOfDifferencesGoesWhenTheImageOrTheModuleChanges) {
    connectTo(kDirect);
    click(transfer(), "btRead");
    const ParameterImage read = program->image();
    int changes = 0;
    auto differ = [&] {
        program->image() = read;
        program->image()[0] = std::uint8_t('A' + ++changes);  // the first user's name, new each time
        click(transfer(), "btCompare");
        ASSERT_FALSE(transfer()->compareLines().isEmpty());
    };
    // A successful write: the module now holds the image.
    differ();
    click(transfer(), "btWrite");
    EXPECT_TRUE(transfer()->compareLines().isEmpty());
    // A read: the image is the module's.
    differ();
    click(transfer(), "btRead");
    EXPECT_TRUE(transfer()->compareLines().isEmpty());
    // An edit confirmed in the editor; one that changed nothing keeps it.
    differ();
    transfer()->setEditorOpener([](ParameterImage&) {});
    click(transfer(), "btEdit");
    EXPECT_FALSE(transfer()->compareLines().isEmpty());
    transfer()->setEditorOpener([](ParameterImage& image) { ++image[300]; });
    click(transfer(), "btEdit");
    EXPECT_TRUE(transfer()->compareLines().isEmpty());
    // A snapshot opened from the site book, noticed when the window shows.
    differ();
    transfer()->hide();
    program->image()[400] ^= 0x01;
    transfer()->show();
    EXPECT_TRUE(transfer()->compareLines().isEmpty());
    // Another line may lead to another module.
    differ();
    click(main(), "btDisconnect");
    EXPECT_TRUE(transfer()->compareLines().isEmpty());
}

TEST_F(TransferWindowTest, ALegendSaysWhatEachColourMeans) {
    const QStringList legend = transfer()->legendText().split('\n');
    ASSERT_EQ(legend.size(), 5);
    EXPECT_TRUE(legend[2].startsWith(QString::fromUtf8("összehasonlítás alatt")));
    EXPECT_TRUE(legend[2].contains(QString::fromUtf8("az első eltérés utáni blokk")));
    int n = 0;
    for (BlockColour c : {BlockColour::Silver, BlockColour::White, BlockColour::Yellow, BlockColour::Green,
                          BlockColour::Red}) {
        const QString name = QStringLiteral("lbLegendSwatch%1").arg(++n);
        auto* swatch = find<QLabel>(transfer(), name.toLatin1().constData());
        EXPECT_EQ(swatch->palette().color(QPalette::Window), TransferWindow::colourOf(c)) << n;
    }
}

TEST_F(TransferWindowTest, TheSettingsReportShowsTheImageWithCodesHiddenAndSavesItAsPdf) {
    ParameterValues v = decode(program->image());
    v.zones[1].name = "Nappali";
    v.users[0].code = "2468";
    encode(v, program->image());
    click(transfer(), "btReport");
    SettingsReportWindow* report = program->settingsReportWindow();
    ASSERT_TRUE(report->isVisible());
    const QString text = report->view()->toPlainText();
    EXPECT_TRUE(text.contains(QString::fromUtf8("Telefonszámok & egyéb paraméterek")));
    EXPECT_TRUE(text.contains("Nappali"));
    EXPECT_TRUE(text.contains(QString::fromUtf8("••••")));
    EXPECT_FALSE(text.contains("2468"));
    report->showCodesBox()->setChecked(true);
    EXPECT_TRUE(report->view()->toPlainText().contains("2468"));

    SharedUmask umask;
    QString path = settingsDir.filePath(QStringLiteral("report.pdf"));
    report->reports().setPathChooser([&](ReportFormat, const QString&) { return path; });
    click(report, "btSavePdf");
    QFile pdf(path);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    const PdfFacts facts = pdfFacts(pdf.readAll());
    EXPECT_GE(facts.pages, 7);  // each page of the editor on sheets of its own
    EXPECT_EQ(facts.pageSize, QSize(595, 842));
    // With its codes the report is the owner's alone; without, anyone's.
    EXPECT_EQ(modeOf(path), 0600);
    report->showCodesBox()->setChecked(false);
    path = settingsDir.filePath(QStringLiteral("report-hidden.pdf"));
    click(report, "btSavePdf");
    EXPECT_EQ(modeOf(path), 0644);
    // The next report asks afresh before it shows codes.
    click(transfer(), "btReport");
    EXPECT_FALSE(report->showCodesBox()->isChecked());
    EXPECT_TRUE(messenger.shown.empty());
}

TEST_F(TransferWindowTest, StopEndsTheWriteAndTheLineBelowSaysWhatTheModuleHolds) {
    connectTo(kDirect);
    click(transfer(), "btRead");
    const ParameterImage held = program->image();
    EXPECT_FALSE(find(transfer(), "btStop")->isEnabled());  // nothing to stop

    program->image()[0] ^= 0x01;
    bool stopEnabledWhileRunning = false;
    QTimer::singleShot(0, [&] {
        stopEnabledWhileRunning = find(transfer(), "btStop")->isEnabled();
        click(transfer(), "btStop");
    });
    click(transfer(), "btWrite");
    EXPECT_TRUE(stopEnabledWhileRunning);
    EXPECT_FALSE(find(transfer(), "btStop")->isEnabled());
    EXPECT_EQ(transfer()->outcomeLine().toStdString(), "az írás megszakítva, a modul a korábbi adatait tartja");
    EXPECT_TRUE(find<QLabel>(transfer(), "lbOutcome")->isVisibleTo(transfer()));
    // The one question was the write's review of what it changes; no message.
    EXPECT_EQ(messenger.questions.size(), 1);
    EXPECT_TRUE(messenger.messages.isEmpty());

    // The module kept its data: a compare finds the changed block.
    click(transfer(), "btCompare");
    EXPECT_EQ(colour(0), red);
    EXPECT_TRUE(transfer()->outcomeLine().isEmpty());

    click(transfer(), "btWrite");
    EXPECT_EQ(colours(), all(BlockColour::Green));
    EXPECT_EQ(transfer()->outcomeLine().toStdString(), "Ellenőrzés: a modul a küldött adatokat tartja.");
    EXPECT_NE(program->image(), held);
}

TEST_F(TransferWindowTest, WrongCodePaintsEveryBlockRedAndSaysWhy) {
    connectTo(kDirect, QStringLiteral("4321"));
    click(transfer(), "btRead");
    EXPECT_EQ(colours(), all(BlockColour::Red));
    EXPECT_EQ(messenger.texts(), QStringList{" Hibás telepítői azonosító!"});
    EXPECT_TRUE(find(transfer(), "btRead")->isEnabled());
}

TEST_F(TransferWindowTest, UnansweredLoginOnAModemLineWithoutACallSaysToDialFirst) {
    // The modem answers "ERROR" to the login; the module is not on the line.
    connectTo(kModem);
    fastClock.start(0);
    click(transfer(), "btCompare");
    EXPECT_EQ(colours(), all(BlockColour::Red));
    EXPECT_EQ(messenger.texts(),
              QStringList{"A soros vonalon modem van, de nincs hívás: előbb tárcsázza a modult (Tárcsázás)!"});
}

TEST_F(TransferWindowTest, FileOpenPaintsGreenAndCancelLeavesSilver) {
    const QString path = settingsDir.filePath(QStringLiteral("copy.CD2"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(2048, '\x5A'));
    file.close();

    transfer()->setFileChooser([](bool) { return QString(); });
    click(transfer(), "btOpen");
    EXPECT_EQ(colours(), all(BlockColour::Silver));
    EXPECT_EQ(program->image(), ParameterImage{});

    transfer()->setFileChooser([&](bool) { return path; });
    click(transfer(), "btOpen");
    EXPECT_EQ(colours(), all(BlockColour::Green));
    EXPECT_EQ(program->image()[2047], 0x5A);
    EXPECT_EQ(QDir(startFolder(FileKind::ParameterFile)), QDir(settingsDir.path()));  // the next dialog starts there
}

TEST_F(TransferWindowTest, EditsKeptNowhereElseAreAskedAboutBeforeTheyAreLostAndOnlyThen) {
    const QString path = settingsDir.filePath(QStringLiteral("copy.CD2"));
    transfer()->setFileChooser([&](bool) { return path; });
    transfer()->setEditorOpener([](ParameterImage& image) { ++image[100]; });  // a confirmed edit
    click(transfer(), "btSave");
    click(transfer(), "btOpen");  // nothing to lose yet
    click(transfer(), "btEdit");
    click(transfer(), "btSave");  // kept in the file from now on
    click(transfer(), "btOpen");
    EXPECT_TRUE(messenger.questions.isEmpty());

    click(transfer(), "btEdit");
    messenger.answerYes = false;
    click(transfer(), "btRead");  // no link: the read only says so
    click(transfer(), "btOpen");
    connectTo(kDirect);
    click(transfer(), "btRead");
    main()->close();
    EXPECT_TRUE(main()->isVisible());
    EXPECT_EQ(messenger.questions, QStringList(3, QStringLiteral("Az el nem mentett módosítások elvesznek. Folytatja?")));
    EXPECT_EQ(program->image()[100], 2);

    messenger.answerYes = true;
    click(transfer(), "btRead");
    EXPECT_EQ(messenger.questions.size(), 4);
    EXPECT_EQ(colours(), all(BlockColour::Green));
    EXPECT_FALSE(program->unsavedEdits().pending());
}

TEST_F(TransferWindowTest, EditButtonOpensTheEditorOnTheProgramsImage) {
    ParameterImage* opened = nullptr;
    transfer()->setEditorOpener([&](ParameterImage& image) { opened = &image; });
    click(transfer(), "btEdit");
    EXPECT_EQ(opened, &program->image());
    click(transfer(), "btStop");  // nothing runs: nothing to stop
    EXPECT_TRUE(messenger.shown.empty());
}

TEST_F(TransferWindowTest, EditorKeepsTheOtherWindowsOutOfReachWhileOpen) {
    // The editor writes the image back when confirmed; a read or a file
    // opened behind it meanwhile would be overwritten unseen.
    click(main(), "btParameterSetting");
    QWidget* modal = nullptr;
    bool running = false;
    QTimer::singleShot(0, [&] {
        running = program->editor()->isVisible();
        modal = QApplication::activeModalWidget();
        program->editor()->reject();
    });
    click(transfer(), "btEdit");
    EXPECT_TRUE(running);
    EXPECT_EQ(modal, program->editor());
    EXPECT_FALSE(program->editor()->isVisible());
}

}  // namespace
}  // namespace corvanta::testing
