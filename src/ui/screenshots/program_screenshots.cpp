#include "ui/screenshots/program_screenshots.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QTabWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <cmath>
#include <cstdio>

#include "link/messenger.h"
#include "ui/service/clock_window.h"
#include "ui/main/demo_module.h"
#include "ui/main/firmware_window.h"
#include "ui/service/event_list_window.h"
#include "ui/main/main_window.h"
#include "ui/main/port_chooser.h"
#include "ui/service/radio_window.h"
#include "ui/main/settings_report_window.h"
#include "ui/main/splash_window.h"
#include "ui/service/status_chart.h"
#include "ui/service/status_window.h"
#include "ui/main/start_up.h"
#include "ui/main/text_window.h"
#include "ui/main/traffic_log_window.h"
#include "ui/main/transfer_window.h"
#include "ui/sitebook/site_book_window.h"
#include "ui/widgets/long_text_dialog.h"
#include "params/parameter_codec.h"

namespace corvanta {

namespace {

// Messages would block the run; they go to the terminal instead.
class PrintingMessenger : public Messenger {
public:
    void showMessage(const QString& text, const QString&) override {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
    }
    bool askYesNo(const QString&, const QString&) override { return true; }
};

struct Largest {
    QSize size;
    QString name;
};

Largest& largest() {
    static Largest shot;
    return shot;
}

void click(QWidget* window, const char* button) {
    if (auto* b = window->findChild<QPushButton*>(QString::fromLatin1(button))) b->click();
}

// The list after the installer read the events and the names.
// After the names were read: inputs under their names, one round of polls.
void shootStatusWindow(StartUp& startUp, const QString& dir) {
    StatusWindow* status = startUp.statusWindow();
    status->show();
    // A few status frames, so the chart has points to join.
    for (int tick = 0; tick < 6; ++tick) {
        status->monitor().statusTimerTick();
        QElapsedTimer answer;
        answer.start();
        while (answer.elapsed() < 300) QApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    saveScreenshot(status, dir, QStringLiteral("status_window"));
    status->hide();
}

// The live chart after forty minutes of a module on battery: the signal
// wanders, the battery runs down, the box warms up; the link was down for
// two minutes.
void shootStatusChart(const QString& dir) {
    StatusSeries series;
    const qint64 start = QDateTime::currentMSecsSinceEpoch() - 40 * 60 * 1000;
    for (int s = 0; s <= 40 * 60; s += 5) {
        if (s > 25 * 60 && s < 27 * 60) continue;
        StatusSample sample;
        sample.timeMs = start + qint64(s) * 1000;
        sample.gsmLevel = 18 + int(std::lround(6 * std::sin(s / 300.0)));
        sample.temperature = 24 + s / 400;
        sample.batteryTenths = 128 - s / 300;
        sample.terminalTenths = s < 600 ? 136 : 126 - s / 400;
        series.add(sample);
    }
    StatusChart chart;
    chart.resize(560, 260);
    chart.showSeries(series);
    chart.show();
    saveScreenshot(&chart, dir, QStringLiteral("status_chart"));
}

void shootEventList(StartUp& startUp, const QString& dir) {
    EventListWindow* list = startUp.eventListWindow();
    list->show();
    list->btLoadEventsClick();
    list->btLoadNamesClick();
    saveScreenshot(list, dir, QStringLiteral("event_list"));
    // The list as a PDF, for scripts/screenshots to turn into page pictures.
    list->reports().setPathChooser(
        [&](ReportFormat, const QString&) { return QDir(dir).filePath(QStringLiteral("event_list.pdf")); });
    list->btSavePdfClick();
    list->hide();
}

// The clock window after the module's clock was set; the radio window with
// a slot learning after a teach and the next poll.
void shootClockAndRadio(StartUp& startUp, const QString& dir) {
    ClockWindow* clock = startUp.clockWindow();
    clock->show();
    clock->btSetTimeClick();
    saveScreenshot(clock, dir, QStringLiteral("clock_window"));
    clock->hide();

    RadioWindow* radio = startUp.radioWindow();
    radio->show();
    radio->teaching().startPolling();
    radio->teaching().teach(16);
    radio->teaching().rfTimerTimer();
    QElapsedTimer waited;
    waited.start();
    while (radio->slotText(16) != QStringLiteral("Tanulás") && waited.elapsed() < 3000)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    radio->teaching().stopPolling();
    saveScreenshot(radio, dir, QStringLiteral("radio_window"));
    radio->hide();
}

// The firmware window after a small file went up. Each line is seeded with
// its own index, so it goes out as it stands in the file.
void shootFirmware(StartUp& startUp, const QString& dir) {
    QTemporaryDir files;
    const QString path = files.filePath(QStringLiteral("demo.GCF"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return;
    for (int i = 0; i < 40; ++i) {
        QByteArray line = QByteArray(":") + QByteArray::number(i, 16).rightJustified(2, '0') +
                          QByteArray::number(0x4000 + 64 * i, 16).rightJustified(4, '0');
        for (int m = 0; m < 64; ++m) line += QByteArray::number((i * 31 + m * 7) & 0xFF, 16).rightJustified(2, '0');
        file.write(line.toUpper() + "\r\n");
    }
    file.close();
    FirmwareWindow* window = startUp.firmwareWindow();
    window->setFileChooser([path] { return path; });
    window->show();
    window->btLoadClick();
    window->btStartClick();
    saveScreenshot(window, dir, QStringLiteral("firmware_window"));
    window->hide();
}

// A site chosen in the site book, a read and a write kept for it, a compare
// that names the fields, the history, the field differences and the event
// history.
void shootSiteBook(StartUp& startUp, const QString& dir) {
    SiteBookWindow* sites = startUp.siteBookWindow();
    TransferWindow* transfer = startUp.transferWindow();
    sites->show();
    click(sites, "btNewSite");
    sites->findChild<QLineEdit*>(QStringLiteral("edName"))->setText(QString::fromUtf8("Kovács ház"));
    sites->findChild<QLineEdit*>(QStringLiteral("edAddress"))->setText(QString::fromUtf8("Szeged, Tisza Lajos krt. 12."));
    sites->findChild<QLineEdit*>(QStringLiteral("edSerialPort"))->setText(QStringLiteral("/dev/ttyUSB0"));
    click(sites, "btSaveSite");
    click(sites, "btChooseSite");
    transfer->btReadClick();
    ParameterValues v = decode(startUp.image());
    v.zones[2].entryDelay = 30;
    v.users[1].name = "Kovács P.";
    v.relayRows[12].triggers[3] = !v.relayRows[12].triggers[3];
    v.users[3].code = "7531";  // changed at the keypad, as far as the image knows
    encode(v, startUp.image());
    transfer->btCompareClick();
    saveScreenshot(transfer, dir, QStringLiteral("transfer_window_compare"));
    transfer->btWriteClick();
    sites->refresh();
    saveScreenshot(sites, dir, QStringLiteral("site_book_history"));
    std::vector<qint64> both;
    for (const auto& h : sites->shownHistory()) both.push_back(h.id);
    sites->selectSnapshots(both);
    click(sites, "btCompareSnapshots");
    saveScreenshot(sites, dir, QStringLiteral("site_book_diff"));
    // The event list loaded for the site goes into its history.
    startUp.eventListWindow()->btLoadEventsClick();
    sites->refresh();
    sites->findChild<QTabWidget*>(QStringLiteral("tabsSite"))->setCurrentWidget(sites->eventHistoryPage());
    saveScreenshot(sites, dir, QStringLiteral("site_book_events"));
    sites->findChild<QTabWidget*>(QStringLiteral("tabsSite"))->setCurrentWidget(sites->fleetPanel());
    saveScreenshot(sites, dir, QStringLiteral("site_book_batch"));
    sites->hide();
}

}  // namespace

void saveScreenshot(QWidget* w, const QString& dir, const QString& name) {
    QApplication::processEvents();
    const QString path = QDir(dir).filePath(name + QStringLiteral(".png"));
    if (!w->grab().save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return;
    }
    std::printf("%s  %dx%d\n", qPrintable(path), w->width(), w->height());
    Largest& l = largest();
    if (w->width() * w->height() > l.size.width() * l.size.height()) l = {w->size(), name};
}

void printLargestScreenshot() {
    const Largest& l = largest();
    std::printf("largest client area: %dx%d (%s)\n", l.size.width(), l.size.height(), qPrintable(l.name));
}

void shootProgramWindows(const QString& dir, ParameterImage& image) {
    QTemporaryDir settings;
    PrintingMessenger messenger;
    StartOptions options;
    options.settingsPath = settings.filePath(QStringLiteral("settings.ini"));
    options.siteBookPath = settings.filePath(QStringLiteral("sitebook.sqlite"));
    options.messenger = &messenger;
    StartUp startUp(std::move(options));
    DemoModule demo(0);
    QString error;
    if (!demo.start(startUp.discovery(), &error)) {
        std::fprintf(stderr, "no simulated module: %s\n", qPrintable(error));
        return;
    }
    startUp.image() = image;
    startUp.unsavedEdits().markKept();

    startUp.splash()->show();
    saveScreenshot(startUp.splash(), dir, QStringLiteral("splash"));
    startUp.createAll();
    startUp.showMainWindow();
    MainWindow* main = startUp.mainWindow();
    saveScreenshot(main, dir, QStringLiteral("main_window"));

    // The chooser with the simulated ports, the first one selected.
    PortChooser* chooser = startUp.portChooser();
    QTimer::singleShot(0, chooser, [&] {
        chooser->selectRow(0);
        saveScreenshot(chooser, dir, QStringLiteral("port_chooser"));
        chooser->accept();
    });
    main->buttonSelectSerialClick();

    main->findChild<QLineEdit*>(QStringLiteral("edPWD"))->setText(QStringLiteral("1234"));
    click(main, "btConnect");
    startUp.trafficLog()->show();
    startUp.link().sendLoggedCommand("AT");

    TransferWindow* transfer = startUp.transferWindow();
    transfer->show();
    saveScreenshot(transfer, dir, QStringLiteral("transfer_window_start"));
    transfer->btReadClick();
    saveScreenshot(transfer, dir, QStringLiteral("transfer_window_read"));
    // The review a write asks first, for a few edits after the read.
    {
        const ParameterImage read = startUp.image();
        ParameterValues v = decode(read);
        const char* names[] = {"Bejárat", "Előszoba", "Nappali", "Konyha", "Garázs", "Pince", "Padlás", "Iroda"};
        for (int z = 0; z < 8; ++z) {
            v.zones[z].name = names[z];
            v.zones[z].entryDelay = 10 + 5 * z;
        }
        v.users[0].code = "9753";
        v.users[1].code = "8642";
        encode(v, startUp.image());
        LongTextDialog review(QString::fromUtf8("Írás a modulba"), transfer->writeQuestion(), true, transfer);
        review.show();
        saveScreenshot(&review, dir, QStringLiteral("transfer_write_review"));
        review.hide();
        startUp.image() = read;
    }
    // The export button is hidden in the window; its handler shows the listing.
    transfer->btExportClick();
    saveScreenshot(startUp.textWindow(), dir, QStringLiteral("text_window"));
    startUp.textWindow()->reports().setPathChooser(
        [&](ReportFormat, const QString&) { return QDir(dir).filePath(QStringLiteral("settings_listing.pdf")); });
    startUp.textWindow()->btSavePdfClick();
    startUp.textWindow()->hide();
    // The settings report, and its PDF.
    transfer->btReportClick();
    SettingsReportWindow* report = startUp.settingsReportWindow();
    saveScreenshot(report, dir, QStringLiteral("settings_report"));
    report->reports().setPathChooser(
        [&](ReportFormat, const QString&) { return QDir(dir).filePath(QStringLiteral("settings_report.pdf")); });
    report->btSavePdfClick();
    report->hide();
    shootSiteBook(startUp, dir);
    saveScreenshot(main, dir, QStringLiteral("main_window_connected"));
    saveScreenshot(startUp.trafficLog(), dir, QStringLiteral("traffic_log"));
    shootClockAndRadio(startUp, dir);
    shootFirmware(startUp, dir);
    shootEventList(startUp, dir);
    shootStatusWindow(startUp, dir);
    shootStatusChart(dir);
    click(main, "btDisconnect");
    transfer->hide();
    startUp.trafficLog()->hide();
    main->hide();
}

}  // namespace corvanta
