#pragma once
// The main window (Form1): a narrow fixed window whose buttons start
// everything else. It holds the serial line, the modem call and the settings
// file; the link logic is ModuleLink's.

#include <QMainWindow>
#include <QPointer>

#include <memory>

#include "link/settings_file.h"
#include "link/serial_transport.h"
#include "sitebook/site_records.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace corvanta {

class Messenger;
class ModemCall;
class ModuleLink;
class PortChooser;
class RememberedChoices;
class TickSource;
class TrafficLogWindow;
class TransferWindow;
class UnsavedEdits;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    struct Options {
        bool firmware = false;  // offer the firmware button
        QString settingsPath = SettingsFile::defaultPath();
        // Ticks of DelayTimer; null: a 100 ms timer.
        std::unique_ptr<TickSource> delayTicks;
    };

    MainWindow(ModuleLink& link, Messenger& messenger, Options options, QWidget* parent = nullptr);
    // Saves the port name and the phone number.
    ~MainWindow() override;

    // The windows made after this one (start-up order).
    void setPortChooser(PortChooser* chooser) { chooser_ = chooser; }
    void setTrafficLog(TrafficLogWindow* log);
    void setTransferWindow(TransferWindow* window) { transfer_ = window; }
    // Kilépés asks before edits kept nowhere else are lost.
    void setUnsavedEdits(UnsavedEdits* edits) { unsaved_ = edits; }
    // Keeps the port, the line kind and the TCP/IP address chosen for the
    // next run; brings back those of the last one.
    void setRememberedChoices(RememberedChoices* choices);
    // The port last chosen, found again at start: shown as chosen.
    void restorePort(const QString& device, const QString& title);
    static QString helpText();

    // Captions that are set once every window exists.
    void applyStartCaptions();

    ModemCall& modem() { return *modem_; }
    SerialTransport& serialLine() { return serial_; }
    QString statusText() const;
    // The small link indicator: the line in use and the last login's answer.
    QString linkStateText() const;
    QString chosenPortTitle() const;
    // The site reads and writes are kept for (no name: none); its modem
    // number and TCP/IP address, where it has them, fill the link fields.
    void setCurrentSite(const sitebook::Site& site);
    QString currentSiteText() const;

signals:
    // The window was closed: the program ends.
    void closing();
    // Windows that come later; their buttons only ask for them.
    void eventListRequested();
    void statusRequested();
    void clockRequested();
    void radioTeachRequested();
    void firmwareRequested();
    void siteBookRequested();

public slots:
    void buttonSelectSerialClick();
    void btConnectClick();
    void btDisconnectClick();
    void btIPConnectClick();
    void btIPDisconnectClick();
    void btDialClick();
    void btATHClick();
    void btParameterSettingClick();
    void btAskVersionClick();
    void btSotpAllAlarmClick();
    void btDetailsClick();
    void statusBar1Click();
    void showHelp();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPushButton* addButton(const char* name, const QString& caption);
    void setSerialButtons(bool open);
    void setLinkButtonsEnabled(bool on);
    void showLinkState();

    ModuleLink& link_;
    Messenger& messenger_;
    SerialTransport serial_;
    SettingsFile settings_;
    std::unique_ptr<ModemCall> modem_;
    QPointer<PortChooser> chooser_;
    QPointer<TrafficLogWindow> trafficLog_;
    QPointer<TransferWindow> transfer_;
    UnsavedEdits* unsaved_ = nullptr;
    RememberedChoices* choices_ = nullptr;
    // From a TCP/IP connect until its disconnect button: the serial and
    // modem buttons stay greyed whatever the serial line does.
    bool tcpMode_ = false;

    QPushButton* buttonSelectSerial_;
    QLabel* panel1_;
    QPushButton* btConnect_;
    QPushButton* btDisconnect_;
    QLineEdit* edPWD_;
    QLineEdit* edServer_;
    QLineEdit* edIPpass_;
    QPushButton* btIPConnect_;
    QPushButton* btIPDisconnect_;
    QLineEdit* edPhoneNr_;
    QPushButton* btDial_;
    QPushButton* btATH_;
    QPushButton* btSotpAllAlarm_;
    QPushButton* btAskVersion_;
    QPushButton* btDetails_;
    QLabel* statusLabel_;
    QLabel* linkDot_;
    QLabel* linkState_;
    QString tcpHost_;
    QLabel* lbSite_;
};

}  // namespace corvanta
