// The main window driven by its buttons against the simulated module.

#include "tests/ui/program_fixture.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QListView>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTableWidget>
#include <QTemporaryDir>

#include <set>

#include "link/block_frame.h"
#include "link/traffic_codes.h"
#include "tests/support/file_modes.h"
#include "ui/main/firmware_window.h"
#include "ui/main/splash_window.h"
#include "ui/main/text_window.h"
#include "ui/editor/on_off_mode_window.h"
#include "ui/editor/parameter_editor.h"
#include "ui/service/clock_window.h"
#include "ui/service/event_list_window.h"
#include "ui/service/radio_window.h"
#include "ui/service/status_window.h"

namespace corvanta::testing {
namespace {

using MainWindowTest = ProgramTest;

TEST_F(MainWindowTest, StartUpCreatesEveryWindowBeforeTheMainWindowShows) {
    RecordingMessenger quiet;
    StartOptions options;
    options.settingsPath = settingsDir.filePath(QStringLiteral("other.ini"));
    options.messenger = &quiet;
    StartUp fresh(std::move(options));
    bool allThereWhenShown = false;
    QObject::connect(&fresh, &StartUp::mainWindowShown, [&] {
        allThereWhenShown = fresh.editor() && fresh.trafficLog() && fresh.transferWindow() && fresh.portChooser();
    });
    fresh.splash()->show();
    EXPECT_TRUE(fresh.splash()->hasPicture());
    EXPECT_EQ(fresh.splash()->versionText(), "v1.30 (dv.2)");
    EXPECT_FALSE(fresh.allWindowsCreated());
    EXPECT_FALSE(fresh.mainWindow()->isVisible());

    fresh.splash()->timerCreateAllTick();
    EXPECT_TRUE(fresh.allWindowsCreated());
    EXPECT_FALSE(fresh.mainWindow()->isVisible());
    fresh.splash()->timerShowWelcomeTick();
    EXPECT_TRUE(allThereWhenShown);
    EXPECT_TRUE(fresh.mainWindow()->isVisible());
    EXPECT_FALSE(fresh.splash()->isVisible());
    EXPECT_EQ(fresh.mainWindow()->windowTitle(), "GSM-Corvanta  v1.30 (dv.2)");
    EXPECT_EQ(find(fresh.mainWindow(), "ButtonSelectSerial")->text(), "&Soros port kiválasztása");
    EXPECT_FALSE(find(fresh.mainWindow(), "btFirmware")->isVisibleTo(fresh.mainWindow()));
}

TEST_F(MainWindowTest, QtsOwnDialogTextsAreHungarian) {
    const QString texts = QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_hu.qm");
    if (!QFileInfo::exists(texts)) GTEST_SKIP() << "no Hungarian Qt texts installed";
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"), "&Igen");
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&No"), "&Nem");
}

TEST_F(MainWindowTest, WindowsCarryTheProgramIconAtMenuAndLargeSizes) {
    const QList<QSize> sizes = main()->windowIcon().availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(48, 48)));
    EXPECT_TRUE(sizes.contains(QSize(256, 256)));
}

TEST_F(MainWindowTest, EveryButtonOfTheMainAndTransferWindowsHasAnAltLetterOfItsOwn) {
    for (QWidget* window : {static_cast<QWidget*>(main()), static_cast<QWidget*>(transfer())}) {
        std::set<int> keys;
        for (auto* b : window->findChildren<QPushButton*>()) {
            // The arrow of the traffic log button has no letter; the chooser is a window of its own.
            if (b->objectName() == "btDetails" || b->window() != window) continue;
            const QKeySequence key = QKeySequence::mnemonic(b->text());
            ASSERT_FALSE(key.isEmpty()) << b->objectName().toStdString();
            EXPECT_TRUE(keys.insert(key[0].toCombined()).second) << b->objectName().toStdString();
        }
    }
    main()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(main()));
    QTest::keyClick(main(), Qt::Key_P, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return transfer()->isVisible(); }, 2000));  // a shortcut clicks animated
}

