#include "ui/service/status_window.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QDateTime>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QTableWidget>
#include <QTextCursor>
#include <QVBoxLayout>

#include <algorithm>

#include "link/module_link.h"
#include "params/event_names.h"
#include "params/win1250.h"
#include "sheets/status_sheets.h"
#include "service/event_frame.h"
#include "ui/service/status_chart.h"

namespace corvanta {

namespace {

constexpr int kGsmMax = 31;
constexpr int kInputColumns = 6;
// The message box never shrinks below a few lines of a message.
constexpr int kMessagesMinWidth = 300;
constexpr int kMessagesMinHeight = 120;
constexpr int kChartMinWidth = 400;
constexpr int kChartMinHeight = 200;

const char* const kAccuHint =
    "Utoljára mért valós akku-feszültség   /   Pillanatnyi feszültség a kapcsokon (töltés esetén a "
    "töltőfeszültség)";

QColor colourOf(Shade shade) {
    switch (shade) {
    case Shade::Red: return QColor(255, 0, 0);
    case Shade::Green: return QColor(0, 128, 0);
    case Shade::Grey: return QColor(128, 128, 128);
    case Shade::Black:
    case Shade::Keep: break;
    }
    return QColor(0, 0, 0);
}

QString volts(int tenths, int decimals) {
    return QLocale().toString(tenths / 10.0, 'f', decimals) + QStringLiteral("V");
}

// A header panel over its value labels.
QVBoxLayout* cell(QLabel* header, std::initializer_list<QLabel*> values) {
    auto* box = new QVBoxLayout;
    box->setSpacing(2);
    box->addWidget(header);
    for (QLabel* v : values) box->addWidget(v);
    box->addStretch();
    return box;
}

QString widestEventName() {
    QString widest;
    for (int k = 1; k <= kEventNameCount; ++k) {
        const QString name = QString::fromUtf8(std::string(eventName(k)).c_str());
        if (QFontMetrics(QFont()).horizontalAdvance(name) > QFontMetrics(QFont()).horizontalAdvance(widest))
            widest = name;
    }
    return widest;
}

}  // namespace

StatusWindow::StatusWindow(ModuleLink& link, ModuleNamesStore& names, std::unique_ptr<TickSource> statusTicks,
                           QWidget* parent)
    : QDialog(parent),
      link_(link),
      names_(names),
      monitor_(link, names, std::move(statusTicks)),
      reports_(this, QStringLiteral("Állapotfigyelés"), QStringLiteral("allapot")) {
    setObjectName("FormStatus");
    setWindowTitle(QStringLiteral("GSM-Corvanta állapotfigyelés"));

    // --- inputs ---------------------------------------------------------------
    auto* groupBoxInputs = new QGroupBox(QStringLiteral(" Bemenetek "), this);
    groupBoxInputs->setObjectName("GroupBoxInputs");
    auto* inputGrid = new QGridLayout(groupBoxInputs);
    for (int n = 1; n <= 12; ++n) {
        inputPanels_[n - 1] = addPanel(QStringLiteral("PanelIN%1").arg(n), QStringLiteral("IN%1").arg(n));
        zoneStates_[n - 1] = addValue(QStringLiteral("lbINS%1").arg(n));
        zoneLoops_[n - 1] = addValue(QStringLiteral("lbINE%1").arg(n));
        inputGrid->addLayout(cell(inputPanels_[n - 1], {zoneStates_[n - 1], zoneLoops_[n - 1]}),
                             (n - 1) / kInputColumns, (n - 1) % kInputColumns);
    }
    inputLoopsAB_ = {addValue("lbINEA"), addValue("lbINEB")};
    partitions_ = {addValue("lbPart1"), addValue("lbPart2")};
    QLabel* panelAccu = addPanel("PanelAccu", QStringLiteral("Akkumulátor"));
    lbAkku_ = addValue("lbAkku");
    panelAccu->setToolTip(QString::fromUtf8(kAccuHint));
    lbAkku_->setToolTip(QString::fromUtf8(kAccuHint));
    lbAC_ = addValue("lbAC");
    const int extrasRow = 12 / kInputColumns;
    inputGrid->addLayout(cell(addPanel("PanelInputA", QStringLiteral("'A' bemenet")), {inputLoopsAB_[0]}), extrasRow, 0);
    inputGrid->addLayout(cell(addPanel("PanelInputB", QStringLiteral("'B' bemenet")), {inputLoopsAB_[1]}), extrasRow, 1);
    inputGrid->addLayout(cell(addPanel("PanelPart1State", QStringLiteral("1. Partíció állapota")), {partitions_[0]}),
                         extrasRow, 2);
    inputGrid->addLayout(cell(addPanel("PanelPart2State", QStringLiteral("2. Partíció állapota")), {partitions_[1]}),
                         extrasRow, 3);
    inputGrid->addLayout(cell(panelAccu, {lbAkku_}), extrasRow, 4);
    inputGrid->addLayout(cell(addPanel("Panel28", QStringLiteral("AC")), {lbAC_}), extrasRow, 5);
    for (int c = 0; c < kInputColumns; ++c) inputGrid->setColumnStretch(c, 1);

    // --- outputs --------------------------------------------------------------
    auto* groupBoxOutputs = new QGroupBox(QStringLiteral(" Kimenetek "), this);
    groupBoxOutputs->setObjectName("GroupBoxOutputs");
    auto* outputRow = new QHBoxLayout(groupBoxOutputs);
    for (int r = 1; r <= 3; ++r) {
        relays_[r - 1] = addValue(QStringLiteral("lbREL%1").arg(r));
        outputRow->addLayout(
            cell(addPanel(QStringLiteral("PanelREL%1").arg(r), QStringLiteral("RELE %1").arg(r)), {relays_[r - 1]}), 1);
    }
    outputs_ = {addValue("lbOUT1"), addValue("lbOUT2")};
    outputRow->addLayout(cell(addPanel("Panel40", QStringLiteral("OUT 1")), {outputs_[0]}), 1);
    outputRow->addLayout(cell(addPanel("Panel42", QStringLiteral("OUT 2")), {outputs_[1]}), 1);
    lbKezelo_ = addValue("lbKezelo");
    lbFix_ = addValue("lbFix");
    outputRow->addLayout(cell(addPanel("PanelKeypad", QStringLiteral("Kezelő 12V")), {lbKezelo_}), 1);
    outputRow->addLayout(cell(addPanel("PanelFix12V", QStringLiteral("Fix 12V")), {lbFix_}), 1);

    // --- last eight events ---------------------------------------------------------
    auto* lbLast8Event = new QLabel(QStringLiteral("Az utolsó nyolc esemény:"), this);
    lbLast8Event->setObjectName("lbLast8Event");
    acgEvSh_ = new QTableWidget(kEventRows, kEventColumns, this);
    acgEvSh_->setObjectName("acgEvSh");
    acgEvSh_->setHorizontalHeaderLabels({QString(), QStringLiteral("Időpont"), QStringLiteral("Esemény"),
                                         QStringLiteral("Z/F"), QStringLiteral("T1"), QStringLiteral("T2"),
                                         QStringLiteral("T3"), QStringLiteral("T4"), QStringLiteral("S1"),
                                         QStringLiteral("S2"), QStringLiteral("S3"), QStringLiteral("S4"),
                                         QStringLiteral("K."), QStringLiteral("Státusz")});
    acgEvSh_->verticalHeader()->hide();
    acgEvSh_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    acgEvSh_->setSelectionMode(QAbstractItemView::NoSelection);
    acgEvSh_->setFocusPolicy(Qt::NoFocus);
    acgEvSh_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    acgEvSh_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const QFontMetrics fm = acgEvSh_->fontMetrics();
    const int pad = 12;
    const std::array<QString, kEventColumns> widest = {
        QStringLiteral("8"), QStringLiteral("00/00 - 00:00"), widestEventName(),
        QStringLiteral("Z=12"), QStringLiteral("T1"), QStringLiteral("T2"), QStringLiteral("T3"),
        QStringLiteral("T4"), QStringLiteral("S1"), QStringLiteral("S2"), QStringLiteral("S3"),
        QStringLiteral("S4"), QStringLiteral("K."), QStringLiteral("Státusz")};
    int tableWidth = 2 * acgEvSh_->frameWidth();
    for (int c = 0; c < kEventColumns; ++c) {
        const int w = fm.horizontalAdvance(widest[std::size_t(c)]) + 2 * pad;
        acgEvSh_->setColumnWidth(c, w);
        tableWidth += w;
    }
    for (int r = 0; r < kEventRows; ++r) {
        auto* number = new QTableWidgetItem(QString::number(r + 1));
        number->setTextAlignment(Qt::AlignCenter);
        number->setBackground(palette().color(QPalette::Button));
        acgEvSh_->setItem(r, 0, number);
        // The other cells are made once; a frame changes only the texts that differ.
        for (int c = 1; c < kEventColumns; ++c) {
            auto* item = new QTableWidgetItem;
            if (c > 3) item->setTextAlignment(Qt::AlignCenter);
            acgEvSh_->setItem(r, c, item);
        }
        acgEvSh_->setRowHeight(r, fm.height() + 6);
    }
    acgEvSh_->setFixedSize(tableWidth,
                           acgEvSh_->horizontalHeader()->sizeHint().height() + kEventRows * (fm.height() + 6) +
                               2 * acgEvSh_->frameWidth());

    // --- messages, GSM level, temperature, buttons -------------------------------
    auto* lbStateMessages = new QLabel(QStringLiteral("A modul állapot üzenetei:"), this);
    lbStateMessages->setObjectName("lbStateMessages");
    memo1_ = new QPlainTextEdit(this);
    memo1_->setObjectName("Memo1");
    memo1_->setReadOnly(true);

    auto* lbGSMpower = new QLabel(QStringLiteral("GSM térerő (0-31):"), this);
    lbGSMpower->setObjectName("lbGSMpower");
    lbGSMpowVal_ = new QLabel(QStringLiteral("0"), this);
    lbGSMpowVal_->setObjectName("lbGSMpowVal");
    lbGSMpowVal_->setMinimumWidth(fm.horizontalAdvance(QStringLiteral("000")));
    pbTerero_ = new QProgressBar(this);
    pbTerero_->setObjectName("pbTerero");
    pbTerero_->setRange(0, kGsmMax);
    pbTerero_->setValue(0);
    pbTerero_->setTextVisible(false);
    auto* lbTelTemp = new QLabel(QStringLiteral("Modul hőmérs.:"), this);
    lbTelTemp->setObjectName("lbTelTemp");
    lbTempVal_ = new QLabel(this);
    lbTempVal_->setObjectName("lbTempVal");

    btLoadZoneNames_ = addButton("btLoadZoneNames", QStringLiteral("Zóna nevek leolvasása"));
    QPushButton* btClearMsg = addButton("btClearMsg", QStringLiteral("Üzenetablak törlése"));
    btSotpAllAlarm_ = addButton("btSotpAllAlarm", QStringLiteral("Riasztás leállítása"));
    QPushButton* btP1OFF = addButton("btP1OFF", QStringLiteral("Kikapcs.P1"));
    QPushButton* btP2OFF = addButton("btP2OFF", QStringLiteral("Kikapcs.P2"));
    QPushButton* btP1ON = addButton("btP1ON", QStringLiteral("Élesítés P1"));
    QPushButton* btP2ON = addButton("btP2ON", QStringLiteral("Élesítés P2"));
    QPushButton* btClose = addButton("btClose", QStringLiteral("Ablak bezárása"));

    statusBar1_ = new QStatusBar(this);
    statusBar1_->setObjectName("StatusBar1");
    statusBar1_->setSizeGripEnabled(false);

    connect(btLoadZoneNames_, &QPushButton::clicked, this, &StatusWindow::btLoadZoneNamesClick);
    connect(btClearMsg, &QPushButton::clicked, this, &StatusWindow::btClearMsgClick);
    connect(btSotpAllAlarm_, &QPushButton::clicked, this, &StatusWindow::btSotpAllAlarmClick);
    connect(btP1OFF, &QPushButton::clicked, this, [this] { monitor_.sendPartitionCommand(coded::DisarmP1); });
    connect(btP2OFF, &QPushButton::clicked, this, [this] { monitor_.sendPartitionCommand(coded::DisarmP2); });
    connect(btP1ON, &QPushButton::clicked, this, [this] { monitor_.sendPartitionCommand(coded::ArmP1); });
    connect(btP2ON, &QPushButton::clicked, this, [this] { monitor_.sendPartitionCommand(coded::ArmP2); });
    connect(btClose, &QPushButton::clicked, this, &QDialog::reject);

    connect(&link_, &ModuleLink::statusFrameReceived, this, &StatusWindow::showStatusFrame);
    connect(&link_, &ModuleLink::eventFrameReceived, this, &StatusWindow::showEventFrame);
    connect(&link_, &ModuleLink::statusMessageReceived, this, &StatusWindow::addStatusMessage);

    // Two columns, so that the window fits a laptop screen of 768 lines: on
    // the left what has a fixed size (inputs, outputs, the eight events, the
    // buttons), on the right the readings and the message box, which grows
    // with the window. The right column is a splitter so that a live chart
    // can stand above the messages without making the window taller.
    auto* service = new QHBoxLayout;
    service->addWidget(btLoadZoneNames_);
    service->addWidget(btSotpAllAlarm_);
    service->addStretch();
    auto* partitions = new QHBoxLayout;
    partitions->addWidget(btP1OFF);
    partitions->addWidget(btP1ON);
    partitions->addSpacing(12);
    partitions->addWidget(btP2OFF);
    partitions->addWidget(btP2ON);
    partitions->addStretch();
    partitions->addWidget(btClose);
    auto* commands = new QVBoxLayout;
    commands->addLayout(service);
    commands->addLayout(partitions);
    auto* left = new QVBoxLayout;
    left->addWidget(groupBoxInputs);
    left->addWidget(groupBoxOutputs);
    left->addWidget(lbLast8Event);
    left->addWidget(acgEvSh_);
    left->addStretch();
    left->addLayout(commands);

    auto* readings = new QGridLayout;
    readings->addWidget(lbGSMpower, 0, 0);
    readings->addWidget(lbGSMpowVal_, 0, 1);
    readings->addWidget(pbTerero_, 0, 2);
    readings->addWidget(lbTelTemp, 1, 0);
    readings->addWidget(lbTempVal_, 1, 1, 1, 2);
    readings->setColumnStretch(2, 1);
    auto* messagesPane = new QWidget(this);
    messagesPane->setObjectName("MessagesPane");
    auto* messages = new QVBoxLayout(messagesPane);
    messages->setContentsMargins(0, 0, 0, 0);
    messages->addWidget(lbStateMessages);
    messages->addWidget(memo1_, 1);
    messages->addWidget(btClearMsg, 0, Qt::AlignRight);
    side_ = new QSplitter(Qt::Vertical, this);
    side_->setObjectName("SideSplitter");
    side_->setChildrenCollapsible(false);
    side_->addWidget(messagesPane);
    auto* right = new QVBoxLayout;
    right->addLayout(readings);
    right->addWidget(side_, 1);

    auto* columns = new QHBoxLayout;
    columns->addLayout(left);
    columns->addSpacing(6);
    columns->addLayout(right, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns, 1);
    layout->addWidget(statusBar1_);
    memo1_->setMinimumSize(kMessagesMinWidth, kMessagesMinHeight);

    auto* chartPane = new QWidget(this);
    chartPane->setObjectName("ChartPane");
    auto* plot = new QVBoxLayout(chartPane);
    plot->setContentsMargins(0, 0, 0, 0);
    chart_ = new StatusChart(chartPane);
    // Room for the time labels and the legend under the curves.
    chart_->setMinimumSize(kChartMinWidth, kChartMinHeight);
    plot->addWidget(chart_, 1);
    QPushButton* btSaveSeries = addButton("btSaveSeries", QStringLiteral("Mentés CSV-be"));
    plot->addWidget(btSaveSeries, 0, Qt::AlignRight);
    connect(btSaveSeries, &QPushButton::clicked, this, &StatusWindow::btSaveSeriesClick);
    addChart(chartPane);
}

void StatusWindow::addChart(QWidget* chart) {
    side_->insertWidget(0, chart);
    side_->setStretchFactor(0, 1);
    side_->setStretchFactor(1, 1);
}

StatusWindow::~StatusWindow() = default;

QLabel* StatusWindow::addPanel(const QString& name, const QString& caption) {
    auto* panel = new QLabel(caption, this);
    panel->setObjectName(name);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setAlignment(Qt::AlignCenter);
    panel->setMinimumHeight(panel->fontMetrics().height() + 8);
    panel->setMinimumWidth(panel->fontMetrics().horizontalAdvance(caption) + 16);
    return panel;
}

QLabel* StatusWindow::addValue(const QString& name) {
    auto* label = new QLabel(QStringLiteral("."), this);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignCenter);
    // Wide enough for the longest reading ("V! A1  /  V! B0", "13.6V / 12.5V").
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QStringLiteral("V! A1  /  V! B0")) + 8);
    return label;
}

