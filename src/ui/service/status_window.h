#pragma once
// The status monitor (FormStatus, "GSM-Corvanta állapotfigyelés"): live
// state of the inputs, supply and outputs, the module's last eight events
// and its messages, with alarm stop, partition arming and the zone name
// read. Lines are shown whenever they arrive, open or not; the poll and the
// commands are StatusMonitor's.

#include <QDialog>
#include <QElapsedTimer>

#include <array>
#include <memory>

#include "service/status_frame.h"
#include "service/status_monitor.h"
#include "service/status_series.h"
#include "ui/reports/report_actions.h"

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QSplitter;
class QStatusBar;
class QTableWidget;

namespace corvanta {

class ModuleLink;
class StatusChart;
class TickSource;

class StatusWindow : public QDialog {
    Q_OBJECT
public:
    static constexpr int kEventRows = 8;
    static constexpr int kEventColumns = 14;

    // Null ticks: StatusTimer, 500 ms.
    StatusWindow(ModuleLink& link, ModuleNamesStore& names, std::unique_ptr<TickSource> statusTicks = nullptr,
                 QWidget* parent = nullptr);
    ~StatusWindow() override;

    StatusMonitor& monitor() { return monitor_; }

    // The main window's button: the periodic login gives way to the poll
    // while the window is open, modally, and comes back when it closes.
    void openModal();

    // The poll's answers, in arrival order.
    void showStatusFrame(const QByteArray& line);
    void showEventFrame(const QByteArray& line);
    void addStatusMessage(const QByteArray& line);

    // Input headers: the zone names read from the module, or "IN1" .. "IN12".
    void refreshInputCaptions();

    // A live chart above the message box; the two share the right column's
    // height, so the window keeps its size.
    void addChart(QWidget* chart);

    // GSM level, temperature and voltages of every status frame since the
    // window was last shown, the last hour of them, and their plot.
    const StatusSeries& series() const { return series_; }
    const StatusChart* chart() const { return chart_; }
    // Tests choose the file.
    ReportActions& reports() { return reports_; }
    // Texts, colours and cells changed so far: a frame like the last one
    // changes none, so an unchanging module costs no redrawing.
    qint64 changesShown() const { return changesShown_; }

public slots:
    void btLoadZoneNamesClick();
    void btClearMsgClick();
    void btSotpAllAlarmClick();
    // "Mentés CSV-be": the plotted series.
    void btSaveSeriesClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLabel* addPanel(const QString& name, const QString& caption);
    QLabel* addValue(const QString& name);
    QPushButton* addButton(const char* name, const QString& caption);
    void statusText(const QString& text);
    // Each sets only what differs from what the label shows.
    void showText(QLabel* label, const QString& text, Shade shade = Shade::Keep);
    void showValue(QLabel* label, const ShownValue& value);

    ModuleLink& link_;
    ModuleNamesStore& names_;
    StatusMonitor monitor_;

    std::array<QLabel*, 12> inputPanels_{};
    std::array<QLabel*, 12> zoneStates_{};
    std::array<QLabel*, 12> zoneLoops_{};
    std::array<QLabel*, 2> inputLoopsAB_{};
    std::array<QLabel*, 2> partitions_{};
    std::array<QLabel*, 3> relays_{};
    std::array<QLabel*, 2> outputs_{};
    QLabel* lbAkku_;
    QLabel* lbAC_;
    QLabel* lbKezelo_;
    QLabel* lbFix_;
    QLabel* lbGSMpowVal_;
    QProgressBar* pbTerero_;
    QLabel* lbTempVal_;
    QTableWidget* acgEvSh_;
    QPlainTextEdit* memo1_;
    bool memoHasLines_ = false;  // since the last clear, empty lines included
    QPushButton* btLoadZoneNames_;
    QPushButton* btSotpAllAlarm_;
    QStatusBar* statusBar1_;
    QSplitter* side_;
    StatusSeries series_;
    StatusChart* chart_;
    qint64 shownAtMs_ = 0;  // the computer's clock when the window was shown
    QElapsedTimer sinceShown_;  // steady, whatever happens to that clock
    ReportActions reports_;
    qint64 changesShown_ = 0;
};

}  // namespace corvanta
