#include "ui/main/main_window.h"

#include "link/link_texts.h"

#include <QAction>
#include <QCloseEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QVBoxLayout>

#include "link/messenger.h"
#include "link/modem_call.h"
#include "link/module_link.h"
#include "link/tick_source.h"
#include "ui/main/port_chooser.h"
#include "ui/main/program_version.h"
#include "ui/main/remembered_choices.h"
#include "ui/main/traffic_log_window.h"
#include "ui/main/transfer_window.h"
#include "ui/main/unsaved_edits.h"

namespace corvanta {

namespace {

constexpr int kNominalWidth = 264;
constexpr int kCodeLength = 6;
constexpr int kTcpPasswordLength = 16;
const QColor kMaroon(128, 0, 0);

const char* const kDetailsClosed = ">>";
const char* const kDetailsOpen = "<<";

QLabel* addLabel(QVBoxLayout* layout, QWidget* parent, const char* name, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setWordWrap(true);
    layout->addWidget(label);
    return label;
}

QLineEdit* addEdit(QVBoxLayout* layout, QWidget* parent, const char* name, int maxLength = 0) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    if (maxLength > 0) edit->setMaxLength(maxLength);
    layout->addWidget(edit);
    return edit;
}

// A sunken frame around the controls of one kind of link; tight, so the
// window fits a 800-pixel-high screen with room to spare.
QFrame* group(QVBoxLayout* outer, QWidget* parent, QVBoxLayout*& inner) {
    auto* box = new QFrame(parent);
    box->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    inner = new QVBoxLayout(box);
    inner->setSpacing(3);
    inner->setContentsMargins(6, 5, 6, 5);
    outer->addWidget(box);
    return box;
}

QHBoxLayout* pair(QVBoxLayout* layout, QWidget* a, QWidget* b) {
    auto* row = new QHBoxLayout;
    row->addWidget(a);
    row->addWidget(b);
    layout->addLayout(row);
    return row;
}

}  // namespace