QPushButton* StatusWindow::addButton(const char* name, const QString& caption) {
    auto* button = new QPushButton(caption, this);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

void StatusWindow::statusText(const QString& text) {
    if (text.isEmpty())
        statusBar1_->clearMessage();
    else
        statusBar1_->showMessage(text);
}

void StatusWindow::openModal() {
    // Put back as found: opened from inside another conversation's wait, the
    // periodic login must not come on in that conversation's middle.
    const bool codeTimerWas = link_.codeTimerEnabled();
    link_.setCodeTimerEnabled(false);
    monitor_.setPolling(true);
    exec();
    monitor_.setPolling(false);
    link_.setCodeTimerEnabled(codeTimerWas);
}

void StatusWindow::showEvent(QShowEvent* event) {
    refreshInputCaptions();
    // Each opening plots afresh; coming back from an icon is no opening.
    if (!event->spontaneous()) {
        series_.clear();
        shownAtMs_ = QDateTime::currentMSecsSinceEpoch();
        sinceShown_.start();
        chart_->showSeries(series_);
    }
    QDialog::showEvent(event);
}

void StatusWindow::refreshInputCaptions() {
    for (int n = 1; n <= 12; ++n) {
        const std::string& name = names_.names().zoneName(n);
        inputPanels_[n - 1]->setText(ModuleNames::isBlank(name) ? QStringLiteral("IN%1").arg(n)
                                                                 : QString::fromStdString(name));
    }
}

void StatusWindow::showText(QLabel* label, const QString& text, Shade shade) {
    if (label->text() != text) {
        label->setText(text);
        ++changesShown_;
    }
    if (shade == Shade::Keep) return;
    const QColor colour = colourOf(shade);
    if (label->palette().color(QPalette::WindowText) == colour) return;
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, colour);
    label->setPalette(p);
    ++changesShown_;
}

