#include "ui/sitebook/event_history_page.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "link/messenger.h"
#include "sheets/event_sheets.h"

namespace corvanta {

using namespace sitebook;

EventHistoryPage::EventHistoryPage(QString bookPath, Messenger& messenger, QWidget* parent)
    : QWidget(parent),
      bookPath_(std::move(bookPath)),
      messenger_(messenger),
      report_(this, QString::fromUtf8("Eseménynapló"), QStringLiteral("esemenynaplo")) {
    setObjectName("pageEventHistory");
    edEventSearch_ = new QLineEdit(this);
    edEventSearch_->setObjectName("edEventSearch");
    edEventSearch_->setPlaceholderText(QString::fromUtf8("Keresés (esemény, zóna / felhasználó, időpont)"));
    edEventSearch_->setClearButtonEnabled(true);
    gridEvents_ = new QTableWidget(0, sheets::kSiteEventColumns, this);
    gridEvents_->setObjectName("gridEvents");
    gridEvents_->setHorizontalHeaderLabels(sheets::siteEventTitles());
    gridEvents_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    gridEvents_->setSelectionBehavior(QAbstractItemView::SelectRows);
    gridEvents_->verticalHeader()->hide();
    gridEvents_->horizontalHeader()->setStretchLastSection(true);
    gridEvents_->setWordWrap(false);
    gridEvents_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    lbEventPage_ = new QLabel(this);
    lbEventPage_->setObjectName("lbEventPage");
    btNewer_ = new QPushButton(QString::fromUtf8("◀ Újabbak"), this);
    btNewer_->setObjectName("btNewerEvents");
    btOlder_ = new QPushButton(QString::fromUtf8("Régebbiek ▶"), this);
    btOlder_->setObjectName("btOlderEvents");
    for (QPushButton* b : {btNewer_, btOlder_}) b->setAutoDefault(false);

    report_.actions().setMessenger(&messenger_);
    report_.setSource(sheets::siteEventColumns(), [this](const std::function<bool(const sheets::Row&)>& add) {
        return eachMatching([&add](const SiteEvent& e) { return add(sheets::siteEventRow(e)); });
    });

    auto* paging = new QHBoxLayout;
    paging->addWidget(btNewer_);
    paging->addWidget(lbEventPage_, 1, Qt::AlignCenter);
    paging->addWidget(btOlder_);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(report_.buttons(QStringLiteral("Events"), this));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(edEventSearch_);
    layout->addWidget(gridEvents_, 1);
    layout->addLayout(paging);
    layout->addLayout(bottom);

    connect(edEventSearch_, &QLineEdit::textChanged, this, [this] {
        pageStarts_.clear();
        readPage();
    });
    connect(btNewer_, &QPushButton::clicked, this, &EventHistoryPage::btNewerEventsClick);
    connect(btOlder_, &QPushButton::clicked, this, &EventHistoryPage::btOlderEventsClick);
    readPage();
}

void EventHistoryPage::showSite(const std::optional<Site>& site) {
    const bool same = site && site_ && site->id == site_->id;
    site_ = site;
    if (!same) pageStarts_.clear();
    readPage();
}

void EventHistoryPage::reload() { readPage(); }

bool EventHistoryPage::matches(const SiteEvent& event) const {
    const QString needle = edEventSearch_->text().trimmed();
    if (needle.isEmpty()) return true;
    const QStringList cells = sheets::siteEventTexts(event);
    // The time, the event and the subject: what a person looks for.
    for (int c = 0; c < 3; ++c) {
        if (cells[c].contains(needle, Qt::CaseInsensitive)) return true;
    }
    return false;
}

bool EventHistoryPage::eachMatching(const std::function<bool(const SiteEvent&)>& row) {
    if (!site_) return true;
    SiteBook book;
    if (!book.open(bookPath_)) return false;
    return book.eachSiteEvent(site_->id, {}, [&](const SiteEvent& e) { return !matches(e) || row(e); });
}

void EventHistoryPage::readPage() {
    shown_.clear();
    more_ = false;
    total_ = 0;
    lbEventPage_->clear();
    if (site_) {
        SiteBook book;
        SiteEventQuery query;
        query.after = pageStarts_.empty() ? std::nullopt : pageStarts_.back();
        const bool read = book.open(bookPath_) && book.eachSiteEvent(site_->id, query, [this](const SiteEvent& e) {
            if (!matches(e)) return true;
            // One more than the page shows tells whether another follows.
            if (int(shown_.size()) == kPageRows) {
                more_ = true;
                return false;
            }
            shown_.push_back(e);
            return true;
        });
        if (read) total_ = book.siteEventCount(site_->id).value_or(0);
        if (!read) lbEventPage_->setText(QString::fromUtf8("Az eseménynapló nem olvasható: ") + book.error());
    }
    gridEvents_->setRowCount(int(shown_.size()));
    for (int r = 0; r < int(shown_.size()); ++r) {
        const QStringList cells = sheets::siteEventTexts(shown_[std::size_t(r)]);
        for (int c = 0; c < cells.size(); ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            if (c >= 3 && c < 12) item->setTextAlignment(Qt::AlignCenter);
            gridEvents_->setItem(r, c, item);
        }
    }
    gridEvents_->resizeColumnsToContents();
    if (site_ && lbEventPage_->text().isEmpty()) lbEventPage_->setText(pageText());
    btNewer_->setEnabled(!pageStarts_.empty());
    btOlder_->setEnabled(more_);
}

QString EventHistoryPage::pageText() const {
    if (!site_) return {};
    if (shown_.empty()) {
        return edEventSearch_->text().trimmed().isEmpty() ? QString::fromUtf8("Az eseménynapló üres.")
                                                          : QString::fromUtf8("Nincs találat.");
    }
    const int first = int(pageStarts_.size()) * kPageRows + 1;
    const int last = first + int(shown_.size()) - 1;
    if (!edEventSearch_->text().trimmed().isEmpty())
        return QString::fromUtf8("%1–%2. találat").arg(first).arg(last);
    return QString::fromUtf8("%1–%2. bejegyzés, összesen %3").arg(first).arg(last).arg(total_);
}

void EventHistoryPage::btOlderEventsClick() {
    if (!more_ || shown_.empty()) return;
    pageStarts_.push_back(keyOf(shown_.back()));
    readPage();
}

void EventHistoryPage::btNewerEventsClick() {
    if (pageStarts_.empty()) return;
    pageStarts_.pop_back();
    readPage();
}

}  // namespace corvanta
