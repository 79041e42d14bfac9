#pragma once
// The traffic log (SerialForm, "Soros kapcsolat részletei"): every received
// line and every line sent with sendLoggedCommand, one entry a line. The
// last line is kept empty as the place for the next entry. The lines live in
// a compact store; the list lays out only the rows it shows, and nothing
// while the window is hidden. The codes in block frames show masked unless
// "Kódok nyersen" is ticked, which no run remembers.

#include <QCheckBox>
#include <QPushButton>
#include <QWidget>

#include "ui/main/traffic_log_model.h"
#include "ui/reports/report_actions.h"

class QListView;

namespace corvanta {

class TrafficLogWindow : public QWidget {
    Q_OBJECT
public:
    explicit TrafficLogWindow(QWidget* parent = nullptr);

    // The whole log as the user sees it.
    QString text() const { return model_.text(); }
    const TrafficLogModel& model() const { return model_; }
    // The program's messages; tests choose the file.
    ReportActions& reports() { return reports_; }

public slots:
    void logTraffic(const QString& text);
    // "Mentés fájlba": the log as a text file, as shown; with raw codes the
    // owner's alone.
    void btSaveClick();

signals:
    // "AT": the main window sends it logged.
    void atRequested();
    // "Ablak bezárása": the window hid itself; the main window's toggle
    // caption follows. The close box does not send this.
    void closedByButton();

protected:
    // Follows the newest entry from where the log was left.
    void showEvent(QShowEvent* event) override;

private:
    // The selected rows, one a line, to the clipboard.
    void copySelection();

    TrafficLogModel model_;
    QListView* rxMemo_;
    QCheckBox* cbRawCodes_;
    ReportActions reports_;
};

}  // namespace corvanta