void StatusWindow::showValue(QLabel* label, const ShownValue& value) {
    showText(label, QString::fromStdString(value.text), value.shade);
}

void StatusWindow::showStatusFrame(const QByteArray& line) {
    const auto v = decodeStatusFrame(std::string_view(line.constData(), std::size_t(line.size())));
    if (!v) return;
    if (isVisible()) {
        series_.add(statusSample(*v, shownAtMs_ + sinceShown_.elapsed()));
        chart_->showSeries(series_);
    }
    for (std::size_t n = 0; n < 12; ++n) {
        showValue(zoneStates_[n], v->zones[n].state);
        showValue(zoneLoops_[n], v->zones[n].loop);
    }
    showValue(inputLoopsAB_[0], v->inputsAB[0]);
    showValue(inputLoopsAB_[1], v->inputsAB[1]);
    showText(lbAkku_, v->batteryTenths ? volts(*v->batteryTenths, 1) + QStringLiteral(" / ") + volts(v->terminalTenths, 1)
                                       : volts(v->terminalTenths, 2));
    for (std::size_t p = 0; p < 2; ++p) showValue(partitions_[p], v->partitions[p]);
    for (std::size_t o = 0; o < 2; ++o) showValue(outputs_[o], v->outputs[o]);
    showValue(lbKezelo_, v->keypadSupply);
    showValue(lbFix_, v->fixed12V);
    for (std::size_t r = 0; r < 3; ++r) showValue(relays_[r], v->relays[r]);
    // The bar cannot show a level outside its range; the number still does.
    pbTerero_->setValue(std::clamp(v->gsmLevel, 0, kGsmMax));
    showText(lbGSMpowVal_, QString::number(v->gsmLevel));
    showValue(lbAC_, v->mains);
    showText(lbTempVal_, v->temperature ? QString::number(*v->temperature) + QStringLiteral(" C°") : QString());
}

