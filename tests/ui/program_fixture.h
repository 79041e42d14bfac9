#pragma once
// The whole program as an installer starts it, with the simulated module on
// pseudo-terminals and every tick source in the test's hand. Nothing waits
// for a tick unless the test fires it.

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "link/messenger.h"
#include "link/modem_call.h"
#include "link/tcp_link.h"
#include "link/port_discovery.h"
#include "link/tick_source.h"
#include "ui/main/demo_module.h"
#include "ui/main/main_window.h"
#include "ui/main/port_chooser.h"
#include "ui/main/start_up.h"
#include "ui/main/traffic_log_window.h"
#include "tests/support/recording_messenger.h"
#include "ui/main/transfer_window.h"

namespace corvanta::testing {

class ProgramTest : public ::testing::Test {
protected:
    ProgramTest() {
        StartOptions options;
        options.settingsPath = settingsDir.filePath(QStringLiteral("settings.ini"));
        options.siteBookPath = settingsDir.filePath(QStringLiteral("sitebook.sqlite"));
        options.messenger = &messenger;
        auto transfer = std::make_unique<ManualTickSource>();
        auto code = std::make_unique<ManualTickSource>();
        auto delay = std::make_unique<ManualTickSource>();
        transferTicks = transfer.get();
        codeTicks = code.get();
        delayTicks = delay.get();
        options.transferTicks = std::move(transfer);
        options.codeTicks = std::move(code);
        options.delayTicks = std::move(delay);
        program = std::make_unique<StartUp>(std::move(options));
        QString error;
        if (!demo.start(program->discovery(), &error)) ADD_FAILURE() << error.toStdString();
        program->createAll();
        program->showMainWindow();
        // Waits that run out do so at once, one tick each time round the loop.
        QObject::connect(&fastClock, &QTimer::timeout, [this] {
            if (program->link().waiting()) transferTicks->fire();
            if (main()->modem().waiting()) delayTicks->fire();
        });
    }

    MainWindow* main() const { return program->mainWindow(); }
    TransferWindow* transfer() const { return program->transferWindow(); }

    template <typename T = QPushButton>
    T* find(QWidget* window, const char* name) const {
        T* w = window->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    void click(QWidget* window, const char* name) { find(window, name)->click(); }
    void type(const char* field, const QString& text) { find<QLineEdit>(main(), field)->setText(text); }

    // Picks the chooser row whose entry contains `part` and confirms.
    void choosePort(const QString& part) {
        QTimer::singleShot(0, program->portChooser(), [this, part] {
            PortChooser* chooser = program->portChooser();
            const QStringList rows = chooser->choices();
            for (int i = 0; i < rows.size(); ++i) {
                if (rows[i].contains(part)) {
                    chooser->selectRow(i);
                    break;
                }
            }
            chooser->accept();
        });
        main()->buttonSelectSerialClick();
    }

    void connectTo(const QString& port, const QString& code = QStringLiteral("1234")) {
        type("edPWD", code);
        choosePort(port);
        click(main(), "btConnect");
    }

    // One periodic login, and its answer.
    void periodicLogin() {
        const int before = int(loggedLines().size());
        codeTicks->fire();
        EXPECT_TRUE(QTest::qWaitFor([&] { return int(loggedLines().size()) > before; }, 5000));
    }

    QStringList loggedLines() const {
        QStringList lines = program->trafficLog()->text().split('\n');
        lines.removeAll(QString());
        return lines;
    }

    QTemporaryDir settingsDir;
    RecordingMessenger messenger;
    DemoModule demo{0};
    ManualTickSource* transferTicks = nullptr;
    ManualTickSource* codeTicks = nullptr;
    ManualTickSource* delayTicks = nullptr;
    std::unique_ptr<StartUp> program;
    QTimer fastClock;
};

inline const QString kDirect = QStringLiteral("Szimulált Corvanta modul");
inline const QString kModem = QStringLiteral("Szimulált modem");

}  // namespace corvanta::testing