TEST_F(MainWindowTest, EscapeClosesTheToolWindows) {
    click(main(), "btDetails");
    const std::vector<QWidget*> tools{transfer(), program->trafficLog(), program->eventListWindow(),
                                      program->textWindow(), program->firmwareWindow()};
    for (QWidget* w : tools) {
        w->show();
        w->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w)) << w->objectName().toStdString();
        QTest::keyClick(w, Qt::Key_Escape);
        EXPECT_FALSE(w->isVisible()) << w->objectName().toStdString();
    }
    EXPECT_EQ(find(main(), "btDetails")->text(), ">>");  // as its own close button leaves it
}

// A laptop of 1366 x 768 with a title bar and a panel leaves 1366 x 700.
TEST_F(MainWindowTest, EveryWindowFitsALaptopScreen) {
    const QSize screen(1366, 700);
    program->editor()->present(program->image());
    // The status monitor keeps its size with its live chart in it.
    ASSERT_NE(program->statusWindow()->findChild<QWidget*>("StatusChart"), nullptr);
    // Every window the program made, those added later included; menus and
    // drop-down lists open on demand and are placed by Qt on the screen.
    int checked = 0;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->windowType() == Qt::Popup || w->windowType() == Qt::ToolTip) continue;
        w->show();
        QApplication::processEvents();
        w->adjustSize();
        EXPECT_LE(w->width(), screen.width()) << w->objectName().toStdString();
        EXPECT_LE(w->height(), screen.height()) << w->objectName().toStdString();
        w->hide();
        ++checked;
    }
    EXPECT_GE(checked, 14);
    EXPECT_LE(program->editor()->width(), 1280);
    EXPECT_LE(program->editor()->height(), screen.height());
    program->editor()->discard();
}

TEST_F(MainWindowTest, WindowsOfAListOrATextGrowTheirListWithTheWindow) {
    const std::vector<std::pair<QWidget*, QWidget*>> windows{
        {program->eventListWindow(), program->eventListWindow()->findChild<QTableWidget*>("acgEvSh")},
        {program->trafficLog(), program->trafficLog()->findChild<QListView*>("RxMemo")},
        {program->textWindow(), program->textWindow()->findChild<QPlainTextEdit*>("Memo1")},
        {program->statusWindow(), program->statusWindow()->findChild<QPlainTextEdit*>("Memo1")}};
    for (auto [window, list] : windows) {
        ASSERT_NE(list, nullptr) << window->objectName().toStdString();
        window->show();
        QApplication::processEvents();
        const QSize before = list->size();
        window->resize(window->size() + QSize(200, 150));
        QApplication::processEvents();
        EXPECT_GT(list->width(), before.width()) << window->objectName().toStdString();
        EXPECT_GT(list->height(), before.height()) << window->objectName().toStdString();
        window->hide();
    }
}

TEST_F(MainWindowTest, StatusLineClickShowsTheCaption) {
    QTest::mouseClick(main()->statusBar(), Qt::LeftButton);
    EXPECT_EQ(main()->statusText(), "GSM-Corvanta  v1.30 (dv.2)");
}

TEST_F(MainWindowTest, ConnectAsksForAPortChosenThisRunEvenWhenSettingsNamedOne) {
    main()->serialLine().setPortName(demo.directPath());  // as if loaded from the settings file
    click(main(), "btConnect");
    EXPECT_EQ(messenger.shown, (std::vector<Shown>{{"Válasszon soros portot!", "Hiba"}}));
    EXPECT_FALSE(program->link().linkConnected());
}

TEST_F(MainWindowTest, ConnectAndDisconnectSwapTheButtonsAndStatus) {
    connectTo(kDirect);
    EXPECT_TRUE(main()->chosenPortTitle().contains(kDirect));
    EXPECT_TRUE(program->link().linkConnected());
    EXPECT_EQ(main()->statusText(), " Soros kapcsolat rendben.");
    EXPECT_FALSE(find(main(), "btConnect")->isEnabled());
    EXPECT_TRUE(find(main(), "btDisconnect")->isEnabled());

    click(main(), "btDisconnect");
    EXPECT_FALSE(program->link().linkConnected());
    EXPECT_EQ(main()->statusText(), " Nincs soros kapcsolat.");
    EXPECT_TRUE(find(main(), "btConnect")->isEnabled());
    EXPECT_FALSE(find(main(), "btDisconnect")->isEnabled());
}

