#include "service/status_series.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "service/event_list_export.h"

namespace corvanta {

namespace {

std::string localTimeText(std::int64_t timeMs) {
    // Floor, not truncation, so a time before 1970 does not round upwards.
    const std::time_t seconds = std::time_t(timeMs >= 0 ? timeMs / 1000 : -((-timeMs + 999) / 1000));
    std::tm local{};
    if (localtime_r(&seconds, &local) == nullptr) return {};
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

std::string voltsText(int tenths) {
    char text[16];
    std::snprintf(text, sizeof text, "%s%d.%d", tenths < 0 ? "-" : "", std::abs(tenths) / 10, std::abs(tenths) % 10);
    return text;
}

}  // namespace

StatusSample statusSample(const StatusView& view, std::int64_t timeMs) {
    return StatusSample{timeMs, view.gsmLevel, view.temperature, view.terminalTenths, view.batteryTenths};
}

bool sampleGap(const StatusSample& before, const StatusSample& after) {
    return after.timeMs - before.timeMs > StatusSeries::kGapMs;
}

void StatusSeries::add(StatusSample sample) {
    if (!samples_.empty()) sample.timeMs = std::max(sample.timeMs, samples_.back().timeMs);
    samples_.push_back(sample);
    while (samples_.size() > kMaxSamples || samples_.front().timeMs < sample.timeMs - kKeptMs) samples_.pop_front();
}

std::string statusSeriesCsv(const StatusSeries& series) {
    std::string text = csvLine({"Időpont", "GSM térerő (0-31)", "Hőmérséklet (C°)", "Akkumulátor (V)", "Kapcsok (V)"});
    for (const StatusSample& s : series.samples()) {
        text += csvLine({localTimeText(s.timeMs), std::to_string(s.gsmLevel),
                         s.temperature ? std::to_string(*s.temperature) : std::string(),
                         s.batteryTenths ? voltsText(*s.batteryTenths) : std::string(),
                         voltsText(s.terminalTenths)});
    }
    return text;
}

}  // namespace corvanta