void StatusWindow::showEventFrame(const QByteArray& line) {
    const auto entries = decodeEventFrame(std::string_view(line.constData(), std::size_t(line.size())));
    for (int r = 0; r < kEventRows; ++r) {
        const EventListRow row = eventFrameRow(entries[std::size_t(r)]);
        std::array<const std::string*, kEventColumns - 1> cells{&row.time, &row.kind, &row.subject};
        for (std::size_t k = 0; k < row.routes.size(); ++k) cells[3 + k] = &row.routes[k];
        cells[kEventColumns - 2] = &row.status;
        for (int c = 1; c < kEventColumns; ++c) {
            QTableWidgetItem* item = acgEvSh_->item(r, c);
            const QString text = QString::fromStdString(*cells[std::size_t(c - 1)]);
            if (item->text() == text) continue;
            item->setText(text);
            ++changesShown_;
        }
    }
}

void StatusWindow::addStatusMessage(const QByteArray& line) {
    const std::string text = fromWin1250(statusMessageText(std::string_view(line.constData(), std::size_t(line.size()))));
    // appendPlainText writes into the only block of an empty box instead of
    // adding one, so empty messages at the top would leave no line behind.
    if (memoHasLines_ && memo1_->document()->isEmpty()) {
        QTextCursor end(memo1_->document());
        end.movePosition(QTextCursor::End);
        end.insertBlock();
        end.insertText(QString::fromStdString(text));
    } else {
        memo1_->appendPlainText(QString::fromStdString(text));
    }
    memoHasLines_ = true;
}

void StatusWindow::btClearMsgClick() {
    memo1_->clear();
    memoHasLines_ = false;
}

void StatusWindow::btLoadZoneNamesClick() {
    btLoadZoneNames_->setEnabled(false);
    monitor_.loadZoneNames([this](const QString& text) { statusText(text); });
    btLoadZoneNames_->setEnabled(true);
    refreshInputCaptions();
}

void StatusWindow::btSotpAllAlarmClick() {
    monitor_.stopAlarms([this](const QString& text) { statusText(text); },
                        [this](bool running) { btSotpAllAlarm_->setEnabled(!running); });
}

void StatusWindow::btSaveSeriesClick() {
    reports_.setMessenger(link_.messenger());
    // For a spreadsheet, like every list a window saves; the series is short.
    const auto rows = sheets::statusSeriesSheetRows(series_);
    reports_.saveSheet(ReportFormat::Csv, windowTitle(), sheets::statusSeriesColumns(), [&rows](const auto& add) {
        for (const sheets::Row& row : rows) {
            if (!add(row)) return false;
        }
        return true;
    });
}

}  // namespace corvanta
