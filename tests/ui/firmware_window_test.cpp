// The firmware window's buttons against the simulated module in the same
// process: what is enabled when, the status line, the progress bar and stop.

#include "ui/main/firmware_window.h"

#include <QFile>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include "link/module_link.h"
#include "sim/sim_module.h"
#include "sim/sim_transport.h"
#include "tests/transfer/firmware_builder.h"
#include "tests/support/recording_messenger.h"
#include "ui/main/main_window.h"
#include "ui/main/port_chooser.h"
#include "ui/main/start_up.h"
#include "ui/main/transfer_window.h"

namespace corvanta {
namespace {

namespace t = firmware_texts;
QString u(const char* text) { return QString::fromUtf8(text); }

class FirmwareWindowTest : public ::testing::Test {
protected:
    FirmwareWindowTest() {
        auto ticks = std::make_unique<ManualTickSource>();
        transferTicks = ticks.get();
        link = std::make_unique<ModuleLink>(std::move(ticks), std::make_unique<ManualTickSource>());
        link->setMessenger(&messenger);
        link->setInstallerCode("1234");
        window = std::make_unique<FirmwareWindow>(*link);
        window->upload().useDemoKey(true);
        window->setFileChooser([this] {
            ++chooserOpened;
            return chosen;
        });
        QObject::connect(&fastClock, &QTimer::timeout, [this] {
            if (link->waiting()) transferTicks->fire();
        });
        fastClock.start(0);
    }
    void connectModule() {
        link->setTransport(&line);
        line.open(nullptr);
    }
    QString writeFile(const std::string& text) {
        const QString path = dir.filePath(QStringLiteral("new.GCF"));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text.data(), qsizetype(text.size()));
        return path;
    }
    QPushButton* button(const char* name) const {
        auto* b = window->findChild<QPushButton*>(QString::fromLatin1(name));
        EXPECT_NE(b, nullptr) << name;
        return b;
    }
    QProgressBar* bar() const { return window->findChild<QProgressBar*>(QStringLiteral("ProgressBar1")); }

