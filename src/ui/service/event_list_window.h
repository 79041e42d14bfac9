#pragma once
// The short event list (FormEventlistShort, "GSM-Corvanta  Rövid
// eseménylista"): the newest 90 entries of the module's event memory, newest
// first, with the names of the users and zones involved. Reads happen only
// on the installer's request; the loads themselves are the service's.

#include <QDateTime>
#include <QWidget>

#include "service/dated_events.h"
#include "service/event_list.h"
#include "ui/reports/report_actions.h"

#include <functional>
#include <memory>

class QPushButton;
class QStatusBar;
class QTableWidget;
class QTextDocument;

namespace corvanta {

class ModuleLink;
class ModuleNamesStore;

class EventListWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr int kColumns = 14;

    EventListWindow(ModuleLink& link, ModuleNamesStore& names, QWidget* parent = nullptr);

    const EventMemory& eventMemory() const { return memory_; }
    // Row 1..90 under the header, column 0..13.
    QString cellText(int row, int column) const;
    QString statusText() const;
    // Where a complete load goes besides the list: the site book's event
    // history of the site chosen. Returns the line to show, empty for none.
    using EventRecorder = std::function<QString(const std::vector<DatedEvent>& events)>;
    void setEventRecorder(EventRecorder recorder) { recorder_ = std::move(recorder); }
    // The computer's clock, which dates the entries of a load (tests).
    void setClock(std::function<QDateTime()> clock) { clock_ = std::move(clock); }
    // Tests choose the files and the printer.
    ReportActions& reports() { return reports_; }

public slots:
    void btLoadEventsClick();
    void btLoadNamesClick();
    // The list as it shows: as CSV, on paper, as PDF; and as a workbook
    // with each entry's date.
    void btSaveCsvClick();
    void btSaveXlsxClick();
    void btPrintClick();
    void btSavePdfClick();
    // Redraws every row from the event memory and the names.
    void showEventList();

private:
    void showStatus(const QString& text);
    void setCell(int row, int column, const std::string& text);
    std::unique_ptr<QTextDocument> listDocument() const;

    ModuleLink& link_;
    ModuleNamesStore& names_;
    // Zero until the first load; partly new after a failed one.
    EventMemory memory_{};
    ModuleMinute loadedAt_;  // of the last complete load
    EventRecorder recorder_;
    QTableWidget* acgEvSh_ = nullptr;
    QPushButton* btLoadEvents_ = nullptr;
    QStatusBar* statusBar_ = nullptr;
    ReportActions reports_;
    std::function<QDateTime()> clock_;
};

}  // namespace corvanta
