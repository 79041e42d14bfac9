#include "ui/service/event_list_window.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTableWidget>
#include <QTextDocument>
#include <QVBoxLayout>

#include "ui/widgets/escape_closes.h"

#include "link/module_link.h"
#include "service/event_list_export.h"
#include "service/event_memory_load.h"
#include "service/module_names_load.h"
#include "sheets/event_sheets.h"
#include "ui/reports/report_document.h"

namespace corvanta {

namespace {

enum Column { Number, Time, Kind, Subject, FirstRoute, Status = FirstRoute + 9 };

static_assert(kEventListColumns == EventListWindow::kColumns);

// Widest texts each column holds, so nothing is cut; the route columns take
// their one-letter marks under two-letter headers.
const char* const kWidest[EventListWindow::kColumns] = {
    "Sorszám", "12/31 - 23:59", "Zóna takar.vissza", "13. WWWWWWWWWW", "T1", "T2", "T3",
    "T4",      "S1",            "S2",                "S3",             "S4", "Közp", "Státusz"};

}  // namespace

EventListWindow::EventListWindow(ModuleLink& link, ModuleNamesStore& names, QWidget* parent)
    : QWidget(parent, Qt::Window),
      link_(link),
      names_(names),
      reports_(this, QStringLiteral("Rövid eseménylista"), QStringLiteral("esemenylista")),
      clock_([] { return QDateTime::currentDateTime(); }) {
    setObjectName("FormEventlistShort");
    setWindowTitle(QStringLiteral("GSM-Corvanta  Rövid eseménylista"));

    acgEvSh_ = new QTableWidget(eventmemory::kShownRows, kColumns, this);
    acgEvSh_->setObjectName("acgEvSh");
    acgEvSh_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    acgEvSh_->setSelectionMode(QAbstractItemView::NoSelection);
    // Read-only: no cell to move to, so no focus frame in the numbers column.
    acgEvSh_->setFocusPolicy(Qt::NoFocus);
    acgEvSh_->verticalHeader()->hide();
    acgEvSh_->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    acgEvSh_->horizontalHeader()->setHighlightSections(false);
    acgEvSh_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    const QFontMetrics header = acgEvSh_->horizontalHeader()->fontMetrics();
    int width = 0;
    for (int c = 0; c < kColumns; ++c) {
        acgEvSh_->setHorizontalHeaderItem(c, new QTableWidgetItem(QString::fromUtf8(kEventListTitles[std::size_t(c)])));
        const QString widest = QString::fromUtf8(kWidest[c]);
        const int w = std::max(header.horizontalAdvance(widest), fontMetrics().horizontalAdvance(widest)) + 16;
        acgEvSh_->setColumnWidth(c, w);
        width += w;
    }
    // The numbers column looks and stays like the grid's fixed column.
    for (int r = 0; r < eventmemory::kShownRows; ++r) {
        auto* number = new QTableWidgetItem(QString::number(r + 1));
        number->setBackground(palette().button());
        number->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        acgEvSh_->setItem(r, Number, number);
        for (int c = Time; c < kColumns; ++c) {
            auto* item = new QTableWidgetItem;
            if (c >= FirstRoute) item->setTextAlignment(Qt::AlignCenter);
            acgEvSh_->setItem(r, c, item);
        }
    }
    acgEvSh_->setMinimumWidth(width + acgEvSh_->verticalScrollBar()->sizeHint().width() +
                              2 * acgEvSh_->frameWidth());
    acgEvSh_->setMinimumHeight(20 * acgEvSh_->verticalHeader()->defaultSectionSize() +
                               acgEvSh_->horizontalHeader()->sizeHint().height());

    btLoadEvents_ = new QPushButton(QStringLiteral("Eseménylista lekérdezése"), this);
    btLoadEvents_->setObjectName("btLoadEvents");
    auto* btLoadNames = new QPushButton(QStringLiteral("Zóna / Felhaszn. nevek letöltése"), this);
    btLoadNames->setObjectName("btLoadNames");
    auto* btSaveCsv = new QPushButton(QStringLiteral("Mentés CSV-be"), this);
    btSaveCsv->setObjectName("btSaveCsv");
    auto* btSaveXlsx = new QPushButton(QStringLiteral("Mentés Excelbe"), this);
    btSaveXlsx->setObjectName("btSaveXlsx");
    auto* btPrint = new QPushButton(QStringLiteral("Nyomtatás"), this);
    btPrint->setObjectName("btPrint");
    auto* btSavePdf = new QPushButton(QStringLiteral("Mentés PDF-be"), this);
    btSavePdf->setObjectName("btSavePdf");
    auto* btClose = new QPushButton(QStringLiteral("Ablak bezárása"), this);
    btClose->setObjectName("btClose");
    for (QPushButton* b : {btLoadEvents_, btLoadNames, btSaveCsv, btSaveXlsx, btPrint, btSavePdf, btClose}) {
        b->setAutoDefault(false);
        b->setMinimumHeight(b->sizeHint().height() + 6);
    }
    statusBar_ = new QStatusBar(this);
    statusBar_->setObjectName("StatusBarEventListShort");
    statusBar_->setSizeGripEnabled(false);

    connect(btLoadEvents_, &QPushButton::clicked, this, &EventListWindow::btLoadEventsClick);
    connect(btLoadNames, &QPushButton::clicked, this, &EventListWindow::btLoadNamesClick);
    connect(btSaveCsv, &QPushButton::clicked, this, &EventListWindow::btSaveCsvClick);
    connect(btSaveXlsx, &QPushButton::clicked, this, &EventListWindow::btSaveXlsxClick);
    connect(btPrint, &QPushButton::clicked, this, &EventListWindow::btPrintClick);
    connect(btSavePdf, &QPushButton::clicked, this, &EventListWindow::btSavePdfClick);
    connect(btClose, &QPushButton::clicked, this, &QWidget::hide);
    closeOnEscape(this, btClose);
    // Names loaded from the status monitor show here too.
    connect(&names_, &ModuleNamesStore::loaded, this, &EventListWindow::showEventList);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btLoadEvents_);
    buttons->addWidget(btLoadNames);
    buttons->addStretch();
    buttons->addWidget(btSaveCsv);
    buttons->addWidget(btSaveXlsx);
    buttons->addWidget(btPrint);
    buttons->addWidget(btSavePdf);
    buttons->addStretch();
    buttons->addWidget(btClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(acgEvSh_, 1);
    layout->addLayout(buttons);
    layout->addWidget(statusBar_);
}

QString EventListWindow::cellText(int row, int column) const {
    const QTableWidgetItem* item = acgEvSh_->item(row - 1, column);
    return item ? item->text() : QString();
}

QString EventListWindow::statusText() const { return statusBar_->currentMessage(); }

void EventListWindow::showStatus(const QString& text) { statusBar_->showMessage(text); }

void EventListWindow::setCell(int row, int column, const std::string& text) {
    acgEvSh_->item(row - 1, column)->setText(QString::fromStdString(text));
}

void EventListWindow::btLoadEventsClick() {
    btLoadEvents_->setEnabled(false);
    const bool complete =
        loadEventMemory(link_, memory_, [this](const QString& text) { showStatus(text); });
    // A failed load changed nothing to redraw, nor to keep.
    if (complete) {
        const QDateTime now = clock_();
        loadedAt_ = {now.date().year(), now.date().month(), now.date().day(), now.time().hour(), now.time().minute()};
        showEventList();
        if (recorder_) {
            const QString line = recorder_(datedEvents(memory_, names_.names(), loadedAt_));
            if (!line.isEmpty()) showStatus(statusText() + u' ' + line);
        }
    }
    btLoadEvents_->setEnabled(true);
}

void EventListWindow::btLoadNamesClick() {
    btLoadEvents_->setEnabled(false);
    // A completed load redraws through the store's signal.
    loadModuleNames(link_, names_, [this](const QString& text) { showStatus(text); });
    btLoadEvents_->setEnabled(true);
}

void EventListWindow::showEventList() {
    for (int row = 1; row <= eventmemory::kShownRows; ++row) {
        const std::optional<int> k = entryForRow(memory_, row);
        const EventListRow cells =
            eventListRow(k ? entryAt(memory_, *k) : EventLogEntry{}, names_.names());
        setCell(row, Time, cells.time);
        setCell(row, Kind, cells.kind);
        setCell(row, Subject, cells.subject);
        for (std::size_t r = 0; r < cells.routes.size(); ++r)
            setCell(row, FirstRoute + int(r), cells.routes[r]);
        setCell(row, Status, cells.status);
    }
}

std::unique_ptr<QTextDocument> EventListWindow::listDocument() const {
    QList<QStringList> rows;
    for (const NumberedEventRow& row : shownEventRows(memory_, names_.names())) {
        QStringList cells;
        for (const std::string& cell : keptCells(row)) cells << QString::fromStdString(cell);
        rows << cells;
    }
    QStringList titles;
    for (const char* title : kEventListTitles) titles << QString::fromUtf8(title);
    return tableDocument(titles, rows);
}

void EventListWindow::btSaveCsvClick() {
    reports_.setMessenger(link_.messenger());
    const auto rows = shownEventRows(memory_, names_.names());
    reports_.saveSheet(ReportFormat::Csv, windowTitle(), sheets::eventListColumns(), [&rows](const auto& add) {
        for (const NumberedEventRow& row : rows) {
            const auto cells = keptCells(row);
            if (!add(sheets::Row(cells.begin(), cells.end()))) return false;
        }
        return true;
    });
}

void EventListWindow::btSaveXlsxClick() {
    reports_.setMessenger(link_.messenger());
    const auto rows = sheets::eventListSheetRows(memory_, names_.names(), loadedAt_);
    reports_.saveSheet(ReportFormat::Xlsx, QStringLiteral("Eseménylista"), sheets::eventListColumns(),
                       [&rows](const auto& add) {
                           for (const sheets::Row& row : rows) {
                               if (!add(row)) return false;
                           }
                           return true;
                       });
}

void EventListWindow::btPrintClick() {
    reports_.setMessenger(link_.messenger());
    reports_.print(*listDocument());
}

void EventListWindow::btSavePdfClick() {
    reports_.setMessenger(link_.messenger());
    reports_.savePdf(*listDocument());
}

}  // namespace corvanta