TEST_F(MainWindowTest, ALineThatDiesWhileOpenTurnsTheButtonsBackAtOnceAndSaysSoInHungarian) {
    connectTo(kDirect);
    demo.pullDirectLine();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !program->link().linkConnected(); }, 5000));
    EXPECT_EQ(main()->statusText(), " Hiba: megszakadt a soros kapcsolat!");
    EXPECT_TRUE(find(main(), "btConnect")->isEnabled());
    EXPECT_FALSE(find(main(), "btDisconnect")->isEnabled());
    ASSERT_EQ(messenger.messages.size(), 1);
    EXPECT_TRUE(messenger.messages[0].startsWith("A soros kapcsolat megszakadt")) << messenger.messages[0].toStdString();
}

TEST_F(MainWindowTest, PeriodicLoginShowsWhetherTheCodeIsAccepted) {
    connectTo(kDirect, QStringLiteral("9999"));
    periodicLogin();
    EXPECT_EQ(main()->statusText(), " Hibás telepítői azonosító!");
    type("edPWD", QStringLiteral("1234"));
    periodicLogin();
    EXPECT_EQ(main()->statusText(), "");
    EXPECT_EQ(loggedLines(), (QStringList{"PWDERR", "PWDOK"}));
}

TEST_F(MainWindowTest, AlarmStopConfirmedByTheModule) {
    connectTo(kDirect);
    click(main(), "btSotpAllAlarm");
    EXPECT_EQ(messenger.texts(), (QStringList{"Biztosan le kívánja állítani a riasztási eseményeket ?",
                                              "Riasztási események leállítva!"}));
    EXPECT_TRUE(find(main(), "btSotpAllAlarm")->isEnabled());
    EXPECT_EQ(main()->statusText(), "");
}

TEST_F(MainWindowTest, AlarmStopWithAWrongCodeSaysSoOnceAndLeavesTheButtonEnabled) {
    connectTo(kDirect, QStringLiteral("99"));
    click(main(), "btSotpAllAlarm");
    EXPECT_EQ(messenger.texts().count(" Hibás telepítői azonosító!"), 1);
    EXPECT_TRUE(find(main(), "btSotpAllAlarm")->isEnabled());
}

TEST_F(MainWindowTest, AlarmStopUnansweredOnAModemLineWithoutACallSaysToDialFirst) {
    connectTo(kModem);  // a modem in command mode never answers "PWDOK"
    fastClock.start(0);
    click(main(), "btSotpAllAlarm");
    EXPECT_EQ(messenger.texts().last(), "A soros vonalon modem van, de nincs hívás: előbb tárcsázza a modult (Tárcsázás)!");
    EXPECT_TRUE(find(main(), "btSotpAllAlarm")->isEnabled());
}

TEST_F(MainWindowTest, AlarmStopWithoutLinkAsksFirstThenSaysThereIsNoLink) {
    click(main(), "btSotpAllAlarm");
    EXPECT_EQ(messenger.texts(), (QStringList{"Biztosan le kívánja állítani a riasztási eseményeket ?",
                                              " Nincs soros kapcsolat."}));
    messenger.shown.clear();
    messenger.answerYes = false;
    connectTo(kDirect);
    click(main(), "btSotpAllAlarm");
    EXPECT_EQ(messenger.shown.size(), 1u);  // only the question
}

TEST_F(MainWindowTest, VersionButtonShowsTheModulesVersion) {
    connectTo(kDirect);
    click(main(), "btAskVersion");
    ASSERT_EQ(messenger.shown.size(), 1u);
    EXPECT_TRUE(messenger.shown[0].text.startsWith("Programverzió: "));
    EXPECT_TRUE(messenger.shown[0].text.endsWith("       (DataVer=2)"));
}

