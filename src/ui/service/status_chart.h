#pragma once
// The status monitor's live plot: GSM level, module temperature and the two
// voltages over the time the window has been open, redrawn from the series
// store after each status frame; a long series as means of up to a minute,
// redrawn when a new mean begins.

#include <QtCharts/QChartView>

#include <array>

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
    const QLineSeries* curve(Curve which) const { return curves_[which]; }
    const QDateTimeAxis* timeAxis() const { return timeAxis_; }
    const QValueAxis* temperatureAxis() const { return temperatureAxis_; }

private:
    QLineSeries* curves_[kCurves] = {};
    QDateTimeAxis* timeAxis_;
    QValueAxis* levelAxis_;  // GSM level 0..31 and volts share it
    QValueAxis* temperatureAxis_;
    // The length of a mean, the first and the newest mean last drawn.
    std::array<qint64, 3> drawn_{};
};

}  // namespace corvanta