MainWindow::MainWindow(ModuleLink& link, Messenger& messenger, Options options, QWidget* parent)
    : QMainWindow(parent), link_(link), messenger_(messenger), settings_(options.settingsPath) {
    setObjectName("Form1");
    modem_ = options.delayTicks ? std::make_unique<ModemCall>(link_, std::move(options.delayTicks))
                                : std::make_unique<ModemCall>(link_);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setSpacing(4);
    layout->setContentsMargins(6, 6, 6, 4);

    // Every button has an Alt+letter of its own: S L B O Z T V P I R F E A D M K.
    QVBoxLayout* serialBox = nullptr;
    group(layout, central, serialBox);
    buttonSelectSerial_ = addButton("ButtonSelectSerial", QString());
    serialBox->addWidget(buttonSelectSerial_);
    panel1_ = new QLabel(central);
    panel1_->setObjectName("Panel1");
    panel1_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel1_->setAlignment(Qt::AlignCenter);
    panel1_->setWordWrap(true);
    panel1_->setMinimumHeight(panel1_->fontMetrics().height() + 8);
    serialBox->addWidget(panel1_);
    btConnect_ = addButton("btConnect", QStringLiteral("Soros kapcsolat &létrehozása"));
    serialBox->addWidget(btConnect_);
    btDisconnect_ = addButton("btDisconnect", QStringLiteral("Soros kapcsolat &bontása"));
    btDisconnect_->setEnabled(false);
    serialBox->addWidget(btDisconnect_);

    QVBoxLayout* codeBox = nullptr;
    group(layout, central, codeBox);
    addLabel(codeBox, central, "lbGiveMasterCode", QStringLiteral("Telepítői kód megadása"));
    edPWD_ = addEdit(codeBox, central, "edPWD", kCodeLength);

    QVBoxLayout* ipBox = nullptr;
    group(layout, central, ipBox);
    addLabel(ipBox, central, "lbIPaddr", QStringLiteral("IP cím megadása távoli eléréshez"));
    edServer_ = addEdit(ipBox, central, "edServer");
    addLabel(ipBox, central, "lbIPpassword", QStringLiteral("TCP/IP jelszó:"));
    edIPpass_ = addEdit(ipBox, central, "edIPpass", kTcpPasswordLength);
    edIPpass_->setEchoMode(QLineEdit::Password);  // not for whoever looks over the shoulder
    btIPConnect_ = addButton("btIPConnect", QStringLiteral("Kapcs&olódás"));
    btIPDisconnect_ = addButton("btIPDisconnect", QStringLiteral("S&zétkapcsolás"));
    pair(ipBox, btIPConnect_, btIPDisconnect_);

    QVBoxLayout* phoneBox = nullptr;
    group(layout, central, phoneBox);
    addLabel(phoneBox, central, "lbPhoneNrForRemote", QStringLiteral("Telefonszám megadása távoli eléréshez:"));
    edPhoneNr_ = addEdit(phoneBox, central, "edPhoneNr");
    btDial_ = addButton("btDial", QStringLiteral("&Tárcsázás"));
    btATH_ = addButton("btATH", QStringLiteral("&Vonal bontás"));
    pair(phoneBox, btDial_, btATH_);

    // The site reads and writes are kept for in the site book.
    lbSite_ = new QLabel(central);
    lbSite_->setObjectName("lbSite");
    lbSite_->setWordWrap(true);
    QPushButton* btSites = addButton("btSites", QStringLiteral("&Helyszínek"));
    auto* siteRow = new QHBoxLayout;
    siteRow->addWidget(lbSite_, 1);
    siteRow->addWidget(btSites);
    layout->addLayout(siteRow);
    setCurrentSite({});

    QPushButton* btParameterSetting = addButton("btParameterSetting", QStringLiteral("&Paraméterek beállítása"));
    QFont bold = btParameterSetting->font();
    bold.setBold(true);
    btParameterSetting->setFont(bold);
    btParameterSetting->setMinimumHeight(btParameterSetting->sizeHint().height() * 3 / 2);
    layout->addWidget(btParameterSetting);
    QPushButton* btEventlistShort = addButton("btEventlistShort", QStringLiteral("Röv&id eseménylista lekérdezése"));
    layout->addWidget(btEventlistShort);
    btAskVersion_ = addButton("btAskVersion", QStringLiteral("Modul ve&rziójának lekérdezése"));
    layout->addWidget(btAskVersion_);
    QPushButton* btStatus = addButton("btStatus", QStringLiteral("Modul állapotának &figyelése"));
    layout->addWidget(btStatus);
    QPushButton* btClock = addButton("btClock", QStringLiteral("Óra &ellenőrzése / beállítása"));
    layout->addWidget(btClock);
    btSotpAllAlarm_ = addButton("btSotpAllAlarm", QStringLiteral("Ri&asztás leállítása"));
    QPalette maroon = btSotpAllAlarm_->palette();
    maroon.setColor(QPalette::ButtonText, kMaroon);
    btSotpAllAlarm_->setPalette(maroon);
    layout->addWidget(btSotpAllAlarm_);
    QPushButton* btRFlearn = addButton("btRFlearn", QStringLiteral("Rá&diós eszközök tanítása"));
    layout->addWidget(btRFlearn);

    btDetails_ = addButton("btDetails", QStringLiteral(" >>"));
    QPushButton* btFirmware = addButton("btFirmware", QStringLiteral("Fir&mware"));
    btFirmware->setVisible(options.firmware);
    QPushButton* btClose = addButton("btClose", QStringLiteral("&Kilépés"));
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(btDetails_);
    bottom->addWidget(btFirmware);
    bottom->addWidget(btClose, 1);
    layout->addLayout(bottom);

    // Which line carries the traffic and whether the module answered the
    // last login: the status line below is overwritten every 5 s.
    auto* indicator = new QFrame(central);
    indicator->setObjectName("LinkIndicator");
    indicator->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    auto* indicatorRow = new QHBoxLayout(indicator);
    indicatorRow->setContentsMargins(4, 1, 4, 1);
    indicatorRow->setSpacing(4);
    linkDot_ = new QLabel(QStringLiteral("●"), indicator);
    linkDot_->setObjectName("lbLinkDot");
    linkState_ = new QLabel(indicator);
    linkState_->setObjectName("lbLinkState");
    linkState_->setWordWrap(true);
    indicatorRow->addWidget(linkDot_, 0, Qt::AlignTop);
    indicatorRow->addWidget(linkState_, 1);
    layout->addWidget(indicator);
    setCentralWidget(central);

    auto* statusBar1 = new QStatusBar(this);
    statusBar1->setObjectName("StatusBar1");
    statusBar1->setSizeGripEnabled(false);
    statusLabel_ = new QLabel(statusBar1);
    statusLabel_->setObjectName("StatusLine");
    statusBar1->addWidget(statusLabel_, 1);
    statusBar1->installEventFilter(this);
    statusLabel_->installEventFilter(this);
    setStatusBar(statusBar1);

    connect(buttonSelectSerial_, &QPushButton::clicked, this, &MainWindow::buttonSelectSerialClick);
    connect(btConnect_, &QPushButton::clicked, this, &MainWindow::btConnectClick);
    connect(btDisconnect_, &QPushButton::clicked, this, &MainWindow::btDisconnectClick);
    connect(btIPConnect_, &QPushButton::clicked, this, &MainWindow::btIPConnectClick);
    connect(btIPDisconnect_, &QPushButton::clicked, this, &MainWindow::btIPDisconnectClick);
    connect(btDial_, &QPushButton::clicked, this, &MainWindow::btDialClick);
    connect(btATH_, &QPushButton::clicked, this, &MainWindow::btATHClick);
    connect(btParameterSetting, &QPushButton::clicked, this, &MainWindow::btParameterSettingClick);
    connect(btEventlistShort, &QPushButton::clicked, this, &MainWindow::eventListRequested);
    connect(btSites, &QPushButton::clicked, this, &MainWindow::siteBookRequested);
    connect(btAskVersion_, &QPushButton::clicked, this, &MainWindow::btAskVersionClick);
    connect(btStatus, &QPushButton::clicked, this, &MainWindow::statusRequested);
    connect(btClock, &QPushButton::clicked, this, &MainWindow::clockRequested);
    connect(btSotpAllAlarm_, &QPushButton::clicked, this, &MainWindow::btSotpAllAlarmClick);
    connect(btRFlearn, &QPushButton::clicked, this, &MainWindow::radioTeachRequested);
    connect(btDetails_, &QPushButton::clicked, this, &MainWindow::btDetailsClick);
    connect(btFirmware, &QPushButton::clicked, this, &MainWindow::firmwareRequested);
    connect(btClose, &QPushButton::clicked, this, &QWidget::close);
    auto* help = new QAction(this);
    help->setObjectName("actHelp");
    help->setShortcut(QKeySequence(Qt::Key_F1));
    connect(help, &QAction::triggered, this, &MainWindow::showHelp);
    addAction(help);

    connect(edPWD_, &QLineEdit::textChanged, &link_, &ModuleLink::setInstallerCode);
    connect(edIPpass_, &QLineEdit::textChanged, &link_, &ModuleLink::setTcpPassword);
    connect(&link_, &ModuleLink::statusLineChanged, statusLabel_, &QLabel::setText);
    // A line that fails under the program turns the buttons back at once.
    connect(&link_, &ModuleLink::linkStateChanged, this, [this] {
        if (!tcpMode_) setSerialButtons(serial_.isOpen());
    });
    connect(modem_.get(), &ModemCall::dialRunning, btDial_, [this](bool on) { btDial_->setEnabled(!on); });
    connect(modem_.get(), &ModemCall::hangUpRunning, btATH_, [this](bool on) { btATH_->setEnabled(!on); });
    connect(modem_.get(), &ModemCall::callActiveChanged, this, &MainWindow::showLinkState);
    connect(modem_.get(), &ModemCall::modemLineChanged, this, &MainWindow::showLinkState);
    connect(&link_, &ModuleLink::linkStateChanged, this, &MainWindow::showLinkState);
    connect(&link_, &ModuleLink::lastLoginChanged, this, &MainWindow::showLinkState);

    link_.setTransport(&serial_);
    link_.setInstallerCode(edPWD_->text());
    link_.setTcpPassword(edIPpass_->text());
    link_.flags().radioTeachRefused = false;
    // A missing or unreadable file is no error here: the defaults stand.
    settings_.load();
    serial_.setPortName(settings_.portName());
    edPhoneNr_->setText(settings_.phoneNumber());
    showLinkState();

    central->setMinimumWidth(kNominalWidth);
    setFixedSize(sizeHint());
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

MainWindow::~MainWindow() {
    link_.setTransport(nullptr);
    settings_.setPortName(serial_.portName());
    settings_.setPhoneNumber(edPhoneNr_->text());
    QString error;
    if (!settings_.save(&error)) messenger_.showMessage(error);
}

QPushButton* MainWindow::addButton(const char* name, const QString& caption) {
    auto* button = new QPushButton(caption, centralWidget() ? centralWidget() : this);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

void MainWindow::setTrafficLog(TrafficLogWindow* log) {
    trafficLog_ = log;
    connect(&link_, &ModuleLink::trafficLogged, log, &TrafficLogWindow::logTraffic);
    connect(log, &TrafficLogWindow::atRequested, this, [this] { link_.sendLoggedCommand("AT"); });
    connect(log, &TrafficLogWindow::closedByButton, this,
            [this] { btDetails_->setText(QString::fromLatin1(kDetailsClosed)); });
}

void MainWindow::applyStartCaptions() {
    buttonSelectSerial_->setText(QStringLiteral("&Soros port kiválasztása"));
    setWindowTitle(mainWindowCaption());
}

QString MainWindow::statusText() const { return statusLabel_->text(); }
QString MainWindow::linkStateText() const { return linkState_->text(); }

void MainWindow::showLinkState() {
    QString line = QStringLiteral("Nincs kapcsolat");
    if (link_.tcpActive())
        line = QStringLiteral("TCP/IP: ") + tcpHost_;
    else if (serial_.isOpen())
        line = (modem_->callActive()  ? QStringLiteral("Modem: ")
                : modem_->modemLine() ? QString::fromUtf8("Modem, nincs hívás: ")
                                      : QStringLiteral("Soros: ")) +
               serial_.portName();
    QColor dot(128, 128, 128);
    if (link_.linkConnected()) {
        switch (link_.lastLogin()) {
        case ModuleLink::LoginAnswer::None: break;
        case ModuleLink::LoginAnswer::Accepted:
            line += QStringLiteral(" – válaszol");
            dot = QColor(0, 128, 0);
            break;
        case ModuleLink::LoginAnswer::Refused:
            line += QStringLiteral(" – hibás kód");
            dot = QColor(255, 0, 0);
            break;
        case ModuleLink::LoginAnswer::Silent:
            // Where the line is the likelier cause, it says which.
            if (link_.tcpActive() && !link_.tcp().answeredSinceConnect())
                line += QString::fromUtf8(" – nincs megfejthető válasz: hibás jelszó?");
            else if (!link_.tcpActive() && modem_->modemLine() && !modem_->callActive())
                line += QString::fromUtf8(" – előbb tárcsázzon");
            else
                line += QStringLiteral(" – nem válaszol");
            dot = QColor(200, 120, 0);
            break;
        }
    }
    linkState_->setText(line);
    QPalette p = linkDot_->palette();
    p.setColor(QPalette::WindowText, dot);
    linkDot_->setPalette(p);
}
QString MainWindow::chosenPortTitle() const { return panel1_->text(); }

void MainWindow::setSerialButtons(bool open) {
    btConnect_->setEnabled(!open);
    btDisconnect_->setEnabled(open);
}

void MainWindow::buttonSelectSerialClick() {
    if (!chooser_) return;
    chooser_->setCurrentTitle(panel1_->text());
    if (chooser_->exec() != QDialog::Accepted) return;
    // An entry without a number leaves the former choice in force.
    if (chooser_->selectedDevice().isEmpty()) return;
    panel1_->setText(chooser_->selectedPortTitle());
    if (choices_) choices_->setPort(chooser_->selectedDevice(), chooser_->selectedPortTitle());
    QString error;
    const bool reopened = serial_.setPortName(chooser_->selectedDevice(), &error);
    // Whatever the old line answered, and whether it held a call, says
    // nothing of the new one.
    modem_->lineReplaced();
    link_.lineReplaced();
    showLinkState();
    if (!reopened) {
        // The open line was closed for the change and the new one would not open.
        setSerialButtons(false);
        link_.setStatusLine(QString::fromUtf8(" Hiba: A COM port nem elérhető!"));
        messenger_.showMessage(error, QString::fromUtf8(texts::kErrorCaption));
    }
}

void MainWindow::btConnectClick() {
    // A port named by the settings file is not enough: it is chosen anew each run.
    if (panel1_->text().isEmpty()) {
        messenger_.showMessage(QString::fromUtf8(texts::kChoosePort), QString::fromUtf8(texts::kErrorCaption));
        return;
    }
    const bool open = link_.serialConnect();
    setSerialButtons(open);
    if (open && choices_) choices_->setLineKind(RememberedChoices::LineKind::Serial);
}

void MainWindow::btDisconnectClick() {
    link_.serialDisconnect();
    setSerialButtons(false);
}

void MainWindow::setLinkButtonsEnabled(bool on) {
    btConnect_->setEnabled(on && !serial_.isOpen());
    btDisconnect_->setEnabled(on && serial_.isOpen());
    btDial_->setEnabled(on);
    btATH_->setEnabled(on);
}

void MainWindow::btIPConnectClick() {
    if (!link_.tcp().connectTo(edServer_->text())) return;
    tcpHost_ = edServer_->text();
    tcpMode_ = true;
    if (choices_) {
        choices_->setTcpHost(tcpHost_);
        choices_->setLineKind(RememberedChoices::LineKind::Tcp);
    }
    setLinkButtonsEnabled(false);
}

void MainWindow::btIPDisconnectClick() {
    tcpMode_ = false;
    link_.tcp().disconnectByUser();
    // The serial buttons come back as the port stands, not both at once.
    setLinkButtonsEnabled(true);
}

void MainWindow::btDialClick() {
    if (choices_) choices_->setLineKind(RememberedChoices::LineKind::Modem);
    modem_->dial(edPhoneNr_->text());
}

void MainWindow::setRememberedChoices(RememberedChoices* choices) {
    choices_ = choices;
    if (!choices_) return;
    if (edServer_->text().isEmpty()) edServer_->setText(choices_->tcpHost());
    // The keyboard starts where the installer went last time.
    switch (choices_->lineKind()) {
    case RememberedChoices::LineKind::Serial: btConnect_->setFocus(); break;
    case RememberedChoices::LineKind::Modem: btDial_->setFocus(); break;
    case RememberedChoices::LineKind::Tcp: btIPConnect_->setFocus(); break;
    case RememberedChoices::LineKind::None: break;
    }
}

void MainWindow::restorePort(const QString& device, const QString& title) {
    QString error;
    if (!serial_.setPortName(device, &error)) return;
    panel1_->setText(title);
}

QString MainWindow::helpText() {
    return QString::fromUtf8(
        "A főablakban kell kiválasztani, hogyan éri el a program a modult: soros porton (a „Soros port "
        "kiválasztása” után „Soros kapcsolat létrehozása”), modemmel (a soros kapcsolat után „Tárcsázás”), "
        "vagy TCP/IP-n (IP cím, jelszó, „Kapcsolódás”). A telepítői kódot minden művelet előtt meg kell adni.\n\n"
        "A program megjegyzi a legutóbbi portot, a vonal fajtáját, a TCP/IP címet és a helyszínt, és a "
        "következő indításkor visszaadja őket.\n\n"
        "Paraméterek beállítása: beolvasás, szerkesztés és írás (ott F1: a billentyűk).\n"
        "F1  ez a súgó");
}

void MainWindow::showHelp() { messenger_.showMessage(helpText(), QString::fromUtf8("Súgó – GSM-Corvanta")); }

void MainWindow::btATHClick() { modem_->hangUp(); }

void MainWindow::setCurrentSite(const sitebook::Site& site) {
    lbSite_->setText(QString::fromUtf8("Helyszín: ") +
                     (site.name.isEmpty() ? QString::fromUtf8("nincs kiválasztva") : site.name));
    if (!site.modemNumber.isEmpty()) edPhoneNr_->setText(site.modemNumber);
    if (!site.tcpHost.isEmpty()) edServer_->setText(site.tcpHost);
}

QString MainWindow::currentSiteText() const { return lbSite_->text(); }

void MainWindow::btParameterSettingClick() {
    if (!transfer_) return;
    transfer_->show();
    transfer_->raise();
    transfer_->activateWindow();
}

void MainWindow::btAskVersionClick() {
    btAskVersion_->setEnabled(false);
    link_.askVersion();
    btAskVersion_->setEnabled(true);
}

void MainWindow::btSotpAllAlarmClick() {
    link_.alarmStop([this](bool running) { btSotpAllAlarm_->setEnabled(!running); });
    btSotpAllAlarm_->setEnabled(true);
}

void MainWindow::btDetailsClick() {
    if (!trafficLog_) return;
    if (trafficLog_->isVisible()) {
        btDetails_->setText(QString::fromLatin1(kDetailsClosed));
        trafficLog_->hide();
    } else {
        btDetails_->setText(QString::fromLatin1(kDetailsOpen));
        trafficLog_->show();
    }
}

void MainWindow::statusBar1Click() { link_.setStatusLine(windowTitle()); }

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == statusBar() || watched == statusLabel_) && event->type() == QEvent::MouseButtonPress) {
        statusBar1Click();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (unsaved_ && !unsaved_->confirmLoss(&messenger_)) {
        event->ignore();
        return;
    }
    // A dial in progress stops waiting; the program ends.
    modem_->cancelWaits();
    QMainWindow::closeEvent(event);
    emit closing();
}

}  // namespace corvanta