TEST_F(MainWindowTest, DialThroughTheSimulatedModemAndHangUp) {
    connectTo(kModem);
    // In command mode the hang-up is answered at once: no escape is needed.
    click(main(), "btATH");
    EXPECT_EQ(main()->statusText(), " Vonal bontva.");
    EXPECT_EQ(loggedLines(), (QStringList{"------> ATH", "OK", "------> ATH", "OK"}));

    type("edPhoneNr", QString::fromLatin1(DemoModule::kModemNumber));
    click(main(), "btDial");
    EXPECT_EQ(main()->statusText(), " Távoli kapcsolat rendben.");
    EXPECT_TRUE(find(main(), "btDial")->isEnabled());
    // The call carries the module's line now.
    periodicLogin();
    EXPECT_EQ(loggedLines().last(), "PWDOK");
}

TEST_F(MainWindowTest, LinkIndicatorShowsTheLineAndWhetherTheLastLoginWasAnswered) {
    EXPECT_EQ(main()->linkStateText(), "Nincs kapcsolat");
    connectTo(kDirect, QStringLiteral("9999"));
    const QString direct = QStringLiteral("Soros: ") + demo.directPath();
    EXPECT_EQ(main()->linkStateText(), direct);
    periodicLogin();
    EXPECT_EQ(main()->linkStateText(), direct + " – hibás kód");
    type("edPWD", QStringLiteral("1234"));
    periodicLogin();
    EXPECT_EQ(main()->linkStateText(), direct + " – válaszol");
    main()->statusBar1Click();  // the status line may say anything meanwhile
    EXPECT_EQ(main()->linkStateText(), direct + " – válaszol");

    click(main(), "btDisconnect");
    EXPECT_EQ(main()->linkStateText(), "Nincs kapcsolat");
    connectTo(kModem);  // in command mode the modem answers the login "ERROR"
    periodicLogin();
    codeTicks->fire();
    EXPECT_EQ(main()->linkStateText(),
              QStringLiteral("Modem, nincs hívás: ") + demo.modemPath() + " – előbb tárcsázzon");
    type("edPhoneNr", QString::fromLatin1(DemoModule::kModemNumber));
    click(main(), "btDial");
    EXPECT_TRUE(main()->linkStateText().startsWith(QStringLiteral("Modem: ") + demo.modemPath()));
    // The call does not outlive its line.
    click(main(), "btDisconnect");
    EXPECT_EQ(main()->linkStateText(), "Nincs kapcsolat");
    connectTo(kModem);
    EXPECT_EQ(main()->linkStateText(), QStringLiteral("Soros: ") + demo.modemPath());
}

TEST_F(MainWindowTest, ChoosingAnotherPortForgetsWhatTheOldLineAnswered) {
    connectTo(kDirect);
    periodicLogin();
    const auto dot = [&] { return find<QLabel>(main(), "lbLinkDot")->palette().color(QPalette::WindowText); };
    EXPECT_EQ(main()->linkStateText(), QStringLiteral("Soros: ") + demo.directPath() + " – válaszol");
    EXPECT_EQ(dot(), QColor(0, 128, 0));
    choosePort(kModem);  // the open line moves to the modem's port
    EXPECT_EQ(main()->linkStateText(), QStringLiteral("Soros: ") + demo.modemPath());
    EXPECT_EQ(dot(), QColor(128, 128, 128));
    EXPECT_FALSE(find(main(), "btConnect")->isEnabled());  // still open, on the new port

    // A call on one line is not a call on the next.
    type("edPhoneNr", QString::fromLatin1(DemoModule::kModemNumber));
    click(main(), "btDial");
    ASSERT_TRUE(main()->modem().callActive());
    choosePort(kDirect);
    EXPECT_FALSE(main()->modem().callActive());
    EXPECT_FALSE(main()->modem().modemLine());
    EXPECT_EQ(main()->linkStateText(), QStringLiteral("Soros: ") + demo.directPath());
}

