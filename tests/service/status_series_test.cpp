// The status monitor's plotted series: an hour kept in time order within a
// fixed bound, and the CSV people keep of it.

#include "service/status_series.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <string>

using namespace corvanta;

namespace {

constexpr std::int64_t kStart = 1'700'000'000'000;  // 2023-11-14 22:13:20 UTC

StatusSample sample(std::int64_t timeMs, int gsm = 20) { return StatusSample{timeMs, gsm, 23, 136, 125}; }

}  // namespace

TEST(StatusSeries, KeepsTheLastHourInTimeOrderWithinItsBound) {
    StatusSeries series;
    for (std::int64_t s = 0; s <= 3600; ++s) series.add(sample(kStart + s * 1000));
    ASSERT_EQ(series.samples().size(), 3601u);  // exactly an hour apart is still kept
    series.add(sample(kStart + 3601 * 1000));
    EXPECT_EQ(series.samples().front().timeMs, kStart + 1000);

    // The computer's clock set back: the sample takes the newest time.
    series.add(sample(kStart, 7));
    EXPECT_EQ(series.samples().back().timeMs, kStart + 3601 * 1000);
    EXPECT_EQ(series.samples().back().gsmLevel, 7);

    // Frames far faster than the poll: memory stays bounded.
    StatusSeries flood;
    for (std::size_t i = 0; i < StatusSeries::kMaxSamples + 50; ++i) flood.add(sample(kStart + std::int64_t(i)));
    EXPECT_EQ(flood.samples().size(), StatusSeries::kMaxSamples);
    EXPECT_EQ(flood.samples().front().timeMs, kStart + 50);
}

TEST(StatusSeries, CsvHasATitleLineAndLeavesMissingReadingsEmpty) {
    const char* zone = std::getenv("TZ");
    const std::string oldZone = zone ? zone : "";
    setenv("TZ", "UTC0", 1);
    tzset();
    StatusSeries series;
    StatusView kind4;
    kind4.gsmLevel = 31;
    kind4.terminalTenths = 136;
    kind4.batteryTenths = 125;
    kind4.temperature = -5;
    series.add(statusSample(kind4, kStart));
    StatusView kind1;
    kind1.gsmLevel = 0;
    kind1.terminalTenths = 0;
    series.add(statusSample(kind1, kStart + 1500));
    EXPECT_EQ(statusSeriesCsv(series),
              "Időpont,GSM térerő (0-31),Hőmérséklet (C°),Akkumulátor (V),Kapcsok (V)\n"
              "2023-11-14 22:13:20,31,-5,12.5,13.6\n"
              "2023-11-14 22:13:21,0,,,0.0\n");
    if (zone)
        setenv("TZ", oldZone.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
}

TEST(StatusSeries, AGapIsMoreThanThreePollsWithoutASampleAndTheCsvHasOnlyRealSamples) {
    EXPECT_FALSE(sampleGap(sample(kStart), sample(kStart + 1000)));
    EXPECT_FALSE(sampleGap(sample(kStart), sample(kStart + StatusSeries::kGapMs)));
    EXPECT_TRUE(sampleGap(sample(kStart), sample(kStart + StatusSeries::kGapMs + 1)));
    // Nothing is filled in for the time between.
    StatusSeries series;
    series.add(sample(kStart));
    series.add(sample(kStart + 50'000));
    const std::string csv = statusSeriesCsv(series);
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 3);
}
