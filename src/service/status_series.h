#pragma once
// What the status monitor plots: the GSM level, the temperature and the
// voltages of every status frame since the window opened, the last hour of
// them, and the same series as CSV for people to keep.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>

#include "service/status_frame.h"

namespace corvanta {

struct StatusSample {
    std::int64_t timeMs = 0;  // milliseconds since the epoch
    int gsmLevel = 0;
    std::optional<int> temperature;    // degrees
    int terminalTenths = 0;            // volts x 10 at the terminals
    std::optional<int> batteryTenths;  // last real battery voltage
};

StatusSample statusSample(const StatusView& view, std::int64_t timeMs);

// No sample was taken between the two: more than three polls' time passed
// (the poll was paused for a command of the window, or the link was down).
// A plot leaves a gap there rather than a line no measurement backs.
bool sampleGap(const StatusSample& before, const StatusSample& after);

class StatusSeries {
public:
    static constexpr std::int64_t kKeptMs = 60 * 60 * 1000;
    // The status is asked for once a second.
    static constexpr std::int64_t kGapMs = 3000;
    // The poll asks once a second; a module that sends unsolicited frames
    // faster must not make the store grow past this.
    static constexpr std::size_t kMaxSamples = 4 * 60 * 60;

    // Samples older than an hour before this one go. A sample dated before
    // the newest (the computer's clock set back) takes the newest's time,
    // so the series never runs backwards.
    void add(StatusSample sample);
    void clear() { samples_.clear(); }

    const std::deque<StatusSample>& samples() const { return samples_; }
    bool empty() const { return samples_.empty(); }

private:
    std::deque<StatusSample> samples_;
};

// A header line, then one line per sample: local time as
// "YYYY-MM-DD HH:MM:SS", the GSM level, degrees, battery and terminal volts
// with a decimal point; a value the frame did not carry is an empty field.
std::string statusSeriesCsv(const StatusSeries& series);

}  // namespace corvanta