TEST_F(MainWindowTest, AnOperationOnAModemLineWithoutACallSaysToDialFirstAndWorksOnceDialled) {
    connectTo(kModem);
    fastClock.start(0);
    click(main(), "btAskVersion");
    EXPECT_EQ(messenger.texts(),
              QStringList{"A soros vonalon modem van, de nincs hívás: előbb tárcsázza a modult (Tárcsázás)!"});
    fastClock.stop();
    messenger.shown.clear();
    type("edPhoneNr", QString::fromLatin1(DemoModule::kModemNumber));
    click(main(), "btDial");
    click(main(), "btAskVersion");
    ASSERT_EQ(messenger.shown.size(), 1u);
    EXPECT_TRUE(messenger.shown[0].text.startsWith("Programverzió: ")) << messenger.shown[0].text.toStdString();
    EXPECT_FALSE(program->link().modemIdle());
}

TEST_F(MainWindowTest, DialToAWrongNumberEndsWithNoCall) {
    connectTo(kModem);
    type("edPhoneNr", QStringLiteral("111"));
    fastClock.start(0);
    click(main(), "btDial");
    EXPECT_EQ(main()->statusText(), "Nincs kapcsolat!");
}

TEST_F(MainWindowTest, TrafficLogToggleAndItsButtons) {
    QPushButton* details = find(main(), "btDetails");
    TrafficLogWindow* log = program->trafficLog();
    EXPECT_EQ(details->text(), " >>");
    details->click();
    EXPECT_TRUE(log->isVisible());
    EXPECT_EQ(details->text(), "<<");

    click(log, "btAT");  // no link: nothing sent, nothing logged
    EXPECT_TRUE(loggedLines().isEmpty());
    connectTo(kModem);
    click(log, "btAT");
    EXPECT_TRUE(QTest::qWaitFor([&] { return loggedLines().size() == 2; }, 5000));
    EXPECT_EQ(loggedLines(), (QStringList{"------> AT", "OK"}));
    EXPECT_TRUE(log->text().endsWith("OK\n"));  // the last line waits empty
    QTemporaryDir files;
    log->reports().setPathChooser([&](ReportFormat, const QString&) { return files.filePath("log.txt"); });
    click(log, "btSave");
    QFile saved(files.filePath("log.txt"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), QByteArray("------> AT\nOK\n"));

    click(log, "btClear");
    periodicLogin();  // the modem answers a login line with an error
    EXPECT_EQ(log->text().split('\n').size(), 2);
    EXPECT_TRUE(log->text().endsWith('\n'));

    click(log, "btClose");
    EXPECT_FALSE(log->isVisible());
    EXPECT_EQ(details->text(), ">>");
    details->click();
    EXPECT_TRUE(log->isVisible());
}

TEST(TrafficLogTest, KeepsLinesInOrderCompactlyAndLaysOutOnlyTheRowsShown) {
    TrafficLogWindow log;
    QStringList sent;
    for (int n = 0; n < 3000; ++n) {
        sent << QStringLiteral("AT_[%1,22222222222222,").arg(n).leftJustified(130, QLatin1Char('0'));
        log.logTraffic(sent.back());
    }
    EXPECT_EQ(log.model().rowsRead(), 0);  // hidden: nothing asked for a row
    EXPECT_LT(log.model().lines().storedBytes(), 3000 * 130 / 4);
    EXPECT_EQ(log.text(), sent.join('\n') + '\n');

    log.show();
    QApplication::processEvents();
    EXPECT_GT(log.model().rowsRead(), 0);
    EXPECT_LT(log.model().rowsRead(), 300);

    auto* view = log.findChild<QListView*>("RxMemo");
    view->selectionModel()->select(log.model().index(2), QItemSelectionModel::Select);
    view->selectionModel()->select(log.model().index(1), QItemSelectionModel::Select);
    view->actions().front()->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), sent[1] + '\n' + sent[2]);
}