    QTemporaryDir dir;
    corvanta::testing::RecordingMessenger messenger;
    sim::SimModule module{sim::ModuleSettings{}};
    sim::SimTransport line{&module};
    ManualTickSource* transferTicks = nullptr;
    std::unique_ptr<ModuleLink> link;
    std::unique_ptr<FirmwareWindow> window;
    QString chosen;
    int chooserOpened = 0;
    QTimer fastClock;
};

TEST_F(FirmwareWindowTest, WithoutAKeyNoFileIsEvenChosen) {
    const QByteArray settingsBefore = qgetenv("CORVANTA_SETTINGS_FILE");
    qputenv("CORVANTA_SETTINGS_FILE", QFile::encodeName(dir.filePath("settings.ini")));
    qunsetenv("CORVANTA_FIRMWARE_KEY");
    window->upload().useDemoKey(false);
    chosen = writeFile(corvanta::testing::gcfText(3));
    button("btLoad")->click();
    qputenv("CORVANTA_SETTINGS_FILE", settingsBefore);
    EXPECT_EQ(chooserOpened, 0);
    ASSERT_EQ(messenger.texts().size(), 1);
    EXPECT_TRUE(messenger.texts()[0].contains("CORVANTA_FIRMWARE_KEY")) << messenger.texts()[0].toStdString();
    EXPECT_FALSE(button("btStart")->isEnabled());
}

TEST_F(FirmwareWindowTest, StartWaitsForAFileAndTheLink) {
    EXPECT_EQ(window->objectName(), "FormFirmware");
    EXPECT_EQ(window->windowTitle(), u("Firmware Letöltő"));
    EXPECT_FALSE(button("btStart")->isEnabled());
    for (const char* name : {"btLoad", "btCRC_Restart", "btStop", "btClose"})
        EXPECT_TRUE(button(name)->isEnabled()) << name;
    // An equal minimum and maximum would make the idle bar a busy indicator.
    EXPECT_LT(bar()->minimum(), bar()->maximum());
    EXPECT_EQ(bar()->value(), bar()->minimum());

    button("btLoad")->click();  // cancelled
    EXPECT_FALSE(button("btStart")->isEnabled());
    EXPECT_TRUE(messenger.texts().isEmpty());

    chosen = writeFile(corvanta::testing::gcfText(3) + "rövid\r\n");
    button("btLoad")->click();
    EXPECT_FALSE(button("btStart")->isEnabled());
    ASSERT_EQ(messenger.texts().size(), 1);
    EXPECT_TRUE(messenger.texts()[0].startsWith(u("A firmware fájl 4. sora hibás")));

    chosen = writeFile(corvanta::testing::gcfText(3));
    button("btLoad")->click();
    EXPECT_TRUE(button("btStart")->isEnabled());
    EXPECT_EQ(window->statusText(), u(t::kFileOk));

    messenger.shown.clear();
    button("btStart")->click();
    EXPECT_EQ(messenger.texts(), QStringList{u(" Nincs soros kapcsolat.")});
}

TEST_F(FirmwareWindowTest, UploadStopAndCheck) {
    connectModule();
    chosen = writeFile(corvanta::testing::gcfText(40));
    button("btLoad")->click();

    // While frames go out only loading and starting are locked; stop is heard
    // before the next frame.
    std::vector<bool> lockedDuring;
    auto spy = QObject::connect(bar(), &QProgressBar::valueChanged, [&](int value) {
        lockedDuring.push_back(!button("btLoad")->isEnabled() && !button("btStart")->isEnabled() &&
                               button("btStop")->isEnabled() && button("btCRC_Restart")->isEnabled());
        if (value == 4) button("btStop")->click();
    });
    button("btStart")->click();
    QObject::disconnect(spy);
    EXPECT_EQ(window->statusText(), u(t::kStopped));
    EXPECT_EQ(bar()->maximum(), 9);
    EXPECT_EQ(bar()->value(), 4);
    EXPECT_EQ(lockedDuring, std::vector<bool>(lockedDuring.size(), true));
    EXPECT_TRUE(button("btLoad")->isEnabled());
    EXPECT_TRUE(button("btStart")->isEnabled());

    button("btStart")->click();
    EXPECT_EQ(window->statusText(), u(t::kUploadOk));
    EXPECT_EQ(bar()->value(), 9);

    button("btCRC_Restart")->click();
    EXPECT_EQ(window->statusText(), u(t::kCheckOk));
    EXPECT_EQ(messenger.texts(), QStringList{u(t::kRestarting)});

    // A file of one frame: the bar is not left running as a busy indicator.
    chosen = writeFile(corvanta::testing::gcfText(2));
    button("btLoad")->click();
    button("btStart")->click();
    EXPECT_EQ(window->statusText(), u(t::kUploadOk));
    EXPECT_LT(bar()->minimum(), bar()->maximum());

    window->show();
    button("btClose")->click();
    EXPECT_FALSE(window->isVisible());
}

}  // namespace
}  // namespace corvanta

// The main window offers the firmware window only when the program was
// started for it, and opens it without blocking itself.
namespace corvanta {
namespace {

std::unique_ptr<StartUp> program(bool firmware, const QTemporaryDir& dir, Messenger& messenger) {
    StartOptions options;
    options.firmware = firmware;
    options.settingsPath = dir.filePath(QStringLiteral("settings.ini"));
    options.messenger = &messenger;
    auto p = std::make_unique<StartUp>(std::move(options));
    p->createAll();
    p->showMainWindow();
    return p;
}

TEST(FirmwareButton, OpensTheWindowNotModallyOnlyWhenOffered) {
    QTemporaryDir dir;
    corvanta::testing::RecordingMessenger messenger;
    auto plain = program(false, dir, messenger);
    auto* hidden = plain->mainWindow()->findChild<QPushButton*>(QStringLiteral("btFirmware"));
    ASSERT_NE(hidden, nullptr);
    EXPECT_FALSE(hidden->isVisibleTo(plain->mainWindow()));
    plain.reset();

    auto offered = program(true, dir, messenger);
    auto* button = offered->mainWindow()->findChild<QPushButton*>(QStringLiteral("btFirmware"));
    ASSERT_TRUE(button->isVisible());
    ASSERT_NE(offered->firmwareWindow(), nullptr);
    EXPECT_FALSE(offered->firmwareWindow()->isVisible());
    button->click();
    EXPECT_TRUE(offered->firmwareWindow()->isVisible());
    EXPECT_EQ(offered->firmwareWindow()->windowModality(), Qt::NonModal);
    EXPECT_TRUE(offered->mainWindow()->isEnabled());
    offered->firmwareWindow()->hide();
}

}  // namespace
}  // namespace corvanta
