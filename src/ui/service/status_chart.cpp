#include "ui/service/status_chart.h"

#include <QDateTime>
#include <QtCharts/QChart>
#include <QtCharts/QDateTimeAxis>
#include <QtCharts/QLegend>
#include <QtCharts/QLegendMarker>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>

#include <algorithm>
#include <array>
#include <cmath>

#include "service/status_series.h"

namespace corvanta {

namespace {

// A new plot spans at least this much time, so the first points do not
// stretch across the whole width.
constexpr qint64 kShortestSpanMs = 60 * 1000;
constexpr qint64 kSecondsShownUntilMs = 10 * 60 * 1000;
constexpr double kLevelTop = 32;
// Points a curve at most, and the lengths of time a plotted mean may cover.
constexpr std::size_t kMostPoints = 60;
constexpr std::array<qint64, 7> kBucketsMs = {2000, 5000, 10000, 15000, 20000, 30000, 60000};

struct Mean {
    double sum = 0;
    int count = 0;
    void add(double v) {
        sum += v;
        ++count;
    }
    double value() const { return sum / count; }
};

}  // namespace

StatusChart::StatusChart(QWidget* parent) : QChartView(parent) {
    setObjectName("StatusChart");
    setRenderHint(QPainter::Antialiasing);
    auto* chart = new QChart;
    chart->setMargins(QMargins(2, 2, 2, 2));
    chart->setBackgroundRoundness(0);
    QFont small = font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    // Below the plot, so that a narrow chart keeps its width for the curves.
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->legend()->setFont(small);

    const char* const names[kCurves] = {"GSM térerő", "Hőmérs. (C°)", "Akku (V)", "Kapcsok (V)"};
    for (int c = 0; c < kCurves; ++c) {
        auto* first = new QLineSeries(chart);
        first->setName(QString::fromUtf8(names[c]));
        chart->addSeries(first);
        segments_[c].push_back(first);
    }

    timeAxis_ = new QDateTimeAxis(chart);
    timeAxis_->setFormat(QStringLiteral("HH:mm"));
    timeAxis_->setTickCount(5);
    levelAxis_ = new QValueAxis(chart);
    levelAxis_->setRange(0, kLevelTop);
    levelAxis_->setTickCount(5);
    levelAxis_->setLabelFormat(QStringLiteral("%d"));
    levelAxis_->setTitleText(QStringLiteral("GSM / V"));
    temperatureAxis_ = new QValueAxis(chart);
    temperatureAxis_->setRange(0, 40);
    temperatureAxis_->setTickCount(5);
    temperatureAxis_->setLabelFormat(QStringLiteral("%d"));
    temperatureAxis_->setTitleText(QStringLiteral("C°"));
    for (QAbstractAxis* axis : {static_cast<QAbstractAxis*>(timeAxis_), static_cast<QAbstractAxis*>(levelAxis_),
                                static_cast<QAbstractAxis*>(temperatureAxis_)}) {
        axis->setLabelsFont(small);
        axis->setTitleFont(small);
    }
    chart->addAxis(timeAxis_, Qt::AlignBottom);
    chart->addAxis(levelAxis_, Qt::AlignLeft);
    chart->addAxis(temperatureAxis_, Qt::AlignRight);
    for (int c = 0; c < kCurves; ++c) {
        segments_[c].front()->attachAxis(timeAxis_);
        segments_[c].front()->attachAxis(c == Temperature ? temperatureAxis_ : levelAxis_);
    }
    // The view made a chart of its own and lets it go on setChart: it is ours to delete.
    QChart* const made = this->chart();
    setChart(chart);
    delete made;
    showSeries(StatusSeries());
}

QLineSeries* StatusChart::addSegment(Curve which) {
    QLineSeries* first = segments_[which].front();
    auto* segment = new QLineSeries(chart());
    chart()->addSeries(segment);
    segment->attachAxis(timeAxis_);
    segment->attachAxis(which == Temperature ? temperatureAxis_ : levelAxis_);
    segment->setPen(first->pen());
    for (QLegendMarker* marker : chart()->legend()->markers(segment)) marker->setVisible(false);
    segments_[which].push_back(segment);
    return segment;
}

QList<QList<QPointF>> StatusChart::stretches(Curve which) const {
    QList<QList<QPointF>> out;
    for (const QLineSeries* s : segments_[which])
        if (s->count() > 0) out.append(s->points());
    return out;
}

void StatusChart::showSeries(const StatusSeries& series) {
    // Redrawn from the store, so the plot can never drift from it. The chart
    // keeps an outline of every point it draws, so a long series is drawn as
    // the means of a few seconds to a minute each: the trend looks the same
    // a few hundred pixels wide, and time and memory stay the same once the
    // window has been open a minute.
    const auto& samples = series.samples();
    qint64 bucketMs = 0;  // 0: each sample a point of its own
    if (samples.size() > kMostPoints) {
        const qint64 span = samples.back().timeMs - samples.front().timeMs;
        bucketMs = kBucketsMs.back();
        for (qint64 ms : kBucketsMs) {
            if (span / ms < qint64(kMostPoints)) {
                bucketMs = ms;
                break;
            }
        }
    }
    // Drawing is most of what the open monitor costs: a sample that only
    // joins the newest mean already drawn waits for the next point.
    if (bucketMs > 0) {
        const std::array<qint64, 3> drawn{bucketMs, samples.front().timeMs / bucketMs, samples.back().timeMs / bucketMs};
        if (drawn == drawn_) return;
        drawn_ = drawn;
    } else {
        drawn_ = {};
    }
    // points[c][k]: stretch k of curve c.
    std::vector<QList<QPointF>> points[kCurves];
    for (auto& stretches : points) {
        stretches.emplace_back();
        stretches.back().reserve(qsizetype(std::min(samples.size(), kMostPoints + 1)));
    }
    Mean time, means[kCurves];
    auto plot = [&] {
        for (int c = 0; c < kCurves; ++c)
            if (means[c].count) points[c].back().append({time.value(), means[c].value()});
        time = Mean{};
        for (Mean& m : means) m = Mean{};
    };
    // A stretch that got no point (no temperature in it) is used again.
    auto breakOff = [&] {
        for (auto& stretches : points)
            if (!stretches.back().isEmpty()) stretches.emplace_back();
    };
    double coldest = 0, warmest = 0;
    bool anyTemperature = false;
    qint64 bucket = 0;
    for (std::size_t n = 0; n < samples.size(); ++n) {
        const StatusSample& s = samples[n];
        const qint64 sampleBucket = bucketMs ? s.timeMs / bucketMs : qint64(n);
        // Plotted as means, a pause shorter than a mean is lost in it.
        const bool gap = n > 0 && sampleGap(samples[n - 1], s) && s.timeMs - samples[n - 1].timeMs > bucketMs;
        if (n > 0 && (sampleBucket != bucket || gap)) plot();
        if (gap) breakOff();
        bucket = sampleBucket;
        time.add(double(s.timeMs));
        means[Gsm].add(s.gsmLevel);
        means[Terminal].add(s.terminalTenths / 10.0);
        if (s.batteryTenths) means[Battery].add(*s.batteryTenths / 10.0);
        if (s.temperature) {
            const double degrees = *s.temperature;
            coldest = anyTemperature ? std::min(coldest, degrees) : degrees;
            warmest = anyTemperature ? std::max(warmest, degrees) : degrees;
            anyTemperature = true;
            means[Temperature].add(degrees);
        }
    }
    if (!samples.empty()) plot();
    for (int c = 0; c < kCurves; ++c) {
        auto& stretches = points[c];
        while (stretches.size() > 1 && stretches.back().isEmpty()) stretches.pop_back();
        while (segments_[c].size() < stretches.size()) addSegment(Curve(c));
        for (std::size_t k = 0; k < segments_[c].size(); ++k) {
            QLineSeries* segment = segments_[c][k];
            if (k < stretches.size()) {
                segment->replace(stretches[k]);
                // A lone sample between two gaps is a dot, not nothing.
                const bool lone = stretches[k].size() == 1;
                if (segment->pointsVisible() != lone) segment->setPointsVisible(lone);
            } else if (segment->count() > 0) {
                segment->clear();
            }
        }
    }

    const qint64 first = series.empty() ? QDateTime::currentMSecsSinceEpoch() : series.samples().front().timeMs;
    const qint64 last = series.empty() ? first : series.samples().back().timeMs;
    const qint64 end = std::max(last, first + kShortestSpanMs);
    timeAxis_->setRange(QDateTime::fromMSecsSinceEpoch(first), QDateTime::fromMSecsSinceEpoch(end));
    // Seconds while the ticks are less than a few minutes apart.
    timeAxis_->setFormat(end - first < kSecondsShownUntilMs ? QStringLiteral("HH:mm:ss") : QStringLiteral("HH:mm"));
    // Whole tens around the readings, at least 0..40 for room temperature.
    const double low = anyTemperature ? std::floor(std::min(coldest - 2, 0.0) / 10) * 10 : 0;
    const double high = anyTemperature ? std::ceil(std::max(warmest + 2, 40.0) / 10) * 10 : 40;
    temperatureAxis_->setRange(low, high);
}

}  // namespace corvanta
