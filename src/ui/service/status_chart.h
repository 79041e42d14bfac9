#pragma once
// The status monitor's live plot: GSM level, module temperature and the two
// voltages over the time the window has been open, redrawn from the series
// store after each status frame; a long series as means of up to a minute,
// redrawn when a new mean begins. Where no sample was taken (the poll
// paused, the link down) each curve breaks off and starts anew.

#include <QList>
#include <QPointF>
#include <QtCharts/QChartView>

#include <array>
#include <vector>

class QDateTimeAxis;
class QLineSeries;
class QValueAxis;

namespace corvanta {

class StatusSeries;

class StatusChart : public QChartView {
    Q_OBJECT
public:
    enum Curve { Gsm, Temperature, Battery, Terminal, kCurves };

    explicit StatusChart(QWidget* parent = nullptr);

    void showSeries(const StatusSeries& series);
    // The first stretch of a curve (all of it while there is no gap).
    const QLineSeries* curve(Curve which) const { return segments_[which].front(); }
    // Every stretch of a curve that has points, in time order.
    QList<QList<QPointF>> stretches(Curve which) const;
    const QDateTimeAxis* timeAxis() const { return timeAxis_; }
    const QValueAxis* temperatureAxis() const { return temperatureAxis_; }

private:
    // The stretches of each curve; the first carries the legend entry, the
    // others its colour. Kept for the next redraw, emptied when unused.
    std::array<std::vector<QLineSeries*>, kCurves> segments_;
    QLineSeries* addSegment(Curve which);
    QDateTimeAxis* timeAxis_;
    QValueAxis* levelAxis_;  // GSM level 0..31 and volts share it
    QValueAxis* temperatureAxis_;
    // The length of a mean, the first and the newest mean last drawn.
    std::array<qint64, 3> drawn_{};
};

}  // namespace corvanta
