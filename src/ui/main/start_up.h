#pragma once
// Start-up and window creation: the splash first, then the windows in their
// fixed order while it shows, the captions that depend on them, and the main
// window last. Owns what lives for the whole run: the link, the parameter
// image, the port list and every window.

#include <QObject>
#include <QPointer>
#include <QTranslator>

#include <memory>

#include "link/module_link.h"
#include "link/port_discovery.h"
#include "link/settings_file.h"
#include "params/parameter_image.h"
#include "service/module_names_load.h"
#include "sitebook/site_recorder.h"
#include "ui/main/remembered_choices.h"
#include "ui/main/unsaved_edits.h"
#include "ui/widgets/dialog_messenger.h"

namespace corvanta {

class ClockWindow;
class EventListWindow;
class MainWindow;
class FirmwareWindow;
class ParameterEditor;
class PortChooser;
class RadioWindow;
class SettingsReportWindow;
class SiteBookWindow;
class SplashWindow;
class StatusWindow;
class TextWindow;
class TickSource;
class TrafficLogWindow;
class TransferWindow;

struct StartOptions {
    bool firmware = false;  // show the firmware button
    // Firmware files are prepared with the simulated module's key (the demo)
    // instead of the installed one.
    bool demoFirmwareKey = false;
    QString settingsPath = SettingsFile::defaultPath();
    // The program's own file of remembered choices; empty: "corvanta/
    // choices.ini" beside the settings file.
    QString choicesPath;
    // The site book reads and writes are kept in.
    QString siteBookPath = sitebook::SiteBook::defaultPath();
    // Null: message boxes over the main window.
    Messenger* messenger = nullptr;
    // Null: 100 ms timers for the transfer and delay counts, 5 s for the
    // periodic login.
    std::unique_ptr<TickSource> transferTicks;
    std::unique_ptr<TickSource> codeTicks;
    std::unique_ptr<TickSource> delayTicks;
    // RFTimer of the radio teaching window; null: 500 ms.
    std::unique_ptr<TickSource> rfTicks;
    // StatusTimer of the status monitor; null: 500 ms.
    std::unique_ptr<TickSource> statusTicks;
};

class StartUp : public QObject {
    Q_OBJECT
public:
    explicit StartUp(StartOptions options, QObject* parent = nullptr);
    ~StartUp() override;

    // Shows the splash; the rest follows from its timers.
    void start();

    ModuleLink& link() { return *link_; }
    ParameterImage& image() { return image_; }
    // Whatever replaces the image or ends the program asks this first.
    UnsavedEdits& unsavedEdits() { return unsaved_; }
    PortDiscovery& discovery() { return discovery_; }
    Messenger& messenger() { return *messenger_; }

    SplashWindow* splash() const { return splash_.get(); }
    RadioWindow* radioWindow() const { return radio_.get(); }
    MainWindow* mainWindow() const { return mainWindow_.get(); }
    PortChooser* portChooser() const { return chooser_.get(); }
    TextWindow* textWindow() const { return textWindow_.get(); }
    ParameterEditor* editor() const { return editor_.get(); }
    TrafficLogWindow* trafficLog() const { return trafficLog_.get(); }
    TransferWindow* transferWindow() const { return transfer_.get(); }
    FirmwareWindow* firmwareWindow() const { return firmware_.get(); }
    EventListWindow* eventListWindow() const { return eventList_.get(); }
    StatusWindow* statusWindow() const { return status_.get(); }
    ClockWindow* clockWindow() const { return clock_.get(); }
    SiteBookWindow* siteBookWindow() const { return siteBook_.get(); }
    SettingsReportWindow* settingsReportWindow() const { return settingsReport_.get(); }
    // Keeps the reads and writes for the site chosen in the site book.
    sitebook::SiteRecorder& siteRecorder() { return recorder_; }
    // The user and zone names read from the module, shared by the event
    // list and the status monitor.
    ModuleNamesStore& moduleNames() { return moduleNames_; }
    // The recent files and the last port, line, address and site.
    RememberedChoices& rememberedChoices() { return *choices_; }
    bool allWindowsCreated() const { return transfer_ != nullptr; }

signals:
    void mainWindowShown();

public slots:
    // The splash timer steps, public so a test can take them one by one.
    void createAll();
    void showMainWindow();

private:
    // Brings back the last run's port, address, line kind and site.
    void restoreChoices();

    bool demoFirmwareKey_ = false;
    std::unique_ptr<RememberedChoices> choices_;
    // Qt's own Hungarian texts ("Igen", "Nem", the file dialogs), so the
    // dialogs speak the program's language.
    QTranslator qtTexts_;
    ParameterImage image_{};
    UnsavedEdits unsaved_{image_};
    sitebook::SiteRecorder recorder_;
    PortDiscovery discovery_;
    std::unique_ptr<ModuleLink> link_;
    ModuleNamesStore moduleNames_;
    std::unique_ptr<TickSource> statusTicks_;  // until the status window takes it
    DialogMessenger dialogs_;
    Messenger* messenger_;
    // Declared in creation order; destroyed the other way round, so the
    // main window (which saves the settings) goes before the link.
    std::unique_ptr<SplashWindow> splash_;
    std::unique_ptr<RadioWindow> radio_;
    std::unique_ptr<MainWindow> mainWindow_;
    std::unique_ptr<PortChooser> chooser_;
    std::unique_ptr<TextWindow> textWindow_;
    std::unique_ptr<ParameterEditor> editor_;
    std::unique_ptr<TrafficLogWindow> trafficLog_;
    std::unique_ptr<TransferWindow> transfer_;
    std::unique_ptr<SettingsReportWindow> settingsReport_;
    std::unique_ptr<FirmwareWindow> firmware_;
    std::unique_ptr<EventListWindow> eventList_;
    std::unique_ptr<StatusWindow> status_;
    std::unique_ptr<ClockWindow> clock_;
    std::unique_ptr<SiteBookWindow> siteBook_;
};

}  // namespace corvanta
