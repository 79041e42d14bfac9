// The transfer window's buttons against the simulated module: indicator
// colours, the image, and the messages.

#include "tests/ui/program_fixture.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTimer>

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
    EXPECT_TRUE(messenger.shown.empty());

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

TEST_F(TransferWindowTest, UnansweredLoginTimesOutWithTheModulesAdvice) {
    connectTo(kModem);
    fastClock.start(0);
    click(transfer(), "btCompare");
    EXPECT_EQ(colours(), all(BlockColour::Red));
    EXPECT_EQ(messenger.texts(),
              QStringList{"A modul nem válaszol! Állítsa le a riasztási eseményeket és próbálja újra!"});
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
