#include "ui/main/start_up.h"

#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>

#include "link/tick_source.h"
#include "transfer/settings_listing.h"
#include "ui/service/event_list_window.h"
#include "ui/main/firmware_window.h"
#include "ui/service/clock_window.h"
#include "ui/main/main_window.h"
#include "ui/editor/parameter_editor.h"
#include "ui/main/port_chooser.h"
#include "ui/main/program_version.h"
#include "ui/service/radio_window.h"
#include "ui/editor/settings_export.h"
#include "ui/main/settings_report_window.h"
#include "ui/main/splash_window.h"
#include "ui/service/status_window.h"
#include "ui/main/text_window.h"
#include "ui/main/traffic_log_window.h"
#include "ui/main/transfer_window.h"
#include "ui/reports/report_header.h"
#include "ui/sitebook/site_book_window.h"

namespace corvanta {

namespace {

QStringList codesHiddenListing(const ParameterImage& image) {
    QStringList lines;
    for (const listing::Line& line : listing::settingsListingCodesHidden(image)) lines << QString::fromStdU32String(line);
    return lines;
}

}  // namespace

StartUp::StartUp(StartOptions options, QObject* parent) : QObject(parent) {
    recorder_ = sitebook::SiteRecorder(options.siteBookPath);
    choices_ = std::make_unique<RememberedChoices>(
        options.choicesPath.isEmpty() ? RememberedChoices::pathBeside(options.settingsPath) : options.choicesPath);
    choices_->load();
    // The name, not the display name: that one would be appended to every
    // window title by some window systems.
    QCoreApplication::setApplicationName(QString::fromLatin1(kApplicationTitle));
    // Ties the windows to the installed menu entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(CORVANTA_APP_ID));
    QIcon icon;
    icon.addFile(QStringLiteral(":/corvanta/icon-48.png"));
    icon.addFile(QStringLiteral(":/corvanta/icon-256.png"));
    QApplication::setWindowIcon(icon);
    // Without the file the buttons stay in English; nothing else depends on it.
    if (qtTexts_.load(QLocale(QLocale::Hungarian), QStringLiteral("qtbase"), QStringLiteral("_"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtTexts_);

    demoFirmwareKey_ = options.demoFirmwareKey;
    link_ = options.transferTicks && options.codeTicks
                ? std::make_unique<ModuleLink>(std::move(options.transferTicks), std::move(options.codeTicks))
                : std::make_unique<ModuleLink>();
    messenger_ = options.messenger ? options.messenger : &dialogs_;
    link_->setMessenger(messenger_);

    splash_ = std::make_unique<SplashWindow>();
    // Before the main window: radio frames have somewhere to go from the first line on.
    radio_ = std::make_unique<RadioWindow>(*link_, std::move(options.rfTicks));
    statusTicks_ = std::move(options.statusTicks);
    MainWindow::Options mainOptions;
    mainOptions.firmware = options.firmware;
    mainOptions.settingsPath = options.settingsPath;
    mainOptions.delayTicks = std::move(options.delayTicks);
    mainWindow_ = std::make_unique<MainWindow>(*link_, *messenger_, std::move(mainOptions));
    dialogs_ = DialogMessenger(mainWindow_.get());
    chooser_ = std::make_unique<PortChooser>(discovery_, mainWindow_.get());
    mainWindow_->setPortChooser(chooser_.get());
    // The radio poll stands in for the periodic login, and for the status
    // poll, while the window is open.
    connect(mainWindow_.get(), &MainWindow::radioTeachRequested, radio_.get(), [this] {
        if (status_) status_->monitor().setPolling(false);
        radio_->openModal();
    });
    textWindow_ = std::make_unique<TextWindow>();
    textWindow_->reports().setMessenger(messenger_);

    connect(splash_.get(), &SplashWindow::createAllRequested, this, &StartUp::createAll);
    connect(splash_.get(), &SplashWindow::welcomeFinished, this, &StartUp::showMainWindow);
    // Closing the main window ends the program, whatever else is open.
    connect(mainWindow_.get(), &MainWindow::closing, this, [this] {
        splash_->close();
        QCoreApplication::quit();
    });
}

StartUp::~StartUp() { setReportSiteSource({}); }

void StartUp::start() { splash_->show(); }

void StartUp::createAll() {
    if (allWindowsCreated()) return;
    editor_ = std::make_unique<ParameterEditor>();
    editor_->setMessenger(messenger_);
    // The editor shows itself before it runs its own loop, and a window that
    // is already up does not become modal: set here, the main and transfer
    // windows stay out of reach while it is open.
    editor_->setWindowModality(Qt::ApplicationModal);
    trafficLog_ = std::make_unique<TrafficLogWindow>();
    trafficLog_->reports().setMessenger(messenger_);
    transfer_ = std::make_unique<TransferWindow>(*link_, image_);
    transfer_->setExporter([this](const ParameterImage& image) {
        textWindow_->showListing(exportEditorSettings(*editor_, image), codesHiddenListing(image));
    });
    // The listing stays up to read or save when the print is cancelled.
    transfer_->setPrinter([this](const ParameterImage& image) {
        textWindow_->showListing(exportEditorSettings(*editor_, image), codesHiddenListing(image));
        textWindow_->btPrintClick();
    });
    transfer_->setEditorOpener([this](ParameterImage& image) {
        editor_->setOrigin(transfer_->imageOrigin(), transfer_->imageOriginText());
        editor_->openForEditing(image);
    });
    transfer_->setRememberedChoices(choices_.get());
    // A write the module was not read for in this run is held against the
    // chosen site's latest snapshot.
    transfer_->setSnapshotSource([this]() -> std::optional<TransferWindow::KnownImage> {
        const sitebook::Site& site = recorder_.site();
        if (site.name.trimmed().isEmpty()) return std::nullopt;
        sitebook::SiteBook book;
        if (!book.open(recorder_.bookPath())) return std::nullopt;
        const auto found = book.findSite(site.name);
        const auto latest = found ? book.latestSnapshot(found->id) : std::nullopt;
        if (!latest) return std::nullopt;
        return TransferWindow::KnownImage{
            latest->image, QString::fromUtf8("a(z) „%1” helyszín legutóbbi pillanatképéhez (%2., %3) képest")
                               .arg(site.name)
                               .arg(latest->info.id)
                               .arg(latest->info.takenAt.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")))};
    });
    settingsReport_ = std::make_unique<SettingsReportWindow>();
    settingsReport_->reports().setMessenger(messenger_);
    transfer_->setReporter([this](const ParameterImage& image) { settingsReport_->showReport(image); });
    transfer_->setUnsavedEdits(&unsaved_);
    mainWindow_->setUnsavedEdits(&unsaved_);
    eventList_ = std::make_unique<EventListWindow>(*link_, moduleNames_);

    mainWindow_->setTrafficLog(trafficLog_.get());
    mainWindow_->setTransferWindow(transfer_.get());
    connect(mainWindow_.get(), &MainWindow::eventListRequested, eventList_.get(), [this] {
        eventList_->show();
        eventList_->raise();
        eventList_->activateWindow();
    });
    firmware_ = std::make_unique<FirmwareWindow>(*link_);
    firmware_->upload().useDemoKey(demoFirmwareKey_);
    // Not modal: the main window stays usable while an upload runs.
    connect(mainWindow_.get(), &MainWindow::firmwareRequested, firmware_.get(), [this] {
        firmware_->show();
        firmware_->raise();
        firmware_->activateWindow();
    });
    status_ = std::make_unique<StatusWindow>(*link_, moduleNames_, std::move(statusTicks_));
    // Modal; its poll stands in for the periodic login while it is open.
    connect(mainWindow_.get(), &MainWindow::statusRequested, status_.get(), [this] { status_->openModal(); });
    clock_ = std::make_unique<ClockWindow>(*link_);
    // The periodic login runs on while the clock window is open; each of its
    // exchanges holds it off.
    connect(mainWindow_.get(), &MainWindow::clockRequested, clock_.get(), [this] { clock_->exec(); });
    siteBook_ = std::make_unique<SiteBookWindow>(image_, *messenger_, recorder_.bookPath());
    siteBook_->setModuleLink(link_.get());
    transfer_->setRecorder(&recorder_);
    // A snapshot replaces the image as a read or an opened file would.
    siteBook_->setImageGuard([this] { return unsaved_.confirmLoss(messenger_); });
    connect(siteBook_.get(), &SiteBookWindow::imageReplaced, this, [this] {
        unsaved_.markKept();
        transfer_->forgetCompare();
        transfer_->noteImageReplaced(QString::fromUtf8("a helyszínkönyv pillanatképe"));
    });
    connect(siteBook_.get(), &SiteBookWindow::currentSiteChosen, this, [this](const sitebook::Site& site) {
        recorder_.setSite(site);
        mainWindow_->setCurrentSite(site);
        choices_->setSiteName(site.name);
    });
    connect(mainWindow_.get(), &MainWindow::siteBookRequested, siteBook_.get(), [this] {
        siteBook_->show();
        siteBook_->raise();
        siteBook_->activateWindow();
    });
    // What a read or write stored shows up at once in an open site book.
    connect(transfer_.get(), &TransferWindow::recorded, siteBook_.get(), [this] {
        if (siteBook_->isVisible()) siteBook_->refresh();
    });
    // Each event list loaded for the chosen site goes into its history.
    eventList_->setEventRecorder([this](const std::vector<DatedEvent>& events) {
        const QString line = recorder_.recordEvents(events);
        if (siteBook_->isVisible()) siteBook_->refresh();
        return line;
    });
    setReportSiteSource([this] { return recorder_.site().name; });
    mainWindow_->applyStartCaptions();
    restoreChoices();
}

void StartUp::restoreChoices() {
    mainWindow_->setRememberedChoices(choices_.get());
    // The last port, when it is there now: the chooser lists it and the
    // main window shows it chosen.
    if (!choices_->portDevice().isEmpty()) {
        const QString title = chooser_->rememberPort(choices_->portDevice());
        if (!title.isEmpty()) mainWindow_->restorePort(choices_->portDevice(), title);
    }
    const QString name = choices_->siteName();
    if (name.trimmed().isEmpty()) return;
    // A book that is not there has no sites; asking would create it.
    const QString path = recorder_.bookPath();
    if (!sitebook::SiteBook::isServerUrl(path) && !QFileInfo::exists(path)) return;
    sitebook::SiteBook book;
    if (!book.open(path)) return;
    if (const auto site = book.findSite(name)) {
        recorder_.setSite(*site);
        mainWindow_->setCurrentSite(*site);
    }
}

void StartUp::showMainWindow() {
    createAll();  // never a main window whose buttons lead nowhere
    splash_->hide();
    mainWindow_->show();
    emit mainWindowShown();
}

}  // namespace corvanta