TEST(TrafficLogTest, BlockFramesShowTheirCodesMaskedUntilRawCodesAreTickedAndSavedAsShown) {
    // Block 0 with the installer code 1234 as the module keeps it.
    BlockFrame frame{};
    frame[180] = 0xED;
    frame[181] = 0xCB;
    sealModuleFrame(frame, kFirstParameterBlock);
    const QString reply = QString::fromStdString(blockReplyLine(frame));
    const QString masked = QString::fromStdString(maskTrafficCodes(blockReplyLine(frame)));
    ASSERT_NE(masked, reply);

    TrafficLogWindow log;
    auto* raw = log.findChild<QCheckBox*>("cbRawCodes");
    ASSERT_TRUE(raw);
    EXPECT_EQ(raw->text(), QString::fromUtf8("Kódok nyersen"));
    EXPECT_FALSE(raw->isChecked());
    log.logTraffic(QStringLiteral("PWDOK"));
    log.logTraffic(reply);
    EXPECT_EQ(log.model().index(1).data().toString(), masked);
    EXPECT_EQ(log.text(), "PWDOK\n" + masked + '\n');

    SharedUmask umask;
    QTemporaryDir files;
    QString path;
    log.reports().setPathChooser([&](ReportFormat, const QString&) { return path; });
    auto save = [&](const char* name) {
        path = files.filePath(QString::fromLatin1(name));
        log.findChild<QPushButton*>("btSave")->click();
        QFile saved(path);
        return saved.open(QIODevice::ReadOnly) ? QString::fromUtf8(saved.readAll()) : QString();
    };
    EXPECT_EQ(save("masked.txt"), "PWDOK\n" + masked + '\n');
    EXPECT_EQ(modeOf(path), 0644);

    // Raw: the lines logged before show as they came too, and the file
    // that holds them is the owner's alone.
    raw->setChecked(true);
    EXPECT_EQ(log.model().index(1).data().toString(), reply);
    EXPECT_EQ(save("raw.txt"), "PWDOK\n" + reply + '\n');
    EXPECT_EQ(modeOf(path), 0600);
    raw->setChecked(false);
    EXPECT_EQ(log.model().index(1).data().toString(), masked);
}

TEST_F(MainWindowTest, PortAndPhoneNumberAreSavedWhenTheWindowGoes) {
    choosePort(kDirect);
    type("edPhoneNr", QStringLiteral("0630555"));
    program.reset();
    SettingsFile saved(settingsDir.filePath(QStringLiteral("settings.ini")));
    ASSERT_TRUE(saved.load());
    EXPECT_EQ(saved.portName(), demo.directPath());
    EXPECT_EQ(saved.phoneNumber(), "0630555");
}

}  // namespace
}  // namespace corvanta::testing

namespace corvanta::testing {
namespace {

TEST_F(MainWindowTest, RemoteAccessOverTcpHoldsTheSerialAndModemButtons) {
    EXPECT_EQ(find<QLineEdit>(main(), "edIPpass")->echoMode(), QLineEdit::Password);
    QString error;
    if (!demo.listenTcp(TcpLink::kModulePort, &error)) GTEST_SKIP() << "port taken: " << error.toStdString();
    type("edPWD", QStringLiteral("1234"));
    type("edServer", QString::fromLatin1(DemoModule::kTcpHost));
    type("edIPpass", QString::fromLatin1(DemoModule::kTcpPassword));
    click(main(), "btIPConnect");
    for (const char* name : {"btConnect", "btDisconnect", "btDial", "btATH"})
        EXPECT_FALSE(find(main(), name)->isEnabled()) << name;
    ASSERT_TRUE(QTest::qWaitFor([&] { return program->link().tcpActive(); }, 5000));
    EXPECT_EQ(main()->statusText(), "TCP/IP Connected");

    click(main(), "btAskVersion");
    ASSERT_EQ(messenger.shown.size(), 1u);
    EXPECT_TRUE(messenger.shown[0].text.endsWith("(DataVer=2)"));

    click(main(), "btIPDisconnect");
    EXPECT_FALSE(program->link().tcpActive());
    EXPECT_TRUE(find(main(), "btConnect")->isEnabled());
    EXPECT_FALSE(find(main(), "btDisconnect")->isEnabled());  // the serial port is still closed
    EXPECT_TRUE(find(main(), "btDial")->isEnabled());
    EXPECT_EQ(messenger.shown.size(), 1u);  // no warning for a close the user asked for
}

}  // namespace
}  // namespace corvanta::testing
