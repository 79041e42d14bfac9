// The transfer window as installers expect it: a write says first what it
// changes on the module (against the simulated module read in this run) and
// sends nothing on "Nem"; the image has a history Ctrl+Z walks back; the
// usual keys open and save; the recent files and the last port, address and
// line kind come back at the next start.

#include "tests/ui/program_fixture.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QSettings>

#include "params/parameter_codec.h"
#include "ui/main/remembered_choices.h"

namespace corvanta::testing {
namespace {

class TransferReviewTest : public ProgramTest {
protected:
    void writeFile(const QString& name, char fill) {
        QFile f(settingsDir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(2048, fill));
    }
    int blockWrites() const {
        int n = 0;
        // The module's answer to each block written.
        for (const QString& line : loggedLines()) n += line.contains(QStringLiteral("WROK")) ? 1 : 0;
        return n;
    }
    void press(QWidget* window, const QKeySequence& keys) {
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
        QTest::keySequence(window, keys);
    }
    void edit(const std::function<void(ParameterValues&)>& change) {
        ParameterValues v = decode(program->image());
        change(v);
        encode(v, program->image());
    }
};

TEST_F(TransferReviewTest, AWriteListsTheFieldsItChangesOnTheModuleAndNoSendsNothing) {
    click(main(), "btDetails");  // the traffic log, to count the blocks sent
    connectTo(kDirect);
    // The module holds a code for user 2 and 3 to begin with.
    click(transfer(), "btRead");
    edit([](ParameterValues& v) {
        v.users[1].code = "1111";
        v.users[2].code = "3333";
    });
    click(transfer(), "btWrite");
    click(transfer(), "btRead");
    const ParameterValues read = decode(program->image());

    edit([](ParameterValues& v) {
        v.zones[2].entryDelay = v.zones[2].entryDelay == 45 ? 46 : 45;
        v.zones[0].name = "Garázskapu";
        v.users[1].code = "2222";
        v.users[2].code = "******";  // cleared: the customer's code stops working as well
        v.users[5].code = "5555";    // none was held: nothing is overwritten
    });
    messenger.questions.clear();
    messenger.answerYes = false;
    const int before = blockWrites();
    click(transfer(), "btWrite");
    ASSERT_EQ(messenger.questions.size(), 1);
    const QString q = messenger.questions[0];
    EXPECT_TRUE(q.startsWith(QString::fromUtf8("Az írás ezeket a mezőket változtatja meg a modulban, az ebben a "
                                               "futásban a modulból utoljára beolvasott képhez képest:")))
        << q.toStdString();
    EXPECT_TRUE(q.contains(QString::fromUtf8("Figyelem: 2 felhasználói kódot felülír"))) << q.toStdString();
    EXPECT_TRUE(q.contains(QString::fromUtf8("3. Zóna · Belépési késlelt.: %1 → %2")
                               .arg(read.zones[2].entryDelay)
                               .arg(decode(program->image()).zones[2].entryDelay)));
    EXPECT_TRUE(q.contains(QString::fromUtf8("1. Zóna · Zóna neve: \"%1\" → \"Garázskapu\"")
                               .arg(QString::fromStdString(read.zones[0].name))));
    EXPECT_TRUE(q.contains(QString::fromUtf8("2. Felhasználó · Azonosító kódja: •••• → •••• (új)")));
    EXPECT_TRUE(q.contains(QString::fromUtf8("Összesen 5 mező.")));
    EXPECT_TRUE(q.endsWith(QString::fromUtf8("Áttölti a modulba?")));
    for (const char* code : {"1111", "2222", "3333", "5555"}) EXPECT_FALSE(q.contains(code)) << code;
    EXPECT_EQ(blockWrites(), before);  // "Nem": not one block went out

    messenger.answerYes = true;
    click(transfer(), "btWrite");
    EXPECT_GT(blockWrites(), before);
    // Written, the module holds the image: a write now changes nothing, and
    // says so, and asks still.
    messenger.questions.clear();
    messenger.answerYes = false;
    click(transfer(), "btWrite");
    ASSERT_EQ(messenger.questions.size(), 1);
    EXPECT_TRUE(messenger.questions[0].startsWith(QString::fromUtf8("Az írás semmit nem változtat a modulban")));
    EXPECT_TRUE(messenger.questions[0].endsWith(QString::fromUtf8("Áttölti így is a modulba?")));
}

TEST_F(TransferReviewTest, AModuleNotReadOnThisLineIsSaidToBeUnknown) {
    connectTo(kDirect);
    click(transfer(), "btRead");
    click(main(), "btDisconnect");  // another line may lead to another module
    connectTo(kDirect);
    messenger.answerYes = false;
    click(transfer(), "btWrite");
    ASSERT_EQ(messenger.questions.size(), 1);
    EXPECT_TRUE(messenger.questions[0].startsWith(QString::fromUtf8("Nem tudni, mit változtat az írás a modulban")));
    // Without a link the write only says so; nothing to review.
    click(main(), "btDisconnect");
    click(transfer(), "btWrite");
    EXPECT_EQ(messenger.questions.size(), 1);
    EXPECT_EQ(messenger.messages, QStringList{" Nincs soros kapcsolat."});
}

TEST_F(TransferReviewTest, CtrlZBringsBackTheImageBeforeEachReadOpenedFileAndConfirmedEdit) {
    writeFile(QStringLiteral("a.CD2"), 'A');
    writeFile(QStringLiteral("b.CD2"), 'B');
    QString next;
    transfer()->setFileChooser([&](bool) { return next; });
    transfer()->setEditorOpener([](ParameterImage& image) { image[10] = 'E'; });
    next = settingsDir.filePath(QStringLiteral("a.CD2"));
    click(transfer(), "btOpen");
    next = settingsDir.filePath(QStringLiteral("b.CD2"));
    click(transfer(), "btOpen");
    click(transfer(), "btEdit");
    ASSERT_EQ(program->image()[10], 'E');
    EXPECT_EQ(transfer()->imageHistory().undoText(), QString::fromUtf8("Szerkesztés"));

    press(transfer(), QKeySequence(Qt::CTRL | Qt::Key_Z));
    EXPECT_EQ(program->image()[10], 'B');
    // The edit is kept nowhere but in the history: the next open asks.
    EXPECT_FALSE(program->unsavedEdits().pending());
    press(transfer(), QKeySequence(Qt::CTRL | Qt::Key_Z));
    EXPECT_EQ(program->image()[10], 'A');
    EXPECT_EQ(transfer()->imageHistory().redoText(), QString::fromUtf8("Fájl megnyitása: b.CD2"));
    press(transfer(), QKeySequence(Qt::CTRL | Qt::Key_Y));
    press(transfer(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    EXPECT_EQ(program->image()[10], 'E');
    EXPECT_TRUE(program->unsavedEdits().pending());
    // The editor is told what the image was opened from.
    EXPECT_EQ(transfer()->imageOriginText(), QString::fromUtf8("a megnyitott fájl (b.CD2)"));
    ASSERT_TRUE(transfer()->imageOrigin().has_value());
    EXPECT_EQ((*transfer()->imageOrigin())[10], 'B');

    // An edit taken back is kept nowhere but in the history: a step that
    // would drop it asks first, as for any edit not kept.
    press(transfer(), QKeySequence(Qt::CTRL | Qt::Key_Z));
    EXPECT_EQ(program->image()[10], 'B');
    messenger.questions.clear();
    messenger.answerYes = false;
    next = settingsDir.filePath(QStringLiteral("a.CD2"));
    click(transfer(), "btOpen");
    EXPECT_EQ(messenger.questions, QStringList{QString::fromUtf8(UnsavedEdits::kQuestion)});
    EXPECT_EQ(program->image()[10], 'B');
    press(transfer(), QKeySequence(Qt::CTRL | Qt::Key_Y));
    EXPECT_EQ(program->image()[10], 'E');
    messenger.answerYes = true;

    // A read is a step too.
    connectTo(kDirect);
    click(transfer(), "btRead");
    EXPECT_EQ(transfer()->imageHistory().undoText(), QString::fromUtf8("Beolvasás a modulból"));
    press(transfer(), QKeySequence(Qt::CTRL | Qt::Key_Z));
    EXPECT_EQ(program->image()[10], 'E');
}

TEST_F(TransferReviewTest, TheUsualKeysOpenAndSaveAndTheLastEightFilesAreKeptForTheNextRun) {
    QStringList chosen;
    transfer()->setFileChooser([&](bool forSaving) {
        const QString path = settingsDir.filePath(forSaving ? QStringLiteral("saved%1.CD2").arg(chosen.size())
                                                            : QStringLiteral("f0.CD2"));
        chosen << path;
        return path;
    });
    for (int i = 0; i < 10; ++i) writeFile(QStringLiteral("f%1.CD2").arg(i), char('0' + i));
    press(transfer(), QKeySequence(Qt::CTRL | Qt::Key_O));
    ASSERT_EQ(chosen.size(), 1);
    EXPECT_EQ(program->image()[0], '0');
    // Ctrl+S: into the file opened, no dialog; Ctrl+Shift+S asks.
    program->image()[0] = 'x';
    press(transfer(), QKeySequence(Qt::CTRL | Qt::Key_S));
    EXPECT_EQ(chosen.size(), 1);
    QFile f0(settingsDir.filePath(QStringLiteral("f0.CD2")));
    ASSERT_TRUE(f0.open(QIODevice::ReadOnly));
    EXPECT_EQ(f0.read(1), QByteArray("x"));
    press(transfer(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    ASSERT_EQ(chosen.size(), 2);
    EXPECT_TRUE(QFile::exists(chosen[1]));

    for (int i = 1; i < 10; ++i) transfer()->openFile(settingsDir.filePath(QStringLiteral("f%1.CD2").arg(i)));
    QStringList expected;
    for (int i = 9; i >= 2; --i) expected << settingsDir.filePath(QStringLiteral("f%1.CD2").arg(i));
    EXPECT_EQ(transfer()->recentFiles(), expected);
    // The menu opens one of them.
    auto* menu = find<QMenu>(transfer(), "mnRecent");
    emit menu->aboutToShow();
    ASSERT_EQ(menu->actions().size(), RememberedChoices::kRecentFiles);
    menu->actions()[3]->trigger();
    EXPECT_EQ(program->image()[100], '6');
    EXPECT_EQ(transfer()->recentFiles().front(), settingsDir.filePath(QStringLiteral("f6.CD2")));

    // The file itself, as the next run reads it; a file gone leaves it.
    RememberedChoices next(RememberedChoices::pathBeside(settingsDir.filePath(QStringLiteral("settings.ini"))));
    ASSERT_TRUE(next.load());
    EXPECT_EQ(next.recentFiles(), transfer()->recentFiles());
    QFile::remove(settingsDir.filePath(QStringLiteral("f5.CD2")));
    transfer()->openFile(settingsDir.filePath(QStringLiteral("f5.CD2")));
    EXPECT_FALSE(transfer()->recentFiles().contains(settingsDir.filePath(QStringLiteral("f5.CD2"))));
    EXPECT_TRUE(messenger.messages.last().startsWith(QStringLiteral("File not found")));
}

TEST_F(TransferReviewTest, F1TellsHowEachWindowWorksWithItsKeys) {
    press(transfer(), QKeySequence(Qt::Key_F1));
    press(main(), QKeySequence(Qt::Key_F1));
    ASSERT_EQ(messenger.messages.size(), 2);
    EXPECT_TRUE(messenger.messages[0].contains(QStringLiteral("Ctrl+Shift+S")));
    EXPECT_EQ(messenger.shown[0].caption, QString::fromUtf8("Súgó – paraméterbeállítás"));
    EXPECT_TRUE(messenger.messages[1].contains(QString::fromUtf8("Soros port kiválasztása")));
}

}  // namespace

TEST(RememberedChoicesFile, KeepsEightFilesNewestFirstOnceEachAndReadsADamagedFileAsDefaults) {
    QTemporaryDir dir;
    const QString path = RememberedChoices::pathBeside(dir.filePath(QStringLiteral("settings.ini")));
    EXPECT_EQ(path, dir.filePath(QStringLiteral("corvanta/choices.ini")));
    {
        RememberedChoices c(path);
        EXPECT_FALSE(c.load());  // none yet: the defaults
        for (int i = 0; i < 10; ++i) c.addRecentFile(dir.filePath(QStringLiteral("f%1.CD2").arg(i)));
        c.addRecentFile(dir.filePath(QStringLiteral("f4.CD2")));
        c.setPort(QStringLiteral("/dev/ttyUSB0"), QStringLiteral("ttyUSB0 FT232R (COM1)"));
        c.setLineKind(RememberedChoices::LineKind::Modem);
        EXPECT_TRUE(c.error().isEmpty());
    }
    RememberedChoices back(path);
    ASSERT_TRUE(back.load());
    QStringList expected{dir.filePath(QStringLiteral("f4.CD2"))};
    for (int i : {9, 8, 7, 6, 5, 3, 2}) expected << dir.filePath(QStringLiteral("f%1.CD2").arg(i));
    EXPECT_EQ(back.recentFiles(), expected);
    EXPECT_EQ(back.portDevice(), QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(back.lineKind(), RememberedChoices::LineKind::Modem);

    // A file written by hand, or damaged: what cannot be read is left out.
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("[link]\nkind=telepathy\n\xff\xfe garbage\n[files]\nrecent=a, a, , b\n");
    file.close();
    RememberedChoices damaged(path);
    damaged.load();
    EXPECT_EQ(damaged.lineKind(), RememberedChoices::LineKind::None);
    EXPECT_EQ(damaged.recentFiles(), (QStringList{"a", "b"}));
    EXPECT_TRUE(damaged.portDevice().isEmpty());
}

// The next start, from the same folder: the port (present now), the TCP/IP
// address and the line kind come back.
TEST(RememberedChoicesRun, TheLastPortAddressAndLineKindComeBackAtTheNextStart) {
    QTemporaryDir dir;
    const QString settings = dir.filePath(QStringLiteral("settings.ini"));
    QString device;
    {
        RecordingMessenger messenger;
        StartOptions options;
        options.settingsPath = settings;
        options.siteBookPath = dir.filePath(QStringLiteral("sitebook.sqlite"));
        options.messenger = &messenger;
        StartUp program(std::move(options));
        DemoModule demo{0};
        QString error;
        ASSERT_TRUE(demo.start(program.discovery(), &error)) << error.toStdString();
        program.createAll();
        program.showMainWindow();
        QTimer::singleShot(0, program.portChooser(), [&] {
            const QStringList rows = program.portChooser()->choices();
            for (int i = 0; i < rows.size(); ++i)
                if (rows[i].contains(kDirect)) program.portChooser()->selectRow(i);
            program.portChooser()->accept();
        });
        program.mainWindow()->buttonSelectSerialClick();
        device = program.portChooser()->selectedDevice();
        program.mainWindow()->findChild<QLineEdit*>("edServer")->setText(QStringLiteral("192.0.2.44"));
        program.mainWindow()->btIPConnectClick();  // nothing answers; the address is kept all the same
        program.mainWindow()->btIPDisconnectClick();

        // The same device again in the next run: present, shown as chosen.
        StartOptions again;
        again.settingsPath = settings;
        again.siteBookPath = dir.filePath(QStringLiteral("sitebook.sqlite"));
        again.messenger = &messenger;
        StartUp second(std::move(again));
        second.discovery().addExtraPort(device.toStdString(), "Corvanta", "");
        second.createAll();
        // Titled as this run lists the device, which may number it anew.
        EXPECT_TRUE(second.mainWindow()->chosenPortTitle().startsWith(device.mid(QStringLiteral("/dev/").size())))
            << second.mainWindow()->chosenPortTitle().toStdString();
        EXPECT_EQ(second.mainWindow()->serialLine().portName(), device);
        EXPECT_EQ(second.portChooser()->selectedDevice(), device);
        EXPECT_EQ(second.mainWindow()->findChild<QLineEdit*>("edServer")->text(), QStringLiteral("192.0.2.44"));
        EXPECT_EQ(second.rememberedChoices().lineKind(), RememberedChoices::LineKind::Tcp);
        EXPECT_EQ(second.mainWindow()->focusWidget(), second.mainWindow()->findChild<QWidget*>("btIPConnect"));
    }
    // A device that is gone is listed, but not chosen. (Not the terminal of
    // above: a test beside this one may have the same number by now.)
    {
        RememberedChoices gone(RememberedChoices::pathBeside(settings));
        ASSERT_TRUE(gone.load());
        gone.setPort(dir.filePath(QStringLiteral("ttyGone0")), QStringLiteral("ttyGone0 (COM1)"));
    }
    StartOptions later;
    later.settingsPath = settings;
    RecordingMessenger quiet;
    later.messenger = &quiet;
    later.siteBookPath = dir.filePath(QStringLiteral("sitebook.sqlite"));
    StartUp third(std::move(later));
    third.createAll();
    EXPECT_TRUE(third.mainWindow()->chosenPortTitle().isEmpty());
    bool listed = false;
    third.portChooser()->show();
    for (const QString& row : third.portChooser()->choices()) listed = listed || row.startsWith('-');
    third.portChooser()->reject();
    EXPECT_TRUE(listed);
}

}  // namespace corvanta::testing
