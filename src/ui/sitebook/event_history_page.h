#pragma once
// The "Eseménynapló" page of the site book window: the event history of the
// site shown, newest first, a page of rows at a time however long it is,
// with a search box, and saved as CSV, workbook or PDF.

#include <QWidget>

#include <optional>
#include <vector>

#include "sitebook/site_book.h"
#include "ui/reports/list_report.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace corvanta {

class Messenger;

class EventHistoryPage : public QWidget {
    Q_OBJECT
public:
    static constexpr int kPageRows = 200;

    EventHistoryPage(QString bookPath, Messenger& messenger, QWidget* parent = nullptr);

    // The site whose history is shown, from its newest entries; none: empty.
    void showSite(const std::optional<sitebook::Site>& site);
    // Reads the page shown again (the book may have taken a load since).
    void reload();

    // What the page shows, for tests.
    const std::vector<sitebook::SiteEvent>& shownEvents() const { return shown_; }
    QString pageText() const;
    ListReport& report() { return report_; }

public slots:
    void btNewerEventsClick();
    void btOlderEventsClick();

private:
    // Reads the page that starts after `from` (the newest without one).
    void readPage();
    bool matches(const sitebook::SiteEvent& event) const;
    // Every entry the search takes, for a saved report.
    bool eachMatching(const std::function<bool(const sitebook::SiteEvent&)>& row);

    QString bookPath_;
    Messenger& messenger_;
    std::optional<sitebook::Site> site_;
    // Where each page before the one shown began; the shown one begins
    // after pageStarts_.back() (at the newest when that is none).
    std::vector<std::optional<sitebook::SiteEventKey>> pageStarts_;
    std::vector<sitebook::SiteEvent> shown_;
    bool more_ = false;  // older entries follow the page
    qint64 total_ = 0;

    QLineEdit* edEventSearch_;
    QTableWidget* gridEvents_;
    QLabel* lbEventPage_;
    QPushButton* btNewer_;
    QPushButton* btOlder_;
    ListReport report_;
};

}  // namespace corvanta
